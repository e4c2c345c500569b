// Process setup and teardown by the application object, in a program that starts without
// one.
#include "classlib/application.h"
#include "classlib/processsetup.h"
#include "classlib/screen.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

using namespace classlib;

namespace {

std::vector<std::wstring> JournalFrom(size_t start) {
    const auto& journal = TProcessSetup::Journal();
    return std::vector<std::wstring>(journal.begin() + static_cast<std::ptrdiff_t>(start), journal.end());
}

// Two process objects of a layer above; the second uses the first, and both look at the
// screen when they go.
std::vector<std::wstring>* gEnds = nullptr;

struct FirstObject {
    ~FirstObject() { gEnds->push_back(Screen ? L"first, screen alive" : L"first, no screen"); }
};
struct SecondObject {
    SecondObject() { Application->ProcessObject<FirstObject>(); }
    ~SecondObject() { gEnds->push_back(Screen ? L"second, screen alive" : L"second, no screen"); }
};

}  // namespace

TEST(ProcessSetup, DoneOnceInOrderAndUndoneInReverse) {
    ASSERT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);  // nothing of the kind exists before the application
    EXPECT_FALSE(TProcessSetup::OleInitialized());
    const size_t start = TProcessSetup::Journal().size();

    auto* app = new TApplication();
    EXPECT_EQ(Application, app);
    EXPECT_NE(Screen, nullptr);
    EXPECT_TRUE(TProcessSetup::OleInitialized());
    EXPECT_EQ(JournalFrom(start), (std::vector<std::wstring>{L"+ole", L"+common controls", L"+timer resolution",
                                                             L"+window classes", L"+screen", L"+utility window"}));
    // OLE is there for this thread: another initialisation only counts.
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();

    // A second setup while the first is in force does nothing, and undoes nothing.
    const size_t before = TProcessSetup::Journal().size();
    { TProcessSetup nested; }
    EXPECT_EQ(TProcessSetup::Journal().size(), before);
    EXPECT_TRUE(TProcessSetup::OleInitialized());

    wchar_t name[64] = {};
    GetClassNameW(app->UtilWindow(), name, 64);
    EXPECT_STREQ(name, L"WendlarUtilWindow");

    delete app;
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
    EXPECT_FALSE(TProcessSetup::OleInitialized());
    EXPECT_EQ(JournalFrom(before), (std::vector<std::wstring>{L"-utility window", L"-screen", L"-timer resolution",
                                                              L"-ole"}));
    // Exactly one initialisation was left to undo: COM starts afresh on this thread now.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();

    // A later application object sets the process up again.
    const size_t again = TProcessSetup::Journal().size();
    app = new TApplication();
    EXPECT_TRUE(TProcessSetup::OleInitialized());
    EXPECT_EQ(JournalFrom(again).front(), L"+ole");
    delete app;
}

TEST(ProcessSetup, ProcessObjectsAndQueuedCallsEndWithTheApplication) {
    std::vector<std::wstring> ends;
    gEnds = &ends;
    bool ran = false;
    auto* app = new TApplication();
    SecondObject& second = app->ProcessObject<SecondObject>();
    EXPECT_EQ(&app->ProcessObject<SecondObject>(), &second);  // one per type
    app->QueueCall([&] { ran = true; });
    delete app;
    // Last made first, while the screen still exists.
    EXPECT_EQ(ends, (std::vector<std::wstring>{L"second, screen alive", L"first, screen alive"}));
    gEnds = nullptr;

    // The call queued before the end never runs, not even in a later application's loop.
    app = new TApplication();
    app->ProcessMessages();
    EXPECT_FALSE(ran);
    delete app;
}

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
