// The three settings objects of a grid tree: option sets (`TreeOptions`), colour roles
// (`Colors`) and scroll-bar settings (`ScrollBarOptions`).
//
// Each object belongs to one tree (created and freed by it). A setter stores the new value
// and makes the tree react at once (repaint, clear the selection...), except while the tree
// is loading or has no window, where only the selection-related reactions apply.
// Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/gridtree/gridtree_types.h"

namespace gridtree {

// --- option sets ----------------------------------------------------------------------
using TGTPaintOptions = uint32_t;
enum TGTPaintOption : uint32_t {
    toHideFocusRect = 1u << 0,
    toHideSelection = 1u << 1,
    toHotTrack = 1u << 2,
    toPopupMode = 1u << 3,
    toShowBackground = 1u << 4,
    toShowButtons = 1u << 5,
    toShowDropmark = 1u << 6,
    toShowHorzGridLines = 1u << 7,
    toShowRoot = 1u << 8,
    toShowTreeLines = 1u << 9,
    toShowVertGridLines = 1u << 10,
    toThemeAware = 1u << 11,
    toUseBlendedImages = 1u << 12,
    toGhostedIfUnfocused = 1u << 13,
    toFullVertGridLines = 1u << 14,
    toAlwaysHideSelection = 1u << 15,
    toUseBlendedSelection = 1u << 16,
    toStaticBackground = 1u << 17,
};

using TGTAnimationOptions = uint8_t;
enum TGTAnimationOption : uint8_t { toAnimatedToggle = 1u << 0 };

using TGTAutoOptions = uint16_t;
enum TGTAutoOption : uint16_t {
    toAutoDropExpand = 1u << 0,
    toAutoExpand = 1u << 1,
    toAutoScroll = 1u << 2,
    toAutoScrollOnExpand = 1u << 3,
    toAutoSort = 1u << 4,
    toAutoSpanColumns = 1u << 5,
    toAutoTristateTracking = 1u << 6,
    toAutoHideButtons = 1u << 7,
    toAutoDeleteMovedNodes = 1u << 8,
    toDisableAutoscrollOnFocus = 1u << 9,
    toAutoChangeScale = 1u << 10,
    toAutoFreeOnCollapse = 1u << 11,
    toDisableAutoscrollOnEdit = 1u << 12,
};

using TGTSelectionOptions = uint16_t;
enum TGTSelectionOption : uint16_t {
    toDisableDrawSelection = 1u << 0,
    toExtendedFocus = 1u << 1,
    toFullRowSelect = 1u << 2,
    toLevelSelectConstraint = 1u << 3,
    toMiddleClickSelect = 1u << 4,
    toMultiSelect = 1u << 5,
    toRightClickSelect = 1u << 6,
    toSiblingSelectConstraint = 1u << 7,
    toCenterScrollIntoView = 1u << 8,
    toSimpleDrawSelection = 1u << 9,
};

using TGTMiscOptions = uint16_t;
enum TGTMiscOption : uint16_t {
    toAcceptOLEDrop = 1u << 0,
    toCheckSupport = 1u << 1,
    toEditable = 1u << 2,
    toFullRepaintOnResize = 1u << 3,
    toGridExtensions = 1u << 4,
    toInitOnSave = 1u << 5,
    toReportMode = 1u << 6,
    toToggleOnDblClick = 1u << 7,
    toWheelPanning = 1u << 8,
    toReadOnly = 1u << 9,
    toVariableNodeHeight = 1u << 10,
    toFullRowDrag = 1u << 11,
};

constexpr TGTPaintOptions DefaultPaintOptions =
    toShowButtons | toShowDropmark | toShowRoot | toShowTreeLines | toThemeAware | toUseBlendedImages;
constexpr TGTAnimationOptions DefaultAnimationOptions = 0;
constexpr TGTAutoOptions DefaultAutoOptions =
    toAutoDropExpand | toAutoScrollOnExpand | toAutoTristateTracking | toAutoDeleteMovedNodes;
constexpr TGTSelectionOptions DefaultSelectionOptions = 0;
constexpr TGTMiscOptions DefaultMiscOptions =
    toAcceptOLEDrop | toFullRepaintOnResize | toInitOnSave | toToggleOnDblClick | toWheelPanning;

class TCustomGridTreeOptions {
public:
    explicit TCustomGridTreeOptions(TBaseGridTree* AOwner) : FOwner(AOwner) {}
    virtual ~TCustomGridTreeOptions() = default;

