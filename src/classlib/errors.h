// Exceptions of the class-library layer.
//
// Every error the program raises is an `Exception` (or a named descendant) carrying a
// UTF-16 message and a help context. Window procedures, hooks, COM methods and thread
// procedures never let one escape: they hand it to the exception funnel below.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace classlib {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message, int helpContext = 0);

    const std::wstring& Message() const noexcept { return FMessage; }
    void SetMessage(std::wstring message);
    int HelpContext() const noexcept { return FHelpContext; }

    // UTF-8 form of the message, for std::exception users (test output, logs). Made with
    // the message, so any thread may read it while the exception object lives.
    const char* what() const noexcept override { return FNarrow.c_str(); }

private:
    std::wstring FMessage;
    int FHelpContext;
    std::string FNarrow;
};

#define CLASSLIB_EXCEPTION(Name, Base)                         \
    class Name : public Base {                                 \
    public:                                                    \
        using Base::Base;                                      \
    };

// The named descendants the program raises or catches by kind.
CLASSLIB_EXCEPTION(EAbort, Exception)            // silent: HandleException shows nothing
CLASSLIB_EXCEPTION(EConvertError, Exception)
CLASSLIB_EXCEPTION(EListError, Exception)
CLASSLIB_EXCEPTION(EStringListError, Exception)
CLASSLIB_EXCEPTION(EStreamError, Exception)
CLASSLIB_EXCEPTION(EFileStreamError, EStreamError)
CLASSLIB_EXCEPTION(EFCreateError, EFileStreamError)
CLASSLIB_EXCEPTION(EFOpenError, EFileStreamError)
CLASSLIB_EXCEPTION(EReadError, EStreamError)
CLASSLIB_EXCEPTION(EWriteError, EStreamError)
CLASSLIB_EXCEPTION(EResNotFound, Exception)
CLASSLIB_EXCEPTION(EComponentError, Exception)
CLASSLIB_EXCEPTION(EOutOfResources, Exception)
CLASSLIB_EXCEPTION(EInvalidOperation, Exception)
CLASSLIB_EXCEPTION(EInvalidOp, Exception)
CLASSLIB_EXCEPTION(EInvalidCast, Exception)    // an object is not of the class a call needs
CLASSLIB_EXCEPTION(EThread, Exception)
CLASSLIB_EXCEPTION(ERangeError, Exception)      // a size or index outside what a call can take

#undef CLASSLIB_EXCEPTION

// A failed system call; ErrorCode holds the system's error code when known.
class EOSError : public Exception {
public:
    using Exception::Exception;
    unsigned long ErrorCode = 0;
};

class TComponent;

// --- The exception funnel ----------------------------------------------------------------
// Exceptions that must not travel further (window procedures, the application's loop and
// window, queued calls, timers, hooks) all go through HandleCurrentException, called inside
// the catch block. It hands the exception to the reporter set with SetExceptionHandler
// (TApplication installs one that shows the message in a box or hands it to OnException).
// The reporter runs inside a catch block of that exception, so `throw;` and
// std::current_exception() reach it. Without a reporter the message goes to the debugger
// output. EAbort is never reported. Nothing here throws.
//
// A report is queued instead of shown at once where a modal box would do harm:
// - while a window paints or is being destroyed (the window procedure opens a
//   TDeferExceptionReports scope for those messages), while a component is being destroyed
//   (the sender is csDestroying, or its deletion is under way);
// - while another report is being shown: one report box at a time.
// ReportQueuedExceptions, which the message loop calls, shows them later, oldest first,
// each once; a report whose message equals one already waiting is dropped. Queued reports
// reach the reporter with a null sender, because the component may be gone by then.
// Main thread only.

// Sets the reporter; returns the one it replaces.
std::function<void(TComponent* sender)> SetExceptionHandler(std::function<void(TComponent* sender)> handler);
// The funnel. Outside a catch block there is no current exception and nothing happens.
void HandleCurrentException(TComponent* sender) noexcept;
// The same for an exception kept in an exception_ptr (null: nothing happens).
void ReportException(std::exception_ptr error, TComponent* sender) noexcept;

// While at least one of these scopes is alive, reports are queued.
class TDeferExceptionReports {
public:
    TDeferExceptionReports();
    ~TDeferExceptionReports();
    TDeferExceptionReports(const TDeferExceptionReports&) = delete;
    TDeferExceptionReports& operator=(const TDeferExceptionReports&) = delete;
};
// True inside a TDeferExceptionReports scope or while a report is being shown.
bool ExceptionReportsDeferred();
// Shows what is queued, unless reports are deferred right now. Returns how many were shown.
int ReportQueuedExceptions() noexcept;
// The messages of the waiting reports, oldest first.
std::vector<std::wstring> QueuedExceptionMessages();
// Drops the waiting reports; their messages go to the debugger output.
void DiscardQueuedExceptions() noexcept;

// The message of an exception: Exception::Message, the UTF-8 what() of another
// std::exception, or a fixed text for anything else.
std::wstring ExceptionMessage(std::exception_ptr error);

}  // namespace classlib
