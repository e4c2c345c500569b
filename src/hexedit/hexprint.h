// Page settings of the extended hex editor. Nothing in the program prints: the options are
// kept, copied and saved with the editor's other properties.
#pragma once

#include <array>
#include <string>

namespace hexedit {

enum THexPrintFlag : unsigned {
    pfSelectionOnly = 1u << 0,
    pfSelectionBold = 1u << 1,
    pfMonochrome = 1u << 2,
    pfUseBackgroundColor = 1u << 3,
    pfCurrentViewOnly = 1u << 4,
    pfIncludeRuler = 1u << 5,
};
using THexPrintFlags = unsigned;  // bits of THexPrintFlag
constexpr THexPrintFlags pfAllFlags = (1u << 6) - 1;

// The page header (index 0) and the page footer (index 1).
using THexPrintHeaders = std::array<std::wstring, 2>;

class THexPrintOptions {
public:
    // Margin accessors by index: 1 left, 2 top, 3 right, any other value bottom.
    int GetMargin(int index) const { return FMargins[Slot(index)]; }
    void SetMargin(int index, int value) { FMargins[Slot(index)] = value; }

    int MarginLeft() const { return GetMargin(1); }
    void SetMarginLeft(int v) { SetMargin(1, v); }
    int MarginTop() const { return GetMargin(2); }
    void SetMarginTop(int v) { SetMargin(2, v); }
    int MarginRight() const { return GetMargin(3); }
    void SetMarginRight(int v) { SetMargin(3, v); }
    int MarginBottom() const { return GetMargin(4); }
    void SetMarginBottom(int v) { SetMargin(4, v); }
    // Index 0 the page header, 1 the page footer.
    const std::wstring& PageHeader() const { return FHeaders[0]; }
    void SetPageHeader(const std::wstring& v) { FHeaders[0] = v; }
    const std::wstring& PageFooter() const { return FHeaders[1]; }
    void SetPageFooter(const std::wstring& v) { FHeaders[1] = v; }
    THexPrintFlags Flags() const { return FFlags; }
    void SetFlags(THexPrintFlags v) { FFlags = v & pfAllFlags; }

    void Assign(const THexPrintOptions& source) { *this = source; }

private:
    static int Slot(int index) { return index >= 1 && index <= 3 ? index - 1 : 3; }
    int FMargins[4] = {20, 15, 25, 25};
    THexPrintHeaders FHeaders;
    THexPrintFlags FFlags = pfSelectionBold | pfMonochrome;
};

}  // namespace hexedit
