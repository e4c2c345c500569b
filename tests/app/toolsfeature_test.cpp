// The tool commands: F3 starts the system's registry editor, opened at the selected key when
// "SetWinReg" is on; the hive, import, permission and help commands with the main window
// replaced by a fake.
#include <gtest/gtest.h>

#include "app/commandhost.h"
#include "app/mainactions.h"
#include "app/toolsfeature.h"
#include "registry/regrecords.h"
#include "classlib/form.h"
#include "classlib/regkey.h"
#include "common/test_support.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

using namespace app;

namespace {

// Questions answered from the test's lists (No and Cancel when they run out); what the
// commands said is kept.
struct TFakeQuestions : TCommandHost {
    std::vector<std::wstring> Questions, Messages;
    std::deque<bool> Answers;
    std::deque<std::wstring> Inputs;
    int KeyTreeRefreshes = 0, AllRefreshes = 0;
    bool AskYesNo(const std::wstring& text) override {
        Questions.push_back(text);
        const bool yes = !Answers.empty() && Answers.front();
        if (!Answers.empty()) Answers.pop_front();
        return yes;
    }
    bool InputText(const std::wstring&, const std::wstring&, std::wstring& value) override {
        if (Inputs.empty()) return false;
        value = Inputs.front();
        Inputs.pop_front();
        return true;
    }
    void ShowMessage(const std::wstring& text) override { Messages.push_back(text); }
    void RefreshKeyTree() override { ++KeyTreeRefreshes; }
    void RefreshValueList() override {}
    void RefreshAllWindows() override { ++AllRefreshes; }
    void ExpandAllBelowSelected() override {}
    void SetClipboardText(const std::wstring&) override {}
    void ShowToolPage(int) override {}
    bool Progress(size_t) override { return true; }
};

struct TFakeToolsHost : TToolsHost {
    std::wstring Path;
    std::optional<registry::TVxRegKeyClass> Key;
    bool Follows = false;
    std::vector<std::wstring>* Started = nullptr;
    TFakeQuestions Asked;
    TMainOptions Settings;
    std::optional<std::wstring> Chosen;  // the file the user picks; none: Cancel
    bool Succeeds = true;                // the bridges' answer
    std::vector<std::wstring> Done;      // what reached the bridges

    std::optional<registry::TVxRegKeyClass> SelectedKey() override { return Key; }
    std::wstring SelectedKeyPath() override { return Path; }
    bool SystemEditorFollowsKey() override { return Follows; }
    void OpenWithShell(const std::wstring& file) override { Started->push_back(file); }
    TCommandHost& Questions() override { return Asked; }
    const TMainOptions& Options() override { return Settings; }
    bool ChooseFile(bool, const std::wstring&, const std::wstring&, int, std::wstring& fileName) override {
        if (!Chosen) return false;
        fileName = *Chosen;
        return true;
    }
    bool LoadHive(const std::wstring& fileName, const std::wstring& name) override {
        Done.push_back(L"load " + fileName + L" as " + name);
        return Succeeds;
    }
    bool UnloadHive() override {
        Done.push_back(L"unload");
        return Succeeds;
    }
    bool ImportScript(const std::wstring& fileName) override {
        Done.push_back(L"import " + fileName);
        return Succeeds;
    }
    void EditSecurity(const std::wstring& title, const std::wstring& object) override {
        Done.push_back(L"security " + title + L" " + object);
    }
    bool ShowHelp(const std::wstring& file, bool contents) override {
        Done.push_back((contents ? L"help " : L"topic ") + file);
        return true;
    }
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

namespace {

// The feature bound to an action list of its own, over a fake host.
struct ToolCommands : ::testing::Test {
    classlib::TComponent owner{nullptr};
    TMainActionList* actions = new TMainActionList(&owner);
    classlib::TForm form{nullptr};
    TFakeToolsHost host;
    TToolsFeature tools{TFeatureContext{form, *actions}, host};

