// Base of the views with an in-place editor (list view, tree view): keys typed into the
// editor reach the view's key events (and the form's key preview) first; a key a handler
// consumes goes no further. Main thread only.
#pragma once

#include "classlib/control.h"

namespace wide {

class TWideEditingView : public classlib::TWinControl {
public:
    using classlib::TWinControl::TWinControl;

protected:
    // Routes the keys of `edit` (the view's in-place editor window) through the view; the
    // routing ends with the editor window. Does nothing for a null window.
    void HookInPlaceEditor(HWND edit);

private:
    bool EditorKey(UINT msg, WPARAM& wParam);
    static LRESULT CALLBACK EditorProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR ref);
};

}  // namespace wide
