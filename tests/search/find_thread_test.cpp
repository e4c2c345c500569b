// The search thread, its matcher and the message protocol with the main window, driven
// through a hidden message-only window and a message loop like the program's.
#include "search/find_thread.h"

#include <gtest/gtest.h>

#include "common/test_support.h"
#include "search/find_matcher.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <memory>
#include <vector>

using namespace search;

using testsupport::Narrow;
using testsupport::ScratchKey;

namespace {

// --- Matcher and data texts ----------------------------------------------------------

struct MatchCase {
    const wchar_t* Keyword;
    bool IgnoreCase;
    bool WholeMatch;
    const wchar_t* Text;
    bool Hit;
};

TEST(FindMatcher, PlainMatchTable) {
    const MatchCase cases[] = {
        {L"soft", false, false, L"Software", false},
        {L"soft", true, false, L"Software", true},
        {L"SOFT", true, false, L"my software", true},
        {L"abc", false, true, L"abcd", false},
        {L"abc", false, false, L"abcd", true},
        {L"ABC", true, true, L"abc", true},
        {L"abc", false, true, L"abc", true},
        {L"", false, false, L"", false},   // an empty keyword occurs nowhere ...
        {L"", false, false, L"abc", false},
        {L"", false, true, L"", true},     // ... but equals the empty text
        {L"", false, true, L"a", false},
        {L"\u00C4", true, false, L"x\u00E4", true},  // the system's lower-casing
        {L"a.c", false, false, L"abc", false},       // no pattern characters in plain mode
    };
    for (const auto& c : cases) {
        TWendlarFindRecord record;
        record.Keyword = c.Keyword;
        record.IgnoreCase = c.IgnoreCase;
        record.WholeMatch = c.WholeMatch;
        TFindMatcher matcher(record, nullptr);
        EXPECT_EQ(matcher.IsMatch(c.Text), c.Hit)
            << Narrow(c.Keyword) << " in " << Narrow(c.Text) << " ignore " << c.IgnoreCase
            << " whole " << c.WholeMatch;
    }
}

TEST(FindMatcher, RegexModeIgnoresPlainOptionsAndNeedsTheLibrary) {
    TWendlarFindRecord record;
    record.Keyword = L"^ab+c$";
    record.UseRegex = true;
    record.WholeMatch = true;  // plays no part
    TVxOnigurumaRegExp regex;
    TFindMatcher matcher(record, &regex);
    EXPECT_TRUE(matcher.IsMatch(L"ABBC"));
    EXPECT_FALSE(matcher.IsMatch(L"abd"));
    TFindMatcher without(record, nullptr);
    EXPECT_FALSE(without.IsMatch(L"abc"));
    record.Keyword = L"(";  // does not compile: finds nothing
    TFindMatcher broken(record, &regex);
    EXPECT_FALSE(broken.IsMatch(L"("));
}

struct DataCase {
    const char* Name;
    DWORD Type;
    std::vector<BYTE> Data;
    std::wstring Text;
};

std::vector<BYTE> Bytes(const std::wstring& s) {
    std::vector<BYTE> b(s.size() * 2);
    std::memcpy(b.data(), s.data(), b.size());
    return b;
}

TEST(FindMatcher, DataTextTable) {
    const DataCase cases[] = {
        {"dword", REG_DWORD, {0x10, 0, 0, 0}, L"16"},
        {"dword max", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, L"4294967295"},
        {"big endian", REG_DWORD_BIG_ENDIAN, {0, 0, 0x01, 0x00}, L"256"},
        {"short dword as text", REG_DWORD, {0x31, 0x00, 0x36}, L"16"},
        {"long dword as text", REG_DWORD, {0x41, 0, 0x42, 0, 0, 0}, L"AB"},
        {"qword", REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0x80}, L"9223372036854775808"},
        {"type 12", 12, {1, 0, 0, 0, 0, 0, 0, 0}, L"1"},
        {"short qword", REG_QWORD, {0x35, 0, 0x36, 0}, L"56"},
        {"string", REG_SZ, Bytes(std::wstring(L"ab\0cd\0", 6)), L"ab"},
        {"unterminated", REG_EXPAND_SZ, Bytes(L"%x%"), L"%x%"},
        {"multi", REG_MULTI_SZ, Bytes(std::wstring(L"a\0b\0\0", 5)), L"a\r\nb\r\n"},
        {"multi stops at empty", REG_MULTI_SZ, Bytes(std::wstring(L"a\0\0c\0\0", 6)), L"a\r\n"},
        {"multi unterminated", REG_MULTI_SZ, Bytes(L"xy"), L"xy\r\n"},
        {"binary", REG_BINARY, {0x41, 0, 0x42, 0, 0, 0, 0x43, 0}, L"AB"},
        {"odd binary", REG_BINARY, {0x41, 0, 0x42}, L"AB"},
        {"empty", REG_SZ, {}, L""},
    };
    std::wstring out = L"stale";
    for (const auto& c : cases) {
        FindDataText(c.Type, c.Data.data(), c.Data.size(), out);
        EXPECT_EQ(out, c.Text) << c.Name;
    }
}

