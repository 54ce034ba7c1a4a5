#include "vellum/core/markup/dialog_builder.h"

#include <algorithm>
#include <cwchar>

#include "vellum/core/layout/child_layout.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/resources/resource_store.h"
#include "vellum/core/window/shadow_window.h"
#include "vellum/core/window/window_wnd.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

// An Include source longer than this is cut.
constexpr SIZE_T kIncludeSourceBuffer = 500;
constexpr SIZE_T kValueBuffer = 500;

bool IsResourceElement(const wchar_t* name) {
  return _wcsicmp(name, L"Image") == 0 || _wcsicmp(name, L"Font") == 0 ||
         _wcsicmp(name, L"Default") == 0 || _wcsicmp(name, L"Style") == 0 ||
         _wcsicmp(name, L"Import") == 0;
}

// The attributes of one resource element by name; absent ones stay empty.
class ElementAttributes {
 public:
  explicit ElementAttributes(CXmlMarkupNode& node) : node_(node) {}
  bool Has(const wchar_t* name) { return Find(name) != nullptr; }
  const wchar_t* Get(const wchar_t* name) {
    const wchar_t* value = Find(name);
    return value ? value : L"";
  }
  bool Bool(const wchar_t* name) { return ParseAttributeBool(Get(name)); }
  int Int(const wchar_t* name, int fallback) {
    const wchar_t* value = Find(name);
    return value ? ParseAttributeInt(value) : fallback;
  }

 private:
  const wchar_t* Find(const wchar_t* name) {
    const int count = node_.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
      if (_wcsicmp(node_.GetAttributeName(i), name) == 0) return node_.GetAttributeValue(i);
    }
    return nullptr;
  }
  CXmlMarkupNode& node_;
};

// The framework links no logging library of its own: skin faults it corrects go to the debugger
// output, where a skin author running the program under a debugger sees them.
void ReportDroppedMarkup(const wchar_t* what) {
  CUIString line;
  line.Format(L"skin builder: %s\n", what);
  ::OutputDebugStringW(line.GetData());
}

}  // namespace

CSkinBuilder::CSkinBuilder() = default;
CSkinBuilder::~CSkinBuilder() { xml_.Release(); }

CControlUI* CSkinBuilder::Create(const wchar_t* skin, const wchar_t* type,
                                 IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                 CControlUI* parent) {
  if (skin == nullptr) return nullptr;
  if (!IS_INTRESOURCE(skin) && skin[0] != L'<') {
    const wchar_t* mapped = CResourceStore::GetInstance()->GetXmlPath(skin);
    if (mapped) skin = mapped;
  }

  if (IS_INTRESOURCE(skin)) {
    HINSTANCE module = instance_ ? instance_ : CPaintManagerUI::GetResourceModule();
    HRSRC resource = ::FindResourceW(module, skin, type);
    if (resource == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr) return nullptr;
    const auto* bytes = static_cast<const BYTE*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(module, resource);
    if (bytes == nullptr || !xml_.LoadFromMem(bytes, size)) return nullptr;
    resource_type_ = type;
  } else if (skin[0] == L'<') {
    if (!xml_.Load(skin)) return nullptr;
  } else if (!xml_.LoadFromFile(skin)) {
    return nullptr;
  }
  return Create(callback, manager, parent);
}

CControlUI* CSkinBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                 CControlUI* parent) {
  callback_ = callback;
  CXmlMarkupNode root = xml_.GetRoot();
  if (!root.IsValid()) return nullptr;
  if (manager) {
    LoadResources(root, manager);
    if (_wcsicmp(root.GetName(), L"Window") == 0 && manager->GetPaintWindow()) {
      ApplyWindowAttributes(root, manager);
    }
  }
  return ParseChildren(&root, parent, manager);
}

