#include "app/toolsfeature.h"

#include "app/mainactions.h"
#include "classlib/regkey.h"
#include "classlib/runtime.h"

namespace app {

bool WriteRegeditLastKey(const std::wstring& fullPath) {
    classlib::TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, SystemEditorKey, KEY_SET_VALUE) != ERROR_SUCCESS) return false;
    return RegSetValueExW(key.Get(), SystemEditorLastKey, 0, REG_SZ, reinterpret_cast<const BYTE*>(fullPath.c_str()),
                          classlib::Win32Size<DWORD>((fullPath.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

TToolsFeature::TToolsFeature(const TFeatureContext& context, TToolsHost& host) : FHost(host) {
    context.Actions.Action(TActionId::aacWinReg)->OnExecute = [this](classlib::TComponent*) { StartSystemEditor(); };
}

void TToolsFeature::StartSystemEditor() {
    if (FHost.SystemEditorFollowsKey()) {
        const std::wstring path = FHost.SelectedKeyPath();
        if (!path.empty()) WriteRegeditLastKey(path);  // a key that does not open is skipped
    }
    FHost.OpenWithShell(L"regedit");
}

}  // namespace app
