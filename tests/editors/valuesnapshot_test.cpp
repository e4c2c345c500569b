// An edited value that another program changed meanwhile is not overwritten unasked.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "editors/valuesnapshot.h"
#include "registry/regrecords.h"

#include <vector>

using namespace editors;

namespace {

void Set(HKEY key, const wchar_t* name, DWORD type, std::vector<BYTE> data) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
}

}  // namespace

TEST(ValueSnapshot, AsksOnlyWhenTheValueChanged) {
    testsupport::ScratchKey scratch(testsupport::CurrentTestName());
    const registry::TVxRegKeyClass key = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, scratch.Path());
    HKEY h = scratch.Handle();
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        bool asked;
    } cases[] = {
        {"nothing happened", [] {}, false},
        {"same data written again", [&] { Set(h, L"v", REG_BINARY, {1, 2, 3}); }, false},
        {"data changed", [&] { Set(h, L"v", REG_BINARY, {1, 2, 4}); }, true},
        {"data grew", [&] { Set(h, L"v", REG_BINARY, {1, 2, 3, 0}); }, true},
        {"type changed", [&] { Set(h, L"v", 0x80000001u, {1, 2, 3}); }, true},
        {"value deleted", [&] { RegDeleteValueW(h, L"v"); }, true},
    };
    for (const Case& c : cases) {
        Set(h, L"v", REG_BINARY, {1, 2, 3});
        const TValueSnapshot before = TakeValueSnapshot(key, L"v");
        ASSERT_TRUE(before.Exists);
        c.meanwhile();
        for (bool answer : {true, false}) {
            std::wstring question;
            const bool write = MayWriteEditedValue(before, key, L"v", [&](const std::wstring& q) {
                question = q;
                return answer;
            });
            EXPECT_EQ(!question.empty(), c.asked) << c.what;
            EXPECT_EQ(write, !c.asked || answer) << c.what;
            if (c.asked) {
                EXPECT_NE(question.find(key.FFullPath), std::wstring::npos) << c.what;
                EXPECT_NE(question.find(L"値の名前：v"), std::wstring::npos) << c.what;
            }
        }
    }

    // A value that did not exist when the editor opened and exists now was made meanwhile.
    const TValueSnapshot absent = TakeValueSnapshot(key, L"new");
    EXPECT_FALSE(absent.Exists);
    EXPECT_TRUE(MayWriteEditedValue(absent, key, L"new", [](const std::wstring&) { return false; }));
    Set(h, L"new", REG_SZ, {0, 0});
    EXPECT_FALSE(MayWriteEditedValue(absent, key, L"new", [](const std::wstring&) { return false; }));
}
