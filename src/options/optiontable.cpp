#include "options/optiontable.h"

#include "classlib/runtime.h"
#include "controls/toolbar/themed/thmnames.h"
#include "options/mainoptions.h"
#include "settings/inifile.h"

#include <array>

namespace options {

namespace {

using classlib::TColor;

template <auto Member>
auto& Field(TMainOptions& options) {
    return options.*Member;
}
template <auto Member>
auto& FontField(TMainOptions& options) {
    return options.Font.*Member;
}

// The longest path the system takes, and the longest face name of a font (LF_FACESIZE
// less its terminating NUL).
constexpr int32_t kLongestPath = 32767;
constexpr int32_t kLongestFaceName = LF_FACESIZE - 1;
constexpr int32_t kLongestThemeName = 255;

constexpr TOptionDef Bool(const wchar_t* key, TOptionField<bool> field, bool def) {
    return {key, TOptionType::Bool, field, def ? 1 : 0, nullptr, 0, 1, false};
}
constexpr TOptionDef Integer(const wchar_t* key, TOptionField<int32_t> field, int32_t def, int32_t min,
                             int32_t max) {
    return {key, TOptionType::Integer, field, def, nullptr, min, max, false};
}
// A background colour: "default colour" (the window colour) is accepted.
constexpr TOptionDef BackColour(const wchar_t* key, TOptionField<int32_t> field, TColor def) {
    return {key, TOptionType::Colour, field, def, nullptr, 0, 0, true};
}
// A text colour: "default colour" would paint text in the window colour, unreadable.
constexpr TOptionDef TextColour(const wchar_t* key, TOptionField<int32_t> field, TColor def) {
    return {key, TOptionType::Colour, field, def, nullptr, 0, 0, false};
}
constexpr TOptionDef Text(const wchar_t* key, TOptionField<std::wstring> field, const wchar_t* def,
                          int32_t longest) {
    return {key, TOptionType::String, field, 0, def, 0, longest, false};
}

using O = TMainOptions;
using F = TFontOptions;

// Font sizes: -1 leaves the view's font; a height of up to 256 pixels, a size of up to
// 192 points (256 pixels at 96 dots per inch).
constexpr std::array kOptions{
    Text(L"ThmTheme", &Field<&O::ThmTheme>, themed::kThemeDefault, kLongestThemeName),
    Bool(L"SetSmartDock", &Field<&O::SetSmartDock>, false),
    Bool(L"SetSmartDrag", &Field<&O::SetSmartDrag>, false),
    Bool(L"SetToolBarKotei", &Field<&O::SetToolBarKotei>, false),
    Text(L"FontName", &FontField<&F::Name>, L"", kLongestFaceName),
    Integer(L"FontCharset", &FontField<&F::Charset>, -1, -1, 255),
    Integer(L"FontHeight", &FontField<&F::Height>, -1, -256, 256),
    Integer(L"FontSize", &FontField<&F::Size>, -1, -1, 192),
    Bool(L"SetConnectCMD", &Field<&O::SetConnectCMD>, false),
    Bool(L"SetNoKeyUndo", &Field<&O::SetNoKeyUndo>, true),
    Bool(L"SetNoMutex", &Field<&O::SetNoMutex>, false),
    Bool(L"SetNoCreateWnd", &Field<&O::SetNoCreateWnd>, false),
    Bool(L"SetNoSaveWnd", &Field<&O::SetNoSaveWnd>, false),
    Bool(L"SetRepYajirusi", &Field<&O::SetRepYajirusi>, true),
    Bool(L"SetValueClip", &Field<&O::SetValueClip>, false),
    Bool(L"SetKeyClip", &Field<&O::SetKeyClip>, false),
    Bool(L"SetUndoSaving", &Field<&O::SetUndoSaving>, false),
    Bool(L"SetNoMessage", &Field<&O::SetNoMessage>, false),
    Bool(L"SetNoAllMessage", &Field<&O::SetNoAllMessage>, false),
    Bool(L"SetRegDateView", &Field<&O::SetRegDateView>, false),
    Bool(L"SetHideMainForm", &Field<&O::SetHideMainForm>, true),
    Bool(L"SetIncTop", &Field<&O::SetIncTop>, false),
    Bool(L"SetIncNoCol", &Field<&O::SetIncNoCol>, false),
    Bool(L"SetIncIgnoreCase", &Field<&O::SetIncIgnoreCase>, false),
    Integer(L"SetIncTime", &Field<&O::SetIncTime>, 1000, 0, 100000),
    Text(L"SetRegTextEditor", &Field<&O::SetRegTextEditor>, L"notepad.exe", kLongestPath),
    Integer(L"SetTabWidth", &Field<&O::SetTabWidth>, 150, -1, 1000),
    BackColour(L"ColorBoxSortCol", &Field<&O::ColorSortColumn>, 0xF7F7F7),
    BackColour(L"ColorBoxReadOnly", &Field<&O::ColorReadOnly>, 0xC0C0C0),
    BackColour(L"ColorBoxControlBack", &Field<&O::ColorControlBack>, classlib::clWindow),
    TextColour(L"ColorBoxControlText", &Field<&O::ColorControlText>, classlib::clWindowText),
    BackColour(L"ColorBoxTabGS", &Field<&O::ColorTabGradStart>, 0xC4CCCF),
    BackColour(L"ColorBoxTabGE", &Field<&O::ColorTabGradEnd>, 0x949697),
    BackColour(L"ColorBoxTabGAS", &Field<&O::ColorTabActiveGradStart>, 0xFFFFFF),
    BackColour(L"ColorBoxTabGAE", &Field<&O::ColorTabActiveGradEnd>, 0xBBC5C9),
    TextColour(L"ColorBoxTabText", &Field<&O::ColorTabText>, classlib::clWindowText),
    TextColour(L"ColorBoxTabTextActive", &Field<&O::ColorTabTextActive>, classlib::clWindowText),
    BackColour(L"ColorBoxTabBack", &Field<&O::ColorTabBack>, classlib::clBtnFace),
    Bool(L"SetLoadTab", &Field<&O::SetLoadTab>, false),
    Bool(L"SetLoadTabSettingFile", &Field<&O::SetLoadTabSettingFile>, false),
    Text(L"SetLoadTabSettingFilePath", &Field<&O::SetLoadTabSettingFilePath>, L"", kLongestPath),
    Bool(L"SetWinReg", &Field<&O::SetWinReg>, false),
    Bool(L"Gesture", &Field<&O::Gesture>, false),
    // A step of 0 pixels would take every mouse move, even one in place, for a stroke.
    Integer(L"SetGestureLength", &Field<&O::SetGestureLength>, 40, 1, 10000),
    Integer(L"SetGestureStop", &Field<&O::SetGestureStop>, 800, 0, 10000),
};

// Each row's field has the type its kind of value needs.
consteval bool FieldsMatchTypes() {
    for (const TOptionDef& def : kOptions) {
        const size_t expected = def.Type == TOptionType::Bool     ? 0
                                : def.Type == TOptionType::String ? 2
                                                                  : 1;
        if (def.Field.index() != expected) return false;
    }
    return true;
}
static_assert(FieldsMatchTypes());

// Indexes of the system colours (COLOR_SCROLLBAR .. COLOR_MENUBAR); 25 names no colour.
constexpr int kLastSystemColour = COLOR_MENUBAR;
constexpr int kUnusedSystemColour = 25;

}  // namespace

std::span<const TOptionDef> MainOptionDefs() { return kOptions; }

const TOptionDef* FindOptionDef(std::wstring_view key) {
    for (const TOptionDef& def : kOptions)
        if (key == def.Key) return &def;
    return nullptr;
}

TOptionValue DefaultValue(const TOptionDef& def) {
    switch (def.Type) {
        case TOptionType::Bool: return def.Default != 0;
        case TOptionType::String: return std::wstring(def.DefaultText);
        case TOptionType::Integer:
        case TOptionType::Colour: break;
    }
    return def.Default;
}

TOptionValue GetOption(const TMainOptions& options, const TOptionDef& def) {
    // The fields give write access; reading through them changes nothing.
    auto& source = const_cast<TMainOptions&>(options);
    return std::visit([&](auto field) { return TOptionValue(field(source)); }, def.Field);
}

void SetOption(TMainOptions& options, const TOptionDef& def, const TOptionValue& value) {
    std::visit(
        [&](auto field) {
            auto& target = field(options);
            target = std::get<std::remove_reference_t<decltype(target)>>(value);
        },
        def.Field);
}

bool IsValidColour(TColor colour, bool defaultColourAllowed) {
    const auto bits = static_cast<uint32_t>(colour);
    if (bits <= 0x00FFFFFFu) return true;
    if ((bits & 0xFF000000u) == 0xFF000000u) {
        const uint32_t index = bits & 0x00FFFFFFu;
        return index <= kLastSystemColour && index != kUnusedSystemColour;
    }
    return defaultColourAllowed && colour == classlib::clDefault;
}

bool IsValidOptionValue(const TOptionDef& def, const TOptionValue& value) {
    switch (def.Type) {
        case TOptionType::Bool: return std::holds_alternative<bool>(value);
        case TOptionType::Integer: {
            const int32_t* number = std::get_if<int32_t>(&value);
            return number && *number >= def.Min && *number <= def.Max;
        }
        case TOptionType::Colour: {
            const int32_t* colour = std::get_if<int32_t>(&value);
            return colour && IsValidColour(*colour, def.DefaultColourAllowed);
        }
        case TOptionType::String: {
            const std::wstring* text = std::get_if<std::wstring>(&value);
            return text && text->size() <= static_cast<size_t>(def.Max);
        }
    }
    return false;
}

std::optional<TOptionValue> ReadOption(const settings::TVxMemIniFile& file, const TOptionDef& def) {
    if (!file.ValueExists(MainSection, def.Key)) return std::nullopt;
    const std::wstring text = file.ReadString(MainSection, def.Key, std::wstring());
    TOptionValue value;
    switch (def.Type) {
        case TOptionType::Bool: {
            bool flag = false;
            if (!classlib::TryStrToBool(text, flag)) return std::nullopt;
            value = flag;
            break;
        }
        case TOptionType::Integer:
        case TOptionType::Colour: {
            int number = 0;
            if (!classlib::TryStrToInt(text, number)) return std::nullopt;
            value = static_cast<int32_t>(number);
            break;
        }
        case TOptionType::String: value = text; break;
    }
    if (!IsValidOptionValue(def, value)) return std::nullopt;
    return value;
}

void WriteOption(settings::TVxMemIniFile& file, const TOptionDef& def, const TOptionValue& value) {
    if (const bool* flag = std::get_if<bool>(&value))
        file.WriteBool(MainSection, def.Key, *flag);
    else if (const int32_t* number = std::get_if<int32_t>(&value))
        file.WriteInt64(MainSection, def.Key, *number);
    else
        file.WriteString(MainSection, def.Key, std::get<std::wstring>(value));
}

}  // namespace options
