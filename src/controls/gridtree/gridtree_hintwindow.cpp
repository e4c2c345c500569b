// The trees' hint window: measuring, placing, painting and the appearance animation.
#include "controls/gridtree/gridtree_hintwindow.h"

#include <windows.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/screen.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/stringtree.h"

namespace gridtree {

namespace {
bool gHintWindowGone = true;
}

bool TGridTreeHintWindow::HintWindowGone() { return gHintWindowGone; }

TGridTreeHintWindow::TGridTreeHintWindow(classlib::TComponent* Owner) : classlib::THintWindow(Owner) {
    gHintWindowGone = false;
}

TGridTreeHintWindow::~TGridTreeHintWindow() { gHintWindowGone = true; }

void TGridTreeHintWindow::CreateParams(classlib::TCreateParams& Params) {
    classlib::THintWindow::CreateParams(Params);
    // The window paints its own frame.
    Params.Style = WS_POPUP;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    Params.WinClassName = L"TGridTreeHintWindow";
}

TBaseGridTree* TGridTreeHintWindow::LiveTree() const {
    return FTreeAlive.expired() ? nullptr : FHintData.Tree;
}

RECT TGridTreeHintWindow::CalcHintRect(int MaxWidth, const std::wstring& Hint, void* Data) {
    (void)Hint;
    if (!Data) return RECT{};
    FHintData = *static_cast<const TGTHintData*>(Data);
    TBaseGridTree* tree = FHintData.Tree;
    if (!tree) return RECT{};
    FTreeAlive = tree->LifeToken();
    const PGridNode node = FHintData.Node;
    const TColumnIndex column = FHintData.Column;
    if (TGridTreeColumn* item = tree->Header().Columns().GetItem(column)) FHintData.TextAlignment = item->Alignment();
    else FHintData.TextAlignment = tree->Alignment();

    FTooltip = tree->HintMode() == hmTooltip && node;
    auto* stringTree = dynamic_cast<TCustomGridStringTree*>(tree);
    classlib::TFont font;
    RECT textRect{};
    if (FTooltip && stringTree) {
        // The cell's font as the owner paints it.
        std::wstring ignored;
        stringTree->QueryNodeTextInfo(node, column, font, textRect, ignored);
    } else if (FTooltip) {
        font.Assign(tree->Font());
    } else {
        font.Assign(classlib::Screen->HintFont());
    }
    Font().Assign(font);

    FHintData.BreakStyle = hlbDefault;
    if (!FHintData.FixedText.empty()) FHintData.Text = FHintData.FixedText;
    else if (FTooltip) FHintData.Text = tree->DoGetNodeTooltip(node, column, FHintData.BreakStyle);
    else FHintData.Text = node ? tree->DoGetNodeHint(node, column, FHintData.BreakStyle) : std::wstring();
    if (FHintData.Text.empty()) return RECT{};

    classlib::TWindowDC screen(nullptr);
    classlib::TSelectedObject selected(screen.Handle(), font.Handle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Handle(), &metrics);
    FTextHeight = metrics.tmHeight;
    const std::wstring& text = FHintData.Text;

    RECT r{};
    if (!FTooltip) {
        r = RECT{0, 0, MaxWidth, FTextHeight};
        DrawTextW(screen.Handle(), text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        r.bottom += 6;
        r.right += 2 * tree->TextMargin() + 2;
        return r;
    }
    if (FHintData.BreakStyle == hlbDefault)
        FHintData.BreakStyle = (node->States & vsMultiline) ? hlbForceMultiLine : hlbForceSingleLine;
    if (FHintData.BreakStyle == hlbForceMultiLine) {
        r = tree->GetDisplayRect(node, column, false, true);
        RECT measured = r;
        DrawTextW(screen.Handle(), text.c_str(), int(text.size()), &measured,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        r.right = tree->TextMargin() + measured.right + 1;
        r.bottom = measured.bottom;
        // The whole text shows in the cell anyway: no tooltip.
        if (int(tree->NodeHeight(node)) + 2 >= r.bottom - r.top && r.left >= 0 && r.top >= 0 &&
            r.right <= tree->ClientWidth() + 3 && r.bottom <= tree->ClientHeight() + 3)
            return RECT{};
    } else {
        r = tree->GetDisplayRect(node, column, true, true);
        if (tree->TreeOptions().PaintOptions() & toShowHorzGridLines) --r.bottom;
    }
    // One pixel of frame around the text; the window's corner goes one pixel up and left
    // of the text's.
    InflateRect(&r, 1, 1);
    return RECT{-1, -1, r.right - r.left - 1, r.bottom - r.top - 1};
}

RECT TGridTreeHintWindow::KeepOnDesktop(RECT R, const RECT& Desktop) {
    const int width = R.right - R.left, height = R.bottom - R.top;
    if (R.bottom > Desktop.bottom) R.top = Desktop.bottom - height;
    if (R.left + width > Desktop.right) R.left = Desktop.right - width;
    if (R.left < Desktop.left) R.left = Desktop.left;
    R.right = R.left + width;
    R.bottom = R.top + height;
    return R;
}

void TGridTreeHintWindow::ActivateHintData(RECT R, const std::wstring& Hint, void* Data) {
    (void)Hint;
    (void)Data;
    TBaseGridTree* tree = LiveTree();
    if (IsRectEmpty(&R) || !tree) {
        if (classlib::Application) classlib::Application->CancelHint();
        return;
    }
    // A running animation of the tree gives way to this one and is told to stop after it.
    const bool olderAnimation = (tree->TreeStates() & tsInAnimation);
    if (olderAnimation) tree->DoStateChange(0, tsInAnimation);

    const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    R = KeepOnDesktop(R, desktop);
    const int width = R.right - R.left, height = R.bottom - R.top;
    HWND wnd = Handle();
    SetBoundsNoAlign(R.left, R.top, width, height);
    SetWindowPos(wnd, HWND_TOPMOST, R.left, R.top, width, height, SWP_NOACTIVATE | SWP_HIDEWINDOW);
    FScreenCopy.SetSize(width, height);
    FContentBuffer.SetSize(width, height);
    FBlendTarget.SetSize(width, height);
    if (tree->HasControlWindow()) UpdateWindow(tree->Handle());
    {
        classlib::TWindowDC screen(nullptr);
        BitBlt(FScreenCopy.Canvas().Handle(), 0, 0, width, height, screen.Handle(), R.left, R.top, SRCCOPY);
    }
    SetWindowPos(wnd, HWND_TOPMOST, R.left, R.top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FVisible = true;
    FActive = true;
    gHintWindowGone = false;

    FAnimation = tree->DoGetAnimationType();
    const std::weak_ptr<void> self = FLifeToken;
    auto step = [self, this](int Step, int StepSize, void*) { return !self.expired() && AnimationStep(Step, StepSize); };
    switch (FAnimation) {
        case hatFade:
            ValidateRect(wnd, nullptr);
            tree->Animate(255, 2 * tree->AnimationDuration(), step, nullptr);
            break;
        case hatSlide:
            ValidateRect(wnd, nullptr);
            tree->Animate(uint32_t(height), tree->AnimationDuration(), step, nullptr);
            break;
        default:
            FAnimation = hatNone;
            InvalidateRect(wnd, nullptr, FALSE);
            break;
    }
    // This window or the tree may be gone after the animation served messages.
    if (self.expired()) return;
    if (TBaseGridTree* live = LiveTree(); live && olderAnimation) live->DoStateChange(tsCancelHintAnimation, 0);
}

bool TGridTreeHintWindow::AnimationStep(int Step, int StepSize) {
    TBaseGridTree* tree = LiveTree();
    if (gHintWindowGone || !HandleAllocated() || !IsWindowVisible(FHandle) || !tree ||
        (tree->TreeStates() & tsCancelHintAnimation))
        return false;
    PaintStep(Step, StepSize);
    const std::weak_ptr<void> self = FLifeToken;
    if (classlib::Application) classlib::Application->ProcessMessages();
    return !self.expired();
}

void TGridTreeHintWindow::Paint() { PaintStep(0, 0); }

void TGridTreeHintWindow::PaintContent() {
    const int width = FContentBuffer.Width(), height = FContentBuffer.Height();
    if (width <= 0 || height <= 0) return;
    classlib::TCanvas& canvas = FContentBuffer.Canvas();
    TBaseGridTree* tree = LiveTree();
    const int textMargin = tree ? tree->TextMargin() : 4;
    int top = 2;
    canvas.Font().Assign(Font());
    if (FTooltip && tree) {
        RECT textRect{};
        if (auto* stringTree = dynamic_cast<TCustomGridStringTree*>(tree)) {
            std::wstring ignored;
            stringTree->QueryNodeTextInfo(FHintData.Node, FHintData.Column, canvas.Font(), textRect, ignored);
        }
        top = FHintData.BreakStyle == hlbForceMultiLine ? 1 : (textRect.top + height - textRect.bottom) / 2;
    }
    canvas.Font().SetColor(classlib::clInfoText);
    canvas.Pen().SetColor(classlib::clBlack);
    canvas.Brush().SetColor(classlib::clInfoBk);
    canvas.Brush().SetStyle(classlib::bsSolid);
    canvas.Rectangle(0, 0, width, height);
    RECT r{1, 1, width - 1, height - 1};
    r.left += textMargin;
    r.top = top;
    UINT format = DT_NOPREFIX;
    if (FTooltip && FHintData.BreakStyle == hlbForceMultiLine) format |= DT_WORDBREAK;
    canvas.Brush().SetStyle(classlib::bsClear);
    canvas.DrawText(FHintData.Text, r, format);
}

void TGridTreeHintWindow::PaintStep(int Step, int StepSize) {
    if (!HandleAllocated()) return;
    if (Step == 0) PaintContent();
    const int width = FContentBuffer.Width(), height = FContentBuffer.Height();
    if (width <= 0 || height <= 0) return;
    classlib::TWindowDC dc(FHandle, GetDC(FHandle));
    if (!dc.Handle()) return;
    HDC content = FContentBuffer.Canvas().Handle();
    if (StepSize == 0) {
        // The final state (and every repaint): the whole hint.
        BitBlt(dc.Handle(), 0, 0, width, height, content, 0, 0, SRCCOPY);
    } else if (FAnimation == hatFade) {
        HDC target = FBlendTarget.Canvas().Handle();
        BitBlt(target, 0, 0, width, height, FScreenCopy.Canvas().Handle(), 0, 0, SRCCOPY);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(std::min(255, MulDiv(Step, 256, 255))), 0};
        AlphaBlend(target, 0, 0, width, height, content, 0, 0, width, height, blend);
        BitBlt(dc.Handle(), 0, 0, width, height, target, 0, 0, SRCCOPY);
    } else {
        // The hint slides down out of its top edge over the saved screen.
        const int shown = std::clamp(Step, 0, height);
        BitBlt(dc.Handle(), 0, 0, width, shown, content, 0, height - shown, SRCCOPY);
        BitBlt(dc.Handle(), 0, shown, width, height - shown, FScreenCopy.Canvas().Handle(), 0, shown, SRCCOPY);
    }
}

void TGridTreeHintWindow::Dispatch(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            Message.Result = 0;
            return;
        case classlib::CM_TEXTCHANGED:
            // The text never resizes the window.
            return;
        case WM_SHOWWINDOW:
            if (!Message.WParam) {
                FHintData = TGTHintData{};
                FTreeAlive.reset();
                gHintWindowGone = false;
            }
            break;
        default:
            break;
    }
    classlib::THintWindow::Dispatch(Message);
}

}  // namespace gridtree
