// The multi-string editor "複数行文字列エディタ": the value name and a memo with one string
// per line, a button that hands the lines to the external text editor, and OK, which
// removes empty lines (a REG_MULTI_SZ value cannot hold an empty string) and says so.
//
// The caller fills EntryName (ShowExistingValueName for an existing value) and the memo's
// Lines, sets TextEditorPath, shows the form modally and, on modal result 1, reads both
// back. The form does not touch the registry.
//
// Main thread only.
#pragma once

#include <string>

#include "controls/wide/wideforms.h"

namespace wide {
class TWideMemo;
}
namespace ui {
class TUiButton;
class TUiEdit;
class TUiGroupBox;
}  // namespace ui

namespace editors {

class TEditorFormMultiSZ : public wide::TWideForm {
public:
    explicit TEditorFormMultiSZ(classlib::TComponent* owner);

    ui::TUiEdit* EntryName = nullptr;
    wide::TWideMemo* EntryValue = nullptr;
    ui::TUiButton* ExternalEditorButton = nullptr;
    ui::TUiButton* OkButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;
    // The external text editor program (the main window's option).
    std::wstring TextEditorPath;

private:
    // OK: a REG_MULTI_SZ value holds no empty string.
    void RemoveEmptyLinesAndSay();
};

}  // namespace editors
