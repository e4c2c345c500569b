// The number editors' four fields (decimal, hexadecimal, octal, binary) kept in step, and
// the range check of their OK button, for 32-bit (REG_DWORD, REG_DWORD_BIG_ENDIAN) and
// 64-bit (REG_QWORD) values.
//
// The decimal field is the one the caller fills and reads. Typing in the decimal field
// rewrites the other three; typing in another field rewrites the decimal one and through
// it all others, so a field always shows the normal form of what was typed (upper case,
// no leading zeros). A field is written only when its text differs, so the field the user
// types in keeps its caret.
//
// Pure functions and a model; SetEditTextIfChanged works on an edit window (main thread).
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace editors {

enum class TNumberWidth { DWord, QWord };
enum class TNumberField { Decimal = 0, Hex = 1, Octal = 2, Binary = 3 };
constexpr int NumberFieldCount = 4;
unsigned FieldRadix(TNumberField field);

// The hexadecimal, octal and binary texts of a decimal text. 32 bits: the text as a signed
// 64-bit decimal (text that is none, the empty text included, counts as -1), its low 32
// bits; 64 bits: the digits from the right, every non-digit counting 0.
std::array<std::wstring, NumberFieldCount> FieldsFromDecimal(TNumberWidth width, const std::wstring& decimal);
// The unsigned decimal text that a hexadecimal, octal or binary text gives (digits outside
// the radix count by their value; the sum wraps at the width); none for an empty text.
std::optional<std::wstring> DecimalFromField(TNumberWidth width, TNumberField field, const std::wstring& text);

// OK's check of the decimal text. 32 bits: a signed 64-bit decimal whose upper 32 bits are
// 0 (refuses empty, negative, no number, above 4294967295). 64 bits: 1 to 20 characters,
// digits only, at most 18446744073709551615.
bool NumberTextFits(TNumberWidth width, const std::wstring& decimal);
// The error shown when it does not fit.
extern const wchar_t* const NumberRangeErrorText;

// The texts the four fields show, kept in step.
class TNumberFieldsModel {
public:
    explicit TNumberFieldsModel(TNumberWidth width);
    TNumberWidth Width() const { return FWidth; }
    const std::wstring& Text(TNumberField field) const { return FTexts[static_cast<int>(field)]; }

    struct TUpdate {
        TNumberField Field;
        std::wstring Text;
    };
    // A field now shows `text` (the user typed, or the caller set the decimal text). The
    // answer lists the fields to write, only those whose text differs from what they show.
    std::vector<TUpdate> FieldChanged(TNumberField field, const std::wstring& text);

private:
    TNumberWidth FWidth;
    std::array<std::wstring, NumberFieldCount> FTexts;
};

// Sets the text of an edit window only when it differs; the selection is kept (cut to the
// new length), so a caret in the middle of the field stays where it was. True when the
// text was set.
bool SetEditTextIfChanged(HWND edit, const std::wstring& text);

}  // namespace editors
