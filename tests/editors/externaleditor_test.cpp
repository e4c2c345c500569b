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

TEST(ExternalEditor, DecodesWhatTheEditorSaved) {
    struct Case {
        const char* what;
        std::string bytes;
        const wchar_t* text;
    } cases[] = {
        {"UTF-16LE with mark", std::string("\xFF\xFE\x42\x30\x0D\x00\x0A\x00", 8), L"あ\r\n"},
        {"UTF-16BE with mark", std::string("\xFE\xFF\x30\x42", 4), L"あ"},
        {"UTF-8 with mark", "\xEF\xBB\xBF\xE3\x81\x82x", L"あx"},
        {"UTF-8 without mark", "\xE3\x82\xAD\xE3\x83\xBC\r\nb", L"キー\r\nb"},
        {"ANSI (code page 932)", "\x83\x4C\x81\x5B", L"キー"},
        {"ASCII", "plain\r\n", L"plain\r\n"},
        {"a NUL ends the text", std::string("ab\0cd", 5), L"ab"},
        {"empty", "", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeEditedText(c.bytes), c.text) << c.what;
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
