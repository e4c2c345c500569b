#include "thmscene.h"

#include <string>

#include "controls/toolbar/themed/thmregistry.h"

namespace themescene {

using namespace themed;
using classlib::TCanvas;
using classlib::TColor;

namespace {

// Draws with (0, 0) at `at` the way the bars hand items their own coordinates.
class TOrigin {
public:
    TOrigin(HDC dc, POINT at) : FDC(dc) {
        GetViewportOrgEx(dc, &FOld);
        SetViewportOrgEx(dc, FOld.x + at.x, FOld.y + at.y, nullptr);
    }
    ~TOrigin() { SetViewportOrgEx(FDC, FOld.x, FOld.y, nullptr); }

private:
    HDC FDC;
    POINT FOld;
};

TThmItemInfo ItemOf(int viewKind, int index, bool toolbarStyle) {
    TThmItemInfo item{};
    item.ViewKind = viewKind;
    item.ItemFlags = (toolbarStyle ? ifToolbarStyle : 0) | ifAppActive;
    item.Enabled = index % 9 != 4;
    item.HotState = index == 2 ? hsSelected : hsNone;
    item.Pushed = index == 5;
    item.Checked = index == 7 || index == 8;
    item.ImageShown = true;
    item.ImageWidth = item.ImageHeight = 16;
    item.ImageColumnWidth = 22;
    return item;
}

void Caption(TThmTheme& theme, TCanvas& canvas, const RECT& r, const TThmItemInfo& item, const std::wstring& text,
             UINT format) {
    canvas.Font().SetColor(classlib::clNone);
    theme.PaintItemCaption(canvas, r, item, text, format, false);
}

}  // namespace

classlib::TImageList& SceneImages() {
    static classlib::TImageList* images = [] {
        auto* list = new classlib::TImageList(nullptr, 16, 16);
        const TColor colours[] = {0x2060C0, 0x30A030, 0xC04020, 0x8040A0};
        for (TColor c : colours) {
            classlib::TBitmap image;
            image.SetSize(16, 16);
            image.Canvas().Brush().SetColor(0xFF00FF);
            image.Canvas().FillRect(RECT{0, 0, 16, 16});
            image.Canvas().Brush().SetColor(c);
            image.Canvas().FillRect(RECT{2, 3, 14, 13});
            image.Canvas().Brush().SetColor(0xFFFFFF);
            image.Canvas().FillRect(RECT{4, 5, 8, 9});
            list->AddMasked(image, 0xFF00FF);
        }
        return list;
    }();
    return *images;
}

RECT PaintMenuBar(TThmTheme& theme, TCanvas& canvas, POINT origin, int width) {
    HDC dc = canvas.Handle();
    const RECT bar{origin.x, origin.y, origin.x + width, origin.y + 22};
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkMenuBar;
    frame.BorderStyle = 1;
    theme.GetViewBorderSize(vkMenuBar, frame.BorderSize);
    frame.EffectiveColor = theme.GetViewFillColor(vkMenuBar);
    canvas.Brush().SetColor(frame.EffectiveColor);
    theme.PaintToolbarFrame(canvas, bar, frame);
    const RECT inner{bar.left + 2, bar.top + 2, bar.right - 2, bar.bottom - 2};
    theme.PaintViewBackground(canvas, inner, inner, inner, frame.EffectiveColor, false, vkMenuBar);
    const wchar_t* titles[] = {L"ファイル(&F)", L"編集(&E)", L"表示(&V)", L"ヘルプ(&H)"};
    int x = inner.left + 2;
    for (int i = 0; i < 4; ++i) {
        TThmItemInfo item = ItemOf(vkMenuBar, i == 1 ? 2 : 0, true);
        item.PopupOpen = i == 1;
        const RECT r{0, 0, 64, inner.bottom - inner.top};
        TOrigin at(dc, POINT{x, inner.top});
        theme.PaintItemButton(canvas, r, item);
        Caption(theme, canvas, r, item, titles[i], DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        x += 66;
    }
    return bar;
}

RECT PaintToolbar(TThmTheme& theme, TCanvas& canvas, POINT origin, int items) {
    HDC dc = canvas.Handle();
    const int width = 14 + items * 24 + 8;
    const RECT bar{origin.x, origin.y, origin.x + width, origin.y + 28};
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.AllowDrag = true;
    frame.BorderStyle = 1;
    theme.GetViewBorderSize(vkToolbarBar, frame.BorderSize);
    frame.ClientWidth = width - 4;
    frame.ClientHeight = 24;
    frame.DragHandleStyle = dhDouble;
    frame.EffectiveColor = theme.GetViewFillColor(vkToolbarBar);
    canvas.Brush().SetColor(frame.EffectiveColor);
    theme.PaintToolbarFrame(canvas, bar, frame);
    const RECT inner{bar.left + 2 + GetDragHandleSize(frame), bar.top + 2, bar.right - 2, bar.bottom - 2};
    theme.PaintViewBackground(canvas, inner, inner, inner, frame.EffectiveColor, false, vkToolbarBar);
    int x = inner.left + 1;
    for (int i = 0; i < items; ++i) {
        TThmItemInfo item = ItemOf(vkToolbarBar, i, true);
        TOrigin at(dc, POINT{x, inner.top});
        if (i % 10 == 9) {
            theme.PaintItemSeparator(canvas, RECT{0, 0, 6, 22}, item, false, false);
            x += 6;
            continue;
        }
        const RECT r{0, 0, 23, 22};
        theme.PaintItemButton(canvas, r, item);
        RECT image{3, 3, 19, 19};
        const POINT shift = theme.GetItemImageShift(canvas, item, &SceneImages());
        OffsetRect(&image, shift.x, shift.y);
        theme.PaintItemImage(canvas, image, item, &SceneImages(), i % 4);
        x += 24;
    }
    return bar;
}

RECT PaintPopupMenu(TThmTheme& theme, TCanvas& canvas, POINT origin, int items, const RECT* opener) {
    HDC dc = canvas.Handle();
    const int rowHeight = 20, width = 200;
    POINT border{};
    theme.GetViewBorderSize(vkPopupMenu, border);
    const RECT popup{origin.x, origin.y, origin.x + width, origin.y + items * rowHeight + 2 * border.y};
    TThmPopupFrameInfo frame{};
    frame.ViewKind = vkPopupMenu;
    frame.BorderSize = border;
    if (opener) {
        frame.ParentRect = *opener;
        OffsetRect(&frame.ParentRect, -origin.x, -origin.y);
    }
    {
        TOrigin at(dc, origin);
        theme.PaintPopupFrame(canvas, RECT{0, 0, width, popup.bottom - popup.top}, frame);
    }
    const int itemWidth = width - 2 * border.x;
    {
        // The popup window's client background, as the popup paints it before its items.
        TOrigin at(dc, POINT{popup.left + border.x, popup.top + border.y});
        const RECT client{0, 0, itemWidth, items * rowHeight};
        theme.PaintViewBackground(canvas, client, client, client, theme.GetViewFillColor(vkPopupMenu), false, vkPopupMenu);
    }
    for (int i = 0; i < items; ++i) {
        TThmItemInfo item = ItemOf(vkPopupMenu, i, false);
        if (i % 6 == 3) item.ItemFlags |= ifSubmenu;
        TOrigin at(dc, POINT{popup.left + border.x, popup.top + border.y + i * rowHeight});
        if (i % 8 == 6) {
            theme.PaintItemSeparator(canvas, RECT{0, 0, itemWidth, rowHeight}, item, true, false);
            continue;
        }
        const RECT r{0, 0, itemWidth, rowHeight};
        theme.PaintPopupItem(canvas, r, item);
        if (item.Checked) {
            TThmItemInfo glyph = item;
            if (i == 8) glyph.ItemFlags |= ifRadioItem;
            theme.PaintCheckGlyph(canvas, RECT{1, 0, 1 + item.ImageColumnWidth, rowHeight}, glyph);
        } else {
            theme.PaintItemImage(canvas, RECT{4, 2, 20, 18}, item, &SceneImages(), i % 4);
        }
        Caption(theme, canvas, RECT{item.ImageColumnWidth + 8, 0, itemWidth - 20, rowHeight}, item,
                L"メニュー項目 " + std::to_wstring(i + 1), DT_SINGLELINE | DT_VCENTER);
    }
    return popup;
}

RECT PaintFloatingToolbar(TThmTheme& theme, TCanvas& canvas, POINT origin, int items) {
    HDC dc = canvas.Handle();
    const int viewKind = vkToolbarBar | vkFloating;
    POINT border{};
    theme.GetViewBorderSize(viewKind, border);
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    const int clientWidth = items * 24 + 4, clientHeight = caption + 26;
    const RECT window{origin.x, origin.y, origin.x + clientWidth + 2 * border.x, origin.y + clientHeight + 2 * border.y};
    TThmFloatingFrameInfo frame{};
    frame.ViewKind = viewKind;
    frame.ClientWidth = clientWidth;
    frame.ClientHeight = clientHeight;
    frame.CaptionShown = true;
    frame.BorderSize = border;
    frame.CloseButtonState = cbsShown;
    frame.RedrawParts = rpBorder | rpCaption | rpCloseButton;
    frame.Caption = L"ツールバー";
    frame.EffectiveColor = theme.GetViewFillColor(viewKind);
    frame.Active = true;
    canvas.Brush().SetColor(frame.EffectiveColor);
    {
        TOrigin at(dc, origin);
        theme.PaintFloatingFrame(canvas, RECT{0, 0, window.right - window.left, window.bottom - window.top}, frame);
    }
    const RECT client{window.left + border.x, window.top + border.y + caption, window.right - border.x,
                      window.bottom - border.y};
    theme.PaintViewBackground(canvas, client, client, client, frame.EffectiveColor, false, viewKind);
    for (int i = 0; i < items; ++i) {
        TThmItemInfo item = ItemOf(viewKind, i, true);
        TOrigin at(dc, POINT{client.left + 2 + i * 24, client.top + 2});
        theme.PaintItemButton(canvas, RECT{0, 0, 23, 22}, item);
        theme.PaintItemImage(canvas, RECT{3, 3, 19, 19}, item, &SceneImages(), i % 4);
    }
    return window;
}

RECT PaintDockedPanel(TThmTheme& theme, TCanvas& canvas, POINT origin, SIZE size) {
    HDC dc = canvas.Handle();
    const RECT panel{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    TThmDockPanelFrameInfo frame{};
    frame.ViewKind = vkDockPanelDocked;
    frame.CaptionHorizontal = true;
    frame.AllowDrag = true;
    frame.BorderStyle = 1;
    theme.GetViewBorderSize(vkDockPanelDocked, frame.BorderSize);
    frame.ClientWidth = size.cx - 2 * frame.BorderSize.x;
    frame.ClientHeight = size.cy - 2 * frame.BorderSize.y;
    frame.CaptionShown = true;
    frame.CloseButtonState = cbsShown | cbsHot;
    frame.Caption = L"パネル";
    frame.EffectiveColor = theme.GetViewFillColor(vkDockPanelDocked);
    canvas.Brush().SetColor(frame.EffectiveColor);
    {
        TOrigin at(dc, origin);
        theme.PaintDockPanelFrame(canvas, RECT{0, 0, size.cx, size.cy}, frame);
    }
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    const RECT client{panel.left + frame.BorderSize.x, panel.top + frame.BorderSize.y + caption,
                      panel.right - frame.BorderSize.x, panel.bottom - frame.BorderSize.y};
    theme.PaintViewBackground(canvas, client, client, client, frame.EffectiveColor, false, vkDockPanelDocked);
    TThmItemInfo edit{};
    edit.ViewKind = vkDockPanelDocked;
    edit.Enabled = true;
    TThmEditBoxInfo box{};
    box.RightButtonWidth = 13;
    box.RightButton = {1, 0};
    {
        TOrigin at(dc, POINT{client.left + 6, client.top + 8});
        theme.PaintEditBox(canvas, RECT{0, 0, 120, 21}, edit, box);
    }
    TOrigin at(dc, POINT{client.left + 6, client.top + 40});
    theme.PaintCheckControl(canvas, RECT{0, 0, 13, 13}, 1, 1, 0);
    theme.PaintCheckControl(canvas, RECT{20, 0, 33, 13}, 2, 1, 0);
    theme.PaintCheckControl(canvas, RECT{40, 0, 53, 13}, 1, 8, 0);
    return panel;
}

RECT PaintStatusBar(TThmTheme& theme, TCanvas& canvas, POINT origin, int width) {
    const RECT bar{origin.x, origin.y, origin.x + width, origin.y + 20};
    theme.PaintStatusBarPart(canvas, bar, 0);
    theme.PaintStatusBarPart(canvas, RECT{bar.left + 2, bar.top + 2, bar.left + 150, bar.bottom - 1}, 1);
    theme.PaintStatusBarPart(canvas, RECT{bar.left + 152, bar.top + 2, bar.right - 18, bar.bottom - 1}, 2);
    theme.PaintStatusBarPart(canvas, RECT{bar.right - 16, bar.top + 2, bar.right, bar.bottom}, 3);
    return bar;
}

}  // namespace themescene