TEST(FindStartKey, RootNamesAbbreviationsCaseAndTrailingBackslash) {
    struct Case {
        const wchar_t* Line;
        HKEY Root;
        const wchar_t* Sub;
        const wchar_t* Display;
    };
    const Case cases[] = {
        {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER, L"", L"HKEY_CURRENT_USER"},
        {L"HKEY_LOCAL_MACHINE\\Software", HKEY_LOCAL_MACHINE, L"Software", L"HKEY_LOCAL_MACHINE\\Software"},
        {L"hklm\\Software\\", HKEY_LOCAL_MACHINE, L"Software", L"HKEY_LOCAL_MACHINE\\Software"},
        {L"HKCU\\", HKEY_CURRENT_USER, L"", L"HKEY_CURRENT_USER"},
        {L"hkcr\\.txt", HKEY_CLASSES_ROOT, L".txt", L"HKEY_CLASSES_ROOT\\.txt"},
        {L"HKU\\.DEFAULT", HKEY_USERS, L".DEFAULT", L"HKEY_USERS\\.DEFAULT"},
        {L"HkCc", HKEY_CURRENT_CONFIG, L"", L"HKEY_CURRENT_CONFIG"},
        {L"hkey_users\\a\\b", HKEY_USERS, L"a\\b", L"HKEY_USERS\\a\\b"},
    };
    for (const auto& c : cases) {
        HKEY root = nullptr;
        std::wstring sub, display;
        ASSERT_TRUE(SplitStartKey(c.Line, root, sub, display)) << Narrow(c.Line);
        EXPECT_EQ(root, c.Root) << Narrow(c.Line);
        EXPECT_EQ(sub, c.Sub) << Narrow(c.Line);
        EXPECT_EQ(display, c.Display) << Narrow(c.Line);
    }
    for (const wchar_t* bad : {L"HKXX\\Software", L"", L"Software", L"HKEY_CURRENT_USERS", L"\\HKCU"}) {
        HKEY root = HKEY_CLASSES_ROOT;
        std::wstring sub = L"keep", display;
        EXPECT_FALSE(SplitStartKey(bad, root, sub, display)) << Narrow(bad);
        EXPECT_EQ(sub, L"keep");
    }
}

// --- The thread through a message loop ------------------------------------------------

struct Posted {
    UINT Msg;
    WPARAM WParam;
    size_t HitsThen;  // hits in the list when the message was handled
    LPARAM LParam;
};

