#include "controls/toolbar/ui/uititlebar.h"

#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"
#include "controls/toolbar/ui/uiwindows.h"

namespace ui {

using namespace classlib;
using namespace toolbar;
using namespace themed;

namespace {

bool DefaultTheme() { return ActiveThemeHasQuirk(uqSystemLook); }

TUiToolbar* NewTitleToolbar(TComponent* owner) { return new TUiTitleToolbar(owner); }

bool IsMaximized(TForm* form) {
    RECT bounds{};
    return form && GetFormPlacement(form, bounds) == fpMaximized;
}

}  // namespace

// --- caption buttons ----------------------------------------------------------------------------

TUiButtonOptions::TUiButtonOptions(TControl* parentControl, TUiToolbar* toolbar)
    : FParentControl(parentControl), FToolbar(toolbar) {}

void TUiButtonOptions::SetupButton(TUiCustomItem* item) {
    item->SetCustomWidth(17);
    item->SetCustomHeight(FTitleBarSize);
    item->SetDisplayMode(nbdmImageAndText);
    item->OnDrawImage = [this](TUiCustomItem* sender, TCanvas& canvas, const TThmItemInfo& info, TUiPaintStage stage,
                               TImageList*& images, int& index, RECT& rect, bool& paintDefault) {
        ButtonDrawImage(sender, canvas, info, stage, images, index, rect, paintDefault);
    };
    item->OnDrawItem = [this](TUiCustomItem* sender, TCanvas& canvas, const RECT& rect, const TThmItemInfo& info,
                              TUiPaintStage stage, bool& paintDefault) {
        ButtonDrawItem(sender, canvas, rect, info, stage, paintDefault);
    };
    item->SetOnClick([this, item](TComponent*) { ButtonClick(item); });
    item->SetVisible(false);
    FToolbar->Items()->Add(item);
    UpdateButtonImage(item);
}

void TUiButtonOptions::CreateButtons() {
    TBarRootItem* root = FToolbar->Items();
    FCaptionItem = new TUiRightAlignSpacerItem(root);
    SetupButton(FCaptionItem);
    FCloseItem = new TUiItem(root);
    SetupButton(FCloseItem);
    FCloseItem->SetVisible(FClose);
    FMaximizeItem = new TUiItem(root);
    SetupButton(FMaximizeItem);
    FMaximizeItem->SetVisible(FMaximize);
    FMinimizeItem = new TUiItem(root);
    SetupButton(FMinimizeItem);
    FMinimizeItem->SetVisible(FMinimize);
    SetCaption(FCaption);
}

void TUiButtonOptions::SetupButtons() {
    if (!FCaptionItem) return;
    FCaptionItem->FontSettings().SetBold(tsTrue);
    FCaptionItem->SetWrapping(twEndEllipsis);
    SetTitleBarSize(FTitleBarSize);
    TBarRootItem* root = FToolbar->Items();
    root->Move(root->IndexOf(FCaptionItem), 0);
    for (TUiCustomItem* item : {FMinimizeItem, FMaximizeItem, FCloseItem}) root->Move(root->IndexOf(item), root->Count() - 1);
    FToolbar->RightAlignItems();
}

void TUiButtonOptions::UpdateCaptionVisibility() {
    if (FCaptionItem) FCaptionItem->SetVisible(FCaption || FClose || FMaximize || FMinimize);
}

void TUiButtonOptions::ButtonDrawItem(TUiCustomItem*, TCanvas&, const RECT&, const TThmItemInfo&, TUiPaintStage stage,
                                      bool& paintDefault) {
    if (stage == pstPrePaint) paintDefault = FButtonBorders && !DefaultTheme();
}

void TUiButtonOptions::SetButtonImage(TUiCustomItem* item, int index, int glyph) {
    if (index == -1) {
        item->SetImages(&UiGlyphImages());
        item->SetImageIndex(glyph);
    } else {
        item->SetImages(nullptr);
        item->SetImageIndex(index);
    }
}

void TUiButtonOptions::UpdateButtonImage(TUiCustomItem* item) {
    if (!item) return;
    if (item == FCaptionItem)
        SetButtonImage(item, FCaptionImageIndex, 255);
    else if (item == FCloseItem)
        SetButtonImage(item, FCloseImageIndex, ugClose);
    else if (item == FMaximizeItem)
        IsRestoreButton(item) ? SetButtonImage(item, FRestoreImageIndex, ugRestore)
                              : SetButtonImage(item, FMaximizeImageIndex, ugMaximize);
    else if (item == FMinimizeItem)
        IsRestoreButton(item) ? SetButtonImage(item, FRestoreImageIndex, ugRestore)
                              : SetButtonImage(item, FMinimizeImageIndex, ugMinimize);
}

void TUiButtonOptions::SetCaptionImageIndex(int value) {
    FCaptionImageIndex = std::max(value, -1);
    UpdateButtonImage(FCaptionItem);
}

void TUiButtonOptions::SetCloseImageIndex(int value) {
    FCloseImageIndex = std::max(value, -1);
    UpdateButtonImage(FCloseItem);
}

void TUiButtonOptions::SetMinimizeImageIndex(int value) {
    FMinimizeImageIndex = std::max(value, -1);
    UpdateButtonImage(FMinimizeItem);
}

void TUiButtonOptions::SetMaximizeImageIndex(int value) {
    FMaximizeImageIndex = std::max(value, -1);
    UpdateButtonImage(FMaximizeItem);
}

void TUiButtonOptions::SetRestoreImageIndex(int value) {
    FRestoreImageIndex = std::max(value, -1);
    UpdateButtonImage(FMinimizeItem);
    UpdateButtonImage(FMaximizeItem);
}

void TUiButtonOptions::SetCaptionText(const std::wstring& value) {
    FCaptionText = value;
    if (FCaptionItem && FCaption) FCaptionItem->SetCaption(value);
}

void TUiButtonOptions::SetCaption(bool value) {
    FCaption = value;
    if (FCaptionItem) FCaptionItem->SetCaption(value ? FCaptionText : std::wstring());
    UpdateCaptionVisibility();
}

void TUiButtonOptions::SetClose(bool value) {
    FClose = value;
    if (FCloseItem) FCloseItem->SetVisible(value);
    UpdateCaptionVisibility();
}

void TUiButtonOptions::SetMinimize(bool value) {
    FMinimize = value;
    if (FMinimizeItem) FMinimizeItem->SetVisible(value);
    UpdateCaptionVisibility();
}

void TUiButtonOptions::SetMaximize(bool value) {
    FMaximize = value;
    if (FMaximizeItem) FMaximizeItem->SetVisible(value);
    UpdateCaptionVisibility();
}

void TUiButtonOptions::SetTitleBarSize(int value) {
    FTitleBarSize = value;
    if (TUiToolbarView* view = FToolbar->UiView()) view->SetMaxItemHeight(value);
    for (TUiCustomItem* item : {static_cast<TUiCustomItem*>(FCaptionItem), FCloseItem, FMaximizeItem, FMinimizeItem})
        if (item) item->SetCustomHeight(value);
}

// --- title toolbar ------------------------------------------------------------------------------

TUiTitleToolbar::TUiTitleToolbar(TComponent* owner) : TUiToolbar(owner) { SetCompound(true); }

void TUiTitleToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    auto* bar = dynamic_cast<TUiCustomTitleBar*>(Owner());
    TForm* form = bar ? bar->ParentForm() : nullptr;
    TBarItemViewer* hit = View()->ViewerAtPoint(POINT{x, y});
    TBarCustomItem* item = hit ? hit->Item() : nullptr;
    const bool onCaption = !item || (item->ItemStyle() & tbstClicksTransparent);
    if (form && bar) {
        TUiTitleBarButtonOptions& options = bar->Options();
        if (button == mbLeft && onCaption) {
            if (shift & ssDouble) {
                if (options.Maximize() && !bar->FixedSize() && options.MaximizeItem()) options.MaximizeItem()->Click();
            } else if (!IsMaximized(form) && form->HandleAllocated()) {
                ReleaseCapture();
                SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MOVE + 2, 0);
            }
            return;
        }
        if (button == mbLeft && (shift & ssDouble) && item && item == options.SystemMenuItem() && options.SystemMenu()) {
            form->Close();
            return;
        }
        if (button == mbRight && onCaption && options.SystemMenu()) {
            bar->ShowSystemMenu(ClientToScreen(POINT{x, y}));
            return;
        }
    }
    TUiToolbar::MouseDown(button, shift, x, y);
}

