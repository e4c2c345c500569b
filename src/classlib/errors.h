// Exceptions of the class-library layer.
//
// Every error the program raises is an `Exception` (or a named descendant) carrying a
// UTF-16 message and a help context. Window procedures, hooks, COM methods and thread
// procedures never let one escape: they hand it to Application->HandleException.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace classlib {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message, int helpContext = 0)
        : FMessage(std::move(message)), FHelpContext(helpContext) {}

    const std::wstring& Message() const noexcept { return FMessage; }
    void SetMessage(std::wstring message) { FMessage = std::move(message); FNarrow.clear(); }
    int HelpContext() const noexcept { return FHelpContext; }

    // UTF-8 form of the message, for std::exception users (test output, logs).
    const char* what() const noexcept override;

private:
    std::wstring FMessage;
    int FHelpContext;
    mutable std::string FNarrow;
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

// Where exceptions go that must not travel further (window procedures, timers, hooks):
// call HandleCurrentException inside the catch block. It hands the exception to the
// handler set with SetExceptionHandler (TApplication installs one that shows the message);
// the handler runs inside the catch block, so `throw;` or std::current_exception() reach
// the exception. Without a handler the message goes to the debugger output. Never throws.
// SetExceptionHandler returns the handler it replaces. Main thread only.
std::function<void(TComponent* sender)> SetExceptionHandler(std::function<void(TComponent* sender)> handler);
void HandleCurrentException(TComponent* sender);

}  // namespace classlib
