// The expandable-string editor as a user meets it: a double click on a variable inserts it
// once, at the caret, and the preview shows the expanded text readably.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "controls/toolbar/ui/uilists.h"
#include "dialogs_test_support.h"
#include "editors/stringeditorforms.h"
#include "editors/stringeditors.h"

#include <cstdlib>
#include <memory>

using namespace editors;
using testsupport::Narrow;

namespace {

// A double click on item `index` as the system delivers it: press, release, the second
// press as WM_LBUTTONDBLCLK, release.
void PostDoubleClick(wide::TWideCustomListBox& list, int index) {
    const RECT r = list.ItemRect(index);
    const LPARAM at = MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list.Handle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
}

// How far apart two colours lie (the sum over red, green and blue).
int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

}  // namespace

TEST(ExpandStringEditor, DoubleClickInsertsTheVariableOnceAtTheCaret) {
    using namespace editorstest;
    std::unique_ptr<TEditorExSZForm> form(new TEditorExSZForm(nullptr));
    ASSERT_FALSE(form->Variables().empty()) << "the machine lists no environment variable";
    const std::wstring item = form->Variables()[0].Item;
    form->EntryValue->SetText(L"AB");
    std::wstring preview;
    COLORREF background = RGB(1, 2, 3);
    int textPixels = 0;

    InputScript script;
    script
        .Then([&] { return HasFocus(form->EntryValue->Handle()); },
              [&] {
                  SendMessageW(form->EntryValue->Handle(), EM_SETSEL, 1, 1);  // between A and B
                  form->EnvironmentVariables->SetTopIndex(0);
                  PostDoubleClick(*form->EnvironmentVariables, 0);
              })
        .Then([&] { return form->EntryValue->GetText() != L"AB"; },
              [&] {
                  ui::TUiEdit& box = *form->PrevierEnv;
                  preview = box.GetText();
                  testsupport::MemoryDib dib(box.ClientWidth(), box.ClientHeight(), RGB(1, 2, 3));
                  SendMessageW(box.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC),
                               PRF_CLIENT | PRF_ERASEBKGND);
                  // Right of the text only the box's own colour shows.
                  background = dib.Pixel(dib.Width - 4, dib.Height / 2);
                  for (int y = 0; y < dib.Height; ++y)
                      for (int x = 0; x < dib.Width; ++x)
                          if (Distance(dib.Pixel(x, y), background) > 300) ++textPixels;
                  form->SetModalResult(classlib::mrCancel);
              });
    form->ShowModal();
    ASSERT_EQ(script.Done(), script.Count());
    EXPECT_EQ(form->EntryValue->GetText(), L"A" + item + L"B");
    EXPECT_EQ(preview, ExpandEnvironmentPreview(L"A" + item + L"B")) << Narrow(preview);
    EXPECT_EQ(background, GetSysColor(COLOR_BTNFACE)) << std::hex << background;
    EXPECT_GT(textPixels, 20) << "the expanded text stands out from the box";
}
