#include "app/mainoptions.h"

#include "settings/settingsfiles.h"

namespace app {

namespace {

constexpr const wchar_t* kMain = L"Main";
constexpr const wchar_t* kSetting = L"Setting";

// The low 32 bits of the stored number (colours keep their high "system colour" byte).
int32_t ReadInt(const settings::TVxMemIniFile& file, const wchar_t* key, int32_t defaultValue) {
    return static_cast<int32_t>(file.ReadInt64(kMain, key, defaultValue));
}

}  // namespace

void ApplyFontOptions(const TFontOptions& options, classlib::TFont& font) {
    if (!options.Name.empty()) font.SetName(options.Name);
    if (options.Charset != -1) font.SetCharset(static_cast<BYTE>(options.Charset));
    if (options.Height != -1) font.SetHeight(options.Height);
    if (options.Size != -1) font.SetSize(options.Size);
}

TMainOptions ReadMainOptions(const settings::TVxMemIniFile& file, const TMainOptions& d) {
    TMainOptions o;
    auto b = [&](const wchar_t* key, bool def) { return file.ReadBool(kMain, key, def); };
    auto s = [&](const wchar_t* key, const std::wstring& def) { return file.ReadString(kMain, key, def); };
    o.ThmTheme = s(L"ThmTheme", d.ThmTheme);
    o.SetToolBarKotei = b(L"SetToolBarKotei", d.SetToolBarKotei);
    o.SetSmartDrag = b(L"SetSmartDrag", d.SetSmartDrag);
    o.SetSmartDock = b(L"SetSmartDock", d.SetSmartDock);
    o.SetNoKeyUndo = b(L"SetNoKeyUndo", d.SetNoKeyUndo);
    o.SetIncIgnoreCase = b(L"SetIncIgnoreCase", d.SetIncIgnoreCase);
    o.SetIncTime = ReadInt(file, L"SetIncTime", d.SetIncTime);
    o.SetIncNoCol = b(L"SetIncNoCol", d.SetIncNoCol);
    o.SetIncTop = b(L"SetIncTop", d.SetIncTop);
    o.SetRepYajirusi = b(L"SetRepYajirusi", d.SetRepYajirusi);
    o.SetTabWidth = ReadInt(file, L"SetTabWidth", d.SetTabWidth);
    o.SetValueClip = b(L"SetValueClip", d.SetValueClip);
    o.SetKeyClip = b(L"SetKeyClip", d.SetKeyClip);
    o.SetUndoSaving = b(L"SetUndoSaving", d.SetUndoSaving);
    o.SetNoMessage = b(L"SetNoMessage", d.SetNoMessage);
    o.SetNoAllMessage = b(L"SetNoAllMessage", d.SetNoAllMessage);
    o.SetNoSaveWnd = b(L"SetNoSaveWnd", d.SetNoSaveWnd);
    o.SetRegTextEditor = s(L"SetRegTextEditor", d.SetRegTextEditor);
    o.ColorSortColumn = ReadInt(file, L"ColorBoxSortCol", d.ColorSortColumn);
    o.ColorTabGradStart = ReadInt(file, L"ColorBoxTabGS", d.ColorTabGradStart);
    o.ColorTabGradEnd = ReadInt(file, L"ColorBoxTabGE", d.ColorTabGradEnd);
    o.ColorTabActiveGradStart = ReadInt(file, L"ColorBoxTabGAS", d.ColorTabActiveGradStart);
    o.ColorTabActiveGradEnd = ReadInt(file, L"ColorBoxTabGAE", d.ColorTabActiveGradEnd);
    o.ColorTabText = ReadInt(file, L"ColorBoxTabText", d.ColorTabText);
    o.ColorTabTextActive = ReadInt(file, L"ColorBoxTabTextActive", d.ColorTabTextActive);
    o.ColorTabBack = ReadInt(file, L"ColorBoxTabBack", d.ColorTabBack);
    o.ColorControlBack = ReadInt(file, L"ColorBoxControlBack", d.ColorControlBack);
    o.ColorControlText = ReadInt(file, L"ColorBoxControlText", d.ColorControlText);
    o.ColorReadOnly = ReadInt(file, L"ColorBoxReadOnly", d.ColorReadOnly);
    o.SetLoadTab = b(L"SetLoadTab", d.SetLoadTab);
    o.SetLoadTabSettingFile = b(L"SetLoadTabSettingFile", d.SetLoadTabSettingFile);
    o.SetLoadTabSettingFilePath = s(L"SetLoadTabSettingFilePath", d.SetLoadTabSettingFilePath);
    o.SetWinReg = b(L"SetWinReg", d.SetWinReg);
    o.Gesture = b(L"Gesture", d.Gesture);
    o.SetGestureLength = ReadInt(file, L"SetGestureLength", d.SetGestureLength);
    o.SetGestureStop = ReadInt(file, L"SetGestureStop", d.SetGestureStop);
    o.Font.Name = s(L"FontName", d.Font.Name);
    o.Font.Charset = ReadInt(file, L"FontCharset", d.Font.Charset);
    o.Font.Height = ReadInt(file, L"FontHeight", d.Font.Height);
    o.Font.Size = ReadInt(file, L"FontSize", d.Font.Size);
    return o;
}

TRegWindowOptions ReadRegWindowOptions(const settings::TVxMemIniFile& file, bool currentDateView) {
    TMainOptions defaults;
    defaults.SetRepYajirusi = false;
    TRegWindowOptions o = RegWindowSearchOptions(ReadMainOptions(file, defaults));
    o.DateView = file.ReadBool(kMain, L"SetRegDateView", currentDateView);
    return o;
}

TRegWindowOptions RegWindowSearchOptions(const TMainOptions& options) {
    TRegWindowOptions o;
    o.AllowReplace = options.SetRepYajirusi;
    o.IncTop = options.SetIncTop;
    o.IncNoCol = options.SetIncNoCol;
    o.IncIgnoreCase = options.SetIncIgnoreCase;
    o.IncTime = options.SetIncTime;
    return o;
}

TStartupOptions ReadStartupOptions(const settings::TVxMemIniFile& file) {
    TStartupOptions o;
    o.SetNoMutex = file.ReadBool(kMain, L"SetNoMutex", o.SetNoMutex);
    o.SetHideMainForm = file.ReadBool(kMain, L"SetHideMainForm", o.SetHideMainForm);
    o.SetConnectCMD = file.ReadBool(kMain, L"SetConnectCMD", o.SetConnectCMD);
    o.SetNoCreateWnd = file.ReadBool(kMain, L"SetNoCreateWnd", o.SetNoCreateWnd);
    return o;
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

}  // namespace app
