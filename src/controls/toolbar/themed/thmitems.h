#pragma once
// Themed items and their viewers: items of the toolbar core that carry font settings, an
// image layout, minimum sizes and stretching, and viewers that measure and paint them
// entirely through the current theme (ActiveToolbarTheme). A viewer fills a TThmItemInfo for
// its item and calls the theme's item operations in a fixed order: the button or popup row,
// the drop-down arrow, the caption, the shortcut text, then the image or check glyph.
//
// The themed controls build on these classes: they derive their items from TThmCustomItem and
// their viewers from TThmItemViewer, and replace the virtual steps below.
//
// Lifetime follows the core (tbitem.h, tbviewer.h): items are components, viewers belong to
// their view. Main thread only; painting and measuring need the application object (the theme
// nexus lives there).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/graphics.h"
#include "controls/toolbar/tbitem.h"
#include "controls/toolbar/tbview.h"
#include "controls/toolbar/tbviewer.h"
#include "controls/toolbar/themed/thmitemstate.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace classlib {
class TImageList;
}

namespace themed {

class TThmItemViewer;

// --- drawing state ------------------------------------------------------------------------------

// The drawing state and PaintThemedImage are in thmitemstate.h.

// The accessible role of a tool-box item that opens a sub-menu: a drop-down grid button.
constexpr int RoleDropDownGridButton = 58;

// The view kind of the window that shows `view` (0 without a view or window, or when the
// window answers none).
int GetViewType(toolbar::TBarView* view);

// The HotState of an item shown in `view`: none unless selected; selected when enabled; when
// disabled, keyboard-selected unless the mouse is over it.
BYTE ItemHotState(toolbar::TBarView* view, bool selected, bool enabled);

// --- font settings ------------------------------------------------------------------------------

enum TTriState { tsDefault, tsTrue, tsFalse };

// Changes an item makes to the font its view gives it. Every value has a "keep" setting:
// tsDefault, Size 100, Color clNone, an empty Name.
class TFontSettings {
public:
    TFontSettings() = default;
    TFontSettings(const TFontSettings&) = delete;
    TFontSettings& operator=(const TFontSettings&) = delete;

    TTriState Bold() const { return FBold; }
    void SetBold(TTriState value) { Set(FBold, value); }
    TTriState Italic() const { return FItalic; }
    void SetItalic(TTriState value) { Set(FItalic, value); }
    TTriState Underline() const { return FUnderline; }
    void SetUnderline(TTriState value) { Set(FUnderline, value); }
    TTriState StrikeOut() const { return FStrikeOut; }
    void SetStrikeOut(TTriState value) { Set(FStrikeOut, value); }
    // A percentage of the view font's size.
    std::uint16_t Size() const { return FSize; }
    void SetSize(std::uint16_t value) { Set(FSize, value); }
    classlib::TColor Color() const { return FColor; }
    void SetColor(classlib::TColor value) { Set(FColor, value); }
    const std::wstring& Name() const { return FName; }
    void SetName(const std::wstring& value) { Set(FName, value); }

    // Copies all seven values; OnChange runs once when any of them differed.
    void Assign(const TFontSettings& source);
    // Changes `font`: the size scaled by Size percent (rounded to the nearest point), the
    // colour and name replaced when set, each style added (tsTrue) or removed (tsFalse).
    void Apply(classlib::TFont& font) const;

    // Runs after each change of a value (setting an equal value is no change).
    std::function<void()> OnChange;

private:
    template <class T, class V>
    void Set(T& field, const V& value) {
        if (field == value) return;
        field = value;
        if (OnChange) OnChange();
    }
    TTriState FBold = tsDefault, FItalic = tsDefault, FUnderline = tsDefault, FStrikeOut = tsDefault;
    std::uint16_t FSize = 100;
    classlib::TColor FColor = classlib::clNone;
    std::wstring FName;
};

// --- the themed item ----------------------------------------------------------------------------

// Where the image stands beside the caption on a toolbar button. Auto: above it when the item
// has tboImageAboveCaption or the view is vertical, else to its left.
enum TThmItemLayout { thmlAuto, thmlGlyphLeft, thmlGlyphTop };

class TThmCustomItem;

// The font of a viewer's caption may be changed for one drawing state.
using TThmAdjustFontEvent =
    std::function<void(TThmCustomItem* item, TThmItemViewer* viewer, classlib::TFont& font, int drawState)>;
// After the theme drew the item's image: the image rectangle and the offset the theme drew it at.
using TThmImageDrawnEvent = std::function<void(TThmCustomItem* item, TThmItemViewer* viewer,
                                               classlib::TCanvas& canvas, const RECT& imageRect,
                                               POINT imageOffset, int drawState)>;

class TThmCustomItem : public toolbar::TBarCustomItem {
public:
    explicit TThmCustomItem(classlib::TComponent* owner);

    // Repaints every viewer of the item without measuring it again (Change(false)).
    void Invalidate() { Change(false); }

    // A popup opened from this item selects its first item even when opened by the mouse.
    bool AlwaysSelectFirst() const { return FAlwaysSelectFirst; }
    void SetAlwaysSelectFirst(bool value) { FAlwaysSelectFirst = value; }
    // Owned; a change of any value re-measures the item.
    TFontSettings& FontSettings() { return FFontSettings; }
    void SetFontSettings(const TFontSettings& value) { FFontSettings.Assign(value); }
    TThmItemLayout Layout() const { return FLayout; }
    void SetLayout(TThmItemLayout value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int value);
    // The sub-menu opens as a tool box: its items are painted as toolbar buttons.
    bool ToolBoxPopup() const { return FToolBoxPopup; }
    void SetToolBoxPopup(bool value) { FToolBoxPopup = value; }
    // On a toolbar the item takes the whole line thickness (the item-style bit tbstStretch).
    bool Stretch() const { return (ItemStyle() & toolbar::tbstStretch) != 0; }
    void SetStretch(bool value);

