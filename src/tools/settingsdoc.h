// What the settings dialog edits: the options of section "Main" of "setting.db" and the two
// command tables of "HotKey.db" and "Gesture.db", read when the dialog opens and written
// back whole by its OK.
//
// Defaults: a key that is missing or holds no valid value shows the option table's default,
// which is the default of every reader of the program, so the first OK writes what the
// program used until then. The theme shown is always the theme in use (a stored name only
// matters at start).
//
// Damage: a file that loads with loss is listed in LossyFiles(); the dialog tells the user
// when it opens, and Save then writes it with what could be read. Keys and lines the dialog
// does not handle stay in every file.
//
// Main thread only.
#pragma once

#include "options/mainoptions.h"
#include "tools/commandtables.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tools {

// The full paths of the dialog's files.
struct TSettingFiles {
    std::wstring Settings;  // "setting.db"
    std::wstring HotKeys;   // "HotKey.db"
    std::wstring Gestures;  // "Gesture.db"
};

// A file that could not be written, and why.
struct TSaveFailure {
    std::wstring FileName;
    std::wstring Message;
};

class TSettingsDocument {
public:
    // Reads the three files. A file that cannot be opened gives the defaults of its part and
    // is listed in UnreadableFiles().
    TSettingsDocument(const TSettingFiles& files, std::span<const TCommandInfo> commands,
                      const std::wstring& themeInUse);

    options::TMainOptions Options;
    TCommandTable HotKeys;
    TCommandTable Gestures;

    const TSettingFiles& Files() const { return FFiles; }
    const std::vector<std::wstring>& LossyFiles() const { return FLossy; }
    const std::vector<TSaveFailure>& UnreadableFiles() const { return FUnreadable; }

    // Writes "setting.db" (its current content with the options written in table order),
    // then "Gesture.db", then "HotKey.db". Stops at the first file that cannot be written and
    // names it (the files before it are written).
    std::optional<TSaveFailure> Save() const;

private:
    TSettingFiles FFiles;
    std::vector<std::wstring> FLossy;
    std::vector<TSaveFailure> FUnreadable;
};

}  // namespace tools
