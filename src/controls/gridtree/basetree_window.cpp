// The tree's window: its creation and styles, the non-client area with the header and the
// border, painting and printing messages, colour, font and theme changes, and the
// tree-view queries that accessibility tools send.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"

namespace gridtree {

namespace {
// The class library's themes ask whether a control may be subclassed.
constexpr UINT CM_ThemeSubclassQuery = classlib::CM_BASE + 2000;

// The focused item's state bit of the tree-view queries (not in every header set).
constexpr UINT ItemFocusedState = 0x0001;

int BevelWidth(TBevelKind Kind) { return Kind == bkNone ? 0 : Kind == bkFlat ? 1 : 2; }

// Reads or writes a record the caller points to; false when the memory is not there.
template <class T>
bool ReadCallerRecord(LPARAM Address, T& Value) {
    SIZE_T done = 0;
    return Address && ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(Address), &Value,
                                        sizeof(T), &done) &&
           done == sizeof(T);
}

bool WriteCaller(void* Address, const void* Data, size_t Size) {
    SIZE_T done = 0;
    return Address && WriteProcessMemory(GetCurrentProcess(), Address, Data, Size, &done) && done == Size;
}
}  // namespace

void TBaseGridTree::WndProc(classlib::TMessage& Message) {
    // The header goes before the window (the tree's members are freed first).
    if (!FMessageOnly && FHeader && FHeader->HandleHeaderMessage(Message)) return;
    if (TransferWindowProc(Message)) return;
    switch (Message.Msg) {
        case WM_CHANGESTATE:
        case WM_TIMER:
            if (StateWindowProc(Message)) return;
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            // A click on a scroll bar focuses the tree as a click on the rows does.
            if (!FMessageOnly && !Focused() && CanFocus()) SetFocus();
            break;
        case WM_DESTROY:
            // The panning window is owned by this one and goes with it.
            StopWheelPanning();
            // Also when the window goes with its parent's, not through DestroyWnd.
            ReleaseMessageWindow();
            break;
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (!FMessageOnly) {
                WMScroll(Message, Message.Msg == WM_VSCROLL);
                return;
            }
            break;
        default:
            break;
    }
    if (!FMessageOnly && (InputMessage(Message) || WindowMessage(Message))) return;
    TCustomControl::WndProc(Message);
}