    void Run(TActionId id) { EXPECT_TRUE(actions->Action(id)->Execute()); }
    static registry::TVxRegKeyClass Key(HKEY root, const std::wstring& path) {
        return registry::MakeRegKeyRecord(root, path);
    }
};

}  // namespace

// The name of a loaded hive: an empty name, one with "\" or the name of a key that exists is
// refused with a message and nothing is loaded; a load that fails is said.
TEST_F(ToolCommands, HiveNamesAreCheckedBeforeTheLoad) {
    struct Case {
        const char* what;
        std::wstring name;
        bool loads;
        std::wstring message;
    } cases[] = {
        {"empty", L"", false, HiveNameRefusal(L"", false)},
        {"path", L"A\\B", false, HiveNameRefusal(L"A\\B", false)},
        {"exists, other case", L"sOFTWARE", false, HiveNameRefusal(L"sOFTWARE", true)},
        {"new", L"Test", true, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.Key = Key(HKEY_CURRENT_USER, L"");
        host.Chosen = L"C:\\hives\\test.hiv";
        host.Asked = {};
        host.Asked.Inputs = {c.name};
        host.Done.clear();
        Run(TActionId::aacLoadHive);
        EXPECT_EQ(host.Done, c.loads ? std::vector<std::wstring>{L"load C:\\hives\\test.hiv as Test"}
                                     : std::vector<std::wstring>{});
        EXPECT_EQ(host.Asked.Messages, c.loads ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.message});
    }
    // Cancel in the file dialog or in the name box: nothing at all.
    host.Chosen.reset();
    host.Done.clear();
    host.Asked = {};
    Run(TActionId::aacLoadHive);
    host.Chosen = L"x.hiv";
    Run(TActionId::aacLoadHive);
    EXPECT_TRUE(host.Done.empty());
    EXPECT_TRUE(host.Asked.Messages.empty());

    host.Succeeds = false;
    host.Asked.Inputs = {L"Other"};
    Run(TActionId::aacLoadHive);
    EXPECT_EQ(host.Asked.Messages, std::vector<std::wstring>{HiveLoadFailedText(L"x.hiv")});
}

TEST_F(ToolCommands, UnloadAsksUnlessQuestionsAreOff) {
    host.Key = Key(HKEY_USERS, L".DEFAULT");
    host.Key->FKeyName = L"Test";
    struct Case {
        bool noQuestions;
        bool answer;
        bool unloads;
    } cases[] = {{false, false, false}, {false, true, true}, {true, false, true}};
    for (const Case& c : cases) {
        host.Settings.SetNoAllMessage = c.noQuestions;
        host.Asked = {};
        host.Asked.Answers = {c.answer};
        host.Done.clear();
        Run(TActionId::aacUnLoadHive);
        EXPECT_EQ(host.Asked.Questions, c.noQuestions ? std::vector<std::wstring>{}
                                                      : std::vector<std::wstring>{L"Testをアンロードします。本当によろしいですか？"});
        EXPECT_EQ(host.Done, c.unloads ? std::vector<std::wstring>{L"unload"} : std::vector<std::wstring>{});
    }
    host.Succeeds = false;
    Run(TActionId::aacUnLoadHive);
    EXPECT_EQ(host.Asked.Messages, std::vector<std::wstring>{HiveUnloadFailedText(L"Test")});
}

// Only a registry script reaches the system editor; a failed start is said; the windows are
// read again after an import; the user's file stays.
TEST_F(ToolCommands, ImportChecksTheScriptAndSaysWhatFailed) {
    testsupport::ScratchDir dir;
    const std::wstring script = dir.File(L"取り込み.reg"), text = dir.File(L"memo.reg");
    std::ofstream(std::filesystem::path(script), std::ios::binary) << "REGEDIT4\r\n";
    std::ofstream(std::filesystem::path(text), std::ios::binary) << "just text\r\n";
    struct Case {
        const char* what;
        std::wstring file;
        bool starts;
        std::vector<std::wstring> done, messages;
        int refreshes;
    } cases[] = {
        {"script", script, true, {L"import " + script}, {}, 1},
        {"text", text, true, {}, {NotAScriptText(text)}, 0},
        {"editor not started", script, false, {L"import " + script}, {ImportFailedText}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.Chosen = c.file;
        host.Succeeds = c.starts;
        host.Asked = {};
        host.Done.clear();
        Run(TActionId::aacRegImport);
        EXPECT_EQ(host.Done, c.done);
        EXPECT_EQ(host.Asked.Messages, c.messages);
        EXPECT_EQ(host.Asked.AllRefreshes, c.refreshes);
        EXPECT_TRUE(std::filesystem::exists(c.file));
    }
}

// Permissions name the key as the security functions do, titled with its name, and the tree is
// read again; without a key, permissions and export do nothing.
TEST_F(ToolCommands, PermissionsAndExportActOnTheSelectedKeyOnly) {
    host.Key = Key(HKEY_CURRENT_USER, L"Software");
    Run(TActionId::aacACLEdit);
    EXPECT_EQ(host.Done, std::vector<std::wstring>{L"security Software CURRENT_USER\\Software"});
    EXPECT_EQ(host.Asked.KeyTreeRefreshes, 1);

    host.Key.reset();
    host.Done.clear();
    Run(TActionId::aacACLEdit);
    Run(TActionId::aacExport);  // would show the dialog (and wait) with a key
    EXPECT_TRUE(host.Done.empty());
}

TEST_F(ToolCommands, HelpOpensTheFileBesideTheProgram) {
    Run(TActionId::aacViewHelp);
    Run(TActionId::aacPlovikPage);
    EXPECT_EQ(host.Done, (std::vector<std::wstring>{L"help " + HelpFilePath(), L"topic " + HelpFilePath() + L"::/about.html"}));
    EXPECT_EQ(HelpFilePath().substr(HelpFilePath().size() - 12), L"\\Wendlar.chm");
}
