// Automatic dragging from the tree and list views: the system's windows keep the mouse after
// a press until it moves away or comes up, so a drag starts when they say it does, and a
// plain click leaves no drag waiting for the next move.
#include <gtest/gtest.h>

#include "classlib/dragdrop.h"
#include "ctl_support.h"
#include "controls/wide/widelistview.h"
#include "controls/wide/widetreeview.h"

#include <cstring>

using namespace wide;
using namespace ctltest;

namespace {

class ViewDragTest : public ::testing::Test, public FormFixture {};

// Presses the left button at `at` of the control with `follow` already waiting in the queue
// (the press is sent; the view's own loop reads what follows).
void PressWith(classlib::TWinControl* control, POINT at, UINT follow, POINT followAt) {
    PostMessageW(control->Handle(), follow, follow == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(followAt.x, followAt.y));
    SendMessageW(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    classlib::Application->ProcessMessages();
}

}  // namespace

TEST_F(ViewDragTest, TreeAndListStartAutomaticDragsWhenTheWindowSaysSo) {
    auto* tree = Add<TWideTreeView>(8, 8, 200, 200);
    tree->Items().Add(nullptr, L"ノード");
    auto* list = Add<TWideListView>(220, 8, 200, 200);
    list->SetViewStyle(vsReport);
    list->Columns().Add()->SetWidth(180);
    list->Items().Add()->SetCaption(L"行");
    Show();

    struct Case {
        const char* Name;
        classlib::TWinControl* View;
        POINT At;  // on the first node or row
    };
    // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
    RECT node{};
    const HTREEITEM item = tree->Items().GetFirstNode()->ItemId();
    std::memcpy(&node, &item, sizeof(item));
    SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&node));
    RECT row{LVIR_LABEL};
    SendMessageW(list->Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    for (const Case& c : {Case{"tree", tree, {(node.left + node.right) / 2, (node.top + node.bottom) / 2}},
                          Case{"list", list, {(row.left + row.right) / 2, (row.top + row.bottom) / 2}}}) {
        SCOPED_TRACE(c.Name);
        c.View->DragMode = classlib::TControl::dmAutomatic;
        int started = 0;
        c.View->OnStartDrag = [&started](classlib::TComponent*) { ++started; };

        // A click: the button comes up where it went down.
        PressWith(c.View, c.At, WM_LBUTTONUP, c.At);
        EXPECT_EQ(classlib::DragSource(), nullptr) << "a click leaves a drag waiting";
        EXPECT_EQ(started, 0);

        // A press and a move far away: the window says a drag begins, and it does.
        PressWith(c.View, c.At, WM_MOUSEMOVE, POINT{c.At.x + 60, c.At.y + 60});
        EXPECT_EQ(classlib::DragSource(), c.View);
        EXPECT_TRUE(c.View->Dragging());
        EXPECT_EQ(started, 1);
        classlib::EndDrag(false);
        EXPECT_EQ(classlib::DragSource(), nullptr);
    }
}
