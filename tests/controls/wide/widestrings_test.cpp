// The wide line list: encodings on load, the saved format, splitting, events and growth.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/errors.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"
#include "common/test_support.h"

using namespace wide;

namespace {

std::vector<std::wstring> Lines(const TWideStrings& list) {
    std::vector<std::wstring> result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list.Get(i));
    return result;
}

void LoadBytes(TWideStrings& list, const std::string& bytes) {
    classlib::TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    list.LoadFromStream(stream);
}

std::string SavedBytes(const TWideStrings& list) {
    classlib::TMemoryStream stream;
    list.SaveToStream(stream);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

TEST(WideStringsLoad, EncodingTable) {
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::wstring> lines;
        bool lossy;
    } cases[] = {
        {"empty file", "", {}, false},
        {"only UTF-16LE mark", "\xFF\xFE", {}, false},
        {"only UTF-8 mark", "\xEF\xBB\xBF", {}, false},
        {"only UTF-16BE mark", "\xFE\xFF", {}, false},
        {"UTF-16LE", std::string("\xFF\xFE" "a\0\r\0\n\0b\0", 10), {L"a", L"b"}, false},
        {"UTF-16LE odd byte", std::string("\xFF\xFE" "a\0b\0c", 7), {L"ab"}, true},
        {"UTF-16BE", std::string("\xFE\xFF\x30\x42\0\n\0x", 8), {L"\u3042", L"x"}, false},
        {"UTF-8", "\xEF\xBB\xBF\xE3\x81\x82\r\nx", {L"\u3042", L"x"}, false},
        {"UTF-8 four-byte", "\xEF\xBB\xBF\xF0\x9F\x98\x80", {L"\xD83D\xDE00"}, false},
        {"UTF-8 malformed", "\xEF\xBB\xBFgood\r\nba\xC3" "d\r\nkept", {L"good", L"ba\uFFFDd", L"kept"}, true},
        {"ANSI", "plain\r\ntext", {L"plain", L"text"}, false},
        {"ANSI Shift-JIS", "\x82\xA0", {L"\u3042"}, false},
        {"UTF-16LE without mark", std::string("A\0B\0", 4), {L"A"}, true},
        {"embedded NUL", std::string("\xFF\xFE" "a\0\n\0\0\0b\0", 10), {L"a"}, true},
        {"trailing NULs only", std::string("\xFF\xFE" "a\0\0\0\0\0", 8), {L"a"}, false},
        {"LF CR", "a\n\rb", {L"a", L"", L"b"}, false},
        {"lone CR and CR LF", "a\rb\r\nc\n", {L"a", L"b", L"c"}, false},
        {"blank lines kept", "\r\n\r\nx\r\n\r\n", {L"", L"", L"x", L""}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TWideStringList list;
        LoadBytes(list, c.bytes);
        EXPECT_EQ(Lines(list), c.lines);
        EXPECT_EQ(list.LastLoadLossy(), c.lossy);
    }
}

TEST(WideStringsLoad, DetectTextCharSetConsumesOnlyAMark) {
    const struct {
        std::string bytes;
        TTextCharSet charSet;
        int64_t position;
    } cases[] = {
        {"", tcsAnsi, 0},
        {"a", tcsAnsi, 0},
        {"\xFF\xFE", tcsUtf16LE, 2},
        {"\xFE\xFFxx", tcsUtf16BE, 2},
        {"\xEF\xBB", tcsAnsi, 0},
        {"\xEF\xBB\xBF", tcsUtf8, 3},
        {"\xEF\xBB\xBE", tcsAnsi, 0},
    };
    for (const auto& c : cases) {
        classlib::TMemoryStream stream;
        if (!c.bytes.empty())
            stream.WriteBuffer(c.bytes.data(), c.bytes.size());
        stream.SetPosition(0);
        EXPECT_EQ(DetectTextCharSet(stream), c.charSet);
        EXPECT_EQ(stream.Position(), c.position);
    }
}

TEST(WideStringsSave, Utf16LEWithMarkAndCrLf) {
    TWideStringList list;
    EXPECT_EQ(SavedBytes(list), "\xFF\xFE");
    list.SetTextStr(L"a\r\nb\r\n");
    EXPECT_EQ(SavedBytes(list), std::string("\xFF\xFE" "a\0\r\0\n\0b\0\r\0\n\0", 14));
    list.SetTextStr(L"\xD83D\xDE00");
    EXPECT_EQ(SavedBytes(list), std::string("\xFF\xFE\x3D\xD8\x00\xDE\r\0\n\0", 10));
}

TEST(WideStringsText, SplittingAndJoining) {
    TWideStringList list;
    list.SetTextStr(std::wstring(L"a\nb\0c", 5));
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"a", L"b"}));
    list.SetTextStr(L"x\n\ny");
    EXPECT_EQ(list.Text(), L"x\r\n\r\ny\r\n");
    list.SetTextStr(L"");
    EXPECT_EQ(list.Text(), L"");
    // A line holding a break is saved as it is and comes back as two lines.
    list.Clear();
    list.Add(L"one\rtwo");
    TWideStringList copy;
    LoadBytes(copy, SavedBytes(list));
    EXPECT_EQ(Lines(copy), (std::vector<std::wstring>{L"one", L"two"}));
}

