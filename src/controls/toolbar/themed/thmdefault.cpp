// The default theme: its colours, sizes and answers (painting is in thmdefault_paint.cpp).
#include "controls/toolbar/themed/thmdefault.h"

#include <vssym32.h>

#include "classlib/application.h"
#include "controls/toolbar/themed/thmdefault_p.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/thmuxtheme.h"

namespace themed {

using namespace classlib;
using namespace detail;

namespace detail {

HTHEME StyleData(TThmVisualStyleClass which) {
    if (!VisualStylesOpen) return nullptr;
    return ThemeManager().VisualStyleData(which);
}

bool DrawStylePart(HDC dc, TThmVisualStyleClass which, int part, int state, const RECT& rect,
                   const RECT* clip) {
    HTHEME data = StyleData(which);
    auto draw = VisualStyleApi().DrawThemeBackground;
    if (!data || !draw) return false;
    draw(data, dc, part, state, &rect, clip);
    return true;
}

}  // namespace detail

namespace {

// The properties of visual-style data the default theme reads.
constexpr int kFillColorProperty = 3802;
constexpr int kTextColorProperty = 3803;
constexpr int kButtonMarginsProperty = 3603;

bool StyleColor(TThmVisualStyleClass which, int property, TColor& color) {
    HTHEME data = StyleData(which);
    auto query = VisualStyleApi().GetThemeColor;
    COLORREF c = 0;
    if (!data || !query || FAILED(query(data, 0, 0, property, &c))) return false;
    color = static_cast<TColor>(c & 0xFFFFFF);
    return true;
}

struct TCaptionFont {
    TCaptionFont() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            Font.AssignLogFont(metrics.lfSmCaptionFont);
    }
    TFont Font;
};

}  // namespace

TFont& DefaultCaptionFont() {
    if (!Application) throw EInvalidOperation(L"The caption font needs the application object");
    return Application->ProcessObject<TCaptionFont>().Font;
}

std::unique_ptr<TThmTheme> CreateDefaultTheme(const std::wstring& name) {
    return std::make_unique<TThmDefaultTheme>(name);
}

void TThmDefaultTheme::RebuildColorCache() {
    ToolbarFace = clBtnFace;
    ToolbarFaceText = clBtnText;
    StatusBarFace = clBtnFace;
    StyleColor(vscToolbar, kFillColorProperty, ToolbarFace);
    StyleColor(vscToolbar, kTextColorProperty, ToolbarFaceText);
    StyleColor(vscStatus, kFillColorProperty, StatusBarFace);
    DockPanelFace = ColorMixNearest(ToolbarFace, clWindow, 64);
}

POINT TThmDefaultTheme::GetItemImageShift(TCanvas&, const TThmItemInfo& item, TImageList*) {
    return item.Pushed || item.Checked ? POINT{1, 1} : POINT{0, 0};
}

TColor TThmDefaultTheme::GetItemFillColor(const TThmItemInfo& item) {
    if (ViewKindIs(item.ViewKind, vkPopupMenu) && !IsToolbarStyle(item) && IsHot(item) && !VisualStylesOpen)
        return clHighlight;
    return GetViewFillColor(item.ViewKind);
}

TColor TThmDefaultTheme::GetItemTextColor(const TThmItemInfo& item) {
    const bool toolbarStyle = IsToolbarStyle(item);
    const bool menuBar = ViewKindIs(item.ViewKind, vkMenuBar);
    // Menu-bar captions turn grey while another application is active.
    const bool greyWhenInactive = menuBar && !(item.ItemFlags & ifAppActive);
    if (!item.Enabled) return clGrayText;
    if (!toolbarStyle || (menuBar && UseFlatMenus)) {
        if (IsHot(item)) return clHighlightText;
        return greyWhenInactive ? clGrayText : PopupMenuTextColor;
    }
    return greyWhenInactive ? clGrayText : clBtnText;
}

TColor TThmDefaultTheme::GetItemImageBackColor(const TThmItemInfo& item) {
    if (UseFlatMenus) {
        if (ViewKindIs(item.ViewKind, vkMenuBar) && IsHot(item)) return clHighlight;
        if (ViewKindIs(item.ViewKind, vkChevronPopup)) return ToolbarFace;
        if (ViewKindIs(item.ViewKind, vkPopupMenu) && !IsToolbarStyle(item) && IsHot(item)) return ToolbarFace;
    }
    return GetViewFillColor(item.ViewKind);
}

