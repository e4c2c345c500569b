#include "tools/colorsettings.h"

#include "classlib/errors.h"
#include "controls/wide/widefiles.h"
#include "settings/inifile.h"

#include <windows.h>

#include <optional>

namespace tools {

using options::TOptionDef;

namespace {

// The size of an existing file; nothing when it does not exist or cannot be asked.
std::optional<int64_t> FileSizeOf(const std::wstring& fileName) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

const TOptionDef& Def(const wchar_t* key) { return *options::FindOptionDef(key); }

}  // namespace

std::vector<const TOptionDef*> ColorOptionDefs() {
    std::vector<const TOptionDef*> defs;
    for (const TOptionDef& def : options::MainOptionDefs())
        if (def.Type == options::TOptionType::Colour) defs.push_back(&def);
    return defs;
}

std::vector<const TOptionDef*> ColorResetOrder() {
    std::vector<const TOptionDef*> order;
    for (const wchar_t* key : {L"ColorBoxControlBack", L"ColorBoxControlText", L"ColorBoxReadOnly", L"ColorBoxSortCol",
                               L"ColorBoxTabGS", L"ColorBoxTabGE", L"ColorBoxTabGAS", L"ColorBoxTabGAE",
                               L"ColorBoxTabText", L"ColorBoxTabTextActive", L"ColorBoxTabBack"})
        order.push_back(&Def(key));
    return order;
}

int ReadColorSettings(const settings::TVxMemIniFile& file, options::TMainOptions& colours) {
    int read = 0;
    for (const TOptionDef* def : ColorOptionDefs())
        if (std::optional<options::TOptionValue> value = options::ReadOption(file, *def)) {
            options::SetOption(colours, *def, *value);
            ++read;
        }
    return read;
}

void WriteColorSettings(settings::TVxMemIniFile& file, const options::TMainOptions& colours) {
    for (const TOptionDef* def : ColorOptionDefs()) options::WriteOption(file, *def, options::GetOption(colours, *def));
}

bool LoadsCleanly(const settings::TVxMemIniFile& file) {
    if (file.LoadWasLossy()) return false;
    const wide::TWideStringList& lines = file.Lines();
    bool inSection = false;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::wstring line = lines.Get(i);
        if (line.find_first_not_of(L" \t") == std::wstring::npos) continue;
        if (line.find(L'\0') != std::wstring::npos) return false;
        if (line[0] == L'[') {
            const size_t close = line.find(L']', 1);
            if (close == std::wstring::npos || line.find(L'=') < close) return false;
            inSection = true;
            continue;
        }
        if (line[0] == L';') continue;
        if (!inSection || line.find(L'=') == std::wstring::npos) return false;
    }
    return true;
}

TPresetOutcome LoadColorPreset(const std::wstring& fileName, options::TMainOptions& colours) {
    const std::optional<int64_t> size = FileSizeOf(fileName);
    if (size && *size > kLargestPresetFile) return {TPresetResult::TooLarge};
    try {
        const settings::TVxMemIniFile file(fileName);
        return {TPresetResult::Done, ReadColorSettings(file, colours)};
    } catch (const classlib::Exception& e) {
        return {TPresetResult::Failed, 0, e.Message()};
    }
}

TPresetOutcome SaveColorPreset(const std::wstring& fileName, const options::TMainOptions& colours) {
    const std::optional<int64_t> size = FileSizeOf(fileName);
    if (size && *size > kLargestPresetFile) return {TPresetResult::TooLarge};
    try {
        settings::TVxMemIniFile file(fileName);
        if (size && !LoadsCleanly(file)) return {TPresetResult::NotClean};
        WriteColorSettings(file, colours);
        file.UpdateFile();
        return {};
    } catch (const classlib::Exception& e) {
        return {TPresetResult::Failed, 0, e.Message()};
    }
}

}  // namespace tools
