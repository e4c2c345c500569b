#pragma once
// The items of every menu and toolbar of the program: command items, sub-menu items, labels,
// separators and the spacer that starts the right-aligned part of a toolbar. They add to the
// themed items (thmitems.h) caption alignment, glow and wrapping, fixed sizes and margins, a
// linked control whose visibility the item toggles, and four custom-draw events that run once
// before (pstPrePaint) and once after (pstPostPaint) each default painting step. Their viewer
// paints them through the current theme with UTF-16 captions (uitext.h) and shows their hints
// as bitmaps (uihint.h).
//
// Also here: TUiItemCacheCollection, the remembered positions of toolbar items that the
// toolbar's anchoring and the tab toolbar's hidden tabs keep.
//
// Lifetime follows the core: items are components, viewers belong to their view. The linked
// control is a reference that clears itself when the control goes. Main thread only.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/control.h"
#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmitems.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uitypes.h"
#include "controls/wide/widelabel.h"

namespace ui {

class TUiCustomItem;

// --- events -------------------------------------------------------------------------------------
// (The caption, hint and background events are shared with the dialog controls: uicaptions.h.)

using TUiDrawItemEvent = std::function<void(TUiCustomItem* sender, classlib::TCanvas& canvas, const RECT& rect,
                                            const themed::TThmItemInfo& info, TUiPaintStage stage,
                                            bool& paintDefault)>;
using TUiDrawImageEvent =
    std::function<void(TUiCustomItem* sender, classlib::TCanvas& canvas, const themed::TThmItemInfo& info,
                       TUiPaintStage stage, classlib::TImageList*& images, int& imageIndex, RECT& rect,
                       bool& paintDefault)>;
using TUiClosePopupEvent = std::function<void(TUiCustomItem* sender, toolbar::TBarCustomItem* clickedItem)>;
// A change below a toolbar's root item (the item tree's notification, passed on).
using TUiItemNotificationEvent =
    std::function<void(classlib::TComponent* sender, toolbar::TBarCustomItem* ancestor, bool relayed,
                       toolbar::TBarItemChangedAction action, int index, toolbar::TBarCustomItem* item)>;

// --- items --------------------------------------------------------------------------------------

class TUiCustomItem : public themed::TThmCustomItem {
public:
    // The themed item with Caption empty, Alignment taCenter, the glow colour yellow,
    // CustomWidth and CustomHeight -1, Margins 0, Wrapping twWrap and Stretch on.
    explicit TUiCustomItem(classlib::TComponent* owner);

    TUiGlowDirection CaptionGlow() const { return FCaptionGlow; }
    void SetCaptionGlow(TUiGlowDirection value);
    classlib::TColor CaptionGlowColor() const { return FCaptionGlowColor; }
    void SetCaptionGlowColor(classlib::TColor value);
    // Caption alignment in toolbar style.
    wide::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(wide::TAlignment value);
    // A fixed length along the caption (-1: natural; values below -1 are stored as -1).
    int CustomWidth() const { return FCustomWidth; }
    void SetCustomWidth(int value);
    // A fixed thickness across the caption, as CustomWidth.
    int CustomHeight() const { return FCustomHeight; }
    void SetCustomHeight(int value);
    // Extra length along the caption; negative values are stored as 0.
    int Margins() const { return FMargins; }
    void SetMargins(int value);
    // The control the item shows and hides; the item's check mark follows its visibility.
    classlib::TControl* Control() const { return FControl; }
    void SetControl(classlib::TControl* value);
    // The item takes the extra length the toolbar's anchoring gives it (uitoolbar.h).
    bool Anchored() const { return FAnchored; }
    void SetAnchored(bool value) { FAnchored = value; }
    // The sub-menu shows its items as a toolbar.
    bool ToolbarStylePopup() const { return FToolbarStylePopup; }
    void SetToolbarStylePopup(bool value) { FToolbarStylePopup = value; }
    themed::TTextWrapping Wrapping() const { return FWrapping; }
    void SetWrapping(themed::TTextWrapping value);
    // The DrawText flags of Wrapping.
    UINT WrappingFlags() const;