// A hidden message-only window that records the search messages, like the main window.
class MainWindowStub {
public:
    MainWindowStub() {
        static const ATOM atom = [] {
            WNDCLASSEXW wc{sizeof(wc)};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"WendlarFindTestWindow";
            return RegisterClassExW(&wc);
        }();
        (void)atom;
        FWnd = CreateWindowExW(0, L"WendlarFindTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MainWindowStub() { DestroyWindow(FWnd); }

    HWND Handle() const { return FWnd; }
    TVxRegFindList Results;
    std::vector<Posted> Messages;
    THFindThread* Thread = nullptr;
    std::vector<std::wstring> ProgressKeys;

    size_t Count(UINT msg) const {
        size_t n = 0;
        for (const auto& m : Messages) n += m.Msg == msg;
        return n;
    }

    TWendlarFindRecord Record(const std::wstring& keyword, const std::wstring& startKeys) {
        TWendlarFindRecord r;
        r.Keyword = keyword;
        r.StartKeys = startKeys;
        r.DoneWindow = FWnd;
        r.ProgressWindow = FWnd;
        r.Results = &Results;
        return r;
    }

    // Runs a whole search and returns the thread (ended) for inspection.
    std::unique_ptr<THFindThread> Run(const TWendlarFindRecord& record,
                                      const std::wstring& library = L"onig.dll") {
        auto thread = std::make_unique<THFindThread>(record, library);
        Thread = thread.get();
        thread->SetPriority(classlib::tpHighest);
        thread->Start();
        size_t before = Count(WM_FINDDONE);
        // A generous deadline: a fault fails the test instead of hanging it.
        testsupport::PumpUntil([&] { return Count(WM_FINDDONE) > before; }, 120'000);
        thread->WaitFor();
        EXPECT_EQ(Count(WM_FINDDONE), before + 1);
        // The done message tells how many keys were not entered for their depth.
        for (auto it = Messages.rbegin(); it != Messages.rend(); ++it) {
            if (it->Msg != WM_FINDDONE) continue;
            EXPECT_EQ(static_cast<size_t>(it->LParam), thread->DeepKeyCount());
            break;
        }
        Thread = nullptr;
        return thread;
    }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<MainWindowStub*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && msg >= WM_FINDDONE && msg <= WM_FINDPROGRESS) {
            self->Messages.push_back({msg, wp, self->Results.size(), lp});
            if (msg == WM_FINDPROGRESS && self->Thread) self->ProgressKeys.push_back(self->Thread->CurrentKey());
            return 0;
        }
        return DefWindowProcW(wnd, msg, wp, lp);
    }

    HWND FWnd = nullptr;
};

void SetString(HKEY key, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * 2));
}

