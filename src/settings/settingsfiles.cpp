#include "settings/settingsfiles.h"

#include <windows.h>

#include "controls/wide/cmdline.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/wideutils.h"
#include "settings/inifile.h"

namespace settings {

using namespace wide;

std::wstring SettingsFolderOf(const std::wstring& programFile) {
    return WideExtractFilePath(programFile) + L"Settings\\";
}

std::wstring GetSettingsFilePath(const std::wstring& name) {
    const std::wstring folder = SettingsFolderOf(WideGetModuleFileName(nullptr));
    CreateDirectoryW(WideExcludeTrailingBackslash(folder).c_str(), nullptr);
    return folder + name;
}

bool ReadMainSettingBool(const std::wstring& name, bool defaultValue) {
    const TVxMemIniFile file(SettingsFolderOf(WideParamStr(0)) + L"setting.db");
    return file.ReadBool(L"Main", name, defaultValue);
}

std::wstring JoinCommandLine(const wchar_t* commandLine) {
    std::wstring result;
    const int count = WideParamCount(commandLine);
    for (int i = 1; i <= count; ++i) {
        if (i > 1)
            result += L' ';
        result += WideParamStr(i, commandLine);
    }
    return result;
}

std::wstring JoinCommandLine() {
    return JoinCommandLine(GetCommandLineW());
}

}  // namespace settings
