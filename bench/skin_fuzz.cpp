// Seeded skin fuzzing: random skins of every registered control class with hostile attribute values,
// each loaded into a framework window, laid out at several sizes and DPI scales, painted, given
// random input and having random controls removed, moved and added through the public container
// calls. One process runs skins until the time budget is spent.
//
//   skin_fuzz.exe [seconds=60] [seed=1] [first-index=0] [excluded,element,names]
//   skin_fuzz.exe --replay <skin.xml in the program's folder> [runs=20]
//
// Skin i of seed s is the same skin on every run: "skin_fuzz_current.xml" in the working folder holds
// the skin being run, and the first crash or hang prints its seed and index, the faulting address and
// the stack (module+offset per frame), then ends the process (exit code 2 for a crash, 3 for a hang).
// Heap figures come from walking every heap of the process (the C runtime's included); GDI and USER
// object counts from GetGuiResources, which Wine always answers with 0. SKIN_FUZZ_TRACE=1 prints each
// mutation, and with the figures the block sizes and the program's callers whose live blocks grew.

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "vellum/core/layout/container.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"
#include "vellum/core/window/window_impl_base.h"

// ---- Where the C++ heap goes: every operator new of this program, with the code that asked -------------

// Each block carries a header with its size and the caller's address, so that the live bytes and the
// callers holding the most live blocks can be told apart from what the platform's own code keeps.
namespace allocations {

struct alignas(16) Header {
  size_t size;
  void* caller;
};

volatile LONG64 g_live_bytes = 0;
// Live blocks by caller, in a table that never allocates: a slot per caller address.
constexpr size_t kSlots = 8192;
struct Slot {
  void* volatile caller;
  volatile LONG count;
};
Slot g_slots[kSlots];

// The caller's slot, claimed on first use; null once the table is full.
Slot* SlotOf(void* caller) {
  size_t i = (reinterpret_cast<uintptr_t>(caller) >> 2) % kSlots;
  for (size_t probe = 0; probe < kSlots; ++probe, i = (i + 1) % kSlots) {
    void* seen = InterlockedCompareExchangePointer(const_cast<void**>(&g_slots[i].caller), caller, nullptr);
    if (seen == nullptr || seen == caller) return &g_slots[i];
  }
  return nullptr;
}

void* Allocate(size_t size, void* caller) {
  auto* header = static_cast<Header*>(std::malloc(size + sizeof(Header)));
  if (header == nullptr) throw std::bad_alloc();
  header->size = size;
  header->caller = caller;
  InterlockedExchangeAdd64(&g_live_bytes, static_cast<LONG64>(size));
  if (Slot* slot = SlotOf(caller)) InterlockedIncrement(&slot->count);
  return header + 1;
}

void Free(void* block) {
  if (block == nullptr) return;
  Header* header = static_cast<Header*>(block) - 1;
  InterlockedExchangeAdd64(&g_live_bytes, -static_cast<LONG64>(header->size));
  if (Slot* slot = SlotOf(header->caller)) InterlockedDecrement(&slot->count);
  std::free(header);
}

}  // namespace allocations

void* operator new(size_t size) { return allocations::Allocate(size, __builtin_return_address(0)); }
void* operator new[](size_t size) { return allocations::Allocate(size, __builtin_return_address(0)); }
void operator delete(void* block) noexcept { allocations::Free(block); }
void operator delete[](void* block) noexcept { allocations::Free(block); }
void operator delete(void* block, size_t) noexcept { allocations::Free(block); }
void operator delete[](void* block, size_t) noexcept { allocations::Free(block); }