    TThmAdjustFontEvent OnAdjustFont;
    TThmImageDrawnEvent OnImageDrawn;

    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;
    // Themed popups (thmpopup.h), placed with the theme's adjustment; AlwaysSelectFirst
    // selects the first item of every popup the item opens.
    toolbar::TBarPopupWindowClass GetPopupWindowClass() override;
    toolbar::TBarPopupWindow* CreatePopup(toolbar::TBarView* parentView, toolbar::TBarItemViewer* parentViewer,
                                          bool positionAsSubmenu, bool selectFirstItem, bool customizing,
                                          POINT popupPoint, toolbar::TBarPopupAlignment alignment) override;
    void AdjustPopupPosition(toolbar::TBarView* parentView, toolbar::TBarPopupWindow* window,
                             toolbar::TBarPopupPositionRec& rec) override;

private:
    bool FAlwaysSelectFirst = false;
    TFontSettings FFontSettings;
    TThmItemLayout FLayout = thmlAuto;
    int FMinHeight = 0;
    int FMinWidth = 0;
    bool FToolBoxPopup = false;
};

// --- the themed viewer --------------------------------------------------------------------------

// Measures and paints any item through the current theme. With a TThmCustomItem it also
// applies the item's font settings, layout and minimum size.
class TThmItemViewer : public toolbar::TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;

    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
    // Also true in tool-box popups.
    bool UsesToolbarSize() override;
    bool UsesToolbarStyle() override;
    // A drop-down grid button for a tool-box item with a sub-menu.
    int GetAccessibleRole() override;
    // The arrow part of a split item is the theme's split-arrow width on toolbars.
    bool PointInButtonPart(int x, int y) override;
    // After the core's handling, an enabled item released over its button part (or without a
    // sub-menu) with the mouse on it requests execution.
    void MouseUp(int x, int y, bool mouseWasDownOnMenu) override;

    // --- steps a derived viewer may replace
    // Before the theme draws the caption: may move the caption rectangle, or draw the caption
    // itself and clear `paintIt`. Nothing here.
    virtual void DoPaintCaption(classlib::TCanvas& canvas, const RECT& clientRect, RECT& captionRect,
                                bool rotated, bool& paintIt);
    // Draws the item's image through the theme (nothing without an image list or with an
    // index outside it), then tells the item's OnImageDrawn.
    virtual void DrawItemImage(classlib::TCanvas& canvas, const RECT& imageRect, const TThmItemInfo& info);
    // Bold for a default item; a TThmCustomItem's font settings, then its OnAdjustFont.
    virtual void DoAdjustFont(classlib::TFont& font, int drawState);
    virtual bool IsImageShown();
    // The image list's image size, (0, 0) without a list.
    virtual void GetImageSize(int& width, int& height);
    // DT_HIDEPREFIX while the view hides accelerators, else 0.
    virtual UINT GetTextFlags();
    // The size of `text` in the view's font adjusted for `drawState`: (0, 0) for no text;
    // rotated, (line height, width without accelerator marks); else DrawText's DT_CALCRECT
    // result with `flags` on a rectangle 1 pixel wide.
    virtual void GetTextSize(classlib::TCanvas& canvas, const std::wstring& text, SIZE& size, int drawState,
                             bool rotated, UINT flags);
    // The window that shows the viewer passes its hint question on once it has filled in the
    // viewer's hint text and rectangle. Nothing here.
    virtual void DoHintShow(classlib::THintInfo& info) {}

protected:
    // The item record of this viewer's paint: the view kind, style flags, state, image size,
    // split part left plain. `arrowPressed`: a split item's arrow part is the pressed one
    // (`pushed` then false).
    TThmItemInfo FillItemInfo(bool selected, bool pushed, bool arrowPressed, bool imageShown);
    // The layout in effect: the item's Layout, or for thmlAuto the rule above.
    TThmItemLayout EffectiveLayout();
    SIZE ImageSize();
    // Toolbar captions run downward in a vertical view, unless a layout is set, the image
    // stands above the caption, or the item forbids rotation.
    bool CaptionRotated();
};

// The width of the image column of a popup that shows `viewer`'s item: the image (16 x 16 when
// it has no size) widened in proportion to a row as tall as the taller of text and image.
int GetPopupImageColumnWidth(toolbar::TBarItemViewer* viewer);


// --- separators -----------------------------------------------------------------------------------

class TThmSeparatorItem : public toolbar::TBarSeparatorItem {
public:
    using TBarSeparatorItem::TBarSeparatorItem;
    // The thickness; -1 takes the theme's (values below -1 are stored as -1), 0 hides the line.
    int Size() const { return FSize; }
    void SetSize(int value);
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;

private:
    int FSize = -1;
};

// Measures a separator by its Size or the theme's separator metric and paints it through the
// theme's PaintItemSeparator.
class TThmSeparatorItemViewer : public toolbar::TBarSeparatorItemViewer {
public:
    using TBarSeparatorItemViewer::TBarSeparatorItemViewer;
    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
};

}  // namespace themed