    TUiClosePopupEvent OnClosePopup;
    TUiDrawTextEvent OnDrawCaption;
    TUiDrawHintEvent OnDrawHint;
    TUiDrawItemEvent OnDrawItem;
    TUiDrawImageEvent OnDrawImage;

    // An accelerator reached the item's toolbar; true when the item took it. False here.
    virtual bool DialogChar(wchar_t charCode);
    // Changes the caption font for a drawing state (themed::dst* bits). Nothing here.
    virtual void DoAdjustFont(classlib::TFont& font, int stateFlags);
    virtual void DoDrawHint(classlib::TBitmap& hintBitmap, std::wstring& hint, bool& paintDefault);
    virtual void DoDrawItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& info,
                            TUiPaintStage stage, bool& paintDefault);
    virtual void DoDrawCaption(classlib::TCanvas& canvas, const RECT& clientAreaRect, TUiPaintStage stage,
                               std::wstring& caption, RECT& captionRect, UINT& format, bool isTextRotated,
                               bool& paintDefault);
    virtual void DoDrawImage(classlib::TCanvas& canvas, const themed::TThmItemInfo& info, TUiPaintStage stage,
                             classlib::TImageList*& images, int& imageIndex, RECT& rect, bool& paintDefault);
    // Shows the linked control when it is hidden and hides it when it is shown.
    virtual void ToggleControl();
    // Checked := the linked control's visibility (not while loading or being destroyed).
    virtual void SyncControlState();

    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;
    toolbar::TBarPopupWindowClass GetPopupWindowClass() override;
    // With a linked control, toggles it first.
    void Click() override;
    void InitiateAction() override;

private:
    TUiGlowDirection FCaptionGlow = gldNone;
    classlib::TColor FCaptionGlowColor = 0x00FFFF;
    wide::TAlignment FAlignment = wide::taCenter;
    int FCustomWidth = -1;
    int FCustomHeight = -1;
    int FMargins = 0;
    classlib::TComponentRef<classlib::TControl> FControl;
    bool FAnchored = false;
    bool FToolbarStylePopup = false;
    themed::TTextWrapping FWrapping = themed::twWrap;
};

class TUiItem : public TUiCustomItem {
public:
    using TUiCustomItem::TUiCustomItem;
};

class TUiSubmenuItem : public TUiItem {
public:
    // Opens its sub-items (the sub-menu style and the no-line-break bit).
    explicit TUiSubmenuItem(classlib::TComponent* owner);
    // The main part clicks, the arrow part opens the sub-menu.
    bool DropdownCombo() const { return (ItemStyle() & toolbar::tbstSplitButton) != 0; }
    void SetDropdownCombo(bool value);
};

// A caption with an optional image that is never selected, clicked through the menu loop or
// painted with a face.
class TUiCustomLabelItem : public TUiCustomItem {
public:
    explicit TUiCustomLabelItem(classlib::TComponent* owner);
    // Focuses the linked control.
    bool DialogChar(wchar_t charCode) override;
    void DoDrawItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& info,
                    TUiPaintStage stage, bool& paintDefault) override;
    void ToggleControl() override {}
    void SyncControlState() override {}
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;
};

class TUiLabelItem : public TUiCustomLabelItem {
public:
    using TUiCustomLabelItem::TUiCustomLabelItem;
};

// Marks where the right-aligned part of a toolbar begins: the toolbar gives it the free
// length (its CustomWidth) so that what follows ends at the far edge.
class TUiRightAlignSpacerItem : public TUiCustomLabelItem {
public:
    using TUiCustomLabelItem::TUiCustomLabelItem;
};

class TUiSeparatorItem : public themed::TThmSeparatorItem {
public:
    using TThmSeparatorItem::TThmSeparatorItem;
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;
};

// --- viewers ------------------------------------------------------------------------------------

