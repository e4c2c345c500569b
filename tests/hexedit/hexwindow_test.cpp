// The hex editor control on a form under a real display: typing through WM_CHAR and
// WM_IME_CHAR, scroll bars that follow the rows, the wheel, one selection report per burst,
// and the window's own paint reached through WM_PRINTCLIENT.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/graphics.h"
#include "common/test_support.h"
#include "hex_test_util.h"
#include "hexedit/hexcontrol.h"

using namespace hexedit;

using namespace hextest;
using testsupport::PumpMessages;

namespace {

class HexWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<classlib::TForm>(nullptr);
        Form->SetBounds(40, 40, 720, 360);
        Form->SetCaption(L"Hex");
        Hex = new THexEditorControl(Form.get());
        Hex->SetParent(Form.get());
        Hex->SetAlign(classlib::alClient);
        Form->Show();
        Load(*Hex, Counting(64));
        Hex->SetFocus();
        PumpMessages();
    }
    void TearDown() override { Form.reset(); }
    SCROLLINFO Scroll(int bar) {
        SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(Hex->Handle(), bar, &si);
        return si;
    }

    std::unique_ptr<classlib::TForm> Form;
    THexEditorControl* Hex = nullptr;  // owned by the form
};

TEST_F(HexWindow, TypingThroughCharMessagesChangesTheData) {
    ASSERT_EQ(GetFocus(), Hex->Handle());
    SendMessageW(Hex->Handle(), WM_CHAR, L'a', 0);
    SendMessageW(Hex->Handle(), WM_CHAR, L'B', 0);
    EXPECT_EQ(0xAB, Hex->ReadByte(0));
    EXPECT_EQ(1, Hex->CaretPos());
    EXPECT_TRUE(Hex->Modified() || Hex->HasChanged(0));

    // An IME character is typed once (the default procedure would repeat it as WM_CHAR).
    Hex->SetInCharField(true);
    SendMessageW(Hex->Handle(), WM_IME_CHAR, L'Z', 0);
    PumpMessages();
    EXPECT_EQ('Z', Hex->ReadByte(1));
    EXPECT_EQ(2, Hex->ReadByte(2));
    EXPECT_EQ(2, Hex->CaretPos());

    // The control's OnKeyPress sees the character first and may swallow it.
    Hex->OnKeyPress = [](classlib::TComponent*, wchar_t& key) { key = 0; };
    SendMessageW(Hex->Handle(), WM_CHAR, L'Q', 0);
    EXPECT_EQ(2, Hex->ReadByte(2));
}

