#include "classlib/errors.h"
#include "classlib/streams.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace classlib;

namespace {

std::string ReadAll(TStream& stream) {
    std::string text(static_cast<size_t>(stream.Size()), '\0');
    stream.SetPosition(0);
    stream.ReadBuffer(text.data(), text.size());
    return text;
}

}  // namespace

TEST(FileStream, JapaneseNameRoundTripAndModes) {
    testsupport::ScratchDir dir;
    const std::wstring name = dir.File(L"レジストリ設定.bin");
    {
        TFileStream out(name, fmCreate);
        out.WriteBuffer("hello world", 11);
        EXPECT_EQ(out.Size(), 11);
        EXPECT_EQ(out.Position(), 11);
    }
    {
        TFileStream in(name, fmOpenRead | fmShareDenyWrite);
        char buffer[5];
        in.SetPosition(6);
        in.ReadBuffer(buffer, 5);
        EXPECT_EQ(std::string(buffer, 5), "world");
        EXPECT_EQ(in.Read(buffer, 5), 0u);  // at the end: Read reports 0, no error
        EXPECT_EQ(in.Seek(-5, soFromEnd), 6);
        EXPECT_EQ(in.Seek(2, soFromCurrent), 8);
        // A second reader may share a deny-write open; a writer may not.
        TFileStream second(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_THROW(TFileStream(name, fmOpenReadWrite | fmShareDenyNone), EFOpenError);
    }
    {
        TFileStream rw(name, fmOpenReadWrite | fmShareExclusive);
        rw.SetSize(5);
        EXPECT_EQ(rw.Size(), 5);
        EXPECT_EQ(ReadAll(rw), "hello");
    }
}

TEST(FileStream, FailuresNameFullPathAndReason) {
    testsupport::ScratchDir dir;
    const std::wstring missing = dir.File(L"無い.txt");
    try {
        TFileStream in(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        const std::wstring prefix = L"ファイル \"" + missing + L"\" は開けません。";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix) << e.what();
        EXPECT_GT(e.Message().size(), prefix.size()) << "no system reason in: " << e.what();
    }
    const std::wstring inMissingFolder = dir.File(L"無いフォルダ\\x.txt");
    try {
        TFileStream out(inMissingFolder, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        const std::wstring prefix = L"ファイル \"" + inMissingFolder + L"\" を作成できません。";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix) << e.what();
    }
}

TEST(Stream, ShortReadAndWriteRaise) {
    TMemoryStream stream;
    stream.WriteBuffer("abc", 3);
    stream.SetPosition(1);
    char buffer[8];
    EXPECT_THROW(stream.ReadBuffer(buffer, 3), EReadError);
    stream.SetPosition(1);
    EXPECT_EQ(stream.Read(buffer, 8), 2u);

    testsupport::ScratchDir dir;
    const std::wstring name = dir.File(L"ro.bin");
    { TFileStream out(name, fmCreate); }
    TFileStream readOnly(name, fmOpenRead);
    EXPECT_THROW(readOnly.WriteBuffer("x", 1), EWriteError);
    EXPECT_THROW(readOnly.Seek(-1, soFromBeginning), EStreamError);
}

TEST(MemoryStream, GrowsKeepsContentsAndZeroFillsGaps) {
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        unsigned char b = static_cast<unsigned char>(i * 7);
        stream.WriteBuffer(&b, 1);
        expected.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(stream.Size(), 20000);
    EXPECT_EQ(std::memcmp(stream.Memory(), expected.data(), expected.size()), 0);

    // Seeking past the end and writing leaves a zero gap.
    stream.Seek(10, soFromEnd);
    stream.WriteBuffer("Z", 1);
    EXPECT_EQ(stream.Size(), 20011);
    const auto* p = static_cast<const unsigned char*>(stream.Memory());
    for (int i = 20000; i < 20010; ++i)
        EXPECT_EQ(p[i], 0) << i;
    EXPECT_EQ(p[20010], 'Z');

    // Shrinking clamps the position; growing again reads zeros, not old bytes.
    stream.SetSize(3);
    EXPECT_EQ(stream.Position(), 3);
    stream.SetSize(6);
    EXPECT_EQ(ReadAll(stream), expected.substr(0, 3) + std::string(3, '\0'));

    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, CopyFromAndFileRoundTrip) {
    TMemoryStream source;
    source.WriteBuffer("0123456789", 10);

    TMemoryStream all;
    EXPECT_EQ(all.CopyFrom(source, 0), 10);  // 0: everything, from the start
    EXPECT_EQ(ReadAll(all), "0123456789");

    TMemoryStream part;
    source.SetPosition(4);
    EXPECT_EQ(part.CopyFrom(source, 3), 3);
    EXPECT_EQ(ReadAll(part), "456");
    EXPECT_EQ(source.Position(), 7);
    EXPECT_THROW(part.CopyFrom(source, 4), EReadError);  // only 3 left

    // A large copy crosses the internal buffer size.
    TMemoryStream big;
    std::vector<unsigned char> data(200000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i % 251);
    big.WriteBuffer(data.data(), data.size());
    testsupport::ScratchDir dir;
    const std::wstring name = dir.File(L"大きい.bin");
    {
        TFileStream out(name, fmCreate);
        EXPECT_EQ(out.CopyFrom(big, 0), 200000);
    }
    TMemoryStream loaded;
    loaded.LoadFromFile(name);
    ASSERT_EQ(loaded.Size(), 200000);
    EXPECT_EQ(loaded.Position(), 0);
    EXPECT_EQ(std::memcmp(loaded.Memory(), data.data(), data.size()), 0);

    // SaveToFile replaces the old file whole and leaves no temporary file behind.
    part.SaveToFile(name);
    TMemoryStream reloaded;
    reloaded.LoadFromFile(name);
    EXPECT_EQ(ReadAll(reloaded), "456");
    size_t files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST(MemoryStream, SaveToFileIntoMissingFolderRaises) {
    testsupport::ScratchDir dir;
    TMemoryStream stream;
    stream.WriteBuffer("x", 1);
    EXPECT_THROW(stream.SaveToFile(dir.File(L"無い\\a.bin")), EFCreateError);
}

TEST(ResourceStream, ReadsModuleResourceAndRefusesWrites) {
    TResourceStream manifest(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), RT_MANIFEST);
    std::string text = ReadAll(manifest);
    EXPECT_NE(text.find("assembly"), std::string::npos);
    EXPECT_THROW(manifest.Write("x", 1), EStreamError);
    EXPECT_THROW(TResourceStream(GetModuleHandleW(nullptr), L"NOSUCHRESOURCE"), EResNotFound);
}
