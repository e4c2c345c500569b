#include "controls/wide/wideedit.h"

#include "classlib/errors.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/wideutils.h"

#include <algorithm>

namespace wide {

using namespace classlib;

namespace {

void GetSel(HWND wnd, DWORD& start, DWORD& end) {
    start = end = 0;
    SendMessageW(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
}

}  // namespace

int WideEditGetSelStart(TWinControl* control) {
    DWORD s, e;
    GetSel(control->Handle(), s, e);
    return static_cast<int>(s);
}

void WideEditSetSelStart(TWinControl* control, int value) {
    SendMessageW(control->Handle(), EM_SETSEL, value, value);
}

int WideEditGetSelLength(TWinControl* control) {
    DWORD s, e;
    GetSel(control->Handle(), s, e);
    return static_cast<int>(e - s);
}

void WideEditSetSelLength(TWinControl* control, int value) {
    DWORD s, e;
    GetSel(control->Handle(), s, e);
    SendMessageW(control->Handle(), EM_SETSEL, s, static_cast<LPARAM>(s) + value);
    SendMessageW(control->Handle(), EM_SCROLLCARET, 0, 0);
}

std::wstring WideEditGetSelText(TWinControl* control) {
    DWORD s, e;
    GetSel(control->Handle(), s, e);
    std::wstring text = GetWideControlText(control);
    if (s >= text.size() || e <= s) return {};
    return text.substr(s, std::min<size_t>(e - s, text.size() - s));
}

void WideEditSetSelText(TWinControl* control, const std::wstring& value) {
    SendMessageW(control->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

// --- TWideCustomEdit -----------------------------------------------------------------------

TWideCustomEdit::TWideCustomEdit(TComponent* owner) : TWinControl(owner) {
    FTabStop = true;
    // A box of data has the window colour of its own, whatever its parent paints.
    FParentColor = false;
    FColor = clWindow;
    FWidth = 121;
    FHeight = 21;
}

void TWideCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = L"EDIT";
    p.Style |= ES_AUTOHSCROLL;
    if (FReadOnly) p.Style |= ES_READONLY;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TWideCustomEdit::CreateHandle() {
    TWinControl::CreateHandle();
    // 0 lifts the system's default limit of 30,000 characters.
    SendMessageW(FHandle, EM_SETLIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FPasswordChar) SendMessageW(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
}

void TWideCustomEdit::SelectAll() {
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TWideCustomEdit::SetPasswordChar(wchar_t value) {
    if (value == FPasswordChar) return;
    FPasswordChar = value;
    if (HandleAllocated()) {
        SendMessageW(FHandle, EM_SETPASSWORDCHAR, value, 0);
        Invalidate();
    }
}

void TWideCustomEdit::SetMaxLength(int value) {
    FMaxLength = std::max(0, value);
    if (HandleAllocated()) SendMessageW(FHandle, EM_SETLIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TWideCustomEdit::SetReadOnly(bool value) {
    FReadOnly = value;
    if (HandleAllocated()) SendMessageW(FHandle, EM_SETREADONLY, value, 0);
}

void TWideCustomEdit::CNCommand(TMessage& m) {
    if (HIWORD(m.WParam) == EN_CHANGE) Change();
    m.Result = 0;
}

void TWideCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

// --- TWideCustomMemo ------------------------------------------------------------------------

TWideCustomMemo::TWideCustomMemo(TComponent* owner)
    : TWideCustomEdit(owner), FLines(std::make_unique<TWideMemoStrings>(this)) {
    FWidth = 185;
    FHeight = 89;
}

void TWideCustomMemo::CreateParams(TCreateParams& p) {
    TWideCustomEdit::CreateParams(p);
    p.Style &= ~ES_AUTOHSCROLL;
    p.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth) p.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) p.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) p.Style |= WS_HSCROLL;
    if (WantReturns) p.Style |= ES_WANTRETURN;
}

void TWideCustomMemo::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    RecreateWnd();
}

void TWideCustomMemo::SetScrollBars(TScrollStyle value) {
    if (value == FScrollBars) return;
    FScrollBars = value;
    RecreateWnd();
}

void TWideCustomMemo::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        TWideCustomEdit::WndProc(m);
        if (WantTabs)
            m.Result |= DLGC_WANTTAB;
        else
            m.Result &= ~DLGC_WANTTAB;
        if (!WantReturns) m.Result &= ~DLGC_WANTALLKEYS;
        return;
    }
    TWideCustomEdit::WndProc(m);
}

// --- TWideMemoStrings -----------------------------------------------------------------------

HWND TWideMemoStrings::Wnd() const { return FMemo->Handle(); }

int TWideMemoStrings::GetCount() const {
    HWND wnd = Wnd();
    int n = static_cast<int>(SendMessageW(wnd, EM_GETLINECOUNT, 0, 0));
    // The empty line after a final line break is not a line of the list.
    if (n > 0) {
        LRESULT start = SendMessageW(wnd, EM_LINEINDEX, n - 1, 0);
        if (start >= 0 && SendMessageW(wnd, EM_LINELENGTH, start, 0) == 0) --n;
    }
    return n;
}

std::wstring TWideMemoStrings::Get(int index) const {
    HWND wnd = Wnd();
    LRESULT start = SendMessageW(wnd, EM_LINEINDEX, index, 0);
    if (start < 0) return {};
    LRESULT length = SendMessageW(wnd, EM_LINELENGTH, start, 0);
    if (length <= 0) return {};
    // EM_GETLINE takes its buffer size in one WORD; the whole text has no such limit.
    std::wstring text = GetWideControlText(FMemo);
    size_t s = static_cast<size_t>(start);
    if (s >= text.size()) return {};
    return text.substr(s, std::min(static_cast<size_t>(length), text.size() - s));
}

std::wstring TWideMemoStrings::GetTextStr() const { return GetWideControlText(FMemo); }

void TWideMemoStrings::Put(int index, const std::wstring& s) {
    HWND wnd = Wnd();
    LRESULT start = SendMessageW(wnd, EM_LINEINDEX, index, 0);
    if (start < 0) return;
    LRESULT length = SendMessageW(wnd, EM_LINELENGTH, start, 0);
    SendMessageW(wnd, EM_SETSEL, start, start + length);
    SendMessageW(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TWideMemoStrings::SetTextStr(const std::wstring& value) {
    std::wstring text = WideAdjustLineBreaks(value, tlbsCRLF);
    if (text == GetTextStr()) return;
    FMemo->HandleNeeded();
    SetWideControlText(FMemo, text);
}

void TWideMemoStrings::Clear() { SetWideControlText(FMemo, L""); }

void TWideMemoStrings::Delete(int index) {
    HWND wnd = Wnd();
    LRESULT start = SendMessageW(wnd, EM_LINEINDEX, index, 0);
    if (start < 0) return;
    LRESULT end = SendMessageW(wnd, EM_LINEINDEX, index + 1, 0);
    if (end < 0) end = start + SendMessageW(wnd, EM_LINELENGTH, start, 0);
    SendMessageW(wnd, EM_SETSEL, start, end);
    SendMessageW(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L""));
}

void TWideMemoStrings::InsertObject(int index, const std::wstring& s, void*) {
    if (index < 0) return;
    HWND wnd = Wnd();
    LRESULT start = SendMessageW(wnd, EM_LINEINDEX, index, 0);
    std::wstring text;
    if (start >= 0) {
        text = s + L"\r\n";
    } else {
        start = SendMessageW(wnd, EM_LINEINDEX, index - 1, 0);
        if (start < 0) return;
        LRESULT length = SendMessageW(wnd, EM_LINELENGTH, start, 0);
        if (length == 0) return;
        start += length;
        text = L"\r\n" + s;
    }
    SendMessageW(wnd, EM_SETSEL, start, start);
    SendMessageW(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TWideMemoStrings::SetUpdateState(bool updating) {
    if (!FMemo->HandleAllocated()) return;
    SendMessageW(FMemo->Handle(), WM_SETREDRAW, !updating, 0);
    if (!updating) FMemo->Invalidate();
}

}  // namespace wide
