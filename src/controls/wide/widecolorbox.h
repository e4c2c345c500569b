// The colour box: a drop-down list of colours, each entry drawn as a swatch of the colour
// beside its readable name ("Black", "Money Green", "Window Text"...).
//
// Colours are classlib::TColor values: 0x00BBGGRR, 0xFF000000 + a system colour's index,
// clNone (0x1FFFFFFF) and clDefault (0x20000000). The style picks the entries, in this
// order (SetColorStyle):
//   cbCustomColor      "Custom..." first: choosing it opens the system colour dialog, and the
//                      colour picked there is selected (a colour no entry has gets one);
//                      cancelling the dialog selects again what was selected before;
//   (colours no other entry has, the newest first: picked ones and those set by SetSelected)
//   cbStandardColors   the sixteen standard colours;
//   cbExtendedColors   Money Green, Sky Blue, Cream, Medium Gray;
//   cbSystemColors     the system colours, by index;
//   cbIncludeDefault   "Default" (clDefault), drawn in DefaultColorColor;
//   cbIncludeNone      "None" (clNone), drawn as an empty crossed swatch.
// SetSelected of a colour that no entry has adds one for it, named "#RRGGBB" (or by its
// name when it has one), so the box always shows what it holds. Setting the selection from
// code fires nothing; OnChange fires when the user selects another colour (also through the
// custom entry).
//
// The entries live in the object and are put into the window whenever it is made; the
// window is made on demand and needs a parent by then. Main thread only.
#pragma once

#include "classlib/graphics.h"
#include "controls/wide/widechoosers.h"
#include "controls/wide/widecombo.h"

#include <string>
#include <vector>

namespace wide {

using TColorBoxStyle = unsigned;
constexpr TColorBoxStyle cbStandardColors = 1, cbExtendedColors = 2, cbSystemColors = 4, cbIncludeNone = 8,
                         cbIncludeDefault = 16, cbCustomColor = 32;

struct TColorBoxEntry {
    classlib::TColor Color;
    std::wstring Name;
};

// The readable name of a colour: the standard, extended and system colours, "None" and
// "Default" by name; any other RGB value as "#RRGGBB"; a value that is no colour as
// "$XXXXXXXX" (its bits in hexadecimal).
std::wstring ColorDisplayName(classlib::TColor color);
// The fixed entries of a style in list order (without the custom entry and the colours added
// for a selection).
std::vector<TColorBoxEntry> ColorBoxEntries(TColorBoxStyle style);

class TColorBox : public TWideCustomComboBox {
public:
    explicit TColorBox(classlib::TComponent* owner);

    TColorBoxStyle ColorStyle() const { return FColorStyle; }
    // Rebuilds the entries; the selected colour stays selected (it gets an entry of its own
    // when the new style has none for it).
    void SetColorStyle(TColorBoxStyle value);

    classlib::TColor Selected() const { return FSelected; }
    void SetSelected(classlib::TColor value);

    // The entries as listed, the custom entry included (its colour is the last one picked,
    // black before).
    int ColorCount() const { return static_cast<int>(FEntries.size()); }
    classlib::TColor Colors(int index) const { return FEntries.at(static_cast<size_t>(index)).Color; }
    const std::wstring& ColorNames(int index) const { return FEntries.at(static_cast<size_t>(index)).Name; }

    // The swatch colour of the "Default" entry (the colour a default-coloured control paints).
    classlib::TColor DefaultColorColor = classlib::clWindow;
    // The colour dialog's custom row, kept between its openings.
    TCustomColors CustomColors{};

protected:
    void CreateWnd() override;
    void CNCommand(classlib::TMessage& m) override;
    void Select() override;
    void DrawItem(int index, RECT rect, TOwnerDrawState state) override;
    // Opens the colour dialog at `colour`; true and `colour` set on OK. The system dialog
    // owned by this box's form.
    virtual bool PickColor(classlib::TColor& colour);

private:
    bool HasCustomEntry() const { return (FColorStyle & cbCustomColor) != 0; }
    // The entry of that colour other than the custom entry; -1 when there is none.
    int IndexOfColor(classlib::TColor color) const;
    // The entry of that colour, made (after the custom entry) when there is none.
    int EnsureEntry(classlib::TColor color);
    void FillWindow();
    void ShowSelected();
    void PickCustomColor();

    TColorBoxStyle FColorStyle = cbStandardColors | cbExtendedColors | cbSystemColors;
    std::vector<TColorBoxEntry> FEntries;
    classlib::TColor FSelected = classlib::clBlack;
    bool FPicking = false;
};

}  // namespace wide
