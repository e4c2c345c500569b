// The export dialog "レジストリファイルのエクスポート": the user picks how the key is written —
// a registry script in the system code page, a Unicode script (both by the system registry
// editor) or a hive file (through the registry API) — and the file; the dialog then writes it.
//
// A failed export is said and the dialog stays open for another try; an ANSI script that had to
// replace characters the code page lacks is written and the loss is said. Cancelling the file
// dialog keeps the dialog open; "キャンセル" or Esc closes it without exporting.
//
// Callers make it with ui::ShowModalForm and hand it the key in `prepare`; the dialog keeps its
// own copy. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"
#include "registry/regrecords.h"

#include <windows.h>

#include <functional>
#include <string>

namespace ui {
class TUiButton;
class TUiRadioButton;
}

namespace tools {

// What the dialog does with the world: the save dialog and the two ways of writing.
struct TExportOperations {
    // The file-save dialog (it asks before replacing a file); true with `fileName` set on OK.
    std::function<bool(HWND owner, const std::wstring& filter, const std::wstring& defaultExt, int filterIndex,
                       std::wstring& fileName)>
        ChooseFile;
    std::function<bool(const registry::TVxRegKeyClass& key, const std::wstring& fileName)> SaveHive;
    // `lossy` is set when an ANSI script lost characters.
    std::function<bool(const registry::TVxRegKeyClass& key, const std::wstring& fileName, bool unicode, bool& lossy)>
        ExportScript;
    // A message to the user.
    std::function<void(const std::wstring& text)> Tell;
};
// The system's: the common save dialog, SaveKeyToHiveFile, ExportKeyWithRegedit waiting with
// the windows painted, and the program's message box.
TExportOperations SystemExportOperations();

// The save dialog's filter and what the dialog says.
inline constexpr const wchar_t* ExportFilter =
    L"レジストリスクリプト(*.reg)|*.reg|ハイブファイル(*.hiv)|*.hiv|全てのファイル(*.*)|*.*";
std::wstring ExportFailedText(const std::wstring& fileName);
extern const wchar_t* const AnsiLossText;

class TRegExportForm : public wide::TWideForm {
public:
    explicit TRegExportForm(classlib::TComponent* owner, TExportOperations operations = SystemExportOperations());

    // The key to export.
    registry::TVxRegKeyClass FKey;

    ui::TUiRadioButton* RegExpANSI = nullptr;
    ui::TUiRadioButton* RegExpUni = nullptr;  // chosen at first
    ui::TUiRadioButton* RegExpHive = nullptr;
    ui::TUiButton* UiButton2 = nullptr;  // "出力(&O)"
    ui::TUiButton* UiButton1 = nullptr;  // "キャンセル"

    // "出力(&O)": the file, then the export; closes with mrOk once the file is written.
    void UiButton2Click();

private:
    TExportOperations FOperations;
};

}  // namespace tools