bool TBaseGridTree::WindowMessage(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_NCCALCSIZE: {
            TCustomControl::WndProc(Message);
            // Inside the frame: the bevel, the border ring, then the header's strip.
            RECT* r = reinterpret_cast<RECT*>(Message.LParam);  // rgrc[0] in both forms
            const int inset = BevelWidth(FBevelKind) + FBorderWidth;
            InflateRect(r, -inset, -inset);
            if (r->right < r->left) r->right = r->left;
            if (FHeader && (FHeader->Options() & hoVisible)) r->top += FHeader->Height();
            if (r->bottom < r->top) r->bottom = r->top;
            return true;
        }
        case WM_NCHITTEST: {
            TCustomControl::WndProc(Message);
            if (FHeader && (FHeader->Options() & hoVisible)) {
                POINT p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
                ::ScreenToClient(FHandle, &p);
                if (FHeader->PointInHeader(p)) Message.Result = HTBORDER;
            }
            return true;
        }
        case WM_NCPAINT: {
            const LONG_PTR exStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
            if (HasState(tsUseThemes) && (exStyle & WS_EX_CLIENTEDGE)) {
                // The frame without the client edge, which the theme paints below.
                RECT window{};
                GetWindowRect(FHandle, &window);
                InflateRect(&window, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
                classlib::TGdiObject<HRGN> region(CreateRectRgnIndirect(&window));
                if (Message.WParam != 1) CombineRgn(region.Handle(), region.Handle(), reinterpret_cast<HRGN>(Message.WParam), RGN_AND);
                DefWindowProcW(FHandle, WM_NCPAINT, reinterpret_cast<WPARAM>(region.Handle()), 0);
            } else {
                TCustomControl::WndProc(Message);
            }
            classlib::TWindowDC dc(FHandle, GetWindowDC(FHandle));
            if (dc.Handle()) {
                PaintHeaderInto(dc.Handle());
                RECT window{};
                GetWindowRect(FHandle, &window);
                OffsetRect(&window, -window.left, -window.top);
                PaintBorder(dc.Handle(), window);
                if (HasState(tsUseThemes) && (exStyle & WS_EX_CLIENTEDGE)) {
                    HTHEME theme = OpenThemeData(FHandle, L"TREEVIEW");
                    if (theme) {
                        classlib::TSavedDC saved(dc.Handle());
                        RECT inner = window;
                        InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
                        ExcludeClipRect(dc.Handle(), inner.left, inner.top, inner.right, inner.bottom);
                        DrawThemeBackground(theme, dc.Handle(), 0, 0, &window, nullptr);
                        CloseThemeData(theme);
                    }
                }
            }
            Message.Result = 0;
            return true;
        }
        case WM_ERASEBKGND:
            // Painting covers every pixel.
            Message.Result = 1;
            return true;
        case WM_PRINT: {
            if ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) {
                Message.Result = 0;
                return true;
            }
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            if (dc) PaintHeaderInto(dc);
            TCustomControl::WndProc(Message);
            return true;
        }
        case WM_PRINTCLIENT: {
            Message.Result = 0;
            if ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) return true;
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            if (!dc) return true;
            classlib::TCanvas canvas;
            classlib::TCanvasDCScope scope(canvas, dc);
            canvas.Font().Assign(Font());
            RECT window{0, 0, FClientWidth, FClientHeight};
            OffsetRect(&window, -FOffsetX, -FOffsetY);
            PaintTree(canvas, window, POINT{0, 0}, WindowPaintOptions);
            return true;
        }
        case WM_ENABLE:
            TCustomControl::WndProc(Message);
            RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_NOCHILDREN | RDW_NOERASE | RDW_INVALIDATE);
            return true;
        case WM_THEMECHANGED:
            TCustomControl::WndProc(Message);
            if (HasPaintOption(toThemeAware) && IsThemeActive()) DoStateChange(tsUseThemes, 0);
            else DoStateChange(0, tsUseThemes);
            PrepareBitmaps(true, false);
            RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_NOCHILDREN | RDW_NOERASE | RDW_INVALIDATE);
            return true;
        case WM_SYSCOLORCHANGE:
            // The mapped pictures take the new system colours.
            if (TTreePictures* pictures = TreePictures()) pictures->Reload();
            if (!IsLoading()) {
                PrepareBitmaps(true, true);
                Invalidate();
            }
            TCustomControl::WndProc(Message);
            return true;
        case WM_NCDESTROY:
            StopTimer(ChangeTimer);
            StopTimer(StructureChangeTimer);
            return false;
        case CM_ThemeSubclassQuery:
            Message.Result = 1;
            return true;
        case TVM_GETITEMA:
        case TVM_GETITEMRECT:
        case TVM_GETNEXTITEM:
            Message.Result = TreeViewQuery(Message.Msg, Message.WParam, Message.LParam);
            return true;
        default:
            return false;
    }
}

void TBaseGridTree::PaintHeaderInto(HDC DC) {
    if (!FHeader || !(FHeader->Options() & hoVisible) || IsRectEmpty(&FHeaderRect)) return;
    FHeader->Columns().PaintColumnHeaders(DC, FHeaderRect, FOffsetX);
}

SIZE TBaseGridTree::GetBorderDimensions() const {
    SIZE result{0, 0};
    if (!HandleAllocated()) return result;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    if (style & WS_BORDER) {
        --result.cx;
        --result.cy;
    }
    if (style & WS_THICKFRAME) {
        result.cx -= GetSystemMetrics(SM_CXDLGFRAME);
        result.cy -= GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        result.cx -= GetSystemMetrics(SM_CXEDGE);
        result.cy -= GetSystemMetrics(SM_CYEDGE);
    }
    return result;
}

void TBaseGridTree::PaintBorder(HDC DC, const RECT& WindowRect) {
    if (FBevelKind == bkNone && FBorderWidth == 0) return;
    const SIZE border = GetBorderDimensions();
    RECT r = WindowRect;
    InflateRect(&r, border.cx, border.cy);
    switch (FBevelKind) {
        case bkTile: DrawEdge(DC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST); break;
        case bkSoft: DrawEdge(DC, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST); break;
        case bkFlat: DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST); break;
        default: break;
    }
    if (FBorderWidth > 0) {
        classlib::TSavedDC saved(DC);
        RECT inner = r;
        InflateRect(&inner, -FBorderWidth, -FBorderWidth);
        ExcludeClipRect(DC, inner.left, inner.top, inner.right, inner.bottom);
        classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(classlib::ColorToRGB(FColors->BorderColor())));
        FillRect(DC, &r, brush.Handle());
    }
}

