// The tool commands: F3 starts the system's registry editor, opened at the selected key when
// "SetWinReg" is on.
#include <gtest/gtest.h>

#include "app/mainactions.h"
#include "app/toolsfeature.h"
#include "classlib/form.h"
#include "classlib/regkey.h"
#include "common/test_support.h"

#include <memory>
#include <optional>
#include <vector>

using namespace app;

namespace {

struct TFakeToolsHost : TToolsHost {
    std::wstring Path;
    bool Follows = false;
    std::vector<std::wstring>* Started = nullptr;
    std::wstring SelectedKeyPath() override { return Path; }
    bool SystemEditorFollowsKey() override { return Follows; }
    void OpenWithShell(const std::wstring& file) override { Started->push_back(file); }
};

// The system editor's key, made for the test when missing; "LastKey" as it was is put back
// afterwards.
class SystemEditorKeyGuard {
public:
    explicit SystemEditorKeyGuard(bool exists) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SystemEditorKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            FExisted = true;
            FOld = Read();
            RegCloseKey(key);
        }
        if (exists) {
            RegCreateKeyExW(HKEY_CURRENT_USER, SystemEditorKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            RegCloseKey(key);
            RegDeleteKeyValueW(HKEY_CURRENT_USER, SystemEditorKey, SystemEditorLastKey);
        } else {
            RegDeleteTreeW(HKEY_CURRENT_USER, SystemEditorKey);
            RegDeleteKeyW(HKEY_CURRENT_USER, SystemEditorKey);
        }
    }
    ~SystemEditorKeyGuard() {
        if (!FExisted) {
            RegDeleteTreeW(HKEY_CURRENT_USER, SystemEditorKey);
            RegDeleteKeyW(HKEY_CURRENT_USER, SystemEditorKey);
            return;
        }
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, SystemEditorKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (FOld)
            RegSetValueExW(key, SystemEditorLastKey, 0, REG_SZ, FOld->data(), static_cast<DWORD>(FOld->size()));
        else
            RegDeleteValueW(key, SystemEditorLastKey);
        RegCloseKey(key);
    }
    // The raw bytes of "LastKey", none when it is missing.
    static std::optional<std::vector<BYTE>> Read() {
        BYTE data[1024];
        DWORD type = 0, size = sizeof(data);
        if (RegGetValueW(HKEY_CURRENT_USER, SystemEditorKey, SystemEditorLastKey, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                         &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::vector<BYTE>(data, data + size);
    }

private:
    bool FExisted = false;
    std::optional<std::vector<BYTE>> FOld;
};

std::vector<BYTE> TerminatedText(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)};
}

}  // namespace

// "LastKey" is the bare full path with its terminating NUL, written only with "SetWinReg" on,
// a key selected and the editor's key present; the editor starts in every case.
TEST(SystemEditorCommand, LastKeyOnlyWhenAskedAndTheEditorStartsAlways) {
    const std::wstring path = L"HKEY_LOCAL_MACHINE\\SOFTWARE";
    struct Case {
        const char* what;
        bool follows;
        std::wstring selected;
        bool keyExists;
        bool written;
    } cases[] = {
        {"on, key selected", true, path, true, true},
        {"off", false, path, true, false},
        {"on, computer node", true, L"", true, false},
        {"on, no editor key", true, path, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SystemEditorKeyGuard guard(c.keyExists);
        classlib::TComponent owner(nullptr);
        auto* actions = new TMainActionList(&owner);
        std::vector<std::wstring> started;
        auto host = std::make_unique<TFakeToolsHost>();
        host->Path = c.selected;
        host->Follows = c.follows;
        host->Started = &started;
        classlib::TForm form(nullptr);
        const TFeatureContext context{form, *actions};
        TToolsFeature tools(context, *host);

        EXPECT_TRUE(actions->Action(TActionId::aacWinReg)->Execute());
        EXPECT_EQ(started, std::vector<std::wstring>{L"regedit"});
        const auto lastKey = SystemEditorKeyGuard::Read();
        if (c.written)
            EXPECT_EQ(lastKey, TerminatedText(path));
        else
            EXPECT_FALSE(lastKey.has_value());
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SystemEditorKey, 0, KEY_READ, &key) == ERROR_SUCCESS, c.keyExists)
            << "the editor's key is never made";
        if (key) RegCloseKey(key);
    }
}
