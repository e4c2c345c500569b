// New data, loading and saving: streams, files, progress, cancel, read-only files.
#include <fstream>
#include <functional>

#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

namespace {
std::string ReadFile(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::wstring& name, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(name), std::ios::binary);
    out << bytes;
}
}  // namespace

TEST(HexFile, CreateEmptyAndLoadEmptyStream) {
    TCustomHexEditor e;
    EXPECT_EQ(e.FileName(), L"---");
    e.CreateEmptyFile(L"");
    EXPECT_EQ(e.FileName(), L"Untitled");
    EXPECT_TRUE(e.IsFileReadOnly());

    Load(e, Counting(50));
    e.SetSelStart(20);
    int changes = 0;
    e.OnChange = [&](TCustomHexEditor*) { ++changes; };
    Load(e, "");
    EXPECT_EQ(e.GetDataSize(), 0);
    EXPECT_EQ(e.RowCount(), 3);
    EXPECT_EQ(e.Col(), 2);
    EXPECT_EQ(e.Row(), 2);
    EXPECT_FALSE(e.Modified());
    EXPECT_EQ(changes, 1);
}

TEST(HexFile, LoadReportsEachPercentOnceAndCanBeCancelled) {
    TCustomHexEditor e;
    std::vector<int> percents;
    e.OnProgress = [&](TCustomHexEditor*, THexProgressKind kind, const std::wstring&, uint8_t percent, bool&) {
        EXPECT_EQ(kind, pkLoad);
        percents.push_back(percent);
    };
    Load(e, std::string(100000, 'z'));
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_LT(percents[i - 1], percents[i]);
    EXPECT_EQ(e.GetDataSize(), 100000);

    Type(e, L"1");
    e.OnProgress = [&](TCustomHexEditor*, THexProgressKind, const std::wstring&, uint8_t percent, bool& cancel) {
        cancel = percent >= 50;
    };
    EXPECT_EQ(HEX_MESSAGE(Load(e, std::string(1000000, 'q'))), "Operation cancelled");
    EXPECT_EQ(e.GetDataSize(), 0);
    EXPECT_FALSE(e.CanUndo());
}

namespace {

// A progress handler that puts a fresh copy of itself in the editor's place on every call,
// so the closure that runs is destroyed by its own assignment, and then decides from what
// it captured (held on the heap) whether to cancel.
struct TSelfReplacingHandler {
    TCustomHexEditor* Editor;
    const int* CancelAt;
    std::wstring Mark;
    void operator()(TCustomHexEditor*, THexProgressKind, const std::wstring&, uint8_t percent, bool& cancel) const {
        Editor->OnProgress = TSelfReplacingHandler{Editor, CancelAt, Mark};
        cancel = Mark == std::wstring(40, L'm') && percent >= *CancelAt;
    }
};

}  // namespace

// A load or save cancelled from the progress handler, again and again and at every point,
// raises EHexEditor with exactly "Operation cancelled" and leaves the editor usable; every
// other round the handler replaces itself each time it runs.
TEST(HexFile, CancelledLoadsAndSavesRaiseExactlyTheirMessage) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"data.bin");
    const std::string data = Counting(256) + std::string(130000, 'd');  // three blocks
    WriteFile(file, data);
    TCustomHexEditor e;
    int cancelAt = 0;
    const TCustomHexEditor::THexProgressEvent plain = [&](TCustomHexEditor*, THexProgressKind, const std::wstring&,
                                                       uint8_t percent, bool& cancel) { cancel = percent >= cancelAt; };
    const TSelfReplacingHandler selfReplacing{&e, &cancelAt, std::wstring(40, L'm')};
    const std::function<void()> operations[] = {
        [&] { Load(e, data); },
        [&] { e.LoadFromFile(file); },
        [&] {
            classlib::TMemoryStream out;
            e.SaveToStream(out);
        },
        [&] { e.SaveToFile(dir.File(L"out.bin"), true); },
    };
    int cancelled = 0;
    for (int round = 0; round < 200; ++round) {
        cancelAt = (round * 37) % 101;
        for (size_t op = 0; op < std::size(operations); ++op) {
            if (op >= 2) {  // something to save
                const int at = cancelAt;
                cancelAt = 1000;
                Load(e, data);
                cancelAt = at;
            }
            if (round % 2) e.OnProgress = selfReplacing;
            else e.OnProgress = plain;
            std::wstring message = L"<no exception>";
            try {
                operations[op]();
            } catch (const EHexEditor& ex) {
                message = ex.Message();
                ++cancelled;
            }
            ASSERT_EQ(message, std::wstring(L"Operation cancelled"))
                << "round " << round << ", operation " << op << ", length " << message.size();
        }
    }
    EXPECT_EQ(cancelled, 200 * 4);
    EXPECT_FALSE(std::filesystem::exists(dir.File(L"out.bin")));
    cancelAt = 1000;
    e.LoadFromFile(file);
    EXPECT_EQ(e.GetDataAsString(), data);
}