namespace {

using namespace Vellum;

// ---- What the generator knows: element names and the attributes their classes parse ------------------

const char* const kElements[] = {
    "Control", "Container", "VerticalLayout", "HorizontalLayout", "TileLayout", "TabLayout",
    "AnimationTabLayout", "ChildLayout", "Label", "Text", "Button", "Option", "CheckBox", "FadeButton",
    "ScrollBar", "Progress", "Slider", "Edit", "RichEdit", "Combo", "ComboBox", "List", "ListEx",
    "ListHeader", "ListHeaderItem", "ListContainerHeaderItem", "ListLabelElement", "ListTextElement",
    "ListTextExtElement", "ListContainerElement", "TreeView", "TreeNode", "Menu", "MenuElement",
    "DateTime", "HotKey", "IPAddress", "IPAddressEx", "GifAnim", "SequenceFrame", "Ring", "Loading",
    "RollText", "ColorPalette", "GroupBox", "WebBrowser", "ActiveX", "Flash", "VBox", "HBox", "Box",
    "TabBox", "TileBox", "ChildBox", "NoSuchClass"};

enum Kind { kInt, kBool, kColour, kRect, kSize, kImage, kText, kList };

struct Attribute {
  const char* name;
  Kind kind;
};

// Read from the attribute setters of the control base, the containers and each control family.
const Attribute kAttributes[] = {
    {"pos", kRect}, {"float", kText}, {"floatalign", kText}, {"padding", kRect}, {"gradient", kText},
    {"bkcolor", kColour}, {"bkcolor2", kColour}, {"bkcolor3", kColour}, {"forecolor", kColour},
    {"bordercolor", kColour}, {"focusbordercolor", kColour}, {"colorhsl", kBool},
    {"bordersize", kRect}, {"leftbordersize", kInt}, {"topbordersize", kInt},
    {"rightbordersize", kInt}, {"bottombordersize", kInt}, {"borderstyle", kInt},
    {"borderround", kSize}, {"bkimage", kImage}, {"foreimage", kImage}, {"width", kInt},
    {"height", kInt}, {"minwidth", kInt}, {"minheight", kInt}, {"maxwidth", kInt},
    {"maxheight", kInt}, {"name", kText}, {"drag", kBool}, {"drop", kBool}, {"resourcetext", kBool},
    {"richevent", kBool}, {"text", kText}, {"tooltip", kText}, {"userdata", kText},
    {"enabled", kBool}, {"mouse", kBool}, {"keyboard", kBool}, {"visible", kBool},
    {"shortcut", kText}, {"menu", kBool}, {"cursor", kText}, {"virtualwnd", kText},
    {"style", kText}, {"innerstyle", kList},
    // containers
    {"inset", kRect}, {"mousechild", kBool}, {"vscrollbar", kBool}, {"hscrollbar", kBool},
    {"vscrollbarstyle", kList}, {"hscrollbarstyle", kList}, {"childpadding", kInt},
    {"childalign", kText}, {"childvalign", kText}, {"scrollstepsize", kInt},
    {"fixedscrollbar", kBool}, {"showscrollbar", kBool}, {"columns", kInt}, {"itemsize", kSize},
    {"selectedid", kInt}, {"animation_direction", kText}, {"xmlfile", kText},
    // labels, buttons, options
    {"align", kText}, {"valign", kText}, {"endellipsis", kBool}, {"wordbreak", kBool},
    {"noprefix", kBool}, {"font", kInt}, {"textcolor", kColour}, {"disabledtextcolor", kColour},
    {"textpadding", kRect}, {"showhtml", kBool}, {"multiline", kBool}, {"autocalcwidth", kBool},
    {"autocalcheight", kBool}, {"normalimage", kImage}, {"hotimage", kImage},
    {"pushedimage", kImage}, {"focusedimage", kImage}, {"disabledimage", kImage},
    {"hotforeimage", kImage}, {"pushedforeimage", kImage}, {"stateimage", kImage},
    {"statecount", kInt}, {"hotbkcolor", kColour}, {"pushedbkcolor", kColour},
    {"hottextcolor", kColour}, {"pushedtextcolor", kColour}, {"focusedtextcolor", kColour},
    {"hotfont", kInt}, {"pushedfont", kInt}, {"focuedfont", kInt}, {"group", kText},
    {"selected", kBool}, {"selectedimage", kImage}, {"selectedhotimage", kImage},
    {"selectedpushedimage", kImage}, {"selectedforeimage", kImage}, {"selectedbkcolor", kColour},
    {"selectedtextcolor", kColour}, {"selectedfont", kInt}, {"selectedstateimage", kImage},
    {"selectedstatecount", kInt}, {"ischeck", kBool}, {"bindtabindex", kInt},
    {"bindtablayoutname", kText}, {"autocheck", kBool},
    // scroll bar, progress, slider
    {"hor", kBool}, {"range", kInt}, {"value", kInt}, {"linesize", kInt}, {"showbutton1", kBool},
    {"showbutton2", kBool}, {"thumbimage", kImage}, {"thumbhotimage", kImage},
    {"thumbpushedimage", kImage}, {"min", kInt}, {"max", kInt}, {"isstretchfore", kBool},
    {"step", kInt}, {"thumbsize", kSize}, {"sendmove", kBool},
    // edits
    {"readonly", kBool}, {"numberonly", kBool}, {"password", kBool}, {"passwordchar", kText},
    {"maxchar", kInt}, {"nativetextcolor", kColour}, {"nativebkcolor", kColour},
    {"disabledbkcolor", kColour}, {"rich", kBool}, {"wantreturn", kBool}, {"wanttab", kBool},
    {"wantctrlreturn", kBool}, {"transparent", kBool}, {"autohscroll", kBool},
    {"autovscroll", kBool}, {"autoselall", kBool}, {"tipvalue", kText}, {"tipvaluecolor", kColour},
    {"tipvaluealign", kText},
    // lists, combos, trees, menus
    {"header", kText}, {"headerbkimage", kImage}, {"scrollselect", kBool}, {"multiselect", kBool},
    {"itemfont", kInt}, {"itemalign", kText}, {"itemvalign", kText}, {"itemendellipsis", kBool},
    {"itemtextpadding", kRect}, {"itemtextcolor", kColour}, {"itembkcolor", kColour},
    {"itembkimage", kImage}, {"itemaltbk", kBool}, {"itemselectedtextcolor", kColour},
    {"itemselectedbkcolor", kColour}, {"itemselectedimage", kImage}, {"itemhottextcolor", kColour},
    {"itemhotbkcolor", kColour}, {"itemhotimage", kImage}, {"itemdisabledtextcolor", kColour},
    {"itemdisabledbkcolor", kColour}, {"itemdisabledimage", kImage}, {"itemlinecolor", kColour},
    {"itemshowrowline", kBool}, {"itemshowcolumnline", kBool}, {"itemshowhtml", kBool},
    {"itemrselected", kBool}, {"dropbox", kList}, {"dropboxsize", kSize},
    {"dropboxinset", kRect}, {"arrowimage", kImage}, {"comboable", kBool}, {"checkable", kBool},
    {"checkboxwidth", kInt}, {"checkboxheight", kInt}, {"sepwidth", kInt}, {"sepimm", kBool},
    {"sepheight", kInt}, {"expland", kBool}, {"checkitem", kBool}, {"linetype", kInt},
    {"linepadding", kInt}, {"visiblefolderbtn", kBool}, {"visiblecheckbtn", kBool},
    {"multiexpanding", kBool}, {"icon", kImage}, {"iconsize", kSize}, {"scale", kBool},
    {"scaleheader", kBool}, {"editable", kBool},
    // the rest of the families
    {"spoke", kInt}, {"time", kInt}, {"thickness", kInt}, {"outradius", kInt},
    {"innerradius", kInt}, {"color", kColour}, {"autoplay", kBool}, {"autosize", kBool},
    {"frame_width", kInt}, {"frame_height", kInt}, {"total_frame", kInt}, {"elapse", kInt},
    {"sequenced_frame", kImage}, {"palletheight", kInt}, {"barheight", kInt}, {"timeformat", kText},
    {"homepage", kText}, {"autonavi", kBool}, {"clsid", kText}, {"modulename", kText},
    {"delaycreate", kBool}, {"linecolor", kColour}, {"showtext", kBool}, {"grouptype", kInt},
};

const char* const kWindowAttributes[][2] = {
    {"size", "s"}, {"sizebox", "r"}, {"caption", "r"}, {"roundcorner", "s"}, {"mininfo", "s"},
    {"maxinfo", "s"}, {"showdirty", "b"}, {"opacity", "i"}, {"layeredopacity", "i"},
    {"bktrans", "b"}, {"layered", "b"}, {"layeredimage", "m"}, {"noactivate", "b"},
    {"defaultfontcolor", "c"}, {"shadowsize", "i"}, {"shadowsharpness", "i"},
    {"shadowdarkness", "i"}, {"shadowposition", "s"}, {"shadowcolor", "c"}, {"shadowimage", "m"},
    {"showshadow", "b"}, {"gdiplustext", "b"}, {"textrenderinghint", "i"},
    {"tooltiphovertime", "i"},
};

// Element names left out of a run (the fourth argument, comma-separated): to look past one known
// fault while another is mended.
std::vector<std::string> g_excluded;

bool Excluded(const char* name) {
  for (const std::string& excluded : g_excluded) {
    if (_stricmp(excluded.c_str(), name) == 0) return true;
  }
  return false;
}

class Generator {
 public:
  explicit Generator(uint32_t seed) : rng_(seed) {}

  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

