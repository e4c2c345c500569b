// The dialogs in which the favorites manager collects the fields of one favorite:
// - TAddFavoriteKeyForm "キーおよび値の追加と編集": a key (or value) to jump to;
// - TRegistryScriptImportForm "レジストリスクリプトとファイルの取り込み、編集": a script taken
//   from a file, or a file to open;
// - TRegScriptEditorForm "レジストリスクリプトの再編集": a stored script written in place.
//
// The dialogs only fill their boxes; the manager reads them after OK and builds or changes
// the favorite. OK is enabled (at idle) only while the required boxes are filled. The "..."
// buttons of key boxes open the key picker and put the picked path in the box; the file
// buttons open the file chooser. Files read into a script go through ReadScriptFile, whose
// refusals the dialog tells the user; the memo's text goes to the external editor through the
// editor bridge, and comes back only when the editor saved it.
//
// Callers make a dialog with its owner (ShowModalForm), fill its boxes, show it modally and
// read the boxes on OK. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"

#include <cstdint>
#include <string>

namespace classlib {
class TImageList;
}
namespace ui {
class TUiButton;
class TUiButtonEdit;
class TUiEdit;
class TUiGroupBox;
}
namespace wide {
class TWideMemo;
}

namespace favorites {

// What the dialogs need of the program besides their owner.
struct TFavoriteDialogContext {
    // The key picker's tree pictures (computer 0/1, root key 2/3, key 4/5); null for none.
    classlib::TImageList* KeyImages = nullptr;
    // The external text editor program (the option "SetRegTextEditor").
    std::wstring TextEditor = L"notepad.exe";
};

// The largest file read into a script.
constexpr int64_t MaxScriptFileSize = 8 * 1024 * 1024;

// Reads a file the user chose as script text: its encoding by its byte-order mark, else
// UTF-8 when every byte fits it, else the system's ANSI code page (as the editor bridge
// reads), each line followed by CR LF. False, with `error` saying why in the user's words,
// for a file that cannot be opened, is larger than MaxScriptFileSize, or whose text would
// lose something of its bytes; `text` is left as it was then.
bool ReadScriptFile(const std::wstring& fileName, std::wstring& text, std::wstring& error);

class TAddFavoriteKeyForm : public wide::TWideForm {
public:
    TAddFavoriteKeyForm(classlib::TComponent* owner, const TFavoriteDialogContext& context);

    // Group "必須項目".
    ui::TUiEdit* CaptionBox = nullptr;
    ui::TUiButtonEdit* FullPathBox = nullptr;  // "..." picks a key
    // Group "オプション".
    ui::TUiEdit* CommentBox = nullptr;
    ui::TUiButton* OkButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;

protected:
    // OK needs a caption and a path.
    void UpdateActions() override;

private:
    TFavoriteDialogContext FContext;
};

class TRegistryScriptImportForm : public wide::TWideForm {
public:
    TRegistryScriptImportForm(classlib::TComponent* owner, const TFavoriteDialogContext& context);

    // Group "必須項目".
    ui::TUiEdit* CaptionBox = nullptr;
    // Group "オプション".
    ui::TUiButtonEdit* FullPathBox = nullptr;  // "…" picks a file
    ui::TUiEdit* CommentBox = nullptr;
    ui::TUiButtonEdit* AfterMoveKey = nullptr;  // "..." picks a key
    ui::TUiButton* OkButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;

protected:
    // OK needs a caption.
    void UpdateActions() override;

private:
    TFavoriteDialogContext FContext;
};

class TRegScriptEditorForm : public wide::TWideForm {
public:
    TRegScriptEditorForm(classlib::TComponent* owner, const TFavoriteDialogContext& context);

    // Group "基礎情報".
    ui::TUiEdit* CaptionBox = nullptr;
    ui::TUiEdit* CommentBox = nullptr;
    ui::TUiButtonEdit* AfterMoveKey = nullptr;  // "..." picks a key
    // Group "レジストリスクリプト".
    wide::TWideMemo* EntryValue = nullptr;
    ui::TUiButton* LoadFileButton = nullptr;        // "ファイルをロードする"
    ui::TUiButton* ExternalEditorButton = nullptr;  // "外部エディタで編集"
    ui::TUiButton* OkButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;

    // The memo's whole text / puts a text in it.
    std::wstring ScriptText();
    void SetScriptText(const std::wstring& text);

protected:
    // OK needs a caption.
    void UpdateActions() override;

private:
    // The chosen file's text replaces the memo's (a file refused is told).
    void LoadFile();
    // The memo's text through the external editor.
    void EditExternally();
    TFavoriteDialogContext FContext;
};

}  // namespace favorites