class TUiItemViewer : public themed::TThmItemViewer {
public:
    using TThmItemViewer::TThmItemViewer;

    // The extra length the toolbar's anchoring gives an Anchored item.
    int AnchorExtra = 0;
    // The dock size at the item's first anchoring (-1 until then).
    int AnchorDockWidth = -1, AnchorDockHeight = -1;

    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
    // Also sets the application's hint to the item's hint in a popup.
    void NotifyEntering(toolbar::TBarItemViewer* previous) override;
    void DrawItemImage(classlib::TCanvas& canvas, const RECT& imageRect, const themed::TThmItemInfo& info) override;
    // The item's DoAdjustFont, then the themed one.
    void DoAdjustFont(classlib::TFont& font, int drawState) override;
    // False when the toolbar shows text only.
    bool IsImageShown() override;
    // The toolbar's display mode decides where it is a TUiToolbar.
    bool ShowsCaption() override;
    // A bitmap hint with the item's UTF-16 hint (BuildWideHint).
    void DoHintShow(classlib::THintInfo& info) override;

    virtual void DoDrawItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& info,
                            TUiPaintStage stage, bool& paintDefault);
    virtual void DoDrawCaption(classlib::TCanvas& canvas, const RECT& clientAreaRect, TUiPaintStage stage,
                               std::wstring& caption, RECT& captionRect, UINT& format, bool isTextRotated,
                               bool& paintDefault);
    virtual void DoDrawImage(classlib::TCanvas& canvas, const themed::TThmItemInfo& info, TUiPaintStage stage,
                             classlib::TImageList*& images, int& imageIndex, RECT& rect, bool& paintDefault);
    // The caption up to the first tab.
    virtual std::wstring GetWideCaptionText();

protected:
    TUiCustomItem* UiItem() const;
    // Draws a caption or shortcut text through DoDrawCaption: the default draws it with the
    // item's glow.
    void DrawCaptionEvented(classlib::TCanvas& canvas, const RECT& clientRect, std::wstring text, RECT rect,
                            UINT format, bool rotated);
};

class TUiLabelItemViewer : public TUiItemViewer {
public:
    using TUiItemViewer::TUiItemViewer;
    // In a menu a label with a caption and no fixed height is one text line high.
    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    bool RequestExecute() override { return false; }
};

class TUiSeparatorItemViewer : public themed::TThmSeparatorItemViewer {
public:
    using TThmSeparatorItemViewer::TThmSeparatorItemViewer;
    // Nothing on a status toolbar that draws its own dividers.
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
};

// --- hints --------------------------------------------------------------------------------------

// The tooltip of an item: its Hint up to the first bar; without one (and without
// tboNoAutoHint, and not for a sub-menu item that shows its caption) its caption without a
// trailing ':' or "..." and without accelerator marks; with the shortcut in brackets after
// it when the application shows shortcuts in hints.
std::wstring BuildWideHint(toolbar::TBarItemViewer* viewer);

// --- item positions -----------------------------------------------------------------------------

// One remembered item position: the item (or, while it is not linked, its name), its bounds
// and the size of its parent then.
struct TUiItemCache {
    toolbar::TBarCustomItem* Item = nullptr;
    std::wstring StoredName;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int ParentWidth = 0, ParentHeight = 0;
    // The item's name when an item is linked, else the stored name.
    std::wstring Name() const;
};

class TUiItemCacheCollection {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TUiItemCache& Items(int index) { return FItems[static_cast<size_t>(index)]; }
    TUiItemCache& Add();
    // A new entry with the item and the rectangle's left, top, width and height; its index.
    int AddItem(toolbar::TBarCustomItem* item, const RECT& rect);
    // -1 for null or an item without an entry.
    int IndexOf(const toolbar::TBarCustomItem* item) const;
    void Delete(int index);
    void Clear() { FItems.clear(); }

private:
    std::vector<TUiItemCache> FItems;
};

}  // namespace ui