  std::string Int() {
    static const char* const kHostile[] = {
        "0",          "-1",          "1",         "2147483647", "-2147483648", "4294967295",
        "99999999999", "1048576",    "-1048576",  "65535",      "0x7fffffff",  "010",
        "abc",        "",            " 12",       "1e9",        "-0",          "32768"};
    if (Chance(50)) return std::to_string(Below(400) - 20);
    return kHostile[Below(sizeof(kHostile) / sizeof(kHostile[0]))];
  }
  std::string Colour() {
    static const char* const kForms[] = {"#FF000000", "#zz", "", "FFFFFFFF", "#", "#00000000",
                                         "#FFFFFFFFFFFF", " \t#80FF0000"};
    if (Chance(60)) {
      char text[16];
      std::snprintf(text, sizeof(text), "#%08X", static_cast<unsigned>(rng_()));
      return text;
    }
    return kForms[Below(sizeof(kForms) / sizeof(kForms[0]))];
  }
  std::string Numbers(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      if (i > 0) text += Chance(95) ? "," : (Chance(50) ? ";" : "");
      text += Int();
    }
    if (Chance(10)) text += ",";
    if (Chance(10) && !text.empty()) text.resize(text.size() / 2);
    return text;
  }
  std::string Image() {
    static const char* const kFiles[] = {"missing.png", "", "sub/none.bmp", "..\\..\\x.png",
                                         "img/none.gif"};
    std::string file = kFiles[Below(sizeof(kFiles) / sizeof(kFiles[0]))];
    if (Chance(40)) return file;
    std::string text = "file='" + file + "'";
    static const char* const kParts[] = {"source", "dest", "corner", "padding"};
    for (const char* part : kParts) {
      if (Chance(40)) text += std::string(" ") + part + "='" + Numbers(4) + "'";
    }
    if (Chance(30)) text += " fade='" + Int() + "'";
    if (Chance(30)) text += " rotate='" + Int() + "'";
    if (Chance(30)) text += " mask='" + Colour() + "'";
    if (Chance(20)) text += " xtiled='true' ytiled='true'";
    if (Chance(20)) text += " hole='true'";
    if (Chance(10)) text += " res='" + Int() + "' restype='PNG'";
    if (Chance(10)) text += " broken='";
    return text;
  }
  std::string Text() {
    static const char* const kTexts[] = {"", "x", "&amp;&lt;b&gt;bold&lt;/b&gt;", "{a}link{/a}",
                                         "fz1", "true", "false", "center", "right", "bottom",
                                         "vcenter", "null,left,top", "0.5,0.5,1,1", "hand",
                                         "skin_fuzz_child.xml", "skin_fuzz_current.xml"};
    if (Chance(5)) return std::string(static_cast<size_t>(Below(5000)), 'W');
    return kTexts[Below(sizeof(kTexts) / sizeof(kTexts[0]))];
  }
  std::string Value(Kind kind) {
    switch (kind) {
      case kInt: return Int();
      case kBool: return Chance(50) ? "true" : (Chance(50) ? "false" : "TRUE");
      case kColour: return Colour();
      case kRect: return Numbers(4);
      case kSize: return Numbers(2);
      case kImage: return Image();
      case kText: return Text();
      case kList: {
        std::string list;
        const int n = Below(4);
        for (int i = 0; i < n; ++i) {
          const Attribute& a = kAttributes[Below(sizeof(kAttributes) / sizeof(kAttributes[0]))];
          list += std::string(i ? "," : "") + a.name + "=&quot;" + Escape(Value(a.kind == kList ? kInt : a.kind)) + "&quot;";
        }
        return list;
      }
    }
    return "";
  }
  static std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
      switch (c) {
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&':
          // Already escaped entities stay as they are.
          out += '&';
          break;
        default: out += c;
      }
    }
    return out;
  }

  std::string Element(int depth, int* budget) {
    const char* name = kElements[Below(sizeof(kElements) / sizeof(kElements[0]))];
    while (Excluded(name)) name = kElements[Below(sizeof(kElements) / sizeof(kElements[0]))];
    std::string xml = std::string("<") + name;
    const int attributes = Below(Chance(10) ? 40 : 8);
    for (int i = 0; i < attributes; ++i) {
      const Attribute& a = kAttributes[Below(sizeof(kAttributes) / sizeof(kAttributes[0]))];
      xml += std::string(" ") + a.name + "=\"" + Escape(Value(a.kind)) + "\"";
    }
    if (--*budget <= 0 || depth > 60) return xml + "/>";
    int children = Below(4);
    if (Chance(3)) children = 200 + Below(3000);  // thousands of siblings
    if (Chance(5) && depth < 60) children = 1;     // deep nesting
    if (children == 0) return xml + "/>";
    xml += ">";
    for (int i = 0; i < children && *budget > 0; ++i) {
      if (Chance(3)) {
        xml += "<Include source=\"" + std::string(Chance(50) ? "skin_fuzz_child.xml" : "missing.xml") +
               "\" count=\"" + Int() + "\"/>";
      } else {
        xml += Element(depth + 1, budget);
      }
    }
    return xml + "</" + name + ">";
  }

  std::string Skin() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Window";
    for (const auto& a : kWindowAttributes) {
      if (!Chance(15)) continue;
      std::string value;
      switch (a[1][0]) {
        case 's': value = Numbers(2); break;
        case 'r': value = Numbers(4); break;
        case 'b': value = Chance(50) ? "true" : "false"; break;
        case 'i': value = Int(); break;
        case 'c': value = Colour(); break;
        default: value = Image(); break;
      }
      xml += std::string(" ") + a[0] + "=\"" + Escape(value) + "\"";
    }
    xml += ">";
    if (Chance(20)) xml += "<Font id=\"" + Int() + "\" name=\"Arial\" size=\"" + Int() + "\" default=\"true\"/>";
    if (Chance(20)) xml += "<Default name=\"Button\" value=\"" + Escape(Value(kList)) + "\"/>";
    if (Chance(20)) xml += "<Style name=\"fz\" value=\"" + Escape(Value(kList)) + "\"/>";
    if (Chance(10)) xml += "<Image name=\"a\" restype=\"PNG\"/>";
    int budget = Chance(10) ? 4000 : 60;
    const int top = Chance(10) ? 2 + Below(50) : 1;
    // The root is always a control the factory knows, so the window builds.
    xml += "<VerticalLayout>";
    if (Chance(3)) {
      // A chain of containers far deeper than any layout nests.
      const int depth = 100 + Below(3000);
      std::vector<bool> vertical;
      for (int i = 0; i < depth; ++i) {
        vertical.push_back(Chance(50));
        xml += vertical.back() ? "<VerticalLayout>" : "<HorizontalLayout inset=\"1,1,1,1\">";
      }
      xml += Element(1, &budget);
      for (int i = depth; i-- > 0;) xml += vertical[i] ? "</VerticalLayout>" : "</HorizontalLayout>";
    }
    for (int i = 0; i < top && budget > 0; ++i) xml += Element(1, &budget);
    xml += "</VerticalLayout>";
    if (top > 1) xml += "<Label/><Button/>";
    return xml + "</Window>\n";
  }

 private:
  std::mt19937 rng_;
};

