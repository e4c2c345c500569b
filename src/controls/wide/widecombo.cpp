#include "controls/wide/widecombo.h"

#include "controls/wide/wideowner_p.h"
#include "classlib/errors.h"

#include <commctrl.h>

#include <algorithm>

namespace wide {

using namespace classlib;

namespace {

const wchar_t kInsertError[] = L"行を挿入できません";
constexpr DWORD kTypeAheadPause = 1250;


}  // namespace

// --- TWideComboBoxStrings -------------------------------------------------------------------

HWND TWideComboBoxStrings::Wnd() const { return FComboBox->Handle(); }

std::wstring TWideComboBoxStrings::Get(int index) const {
    HWND wnd = Wnd();
    LRESULT len = SendMessageW(wnd, CB_GETLBTEXTLEN, index, 0);
    if (len == CB_ERR) return {};
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    if (SendMessageW(wnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(s.data())) == CB_ERR) return {};
    s.resize(wcslen(s.c_str()));
    return s;
}

int TWideComboBoxStrings::GetCount() const { return static_cast<int>(SendMessageW(Wnd(), CB_GETCOUNT, 0, 0)); }

void* TWideComboBoxStrings::GetObject(int index) const {
    LRESULT r = SendMessageW(Wnd(), CB_GETITEMDATA, index, 0);
    if (r == CB_ERR) Error(L"リストのインデックスが範囲を超えています (%d)", index);
    return reinterpret_cast<void*>(r);
}

void TWideComboBoxStrings::PutObject(int index, void* object) {
    SendMessageW(Wnd(), CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(object));
}

// A new item's data is 0: only an object is put (a long list of texts costs one message an
// item).
int TWideComboBoxStrings::AddObject(const std::wstring& s, void* object) {
    LRESULT r = SendMessageW(Wnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfResources(kInsertError);
    if (object) PutObject(static_cast<int>(r), object);
    return static_cast<int>(r);
}

void TWideComboBoxStrings::InsertObject(int index, const std::wstring& s, void* object) {
    LRESULT r = SendMessageW(Wnd(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfResources(kInsertError);
    if (object) PutObject(static_cast<int>(r), object);
}

void TWideComboBoxStrings::Clear() {
    HWND wnd = Wnd();
    std::wstring text = FComboBox->GetText();
    SendMessageW(wnd, CB_RESETCONTENT, 0, 0);
    FComboBox->SetText(text);
    FComboBox->Update();
}

void TWideComboBoxStrings::Delete(int index) { SendMessageW(Wnd(), CB_DELETESTRING, index, 0); }

int TWideComboBoxStrings::IndexOf(const std::wstring& s) const {
    LRESULT r = SendMessageW(Wnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
    return r == CB_ERR ? -1 : static_cast<int>(r);
}

void TWideComboBoxStrings::SetUpdateState(bool updating) {
    if (!FComboBox->HandleAllocated()) return;
    SendMessageW(FComboBox->Handle(), WM_SETREDRAW, !updating, 0);
    if (!updating) FComboBox->Invalidate();
}

// --- the edit part ------------------------------------------------------------------------------

LRESULT CALLBACK ComboEditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* combo = reinterpret_cast<TWideCustomComboBox*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, ComboEditProc, 0);
        if (combo->FEditHandle == wnd) combo->FEditHandle = nullptr;
        return DefSubclassProc(wnd, msg, wp, lp);
    }
    if (msg != WM_CHAR) return DefSubclassProc(wnd, msg, wp, lp);
    wchar_t key = static_cast<wchar_t>(wp);
    bool consumed = false;
    GuardedCall([&] {
        consumed = combo->DoKeyPress(key) || key == 0;
        if (!consumed) consumed = combo->EditCharHook(key);
    });
    if (consumed) return 0;
    if ((key == VK_RETURN || key == VK_ESCAPE) && combo->HandleAllocated() && combo->DroppedDown()) {
        combo->SetDroppedDown(false);
        return 0;
    }
    return DefSubclassProc(wnd, msg, key, lp);
}

// --- TWideCustomComboBox --------------------------------------------------------------------

TWideCustomComboBox::TWideCustomComboBox(TComponent* owner)
    : TWinControl(owner), FItems(std::make_unique<TWideComboBoxStrings>(this)) {
    FTabStop = true;
    // A box of data has the window colour of its own, whatever its parent paints.
    FParentColor = false;
    FColor = clWindow;
    FWidth = 145;
    FHeight = 21;
}

TWideCustomComboBox::~TWideCustomComboBox() {
    // The edit part must not call back into a half-destroyed object.
    if (FEditHandle) RemoveWindowSubclass(FEditHandle, ComboEditProc, 0);
    FEditHandle = nullptr;
}

void TWideCustomComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = L"COMBOBOX";
    p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    switch (FStyle) {
    case csDropDown: p.Style |= CBS_DROPDOWN; break;
    case csSimple: p.Style |= CBS_SIMPLE; break;
    case csDropDownList: p.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    }
    if (FStyle != csSimple) p.Height = FHeight + DropDownCount * ItemHeight;
}

void TWideCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    FEditHandle = nullptr;
    if (IsEditStyle()) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(FHandle, &info) && info.hwndItem && info.hwndItem != FHandle) {
            FEditHandle = info.hwndItem;
            SetWindowSubclass(FEditHandle, ComboEditProc, 0, reinterpret_cast<DWORD_PTR>(this));
        }
        SendMessageW(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(std::max(0, MaxLength)), 0);
    }
    if (FSaved) {
        std::unique_ptr<TWideStringList> saved = std::move(FSaved);
        for (int i = 0; i < saved->GetCount(); ++i) {
            LRESULT r = SendMessageW(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(saved->Get(i).c_str()));
            if (r >= 0) SendMessageW(FHandle, CB_SETITEMDATA, r, reinterpret_cast<LPARAM>(saved->GetObject(i)));
        }
        if (FSavedIndex != -1) SendMessageW(FHandle, CB_SETCURSEL, std::min(FSavedIndex, saved->GetCount()), 0);
        FSavedIndex = -1;
    }
}