void TBaseGridTree::CreateParams(classlib::TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.WinClassName = L"TBaseGridTree";
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (!FParent) {
        // No parent: a message-only window serves the worker and the timers.
        Params.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        Params.WndParent = HWND_MESSAGE;
        Params.Menu = nullptr;
        return;
    }
    switch (FScrollBarOptions->ScrollBars()) {
        case ssHorizontal: Params.Style |= WS_HSCROLL; break;
        case ssVertical: Params.Style |= WS_VSCROLL; break;
        case ssBoth: Params.Style |= WS_HSCROLL | WS_VSCROLL; break;
        default: break;
    }
    Params.WindowClass.style = CS_DBLCLKS;
    if (HasOption(toFullRepaintOnResize)) Params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    if (FBorderStyle == classlib::bsSingle) {
        if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TBaseGridTree::CMColorChanged(classlib::TMessage& Message) {
    TCustomControl::CMColorChanged(Message);
    if (!FHeader) return;  // the constructor sets the colour before the parts exist
    for (TColumnIndex i = 0; i < FHeader->Columns().Count(); ++i) FHeader->Columns()[i]->ParentColorChanged();
    if (IsLoading()) return;
    PrepareBitmaps(true, false);
    Invalidate();
}

void TBaseGridTree::CMFontChanged(classlib::TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    if (!FHeader) return;
    if (!IsLoading()) {
        PrepareBitmaps(true, false);
        Invalidate();
    }
    FHeader->ParentFontChanged();
}

// --- tree-view queries ----------------------------------------------------------------

LRESULT TBaseGridTree::TreeViewQuery(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case TVM_GETITEMA: {
            TVITEMA item{};
            if (!ReadCallerRecord(LParam, item)) return 0;
            if (!(item.mask & TVIF_HANDLE) || !IsNodeOfTree(item.hItem)) return 0;
            if ((item.mask & TVIF_TEXT) && (item.cchTextMax <= 0 || !item.pszText)) return 0;
            auto node = reinterpret_cast<PGridNode>(item.hItem);
            if (!(node->States & vsInitialized)) InitNode(node);
            if (item.mask & TVIF_CHILDREN) item.cChildren = int(std::min<uint32_t>(node->ChildCount, INT_MAX));
            if (item.mask & TVIF_IMAGE) {
                bool ghosted = false;
                item.iImage = -1;
                DoGetImageIndex(node, ikNormal, NoColumn, ghosted, item.iImage);
            }
            if (item.mask & TVIF_SELECTEDIMAGE) {
                bool ghosted = false;
                item.iSelectedImage = -1;
                DoGetImageIndex(node, ikSelected, NoColumn, ghosted, item.iSelectedImage);
            }
            if (item.mask & TVIF_STATE) {
                item.stateMask = 0xFF2F;
                UINT state = 0;
                if (node == FFocusedNode) state |= ItemFocusedState;
                if (node->States & vsSelected) state |= TVIS_SELECTED;
                if (node->States & vsCutOrCopy) state |= TVIS_CUT;
                if (node == FDropTargetNode) state |= TVIS_DROPHILITED;
                if (node->States & vsExpanded) state |= TVIS_EXPANDED;
                bool ghosted = false;
                int stateImage = -1, overlay = -1;
                DoGetImageIndex(node, ikState, NoColumn, ghosted, stateImage);
                DoGetImageIndex(node, ikOverlay, NoColumn, ghosted, overlay);
                if (stateImage >= 0) state |= UINT(stateImage & 0xF) << 12;
                if (overlay >= 0) state |= UINT(overlay & 0xF) << 8;
                item.state = state;
            }
            if (item.mask & TVIF_TEXT) {
                const std::wstring text = NodeText(node, NoColumn);
                std::string ansi;
                if (!text.empty()) {
                    int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
                    ansi.resize(size_t(std::max(bytes, 0)));
                    if (bytes > 0)
                        WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), ansi.data(), bytes, nullptr, nullptr);
                }
                // At most cchTextMax - 1 bytes, cut between characters, and a terminating zero.
                size_t room = size_t(item.cchTextMax - 1), length = 0;
                while (length < ansi.size()) {
                    size_t step = IsDBCSLeadByte(BYTE(ansi[length])) && length + 1 < ansi.size() ? 2 : 1;
                    if (length + step > room) break;
                    length += step;
                }
                ansi.resize(length);
                ansi.push_back('\0');
                if (!WriteCaller(item.pszText, ansi.data(), ansi.size())) return 0;
            }
            if (!WriteCaller(reinterpret_cast<void*>(LParam), &item, sizeof(item))) return 0;
            return TRUE;
        }
        case TVM_GETITEMRECT: {
            HTREEITEM handle = nullptr;
            if (!ReadCallerRecord(LParam, handle) || !IsNodeOfTree(handle)) return FALSE;
            auto node = reinterpret_cast<PGridNode>(handle);
            if (!(node->States & vsInitialized)) InitNode(node);
            const bool visible = (node->States & vsVisible) != 0;
            RECT r = GetDisplayRect(node, NoColumn, WParam != 0);
            if (!WriteCaller(reinterpret_cast<void*>(LParam), &r, sizeof(r))) return FALSE;
            return visible;
        }
        case TVM_GETNEXTITEM: {
            auto item = reinterpret_cast<PGridNode>(LParam);
            auto need = [&] { return IsNodeOfTree(item); };
            PGridNode result = nullptr;
            switch (WParam) {
                case TVGN_ROOT: result = GetFirst(); break;
                case TVGN_NEXT: if (need()) result = GetNextSibling(item); break;
                case TVGN_PREVIOUS: if (need()) result = GetPreviousSibling(item); break;
                case TVGN_PARENT: if (need()) result = item->Parent == FRoot ? nullptr : item->Parent; break;
                case TVGN_CHILD: if (need()) result = GetFirstChild(item); break;
                case TVGN_FIRSTVISIBLE: result = GetFirstVisible(); break;
                case TVGN_NEXTVISIBLE: if (need()) result = GetNextVisible(item); break;
                case TVGN_PREVIOUSVISIBLE: if (need()) result = GetPreviousVisible(item); break;
                case TVGN_DROPHILITE: result = FDropTargetNode; break;
                case TVGN_CARET: result = FFocusedNode; break;
                case TVGN_LASTVISIBLE: result = GetLastVisible(); break;
                default: break;
            }
            return reinterpret_cast<LRESULT>(result);
        }
        default:
            return 0;
    }
}

