// Edit and memo: UTF-16 positions, password characters, the length limit, memo lines.
#include <gtest/gtest.h>

#include "ctl_support.h"
#include "controls/wide/wideedit.h"

using namespace wide;
using namespace ctltest;

namespace {

class EditTest : public ::testing::Test, public FormFixture {};

}  // namespace

TEST_F(EditTest, SelectionCountsUtf16Units) {
    auto* edit = Add<TWideEdit>(8, 8, 300, 24);
    const std::wstring text = L"あ" + kSurrogate + L"い";
    edit->SetText(text);
    struct {
        int start, length;
        std::wstring selected;
    } cases[] = {
        {0, 1, L"あ"},
        {1, 2, kSurrogate},
        {1, 3, kSurrogate + L"い"},
        {3, 1, L"い"},
        {4, 0, L""},
    };
    for (const auto& c : cases) {
        edit->SetSelStart(c.start);
        edit->SetSelLength(c.length);
        EXPECT_EQ(edit->SelStart(), c.start);
        EXPECT_EQ(edit->SelLength(), c.length);
        EXPECT_EQ(edit->SelText(), c.selected) << c.start << "," << c.length;
    }
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    edit->SetSelText(kJapanese);
    EXPECT_EQ(edit->Text(), L"あ" + kJapanese + L"い");
}

TEST_F(EditTest, PasswordCharAbove255KeepsTheWindow) {
    auto* edit = Add<TWideEdit>(8, 8, 300, 24);
    edit->SetText(L"秘密");
    HWND before = edit->Handle();
    edit->SetPasswordChar(L'●');
    EXPECT_EQ(edit->Handle(), before);
    EXPECT_EQ(SendMessageW(before, EM_GETPASSWORDCHAR, 0, 0), L'●');
    EXPECT_EQ(edit->PasswordChar(), L'●');
    EXPECT_EQ(edit->Text(), L"秘密");
    edit->SetPasswordChar(0);
    EXPECT_EQ(SendMessageW(before, EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(EditTest, NoLengthLimitUnlessAsked) {
    auto* edit = Add<TWideEdit>(8, 8, 300, 24);
    HWND wnd = edit->Handle();
    std::wstring longText(40000, L'語');
    SendMessageW(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(edit->Text().size(), 40000u);
    edit->SetMaxLength(5);
    edit->SetText(L"");
    TypeText(wnd, L"一二三四五六七");
    EXPECT_EQ(edit->Text(), L"一二三四五");
}

TEST_F(EditTest, MemoLinesTable) {
    auto* memo = Add<TWideMemo>(8, 40, 400, 200);
    TWideStrings& lines = memo->Lines();
    lines.SetTextStr(L"一\n二\r三\r\n" + kSurrogate);
    EXPECT_EQ(memo->Text(), L"一\r\n二\r\n三\r\n" + kSurrogate);
    ASSERT_EQ(lines.GetCount(), 4);
    EXPECT_EQ(lines.Get(3), kSurrogate);
    lines.Put(1, L"に");
    lines.Delete(0);
    EXPECT_EQ(memo->Text(), L"に\r\n三\r\n" + kSurrogate);
    lines.Insert(0, L"零");
    EXPECT_EQ(lines.Get(0), L"零");
    // At the count: appended after a non-empty last line.
    lines.Insert(4, L"末");
    EXPECT_EQ(memo->Text(), L"零\r\nに\r\n三\r\n" + kSurrogate + L"\r\n末");
    EXPECT_EQ(lines.GetCount(), 5);
    // After an empty last line nothing is inserted.
    memo->SetText(L"a\r\n\r\nb");
    lines.Delete(2);
    std::wstring before = memo->Text();
    lines.Insert(5, L"x");
    EXPECT_EQ(memo->Text(), before);
    lines.Insert(-1, L"x");
    EXPECT_EQ(memo->Text(), before);
    lines.Clear();
    EXPECT_EQ(lines.GetCount(), 0);
}

TEST_F(EditTest, MemoReadsLineLongerThan65535) {
    auto* memo = Add<TWideMemo>(8, 40, 400, 200);
    memo->SetWordWrap(false);
    std::wstring longLine(70000, L'字');
    longLine[69999] = L'終';
    memo->Lines().SetTextStr(L"先頭\r\n" + longLine + L"\r\n最後");
    ASSERT_EQ(memo->Lines().GetCount(), 3);
    EXPECT_EQ(memo->Lines().Get(1), longLine);
    EXPECT_EQ(memo->Lines().Get(2), L"最後");
    // Typing still works at that length: no limit on the memo either.
    memo->SetSelStart(static_cast<int>(memo->Text().size()));
    TypeChar(memo->Handle(), L'!');
    EXPECT_EQ(memo->Lines().Get(2), L"最後!");
}