void SetBytes(HKEY key, const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
    RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

HKEY CreateKey(HKEY parent, const std::wstring& name) {
    HKEY key = nullptr;
    RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

struct ExpectedHit {
    int Kind;
    std::wstring FullPath;  // below the scratch key's display path
    std::wstring KeyName;
    std::wstring Path;      // below the scratch key's path
    std::wstring ValueName;
    DWORD Type;
    std::wstring DataText;
};

class FindThreadTest : public testing::Test {
protected:
    FindThreadTest() : FKey(testsupport::CurrentTestName()) {}
    std::wstring Base() const { return L"HKEY_CURRENT_USER\\" + FKey.Path(); }
    void ExpectHits(const TVxRegFindList& hits, const std::vector<ExpectedHit>& expected) {
        ASSERT_EQ(hits.size(), expected.size());
        for (size_t i = 0; i < hits.size(); ++i) {
            const auto& h = *hits[i];
            const auto& e = expected[i];
            SCOPED_TRACE("hit " + std::to_string(i) + " " + Narrow(h.FFullPath));
            EXPECT_EQ(h.FHitKind, e.Kind);
            EXPECT_EQ(h.FFullPath, Base() + e.FullPath);
            EXPECT_EQ(h.FKeyName, e.KeyName);
            EXPECT_EQ(h.FPath, FKey.Path() + e.Path);
            EXPECT_EQ(h.FValueName, e.ValueName);
            EXPECT_EQ(h.FDisplayName, e.Kind == 0 ? L"" : e.ValueName);
            EXPECT_EQ(h.FValueType, e.Type);
            EXPECT_EQ(h.FDataText, e.DataText);
            EXPECT_EQ(h.FRootKey, HKEY_CURRENT_USER);
        }
    }

    ScratchKey FKey;
    MainWindowStub FMain;
};

TEST_F(FindThreadTest, HitOrderAndFieldsPerKind) {
    // Names chosen so the registry's enumeration order (sorted under Wine) is the creation
    // order.
    HKEY a = CreateKey(FKey.Handle(), L"a_Alpha");
    SetString(a, L"", L"ALPHA default");             // default value: data hit only
    SetString(a, L"alpha both", L"alpha data too");  // name hit, then data hit
    HKEY deep = CreateKey(a, L"b_deep");
    SetBytes(deep, L"count", REG_DWORD, {0x10, 0, 0, 0});
    HKEY inner = CreateKey(deep, L"c_alphabet");
    RegCloseKey(inner);
    RegCloseKey(deep);
    RegCloseKey(a);
    HKEY d = CreateKey(FKey.Handle(), L"d_plain");
    SetBytes(d, L"multi", REG_MULTI_SZ, Bytes(std::wstring(L"x\0alpha\0\0", 9)));
    RegCloseKey(d);

    auto record = FMain.Record(L"alpha", L"HKCU\\" + FKey.Path() + L"\\");
    record.IgnoreCase = true;
    FMain.Run(record);
    ExpectHits(FMain.Results,
               {
                   {0, L"\\a_Alpha", L"a_Alpha", L"\\a_Alpha", L"", 0, L"a_Alpha"},
                   {2, L"\\a_Alpha\\", L"a_Alpha", L"\\a_Alpha", L"", REG_SZ, L"ALPHA default"},
                   {1, L"\\a_Alpha\\alpha both", L"a_Alpha", L"\\a_Alpha", L"alpha both", REG_SZ, L"alpha both"},
                   {2, L"\\a_Alpha\\alpha both", L"a_Alpha", L"\\a_Alpha", L"alpha both", REG_SZ, L"alpha data too"},
                   {0, L"\\a_Alpha\\b_deep\\c_alphabet", L"c_alphabet", L"\\a_Alpha\\b_deep\\c_alphabet", L"", 0, L"c_alphabet"},
                   {2, L"\\d_plain\\multi", L"d_plain", L"\\d_plain", L"multi", REG_MULTI_SZ, L"x\r\nalpha\r\n"},
               });
    // Every hit was handed over before the end, and announced.
    EXPECT_GE(FMain.Count(WM_FINDHIT), 1u);
    EXPECT_EQ(FMain.Messages.back().Msg, UINT(WM_FINDDONE));
    EXPECT_EQ(FMain.Messages.back().HitsThen, 6u);
    for (const auto& m : FMain.Messages) {
        if (m.Msg == WM_FINDHIT) {
            EXPECT_GE(m.HitsThen, 1u);
        }
    }
}

TEST_F(FindThreadTest, OptionsNumbersAndRepeatedStartKeys) {
    SetBytes(FKey.Handle(), L"a_sixteen", REG_DWORD, {0x10, 0, 0, 0});
    SetBytes(FKey.Handle(), L"b_short", REG_DWORD, {0x31, 0x00, 0x36});  // text "16"
    SetBytes(FKey.Handle(), L"c_v16", REG_SZ, {0});
    const std::wstring line = Base() + L"\r\n";

    auto record = FMain.Record(L"16", line + line);  // listed twice: searched twice
    record.NoKeyNames = true;
    FMain.Run(record);
    ASSERT_EQ(FMain.Results.size(), 6u);
    EXPECT_EQ(FMain.Results[0]->FValueName, L"a_sixteen");
    EXPECT_EQ(FMain.Results[0]->FDataText, L"16");
    EXPECT_EQ(FMain.Results[1]->FValueName, L"b_short");
    EXPECT_EQ(FMain.Results[1]->FHitKind, 2);
    EXPECT_EQ(FMain.Results[2]->FValueName, L"c_v16");
    EXPECT_EQ(FMain.Results[2]->FHitKind, 1);

    // Value names off: data still searched.
    FMain.Results.clear();
    FMain.Messages.clear();
    record.StartKeys = line;
    record.NoValueNames = true;
    FMain.Run(record);
    ASSERT_EQ(FMain.Results.size(), 2u);
    EXPECT_EQ(FMain.Results[0]->FHitKind, 2);
    EXPECT_EQ(FMain.Results[1]->FHitKind, 2);

    // Whole match: only the texts equal to the keyword.
    FMain.Results.clear();
    FMain.Messages.clear();
    record.NoValueNames = false;
    record.WholeMatch = true;
    record.Keyword = L"v1";
    FMain.Run(record);
    EXPECT_TRUE(FMain.Results.empty());
    record.Keyword = L"C_V16";
    record.IgnoreCase = true;
    FMain.Run(record);
    ASSERT_EQ(FMain.Results.size(), 1u);
    EXPECT_EQ(FMain.Results[0]->FHitKind, 1);
}

TEST_F(FindThreadTest, RootStartKeyAndNoSubKeys) {
    // The root itself: its own name is a key hit with an empty path. NoSubKeys keeps the
    // walk to the start key itself.
    auto record = FMain.Record(L"current", L"hkcu\r\n");
    record.IgnoreCase = true;
    record.NoSubKeys = true;
    record.NoValueNames = true;
    record.NoValueData = true;
    FMain.Run(record);
    ASSERT_EQ(FMain.Results.size(), 1u);
    const auto& hit = *FMain.Results[0];
    EXPECT_EQ(hit.FHitKind, 0);
    EXPECT_EQ(hit.FKeyName, L"HKEY_CURRENT_USER");
    EXPECT_EQ(hit.FFullPath, L"HKEY_CURRENT_USER");
    EXPECT_EQ(hit.FPath, L"");
    EXPECT_EQ(hit.FRootKey, HKEY_CURRENT_USER);
    EXPECT_EQ(FMain.Count(WM_FINDPROGRESS), 0u);  // start keys do not count as visited

    // Below a root: the walk opens the root itself and goes on into its subkeys.
    HKEY marker = CreateKey(FKey.Handle(), L"zz_marker_q7");
    RegCloseKey(marker);
    FMain.Results.clear();
    record.NoSubKeys = false;
    record.Keyword = L"zz_marker_q7";
    record.StartKeys = L"HKEY_CURRENT_USER\\Software\\WendlarTest";
    FMain.Run(record);
    ASSERT_EQ(FMain.Results.size(), 1u);
    EXPECT_EQ(FMain.Results[0]->FFullPath, Base() + L"\\zz_marker_q7");
}

TEST_F(FindThreadTest, UnknownRootIsReportedAndSkipped) {
    auto record = FMain.Record(L"HKXX", L"HKXX\\Software\r\n" + Base() + L"\r\n");
    auto thread = FMain.Run(record);
    ASSERT_EQ(thread->UnknownStartKeys().size(), 1u);
    EXPECT_EQ(thread->UnknownStartKeys()[0], L"HKXX\\Software");
    EXPECT_TRUE(FMain.Results.empty());
}

TEST_F(FindThreadTest, ProgressAtFirstKeyAndEvery1001) {
    for (int i = 0; i < 1500; ++i) {
        HKEY k = CreateKey(FKey.Handle(), L"k" + std::to_wstring(10000 + i));
        RegCloseKey(k);
    }
    auto record = FMain.Record(L"nothing-matches-this", Base());
    FMain.Run(record);
    ASSERT_EQ(FMain.Count(WM_FINDPROGRESS), 2u);
    ASSERT_EQ(FMain.ProgressKeys.size(), 2u);
    // The key read on the message is a whole path below the start key.
    for (const auto& key : FMain.ProgressKeys) EXPECT_EQ(key.rfind(Base() + L"\\k", 0), 0u) << Narrow(key);
}

TEST_F(FindThreadTest, WalkStopsAtTheRegistryDepthLimit) {
    // A chain as deep as the registry lets us make it (up to 515 levels): keys down to 512
    // levels below the start key are searched, deeper ones are not.
    HKEY parent = FKey.Handle();
    int levels = 0;
    std::vector<HKEY> opened;
    for (; levels < 515; ++levels) {
        HKEY child = CreateKey(parent, L"n");
        if (!child) break;
        opened.push_back(child);
        parent = child;
    }
    for (HKEY k : opened) RegCloseKey(k);
    ASSERT_GT(levels, 100);
    auto record = FMain.Record(L"n", Base());
    record.WholeMatch = true;
    FMain.Run(record);
    EXPECT_EQ(FMain.Results.size(), size_t(std::min(levels, 512)));
}

TEST_F(FindThreadTest, KeysBeyondTheDepthLimitAreReported) {
    // 511 levels of "n", then 101 keys at level 512 that each have a subkey "x" (level
    // 513, not searched) and one at level 512 without subkeys.
    std::vector<HKEY> opened;
    HKEY parent = FKey.Handle();
    std::wstring deepest = Base();
    for (int level = 1; level <= 511; ++level) {
        HKEY child = CreateKey(parent, L"n");
        ASSERT_NE(child, nullptr) << level;
        opened.push_back(child);
        parent = child;
        deepest += L"\\n";
    }
    for (int i = 0; i <= 100; ++i) {
        wchar_t name[8];
        swprintf(name, 8, L"d%03d", i);
        HKEY d = CreateKey(parent, name);
        ASSERT_NE(d, nullptr);
        HKEY x = CreateKey(d, L"x");
        ASSERT_NE(x, nullptr) << "the registry refuses level 513";
        RegCloseKey(x);
        RegCloseKey(d);
    }
    RegCloseKey(CreateKey(parent, L"leaf"));
    for (HKEY k : opened) RegCloseKey(k);

    auto record = FMain.Record(L"x", Base());
    record.WholeMatch = true;
    auto thread = FMain.Run(record);
    EXPECT_TRUE(FMain.Results.empty());
    EXPECT_EQ(thread->DeepKeyCount(), 101u);
    ASSERT_EQ(thread->DeepKeys().size(), 100u);
    EXPECT_EQ(thread->DeepKeys().front(), deepest + L"\\d000");
    EXPECT_EQ(thread->DeepKeys().back(), deepest + L"\\d099");

    // The same tree searched from one level down is complete.
    FMain.Results.clear();
    record.StartKeys = Base() + L"\\n";
    thread = FMain.Run(record);
    EXPECT_EQ(FMain.Results.size(), 101u);
    EXPECT_EQ(thread->DeepKeyCount(), 0u);
    EXPECT_TRUE(thread->DeepKeys().empty());
}

TEST_F(FindThreadTest, ValueThatGrowsDuringTheWalkIsStillRead) {
    // A writer keeps resizing the value while searches run: a read that finds its buffer
    // too small must read again, so every search finds the value exactly once.
    HKEY key = CreateKey(FKey.Handle(), L"grow");
    SetString(key, L"v", L"needle");
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (size_t n = 0; !stop; ++n) SetString(key, L"v", L"needle" + std::wstring((n % 7) * 3000, L'x'));
    });
    auto record = FMain.Record(L"needle", Base());
    record.NoKeyNames = true;
    record.NoValueNames = true;
    int wrong = 0;
    for (int i = 0; i < 30; ++i) {
        FMain.Results.clear();
        FMain.Run(record);
        wrong += FMain.Results.size() != 1;
    }
    stop = true;
    writer.join();
    RegCloseKey(key);
    EXPECT_EQ(wrong, 0);
}

