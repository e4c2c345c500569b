// The default in-place editor of string trees and its edit control.
#include "controls/gridtree/gridtree_edit.h"

#include <windows.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/stringtree.h"

namespace gridtree {

namespace {
bool TreeGoing(TBaseGridTree* Tree) {
    return !Tree || Tree->IsDestroying() || (Tree->ComponentState() & classlib::csDestroying);
}
}  // namespace

// --- TGTEdit --------------------------------------------------------------------------

TGTEdit::TGTEdit(TStringEditLink* Link) : classlib::TWinControl(nullptr), FLink(Link) {
    SetShowHint(false);
    SetParentShowHint(false);
}

void TGTEdit::CreateParams(classlib::TCreateParams& Params) {
    classlib::TWinControl::CreateParams(Params);
    Params.SubClassName = L"EDIT";
    Params.Style |= ES_MULTILINE;
    if (FMultiline) Params.Style |= WS_VSCROLL | ES_AUTOVSCROLL;
    else Params.Style &= ~(WS_HSCROLL | ES_AUTOHSCROLL);
    TCustomGridStringTree* tree = FLink ? FLink->Tree() : nullptr;
    if (tree && (tree->TreeStates() & tsUseThemes)) {
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
        Params.Style |= WS_BORDER;
        Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
}

TGTEdit::~TGTEdit() {
    if (classlib::Application) classlib::Application->CancelQueuedCalls(this);
}

bool TGTEdit::Modified() { return HandleAllocated() && SendMessageW(FHandle, EM_GETMODIFY, 0, 0) != 0; }

void TGTEdit::SelectAll() {
    if (HandleAllocated()) SendMessageW(FHandle, EM_SETSEL, 0, -1);
}

void TGTEdit::Release() {
    SetVisible(false);
    if (!classlib::Application) {
        delete this;
        return;
    }
    // The call is dropped when the control is freed first (by its tree): see the destructor.
    classlib::Application->QueueCall([this] { delete this; }, this);
}

void TGTEdit::DropLink() {
    FLink = nullptr;
    // Last: this may free the link.
    std::shared_ptr<TStringEditLink> keep = std::move(FRefLink);
}

void TGTEdit::CMExit(classlib::TMessage& Message) {
    classlib::TWinControl::CMExit(Message);
    if (!FLink || FLink->Stopping()) return;
    TCustomGridStringTree* tree = FLink->Tree();
    if (TreeGoing(tree)) return;
    if (tree->TreeOptions().StringOptions() & toAutoAcceptEditChange) tree->EndEditNode();
    else tree->CancelEditNode();
}

void TGTEdit::CNCommand(classlib::TMessage& Message) {
    Message.Result = 0;
    if (HIWORD(Message.WParam) != EN_UPDATE || !FLink) return;
    TCustomGridStringTree* tree = FLink->Tree();
    if (!tree || (tree->TreeOptions().MiscOptions() & toGridExtensions) || FMultiline) return;
    AutoAdjustSize();
}

void TGTEdit::AutoAdjustSize() {
    if (!HandleAllocated() || !FLink || FLink->Stopping()) return;
    TCustomGridStringTree* tree = FLink->Tree();
    SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
    {
        auto redraw = classlib::ScopeExit([&] {
            SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(FHandle, nullptr, TRUE);
        });
        const std::wstring text = GetText();
        classlib::TWindowDC dc(FHandle, GetDC(FHandle));
        classlib::TSelectedObject font(dc.Handle(), Font().Handle());
        SIZE size{};
        GetTextExtentPoint32W(dc.Handle(), text.c_str(), int(text.size()), &size);
        const int width = size.cx + 2 * tree->TextMargin();
        RECT bounds = FLink->GetBounds();
        // The part of the cell the smaller control no longer covers is painted again.
        if (width < bounds.right - bounds.left) tree->InvalidateNode(FLink->Node());
        if (FLink->Alignment() == taRightJustify) bounds.left = bounds.right - width;
        else bounds.right = bounds.left + width;
        FLink->SetBounds(bounds);
    }
}

void TGTEdit::WndProc(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE:
            classlib::TWinControl::WndProc(Message);
            Message.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
            return;
        case WM_KEYDOWN: {
            TCustomGridStringTree* tree = FLink ? FLink->Tree() : nullptr;
            const bool ctrl = GetKeyState(VK_CONTROL) < 0;
            if (tree && Message.WParam == VK_RETURN && (!FMultiline || ctrl)) {
                tree->InvalidateNode(FLink->Node());
                tree->EndEditNode();
                if (!TreeGoing(tree) && tree->CanFocus()) tree->SetFocus();
                Message.Result = 0;
                return;
            }
            if (tree && Message.WParam == VK_ESCAPE) {
                tree->CancelEditNode();
                if (!TreeGoing(tree) && tree->CanFocus()) tree->SetFocus();
                Message.Result = 0;
                return;
            }
            if (!FMultiline && Message.WParam == VK_UP) Message.WParam = VK_LEFT;
            else if (!FMultiline && Message.WParam == VK_DOWN) Message.WParam = VK_RIGHT;
            break;
        }
        case WM_CHAR:
            // Tab and Escape are the tree's; the edit control would only beep.
            if (Message.WParam == VK_TAB || Message.WParam == VK_ESCAPE) {
                Message.Result = 0;
                return;
            }
            break;
        case WM_DESTROY:
            // The control is freed while its edit runs (a window made anew is no end). The
            // tree being destroyed takes no text any more.
            if ((ComponentState() & classlib::csDestroying) && FLink && !FLink->Stopping()) {
                TCustomGridStringTree* tree = FLink->Tree();
                if (!TreeGoing(tree) && (tree->TreeOptions().StringOptions() & toAutoAcceptEditChange) && Modified())
                    tree->SetText(FLink->Node(), FLink->Column(), GetText());
                DropLink();
            }
            break;
        default:
            break;
    }
    classlib::TWinControl::WndProc(Message);
}

// --- TStringEditLink ------------------------------------------------------------------

TStringEditLink::TStringEditLink() {
    auto* edit = new TGTEdit(this);
    FEdit = edit;
    edit->SetVisible(false);
}

TStringEditLink::~TStringEditLink() {
    if (TGTEdit* edit = FEdit) {
        edit->FLink = nullptr;
        edit->Release();
    }
}

bool TStringEditLink::PrepareEdit(TBaseGridTree* Tree, PGridNode Node, TColumnIndex Column) {
    auto* tree = dynamic_cast<TCustomGridStringTree*>(Tree);
    TGTEdit* edit = FEdit;
    if (!tree || !edit) return false;
    FTree = tree;
    FNode = Node;
    FColumn = Column;
    edit->FRefLink = shared_from_this();
    edit->FMultiline = (Node->States & vsMultiline) != 0;
    std::wstring text;
    tree->QueryNodeTextInfo(Node, Column, edit->Font(), FTextBounds, text);
    edit->Font().SetColor(classlib::clWindowText);
    // The window is made with the styles of this node.
    if (edit->HandleAllocated()) edit->RecreateWnd();
    edit->SetParent(tree);
    edit->HandleNeeded();
    edit->SetText(text);
    SendMessageW(edit->Handle(), EM_SETMODIFY, FALSE, 0);
    if (TGridTreeColumn* column = tree->Header().Columns().GetItem(Column)) FAlignment = column->Alignment();
    else FAlignment = tree->Alignment();
    return true;
}

bool TStringEditLink::BeginEdit() {
    TGTEdit* edit = FEdit;
    if (!FStopping && edit) {
        edit->SetVisible(true);
        edit->SelectAll();
        edit->SetFocus();
    }
    return !FStopping;
}

bool TStringEditLink::EndEdit() {
    if (FStopping) return false;
    FStopping = true;
    // Kept alive until the end: the edit control's reference goes below.
    const std::shared_ptr<TStringEditLink> keep = shared_from_this();
    try {
        TGTEdit* edit = FEdit;
        if (edit && edit->Modified()) FTree->SetText(FNode, FColumn, edit->GetText());
        if (edit) {
            edit->SetVisible(false);
            edit->DropLink();
        }
    } catch (...) {
        FStopping = false;
        throw;
    }
    return true;
}

bool TStringEditLink::CancelEdit() {
    if (FStopping) return false;
    FStopping = true;
    const std::shared_ptr<TStringEditLink> keep = shared_from_this();
    TGTEdit* edit = FEdit;
    if (edit) edit->SetVisible(false);
    if (FTree) FTree->CancelEditNode();
    if (edit) edit->DropLink();
    return true;
}

RECT TStringEditLink::GetBounds() {
    TGTEdit* edit = FEdit;
    if (!edit) return RECT{};
    return RECT{edit->Left(), edit->Top(), edit->Left() + edit->Width(), edit->Top() + edit->Height()};
}

void TStringEditLink::ProcessMessage(classlib::TMessage& Message) {
    if (TGTEdit* edit = FEdit) edit->WndProc(Message);
}

void TStringEditLink::SetBounds(RECT R) {
    TGTEdit* edit = FEdit;
    if (FStopping || !edit || !FTree) return;
    R.left = std::max<LONG>(R.left, 0);
    if (R.right - R.left < 30) {
        if (FAlignment == taRightJustify) R.left = R.right - 30;
        else R.right = R.left + 30;
    }
    R.right = std::min<LONG>(R.right, FTree->ClientWidth());
    edit->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    if (!edit->HandleAllocated()) return;
    // The text sits where the cell shows it.
    const int d = (FTree->TreeStates() & tsUseThemes) ? 3 : 2;
    RECT format{};
    GetClientRect(edit->Handle(), &format);
    InflateRect(&format, d - FTree->TextMargin(), d);
    if (!(FNode->States & vsMultiline)) OffsetRect(&format, 0, FTextBounds.top - edit->Top());
    SendMessageW(edit->Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
}

}  // namespace gridtree
