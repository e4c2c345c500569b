#include "tools/regexportform.h"

#include "classlib/modalwait.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/widedialogs.h"
#include "registry/reghive.h"
#include "uihelpers/filedialogs.h"

namespace tools {

using namespace classlib;
using namespace ui;

const wchar_t* const AnsiLossText =
    L"システムのコードページで表せない文字を含む名前または文字列があったため、その文字を「?」に置き換えて出力しました。"
    L"\r\nそのまま取り込むと元に戻りません。正確に出力するにはUnicode形式を選んでください。";

std::wstring ExportFailedText(const std::wstring& fileName) {
    return fileName + L"\r\nにエクスポートできませんでした。";
}

TExportOperations SystemExportOperations() {
    TExportOperations operations;
    operations.ChooseFile = [](HWND owner, const std::wstring& filter, const std::wstring& defaultExt,
                               int filterIndex, std::wstring& fileName) {
        return uihelpers::ShowFileDialog(owner, defaultExt, filter, L"", L"", fileName, false, true, true, false,
                                         filterIndex);
    };
    operations.SaveHive = [](const registry::TVxRegKeyClass& key, const std::wstring& fileName) {
        return registry::SaveKeyToHiveFile(key, fileName);
    };
    operations.ExportScript = [](const registry::TVxRegKeyClass& key, const std::wstring& fileName, bool unicode,
                                 bool& lossy) {
        return registry::ExportKeyWithRegedit(key, fileName, unicode, WaitModally, &lossy);
    };
    operations.Tell = [](const std::wstring& text) { wide::WideShowMessage(text); };
    return operations;
}

TRegExportForm::TRegExportForm(TComponent* owner, TExportOperations operations)
    : wide::TWideForm(owner), FOperations(std::move(operations)) {
    constexpr int width = 448, height = 190;
    SetUpDialog(*this, {L"レジストリファイルのエクスポート", width, height, false, poScreenCenter});
    const TPlacer at(this, this);

    auto* group = at.Add<TUiGroupBox>(L"エクスポート形式の選択", {8, 8, width - 16, 138});
    const TPlacer inGroup = at.On(group);
    RegExpANSI = inGroup.Radio(L"レジストリスクリプト(ANSI)", {16, 22, 0, 0});
    RegExpUni = inGroup.Radio(L"レジストリスクリプト(Unicode)", {16, 48, 0, 0}, true);
    inGroup.Label(L"レジストリスクリプトの出力には標準のRegEdit.exeを利用します", {34, 72, 0, 0});
    RegExpHive = inGroup.Radio(L"ハイブファイル", {16, 100, 0, 0});

    const std::vector<TPlace> row = ButtonRow(width - 8, height - 35, {90, 75});
    UiButton2 = at.Button(L"出力(&O)", row[0], mrNone, [this] { UiButton2Click(); });
    UiButton2->SetDefault(true);
    UiButton1 = at.Button(kCancelCaption, row[1], mrCancel);
    UiButton1->Cancel = true;
    SetActiveControl(UiButton2);
}

void TRegExportForm::UiButton2Click() {
    const bool hive = RegExpHive->Checked();
    std::wstring fileName;
    if (!FOperations.ChooseFile(Handle(), ExportFilter, hive ? L"hiv" : L"reg", hive ? 2 : 1, fileName)) return;
    bool lossy = false;
    const bool written = hive ? FOperations.SaveHive(FKey, fileName)
                              : FOperations.ExportScript(FKey, fileName, !RegExpANSI->Checked(), lossy);
    if (!written) {
        FOperations.Tell(ExportFailedText(fileName));
        return;
    }
    if (lossy) FOperations.Tell(AnsiLossText);
    SetModalResult(mrOk);
}

}  // namespace tools