TEST_F(HexWindow, KeysMoveTheCaretAndTheDialogCodeAsksForThem) {
    const LRESULT code = SendMessageW(Hex->Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_TRUE(code & DLGC_WANTARROWS);
    EXPECT_TRUE(code & DLGC_WANTCHARS);
    EXPECT_TRUE(code & DLGC_WANTTAB);  // WantTabs is on by default
    Hex->SetWantTabs(false);
    EXPECT_FALSE(SendMessageW(Hex->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);

    SendMessageW(Hex->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(16, Hex->CaretPos());
    int seen = 0;
    Hex->OnKeyDown = [&](classlib::TComponent*, WORD& key, classlib::TShiftState) {
        ++seen;
        if (key == VK_DOWN) key = 0;
    };
    SendMessageW(Hex->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(16, Hex->CaretPos());
    // Typing steps the caret with a key of its own, which the handler never sees.
    SendMessageW(Hex->Handle(), WM_CHAR, L'1', 0);
    SendMessageW(Hex->Handle(), WM_CHAR, L'2', 0);
    EXPECT_EQ(1, seen);
    EXPECT_EQ(0x12, Hex->ReadByte(16));
}

TEST_F(HexWindow, CaretGlyphFollowsTheCaretCellIntoView) {
    POINT caret{};
    GetCaretPos(&caret);
    RECT cell = Hex->CellRect(Hex->Col(), Hex->Row());
    EXPECT_EQ(cell.left, caret.x);
    EXPECT_EQ(cell.top, caret.y);

    // A narrow window scrolls sideways to the caret's column and back.
    Form->SetWidth(260);
    PumpMessages();
    ASSERT_EQ(2, Hex->LeftCol());
    SendMessageW(Hex->Handle(), WM_KEYDOWN, VK_END, 0);  // last byte of the row, second digit
    EXPECT_EQ(Hex->Layout().LastHexCol(), Hex->Col());
    EXPECT_GT(Hex->LeftCol(), 2);
    EXPECT_EQ(Hex->LeftCol(), Scroll(SB_HORZ).nPos);
    cell = Hex->CellRect(Hex->Col(), Hex->Row());
    ASSERT_LT(cell.left, cell.right);
    GetCaretPos(&caret);
    EXPECT_EQ(cell.left, caret.x);
    SendMessageW(Hex->Handle(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(2, Hex->LeftCol());
}

TEST_F(HexWindow, ScrollBarsFollowRowsAndTopRow) {
    SCROLLINFO v = Scroll(SB_VERT);
    EXPECT_EQ(2, v.nMin);
    EXPECT_EQ(Hex->RowCount() - 1, v.nMax);

    Load(*Hex, Counting(4000));
    PumpMessages();
    v = Scroll(SB_VERT);
    EXPECT_EQ(Hex->RowCount() - 1, v.nMax);
    EXPECT_EQ(4000 / 16 + 2 - 1, v.nMax);
    EXPECT_EQ(static_cast<UINT>(Hex->VisibleRowCount()), v.nPage);
    EXPECT_EQ(2, v.nPos);

    // The wheel pages, and the scroll bar follows TopRow.
    SendMessageW(Hex->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(100, 100));
    EXPECT_EQ(2 + Hex->VisibleRowCount() - 1, Hex->TopRow());
    EXPECT_EQ(Hex->TopRow(), Scroll(SB_VERT).nPos);

    // The scroll bar moves TopRow.
    SendMessageW(Hex->Handle(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(Hex->RowCount() - Hex->VisibleRowCount(), Hex->TopRow());
    SendMessageW(Hex->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
    EXPECT_EQ(Hex->RowCount() - Hex->VisibleRowCount() - 1, Hex->TopRow());
    EXPECT_EQ(Hex->TopRow(), Scroll(SB_VERT).nPos);

    SendMessageW(Hex->Handle(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ(2, Hex->TopRow());
}

TEST_F(HexWindow, SelectionChangesArriveAsOneReportPerBurst) {
    int reports = 0;
    Hex->OnSelectionChanged = [&](TCustomHexEditor*) { ++reports; };
    PumpMessages();
    reports = 0;
    Hex->SelectAll();
    Hex->SetSelStart(3);
    Hex->SetSelEnd(9);
    EXPECT_EQ(0, reports);  // posted, not yet delivered
    PumpMessages();
    EXPECT_EQ(1, reports);
    Hex->SetSelEnd(12);
    PumpMessages();
    EXPECT_EQ(2, reports);
}

TEST_F(HexWindow, MouseClickMovesTheCaretAndDragSelects) {
    const RECT a = Hex->CellRect(2 + 2 * 5, 3), b = Hex->CellRect(2 + 2 * 9, 3);
    SendMessageW(Hex->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.left + 1, a.top + 2));
    EXPECT_EQ(21, Hex->CaretPos());
    SendMessageW(Hex->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.left + 1, b.top + 2));
    SendMessageW(Hex->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(b.left + 1, b.top + 2));
    EXPECT_EQ(21, Hex->SelectionFirst());
    EXPECT_EQ(25, Hex->SelectionLast());
}

TEST_F(HexWindow, MouseSelectionScrollsWhileThePointerIsBelowTheRows) {
    Load(*Hex, Counting(4000));
    const RECT a = Hex->CellRect(2, 3);
    SendMessageW(Hex->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.left + 1, a.top + 2));
    ASSERT_EQ(16, Hex->CaretPos());
    RECT client;
    GetClientRect(Hex->Handle(), &client);
    POINT below{a.left + 1, client.bottom + 20};
    ClientToScreen(Hex->Handle(), &below);
    SetCursorPos(below.x, below.y);
    SendMessageW(Hex->Handle(), WM_TIMER, 1, 0);
    SendMessageW(Hex->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(4, Hex->TopRow());
    EXPECT_EQ(16, Hex->SelectionFirst());
    EXPECT_EQ((4 + Hex->VisibleRowCount() - 1 - 2) * 16, Hex->SelectionLast());
    SendMessageW(Hex->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(a.left + 1, client.bottom - 1));
    SendMessageW(Hex->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(4, Hex->TopRow());  // the button is up: no more scrolling
}

TEST_F(HexWindow, PrintClientPaintsThroughTheWindow) {
    Hex->SetShowRuler(true);
    RECT client;
    GetClientRect(Hex->Handle(), &client);
    classlib::TBitmap bitmap(client.right, client.bottom, classlib::pf32bit);
    SendMessageW(Hex->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), PRF_CLIENT);
    GdiFlush();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE) & 0xFFFFFF, bitmap.Canvas().Pixel(1, 1));
    const RECT r = Hex->CellRect(4, 3);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW) & 0xFFFFFF, bitmap.Canvas().Pixel(r.left + 1, r.bottom - 1));
}

// Not a check: shows the control with data for a few seconds (run on purpose, for a look).
TEST_F(HexWindow, DISABLED_ShowForAScreenshot) {
    Hex->SetShowRuler(true);
    Load(*Hex, Counting(700));
    static_cast<TCustomHexEditor&>(*Hex).KeyPress(L'7');
    Hex->SetBookmark(1, 0x40, false);
    Hex->NewSelection(0x22, 0x35);
    testsupport::PumpUntil([] { return false; }, 8000);
}

}  // namespace
