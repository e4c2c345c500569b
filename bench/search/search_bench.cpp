// Search thread benchmark.
//
// Builds HKCU\Software\WendlarBench once (two trees of fan-out 20 and depth 3, one key with
// 5,000 subkeys, a chain 200 deep, about 100,000 values of mixed types and one 1 MB binary
// value), then times the real search thread from Start to WM_FINDDONE through a message
// loop against a raw walk in the same process (one handle per key, RegQueryInfoKeyW once,
// exactly that many RegEnumValueW calls into reused buffers and RegEnumKeyExW calls, the
// same matcher), and times the matcher against a raw lower-case-and-find over the same
// texts. The hit counts the generator expects are the oracle for both sides.
//
// The main window's side of a search: the search session with its result pane (a string
// tree bound to the hits) from the start to the done message and the pane painted with its
// last rows, against the raw walk; and one repaint of a result pane holding about 100,000
// hits in regular-expression mode against testing every hit's text with the compiled
// expression (one search of the library per text).
//
// Arguments: --regenerate rebuilds the data; --clean removes it at the end (by default it
// stays, so later runs skip building it).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/thread.h"
#include "common/bench_common.h"
#include "search/find_matcher.h"
#include "search/find_panes.h"
#include "search/find_session.h"
#include "search/find_thread.h"

using namespace search;

namespace {

const wchar_t* const kBenchPath = L"Software\\WendlarBench";
const wchar_t* const kBenchFull = L"HKEY_CURRENT_USER\\Software\\WendlarBench";
const DWORD kLayoutVersion = 3;

// --- The data, described once: the generator writes it, the oracle counts it ----------

struct ValueSpec {
    std::wstring Name;
    DWORD Type;
    std::vector<BYTE> Data;
};

std::vector<BYTE> Utf16(const std::wstring& s, bool multi = false) {
    std::wstring z = s;
    z.push_back(L'\0');
    if (multi) z.push_back(L'\0');
    std::vector<BYTE> b(z.size() * 2);
    std::memcpy(b.data(), z.data(), b.size());
    return b;
}

// Values of the n-th value-bearing slot. About 0.1% carry "needle", 30% "common".
void ValuesFor(unsigned serial, unsigned count, std::vector<ValueSpec>& out) {
    out.clear();
    for (unsigned j = 0; j < count; ++j) {
        unsigned n = serial * 7 + j;
        std::wstring word = (n % 10 < 3) ? L"common" : L"other";
        std::wstring text = L"item" + std::to_wstring(n) + L" " + word + L" data";
        if (n % 997 == 0) text += L" needle";
        std::wstring name = L"v" + std::to_wstring(j) + (n % 1999 == 0 ? L"_needle" : L"");
        switch (n % 6) {
        case 0: out.push_back({name, REG_SZ, Utf16(text)}); break;
        case 1: out.push_back({name, REG_EXPAND_SZ, Utf16(text + L" %TEMP%")}); break;
        case 2: out.push_back({name, REG_MULTI_SZ, Utf16(text + std::wstring(1, L'\0') + L"second line", true)}); break;
        case 3: {
            DWORD v = n;
            std::vector<BYTE> b(4);
            std::memcpy(b.data(), &v, 4);
            out.push_back({name, REG_DWORD, b});
            break;
        }
        case 4: {
            unsigned long long v = 1000000000000ull + n;
            std::vector<BYTE> b(8);
            std::memcpy(b.data(), &v, 8);
            out.push_back({name, REG_QWORD, b});
            break;
        }
        default: {
            std::vector<BYTE> b = Utf16(text);
            b.resize(b.size() + 6, 0xFE);  // binary tail after the text's NUL
            out.push_back({name, REG_BINARY, b});
            break;
        }
        }
    }
}

// Walks the described layout in the registry's own order of creation, calling `key` for
// every key (path below the bench root) and `value` for every value.
struct Layout {
    std::function<void(const std::wstring& path, const std::wstring& name)> Key;
    std::function<void(const std::wstring& path, const ValueSpec& value)> Value;

