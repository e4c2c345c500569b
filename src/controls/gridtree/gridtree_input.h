// Types of the tree's user input: incremental search settings, hint modes and animation
// kinds, the hint record handed to the hint window, the editor interface that in-place
// editing drives, and the events of mouse, keyboard, hints and editing.
// Main thread only, like the tree.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/control.h"
#include "controls/gridtree/gridtree_types.h"

namespace classlib {
class TPopupMenu;
}

namespace gridtree {

// Which nodes the incremental search visits; isNone switches it off.
enum TGTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TGTSearchDirection { sdForward, sdBackward };
// Where each search step starts.
enum TGTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

// What a hint over the tree shows: the control's hint, a per-node hint, a per-node hint
// over nodes and the control's hint elsewhere, or a cell's text that is cut off.
enum TGTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };

// How a hint or tooltip text breaks into lines.
enum TGTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };

// What the tree hands to its hint window: the tree, the node and column the hint is about
// (node nil for a plain hint), a fixed text that wins over the node's, and what the window
// measured. The window keeps its own copy.
struct TGTHintData {
    TBaseGridTree* Tree = nullptr;
    PGridNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    RECT CellArea{};
    std::wstring FixedText;
    std::wstring Text;
    bool TextRightToLeft = false;
    TAlignment TextAlignment = taLeftJustify;
    TGTTooltipLineBreakStyle BreakStyle = hlbDefault;
};

// An editor the tree drives for in-place editing. The tree holds it while the edit runs;
// it may be held longer by its own control (see TStringEditLink).
class IGTEditLink {
public:
    virtual ~IGTEditLink() = default;
    // Shows the editor and gives it the focus; false when it cannot run.
    virtual bool BeginEdit() = 0;
    // Ends without handing the text over; false when the editor has stopped already.
    virtual bool CancelEdit() = 0;
    // Hands a changed text to the tree and ends; false when the editor has stopped already.
    virtual bool EndEdit() = 0;
    virtual RECT GetBounds() = 0;
    // Takes the cell to edit; false refuses it.
    virtual bool PrepareEdit(TBaseGridTree* Tree, PGridNode Node, TColumnIndex Column) = 0;
    virtual void ProcessMessage(classlib::TMessage& Message) = 0;
    virtual void SetBounds(RECT R) = 0;
};
using PGTEditLink = std::shared_ptr<IGTEditLink>;

using TGTKeyActionEvent =
    std::function<void(TBaseGridTree* Sender, WORD& CharCode, classlib::TShiftState& Shift, bool& DoDefault)>;
// Result 0 means the node matches the search text.
using TGTIncrementalSearchEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, const std::wstring& SearchText, int& Result)>;
using TGTPopupEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, POINT P,
                                         bool& AskParent, classlib::TPopupMenu*& PopupMenu)>;
using TGTGetCursorEvent = std::function<void(TBaseGridTree* Sender, classlib::TCursor& Cursor)>;
using TGTEditChangingEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, bool& Allowed)>;
using TGTEditChangeEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column)>;
using TGTEditCancelEvent = std::function<void(TBaseGridTree* Sender, TColumnIndex Column)>;
using TGTCreateEditorEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, PGTEditLink& EditLink)>;
using TGTHelpContextEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, int& HelpContext)>;
using TGTColumnClickEvent =
    std::function<void(TBaseGridTree* Sender, TColumnIndex Column, classlib::TShiftState Shift)>;
using TGTDragAllowedEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, bool& Allowed)>;

}  // namespace gridtree
