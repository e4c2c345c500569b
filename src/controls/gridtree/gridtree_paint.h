// Types of the tree's painting: the paint information handed to every step of a cell and
// to the owner's paint events, the line images of the indentation, and the appearance
// settings of the tree.
//
// A paint pass paints row by row into a bitmap one row high whose window origin is shifted
// so that cells sit at their tree x-coordinates; every rectangle of a TGTPaintInfo is in
// that bitmap's coordinates (x as in the tree, y from the row's top). The paint information
// and the canvas it names are valid only during the call that receives them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "classlib/graphics.h"
#include "classlib/imagelist.h"
#include "controls/gridtree/gridheader.h"
#include "controls/gridtree/gridtree_types.h"

namespace gridtree {

// What a paint pass draws besides the rows' content.
using TGTInternalPaintOptions = uint8_t;
enum TGTInternalPaintOption : uint8_t {
    poBackground = 0x01,     // the background picture
    poColumnColor = 0x02,    // each column's colour
    poDrawFocusRect = 0x04,
    poDrawSelection = 0x08,
    poDrawDropMark = 0x10,
    poGridLines = 0x20,
    poMainOnly = 0x40,       // only the main column (drag pictures)
    poSelectedOnly = 0x80,   // only selected rows and rows below a selected ancestor
};
constexpr TGTInternalPaintOptions WindowPaintOptions =
    poBackground | poColumnColor | poDrawFocusRect | poDrawSelection | poDrawDropMark | poGridLines;

enum TGTImageKind { ikNormal, ikSelected, ikState, ikOverlay };
enum TGTImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };

// One image of a cell: its index (-1 none), its place in the row bitmap and its list.
struct TTreeImageSlot {
    int Index = -1;
    int SlotX = 0;
    int SlotY = 0;
    bool Ghosted = false;
    classlib::TImageList* Images = nullptr;
};

struct TGTPaintInfo {
    classlib::TCanvas* Canvas = nullptr;  // the row bitmap's canvas
    TGTInternalPaintOptions PaintOptions = 0;
    PGridNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TColumnPosition Position = 0;
    RECT CellRect{};     // the cell
    RECT ContentRect{};  // the cell after margin, indentation and images
    int NodeWidth = 0;   // width of the content as DoGetNodeWidth reports it
    TAlignment Alignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    POINT BrushOrigin{};
    TTreeImageSlot ImageInfo[4];
};

// The line drawn in one indentation level of a row.
enum TGTLineType {
    ltNone,
    ltBottomRight,   // from the anchor line down, and to the right
    ltTopDown,       // through the whole row
    ltTopDownRight,  // through the whole row, and to the right
    ltRight,         // to the right only
    ltTopRight,      // from the top to the anchor line, and to the right
    ltLeft,          // along the level's left edge (bands)
    ltLeftBottom,    // along the left edge and the bottom (bands)
};
using TLineImage = std::vector<TGTLineType>;

enum TGTButtonStyle { bsRectangle, bsTriangle };
enum TGTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TGTLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum TGTLineMode { lmNormal, lmBands };
enum TGTNodeAlignment { naFromBottom, naFromTop, naProportional };
enum TGTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
enum TCheckImageKind {
    ckLightCheck,
    ckDarkCheck,
    ckLightTick,
    ckDarkTick,
    ckFlat,
    ckXP,
    ckCustom,
    ckSystem,
    ckSystemFlat,
};
enum TItemEraseAction { eaColor, eaDefault, eaNone };
enum TGTDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };

}  // namespace gridtree