// --- title bar buttons --------------------------------------------------------------------------

TUiTitleBarButtonOptions::TUiTitleBarButtonOptions(TUiCustomTitleBar* titleBar, TUiToolbar* toolbar)
    : TUiButtonOptions(titleBar, toolbar), FTitleBar(titleBar) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) FSmallIcon = info.hIcon;
}

TUiTitleBarButtonOptions::~TUiTitleBarButtonOptions() {
    if (FSmallIcon) DestroyIcon(FSmallIcon);
}

void TUiTitleBarButtonOptions::SetSystemMenu(bool value) {
    FSystemMenu = value;
    if (FSystemMenuItem) FSystemMenuItem->SetVisible(value);
}

void TUiTitleBarButtonOptions::SetSystemImageIndex(int value) {
    FSystemImageIndex = std::max(value, -1);
    UpdateButtonImage(FSystemMenuItem);
}

void TUiTitleBarButtonOptions::CreateButtons() {
    FSystemMenuItem = new TUiItem(Toolbar()->Items());
    SetupButton(FSystemMenuItem);
    FSystemMenuItem->SetVisible(FSystemMenu);
    TUiButtonOptions::CreateButtons();
}

void TUiTitleBarButtonOptions::SetupButtons() {
    TUiButtonOptions::SetupButtons();
    if (FSystemMenuItem) {
        TBarRootItem* root = Toolbar()->Items();
        root->Move(root->IndexOf(FSystemMenuItem), 0);
    }
    SetCaptionText(FTitleBar->GetText());
    Toolbar()->RightAlignItems();
}