    void Run() {
        unsigned serial = 0;
        std::vector<ValueSpec> values;
        auto node = [&](const std::wstring& parent, const std::wstring& name, unsigned nvalues) {
            std::wstring path = parent.empty() ? name : parent + L"\\" + name;
            Key(path, name);
            ValuesFor(serial++, nvalues, values);
            for (const auto& v : values) Value(path, v);
            return path;
        };
        for (int t = 0; t < 2; ++t) {
            std::wstring top = node(L"", L"tree" + std::to_wstring(t), 5);
            for (int a = 0; a < 20; ++a) {
                std::wstring pa = node(top, L"a" + std::to_wstring(a), 5);
                for (int b = 0; b < 20; ++b) {
                    std::wstring pb = node(pa, L"b" + std::to_wstring(b) + (b == 7 && a == 3 ? L"needle" : L""), 5);
                    for (int c = 0; c < 20; ++c) node(pb, L"c" + std::to_wstring(c), 5);
                }
            }
        }
        std::wstring wide = node(L"", L"wide", 0);
        for (int i = 0; i < 5000; ++i) node(wide, L"w" + std::to_wstring(10000 + i), 3);
        std::wstring chain = node(L"", L"chain", 0);
        for (int i = 0; i < 200; ++i) chain = node(chain, L"d" + std::to_wstring(i), 1);
        std::wstring big = node(L"", L"big", 0);
        ValueSpec blob{L"blob", REG_BINARY, std::vector<BYTE>(1 << 20)};
        for (size_t i = 0; i < blob.Data.size(); ++i) blob.Data[i] = static_cast<BYTE>(0x21 + (i * 7) % 90);
        Value(big, blob);
    }
};

LSTATUS Create(HKEY parent, const std::wstring& path, HKEY& out) {
    return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr);
}

bool DataPresent() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kBenchPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD version = 0, size = sizeof version;
    LSTATUS st = RegQueryValueExW(key, L"LayoutVersion", nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&version), &size);
    RegCloseKey(key);
    return st == ERROR_SUCCESS && version == kLayoutVersion;
}

void Generate() {
    std::printf("generating %ls (one-off)...\n", kBenchFull);
    std::fflush(stdout);
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchPath);
    HKEY root = nullptr;
    Create(HKEY_CURRENT_USER, kBenchPath, root);
    // Keys are created in order, so the handle of the last created key is reused for its
    // values.
    HKEY current = nullptr;
    std::wstring currentPath;
    Layout layout;
    layout.Key = [&](const std::wstring& path, const std::wstring&) {
        if (current) RegCloseKey(current);
        Create(root, path, current);
        currentPath = path;
    };
    layout.Value = [&](const std::wstring& path, const ValueSpec& v) {
        HKEY target = current;
        if (path != currentPath) Create(root, path, target);
        RegSetValueExW(target, v.Name.c_str(), 0, v.Type, v.Data.data(), static_cast<DWORD>(v.Data.size()));
        if (target != current) RegCloseKey(target);
    };
    layout.Run();
    if (current) RegCloseKey(current);
    DWORD version = kLayoutVersion;
    RegSetValueExW(root, L"LayoutVersion", 0, REG_DWORD, reinterpret_cast<BYTE*>(&version), 4);
    RegCloseKey(root);
}

// --- Workloads ------------------------------------------------------------------------

struct Workload {
    const char* Name;
    TWendlarFindRecord Record;
};

struct Counts {
    size_t Keys = 0;
    size_t Values = 0;
    size_t Hits = 0;
};

// The generator's expectation: the bench root's own name and value, then every key and
// value of the layout, tested by the same matcher rules.
Counts Expected(const TWendlarFindRecord& record) {
    std::unique_ptr<TVxOnigurumaRegExp> regex;
    if (record.UseRegex) regex = std::make_unique<TVxOnigurumaRegExp>();
    TFindMatcher matcher(record, regex.get());
    Counts c;
    std::wstring text;
    auto testValue = [&](const ValueSpec& v) {
        ++c.Values;
        if (!record.NoValueNames && matcher.IsMatch(v.Name)) ++c.Hits;
        if (!record.NoValueData) {
            FindDataText(v.Type, v.Data.data(), v.Data.size(), text);
            if (matcher.IsMatch(text)) ++c.Hits;
        }
    };
    if (!record.NoKeyNames && matcher.IsMatch(L"WendlarBench")) ++c.Hits;
    DWORD version = kLayoutVersion;
    testValue({L"LayoutVersion", REG_DWORD, {BYTE(version), 0, 0, 0}});
    Layout layout;
    layout.Key = [&](const std::wstring&, const std::wstring& name) {
        ++c.Keys;
        if (!record.NoKeyNames && matcher.IsMatch(name)) ++c.Hits;
    };
    layout.Value = [&](const std::wstring&, const ValueSpec& v) { testValue(v); };
    layout.Run();
    return c;
}

