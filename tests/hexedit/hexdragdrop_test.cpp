// Drag and drop of the extended hex editor on a real window: registration of the drop
// target, drops from another source, and moving or copying the selection inside the
// control (the OLE drag loop is replaced by calls to the control's own drop target).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "classlib/application.h"
#include "classlib/form.h"
#include "common/test_support.h"
#include "hex_test_util.h"
#include "hexedit/hexeditorex.h"

using namespace hexedit;

using namespace hextest;
using testsupport::PumpMessages;

namespace {

std::string Data(TCustomHexEditor& e) {
    std::string out(static_cast<size_t>(e.GetDataSize()), '\0');
    if (!out.empty()) e.ReadBuffer(out.data(), 0, e.GetDataSize());
    return out;
}

// Drops its data at the hex cell of DropPos with DropKeys instead of running the OLE loop.
class DragHex : public THexEditorEx {
public:
    using THexEditorEx::THexEditorEx;
    using THexEditorEx::StartDrag;
    int DropPos = 0;
    DWORD DropKeys = 0;

    POINTL ScreenPointOf(int pos) {
        int col, row;
        GetCursorAtPos(pos, false, col, row);
        const RECT r = CellRect(col, row);
        POINT p{r.left + 1, (r.top + r.bottom) / 2};
        ::ClientToScreen(Handle(), &p);
        return POINTL{p.x, p.y};
    }

protected:
    HRESULT RunDragDrop(IDataObject* data, IDropSource*, DWORD allowed, DWORD& effect) override {
        const POINTL pt = ScreenPointOf(DropPos);
        effect = allowed;
        if (DropTarget()->DragEnter(data, DropKeys, pt, &effect) != S_OK) return DRAGDROP_S_CANCEL;
        effect = allowed;
        if (DropTarget()->Drop(data, DropKeys, pt, &effect) != S_OK) return DRAGDROP_S_CANCEL;
        return DRAGDROP_S_DROP;
    }
};

class HexDragDrop : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<classlib::TForm>(nullptr);
        Form->SetBounds(40, 40, 720, 360);
        Hex = new DragHex(Form.get());
        Hex->SetParent(Form.get());
        Hex->SetAlign(classlib::alClient);
        Hex->SetOleDragDrop(true);
        Form->Show();
        Load(*Hex, "abcdef");
        PumpMessages();
    }
    void TearDown() override { Form.reset(); }

    std::unique_ptr<classlib::TForm> Form;
    DragHex* Hex = nullptr;
};

}  // namespace

TEST_F(HexDragDrop, TargetIsRegisteredWhileOleDragDropIsOn) {
    IDropTarget* other = Hex->DropTarget();
    EXPECT_TRUE(Hex->DropTarget()->Registered());
    EXPECT_EQ(RegisterDragDrop(Hex->Handle(), other), DRAGDROP_E_ALREADYREGISTERED);
    Hex->SetOleDragDrop(false);
    EXPECT_FALSE(Hex->DropTarget()->Registered());
    EXPECT_EQ(RevokeDragDrop(Hex->Handle()), DRAGDROP_E_NOTREGISTERED);
    Hex->SetOleDragDrop(true);
    EXPECT_TRUE(Hex->DropTarget()->Registered());
}

TEST_F(HexDragDrop, MovingTheSelectionIsOneUndoStep) {
    Hex->NewSelection(0, 1);
    Hex->DropPos = 4;
    Hex->StartDrag();
    EXPECT_EQ(Data(*Hex), "cdabef");
    EXPECT_EQ(Hex->UndoDescription(), L"Data moved");
    EXPECT_FALSE(Hex->Dragging());
    EXPECT_FALSE(Hex->DropMarkerVisible());
    Hex->Undo();
    EXPECT_EQ(Data(*Hex), "abcdef");
}

TEST_F(HexDragDrop, CtrlCopiesTheSelection) {
    Hex->NewSelection(0, 1);
    Hex->DropPos = 4;
    Hex->DropKeys = MK_CONTROL;
    Hex->StartDrag();
    EXPECT_EQ(Data(*Hex), "abcdabef");
    EXPECT_EQ(Hex->UndoDescription(), L"Data dropped");
}

TEST_F(HexDragDrop, DropFromAnotherSource) {
    // Another control's selection dropped here: inserted, or without size changes
    // written over the bytes from the drop point.
    THexEditorEx source(nullptr);
    Load(source, "XY");
    auto* data = new THexDataObject("XY", false, false, L"");
    DWORD effect = DROPEFFECT_COPY;
    const POINTL pt = Hex->ScreenPointOf(2);
    EXPECT_EQ(Hex->DropTarget()->DragEnter(data, 0, pt, &effect), S_OK);
    EXPECT_TRUE(Hex->DropMarkerVisible());
    EXPECT_EQ(Hex->DropTarget()->Drop(data, 0, pt, &effect), S_OK);
    EXPECT_EQ(Data(*Hex), "abXYcdef");
    EXPECT_FALSE(Hex->DropMarkerVisible());

    Load(*Hex, "abcdef");
    Hex->SetNoSizeChange(true);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(Hex->DropTarget()->Drop(data, 0, Hex->ScreenPointOf(5), &effect), S_OK);
    EXPECT_EQ(Data(*Hex), "abcdeX");
    data->Release();
}

TEST_F(HexDragDrop, ReadOnlyViewRefusesDrops) {
    Hex->SetReadOnlyView(true);
    auto* data = new THexDataObject("XY", false, false, L"");
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(Hex->DropTarget()->DragEnter(data, 0, Hex->ScreenPointOf(1), &effect), S_FALSE);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    data->Release();
    EXPECT_EQ(Data(*Hex), "abcdef");
}