void TBaseGridTree::CreateWnd() {
    DoStateChange(tsWindowCreating, 0);
    {
        auto endCreating = classlib::ScopeExit([&] { DoStateChange(0, tsWindowCreating); });
        FMessageOnly = FParent == nullptr;
        TCustomControl::CreateWnd();
    }
    FMessageWindow.store(FHandle);
    // Timers of the previous window start again on this one.
    for (UINT_PTR id = 1; id < 8; ++id)
        if (FActiveTimers & (1u << id)) SetTimer(FHandle, id, FTimerDelays[id], nullptr);
    if (!FMessageOnly) {
        if (HasPaintOption(toThemeAware) && IsThemeActive()) DoStateChange(tsUseThemes, 0);
        else DoStateChange(0, tsUseThemes);
        if (FHeader->Options() & hoAutoResize) FHeader->Columns().AutoSizeColumn(InvalidColumn, false);
        PrepareBitmaps(true, true);
        // The frame is asked again now that the window exists, so the header's strip counts.
        if ((FHeader->Options() & hoVisible) || FBorderWidth > 0 || FBevelKind != bkNone)
            SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, 0x637);
        UpdateHeaderRect();
        ClientSizeFromWindow();
        UpdateDropTargetRegistration();
    }
    if (HasState(tsValidationNeeded) && FUpdateCount == 0) RequestValidation();
}

void TBaseGridTree::DestroyWnd() {
    ReleaseMessageWindow();
    TCustomControl::DestroyWnd();
}

void TBaseGridTree::ReleaseMessageWindow() {
    if (!FMessageWindow.load()) return;
    // The worker must not be talking to the window that goes: stop it first. The
    // validation timer dies with the window and is started again by the next window.
    bool wanted = HasState(tsUseCache | tsValidating | tsValidationNeeded);
    InterruptValidation();
    if (wanted) DoStateChange(tsValidationNeeded, 0);
    FMessageWindow.store(nullptr);
    FValidationRequested = false;
}