// The raw baseline: the same walk and matcher, no thread, no hit records.
class RawWalk {
public:
    explicit RawWalk(const TWendlarFindRecord& record)
        : FRecord(record),
          FRegex(record.UseRegex ? std::make_unique<TVxOnigurumaRegExp>() : nullptr),
          FMatcher(record, FRegex.get()) {}

    Counts Run() {
        FCounts = {};
        if (!FRecord.NoKeyNames && FMatcher.IsMatch(L"WendlarBench")) ++FCounts.Hits;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kBenchPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            Walk(key);
            RegCloseKey(key);
        }
        return FCounts;
    }

private:
    void Walk(HKEY key) {
        DWORD subKeys = 0, values = 0, maxName = 0, maxData = 0;
        if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                             &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        bool wantValues = !(FRecord.NoValueNames && FRecord.NoValueData);
        if (wantValues && values > 0) {
            if (FName.size() < maxName + 1) FName.resize(maxName + 1);
            if (FData.size() < maxData) FData.resize(maxData);
            for (DWORD i = 0; i < values; ++i) {
                DWORD nameLength = static_cast<DWORD>(FName.size());
                DWORD dataLength = static_cast<DWORD>(FData.size());
                DWORD type = 0;
                if (RegEnumValueW(key, i, FName.data(), &nameLength, nullptr, &type,
                                  FRecord.NoValueData ? nullptr : FData.data(),
                                  FRecord.NoValueData ? nullptr : &dataLength) != ERROR_SUCCESS)
                    break;
                ++FCounts.Values;
                if (!FRecord.NoValueNames && FMatcher.IsMatch(std::wstring_view(FName.data(), nameLength)))
                    ++FCounts.Hits;
                if (!FRecord.NoValueData) {
                    FindDataText(type, FData.data(), dataLength, FText);
                    if (FMatcher.IsMatch(FText)) ++FCounts.Hits;
                }
            }
        }
        wchar_t name[256 + 1];
        for (DWORD i = 0; i < subKeys; ++i) {
            DWORD length = 257;
            if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            ++FCounts.Keys;
            if (!FRecord.NoKeyNames && FMatcher.IsMatch(std::wstring_view(name, length))) ++FCounts.Hits;
            HKEY child = nullptr;
            if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
            Walk(child);
            RegCloseKey(child);
        }
    }

    TWendlarFindRecord FRecord;
    std::unique_ptr<TVxOnigurumaRegExp> FRegex;
    TFindMatcher FMatcher;
    Counts FCounts;
    std::vector<wchar_t> FName;
    std::vector<BYTE> FData;
    std::wstring FText;
};

// --- The message loop that drives the real thread ------------------------------------

struct DoneWindow {
    HWND Wnd = nullptr;
    bool Done = false;
    size_t HitMessages = 0;
    size_t ProgressMessages = 0;

    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<DoneWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self) {
            if (msg == WM_FINDDONE) self->Done = true;
            if (msg == WM_FINDHIT) ++self->HitMessages;
            if (msg == WM_FINDPROGRESS) ++self->ProgressMessages;
        }
        return DefWindowProcW(wnd, msg, wp, lp);
    }

    DoneWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WendlarSearchBench";
        RegisterClassExW(&wc);
        Wnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
        SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
};

using bench::Now;

// Runs messages and the calls queued for this thread until `done` is set. The messages are
// drained first and the queued calls served after: the wake-up message of a call may be
// among the messages just drained, and the call must not then wait for the next one.
void PumpUntilDone(const bool& done) {
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        classlib::CheckSynchronize();
        if (done) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
}

size_t RunThread(DoneWindow& window, TWendlarFindRecord record, double& seconds) {
    TVxRegFindList results;
    record.Results = &results;
    record.DoneWindow = record.ProgressWindow = window.Wnd;
    window.Done = false;
    double start = Now();
    auto thread = std::make_unique<THFindThread>(record);
    thread->SetPriority(classlib::tpHighest);
    thread->Start();
    PumpUntilDone(window.Done);
    seconds = Now() - start;
    thread.reset();
    return results.size();
}

