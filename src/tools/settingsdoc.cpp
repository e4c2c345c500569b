#include "tools/settingsdoc.h"

#include "classlib/errors.h"
#include "settings/inifile.h"

#include <algorithm>

namespace tools {

TSettingsDocument::TSettingsDocument(const TSettingFiles& files, std::span<const TCommandInfo> commands,
                                     const std::wstring& themeInUse)
    : HotKeys(TCommandTableKind::Shortcuts, commands), Gestures(TCommandTableKind::Gestures, commands), FFiles(files) {
    auto read = [this](const std::wstring& fileName, auto take) {
        try {
            const settings::TVxMemIniFile file(fileName);
            if (file.LoadWasLossy()) FLossy.push_back(fileName);
            take(file);
        } catch (const classlib::Exception& e) {
            FUnreadable.push_back({fileName, e.Message()});
        }
    };
    read(files.Gestures, [this](const settings::TVxMemIniFile& file) { Gestures.Read(file); });
    read(files.HotKeys, [this](const settings::TVxMemIniFile& file) { HotKeys.Read(file); });
    HotKeys.Sort();
    Gestures.Sort();
    read(files.Settings, [this](const settings::TVxMemIniFile& file) { Options = options::ReadMainOptions(file); });
    Options.ThmTheme = themeInUse;
}

std::optional<TSaveFailure> TSettingsDocument::Save() const {
    auto write = [this](const std::wstring& fileName, auto put) -> std::optional<TSaveFailure> {
        try {
            settings::TVxMemIniFile file(fileName);
            // The user was told at opening that this file will be written with what was read.
            if (file.LoadWasLossy() && std::find(FLossy.begin(), FLossy.end(), fileName) != FLossy.end())
                file.AcceptLossyLoad();
            put(file);
            file.UpdateFile();
            return std::nullopt;
        } catch (const classlib::Exception& e) {
            return TSaveFailure{fileName, e.Message()};
        }
    };
    if (auto failure = write(FFiles.Settings, [this](auto& file) { options::WriteMainOptions(file, Options); }))
        return failure;
    if (auto failure = write(FFiles.Gestures, [this](auto& file) { Gestures.Write(file); })) return failure;
    return write(FFiles.HotKeys, [this](auto& file) { HotKeys.Write(file); });
}

}  // namespace tools