std::wstring Widen(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  for (size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  return wide;
}

void WriteText(const char* path, const std::string& text) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// ---- Watching: the skin in progress, stacks of crashes and hangs ----------------------------------------

struct Progress {
  volatile LONG beat = 0;
  volatile LONG stage = 0;
  uint32_t seed = 0;
  volatile LONG index = 0;
};
Progress g_progress;
HANDLE g_main_thread = nullptr;
DWORD g_main_thread_id = 0;
std::string g_current_skin;

const char* const kStages[] = {"generate", "create", "layout", "paint", "input", "mutate", "destroy"};

void SetStage(int stage) {
  g_progress.stage = stage;
  InterlockedIncrement(&g_progress.beat);
}

// What the watchdog prints while the main thread is suspended, perhaps inside the C runtime or
// the heap: no stdio, no allocation.
void Say(const char* format, ...) {
  static char line[1024];
  va_list arguments;
  va_start(arguments, format);
  const int length = wvsprintfA(line, format, arguments);
  va_end(arguments);
  DWORD written = 0;
  if (length > 0) WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
}

void WriteRaw(const char* path, const std::string& text) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void PrintFrame(int n, DWORD64 address) {
  HMODULE module = nullptr;
  char name[MAX_PATH] = "?";
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(address)), &module) &&
      module != nullptr) {
    GetModuleFileNameA(module, name, MAX_PATH);
    const char* base = name;
    for (const char* c = name; *c; ++c) {
      if (*c == '\\') base = c + 1;
    }
    Say("  #%02d %s+0x%I64x\n", n, base, address - reinterpret_cast<uintptr_t>(module));
  } else {
    Say("  #%02d 0x%I64x\n", n, address);
  }
}