void CSkinBuilder::LoadResources(CXmlMarkupNode& root, CPaintManagerUI* manager) {
  for (CXmlMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const wchar_t* element = node.GetName();
    ElementAttributes attributes(node);
    if (_wcsicmp(element, L"Image") == 0) {
      const wchar_t* name = attributes.Get(L"name");
      if (name[0] == L'\0') continue;
      const wchar_t* type = attributes.Get(L"restype");
      manager->AddImage(name, type[0] != L'\0' ? type : nullptr,
                        ParseAttributeColor(attributes.Get(L"mask"), false), false, false,
                        attributes.Bool(L"shared"), nullptr);
    } else if (_wcsicmp(element, L"Font") == 0) {
      const int id = attributes.Int(L"id", -1);
      if (id < 0) continue;
      const wchar_t* face = attributes.Get(L"name");
      // Glyphs thousands of pixels high make every text paint crawl: no skin's font is this large.
      const int size = std::max(-kMaxFontSize, std::min(attributes.Int(L"size", 12), kMaxFontSize));
      const bool bold = attributes.Bool(L"bold");
      const bool underline = attributes.Bool(L"underline");
      const bool italic = attributes.Bool(L"italic");
      const bool shared = attributes.Bool(L"shared");
      manager->AddFont(id, face, size, bold, underline, italic, shared);
      if (attributes.Bool(L"default")) {
        manager->SetDefaultFont(face, size, bold, underline, italic, shared);
      }
    } else if (_wcsicmp(element, L"Default") == 0) {
      const wchar_t* name = attributes.Get(L"name");
      if (name[0] == L'\0') continue;
      manager->AddDefaultAttributeList(name, attributes.Get(L"value"), attributes.Bool(L"shared"));
    } else if (_wcsicmp(element, L"Style") == 0) {
      const wchar_t* name = attributes.Get(L"name");
      if (name[0] == L'\0') continue;
      manager->AddStyle(name, attributes.Get(L"value"), attributes.Bool(L"shared"));
    } else if (_wcsicmp(element, L"Import") == 0) {
      const wchar_t* font_file = attributes.Get(L"fontfile");
      if (font_file[0] != L'\0') manager->AddFontFile(font_file);
    }
  }
}

