#include "options/mainoptions.h"

#include "options/optiontable.h"
#include "settings/settingsfiles.h"

#include <optional>

namespace options {

namespace {

constexpr const wchar_t* kSetting = L"Setting";

}  // namespace

void ApplyFontOptions(const TFontOptions& options, classlib::TFont& font) {
    if (!options.Name.empty()) font.SetName(options.Name);
    if (options.Charset != -1) font.SetCharset(static_cast<BYTE>(options.Charset));
    if (options.Height != -1) font.SetHeight(options.Height);
    if (options.Size != -1) font.SetSize(options.Size);
}

TMainOptions::TMainOptions() {
    for (const TOptionDef& def : MainOptionDefs()) SetOption(*this, def, DefaultValue(def));
}

TMainOptions ReadMainOptions(const settings::TVxMemIniFile& file, const TMainOptions& defaults) {
    TMainOptions options = defaults;
    for (const TOptionDef& def : MainOptionDefs())
        if (std::optional<TOptionValue> value = ReadOption(file, def)) SetOption(options, def, *value);
    return options;
}

void WriteMainOptions(settings::TVxMemIniFile& file, const TMainOptions& options) {
    for (const TOptionDef& def : MainOptionDefs()) WriteOption(file, def, GetOption(options, def));
}

void SaveMainOptions(const std::wstring& fileName, const TMainOptions& options) {
    settings::TVxMemIniFile file(fileName);
    WriteMainOptions(file, options);
    file.UpdateFile();
}

TStartupOptions::TStartupOptions(const TMainOptions& options)
    : SetNoMutex(options.SetNoMutex),
      SetHideMainForm(options.SetHideMainForm),
      SetConnectCMD(options.SetConnectCMD),
      SetNoCreateWnd(options.SetNoCreateWnd) {}

TStartupOptions ReadStartupOptions(const settings::TVxMemIniFile& file) {
    return TStartupOptions(ReadMainOptions(file));
}

TRegWindowOptions::TRegWindowOptions(const TMainOptions& options)
    : AllowReplace(options.SetRepYajirusi),
      IncTop(options.SetIncTop),
      DateView(options.SetRegDateView),
      IncNoCol(options.SetIncNoCol),
      IncIgnoreCase(options.SetIncIgnoreCase),
      IncTime(options.SetIncTime) {}

TRegWindowOptions ReadRegWindowOptions(const settings::TVxMemIniFile& file) {
    return TRegWindowOptions(ReadMainOptions(file));
}

std::wstring ReadSettingString(const std::wstring& fileName, const std::wstring& name,
                               const std::wstring& defaultValue) {
    return settings::TVxMemIniFile(fileName).ReadString(kSetting, name, defaultValue);
}

void WriteSettingString(const std::wstring& fileName, const std::wstring& name, const std::wstring& value) {
    settings::TVxMemIniFile file(fileName);
    file.WriteString(kSetting, name, value);
    file.UpdateFile();
}

std::wstring ReadSettingString(const std::wstring& name, const std::wstring& defaultValue) {
    return ReadSettingString(settings::GetSettingsFilePath(L"setting.db"), name, defaultValue);
}

void WriteSettingString(const std::wstring& name, const std::wstring& value) {
    WriteSettingString(settings::GetSettingsFilePath(L"setting.db"), name, value);
}

bool TakeFirstRunMarker(const std::wstring& settingFile) {
    if (!ReadSettingString(settingFile, L"Infomation", L"").empty()) return false;
    WriteSettingString(settingFile, L"Infomation", L"1");
    return true;
}

}  // namespace options