// Walks the stack from a thread context: unwind tables on x64, the frame-pointer chain on x86.
void PrintStack(const CONTEXT* start) {
  // CONTEXT must be 16-byte aligned on x64; a static copy is, a by-value argument may not be.
  static CONTEXT context;
  context = *start;
#ifdef _WIN64
  for (int n = 0; n < 48; ++n) {
    PrintFrame(n, context.Rip);
    if (context.Rip == 0 && n > 0) break;
    DWORD64 image_base = 0;
    // A call through a null or stale pointer faults at an address of no function.
    PRUNTIME_FUNCTION function =
        context.Rip != 0 ? RtlLookupFunctionEntry(context.Rip, &image_base, nullptr) : nullptr;
    if (function == nullptr) {
      // A leaf function: the return address is at the top of the stack.
      if (IsBadReadPtr(reinterpret_cast<void*>(context.Rsp), sizeof(DWORD64))) break;
      context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
      context.Rsp += 8;
      continue;
    }
    void* handler_data = nullptr;
    DWORD64 establisher = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, image_base, context.Rip, function, &context, &handler_data,
                     &establisher, nullptr);
  }
#else
  PrintFrame(0, context.Eip);
  DWORD frame = context.Ebp;
  for (int n = 1; n < 48 && frame != 0; ++n) {
    if (IsBadReadPtr(reinterpret_cast<void*>(frame), 8)) break;
    const DWORD* pair = reinterpret_cast<const DWORD*>(frame);
    PrintFrame(n, pair[1]);
    if (pair[0] <= frame) break;
    frame = pair[0];
  }
#endif
}

void ReportSkin(const char* what) {
  Say("\n%s in skin seed %u index %ld during %s\n", what, g_progress.seed,
      static_cast<long>(g_progress.index), kStages[g_progress.stage]);
  WriteRaw("skin_fuzz_failed.xml", g_current_skin);
  Say("skin written to skin_fuzz_failed.xml; run again with: 0 %u %ld\n", g_progress.seed,
      static_cast<long>(g_progress.index));
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  static volatile LONG reported = 0;
  if (InterlockedExchange(&reported, 1) != 0) ExitProcess(2);
  ReportSkin("CRASH");
  Say("exception 0x%08lx at\n", info->ExceptionRecord->ExceptionCode);
  PrintFrame(0, reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress));
  Say("stack:\n");
  PrintStack(info->ContextRecord);
  ExitProcess(2);
}

// A right click may open a context menu (a native edit's, a rich edit's), whose modal loop waits for
// the user: nobody is there, so it is closed as a user would close it, with Escape, once per level.
void DismissMenus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(g_main_thread_id, &info)) return;
  if ((info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) == 0) return;
  HWND target = info.hwndMenuOwner ? info.hwndMenuOwner : info.hwndActive;
  PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(target, WM_KEYUP, VK_ESCAPE, 1);
}

DWORD WINAPI Watchdog(LPVOID parameter) {
  const DWORD limit = static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
  LONG last = g_progress.beat;
  DWORD since = GetTickCount();
  for (;;) {
    Sleep(250);
    DismissMenus();
    const LONG now = g_progress.beat;
    if (now != last) {
      last = now;
      since = GetTickCount();
      continue;
    }
    if (GetTickCount() - since < limit) continue;
    SuspendThread(g_main_thread);
    static CONTEXT context;
    // Suspension is not immediate everywhere: the context may be refused for a moment.
    for (int attempt = 0; attempt < 40; ++attempt) {
      context.ContextFlags = CONTEXT_FULL;
      if (GetThreadContext(g_main_thread, &context)) break;
      Sleep(25);
    }
    ReportSkin("HANG");
    Say("no progress for %lu ms; main thread stack:\n", static_cast<unsigned long>(limit));
    PrintStack(&context);
    ExitProcess(3);
  }
}

// SKIN_FUZZ_TRACE=1 in the environment prints each mutation, to follow a failing skin's last steps.
bool Tracing() {
  char value[4] = {};
  static const bool tracing = GetEnvironmentVariableA("SKIN_FUZZ_TRACE", value, sizeof value) > 0 &&
                              value[0] == '1';
  return tracing;
}

