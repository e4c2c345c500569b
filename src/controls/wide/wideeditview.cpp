#include "controls/wide/wideeditview.h"

#include <commctrl.h>

namespace wide {

using namespace classlib;

bool TWideEditingView::EditorKey(UINT msg, WPARAM& wParam) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        if (DoKeyDown(key, KeyboardStateToShiftState())) return true;
        wParam = key;
        return false;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        KeyUp(key, KeyboardStateToShiftState());
        if (key == 0) return true;
        wParam = key;
        return false;
    }
    case WM_CHAR: {
        auto ch = static_cast<wchar_t>(wParam);
        if (DoKeyPress(ch)) return true;
        wParam = ch;
        return false;
    }
    default: return false;
    }
}

LRESULT CALLBACK TWideEditingView::EditorProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, EditorProc, id);
        return DefSubclassProc(wnd, msg, wParam, lParam);
    }
    bool consumed = false;
    GuardedCall([&] { consumed = reinterpret_cast<TWideEditingView*>(ref)->EditorKey(msg, wParam); });
    if (consumed) return 0;
    return DefSubclassProc(wnd, msg, wParam, lParam);
}

void TWideEditingView::HookInPlaceEditor(HWND edit) {
    if (edit) SetWindowSubclass(edit, EditorProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

}  // namespace wide
