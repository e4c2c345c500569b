// Messages: the window procedures every window of ours runs through, WndProc / Dispatch /
// DefaultHandler, the reflection of notifications to the child that sent them, and the
// messages that travel along the parent chain (cursor, wheel, font and colour changes).
#include "classlib/control_p.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/screen.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace classlib {

namespace {

// Windows whose last paint failed. Their next failures are not reported again until a paint
// succeeds: a window that cannot paint shows one report, not one per repaint.
std::vector<HWND> gFailedPaints;

// Messages during which a report box would do harm: painting and destruction.
bool DefersReports(TWinControl* c, UINT msg, bool destroyingWindow) {
    switch (msg) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case WM_DESTROY:
    case WM_NCDESTROY: return true;
    default: return destroyingWindow || (c->ComponentState() & csDestroying);
    }
}

bool PaintFailedBefore(HWND wnd) {
    return std::find(gFailedPaints.begin(), gFailedPaints.end(), wnd) != gFailedPaints.end();
}

void ForgetFailedPaint(HWND wnd) {
    gFailedPaints.erase(std::remove(gFailedPaints.begin(), gFailedPaints.end(), wnd), gFailedPaints.end());
}

}  // namespace

bool GuardedCall(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (...) {
        HandleCurrentException(nullptr);
        return false;
    }
}

void DeliverMessage(TWinControl* c, HWND wnd, TMessage& m) {
    {
        std::optional<TDeferExceptionReports> defer;
        if (DefersReports(c, m.Msg, c->FDestroyingWindow)) defer.emplace();
        try {
            c->WndProc(m);
            if (m.Msg == WM_PAINT && !gFailedPaints.empty()) ForgetFailedPaint(wnd);
        } catch (...) {
            m.Result = 0;
            if (m.Msg != WM_PAINT) {
                HandleCurrentException(c);
            } else {
                // The paint guards have ended the paint, if it began: make sure nothing is
                // left invalid, or the window would be asked to paint again at once.
                ValidateRect(wnd, nullptr);
                if (!PaintFailedBefore(wnd)) {
                    gFailedPaints.push_back(wnd);
                    HandleCurrentException(c);
                }
            }
        }
    }
    if (m.Msg == WM_NCDESTROY) {
        // The object outlives its window: forget the handle and the binding.
        if (!gFailedPaints.empty()) ForgetFailedPaint(wnd);
        RemovePropW(wnd, kControlProp);
        if (!c->FSubclassed) SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        if (c->FHandle == wnd) c->FHandle = nullptr;
    }
}

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    LONG_PTR data = GetWindowLongPtrW(wnd, GWLP_USERDATA);
    if (data == kUnboundWindow) return DefWindowProcW(wnd, msg, wp, lp);
    auto* c = reinterpret_cast<TWinControl*>(data);
    if (!c) {
        c = gCreationControl;
        if (!c) return DefWindowProcW(wnd, msg, wp, lp);
        gCreationControl = nullptr;
        c->FHandle = wnd;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));
        SetPropW(wnd, kControlProp, c);
    }
    TMessage m{msg, wp, lp, 0};
    DeliverMessage(c, wnd, m);
    return m.Result;
}

LRESULT CALLBACK ControlSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* c = reinterpret_cast<TWinControl*>(ref);
    TMessage m{msg, wp, lp, 0};
    DeliverMessage(c, wnd, m);
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, ControlSubclassProc, 0);
    return m.Result;
}

void UnbindWindow(HWND wnd, bool subclassed) {
    RemovePropW(wnd, kControlProp);
    if (subclassed)
        RemoveWindowSubclass(wnd, ControlSubclassProc, 0);
    else
        SetWindowLongPtrW(wnd, GWLP_USERDATA, kUnboundWindow);
}

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
    TMessage m{msg, wp, lp, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) { Dispatch(m); }

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_GETTEXTLENGTH: m.Result = static_cast<LRESULT>(FText.size()); break;
    default: break;
    }
}

void TControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT: WMPaint(m); break;
    case WM_LBUTTONDOWN: WMMouseDown(m, mbLeft); break;
    case WM_RBUTTONDOWN: WMMouseDown(m, mbRight); break;
    case WM_MBUTTONDOWN: WMMouseDown(m, mbMiddle); break;
    case WM_LBUTTONUP: WMMouseUp(m, mbLeft); break;
    case WM_RBUTTONUP: WMMouseUp(m, mbRight); break;
    case WM_MBUTTONUP: WMMouseUp(m, mbMiddle); break;
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); break;
    case WM_CONTEXTMENU: WMContextMenu(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); break;
    case CM_FORMSHOWING: CMFormShowing(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_HINTSHOW: CMHintShow(m); break;
    case CM_CURSORCHANGED: CMCursorChanged(m); break;
    case CM_DRAG: CMDrag(m); break;
    case CM_FOCUSCHANGED: CMFocusChanged(m); break;
    default: DefaultHandler(m); break;
    }
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!FHandle) {
        TControl::DefaultHandler(m);
        return;
    }
    if (FSubclassed)
        m.Result = DefSubclassProc(FHandle, m.Msg, m.WParam, m.LParam);
    else if (FDefWndProc)
        m.Result = CallWindowProcW(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
    else
        m.Result = DefWindowProcW(FHandle, m.Msg, m.WParam, m.LParam);
}