// --- The main window's side: session, result pane --------------------------------------

// A message-only window that hands the search messages to a session, as the main window does.
struct SessionWindow {
    HWND Wnd = nullptr;
    TFindSession* Session = nullptr;
    bool Done = false;

    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<SessionWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && self->Session) {
            std::wstring status;
            if (msg == WM_FINDHIT) return self->Session->HandleHit(wp), 0;
            if (msg == WM_FINDPROGRESS) return self->Session->HandleProgress(wp, status), 0;
            if (msg == WM_FINDDONE) {
                if (self->Session->HandleDone(wp, status)) self->Done = true;
                return 0;
            }
        }
        return DefWindowProcW(wnd, msg, wp, lp);
    }

    SessionWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WendlarSearchSessionBench";
        RegisterClassExW(&wc);
        Wnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~SessionWindow() { DestroyWindow(Wnd); }
};

// The result pane as the main window holds it: a string tree on a (hidden) form.
struct ResultPane {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    gridtree::TGridStringTree* Tree = nullptr;
    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;

    ResultPane() {
        Form->SetBounds(0, 0, 1000, 700);
        Tree = new gridtree::TGridStringTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 980, 640);
        Tree->HandleNeeded();
        HDC screen = GetDC(nullptr);
        Dc = CreateCompatibleDC(screen);
        Bitmap = CreateCompatibleBitmap(screen, 980, 640);
        ReleaseDC(nullptr, screen);
        Old = SelectObject(Dc, Bitmap);
    }
    ~ResultPane() {
        SelectObject(Dc, Old);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    // Scrolls to the last row and paints the pane, as the user then sees it.
    void ShowLast() {
        if (gridtree::PGridNode last = Tree->GetLast()) Tree->ScrollIntoView(last, false);
        SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc), PRF_CLIENT);
    }
};

// Runs one search through the session until its done message was handled.
void RunSession(SessionWindow& window, TFindSession& session, const TWendlarFindRecord& record) {
    window.Done = false;
    session.Start(record, window.Wnd);
    PumpUntilDone(window.Done);
}