TEST_F(FindThreadTest, StopDuringHandOverNeitherDeadlocksNorPostsDone) {
    for (int i = 0; i < 40; ++i) {
        HKEY k = CreateKey(FKey.Handle(), L"hit" + std::to_wstring(100 + i));
        for (int v = 0; v < 10; ++v) SetString(k, (L"hit" + std::to_wstring(v)).c_str(), L"hit");
        RegCloseKey(k);
    }
    auto record = FMain.Record(L"hit", Base());
    auto thread = std::make_unique<THFindThread>(record);
    // Not serving the main thread's queue: the thread soon blocks handing over its first
    // batch of hits, and the wake hook tells when it has.
    std::atomic<bool> handing{false};
    auto wake = classlib::SetWakeMainThread([&] { handing = true; });
    thread->Start();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return handing.load(); }));
    classlib::SetWakeMainThread(wake);
    thread->Terminate();
    thread->WaitFor();  // serves the pending hand-over, then the thread ends
    EXPECT_TRUE(thread->Finished());
    size_t handed = FMain.Results.size();
    testsupport::PumpMessages();  // whatever the ended thread left behind
    EXPECT_EQ(FMain.Count(WM_FINDDONE), 0u);
    EXPECT_EQ(FMain.Results.size(), handed);  // nothing more arrives
    EXPECT_LT(handed, 40u * 21u);  // not every hit was handed over
}