void CSkinBuilder::ApplyWindowAttributes(CXmlMarkupNode& root, CPaintManagerUI* manager) {
  const int count = root.GetAttributeCount();
  for (int i = 0; i < count; ++i) {
    const wchar_t* name = root.GetAttributeName(i);
    const wchar_t* value = root.GetAttributeValue(i);
    auto is = [name](const wchar_t* attribute) { return _wcsicmp(name, attribute) == 0; };
    // These few names are matched exactly as written; a skin spelling them otherwise is ignored.
    auto is_exactly = [name](const wchar_t* attribute) { return wcscmp(name, attribute) == 0; };

    if (is(L"size")) {
      // A window larger than all screens together shows nothing more, while every paint of it
      // fills the whole area (gigabytes for a size near the integer range).
      const SIZE size =
          manager->GetDpiScaler()->Scale(ParseAttributeSizeIn(value, 0, kMaxWindowExtent));
      const SIZE screens = ScreensExtent();
      manager->SetInitSize(std::min(size.cx, screens.cx), std::min(size.cy, screens.cy));
    } else if (is(L"sizebox")) {
      manager->SetSizeBox(ParseAttributeRect(value));
    } else if (is(L"caption")) {
      manager->SetCaptionRect(ParseAttributeRect(value));
    } else if (is(L"roundcorner")) {
      const SIZE size = ParseAttributeSizeIn(value, 0, kMaxBorderExtent);
      manager->SetRoundCorner(size.cx, size.cy);
    } else if (is(L"mininfo")) {
      const SIZE size = ParseAttributeSizeIn(value, 0, kMaxWindowExtent);
      manager->SetMinInfo(size.cx, size.cy);
    } else if (is(L"maxinfo")) {
      const SIZE size = ParseAttributeSizeIn(value, 0, kMaxWindowExtent);
      manager->SetMaxInfo(size.cx, size.cy);
    } else if (is(L"showdirty")) {
      manager->SetShowUpdateRect(ParseAttributeBool(value));
    } else if (is(L"opacity") || is(L"alpha")) {
      manager->SetOpacity(static_cast<BYTE>(ParseAttributeInt(value)));
    } else if (is_exactly(L"layeredopacity")) {
      manager->SetLayeredOpacity(static_cast<BYTE>(ParseAttributeInt(value)));
    } else if (is_exactly(L"layered") || is_exactly(L"bktrans")) {
      manager->SetLayered(ParseAttributeBool(value));
    } else if (is_exactly(L"layeredimage")) {
      manager->SetLayered(true);
      manager->SetLayeredImage(value);
    } else if (is_exactly(L"noactivate")) {
      manager->SetNoActivate(ParseAttributeBool(value));
    } else if (is(L"disabledfontcolor")) {
      manager->SetDefaultDisabledColor(ParseAttributeColor(value, false));
    } else if (is(L"defaultfontcolor")) {
      manager->SetDefaultFontColor(ParseAttributeColor(value, false));
    } else if (is(L"linkfontcolor")) {
      manager->SetDefaultLinkFontColor(ParseAttributeColor(value, false));
    } else if (is(L"linkhoverfontcolor")) {
      manager->SetDefaultLinkHoverFontColor(ParseAttributeColor(value, false));
    } else if (is(L"selectedcolor")) {
      manager->SetDefaultSelectedBkColor(ParseAttributeColor(value, false));
    } else if (is(L"shadowsize")) {
      manager->GetShadow()->SetSize(ParseAttributeInt(value));
    } else if (is(L"shadowsharpness")) {
      manager->GetShadow()->SetSharpness(static_cast<unsigned int>(ParseAttributeInt(value)));
    } else if (is(L"shadowdarkness")) {
      manager->GetShadow()->SetDarkness(static_cast<unsigned int>(ParseAttributeInt(value)));
    } else if (is(L"shadowposition")) {
      const SIZE offset = ParseAttributeSize(value);
      manager->GetShadow()->SetPosition(offset.cx, offset.cy);
    } else if (is(L"shadowcolor")) {
      manager->GetShadow()->SetColor(ParseAttributeColor(value, false));
    } else if (is(L"shadowcorner")) {
      manager->GetShadow()->SetShadowCorner(ParseAttributeRect(value));
    } else if (is(L"shadowimage")) {
      manager->GetShadow()->SetImage(value);
    } else if (is(L"showshadow")) {
      manager->GetShadow()->ShowShadow(ParseAttributeBool(value));
    } else if (is(L"gdiplustext")) {
      manager->SetUseGdiplusText(ParseAttributeBool(value));
    } else if (is(L"textrenderinghint")) {
      manager->SetTextRenderingHint(ParseAttributeInt(value));
    } else if (is(L"tooltiphovertime")) {
      manager->SetHoverTime(ParseAttributeInt(value));
    }
  }
}

void CSkinBuilder::ParseInclude(CXmlMarkupNode& node, CControlUI* parent,
                                CPaintManagerUI* manager) {
  wchar_t value[kValueBuffer] = {};
  int count = 1;
  if (node.GetAttributeValue(L"count", value, kValueBuffer)) count = ParseAttributeInt(value);
  wchar_t source[kIncludeSourceBuffer] = {};
  if (!node.GetAttributeValue(L"source", source, kIncludeSourceBuffer) || source[0] == L'\0') {
    return;
  }
  // A skin that includes itself (directly or through others) stops here instead of recursing
  // until the stack runs out.
  if (include_depth_ >= kMaxIncludeDepth) return;
  for (int i = 0; i < count; ++i) {
    if (*include_budget_ <= 0) {
      ReportDroppedMarkup(L"includes beyond the limit of a skin are not built");
      return;
    }
    --*include_budget_;
    CSkinBuilder builder;
    builder.include_depth_ = include_depth_ + 1;
    builder.include_budget_ = include_budget_;
    builder.instance_ = instance_;
    CControlUI* included = nullptr;
    if (resource_type_ != nullptr) {
      included = builder.Create(MAKEINTRESOURCEW(ParseAttributeInt(source)), resource_type_,
                                callback_, manager, parent);
    } else {
      included = builder.Create(source, nullptr, callback_, manager, parent);
    }
    // Without a parent the included controls attached themselves nowhere and nobody else owns them.
    if (parent == nullptr && included != nullptr) {
      ReportDroppedMarkup(L"an include outside any control has nothing to join");
      delete included;
    }
  }
}