// The progress handler may change the editor while a load or save runs: replace the
// handler itself or the data (a message loop inside it lets the user type or open another
// file). Nothing is read from or written to memory the editor no longer owns.
TEST(HexFile, HandlerThatChangesTheEditorDuringALoadOrSave) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"keep.bin");
    WriteFile(file, "old content");
    const std::string data(200000, 'z');
    TCustomHexEditor e;

    // A handler that removes itself keeps running to its end with its own captures.
    int calls = 0;
    e.OnProgress = [&e, &calls, text = std::wstring(300, L'k')](TCustomHexEditor*, THexProgressKind,
                                                                 const std::wstring&, uint8_t, bool& cancel) {
        ++calls;
        e.OnProgress = nullptr;
        cancel = text == std::wstring(300, L'k');
    };
    EXPECT_EQ(HEX_MESSAGE(Load(e, data)), "Operation cancelled");
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(e.OnProgress);
    EXPECT_EQ(e.GetDataSize(), 0);

    // Data cleared by the handler during a load ends the load with an error.
    e.OnProgress = [](TCustomHexEditor* sender, THexProgressKind, const std::wstring&, uint8_t percent, bool&) {
        if (percent == 0) sender->CreateEmptyFile(L"");
    };
    EXPECT_EQ(HEX_MESSAGE(Load(e, data)), "Data position/length out of data bounds");
    EXPECT_EQ(e.GetDataSize(), 0);

    // Data replaced by a smaller load during a save: the save fails, the file stays whole.
    e.OnProgress = nullptr;
    Load(e, data);
    e.OnProgress = [](TCustomHexEditor* sender, THexProgressKind kind, const std::wstring&, uint8_t percent,
                      bool&) {
        if (kind == pkSave && percent > 0 && sender->GetDataSize() > 3) Load(*sender, "abc");
    };
    EXPECT_EQ(HEX_MESSAGE(e.SaveToFile(file, true)), "Data position/length out of data bounds");
    EXPECT_EQ(ReadFile(file), "old content");
    EXPECT_EQ(e.GetDataAsString(), "abc");
}

TEST(HexFile, SaveToStreamWritesEverything) {
    TCustomHexEditor e;
    Load(e, Counting(300));
    e.SetSelStart(100);
    e.SetSelEnd(120);
    classlib::TMemoryStream out;
    out.WriteBuffer("head", 4);
    e.SaveToStream(out);
    ASSERT_EQ(out.Size(), 304);
    EXPECT_EQ(std::string(static_cast<char*>(out.Memory()) + 4, 300), Counting(300));
}

TEST(HexFile, SaveAndLoadFiles) {
    testsupport::ScratchDir dir;
    TCustomHexEditor e;
    e.CreateEmptyFile(L"");
    EXPECT_EQ(HEX_MESSAGE(e.SaveToFile(L"Untitled", false)), "Cannot save readonly file Untitled.");

    const std::wstring name = dir.File(L"data.bin");
    Load(e, Counting(70000));
    e.SaveToFile(name, true);
    EXPECT_EQ(ReadFile(name), Counting(70000));
    EXPECT_EQ(e.FileName(), name);
    EXPECT_FALSE(e.IsFileReadOnly());
    Type(e, L"FF");
    e.SaveToFile(name, false);  // allowed now
    EXPECT_EQ(ReadFile(name)[0], '\xFF');

    TCustomHexEditor f;
    f.LoadFromFile(name);
    EXPECT_EQ(f.GetDataSize(), 70000);
    EXPECT_FALSE(f.IsFileReadOnly());
    EXPECT_EQ(f.FileName(), name);

    // A cancelled save leaves the old file whole and no temporary file behind.
    Load(e, std::string(200000, 'n'));
    e.OnProgress = [](TCustomHexEditor*, THexProgressKind, const std::wstring&, uint8_t percent, bool& cancel) {
        cancel = percent > 30;
    };
    EXPECT_EQ(HEX_MESSAGE(e.SaveToFile(name, true)), "Operation cancelled");
    EXPECT_EQ(ReadFile(name).size(), 70000u);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);

    const std::wstring missing = dir.File(L"missing.bin");
    const std::string message = HEX_MESSAGE(f.LoadFromFile(missing));
    EXPECT_EQ(message.rfind("Cannot open " + testsupport::Narrow(missing) + ".\r\n(", 0), 0u) << message;
    EXPECT_EQ(f.GetDataSize(), 70000);  // nothing changed
}

TEST(HexFile, ReadOnlyFile) {
    testsupport::ScratchDir dir;
    const std::wstring name = dir.File(L"locked.bin");
    WriteFile(name, "locked data");
    // Another handle that denies writing makes the file read-only for the editor.
    HANDLE other = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    TCustomHexEditor e;
    e.LoadFromFile(name);
    EXPECT_TRUE(e.IsFileReadOnly());
    EXPECT_EQ(e.GetDataAsString(), "locked data");
    const std::string expected = "Cannot save readonly file " + testsupport::Narrow(name) + ".";
    EXPECT_EQ(HEX_MESSAGE(e.SaveToFile(name, true)), expected);
    // The same file under another spelling is the same file.
    std::wstring upper = name;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_EQ(HEX_MESSAGE(e.SaveToFile(upper, true)), expected);
    const std::wstring dotted = dir.Path().wstring() + L"\\.\\locked.bin";
    EXPECT_EQ(HEX_MESSAGE(e.SaveToFile(dotted, true)), expected);
    CloseHandle(other);
    EXPECT_EQ(ReadFile(name), "locked data");
    EXPECT_TRUE(e.HasUnsavedChanges() == false);
}