TEST_F(FindThreadTest, GenerationsTellSearchesApart) {
    auto record = FMain.Record(L"x", Base());
    auto first = FMain.Run(record);
    auto second = FMain.Run(record);
    EXPECT_NE(first->Generation(), second->Generation());
    ASSERT_EQ(FMain.Count(WM_FINDDONE), 2u);
    std::vector<WPARAM> done;
    for (const auto& m : FMain.Messages)
        if (m.Msg == WM_FINDDONE) done.push_back(m.WParam);
    EXPECT_EQ(done[0], first->Generation());
    EXPECT_EQ(done[1], second->Generation());
}

TEST_F(FindThreadTest, RegexModeAndMissingLibrary) {
    HKEY k = CreateKey(FKey.Handle(), L"Key42");
    SetString(k, L"name", L"value 2024");
    RegCloseKey(k);
    auto record = FMain.Record(L"key\\d+|\\d{4}$", Base());
    record.UseRegex = true;
    record.WholeMatch = true;  // plain options play no part
    FMain.Run(record);
    ASSERT_EQ(FMain.Results.size(), 2u);
    EXPECT_EQ(FMain.Results[0]->FHitKind, 0);
    EXPECT_EQ(FMain.Results[1]->FDataText, L"value 2024");

    // Without the library the search walks and ends normally, finding nothing.
    FMain.Results.clear();
    FMain.Messages.clear();
    FMain.Run(record, L"no-such-onig.dll");
    EXPECT_TRUE(FMain.Results.empty());
}

}  // namespace