TEST(WideStringsList, IndexErrorsLeaveTheListUnchanged) {
    TWideStringList list;
    list.Add(L"a");
    try {
        list.Get(1);
        ADD_FAILURE();
    } catch (const classlib::EStringListError& e) {
        EXPECT_EQ(e.Message(), L"リストのインデックスが範囲を超えています (1)");
    }
    EXPECT_THROW(list.Delete(-1), classlib::EStringListError);
    EXPECT_THROW(list.Put(1, L"x"), classlib::EStringListError);
    EXPECT_THROW(list.PutObject(1, nullptr), classlib::EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), classlib::EStringListError);
    EXPECT_THROW(list.InsertObject(2, L"x", nullptr), classlib::EStringListError);
    EXPECT_THROW(list.SetCapacity(0), classlib::EStringListError);
    EXPECT_EQ(Lines(list), std::vector<std::wstring>{L"a"});
}

TEST(WideStringsList, EditingKeepsObjectsWithTheirLines) {
    int objects[3];
    TWideStringList list;
    list.AddObject(L"zero", &objects[0]);
    list.AddObject(L"one", &objects[1]);
    list.InsertObject(0, L"first", &objects[2]);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"first", L"zero", L"one"}));
    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"zero", L"one", L"first"}));
    EXPECT_EQ(list.GetObject(2), &objects[2]);
    list.Exchange(0, 1);
    EXPECT_EQ(list.Get(0), L"one");
    EXPECT_EQ(list.GetObject(0), &objects[1]);
    list.Put(0, L"uno");
    EXPECT_EQ(list.GetObject(0), &objects[1]);
    EXPECT_EQ(list.IndexOfObject(&objects[0]), 1);
    list.Delete(0);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"zero", L"first"}));

    TWideStringList copy;
    copy.SetNameValueSeparator(L':');
    copy.Add(L"old");
    copy.Assign(list);
    EXPECT_EQ(Lines(copy), Lines(list));
    EXPECT_EQ(copy.GetObject(1), &objects[2]);
    EXPECT_EQ(copy.NameValueSeparator(), L'=');
}

TEST(WideStringsList, SearchesIgnoreCase) {
    TWideStringList list;
    list.SetTextStr(L"key\nABC\nKey=1\n");
    EXPECT_EQ(list.IndexOf(L"abc"), 1);
    EXPECT_EQ(list.IndexOf(L"ab"), -1);
    EXPECT_EQ(list.IndexOfName(L"key"), 2);
    EXPECT_EQ(list.IndexOfName(L"abc"), -1);
}

TEST(WideStringsList, ChangeEventsAndUpdateBracket) {
    TWideStringList list;
    int changes = 0, changings = 0;
    list.OnChange = [&](TWideStrings&) { ++changes; };
    list.OnChanging = [&](TWideStrings&) { ++changings; };
    list.Clear();
    EXPECT_EQ(changes + changings, 0);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(L"a");
    list.Add(L"b");
    list.EndUpdate();
    list.Add(L"c");
    EXPECT_EQ(changes + changings, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changings, 0);
    list.Add(L"d");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changings, 1);
    LoadBytes(list, "x\r\ny\r\nz");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(changings, 1);
}

TEST(WideStringsList, CapacityGrowth) {
    TWideStringList list;
    std::vector<int> capacities{list.GetCapacity()};
    for (int i = 0; i < 95; ++i) {
        list.Add(L"x");
        if (list.GetCapacity() != capacities.back())
            capacities.push_back(list.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95}));
    list.Delete(0);
    EXPECT_EQ(list.GetCapacity(), 95);
    list.Clear();
    EXPECT_EQ(list.GetCapacity(), 0);
}

}  // namespace