void Trace(const char* what, CControlUI* control, CControlUI* where) {
  if (!Tracing()) return;
  std::printf("  %s %ls %p in", what, control ? control->GetClass() : L"-", static_cast<void*>(control));
  for (CControlUI* c = where; c != nullptr; c = c->GetParent()) {
    std::printf(" %ls %p%s", c->GetClass(), static_cast<void*>(c), c->GetParent() ? " <" : "");
  }
  std::printf("\n");
  std::fflush(stdout);
}

// ---- Counting: heap bytes and window-system objects ---------------------------------------------------

struct Figures {
  unsigned long long heap_bytes = 0;
  unsigned long long heap_blocks = 0;
  // Busy blocks by size, kept only while SKIN_FUZZ_TRACE=1 asks for the growth to be shown.
  std::map<size_t, long> blocks_by_size;
  DWORD gdi = 0;
  DWORD user = 0;
};

// Every heap of the process: the platform's own and the C runtime's, where the framework's blocks lie.
Figures Measure() {
  Figures figures;
  // The block sizes are noted in room taken before the walk: the walk must not change the heaps it walks.
  std::vector<size_t> sizes;
  if (Tracing()) sizes.reserve(size_t{1} << 21);
  HANDLE heaps[64];
  const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
  for (DWORD h = 0; h < count; ++h) {
    if (!HeapLock(heaps[h])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[h], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
        figures.heap_bytes += entry.cbData;
        ++figures.heap_blocks;
        if (sizes.size() < sizes.capacity()) sizes.push_back(entry.cbData);
      }
    }
    HeapUnlock(heaps[h]);
  }
  for (size_t size : sizes) ++figures.blocks_by_size[size];
  figures.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  figures.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  return figures;
}

// The block sizes whose count grew most since the last figures: what keeps growing, by its size.
void PrintGrowth(const Figures& last, const Figures& now) {
  std::vector<std::pair<long, size_t>> grown;
  for (const auto& [size, count] : now.blocks_by_size) {
    const auto old = last.blocks_by_size.find(size);
    const long delta = count - (old == last.blocks_by_size.end() ? 0 : old->second);
    if (delta > 0) grown.emplace_back(delta, size);
  }
  std::sort(grown.rbegin(), grown.rend());
  std::printf("  grown:");
  for (size_t i = 0; i < grown.size() && i < 12; ++i) {
    std::printf(" %zu bytes x%ld", grown[i].second, grown[i].first);
  }
  std::printf("\n");
}

// The C++ heap in use, and the callers whose live blocks grew most since the last call.
void PrintCallers() {
  static std::vector<LONG> last(allocations::kSlots, 0);
  std::vector<std::pair<LONG, size_t>> grown;
  for (size_t i = 0; i < allocations::kSlots; ++i) {
    const LONG count = allocations::g_slots[i].count;
    if (count > last[i]) grown.emplace_back(count - last[i], i);
    last[i] = count;
  }
  std::sort(grown.rbegin(), grown.rend());
  std::printf("  C++ live %lld bytes; grown callers:", static_cast<long long>(allocations::g_live_bytes));
  for (size_t i = 0; i < grown.size() && i < 8; ++i) {
    const auto caller = reinterpret_cast<uintptr_t>(allocations::g_slots[grown[i].second].caller);
    std::printf(" +0x%llx x%ld", static_cast<unsigned long long>(caller - reinterpret_cast<uintptr_t>(
                                                                        GetModuleHandleW(nullptr))),
                static_cast<long>(grown[i].first));
  }
  std::printf("\n");
}

void PrintFigures(const char* when, const Figures& f) {
  std::printf("%s: heap %llu bytes in %llu blocks, GDI objects %lu, USER objects %lu\n", when,
              f.heap_bytes, f.heap_blocks, static_cast<unsigned long>(f.gdi),
              static_cast<unsigned long>(f.user));
  std::fflush(stdout);
}

// ---- One skin ------------------------------------------------------------------------------------------

class FuzzWindow : public WindowImplBase {
 public:
  explicit FuzzWindow(const std::wstring& skin) : skin_(skin) {}
  const wchar_t* GetWindowClassName() const override { return L"VellumSkinFuzzWindow"; }
  const wchar_t* GetSkinFile() override { return skin_.c_str(); }
  void OnFinalMessage(HWND) override {}
  CPaintManagerUI& Manager() { return GetPaintManager(); }

 private:
  std::wstring skin_;
};

// Messages dispatched by the pumps of the skin in progress, and the last of them.
struct Traffic {
  unsigned long messages = 0;
  UINT last = 0;
};
Traffic g_traffic;
// A skin's life pumps for about 50 ms; a queue that is never empty dispatches far more than this.
constexpr unsigned long kFloodLimit = 20000;
unsigned long g_busiest = 0;

