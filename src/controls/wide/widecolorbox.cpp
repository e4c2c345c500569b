#include "controls/wide/widecolorbox.h"

#include "classlib/form.h"
#include "classlib/scopeguard.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace wide {

using namespace classlib;

namespace {

constexpr const wchar_t* kCustomCaption = L"Custom...";

struct TNamedColor {
    TColor Color;
    const wchar_t* Name;
};

constexpr std::array<TNamedColor, 16> kStandard{{
    {clBlack, L"Black"},   {clMaroon, L"Maroon"}, {clGreen, L"Green"}, {clOlive, L"Olive"},
    {clNavy, L"Navy"},     {clPurple, L"Purple"}, {clTeal, L"Teal"},   {clGray, L"Gray"},
    {clSilver, L"Silver"}, {clRed, L"Red"},       {clLime, L"Lime"},   {clYellow, L"Yellow"},
    {clBlue, L"Blue"},     {clFuchsia, L"Fuchsia"}, {clAqua, L"Aqua"}, {clWhite, L"White"},
}};

constexpr std::array<TNamedColor, 4> kExtended{{
    {0xC0DCC0, L"Money Green"},
    {0xF0CAA6, L"Sky Blue"},
    {0xF0FBFF, L"Cream"},
    {0xA4A0A0, L"Medium Gray"},
}};

// By system colour index; index 25 names no colour.
constexpr std::array<const wchar_t*, COLOR_MENUBAR + 1> kSystemNames{
    L"Scroll Bar",       L"Background",         L"Active Caption",     L"Inactive Caption",
    L"Menu",             L"Window",             L"Window Frame",       L"Menu Text",
    L"Window Text",      L"Caption Text",       L"Active Border",      L"Inactive Border",
    L"App Workspace",    L"Highlight",          L"Highlight Text",     L"Button Face",
    L"Button Shadow",    L"Gray Text",          L"Button Text",        L"Inactive Caption Text",
    L"Button Highlight", L"3D Dark Shadow",     L"3D Light",           L"Info Text",
    L"Info Background",  nullptr,               L"Hot Light",          L"Gradient Active Caption",
    L"Gradient Inactive Caption", L"Menu Highlight", L"Menu Bar",
};

const wchar_t* SystemColorName(TColor color) {
    const auto bits = static_cast<uint32_t>(color);
    if ((bits & 0xFF000000u) != 0xFF000000u) return nullptr;
    const uint32_t index = bits & 0x00FFFFFFu;
    return index < kSystemNames.size() ? kSystemNames[index] : nullptr;
}

}  // namespace

std::wstring ColorDisplayName(TColor color) {
    if (color == clNone) return L"None";
    if (color == clDefault) return L"Default";
    for (const TNamedColor& entry : kStandard)
        if (entry.Color == color) return entry.Name;
    for (const TNamedColor& entry : kExtended)
        if (entry.Color == color) return entry.Name;
    if (const wchar_t* name = SystemColorName(color)) return name;
    wchar_t text[16];
    const auto bits = static_cast<uint32_t>(color);
    if (bits <= 0x00FFFFFFu)
        swprintf(text, 16, L"#%02X%02X%02X", bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
    else
        swprintf(text, 16, L"$%08X", bits);
    return text;
}

std::vector<TColorBoxEntry> ColorBoxEntries(TColorBoxStyle style) {
    std::vector<TColorBoxEntry> entries;
    if (style & cbStandardColors)
        for (const TNamedColor& entry : kStandard) entries.push_back({entry.Color, entry.Name});
    if (style & cbExtendedColors)
        for (const TNamedColor& entry : kExtended) entries.push_back({entry.Color, entry.Name});
    if (style & cbSystemColors)
        for (size_t i = 0; i < kSystemNames.size(); ++i)
            if (kSystemNames[i]) entries.push_back({static_cast<TColor>(clSystemColor | static_cast<TColor>(i)), kSystemNames[i]});
    if (style & cbIncludeDefault) entries.push_back({clDefault, L"Default"});
    if (style & cbIncludeNone) entries.push_back({clNone, L"None"});
    return entries;
}

TColorBox::TColorBox(TComponent* owner) : TWideCustomComboBox(owner) {
    TWideCustomComboBox::FStyle = csOwnerDrawFixed;
    AutoComplete = false;
    SetColorStyle(cbStandardColors | cbExtendedColors | cbSystemColors);
}

void TColorBox::SetColorStyle(TColorBoxStyle value) {
    const TColor customColour = HasCustomEntry() && !FEntries.empty() ? FEntries.front().Color : clBlack;
    FColorStyle = value;
    FEntries.clear();
    if (HasCustomEntry()) FEntries.push_back({customColour, kCustomCaption});
    const std::vector<TColorBoxEntry> fixed = ColorBoxEntries(value);
    FEntries.insert(FEntries.end(), fixed.begin(), fixed.end());
    EnsureEntry(FSelected);
    if (HandleAllocated()) FillWindow();
}

int TColorBox::IndexOfColor(TColor color) const {
    for (size_t i = HasCustomEntry() ? 1 : 0; i < FEntries.size(); ++i)
        if (FEntries[i].Color == color) return static_cast<int>(i);
    return -1;
}

int TColorBox::EnsureEntry(TColor color) {
    const int index = IndexOfColor(color);
    if (index >= 0) return index;
    const size_t at = HasCustomEntry() ? 1 : 0;
    FEntries.insert(FEntries.begin() + static_cast<std::ptrdiff_t>(at), {color, ColorDisplayName(color)});
    if (HandleAllocated())
        SendMessageW(FHandle, CB_INSERTSTRING, at, reinterpret_cast<LPARAM>(FEntries[at].Name.c_str()));
    return static_cast<int>(at);
}

void TColorBox::SetSelected(TColor value) {
    FSelected = value;
    EnsureEntry(value);
    if (HandleAllocated()) ShowSelected();
}

void TColorBox::CreateWnd() {
    TWideCustomComboBox::CreateWnd();
    FillWindow();
}

void TColorBox::FillWindow() {
    SendMessageW(FHandle, CB_RESETCONTENT, 0, 0);
    for (const TColorBoxEntry& entry : FEntries)
        SendMessageW(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.Name.c_str()));
    ShowSelected();
}

