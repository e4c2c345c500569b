// The colour options of the settings dialog and the colour preset files (".color").
//
// The colours are the Colour rows of the option table (options/optiontable.h), in its
// order: "ColorBoxSortCol" ... "ColorBoxTabBack". One rule decides what a colour may be, for
// the readers of "setting.db", the dialog's colour boxes and the presets alike
// (options::IsValidColour): an RGB value, a system colour, or "default colour" for the
// background colours; "no colour" never. A box therefore offers "Default" only where the
// row accepts it, and a stored value the rule refuses leaves the colour as it was.
//
// A preset is a section/key file (UTF-16LE with byte-order mark) with section "Main" and the
// eleven keys, in the stored form of the option table (signed decimal, so system colours are
// negative). Written into a new file the keys stand newest first: "ColorBoxTabBack" at the
// top, "ColorBoxSortCol" last. "setting.db" itself loads as a preset (its colours only).
//
// Main thread only (files).
#pragma once

#include "options/mainoptions.h"
#include "options/optiontable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The colour rows of the option table, in write order.
std::vector<const options::TOptionDef*> ColorOptionDefs();
// The order in which "デフォルトに戻す" sets the colours back to their defaults.
std::vector<const options::TOptionDef*> ColorResetOrder();

// Reads the eleven colours from section "Main"; a key that is missing or holds no valid
// colour for its row leaves that colour as it is. Answers how many colours were read.
int ReadColorSettings(const settings::TVxMemIniFile& file, options::TMainOptions& colours);
// Writes the eleven colours into section "Main" in write order; the caller saves the file.
void WriteColorSettings(settings::TVxMemIniFile& file, const options::TMainOptions& colours);

// The largest preset file that is read.
constexpr int64_t kLargestPresetFile = 1024 * 1024;

enum class TPresetResult {
    Done,
    TooLarge,   // larger than kLargestPresetFile
    NotClean,   // not a section/key file that loads cleanly (see below)
    Failed,     // the file could not be opened, read or written
};

// A file that loads cleanly as a section/key file: it decodes without loss, and each of its
// lines is blank, a section line, or a line with "=" inside a section (";" comments too).
bool LoadsCleanly(const settings::TVxMemIniFile& file);

struct TPresetOutcome {
    TPresetResult Result = TPresetResult::Done;
    int Read = 0;        // colours taken from the file (loading)
    std::wstring Error;  // the file layer's message (Failed)
};

// Loads the colours of a preset into `colours` (a missing file holds none). Done also when
// the file holds none of the keys (nothing changes then). A file larger than the limit is
// not read (TooLarge).
TPresetOutcome LoadColorPreset(const std::wstring& fileName, options::TMainOptions& colours);
// Writes the eleven colours into the preset file: a new file holds section "Main" and the
// eleven keys; an existing one keeps every other line and has the eleven values replaced
// in place. An existing file that is too large or does not load cleanly is left untouched
// (TooLarge, NotClean). The file is replaced atomically.
TPresetOutcome SaveColorPreset(const std::wstring& fileName, const options::TMainOptions& colours);

}  // namespace tools