void TUiTitleBarButtonOptions::UpdateButtonImage(TUiCustomItem* item) {
    if (item && item == FSystemMenuItem) {
        item->SetImages(nullptr);
        item->SetImageIndex(FSystemImageIndex);
        return;
    }
    TUiButtonOptions::UpdateButtonImage(item);
}

void TUiTitleBarButtonOptions::ButtonDrawItem(TUiCustomItem* sender, TCanvas& canvas, const RECT& rect,
                                              const TThmItemInfo& info, TUiPaintStage stage, bool& paintDefault) {
    if (sender == FSystemMenuItem && FSystemImageIndex == -1) {
        if (stage == pstPrePaint) {
            paintDefault = false;
            if (FSmallIcon)
                DrawIconEx(canvas.Handle(), rect.left, rect.top, FSmallIcon, 16, 16, 0, nullptr, DI_NORMAL);
        }
        return;
    }
    TUiButtonOptions::ButtonDrawItem(sender, canvas, rect, info, stage, paintDefault);
}

bool TUiTitleBarButtonOptions::IsRestoreButton(TUiCustomItem* item) {
    return item && item == MaximizeItem() && IsMaximized(FTitleBar->ParentForm());
}

void TUiTitleBarButtonOptions::ButtonClick(TUiCustomItem* sender) {
    TForm* form = FTitleBar->ParentForm();
    if (!form) return;
    if (sender == FSystemMenuItem) {
        const RECT r = Toolbar()->View()->ViewerOfItem(sender)->BoundsRect;
        FTitleBar->ShowSystemMenu(Toolbar()->ClientToScreen(POINT{r.left, r.bottom}));
    } else if (sender == MinimizeItem()) {
        if (form->HandleAllocated()) SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (sender == CloseItem()) {
        form->Close();
    } else if (sender == MaximizeItem()) {
        form->SetWindowState(IsMaximized(form) ? wsNormal : wsMaximized);
    }
}

// --- title bar ----------------------------------------------------------------------------------

TUiCustomTitleBar::TUiCustomTitleBar(TComponent* owner)
    : TUiCompoundBar(owner, NewUiDock, NewTitleToolbar), FFrameWidth(GetSystemMetrics(SM_CYFRAME)) {
    SetControlStyle(ControlStyle() | csAcceptsControls | csCaptureMouse);
    SetAlign(alClient);
    Dock()->OnResize = nullptr;
    FCaptionBitmap = std::make_unique<TBitmap>();
    FOptions = std::make_unique<TUiTitleBarButtonOptions>(this, Toolbar());
    FOptions->CreateButtons();
}

TUiCustomTitleBar::~TUiCustomTitleBar() = default;

void TUiCustomTitleBar::TearDown() {
    if (FApplied && FParentForm && !(FParentForm->ComponentState() & csDestroying)) ApplyActive(false);
    Detach();
    FOptions.reset();
    TUiCompoundBar::TearDown();
}

void TUiCustomTitleBar::CreateParams(TCreateParams& params) {
    TUiCompoundBar::CreateParams(params);
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TUiCustomTitleBar::SetParent(TWinControl* parent) {
    TUiCompoundBar::SetParent(parent);
    if (!(ComponentState() & (csLoading | csDestroying)) && parent) Attach();
}

void TUiCustomTitleBar::Loaded() {
    TUiCompoundBar::Loaded();
    Attach();
}

void TUiCustomTitleBar::Attach() {
    TForm* form = GetParentForm(this);
    if (!form || form == FParentForm) return;
    Detach();
    FParentForm = form;
    if (form->HandleAllocated() && SetWindowSubclass(form->Handle(), FormHook, 1, reinterpret_cast<DWORD_PTR>(this)))
        FHookedWindow = form->Handle();
    if (FActive) ApplyActive(true);
    FOptions->SetupButtons();
}

void TUiCustomTitleBar::Detach() {
    if (FHookedWindow) RemoveWindowSubclass(FHookedWindow, FormHook, 1);
    FHookedWindow = nullptr;
}

LRESULT CALLBACK TUiCustomTitleBar::FormHook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* bar = reinterpret_cast<TUiCustomTitleBar*>(self);
    LRESULT result = 0;
    try {
        if (bar->HandleFormMessage(msg, wp, lp, result)) return result;
    } catch (...) {
        if (Application) Application->HandleException(bar);
    }
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, FormHook, 1);
        bar->FHookedWindow = nullptr;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

bool TUiCustomTitleBar::HandleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_GETMINMAXINFO && FActive && !FFullScreenMaximize) {
        result = DefSubclassProc(FHookedWindow, msg, wp, lp);
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        POINT size{work.right - work.left, work.bottom - work.top};
        UINT state = 0, edge = 0;
        RECT taskbar{};
        if (GetTaskbarInfo(state, edge, taskbar) && (state & ABS_AUTOHIDE)) {
            if (edge == ABE_LEFT || edge == ABE_RIGHT)
                size.x -= 2;
            else
                size.y -= 2;
        }
        info->ptMaxPosition = {work.left, work.top};
        info->ptMaxSize = size;
        info->ptMaxTrackSize = size;
        return true;
    }
    if (msg == WM_SYSCOMMAND && FActive && (wp & 0xFFF0) == SC_KEYMENU) {
        if (lp == 32) {
            if (TUiCustomItem* item = FOptions->SystemMenuItem()) item->Click();
            result = 1;
            return true;
        }
        if (lp == 0 && GetCapture() == nullptr && !GetMenu(FHookedWindow)) {
            bool menuBar = false;
            for (int i = 0; FParentForm && i < FParentForm->ComponentCount(); ++i)
                if (auto* bar = dynamic_cast<TBarCustomToolbar*>(FParentForm->Components(i)); bar && bar->MenuBar())
                    menuBar = true;
            if (!menuBar) {
                result = 1;
                return true;
            }
        }
    }
    return false;
}

