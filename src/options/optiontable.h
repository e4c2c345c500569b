// The option table: one row per key of section "Main" of "setting.db", in the order in
// which the settings dialog writes them. A row names the key, its type, the field of
// TMainOptions that holds it, its default and its valid range. Reading the file, writing
// it, the defaults of a new TMainOptions and the settings dialog's fields and bounds all
// come from these rows, so a key, default or range lives in one place.
//
// Stored forms, as the section/key file keeps them:
// - Boolean: written "-1" / "0"; read as a number (zero False, any other True) or
//   True / False in any letter case.
// - Integer and colour: written as signed decimal text; read as a 32-bit number (decimal
//   within the signed range, or hexadecimal after "$" / "0x" as its 32-bit pattern).
// - String: unchanged.
// A stored value that is no value of its type, a number beyond 32 bits (4294967297 is not
// 1) or a value outside the row's range counts as missing: the reader keeps the default.
//
// Colours (classlib::TColor): 0x00BBGGRR, or 0xFF000000 + the index of a system colour
// (COLOR_SCROLLBAR to COLOR_MENUBAR; 25 names none). The colour box also knows two markers:
// 0x1FFFFFFF "no colour" and 0x20000000 "default colour". No view has a meaning for "no
// colour" (it would paint black), so it is never an option's value; "default colour" paints
// as the window colour and is accepted for the background colours only, where it stays
// readable.
//
// Plain constant data and pure functions; any thread.
#pragma once

#include "classlib/graphics.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace settings {
class TVxMemIniFile;
}

namespace options {

struct TMainOptions;

// The section of "setting.db" that holds the options.
inline constexpr const wchar_t* MainSection = L"Main";

enum class TOptionType {
    Bool,
    Integer,  // Min..Max
    Colour,   // see above; DefaultColourAllowed for the background colours
    String,   // at most Max characters
};

// The field of TMainOptions that holds an option (colours are 32-bit integers).
template <typename T>
using TOptionField = T& (*)(TMainOptions&);
using TOptionFieldRef = std::variant<TOptionField<bool>, TOptionField<int32_t>, TOptionField<std::wstring>>;

struct TOptionDef {
    const wchar_t* Key;
    TOptionType Type;
    TOptionFieldRef Field;
    int32_t Default;                   // Bool (0 / 1), Integer, Colour
    const wchar_t* DefaultText;        // String
    int32_t Min;                       // Integer: lowest value
    int32_t Max;                       // Integer: highest value; String: longest length
    bool DefaultColourAllowed;         // Colour: 0x20000000 is a valid value
};

// An option's value: bool for Bool, int32_t for Integer and Colour, text for String.
using TOptionValue = std::variant<bool, int32_t, std::wstring>;

// Every option of section "Main", in write order.
std::span<const TOptionDef> MainOptionDefs();
// The row of that key (exact match, as the file compares keys), or null.
const TOptionDef* FindOptionDef(std::wstring_view key);

TOptionValue DefaultValue(const TOptionDef& def);
TOptionValue GetOption(const TMainOptions& options, const TOptionDef& def);
// `value` must hold the alternative of the row's type (else std::bad_variant_access);
// its range is not checked here (see IsValidOptionValue).
void SetOption(TMainOptions& options, const TOptionDef& def, const TOptionValue& value);

// The value has the row's type and lies inside its range.
bool IsValidOptionValue(const TOptionDef& def, const TOptionValue& value);
// A colour the views can paint: RGB, a system colour, or (when allowed) the default marker.
bool IsValidColour(classlib::TColor colour, bool defaultColourAllowed);

// The stored value of the row's key in section "Main"; nothing when the key is missing or
// its value is not valid (see above).
std::optional<TOptionValue> ReadOption(const settings::TVxMemIniFile& file, const TOptionDef& def);
// Writes the value in its stored form (the key's line is replaced in place, or added at the
// top of the section). A text holding CR, LF or U+0000 raises EVxIniFileError.
void WriteOption(settings::TVxMemIniFile& file, const TOptionDef& def, const TOptionValue& value);

}  // namespace options
