// Skins of the control families that once crashed or hung the framework on their way through a
// window's life: native child windows outliving their controls, a text engine inside a header item,
// registrations of controls the builder refused, timers of removed controls, and sizes that reached the
// platform unclamped.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/skin_life.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::LiveThroughSkin;
using testing_support::Rgba;
using testing_support::SolidPng;

TEST(HostileControlSkins, EachLoadsPaintsTakesInputAndLosesControlsWithinASecond) {
  Vellum::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  const SolidPng one(L"hs_one.png", Rgba{0x20, 0x40, 0xC0, 0xFF});
  const SolidPng wide(L"hs_wide.png", 64, 8, Rgba{0xC0, 0x40, 0x20, 0x80});
  const struct {
    const char* name;
    const wchar_t* skin;
  } cases[] = {
      {"a rich edit inside a header item outside any list",
       L"<Window><ListContainerHeaderItem><RichEdit/></ListContainerHeaderItem></Window>"},
      {"a header item outside a list with out-of-range image descriptions and a hot key",
       L"<Window><ListEx><ListTextExtElement padding=\"1,0,1,2\" text=\"&lt;f Arial 9999 bold&gt;big\"/>"
       L"</ListEx><ListContainerHeaderItem checkboxdisabledimage=\"file='hs_one.png' dest='7,,50,1,2'\" "
       L"checkboxselectedimage=\"fade='99999' file='hs_wide.png' padding='200,0,50,1048576'\" "
       L"topbordersize=\"1048576\" dragable=\"true\" borderstyle=\"--3\"><HotKey forecolor=\"#FF00\"/>"
       L"</ListContainerHeaderItem></Window>"},
      {"native child windows deep inside a combo box's rows",
       L"<Window><VerticalLayout><Text/><DateTime/><Button/><ListHeader><ComboBox>"
       L"<ListContainerElement/><RichEdit vscrollbar=\"true\"><TreeView/><ListContainerElement>"
       L"<ListHeader float=\"0,0,1,1\" bordercolor=\"#-1\" scaleheader=\"false\"/>"
       L"<IPAddress borderround=\"3,- 5\"/></ListContainerElement>"
       L"<TreeNode inset=\"4,4,2,100\" menu=\"true\" rightbordersize=\"16\"/></RichEdit></ComboBox>"
       L"</ListHeader></VerticalLayout></Window>"},
      {"a rich edit built inside a subtree the builder refuses",
       L"<Window><Label><Combo><TreeView><TreeNode><RichEdit/></TreeNode></TreeView></Combo></Label>"
       L"</Window>"},
      {"a spinner built inside a subtree the builder refuses",
       L"<Window><ListTextElement><Combo><TreeView><TreeNode><Loading/></TreeNode></TreeView></Combo>"
       L"</ListTextElement></Window>"},
      {"a sequence of frames removed while its timer runs",
       L"<Window bktrans=\"yes\"><Label foreimage=\"padding='0,10,50,2' file='hs_one.png'\">"
       L"<Container rightbordersize=\"-2147483648\"><TreeView visible=\"0\"><TreeNode><GroupBox>"
       L"<ChildLayout hscrollbar=\"yes\"><ComboBox itemhotforeimage=\"file='hs_one.png'\">"
       L"<ListHeader bottombordersize=\"20\"><ListContainerHeaderItem checkboxheight=\"30\">"
       L"<SequenceFrame bkcolor=\"#7AF897E5\" sequenced_frame=\"hs_wide.png\"/>"
       L"</ListContainerHeaderItem></ListHeader></ComboBox></ChildLayout></GroupBox></TreeNode>"
       L"</TreeView></Container></Label></Window>"},
      {"a tree node's scroll bar longer than the integers",
       L"<Window><TreeView><TreeNode vscrollbar=\"true\" inset=\"50,-2147483647,100,abc\"/></TreeView>"
       L"</Window>"},
      {"a spinner of 2^31 spokes", L"<Window><VerticalLayout><Loading spoke=\"0x7fffffff\"/>"
       L"</VerticalLayout></Window>"},
      {"a huge window with a date-time control",
       L"<Window size=\"2147483647,2147483647\"><DateTime bkcolor=\"#0B732A87\"/></Window>"},
      {"a huge window with an edit", L"<Window size=\"2147483646,4294967295\"><Edit/></Window>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LiveThroughSkin(c.skin);
  }
}

}  // namespace
