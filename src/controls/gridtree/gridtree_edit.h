// In-place editing of a string tree's cells: the default editor (TStringEditLink) and its
// edit control (TGTEdit).
//
// Ownership: the tree holds the link while the edit runs (TBaseGridTree::EditLink). The
// link makes the edit control as a child of the tree, so the tree frees it at the latest;
// the control holds the link alive until the edit ends or is cancelled. A link that is
// freed hides its control and lets it free itself once the message it is handling (if
// any) is done. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "classlib/control.h"
#include "controls/gridtree/gridtree_input.h"

namespace gridtree {

class TCustomGridStringTree;
class TStringEditLink;

class TGTEdit : public classlib::TWinControl {
public:
    explicit TGTEdit(TStringEditLink* Link);
    ~TGTEdit() override;
    TStringEditLink* Link() const { return FLink; }
    // The user changed the text since it was set (the edit control's modify flag).
    bool Modified();
    void SelectAll();
    // Frees the control after the messages before it were handled.
    void Release();

protected:
    friend class TStringEditLink;
    void CreateParams(classlib::TCreateParams& Params) override;
    void WndProc(classlib::TMessage& Message) override;
    void CNCommand(classlib::TMessage& Message) override;
    void CMExit(classlib::TMessage& Message) override;
    // Single-line cells: the control grows or shrinks with its text.
    void AutoAdjustSize();
    // Drops both references to the link (the link may be freed then).
    void DropLink();

private:
    TStringEditLink* FLink = nullptr;
    std::shared_ptr<TStringEditLink> FRefLink;
    bool FMultiline = false;
};

class TStringEditLink : public IGTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;

    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    RECT GetBounds() override;
    // Only for string trees; takes the cell's font, text rectangle and text.
    bool PrepareEdit(TBaseGridTree* Tree, PGridNode Node, TColumnIndex Column) override;
    void ProcessMessage(classlib::TMessage& Message) override;
    // At least 30 pixels wide (grown away from the text's alignment), inside the tree's
    // client width, text placed as in the cell.
    void SetBounds(RECT R) override;

    TGTEdit* Edit() const { return FEdit; }
    TCustomGridStringTree* Tree() const { return FTree; }
    PGridNode Node() const { return FNode; }
    TColumnIndex Column() const { return FColumn; }
    TAlignment Alignment() const { return FAlignment; }
    bool Stopping() const { return FStopping; }

private:
    classlib::TComponentRef<TGTEdit> FEdit;
    TCustomGridStringTree* FTree = nullptr;
    PGridNode FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    TAlignment FAlignment = taLeftJustify;
    RECT FTextBounds{};
    bool FStopping = false;
};

}  // namespace gridtree
