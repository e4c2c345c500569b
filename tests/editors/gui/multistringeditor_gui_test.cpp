// The multi-string editor dialog: OK removes empty lines and says so once.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/wide/wideedit.h"
#include "dialogs_test_support.h"
#include "editors/multistring.h"
#include "editors/multistringeditor.h"

#include <filesystem>
#include <memory>

using namespace editors;
using testsupport::Narrow;

TEST(MultiStringEditorForm, OkRemovesEmptyLinesAndSaysSo) {
    struct Case {
        const wchar_t* text;
        const wchar_t* kept;
        bool told;
    } cases[] = {
        {L"a\r\n\r\nb", L"a\r\nb", true},
        {L"a\r\n \r\nb", L"a\r\n \r\nb", false},  // a line of one blank stays
    };
    for (const Case& c : cases) {
        std::unique_ptr<TEditorFormMultiSZ> form(new TEditorFormMultiSZ(nullptr));
        form->EntryValue->Lines().SetTextStr(c.text);
        editorstest::MessageBoxAnswerer answers;
        form->OkButton->Click();
        testsupport::PumpMessages();
        EXPECT_EQ(form->ModalResult(), classlib::mrOk) << Narrow(c.text);
        EXPECT_EQ(form->EntryValue->Lines().Text(), c.kept) << Narrow(c.text);
        EXPECT_EQ(answers.Texts(), c.told ? std::vector<std::wstring>{EmptyLinesRemovedText}
                                          : std::vector<std::wstring>{})
            << Narrow(c.text);
    }
}

// A user types lines with an empty one between them and presses Alt+O: the message box
// says the empty line went, Enter closes it, and the dialog ends with OK and the two lines.
TEST(MultiStringEditorKeyboard, TypeLinesThenOk) {
    using namespace editorstest;
    std::unique_ptr<TEditorFormMultiSZ> form(new TEditorFormMultiSZ(nullptr));
    std::wstring message;
    InputScript script;
    script
        .Then([&] { return HasFocus(form->EntryValue->Handle()); },
              [] {
                  TypeKeys(L"a");
                  PressKey(VK_RETURN);
                  PressKey(VK_RETURN);
                  TypeKeys(L"b c");
              })
        .Then([&] { return form->EntryValue->Lines().Text() == L"a\r\n\r\nb c"; },
              [] { PressKey('O', {VK_MENU}); })
        .Then([] { return OpenMessageBox() != nullptr; },
              [&] {
                  message = OpenMessageBox()->Message->Caption();
                  PressKey(VK_RETURN);
              });
    EXPECT_EQ(form->ShowModal(), classlib::mrOk);
    EXPECT_EQ(script.Done(), script.Count());
    EXPECT_EQ(message, EmptyLinesRemovedText);
    EXPECT_EQ(form->EntryValue->Lines().Text(), L"a\r\nb c");
}

// The button "外部エディタで編集" hands the typed lines to the external editor (started with
// the path alone) and shows what it saved: the line it added stays a line of its own, even
// after a last line typed without Enter. OK keeps it, without an empty line to remove.
TEST(MultiStringEditorKeyboard, ExternalEditorButton) {
    using namespace editorstest;
    std::unique_ptr<TEditorFormMultiSZ> form(new TEditorFormMultiSZ(nullptr));
    form->TextEditorPath = StandInEditor();
    auto lines = [&form] { return form->EntryValue->Lines().Count(); };
    InputScript script;
    script
        .Then([&] { return HasFocus(form->EntryValue->Handle()); },
              [&] {
                  TypeKeys(L"a");
                  ClickWindow(form->ExternalEditorButton->Handle());
              })
        .Then([&] { return lines() == 2 && GetActiveWindow() == form->Handle(); },
              [] { PressKey('O', {VK_MENU}); });
    MessageBoxAnswerer answers;
    EXPECT_EQ(form->ShowModal(), classlib::mrOk);
    EXPECT_EQ(script.Done(), script.Count());
    EXPECT_EQ(answers.Texts(), std::vector<std::wstring>{});
    ASSERT_EQ(lines(), 2);
    EXPECT_EQ(form->EntryValue->Lines().Get(0), L"a");
    const std::wstring path = form->EntryValue->Lines().Get(1).substr(5);
    EXPECT_EQ(std::filesystem::path(path).extension(), L".txt") << Narrow(path);
    EXPECT_FALSE(std::filesystem::exists(path)) << Narrow(path);
}

// Esc in the lines cancels the dialog as it does elsewhere in a dialog.
TEST(MultiStringEditorKeyboard, EscInTheLinesCancels) {
    using namespace editorstest;
    std::unique_ptr<TEditorFormMultiSZ> form(new TEditorFormMultiSZ(nullptr));
    InputScript script;
    script
        .Then([&] { return HasFocus(form->EntryValue->Handle()); }, [] { TypeKeys(L"a"); })
        .Then([&] { return form->EntryValue->Lines().Text() == L"a"; }, [] { PressKey(VK_ESCAPE); });
    EXPECT_EQ(form->ShowModal(), classlib::mrCancel);
    EXPECT_EQ(script.Done(), script.Count());
}
