#include "app/toolsfeature.h"

#include "app/commandhost.h"
#include "app/mainactions.h"
#include "app/mainoptions.h"
#include "classlib/regkey.h"
#include "classlib/runtime.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/wideutils.h"
#include "registry/regsecurity.h"
#include "tools/licenseform.h"
#include "tools/regexportform.h"
#include "tools/regscript.h"
#include "tools/regsizeform.h"
#include "tools/versionform.h"

namespace app {

bool WriteRegeditLastKey(const std::wstring& fullPath) {
    classlib::TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, SystemEditorKey, KEY_SET_VALUE) != ERROR_SUCCESS) return false;
    return RegSetValueExW(key.Get(), SystemEditorLastKey, 0, REG_SZ, reinterpret_cast<const BYTE*>(fullPath.c_str()),
                          classlib::Win32Size<DWORD>((fullPath.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring HelpFilePath() { return wide::WideExtractFilePath(wide::WideGetModuleFileName(nullptr)) + L"Wendlar.chm"; }

std::wstring HiveNameRefusal(const std::wstring& name, bool exists) {
    if (name.empty()) return L"キーの名前を入力してください。";
    if (exists) return L"「" + name + L"」という名前のキーは既にあります。別の名前を指定してください。";
    return L"キーの名前に「\\」は使えません。";
}

std::wstring NotAScriptText(const std::wstring& fileName) {
    return fileName + L"\r\nはレジストリスクリプトではありません。何も取り込みませんでした。";
}

const wchar_t* const ImportFailedText =
    L"レジストリエディタを起動できないか、別の取り込みが終わっていないため、取り込めませんでした。";

std::wstring HiveLoadFailedText(const std::wstring& fileName) {
    return fileName + L"\r\nをハイブとしてロードできませんでした。";
}

std::wstring HiveUnloadFailedText(const std::wstring& keyName) { return keyName + L"をアンロードできませんでした。"; }

std::wstring UnloadQuestion(const std::wstring& keyName) {
    return keyName + L"をアンロードします。本当によろしいですか？";
}

namespace {

constexpr const wchar_t* HiveFilter = L"ハイブファイル(*.hiv)|*.hiv|全てのファイル(*.*)|*.*";
constexpr const wchar_t* ScriptFilter = L"レジストリスクリプト(*.reg)|*.reg";
// The help's page about the program, opened by "作者のサイトを開く".
constexpr const wchar_t* ProgramPage = L"::/about.html";

bool SubKeyExists(HKEY root, const std::wstring& name) {
    classlib::TRegKey key;
    return key.Open(root, name.c_str(), KEY_READ) == ERROR_SUCCESS;
}

}  // namespace

TToolsFeature::TToolsFeature(const TFeatureContext& context, TToolsHost& host) : FContext(context), FHost(host) {
    using enum TActionId;
    const std::pair<TActionId, void (TToolsFeature::*)()> commands[] = {
        {aacWinReg, &TToolsFeature::StartSystemEditor},
        {aacLoadHive, &TToolsFeature::LoadHive},
        {aacUnLoadHive, &TToolsFeature::UnloadHive},
        {aacRegImport, &TToolsFeature::ImportScript},
        {aacExport, &TToolsFeature::Export},
        {aacACLEdit, &TToolsFeature::EditPermissions},
        {aacViewHelp, &TToolsFeature::ShowHelp},
        {aacPlovikPage, &TToolsFeature::ShowProgramPage},
        {aacRegSizeView, &TToolsFeature::ShowSizeTool},
        {aacVerInfo, &TToolsFeature::ShowVersion},
        {aacInfomation, &TToolsFeature::ShowLicense},
    };
    for (const auto& [id, command] : commands)
        context.Actions.Action(id)->OnExecute = [this, command](classlib::TComponent*) { (this->*command)(); };
}

void TToolsFeature::StartSystemEditor() {
    if (FHost.SystemEditorFollowsKey()) {
        const std::wstring path = FHost.SelectedKeyPath();
        if (!path.empty()) WriteRegeditLastKey(path);  // a key that does not open is skipped
    }
    FHost.OpenWithShell(L"regedit");
}

void TToolsFeature::LoadHive() {
    const auto key = FHost.SelectedKey();
    if (!key) return;
    std::wstring fileName;
    if (!FHost.ChooseFile(true, HiveFilter, L"", 1, fileName)) return;
    std::wstring name;
    if (!FHost.Questions().InputText(L"キーの名前", L"サブキーの名前を指定してください", name)) return;
    const bool exists = !name.empty() && name.find(L'\\') == std::wstring::npos && SubKeyExists(key->FRootKey, name);
    if (name.empty() || name.find(L'\\') != std::wstring::npos || exists) {
        FHost.Questions().ShowMessage(HiveNameRefusal(name, exists));
        return;
    }
    if (!FHost.LoadHive(fileName, name)) FHost.Questions().ShowMessage(HiveLoadFailedText(fileName));
}

void TToolsFeature::UnloadHive() {
    const auto key = FHost.SelectedKey();
    if (!key) return;
    if (!FHost.Options().SetNoAllMessage && !FHost.Questions().AskYesNo(UnloadQuestion(key->FKeyName))) return;
    if (!FHost.UnloadHive()) FHost.Questions().ShowMessage(HiveUnloadFailedText(key->FKeyName));
}

void TToolsFeature::ImportScript() {
    std::wstring fileName;
    if (!FHost.ChooseFile(true, ScriptFilter, L"", 1, fileName)) return;
    if (!tools::IsRegScriptFile(fileName)) {
        FHost.Questions().ShowMessage(NotAScriptText(fileName));
        return;
    }
    if (!FHost.ImportScript(fileName)) {
        FHost.Questions().ShowMessage(ImportFailedText);
        return;
    }
    FHost.Questions().RefreshAllWindows();
}

void TToolsFeature::Export() {
    const auto key = FHost.SelectedKey();
    if (!key) return;
    ui::ShowModalForm<tools::TRegExportForm>(
        &FContext.Form, [&](tools::TRegExportForm& dialog) { dialog.FKey = *key; }, {});
}

void TToolsFeature::EditPermissions() {
    const auto key = FHost.SelectedKey();
    if (!key) return;
    FHost.EditSecurity(key->FDisplayName, registry::RegKeySecurityObjectName(*key));
    FHost.Questions().RefreshKeyTree();
}

void TToolsFeature::ShowHelp() { FHost.ShowHelp(HelpFilePath(), true); }

void TToolsFeature::ShowProgramPage() { FHost.ShowHelp(HelpFilePath() + ProgramPage, false); }

void TToolsFeature::ShowSizeTool() { ui::ShowModalForm<tools::TRegSizeForm>(&FContext.Form, {}, {}); }

void TToolsFeature::ShowVersion() { ui::ShowModalForm<tools::TVersionForm>(&FContext.Form, {}, {}); }

void TToolsFeature::ShowLicense() { ui::ShowModalForm<tools::TLicenseForm>(&FContext.Form, {}, {}); }

}  // namespace app