void TWideCustomComboBox::WMDestroy(TMessage& m) {
    if (!IsControlDestroying(this)) {
        int n = FItems->GetCount();
        if (n > 0) {
            auto saved = std::make_unique<TWideStringList>();
            for (int i = 0; i < n; ++i) saved->AddObject(FItems->Get(i), FItems->GetObject(i));
            FSavedIndex = static_cast<int>(SendMessageW(FHandle, CB_GETCURSEL, 0, 0));
            FSaved = std::move(saved);
        }
    }
    TWinControl::WMDestroy(m);
}

void TWideCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    RecreateWnd();
}

int TWideCustomComboBox::ItemIndex() { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void TWideCustomComboBox::SetItemIndex(int value) { SendMessageW(Handle(), CB_SETCURSEL, value, 0); }

bool TWideCustomComboBox::DroppedDown() { return SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TWideCustomComboBox::SetDroppedDown(bool value) { SendMessageW(Handle(), CB_SHOWDROPDOWN, value, 0); }

int TWideCustomComboBox::SelStart() {
    if (!IsEditStyle() || !Handle() || !FEditHandle) return 0;
    DWORD s = 0, e = 0;
    SendMessageW(FEditHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(s);
}

int TWideCustomComboBox::SelLength() {
    if (!IsEditStyle() || !Handle() || !FEditHandle) return 0;
    DWORD s = 0, e = 0;
    SendMessageW(FEditHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(e - s);
}

void TWideCustomComboBox::SetSelStart(int value) {
    if (IsEditStyle() && Handle() && FEditHandle) SendMessageW(FEditHandle, EM_SETSEL, value, value);
}

void TWideCustomComboBox::SetSelLength(int value) {
    if (!IsEditStyle() || !Handle() || !FEditHandle) return;
    int s = SelStart();
    SendMessageW(FEditHandle, EM_SETSEL, s, s + value);
}

std::wstring TWideCustomComboBox::SelText() {
    if (!IsEditStyle()) return {};
    int s = SelStart(), n = SelLength();
    std::wstring text = GetText();
    if (s >= static_cast<int>(text.size())) return {};
    return text.substr(s, std::min<size_t>(n, text.size() - s));
}

void TWideCustomComboBox::SetSelText(const std::wstring& value) {
    if (!IsEditStyle() || !Handle() || !FEditHandle) return;
    SendMessageW(FEditHandle, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void TWideCustomComboBox::CopySelection(IWideItemList* destination) {
    int i = ItemIndex();
    if (destination && i >= 0) destination->AddItem(FItems->Get(i), FItems->GetObject(i));
}

bool TWideCustomComboBox::EditCharHook(wchar_t& key) {
    if (!AutoComplete || !IsEditStyle()) return false;
    switch (key) {
    case VK_BACK:
    case VK_ESCAPE: return false;
    case VK_TAB:
        if (AutoDropDown && DroppedDown()) SetDroppedDown(false);
        return false;
    default: break;
    }
    if (key < 32) return false;
    if (AutoDropDown && !DroppedDown()) {
        std::wstring text = GetText();
        int s = SelStart(), n = SelLength();
        SetDroppedDown(true);
        SetText(text);
        SetSelStart(s);
        SetSelLength(n);
    }
    std::wstring text = GetText();
    int s = SelStart(), n = SelLength();
    if (s + n != static_cast<int>(text.size())) return false;
    std::wstring search = text.substr(0, s) + key;
    if (SelectMatchingItem(search, AutoCompleteKeepsTypedText(), AutoCompleteNeedsUniqueMatch())) {
        key = 0;
        return true;
    }
    return false;
}

void TWideCustomComboBox::WMChar(TMessage& m) {
    wchar_t key = static_cast<wchar_t>(m.WParam);
    if (DoKeyPress(key)) return;
    if (AutoComplete && !IsEditStyle()) {
        switch (key) {
        case VK_BACK:
            if (!FFilter.empty()) FFilter.pop_back();
            break;
        case VK_TAB:
            if (AutoDropDown && DroppedDown()) SetDroppedDown(false);
            break;
        case VK_ESCAPE: break;
        default: {
            if (key < 32) break;
            if (AutoDropDown && !DroppedDown()) SetDroppedDown(true);
            DWORD now = TickCount();
            if (now - FLastTypeAhead >= kTypeAheadPause) FFilter.clear();
            FLastTypeAhead = now;
            if (SelectMatchingItem(FFilter + key, true, false)) {
                FFilter += key;
                key = 0;
            }
            break;
        }
        }
    }
    if (key == 0) return;
    m.WParam = key;
    DefaultHandler(m);
}

bool TWideCustomComboBox::SelectMatchingItem(const std::wstring& searchText, bool keepTyped, bool unique) {
    HWND wnd = Handle();
    auto find = [&](int from) {
        LRESULT r = SendMessageW(wnd, CB_FINDSTRING, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(searchText.c_str()));
        return r == CB_ERR ? -1 : static_cast<int>(r);
    };
    int index = find(-1);
    if (index >= 0 && unique && find(index) != index) index = -1;
    if (index < 0) return false;
    std::wstring item = FItems->Get(index);
    bool changed = FStyle == csDropDown ? GetText() != item : index != ItemIndex();
    if (AutoCloseUp && FItems->IndexOf(searchText) >= 0) SetDroppedDown(false);
    SetItemIndex(index);
    if (IsEditStyle()) {
        std::wstring text = keepTyped && item.size() >= searchText.size() ? searchText + item.substr(searchText.size()) : item;
        SetText(text);
        int start = static_cast<int>(searchText.size());
        SetSelStart(start);
        SetSelLength(static_cast<int>(text.size()) - start);
    }
    if (changed) {
        Click();
        Select();
    }
    return true;
}

void TWideCustomComboBox::CNCommand(TMessage& m) {
    switch (HIWORD(m.WParam)) {
    case CBN_SELCHANGE: {
        int i = ItemIndex();
        if (i >= 0) SetText(FItems->Get(i));
        Click();
        Select();
        break;
    }
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
        if (OnDropDown) OnDropDown(this);
        break;
    case CBN_CLOSEUP:
        if (OnCloseUp) OnCloseUp(this);
        break;
    default: break;
    }
    m.Result = 0;
}

void TWideCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TWideCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TWideCustomComboBox::CNDrawItem(TMessage& m) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    TOwnerDrawState state = PrepareOwnerDraw(FCanvas, *dis, *this);
    DrawItem(static_cast<int>(dis->itemID), dis->rcItem, state);
    if (state & odFocused) DrawFocusRect(dis->hDC, &dis->rcItem);
    FCanvas.SetHandle(nullptr);
    m.Result = 1;
}

void TWideCustomComboBox::CNMeasureItem(TMessage& m) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    mis->itemHeight = static_cast<UINT>(std::max(1, ItemHeight));
    m.Result = 1;
}

void TWideCustomComboBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas.FillRect(rect);
    if (index >= 0) FCanvas.TextOut(rect.left + 2, rect.top, FItems->Get(index));
}

}  // namespace wide
