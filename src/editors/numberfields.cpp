#include "editors/numberfields.h"

#include "classlib/runtime.h"
#include "registry/numbers.h"

#include <algorithm>

namespace editors {

unsigned FieldRadix(TNumberField field) {
    switch (field) {
    case TNumberField::Hex: return 16;
    case TNumberField::Octal: return 8;
    case TNumberField::Binary: return 2;
    default: return 10;
    }
}

std::array<std::wstring, NumberFieldCount> FieldsFromDecimal(TNumberWidth width, const std::wstring& decimal) {
    std::array<std::wstring, NumberFieldCount> fields;
    fields[0] = decimal;
    const uint64_t value = width == TNumberWidth::DWord
                               ? static_cast<uint32_t>(classlib::StrToInt64Def(decimal, -1))
                               : registry::DecStrToInt64(decimal);
    for (TNumberField f : {TNumberField::Hex, TNumberField::Octal, TNumberField::Binary}) {
        const unsigned radix = FieldRadix(f);
        fields[static_cast<int>(f)] = width == TNumberWidth::DWord
                                          ? registry::UInt32ToRadixStr(static_cast<uint32_t>(value), radix)
                                          : registry::UInt64ToRadixStr(value, radix);
    }
    return fields;
}

std::optional<std::wstring> DecimalFromField(TNumberWidth width, TNumberField field, const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    const unsigned radix = FieldRadix(field);
    return registry::Int64ToUnsignedStr(width == TNumberWidth::DWord ? registry::RadixStrToInt32(text, radix)
                                                                     : registry::RadixStrToInt64(text, radix));
}

bool NumberTextFits(TNumberWidth width, const std::wstring& decimal) {
    if (width == TNumberWidth::DWord) {
        const int64_t value = classlib::StrToInt64Def(decimal, -1);
        return (static_cast<uint64_t>(value) >> 32) == 0;
    }
    if (decimal.empty() || decimal.size() > 20) return false;
    if (!std::all_of(decimal.begin(), decimal.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) return false;
    // 20 digits compare as text against the largest value.
    return decimal.size() < 20 || decimal <= L"18446744073709551615";
}

const wchar_t* const NumberRangeErrorText =
    L"指定された数値がこの形式で書き込める範囲をオーバーしています\r\n\r\nエディタに戻って修正してください。";

TNumberFieldsModel::TNumberFieldsModel(TNumberWidth width) : FWidth(width) {}

std::vector<TNumberFieldsModel::TUpdate> TNumberFieldsModel::FieldChanged(TNumberField field,
                                                                          const std::wstring& text) {
    std::vector<TUpdate> updates;
    FTexts[static_cast<int>(field)] = text;
    std::wstring decimal = text;
    if (field != TNumberField::Decimal) {
        const std::optional<std::wstring> value = DecimalFromField(FWidth, field, text);
        if (!value) return updates;
        decimal = *value;
    }
    const auto fields = FieldsFromDecimal(FWidth, decimal);
    for (int i = 0; i < NumberFieldCount; ++i) {
        // The decimal field the user types in stays as typed; every other field follows.
        if (field == TNumberField::Decimal && i == 0) continue;
        if (FTexts[i] == fields[i]) continue;
        FTexts[i] = fields[i];
        updates.push_back({static_cast<TNumberField>(i), fields[i]});
    }
    return updates;
}

bool SetEditTextIfChanged(HWND edit, const std::wstring& text) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring current(static_cast<size_t>(length) + 1, L'\0');
    current.resize(static_cast<size_t>(GetWindowTextW(edit, current.data(), length + 1)));
    if (current == text) return false;
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SetWindowTextW(edit, text.c_str());
    const DWORD limit = static_cast<DWORD>(text.size());
    SendMessageW(edit, EM_SETSEL, std::min(start, limit), std::min(end, limit));
    return true;
}

}  // namespace editors