void TThmDefaultTheme::GetMarginSet(int kind, TThmMargins& margins) {
    margins = {};
    switch (kind) {
    case mkToolbarButton: {
        margins = {2, 2, 2, 2};
        HTHEME data = StyleData(vscToolbar);
        MARGINS m{};
        if (data && VisualStyleApi().GetThemeMargins &&
            SUCCEEDED(VisualStyleApi().GetThemeMargins(data, nullptr, TP_BUTTON, TS_HOT,
                                                       kButtonMarginsProperty, nullptr, &m)))
            margins = {m.cxLeftWidth, m.cxRightWidth, m.cyTopHeight, m.cyBottomHeight};
        break;
    }
    case mkPopupItem:
        margins = {0, 0, 2, 2};
        break;
    case mkEditBox: {
        margins = {1, 3, 1, 1};
        HTHEME data = StyleData(vscStatus);
        RECT box{0, 0, 100, 100}, content{};
        if (data && VisualStyleApi().GetThemeBackgroundContentRect &&
            SUCCEEDED(VisualStyleApi().GetThemeBackgroundContentRect(data, nullptr, SP_PANE, 0, &box, &content)))
            margins = {content.left, 100 - content.right, content.top, 100 - content.bottom};
        break;
    }
    default:
        break;
    }
}

int TThmDefaultTheme::GetShadowKind() { return 1; }

void TThmDefaultTheme::GetViewBorderSize(int viewKind, POINT& size) {
    if (ViewKindIs(viewKind, vkToolbar) || ViewKindIs(viewKind, vkDockPanel)) {
        if (viewKind & vkFloating) {
            if (viewKind & vkResizable)
                size = {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
            else
                size = {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
        } else {
            size = {2, 2};
        }
    } else if (ViewKindIs(viewKind, vkPopup)) {
        size = ViewKindIs(viewKind, vkListPopup) ? POINT{1, 1} : POINT{3, 3};
    } else {
        size = {0, 0};
    }
}

TColor TThmDefaultTheme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkToolbar)) return ToolbarFace;
    if (ViewKindIs(viewKind, vkPopup)) {
        if (ViewKindIs(viewKind, vkPopupMenu) || ViewKindIs(viewKind, vkChevronPopup)) return PopupMenuColor;
        if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
        return ToolbarFace;
    }
    if (ViewKindIs(viewKind, vkDockPanel)) return DockPanelFace;
    if (ViewKindIs(viewKind, vkStatusBar)) return StatusBarFace;
    return clBtnFace;
}

void TThmDefaultTheme::GetViewPadding(int viewKind, TThmMargins& padding) {
    if (ViewKindIs(viewKind, vkToolbar) && (viewKind & vkFloating))
        padding = {4, 4, 2, 1};
    else
        padding = {};
}

int TThmDefaultTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: {
        HTHEME data = StyleData(vscToolbar);
        SIZE size{};
        if (data && VisualStyleApi().GetThemePartSize &&
            SUCCEEDED(VisualStyleApi().GetThemePartSize(data, nullptr, TP_SPLITBUTTONDROPDOWN, TS_NORMAL,
                                                        nullptr, TS_TRUE, &size)))
            return size.cx + 2;
        return 11;
    }
    case tmDropArrowWidth: return 8;
    case tmDropArrowMargin: return 3;
    case tmMenuImageGap:
    case tmSpareSize62: return 1;
    case tmMenuCaptionGap:
    case tmMenuCaptionEndGap:
    case tmMDIButtonNarrower:
    case tmEditFrameInset:
    case tmSpareSize61: return 2;
    case tmMDIButtonLower: return 4;
    case tmToolbarSeparatorSize: return 6;
    case tmSpareSize65: return 13;
    case tmSpareSize66: return 0;
    default: return -1;
    }
}

bool TThmDefaultTheme::GetBoolMetric(int index) {
    return index == tbPaintDockBackground && VisualStylesOpen;
}

}  // namespace themed
