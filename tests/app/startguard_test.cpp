// The start-up guard: a fault before the main window shows is reported and ends the process
// with the fault's code; each case runs in a process of its own (a death test).
#include <gtest/gtest.h>
#include <windows.h>

#include "app/startguard.h"

#include <cstdio>
#include <thread>

namespace {

// Recursion that the compiler cannot turn into a loop, until the stack runs out.
[[gnu::noinline]] int Deeper(int depth) {
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    return Deeper(depth + 1) + frame[0];
}

void Overflow() { std::printf("%d", Deeper(0)); }

void NullWrite() { *static_cast<volatile int*>(nullptr) = 1; }

void NullWriteOnAThread() { std::thread(NullWrite).join(); }

// Runs `fault` under a guard whose report prints the code; ends the process only through
// the guard.
void FaultUnderGuard(void (*fault)()) {
    app::TStartFailureGuard guard([](DWORD code) { std::fprintf(stderr, "reported %08lX\n", code); });
    fault();
    std::fprintf(stderr, "went on\n");
    std::fflush(stderr);
    ExitProcess(0);
}

}  // namespace

TEST(StartFailureGuard, FaultIsReportedAndEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* name;
        void (*fault)();
        DWORD code;
        const char* report;
    } cases[] = {
        {"stack overflow", Overflow, EXCEPTION_STACK_OVERFLOW, "reported C00000FD"},
        {"access violation", NullWrite, EXCEPTION_ACCESS_VIOLATION, "reported C0000005"},
        {"access violation on another thread", NullWriteOnAThread, EXCEPTION_ACCESS_VIOLATION, "reported C0000005"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(FaultUnderGuard(c.fault), testing::ExitedWithCode(static_cast<int>(c.code)), c.report);
    }
}