// A window that keeps its own queue full (a paint that invalidates itself, a message that posts
// itself) never lets the pump end its time on an empty queue: the time is checked after every
// message, and the traffic is counted so that such a skin is reported instead of passing unseen.
void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  do {
    while (GetTickCount() - start < milliseconds && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      ++g_traffic.messages;
      g_traffic.last = msg.message;
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

CControlUI* CALLBACK CollectAll(CControlUI* control, LPVOID data) {
  static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  return nullptr;
}

std::vector<CControlUI*> AllControls(CPaintManagerUI& manager) {
  std::vector<CControlUI*> all;
  if (manager.GetRoot()) manager.GetRoot()->FindControl(CollectAll, &all, 0);
  return all;
}

IContainerUI* ContainerOf(CControlUI* control) {
  return control ? static_cast<IContainerUI*>(control->GetInterface(L"IContainer")) : nullptr;
}

// The victim's whole subtree as its containers list it. The parent chain is not enough: a combo's
// rows have the drop-down's layout for a parent while it is open, and moving an ancestor of the
// combo into one of its rows would make the tree a cycle, which no program builds.
std::vector<CControlUI*> SubtreeOf(CControlUI* control) {
  std::vector<CControlUI*> all;
  control->FindControl(CollectAll, &all, 0);
  if (std::find(all.begin(), all.end(), control) == all.end()) all.push_back(control);
  return all;
}

void Mutate(Generator& gen, FuzzWindow& window) {
  CPaintManagerUI& manager = window.Manager();
  std::vector<CControlUI*> all = AllControls(manager);
  if (all.size() < 2) return;
  CControlUI* victim = all[1 + gen.Below(static_cast<int>(all.size()) - 1)];
  IContainerUI* parent = ContainerOf(victim->GetParent());
  if (parent == nullptr || parent->GetItemIndex(victim) < 0) return;
  switch (gen.Below(3)) {
    case 0:  // removed, destroyed with its subtree
      Trace("remove", victim, victim->GetParent());
      parent->Remove(victim);
      break;
    case 1: {  // moved under another container
      auto* holder = dynamic_cast<CContainerUI*>(victim->GetParent());
      if (holder == nullptr) return;
      const std::vector<CControlUI*> subtree = SubtreeOf(victim);
      std::vector<IContainerUI*> targets;
      for (CControlUI* c : all) {
        if (ContainerOf(c) && std::find(subtree.begin(), subtree.end(), c) == subtree.end()) {
          targets.push_back(ContainerOf(c));
        }
      }
      if (targets.empty()) return;
      // Some containers only borrow their children and never delete them: theirs is kept.
      const bool auto_destroy = holder->IsAutoDestroy();
      Trace("take", victim, holder);
      holder->SetAutoDestroy(false);
      const bool removed = parent->Remove(victim);
      holder->SetAutoDestroy(auto_destroy);
      if (!removed) return;
      IContainerUI* target = targets[gen.Below(static_cast<int>(targets.size()))];
      Trace("move", victim, dynamic_cast<CControlUI*>(target));
      if (!target->AddAt(victim, gen.Below(target->GetCount() + 2) - 1) && !target->Add(victim)) {
        delete victim;
      }
      break;
    }
    default: {  // a new control built from a small skin of its own
      int budget = 6;
      const std::string part = "<Window>" + gen.Element(1, &budget) + "</Window>";
      CSkinBuilder builder;
      CControlUI* added = builder.Create(Widen(part).c_str(), nullptr, nullptr, &manager, nullptr);
      Trace("add", added, victim->GetParent());
      if (Tracing()) std::printf("    from %s\n", part.c_str());
      if (added != nullptr && !parent->AddAt(added, gen.Below(parent->GetCount() + 1))) delete added;
      break;
    }
  }
}

void Input(Generator& gen, HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  for (int i = 0; i < 12; ++i) {
    const int x = gen.Below(client.right + 40) - 20;
    const int y = gen.Below(client.bottom + 40) - 20;
    const LPARAM point = MAKELPARAM(x, y);
    static const UINT kMouse[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                  WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL, WM_SETCURSOR};
    const UINT message = kMouse[gen.Below(8)];
    if (message == WM_MOUSEWHEEL) {
      SendMessageW(hwnd, message, MAKEWPARAM(0, gen.Chance(50) ? 120 : -120), point);
    } else {
      SendMessageW(hwnd, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, point);
    }
    if (gen.Chance(30)) {
      static const WPARAM kKeys[] = {VK_TAB, VK_RETURN, VK_ESCAPE, VK_DOWN, VK_UP, VK_LEFT,
                                     VK_RIGHT, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_SPACE, 'A'};
      const WPARAM key = kKeys[gen.Below(13)];
      SendMessageW(hwnd, WM_KEYDOWN, key, 1);
      SendMessageW(hwnd, WM_CHAR, key == 'A' ? 'a' : key, 1);
      SendMessageW(hwnd, WM_KEYUP, key, 1);
    }
  }
  SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
}

// One skin's life in a window: laid out at several sizes and scales, painted, given input and having
// controls removed, moved and added. `skin` is the skin's text, or a file of the resource folder.
void LiveThrough(Generator& gen, const std::wstring& skin) {
  SetStage(1);
  FuzzWindow window(skin);
  if (window.Create(nullptr, L"fuzz", WS_POPUP | WS_CLIPCHILDREN, 0, 10, 10, 400, 300) == nullptr) return;
  HWND hwnd = window.GetHWND();
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);

  static const SIZE kSizes[] = {{400, 300}, {1, 1}, {0, 0}, {37, 900}, {1200, 800}, {200, 20}};
  static const int kDpis[] = {96, 120, 144, 192};
  for (int round = 0; round < 3 && IsWindow(hwnd); ++round) {
    SetStage(2);
    const SIZE size = kSizes[gen.Below(6)];
    window.Manager().SetDPI(kDpis[gen.Below(4)]);
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    SetStage(3);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    Pump(5);
    if (!IsWindow(hwnd)) break;
    SetStage(4);
    Input(gen, hwnd);
    Pump(5);
    if (!IsWindow(hwnd)) break;
    SetStage(5);
    for (int i = 0; i < 4; ++i) Mutate(gen, window);
    UpdateWindow(hwnd);
    Pump(5);
  }
  SetStage(6);
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
  Pump(2);
}

void RunSkin(uint32_t seed, long index) {
  g_progress.index = index;
  SetStage(0);
  Generator gen(seed * 2654435761u ^ static_cast<uint32_t>(index) * 40503u);
  g_current_skin = gen.Skin();
  WriteText("skin_fuzz_current.xml", g_current_skin);
  if (Tracing()) std::printf("skin %u %ld\n", seed, index);
  // A child skin that includes itself and holds a child layout of itself, for includes and
  // "xmlfile" values that point at it.
  WriteText("skin_fuzz_child.xml",
            "<Window><HorizontalLayout><Include source=\"skin_fuzz_child.xml\"/>"
            "<Include source=\"skin_fuzz_child.xml\"/><ChildLayout xmlfile=\"skin_fuzz_child.xml\"/>"
            "<Label text=\"child\"/></HorizontalLayout></Window>");

  g_traffic = Traffic{};
  LiveThrough(gen, Widen(g_current_skin));
  g_busiest = std::max(g_busiest, g_traffic.messages);
  if (g_traffic.messages > kFloodLimit) {
    ReportSkin("HANG");
    Say("%lu messages dispatched in one skin's life, the last 0x%04x: a window keeps its own queue full\n",
        g_traffic.messages, g_traffic.last);
    ExitProcess(3);
  }
  // The skin's text is this program's, not the framework's: it is not counted in the heap figures.
  std::string().swap(g_current_skin);
}

}  // namespace

