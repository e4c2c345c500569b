#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/scopeguard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace classlib;

namespace {

// Leaves its scope the way `how` says, with one exit guard and one failure guard.
enum class TExit { Normal, Return, Throw };

void Leave(TExit how, std::vector<std::string>& log) {
    auto always = ScopeExit([&] { log.push_back("exit"); });
    auto onFailure = ScopeFail([&] { log.push_back("fail"); });
    log.push_back("body");
    if (how == TExit::Return) return;
    if (how == TExit::Throw) throw std::runtime_error("boom");
    log.push_back("end");
}

// Swaps the application's exception report for a recorder while alive.
class TReportRecorder {
public:
    TReportRecorder() : FSaved(Application->OnException) {
        Application->OnException = [this](TComponent*, const Exception& e) { Reports.push_back(e.Message()); };
    }
    ~TReportRecorder() { Application->OnException = FSaved; }
    std::vector<std::wstring> Reports;

private:
    std::function<void(TComponent*, const Exception&)> FSaved;
};

}  // namespace

TEST(ScopeGuard, ExitAlwaysRunsFailOnlyOnException) {
    struct Case {
        TExit how;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {TExit::Normal, {"body", "end", "exit"}},
        {TExit::Return, {"body", "exit"}},
        {TExit::Throw, {"body", "fail", "exit"}},  // last made, first run
    };
    for (const Case& c : cases) {
        std::vector<std::string> log;
        try {
            Leave(c.how, log);
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(log, c.log) << static_cast<int>(c.how);
    }
}

TEST(ScopeGuard, DismissedGuardsDoNotRun) {
    int runs = 0;
    {
        auto exit = ScopeExit([&] { ++runs; });
        exit.Dismiss();
    }
    try {
        auto fail = ScopeFail([&] { ++runs; });
        fail.Dismiss();
        throw std::runtime_error("boom");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(runs, 0);
}

TEST(ScopeGuard, FailureGuardMadeDuringUnwindingWaitsForItsOwnException) {
    // A destructor that runs while another exception unwinds, and uses a failure guard for
    // its own work: leaving normally is no failure of its scope.
    struct Cleanup {
        std::vector<std::string>& Log;
        ~Cleanup() {
            auto undo = ScopeFail([&] { Log.push_back("undone"); });
            Log.push_back("cleaned");
        }
    };
    std::vector<std::string> log;
    try {
        Cleanup cleanup{log};
        throw std::runtime_error("first");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(log, (std::vector<std::string>{"cleaned"}));
}

TEST(ScopeGuard, ThrowingCleanupPropagatesOnlyOnANormalExit) {
    TReportRecorder recorder;
    // Normal exit: the cleanup's exception reaches the caller, as if written at the end.
    EXPECT_THROW(
        {
            auto exit = ScopeExit([] { throw EConvertError(L"cleanup"); });
        },
        EConvertError);
    EXPECT_TRUE(recorder.Reports.empty());

    // While the body's exception unwinds: that one goes on, the cleanup's is reported.
    std::wstring caught;
    try {
        auto exit = ScopeExit([] { throw EConvertError(L"cleanup"); });
        auto fail = ScopeFail([] { throw EConvertError(L"undo"); });
        throw EAbort(L"body");
    } catch (const Exception& e) {
        caught = e.Message();
    }
    EXPECT_EQ(caught, L"body");
    EXPECT_EQ(recorder.Reports, (std::vector<std::wstring>{L"undo", L"cleanup"}));
}
