// The external editor bridge without windows: parameters, decoding of what the editor
// saved, and the wait.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "editors/externaleditor.h"

#include <string>

using namespace editors;
using testsupport::Narrow;

TEST(ExternalEditor, ParametersPutThePathInAsItIs) {
    const std::wstring path = L"C:\\users\\a b\\Temp\\wen1.txt";
    EXPECT_EQ(EditorParameters(L"%1", path), path);
    EXPECT_EQ(EditorParameters(L"-n %1 -x %1", path), L"-n " + path + L" -x " + path);
    EXPECT_EQ(EditorParameters(L"\"%1\"", path), L"\"" + path + L"\"");
    EXPECT_EQ(EditorParameters(L"-a", path), L"-a");
}

// Each text with whether it lost anything of the bytes.
TEST(ExternalEditor, DecodesWhatTheEditorSaved) {
    struct Case {
        const char* what;
        std::string bytes;
        const wchar_t* text;
        bool lossy;
    } cases[] = {
        {"UTF-16LE with mark", std::string("\xFF\xFE\x42\x30\x0D\x00\x0A\x00", 8), L"あ\r\n", false},
        {"UTF-16BE with mark", std::string("\xFE\xFF\x30\x42", 4), L"あ", false},
        {"UTF-16LE with a byte left over", std::string("\xFF\xFE\x42\x30\x41", 5), L"あ", true},
        {"UTF-8 with mark", "\xEF\xBB\xBF\xE3\x81\x82x", L"あx", false},
        {"UTF-8 with mark, malformed", "\xEF\xBB\xBF\xE3\x81x", L"\xFFFDx", true},
        {"UTF-8 without mark", "\xE3\x82\xAD\xE3\x83\xBC\r\nb", L"キー\r\nb", false},
        {"ANSI (code page 932)", "\x83\x4C\x81\x5B", L"キー", false},
        {"ANSI with a lead byte cut short", "\x83\x4C\x81", L"キ\x30FB", true},
        {"ASCII", "plain\r\n", L"plain\r\n", false},
        {"a NUL ends the text", std::string("ab\0cd", 5), L"ab", true},
        {"a NUL at the end", std::string("ab\0", 3), L"ab", false},
        {"empty", "", L"", false},
    };
    for (const Case& c : cases) {
        bool lossy = !c.lossy;
        EXPECT_EQ(DecodeEditedText(c.bytes, &lossy), c.text) << c.what;
        EXPECT_EQ(lossy, c.lossy) << c.what;
    }
}

namespace {
bool GTimerRan = false;
}

// The wait ends at once without a process and when the object is signalled; while the
// object stays unsignalled, the thread's messages run (a timer's procedure here) and the
// stop request they set ends the wait.
TEST(ExternalEditor, WaitEnds) {
    EXPECT_EQ(WaitForEditor(nullptr, [] { return false; }), TEditorWaitEnd::NoProcess);

    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForEditor(event, [] { return false; }), TEditorWaitEnd::Ended);

    ResetEvent(event);
    GTimerRan = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) { GTimerRan = true; });
    EXPECT_EQ(WaitForEditor(event, [] { return GTimerRan; }), TEditorWaitEnd::Stopped);
    KillTimer(nullptr, timer);
    CloseHandle(event);
}
