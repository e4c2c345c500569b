// What a number field of the settings dialog holds: the text the user typed read as a
// number of the option's range.
//
// The text is a whole number: blanks around it, an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x" or "0x" (" 40", "-1", "$10"). A number outside the
// range, however large, is taken as the nearest bound; any other text is no number and
// leaves the value the field had. The field then shows the value it holds, so what it shows
// is what OK stores. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

enum class TSpinTextState {
    Valid,       // a number inside the range
    Clamped,     // a number outside the range: the nearest bound
    NotANumber,  // no number: the previous value
};

struct TSpinText {
    TSpinTextState State;
    int32_t Value;
};

TSpinText ReadSpinText(const std::wstring& text, int32_t min, int32_t max, int32_t previous);

}  // namespace tools
