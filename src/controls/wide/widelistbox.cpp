#include "controls/wide/widelistbox.h"

#include "classlib/scopeguard.h"
#include "controls/wide/wideowner_p.h"
#include "classlib/errors.h"
#include "controls/wide/widewin32.h"

#include <algorithm>

namespace wide {

using namespace classlib;

namespace {

const wchar_t kIndexError[] = L"リストのインデックスが範囲を超えています (%d)";
const wchar_t kInsertError[] = L"行を挿入できません";


std::wstring CutAtNul(std::wstring s) {
    size_t n = s.find(L'\0');
    if (n != std::wstring::npos) s.resize(n);
    return s;
}

}  // namespace

// --- TWideListBoxStrings --------------------------------------------------------------------

HWND TWideListBoxStrings::Wnd() const { return FListBox->Handle(); }

std::wstring TWideListBoxStrings::Get(int index) const {
    HWND wnd = Wnd();
    LRESULT len = SendMessageW(wnd, LB_GETTEXTLEN, index, 0);
    if (len == LB_ERR) Error(kIndexError, index);
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    if (SendMessageW(wnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(s.data())) == LB_ERR) return {};
    return CutAtNul(std::move(s));
}

int TWideListBoxStrings::GetCount() const {
    return static_cast<int>(SendMessageW(Wnd(), LB_GETCOUNT, 0, 0));
}

void* TWideListBoxStrings::GetObject(int index) const {
    if (index < 0 || index >= GetCount()) Error(kIndexError, index);
    return FListBox->GetItemObject(index);
}

void TWideListBoxStrings::PutObject(int index, void* object) {
    if (index < 0 || index >= GetCount()) Error(kIndexError, index);
    FListBox->SetItemObject(index, object);
}

void TWideListBoxStrings::Put(int index, const std::wstring& s) {
    int selected = FListBox->ItemIndex();
    void* data = GetObject(index);
    BeginUpdate();
    FListBox->FPutting = true;
    {
        auto endPut = ScopeExit([&] {
            FListBox->FPutting = false;
            EndUpdate();
        });
        Delete(index);
        InsertObject(index, s, data);
    }
    FListBox->SetItemIndex(selected);
}

int TWideListBoxStrings::AddObject(const std::wstring& s, void* object) {
    HWND wnd = Wnd();
    LRESULT r = SendMessageW(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfResources(kInsertError);
    int index = static_cast<int>(r);
    FListBox->SetItemObject(index, object);
    FListBox->ItemAdded(index);
    return index;
}

void TWideListBoxStrings::InsertObject(int index, const std::wstring& s, void* object) {
    HWND wnd = Wnd();
    LRESULT r = SendMessageW(wnd, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfResources(kInsertError);
    int at = static_cast<int>(r);
    FListBox->SetItemObject(at, object);
    FListBox->ItemAdded(at);
}

void TWideListBoxStrings::Clear() {
    FListBox->ItemsCleared();
    SendMessageW(Wnd(), LB_RESETCONTENT, 0, 0);
}

void TWideListBoxStrings::Delete(int index) {
    if (index < 0 || index >= GetCount()) Error(kIndexError, index);
    FListBox->ItemDeleting(index);
    SendMessageW(Wnd(), LB_DELETESTRING, index, 0);
}

void TWideListBoxStrings::Exchange(int index1, int index2) {
    if (index1 == index2) return;
    int selected = FListBox->ItemIndex();
    BeginUpdate();
    std::wstring s1 = Get(index1), s2 = Get(index2);
    void* d1 = GetObject(index1);
    void* d2 = GetObject(index2);
    Put(index1, s2);
    Put(index2, s1);
    PutObject(index1, d2);
    PutObject(index2, d1);
    FListBox->ItemsExchanged(index1, index2);
    EndUpdate();
    if (selected == index1)
        FListBox->SetItemIndex(index2);
    else if (selected == index2)
        FListBox->SetItemIndex(index1);
    else
        FListBox->SetItemIndex(selected);
}

void TWideListBoxStrings::MoveItem(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    BeginUpdate();
    FListBox->FMoving = true;
    std::wstring s = Get(curIndex);
    void* d = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, d);
    FListBox->FMoving = false;
    EndUpdate();
}

int TWideListBoxStrings::IndexOf(const std::wstring& s) const {
    LRESULT r = SendMessageW(Wnd(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
    return r == LB_ERR ? -1 : static_cast<int>(r);
}

void TWideListBoxStrings::SetUpdateState(bool updating) {
    if (!FListBox->HandleAllocated()) return;
    SendMessageW(FListBox->Handle(), WM_SETREDRAW, !updating, 0);
    if (!updating) FListBox->Invalidate();
}

// --- TWideCustomListBox ---------------------------------------------------------------------

TWideCustomListBox::TWideCustomListBox(TComponent* owner)
    : TWinControl(owner), FItems(std::make_unique<TWideListBoxStrings>(this)) {
    FTabStop = true;
    // A box of data has the window colour of its own, whatever its parent paints.
    FParentColor = false;
    FColor = clWindow;
    FWidth = 121;
    FHeight = 97;
}

TWideCustomListBox::~TWideCustomListBox() = default;

void TWideCustomListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = L"LISTBOX";
    p.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
    if (!IntegralHeight) p.Style |= LBS_NOINTEGRALHEIGHT;
    if (MultiSelect) p.Style |= ExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (Columns > 0) p.Style |= LBS_MULTICOLUMN;
    switch (FStyle) {
    case lbStandard: break;
    case lbOwnerDrawFixed: p.Style |= LBS_OWNERDRAWFIXED; break;
    case lbOwnerDrawVariable: p.Style |= LBS_OWNERDRAWVARIABLE; break;
    case lbVirtual:
    case lbVirtualOwnerDraw:
        p.Style = (p.Style & ~LBS_HASSTRINGS) | LBS_OWNERDRAWFIXED | LBS_NODATA;
        break;
    }
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TWideCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (FStyle == lbOwnerDrawFixed || IsVirtual()) SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, ItemHeight);
    if (Columns > 0) SendMessageW(FHandle, LB_SETCOLUMNWIDTH, std::max(1, FWidth / Columns), 0);
    RestoreState();
}

bool TWideCustomListBox::SavingItems() const { return FSaved != nullptr; }

void TWideCustomListBox::SaveState() {
    FSavedTop = static_cast<int>(SendMessageW(FHandle, LB_GETTOPINDEX, 0, 0));
    FSavedIndex = ItemIndex();
    if (IsVirtual()) {
        FVirtualCount = static_cast<int>(SendMessageW(FHandle, LB_GETCOUNT, 0, 0));
        return;
    }
    int n = FItems->GetCount();
    if (n == 0) return;
    auto saved = std::make_unique<TWideStringList>();
    for (int i = 0; i < n; ++i) saved->AddObject(FItems->Get(i), GetItemObject(i));
    FSaved = std::move(saved);
}

void TWideCustomListBox::RestoreState() {
    if (IsVirtual()) {
        if (FVirtualCount > 0) SendMessageW(FHandle, LB_SETCOUNT, FVirtualCount, 0);
    } else if (FSaved) {
        std::unique_ptr<TWideStringList> saved = std::move(FSaved);
        for (int i = 0; i < saved->GetCount(); ++i) {
            SendMessageW(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(saved->Get(i).c_str()));
            SetItemObject(i, saved->GetObject(i));
        }
    } else {
        return;
    }
    SetItemIndex(FSavedIndex);
    SendMessageW(FHandle, LB_SETTOPINDEX, FSavedTop, 0);
}

void TWideCustomListBox::SetStyle(TListBoxStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    RecreateWnd();
    FSaved.reset();
}

void TWideCustomListBox::WMDestroy(TMessage& m) {
    if (!IsControlDestroying(this)) SaveState();
    TWinControl::WMDestroy(m);
}

int TWideCustomListBox::ItemIndex() {
    HWND wnd = Handle();
    if (MultiSelect) return static_cast<int>(SendMessageW(wnd, LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(SendMessageW(wnd, LB_GETCURSEL, 0, 0));
}

void TWideCustomListBox::SetItemIndex(int value) {
    HWND wnd = Handle();
    if (MultiSelect) {
        SendMessageW(wnd, LB_SETSEL, FALSE, -1);
        if (value >= 0) SendMessageW(wnd, LB_SETSEL, TRUE, value);
        SendMessageW(wnd, LB_SETCARETINDEX, value, FALSE);
    } else {
        SendMessageW(wnd, LB_SETCURSEL, value, 0);
    }
}

int TWideCustomListBox::TopIndex() { return static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }
void TWideCustomListBox::SetTopIndex(int value) { SendMessageW(Handle(), LB_SETTOPINDEX, value, 0); }

bool TWideCustomListBox::Selected(int index) {
    LRESULT r = SendMessageW(Handle(), LB_GETSEL, index, 0);
    if (r == LB_ERR) FItems->Error(kIndexError, index);
    return r != 0;
}

void TWideCustomListBox::SetSelected(int index, bool value) {
    if (MultiSelect) {
        if (SendMessageW(Handle(), LB_SETSEL, value, index) == LB_ERR) FItems->Error(kIndexError, index);
    } else if (value) {
        SetItemIndex(index);
    } else if (ItemIndex() == index) {
        SetItemIndex(-1);
    }
}

int TWideCustomListBox::SelCount() {
    if (!MultiSelect) return ItemIndex() >= 0 ? 1 : 0;
    return static_cast<int>(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0));
}

void TWideCustomListBox::SetCount(int value) {
    if (!IsVirtual()) return;
    FVirtualCount = std::max(0, value);
    SendMessageW(Handle(), LB_SETCOUNT, FVirtualCount, 0);
    CountChanged(FVirtualCount);
}

int TWideCustomListBox::ItemAtPos(POINT pos, bool existing) {
    int count = Count();
    RECT client = ClientRect();
    if (PtInRect(&client, pos)) {
        int i = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
        for (; i < count; ++i) {
            RECT r = ItemRect(i);
            if (r.top > client.bottom) break;
            if (PtInRect(&r, pos)) return i;
        }
    }
    return existing ? -1 : count;
}

RECT TWideCustomListBox::ItemRect(int index) {
    RECT r{};
    SendMessageW(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TWideCustomListBox::AddItem(const std::wstring& item, void* object) {
    FItems->AddObject(CutAtNul(item), object);
}

void TWideCustomListBox::CopySelection(IWideItemList* destination) {
    if (!destination) return;
    if (MultiSelect) {
        for (int i = 0, n = Count(); i < n; ++i)
            if (Selected(i)) destination->AddItem(CutAtNul(FItems->Get(i)), FItems->GetObject(i));
    } else if (int i = ItemIndex(); i >= 0) {
        destination->AddItem(CutAtNul(FItems->Get(i)), FItems->GetObject(i));
    }
}

void* TWideCustomListBox::GetItemObject(int index) {
    if (IsVirtual()) return nullptr;
    LRESULT r = SendMessageW(Handle(), LB_GETITEMDATA, index, 0);
    return r == LB_ERR ? nullptr : reinterpret_cast<void*>(r);
}

void TWideCustomListBox::SetItemObject(int index, void* object) {
    if (IsVirtual()) return;
    SendMessageW(Handle(), LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(object));
}

bool TWideCustomListBox::VirtualText(int index, std::wstring& text) {
    if (index < 0 || index >= static_cast<int>(SendMessageW(FHandle, LB_GETCOUNT, 0, 0))) return false;
    if (!OnData) return false;
    text.clear();
    OnData(this, index, text);
    return true;
}

void TWideCustomListBox::WndProc(TMessage& m) {
    if (IsVirtual() && FHandle && (m.Msg == LB_GETTEXTLEN || m.Msg == LB_GETTEXT)) {
        int index = static_cast<int>(m.WParam);
        std::wstring text;
        if (!VirtualText(index, text)) {
            m.Result = LB_ERR;
            return;
        }
        if (m.Msg == LB_GETTEXTLEN) {
            FLastLenIndex = index;
            FLastLen = static_cast<int>(text.size());
            m.Result = FLastLen;
            return;
        }
        // The caller sized its buffer from the length reported last for this index.
        if (index == FLastLenIndex && static_cast<int>(text.size()) > FLastLen) text.resize(FLastLen);
        auto* buffer = reinterpret_cast<wchar_t*>(m.LParam);
        if (buffer) {
            std::copy(text.begin(), text.end(), buffer);
            buffer[text.size()] = L'\0';
        }
        m.Result = static_cast<LRESULT>(text.size());
        return;
    }
    TWinControl::WndProc(m);
}

void TWideCustomListBox::CNCommand(TMessage& m) {
    switch (HIWORD(m.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
    m.Result = 0;
}

void TWideCustomListBox::WMLButtonDblClk(TMessage& m) { DefaultHandler(m); }

void TWideCustomListBox::CNDrawItem(TMessage& m) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    TOwnerDrawState state = PrepareOwnerDraw(FCanvas, *dis, *this);
    int index = static_cast<int>(dis->itemID);
    if (index >= 0) {
        DrawItem(index, dis->rcItem, state);
    } else {
        FCanvas.FillRect(dis->rcItem);
    }
    if (state & odFocused) DrawFocusRect(dis->hDC, &dis->rcItem);
    FCanvas.SetHandle(nullptr);
    m.Result = 1;
}

void TWideCustomListBox::CNMeasureItem(TMessage& m) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    int height = ItemHeight;
    if (FStyle == lbOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, static_cast<int>(mis->itemID), height);
    mis->itemHeight = static_cast<UINT>(std::max(1, height));
    m.Result = 1;
}

void TWideCustomListBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    if (OnDrawItem)
        OnDrawItem(this, index, rect, state);
    else
        DefaultDrawItem(index, rect);
}

void TWideCustomListBox::DefaultDrawItem(int index, RECT rect) {
    FCanvas.FillRect(rect);
    if (index >= Count()) return;
    std::wstring text;
    if (IsVirtual()) {
        if (!VirtualText(index, text)) return;
    } else {
        text = FItems->Get(index);
    }
    RECT r = rect;
    r.left += 2;
    FCanvas.Brush().SetStyle(classlib::bsClear);
    FCanvas.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    FCanvas.Brush().SetStyle(classlib::bsSolid);
}

}  // namespace wide
