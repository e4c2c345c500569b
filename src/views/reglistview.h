// The value list: one row per value of one key, with the columns name, data and type.
//
// The rows are value records of the registry layer kept in the view's own list: row i (the
// node whose Index is i) shows record i. The default value always has a row ("(既定)").
// A row's data text is read from the registry when the row is first shown (painted, or its
// text asked for) and then kept in its record until the list is filled again; a paint pass
// opens the shown key once for all rows it reads. The list is coloured by the key's
// writability and sorted by a click on a column header.
//
// Main thread only. Records handed out (GetValueAt, GetSelectedValue) belong to the list and
// stay valid until the next ShowKey or ClearValues.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphics.h"
#include "classlib/regkey.h"
#include "controls/gridtree/stringtree.h"
#include "registry/regrecords.h"

namespace views {

// The data cell of a value that cannot be read (read again the next time it is shown).
extern const wchar_t* const ValueReadErrorText;
// The name shown for the default value.
extern const wchar_t* const DefaultValueCaption;
// The type cell of a DWORD or QWORD value whose data has the wrong length.
extern const wchar_t* const CorruptNumberText;

class TVxRegListView : public gridtree::TCustomGridStringTree {
public:
    explicit TVxRegListView(classlib::TComponent* Owner = nullptr);
    ~TVxRegListView() override;

    // Fills the list with the values of Key (a copy of Key is taken first, so any record may
    // be passed, one of this list's rows included: a value record names its key); nullptr
    // leaves the list empty. The rows come in name order (the default value first), no
    // column is the sort column, and the list takes the read-only colour when Key's
    // FReadOnly is set. A key neither marked read-only nor tested (FReadOnlyChecked) is
    // write-tested by the opening that lists its values (full access, reading only when that
    // is denied); ShownKey then tells the answer.
    void ShowKey(const registry::TVxRegKeyClass* Key);
    // The key shown (its writability known); an empty record when none is shown.
    const registry::TVxRegKeyClass& ShownKey() const { return FKey; }
    // Empties the list (the rows' records are freed).
    void ClearValues();

    uint32_t ValueCount() const { return static_cast<uint32_t>(FValues.size()); }
    // The record of row Index; nullptr outside the rows.
    registry::TVxRegValueClass* GetValueAt(uint32_t Index) const;
    // The record of the first selected row; nullptr when none is selected.
    registry::TVxRegValueClass* GetSelectedValue();
    // The row's value name (empty for the default value and for nullptr).
    std::wstring GetValueNameOfNode(gridtree::PGridNode Node) const;
    // The record a row shows; nullptr for nullptr or a node that is no row.
    registry::TVxRegValueClass* ValueOfNode(gridtree::PGridNode Node) const;

    // Sorts the rows by a column as a header click does (0 name, 1 data, 2 type; other
    // columns leave the order). Sorting by data first works out the data of every row. The
    // selected and focused values stay selected and focused in their new rows.
    void SortValues(gridtree::TColumnIndex Column, gridtree::TSortDirection Direction);

    int StringItemImage() const { return FStringItemImage; }
    void SetStringItemImage(int Value);
    int BinItemImage() const { return FBinItemImage; }
    void SetBinItemImage(int Value);
    classlib::TColor DefaultColor() const { return FDefaultColor; }
    // Also the control's colour.
    void SetDefaultColor(classlib::TColor Value);
    classlib::TColor ReadOnlyColor() const { return FReadOnlyColor; }
    void SetReadOnlyColor(classlib::TColor Value);
    classlib::TColor SortColumnColor() const { return FSortColumnColor; }
    void SetSortColumnColor(classlib::TColor Value);

    // A left click sorts by the column: the first click on a column sorts descending, every
    // further click reverses. Any click first gives every column the control's colour; after
    // sorting the sort column takes SortColumnColor.
    void DoHeaderClick(gridtree::TColumnIndex Column, classlib::TMouseButton Button, classlib::TShiftState Shift,
                       int X, int Y) override;
    // One key handle serves every data read of the pass.
    void PaintTree(classlib::TCanvas& TargetCanvas, const RECT& Window, POINT Target,
                   gridtree::TGTInternalPaintOptions PaintOptions) override;
    classlib::TImageList* DoGetImageIndex(gridtree::PGridNode Node, gridtree::TGTImageKind Kind,
                                          gridtree::TColumnIndex Column, bool& Ghosted, int& Index) override;

protected:
    void CreateParams(classlib::TCreateParams& Params) override;
    void DoGetText(gridtree::PGridNode Node, gridtree::TColumnIndex Column, gridtree::TGSTTextType TextType,
                   std::wstring& Text) override;

private:
    // Reads the value's data and keeps its display text in the record (a read that fails
    // leaves an error text that is not kept). Nothing when the text is kept already.
    void WorkOutDataText(registry::TVxRegValueClass& Value);
    // While a batch is open, data reads share one handle of the shown key, opened at the
    // first read and closed when the outermost batch ends.
    class TReadBatch;
    friend class TReadBatch;
    void ApplyColors(classlib::TColor Color);

    std::vector<std::unique_ptr<registry::TVxRegValueClass>> FValues;
    registry::TVxRegKeyClass FKey;  // the key shown (a copy)
    int FBatchDepth = 0;
    bool FBatchOpenTried = false;
    classlib::TRegKey FBatchKey;

    int FStringItemImage = -1;
    int FBinItemImage = -1;
    classlib::TColor FDefaultColor = classlib::clWindow;
    classlib::TColor FReadOnlyColor = 0xC0C0C0;
    classlib::TColor FSortColumnColor = 0xF7F7F7;
};

}  // namespace views