CControlUI* CSkinBuilder::CreateByName(const wchar_t* element_name, CPaintManagerUI* manager) {
  CUIString key;
  key.Format(L"C%sUI", element_name);
  CControlUI* control = CControlFactory::GetInstance()->CreateControl(key.GetData());
  if (control) return control;
  (void)manager;
  for (PluginControlCreator creator : CPaintManagerUI::GetControlCreators()) {
    control = creator(element_name);
    if (control) return control;
  }
  return callback_ ? callback_->CreateControl(element_name) : nullptr;
}

bool CSkinBuilder::AttachToParent(CControlUI* control, ITreeNodeUI* tree_node, CControlUI* parent,
                                  IContainerUI* container) {
  auto* parent_node = static_cast<ITreeNodeUI*>(parent->GetInterface(kTreeNodeBuildInterface));
  if (tree_node) {
    if (parent_node) return parent_node->AddChildNode(control);
    if (auto* view = static_cast<ITreeViewUI*>(parent->GetInterface(kTreeViewBuildInterface))) {
      return view->AddNode(control);
    }
  } else if (parent_node) {
    return parent_node->AddToRow(control);
  }
  return container->Add(control);
}

CControlUI* CSkinBuilder::ParseChildren(CXmlMarkupNode* node, CControlUI* parent,
                                 CPaintManagerUI* manager) {
  // Included documents are built further down the same stack, so one count serves all builders.
  static thread_local int nesting = 0;
  if (nesting >= kMaxNesting) {
    if (node->HasChildren()) ReportDroppedMarkup(L"elements nested too deeply are not built");
    return nullptr;
  }
  struct NestingGuard {
    NestingGuard() { ++nesting; }
    ~NestingGuard() { --nesting; }
  } guard;
  CControlUI* first = nullptr;
  for (CXmlMarkupNode child = node->GetChild(); child.IsValid(); child = child.GetSibling()) {
    const wchar_t* element = child.GetName();
    if (IsResourceElement(element)) continue;
    if (_wcsicmp(element, L"Include") == 0) {
      ParseInclude(child, parent, manager);
      continue;
    }

    if (parent == nullptr && first != nullptr) {
      // A tree has one root: later top-level elements would be built for nobody to own.
      ReportDroppedMarkup(L"a skin has one root control: later top-level elements are not built");
      continue;
    }
    CControlUI* control = CreateByName(element, manager);
    if (control == nullptr) continue;  // skipped together with its children
    if (auto* child_layout = static_cast<CChildLayoutUI*>(control->GetInterface(L"ChildLayout"))) {
      child_layout->ShareIncludeBudget(include_budget_);
    }
    if (child.HasChildren()) ParseChildren(&child, control, manager);

    auto* tree_node = static_cast<ITreeNodeUI*>(control->GetInterface(kTreeNodeBuildInterface));
    if (parent) {
      auto* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
      if (container == nullptr) {
        // Nothing can hold it: the control and the children just built under it go.
        delete control;
        return nullptr;
      }
      if (!AttachToParent(control, tree_node, parent, container)) {
        delete control;
        continue;
      }
    }

    if (manager) {
      // A tree node stays attached: its view looks up its buttons' notifications through the
      // manager, and a node's nested nodes are not the manager's children yet. It is initialised
      // once, with the rest of the tree, when the window takes it (or by an attached parent as it
      // joins), not here as well.
      CControlUI* tree_view = tree_node ? tree_node->GetTreeViewControl() : nullptr;
      control->SetManager(manager, tree_view, false);
      const wchar_t* defaults = manager->GetDefaultAttributeList(element);
      if (defaults) control->ApplyAttributeList(defaults);
      const int count = child.GetAttributeCount();
      for (int i = 0; i < count; ++i) {
        control->SetAttribute(child.GetAttributeName(i), child.GetAttributeValue(i));
      }
      // The window attaches the whole tree at once when it takes the root.
      if (tree_node == nullptr) control->SetManager(nullptr, nullptr, false);
    }
    if (first == nullptr) first = control;
  }
  return first;
}

}  // namespace Vellum