// Replays a skin file of the resource folder (the program's folder, where the files it names lie
// too) through the same life once per seed from 1 to `runs`: a failed skin kept from an earlier run,
// or any skin at hand.
int Replay(const char* name, int runs) {
  std::printf("skin_fuzz: replaying %s %d times\n", name, runs);
  g_current_skin = std::string("(the file ") + name + ")";
  for (int run = 1; run <= runs; ++run) {
    g_progress.seed = static_cast<uint32_t>(run);
    g_progress.index = run;
    Generator gen(static_cast<uint32_t>(run) * 2654435761u);
    LiveThrough(gen, Widen(name));
  }
  std::printf("skin_fuzz: %d runs, no crash, no hang\n", runs);
  return 0;
}

int main(int argc, char** argv) {
  const bool replay = argc > 2 && std::strcmp(argv[1], "--replay") == 0;
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 60;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
  long index = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 0;
  const DWORD hang_limit = 15000;
  if (argc > 4 && !replay) {
    std::string list = argv[4];
    for (size_t start = 0; start <= list.size();) {
      const size_t comma = std::min(list.find(',', start), list.size());
      if (comma > start) g_excluded.push_back(list.substr(start, comma - start));
      start = comma + 1;
    }
  }

  setvbuf(stderr, nullptr, _IONBF, 0);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(OnUnhandledException);
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_main_thread, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  g_main_thread_id = GetCurrentThreadId();
  g_progress.seed = seed;
  OleInitialize(nullptr);
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  // Skins name their includes and child layouts relative to the resource folder: the skin files are
  // written there too.
  SetCurrentDirectoryW(CPaintManagerUI::GetResourcePath().GetData());
  CreateThread(nullptr, 0, Watchdog, reinterpret_cast<LPVOID>(static_cast<uintptr_t>(hang_limit)), 0,
               nullptr);
  if (replay) return Replay(argv[2], argc > 3 ? std::atoi(argv[3]) : 20);

  std::printf("skin_fuzz: %lu s, seed %u, from index %ld (GDI and USER counts are always 0 under Wine)\n",
              static_cast<unsigned long>(seconds), seed, index);
  // One skin first, so that what the framework keeps once per process is in the first figures.
  RunSkin(seed, index++);
  const Figures before = Measure();
  PrintFigures("before", before);

  const DWORD start = GetTickCount();
  long skins = 1;
  Figures last = before;
  while (GetTickCount() - start < seconds * 1000) {
    RunSkin(seed, index++);
    ++skins;
    if (skins % 200 == 0) {
      const Figures now = Measure();
      std::printf("%ld skins, %lu s, heap %llu bytes, at most %lu messages in a skin\n", skins,
                  static_cast<unsigned long>((GetTickCount() - start) / 1000), now.heap_bytes, g_busiest);
      if (Tracing()) PrintGrowth(last, now);
      if (Tracing()) PrintCallers();
      last = now;
      std::fflush(stdout);
    }
  }
  const Figures after = Measure();
  PrintFigures("after", after);
  std::printf("%ld skins in %lu s, no crash, no hang; heap %+lld bytes\n", skins,
              static_cast<unsigned long>((GetTickCount() - start) / 1000),
              static_cast<long long>(after.heap_bytes) - static_cast<long long>(before.heap_bytes));
  return 0;
}