void TWinControl::CMFocusChanged(TMessage& m) {
    for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(m.Msg, m.WParam, m.LParam);
}

void TWinControl::CMFormShowing(TMessage&) { NotifyControls(CM_FORMSHOWING); }

void TWinControl::NotifyControls(UINT msg) {
    for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(msg);
}

void TWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_PRINTCLIENT:
        if (!FSubclassed) {
            TMessage e{WM_ERASEBKGND, m.WParam, 0, 0};
            WMEraseBkgnd(e);
            TMessage p{WM_PAINT, m.WParam, 0, 0};
            WMPaint(p);
            return;
        }
        DefaultHandler(m);
        return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(m); return;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(m); return;
    case WM_CHAR: WMChar(m); return;
    case WM_GETDLGCODE: WMGetDlgCode(m); return;
    case WM_CLOSE:
        // A child control's window lives as long as its object: a request to close it (a
        // multi-line edit sends its parent one for Esc) destroys nothing.
        if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) return;
        DefaultHandler(m);
        return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case WM_DESTROY: WMDestroy(m); return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_CONTEXTMENU:
        // A windowless child under the point may have its own menu.
        if (reinterpret_cast<HWND>(m.WParam) == FHandle && m.LParam != -1) {
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            ::ScreenToClient(FHandle, &p);
            if (TControl* c = ControlAtPos(p, false, false); c && c->FPopupMenu) {
                c->WMContextMenu(m);
                return;
            }
        }
        WMContextMenu(m);
        return;
    case WM_MOUSELEAVE:
        if (Application) Application->DoMouseIdle();
        DefaultHandler(m);
        return;
    case WM_COMMAND:
        if (m.LParam) {
            if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
                m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        if (hdr) {
            if (TWinControl* c = FindControl(hdr->hwndFrom); c && c != this) {
                m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (di && di->CtlType != ODT_MENU) {
            if (TWinControl* c = FindControl(di->hwndItem); c && c != this) {
                m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (mi && mi->CtlType != ODT_MENU && FHandle) {
            if (TWinControl* c = FindControl(GetDlgItem(FHandle, static_cast<int>(mi->CtlID))); c && c != this) {
                m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
            m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
            return;
        }
        DefaultHandler(m);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (m.LParam) {
            if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
                m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: CNCtlColor(m); return;
    case CN_COMMAND: CNCommand(m); return;
    case CN_NOTIFY: CNNotify(m); return;
    case CN_DRAWITEM: CNDrawItem(m); return;
    case CN_MEASUREITEM: CNMeasureItem(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_MOUSEWHEEL: CMMouseWheel(m); return;
    default: break;
    }
    // Mouse messages for windowless children.
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        TControl* target = FMouseCaptureControl;
        if (!target) target = ControlAtPos(p, false, false);
        if (target) {
            if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN) {
                if (target->FControlStyle & csCaptureMouse) {
                    FMouseCaptureControl = target;
                    SetCapture(FHandle);
                }
            }
            LPARAM lp = MAKELPARAM(p.x - target->FLeft, p.y - target->FTop);
            target->Perform(m.Msg, m.WParam, lp);
            if (m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP) {
                if (FMouseCaptureControl && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
                    FMouseCaptureControl = nullptr;
                    if (GetCapture() == FHandle) ReleaseCapture();
                }
            }
            return;
        }
        if (m.Msg == WM_MOUSEMOVE && Application && FHandle) {
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&t);
        }
    }
    TControl::Dispatch(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
    if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == FHandle && Screen) {
        TCursor cur = Screen->Cursor();
        if (cur == crDefault) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(FHandle, &p);
            TControl* c = ControlAtPos(p, true, false);
            cur = c ? c->FCursor : FCursor;
            if (cur == crDefault) cur = FCursor;
        }
        if (cur != crDefault) {
            ::SetCursor(Screen->Cursors(cur));
            m.Result = 1;
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::WMMouseWheel(TMessage& m) {
    // Wheel: the focused control first, then its parents (CM_MOUSEWHEEL bubbles up).
    if (Perform(CM_MOUSEWHEEL, m.WParam, m.LParam)) {
        m.Result = 0;
        return;
    }
    DefaultHandler(m);
}

void TWinControl::CMMouseWheel(TMessage& m) {
    if (FParent) m.Result = FParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TWinControl::CNCtlColor(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(FFont->Color()));
    SetBkColor(dc, ColorToRGB(FColor));
    FBrush.SetColor(FColor);
    m.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
}

void TWinControl::CMFontChanged(TMessage& m) {
    if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
    NotifyControls(CM_PARENTFONTCHANGED);
    TControl::CMFontChanged(m);
}

void TWinControl::CMColorChanged(TMessage& m) {
    FBrush.SetColor(FColor);
    NotifyControls(CM_PARENTCOLORCHANGED);
    TControl::CMColorChanged(m);
}

void TWinControl::CMShowingChanged(TMessage&) {}

}  // namespace classlib