void RunMainWindowSide(const std::vector<Workload>& workloads, int rounds) {
    SessionWindow window;
    TFindSession session;
    window.Session = &session;
    ResultPane pane;
    TFindResultPane binding(*pane.Tree, session);
    for (const auto& w : workloads) {
        const Counts expected = Expected(w.Record);
        RawWalk raw(w.Record);
        bool correct = true;
        auto pair = bench::Alternate(
            rounds, [&] { correct = correct && raw.Run().Hits == expected.Hits; },
            [&] {
                RunSession(window, session, w.Record);
                pane.ShowLast();
                correct = correct && session.Results().size() == expected.Hits &&
                          pane.Tree->RootNodeCount() == expected.Hits;
            });
        char label[96];
        std::snprintf(label, sizeof label, "session + result pane vs raw walk, %s (%zu hits)", w.Name, expected.Hits);
        bench::Report(label, pair, 1.3, correct);
    }

    // About 100,000 value-name hits, highlighted by regular expression.
    TWendlarFindRecord record;
    record.Keyword = L"^v\\d";
    record.UseRegex = true;
    record.StartKeys = std::wstring(kBenchFull) + L"\r\n";
    record.NoKeyNames = true;
    record.NoValueData = true;
    RunSession(window, session, record);
    const size_t hits = session.Results().size();
    TVxOnigurumaRegExp regex;
    regex.SetPattern(record.Keyword);
    size_t rawMatches = 0;
    auto pair = bench::Alternate(
        rounds,
        [&] {
            rawMatches = 0;
            for (const auto& hit : session.Results()) rawMatches += regex.Test(hit->FDataText);
        },
        [&] {
            pane.Tree->Invalidate();
            pane.ShowLast();
        });
    char label[96];
    std::snprintf(label, sizeof label, "result pane repaint vs onig_search per hit (%zu hits)", hits);
    bench::Report(label, pair, 1.0, rawMatches == hits && pane.Tree->RootNodeCount() == hits && hits > 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool regenerate = false, clean = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--regenerate") regenerate = true;
        if (std::wstring(argv[i]) == L"--clean") clean = true;
    }
    if (!RegexLibraryPresent()) std::printf("note: onig.dll missing, the regex workload finds nothing\n");
    if (regenerate || !DataPresent()) {
        double t0 = Now();
        Generate();
        std::printf("generated in %.1f s\n", Now() - t0);
    }

    std::vector<Workload> workloads;
    auto add = [&](const char* name, const wchar_t* keyword, auto tweak) {
        Workload w{name, {}};
        w.Record.Keyword = keyword;
        w.Record.StartKeys = std::wstring(kBenchFull) + L"\r\n";
        w.Record.IgnoreCase = true;
        tweak(w.Record);
        workloads.push_back(std::move(w));
    };
    add("few hits", L"needle", [](TWendlarFindRecord&) {});
    add("~30% hits", L"common", [](TWendlarFindRecord&) {});
    add("simple regex", L"item\\d+7 oth", [](TWendlarFindRecord& r) { r.UseRegex = true; });
    add("names only", L"needle", [](TWendlarFindRecord& r) { r.NoValueData = true; });

    DoneWindow window;
    const int rounds = bench::DefaultRounds;
    std::printf("search benchmark, %d rounds\n", rounds);
    bench::PrintLegend();
    RawWalk(workloads.front().Record).Run();  // warm the registry's caches once
    for (const auto& w : workloads) {
        const Counts expected = Expected(w.Record);
        RawWalk raw(w.Record);
        Counts rawCounts;
        size_t threadHits = 0;
        bool correct = true;
        auto pair = bench::Alternate(
            rounds,
            [&] {
                rawCounts = raw.Run();
                correct = correct && rawCounts.Hits == expected.Hits && rawCounts.Keys == expected.Keys &&
                          rawCounts.Values == expected.Values;
            },
            [&] {
                double seconds = 0;
                threadHits = RunThread(window, w.Record, seconds);
                correct = correct && threadHits == expected.Hits;
            });
        char label[96];
        std::snprintf(label, sizeof label, "search thread vs raw walk, %s (%zu keys, %zu values, %zu hits)", w.Name,
                      expected.Keys, expected.Values, expected.Hits);
        bench::Report(label, pair, 1.2, correct);
        if (!correct)
            std::printf("  expected %zu hits (%zu keys, %zu values); raw %zu hits (%zu keys, %zu values); thread %zu hits\n",
                        expected.Hits, expected.Keys, expected.Values, rawCounts.Hits, rawCounts.Keys,
                        rawCounts.Values, threadHits);
    }

    // The matcher alone over every name and data text of the layout, against lowering each
    // text with the system's rule into a reused buffer and finding the lowered keyword.
    for (const wchar_t* keyword : {L"needle", L"common"}) {
        std::vector<std::wstring> texts;
        Layout layout;
        std::wstring text;
        layout.Key = [&](const std::wstring&, const std::wstring& name) { texts.push_back(name); };
        layout.Value = [&](const std::wstring&, const ValueSpec& v) {
            texts.push_back(v.Name);
            FindDataText(v.Type, v.Data.data(), v.Data.size(), text);
            texts.push_back(text);
        };
        layout.Run();
        TWendlarFindRecord record;
        record.Keyword = keyword;
        record.IgnoreCase = true;
        TFindMatcher matcher(record, nullptr);
        std::wstring lowerKeyword = keyword, lower;
        CharLowerBuffW(lowerKeyword.data(), static_cast<DWORD>(lowerKeyword.size()));
        size_t oursHits = 0, rawHits = 0;
        auto pair = bench::Alternate(
            rounds,
            [&] {
                rawHits = 0;
                for (const std::wstring& t : texts) {
                    lower.assign(t);
                    if (!lower.empty()) CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
                    if (lower.find(lowerKeyword) != std::wstring::npos) ++rawHits;
                }
            },
            [&] {
                oursHits = 0;
                for (const std::wstring& t : texts)
                    if (matcher.IsMatch(t)) ++oursHits;
            });
        char label[96];
        std::snprintf(label, sizeof label, "matcher vs lower-case and find, \"%ls\" (%zu texts, %zu hits)", keyword,
                      texts.size(), rawHits);
        bench::Report(label, pair, 1.2, oursHits == rawHits);
    }
    {
        // The session's timer, the form and the tree need the application object.
        classlib::TApplication application;
        RunMainWindowSide(workloads, rounds);
    }
    if (clean) RegDeleteTreeW(HKEY_CURRENT_USER, kBenchPath);
    return bench::Finish();
}