void TUiCustomTitleBar::ApplyActive(bool value) {
    TForm* form = FParentForm;
    if (!form) return;
    const TNotifyEvent onShow = form->OnShow;
    form->OnShow = nullptr;
    auto restore = ScopeExit([&] { form->OnShow = onShow; });
    RECT bounds{};
    const int state = GetFormPlacement(form, bounds);
    const int dx = 2 * GetSystemMetrics(SM_CXFRAME), dy = GetSystemMetrics(SM_CYCAPTION) + 2 * FFrameWidth;
    if (value) {
        form->SetBorderStyle(bsNone);
        if (form->HandleAllocated())
            SetWindowLongW(form->Handle(), GWL_STYLE, GetWindowLongW(form->Handle(), GWL_STYLE) | WS_SYSMENU);
        if (state != fpMaximized) form->SetBounds(form->Left(), form->Top(), form->Width() - dx, form->Height() - dy);
    } else {
        form->SetBorderStyle(bsSizeable);
        if (state != fpMaximized) form->SetBounds(form->Left(), form->Top(), form->Width() + dx, form->Height() + dy);
    }
    if (state == fpMaximized) SetFormPlacement(form, state, bounds);
    Dock()->SetVisible(value);
    FApplied = value;
    InvalidateBackground();
}

