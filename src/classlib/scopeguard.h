// Scope guards: run a piece of code when a scope is left.
//
// - TScopeExit runs its function on every exit: normal end, return, break or exception.
//   Use it to restore a flag, a counter or a saved value that the scope changed.
// - TScopeFail runs its function only when the scope is left by an exception (one thrown
//   after the guard was made); a normal exit leaves everything as the scope made it. Use it
//   to undo a half-done step (delete a temporary file, take back an insertion) while the
//   exception goes on to the caller.
// - Dismiss() turns a guard off: its function will not run.
// The function runs from a destructor. On a normal exit an exception it throws goes on to
// the caller, as if the code stood at the end of the scope. While an exception already
// unwinds the scope nothing more may leave it: an exception the function throws then goes
// to HandleCurrentException (the program's report of errors that cannot travel further)
// and the first exception goes on.
// A guard that is moved from is dismissed. Guards are made with the helpers:
//     auto restore = ScopeExit([&] { FUpdating = false; });
//     auto undo = ScopeFail([&] { DeleteFileW(temp); });
#pragma once

#include "classlib/errors.h"

#include <exception>
#include <type_traits>
#include <utility>

namespace classlib {

namespace scopeguard_detail {
// Runs a cleanup while an exception unwinds the scope.
template <class F>
void RunUnwinding(F& fn) noexcept {
    if constexpr (std::is_nothrow_invocable_v<F&>) {
        fn();
    } else {
        try {
            fn();
        } catch (...) {
            HandleCurrentException(nullptr);
        }
    }
}
}  // namespace scopeguard_detail

template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F fn) noexcept(std::is_nothrow_move_constructible_v<F>)
        : FFn(std::move(fn)), FExceptions(std::uncaught_exceptions()) {}
    TScopeExit(TScopeExit&& other) noexcept(std::is_nothrow_move_constructible_v<F>)
        : FFn(std::move(other.FFn)), FExceptions(other.FExceptions),
          FActive(std::exchange(other.FActive, false)) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    TScopeExit& operator=(TScopeExit&&) = delete;
    ~TScopeExit() noexcept(false) {
        if (!FActive) return;
        if (std::uncaught_exceptions() > FExceptions)
            scopeguard_detail::RunUnwinding(FFn);
        else
            FFn();
    }

    void Dismiss() noexcept { FActive = false; }

private:
    F FFn;
    int FExceptions;
    bool FActive = true;
};

template <class F>
class TScopeFail {
public:
    explicit TScopeFail(F fn) noexcept(std::is_nothrow_move_constructible_v<F>)
        : FFn(std::move(fn)), FExceptions(std::uncaught_exceptions()) {}
    TScopeFail(TScopeFail&& other) noexcept(std::is_nothrow_move_constructible_v<F>)
        : FFn(std::move(other.FFn)), FExceptions(other.FExceptions),
          FActive(std::exchange(other.FActive, false)) {}
    TScopeFail(const TScopeFail&) = delete;
    TScopeFail& operator=(const TScopeFail&) = delete;
    TScopeFail& operator=(TScopeFail&&) = delete;
    // More exceptions in flight than when the guard was made: this scope is being unwound.
    ~TScopeFail() {
        if (FActive && std::uncaught_exceptions() > FExceptions) scopeguard_detail::RunUnwinding(FFn);
    }

    void Dismiss() noexcept { FActive = false; }

private:
    F FFn;
    int FExceptions;
    bool FActive = true;
};

template <class F>
[[nodiscard]] TScopeExit<std::decay_t<F>> ScopeExit(F&& fn) {
    return TScopeExit<std::decay_t<F>>(std::forward<F>(fn));
}

template <class F>
[[nodiscard]] TScopeFail<std::decay_t<F>> ScopeFail(F&& fn) {
    return TScopeFail<std::decay_t<F>>(std::forward<F>(fn));
}

}  // namespace classlib