void TColorBox::ShowSelected() { SetItemIndex(IndexOfColor(FSelected)); }

void TColorBox::CNCommand(TMessage& m) {
    TWideCustomComboBox::CNCommand(m);
    // The custom entry chosen in the open list: the dialog comes once the list has closed.
    if (HIWORD(m.WParam) == CBN_CLOSEUP && HasCustomEntry() && ItemIndex() == 0) PickCustomColor();
}

void TColorBox::Select() {
    const int index = ItemIndex();
    if (index < 0 || FPicking) return;
    if (HasCustomEntry() && index == 0) {
        if (!DroppedDown()) PickCustomColor();
        return;
    }
    const TColor colour = FEntries[static_cast<size_t>(index)].Color;
    if (colour == FSelected) return;
    FSelected = colour;
    TWideCustomComboBox::Select();
}

void TColorBox::PickCustomColor() {
    if (FPicking) return;
    FPicking = true;
    const auto done = ScopeExit([this] { FPicking = false; });
    TColor colour = FEntries.front().Color;
    if (!PickColor(colour)) {
        ShowSelected();
        return;
    }
    FEntries.front().Color = colour;
    const int index = EnsureEntry(colour);
    const bool changed = colour != FSelected;
    FSelected = colour;
    SetItemIndex(index);
    Invalidate();
    if (changed) TWideCustomComboBox::Select();
}

bool TColorBox::PickColor(TColor& colour) {
    COLORREF rgb = ColorToRGB(colour);
    TForm* form = GetParentForm(this);
    if (!ChooseColorDialog(form ? form->Handle() : Handle(), rgb, CustomColors)) return false;
    colour = static_cast<TColor>(rgb);
    return true;
}

void TColorBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas.FillRect(rect);
    if (index < 0 || index >= ColorCount()) return;
    const TColorBoxEntry& entry = FEntries[static_cast<size_t>(index)];
    const int height = rect.bottom - rect.top;
    const RECT swatch{rect.left + 2, rect.top + 2, rect.left + 2 + std::max(4, height - 4) * 3 / 2, rect.bottom - 2};
    const TColor brush = FCanvas.Brush().Color();
    const TColor pen = FCanvas.Pen().Color();
    FCanvas.Pen().SetColor(clBlack);
    if (entry.Color == clNone) {
        FCanvas.Brush().SetColor(clWindow);
        FCanvas.Rectangle(swatch);
        FCanvas.MoveTo(swatch.left, swatch.top);
        FCanvas.LineTo(swatch.right, swatch.bottom);
        FCanvas.MoveTo(swatch.right - 1, swatch.top);
        FCanvas.LineTo(swatch.left - 1, swatch.bottom);
    } else {
        FCanvas.Brush().SetColor(entry.Color == clDefault ? DefaultColorColor : entry.Color);
        FCanvas.Rectangle(swatch);
    }
    FCanvas.Brush().SetColor(brush);
    FCanvas.Pen().SetColor(pen);
    const int textLeft = swatch.right + 4;
    FCanvas.TextRect({textLeft, rect.top, rect.right, rect.bottom}, textLeft,
                     rect.top + (height - FCanvas.TextHeight(entry.Name)) / 2, entry.Name);
}

}  // namespace wide