void TUiCustomTitleBar::SetActive(bool value) {
    if (value == FActive) return;
    FActive = value;
    if (FParentForm && !(FParentForm->ComponentState() & csDestroying)) ApplyActive(value);
}

void TUiCustomTitleBar::SetFullScreenMaximize(bool value) {
    if (value == FFullScreenMaximize) return;
    FFullScreenMaximize = value;
}

void TUiCustomTitleBar::SetThmStyleBackground(bool value) {
    if (value == FThmStyleBackground) return;
    FThmStyleBackground = value;
    InvalidateBackground();
}

void TUiCustomTitleBar::AdjustClientRect(RECT& rect) {
    TUiCompoundBar::AdjustClientRect(rect);
    if (FActive && !IsMaximized(FParentForm)) InflateRect(&rect, -FFrameWidth, -FFrameWidth);
}

void TUiCustomTitleBar::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

void TUiCustomTitleBar::ShowSystemMenu(POINT screenPoint) {
    ui::ShowSystemMenuPopup(FParentForm, screenPoint, !FFixedSize, true, OnSystemMenuPopup, FOptions->Close(),
                            FOptions->Maximize(), FOptions->Minimize());
}

int TUiCustomTitleBar::HitTest(POINT p, LPCWSTR& cursor) {
    cursor = nullptr;
    if (!FActive || IsMaximized(FParentForm)) return 0;
    const RECT client = ClientRect();
    RECT inner = client;
    InflateRect(&inner, -FFrameWidth, -FFrameWidth);
    if (PtInRect(&inner, p) || !PtInRect(&client, p)) return 0;
    constexpr int zone = 10;
    const bool left = p.x < zone, right = p.x > client.right - zone;
    const bool top = p.y < zone, bottom = p.y > client.bottom - zone;
    if (top && left) return cursor = IDC_SIZENWSE, SC_SIZE + 4;
    if (top && right) return cursor = IDC_SIZENESW, SC_SIZE + 5;
    if (bottom && left) return cursor = IDC_SIZENESW, SC_SIZE + 7;
    if (bottom && right) return cursor = IDC_SIZENWSE, SC_SIZE + 8;
    if (top) return cursor = IDC_SIZENS, SC_SIZE + 3;
    if (bottom) return cursor = IDC_SIZENS, SC_SIZE + 6;
    if (left) return cursor = IDC_SIZEWE, SC_SIZE + 1;
    if (right) return cursor = IDC_SIZEWE, SC_SIZE + 2;
    return 0;
}

void TUiCustomTitleBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TUiCompoundBar::MouseDown(button, shift, x, y);
    if (button != mbLeft || FFixedSize || !FParentForm || !FParentForm->HandleAllocated()) return;
    LPCWSTR cursor = nullptr;
    if (const int command = HitTest(POINT{x, y}, cursor)) {
        ReleaseCapture();
        SendMessageW(FParentForm->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
    }
}

void TUiCustomTitleBar::EraseFrame(HDC dc) {
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    canvas.Brush().SetColor(Color());
    RECT r = ClientRect();
    bool paintDefault = true;
    DoDrawBackground(canvas, r, pstPrePaint, paintDefault);
    if (paintDefault) {
        const bool maximized = IsMaximized(FParentForm);
        if (maximized) InflateRect(&r, 4, 4);
        if (FActive) {
            const bool framed = DefaultTheme() && VisualStylesActive() && Dock() && !maximized;
            const int captionWidth = framed ? Dock()->Width() + 2 * FFrameWidth : 0;
            const int captionHeight = framed ? FFrameWidth + Dock()->Height() : 0;
            PaintTitleBarFrame(Handle(), canvas, r, captionWidth, captionHeight, FThmStyleBackground);
        } else {
            PaintRectFill(dc, r, Color());
        }
    }
    DoDrawBackground(canvas, r, pstPostPaint, paintDefault);
}

void TUiCustomTitleBar::DoDrawDockBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                             bool& paintDefault) {
    TUiCompoundBar::DoDrawDockBackground(canvas, rect, stage, paintDefault);
    if (stage != pstPrePaint || !paintDefault) return;
    paintDefault = false;
    const bool visualStyles = VisualStylesActive();
    RECT r = rect;
    if (DefaultTheme() && visualStyles) InflateRect(&r, FFrameWidth, FFrameWidth);
    if (!(DefaultTheme() && !visualStyles)) {
        PaintTitleBarFrame(Handle(), canvas, r, r.right - r.left, r.bottom - r.top, false);
        return;
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (FCaptionBitmap->Width() != width || FCaptionBitmap->Height() != height) {
        FCaptionBitmap->SetSize(width, height);
        PaintCaptionBar(FCaptionBitmap->Canvas(), RECT{0, 0, width, height}, true);
    }
    canvas.Draw(0, 0, *FCaptionBitmap);
}

void TUiCustomTitleBar::HandleThemeChange(int change, bool themeSwitched) {
    TUiCompoundBar::HandleThemeChange(change, themeSwitched);
    if (change == tnEndChange && FOptions && FOptions->CaptionItem())
        FOptions->CaptionItem()->FontSettings().SetColor(DefaultTheme() ? clCaptionText : clNone);
}

void TUiCustomTitleBar::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        EraseFrame(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
    case WM_SETCURSOR:
        if (!FFixedSize && LOWORD(m.LParam) == HTCLIENT) {
            POINT p;
            GetCursorPos(&p);
            LPCWSTR cursor = nullptr;
            if (HitTest(ScreenToClient(p), cursor) && cursor) {
                ::SetCursor(LoadCursorW(nullptr, cursor));
                m.Result = 1;
                return;
            }
        }
        break;
    case WM_WINDOWPOSCHANGED:
        TUiCompoundBar::Dispatch(m);
        Invalidate();
        if (FOptions && FOptions->Maximize()) FOptions->UpdateButtonImage(FOptions->MaximizeItem());
        return;
    case CM_TEXTCHANGED:
        TUiCompoundBar::Dispatch(m);
        if (FOptions) FOptions->SetCaptionText(GetText());
        return;
    default: break;
    }
    TUiCompoundBar::Dispatch(m);
}

}  // namespace ui