void TBaseGridTree::WMSize(classlib::TMessage& Message) {
    TCustomControl::WMSize(Message);
    if (FMessageOnly || !HandleAllocated()) return;
    UpdateHeaderRect();
    RECT client{};
    GetClientRect(FHandle, &client);
    if (HasState(tsSizing | tsWindowCreating) || client.bottom <= 0) {
        // The size is recorded; layout follows once the window is made and has a height.
        ClientSizeFromWindow();
        return;
    }
    DoStateChange(tsSizing, 0);
    auto endSizing = classlib::ScopeExit([&] { DoStateChange(0, tsSizing); });
    ClientSizeFromWindow();
    if (FHeader) FHeader->UpdateSprings();
    UpdateScrollBars(true);
    if (IsEditing() && ColumnCount() == 0) UpdateEditBounds();
}

void TBaseGridTree::UpdateHeaderRect() {
    FHeaderRect = RECT{};
    if (!FHeader || !HasControlWindow() || !(FHeader->Options() & hoVisible)) return;
    // The strip right above the client area, across the whole window inside the border,
    // bevel and border ring (also above a vertical scroll bar).
    RECT window{};
    GetWindowRect(FHandle, &window);
    POINT origin{0, 0};
    ::ClientToScreen(FHandle, &origin);
    const int inset = -GetBorderDimensions().cx + BevelWidth(FBevelKind) + FBorderWidth;
    const int clientTop = origin.y - window.top;
    const int top = std::max(0, clientTop - FHeader->Height());
    FHeaderRect = RECT{inset, top, std::max<LONG>(inset, window.right - window.left - inset), clientTop};
}

void TBaseGridTree::DoColumnResize(TColumnIndex Column) {
    if (IsLoading()) return;
    if (HandleAllocated()) Resized(Column);
    if (OnColumnResize) OnColumnResize(FHeader.get(), Column);
}

void TBaseGridTree::Resized(TColumnIndex Column) {
    for (PGridNode node = GetFirstNoInit(); node; node = GetNextNoInit(node))
        if (node->States & vsMultiline) node->States &= ~vsHeightMeasured;
    UpdateHorizontalScrollBar(false);
    if (TGridTreeColumn* column = FHeader->Columns().GetItem(Column); column && HasControlWindow()) {
        RECT r{0, 0, FClientWidth, FClientHeight};
        if (!HasAutoOption(toAutoSpanColumns)) r.left = column->AbsoluteLeft();
        InvalidateRect(FHandle, &r, FALSE);
        FHeader->InvalidateColumn(column, true);
        // While the user drags a border the window follows at once.
        if (FHeader->States() & hstResizing) UpdateWindow(FHandle);
    }
    if (IsEditing()) UpdateEditBounds();
}

void TBaseGridTree::ClientSizeFromWindow() {
    if (!HasControlWindow()) return;
    RECT r{};
    GetClientRect(FHandle, &r);
    if (r.right - r.left == FClientWidth && r.bottom - r.top == FClientHeight) return;
    FClientWidth = r.right - r.left;
    FClientHeight = r.bottom - r.top;
    UpdateScrollBars(true);
}

void TBaseGridTree::SetParent(classlib::TWinControl* Parent) {
    if (Parent == FParent) return;
    if (HandleAllocated() && FMessageOnly) DestroyHandle();
    TCustomControl::SetParent(Parent);
    if (FDestroying || (ComponentState() & classlib::csDestroying)) return;
    if (!HandleAllocated() && (FActiveTimers || (HasState(tsValidationNeeded) && FUpdateCount == 0)))
        HandleNeeded();
    if (!FParent) UpdateScrollBars(false);
}

bool TBaseGridTree::CanFocus() {
    if (!TCustomControl::CanFocus()) return false;
    classlib::TForm* form = classlib::GetParentForm(this);
    return !form || (form->Enabled() && form->Visible());
}

void TBaseGridTree::SetIndent(uint32_t Value) {
    FIndent = Value;
    if (FUpdateCount == 0 && HasControlWindow()) UpdateScrollBars(true);
    Invalidate();
}

RECT TBaseGridTree::ClientRect() {
    if (HasControlWindow()) return TCustomControl::ClientRect();
    return RECT{0, 0, FClientWidth, FClientHeight};
}

void TBaseGridTree::SetClientSize(int Width, int Height) {
    if (FParent) {
        // A tree on a parent sizes its window; the client size follows from WM_SIZE.
        TCustomControl::SetClientSize(Width, Height);
        ClientSizeFromWindow();
        return;
    }
    FClientWidth = std::max(0, Width);
    FClientHeight = std::max(0, Height);
    UpdateScrollBars(true);
}

}  // namespace gridtree