    TBaseGridTree* Owner() const { return FOwner; }

    TGTPaintOptions PaintOptions() const { return FPaintOptions; }
    TGTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TGTAutoOptions AutoOptions() const { return FAutoOptions; }
    TGTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TGTMiscOptions MiscOptions() const { return FMiscOptions; }

    void SetPaintOptions(TGTPaintOptions Value);
    void SetAnimationOptions(TGTAnimationOptions Value) { FAnimationOptions = Value; }
    void SetAutoOptions(TGTAutoOptions Value);
    void SetSelectionOptions(TGTSelectionOptions Value);
    void SetMiscOptions(TGTMiscOptions Value);

    // Copies the five sets in order through this object's setters into Dest.
    virtual void AssignTo(TCustomGridTreeOptions& Dest) const;

private:
    TBaseGridTree* FOwner;
    TGTPaintOptions FPaintOptions = DefaultPaintOptions;
    TGTAnimationOptions FAnimationOptions = DefaultAnimationOptions;
    TGTAutoOptions FAutoOptions = DefaultAutoOptions;
    TGTSelectionOptions FSelectionOptions = DefaultSelectionOptions;
    TGTMiscOptions FMiscOptions = DefaultMiscOptions;
};

// --- colours --------------------------------------------------------------------------
// Colours are 0x00BBGGRR, or a system colour: high byte 0xFF, the system colour index in
// the low byte.
class TGTColors {
public:
    using TColor = int32_t;
    static constexpr TColor SystemColor(int index) { return static_cast<TColor>(0xFF000000u | unsigned(index)); }
    static constexpr int ColorCount = 15;

    explicit TGTColors(TBaseGridTree* AOwner);
    TBaseGridTree* Owner() const { return FOwner; }

    TColor GetColor(int Index) const { return FColors[Index]; }
    void SetColor(int Index, TColor Value);
    // Copies all fifteen colours; the tree is invalidated unless an update is pending.
    void Assign(const TGTColors& Source);

    TColor DisabledColor() const { return FColors[0]; }
    TColor DropMarkColor() const { return FColors[1]; }
    TColor DropTargetColor() const { return FColors[2]; }
    TColor FocusedSelectionColor() const { return FColors[3]; }
    TColor GridLineColor() const { return FColors[4]; }
    TColor TreeLineColor() const { return FColors[5]; }
    TColor UnfocusedSelectionColor() const { return FColors[6]; }
    TColor BorderColor() const { return FColors[7]; }
    TColor HotColor() const { return FColors[8]; }
    TColor FocusedSelectionBorderColor() const { return FColors[9]; }
    TColor UnfocusedSelectionBorderColor() const { return FColors[10]; }
    TColor DropTargetBorderColor() const { return FColors[11]; }
    TColor SelectionRectangleBlendColor() const { return FColors[12]; }
    TColor SelectionRectangleBorderColor() const { return FColors[13]; }
    TColor HeaderHotColor() const { return FColors[14]; }

private:
    TBaseGridTree* FOwner;
    TColor FColors[ColorCount];
};

// --- scroll bars ----------------------------------------------------------------------
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarStyle { sbmRegular, sbmFlat, sbm3D };
using TGTScrollIncrement = uint16_t;  // 1 .. 10000

class TScrollBarOptions {
public:
    explicit TScrollBarOptions(TBaseGridTree* AOwner) : FOwner(AOwner) {}
    TBaseGridTree* Owner() const { return FOwner; }

    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    // Only sbmRegular is supported: other styles raise an assertion and the style stays.
    void SetScrollBarStyle(TScrollBarStyle Value);

    TGTScrollIncrement HorizontalIncrement = 20;
    TGTScrollIncrement VerticalIncrement = 20;

    void Assign(const TScrollBarOptions& Source);

private:
    TBaseGridTree* FOwner;
    bool FAlwaysVisible = false;
    TScrollStyle FScrollBars = ssBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
};

}  // namespace gridtree
