#include "classlib/errors.h"

#include "classlib/component.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace classlib {

namespace {

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    const int length = static_cast<int>(std::min<size_t>(text.size(), 0x7FFFFFFF));
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), n, nullptr, nullptr);
    }
    return out;
}

}  // namespace

Exception::Exception(std::wstring message, int helpContext)
    : FMessage(std::move(message)), FHelpContext(helpContext), FNarrow(ToUtf8(FMessage)) {}

void Exception::SetMessage(std::wstring message) {
    FNarrow = ToUtf8(message);
    FMessage = std::move(message);
}

namespace {

std::function<void(TComponent*)>& Handler() {
    static std::function<void(TComponent*)> handler;
    return handler;
}

// The funnel's state (main thread only): open deferral scopes, whether a report is being
// shown, and the reports waiting for the message loop.
struct TReportQueue {
    int DeferDepth = 0;
    bool Reporting = false;
    std::vector<std::pair<std::exception_ptr, std::wstring>> Waiting;
};

TReportQueue& Queue() {
    static TReportQueue queue;
    return queue;
}

std::wstring FromUtf8(const char* s) {
    if (!s || !*s) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
    w.resize(wcslen(w.c_str()));
    return w;
}

bool IsAbort(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return true;
    } catch (...) {
        return false;
    }
}

// Hands one exception to the reporter, inside a catch block of it.
void Deliver(const std::exception_ptr& error, TComponent* sender) {
    TReportQueue& q = Queue();
    bool wasReporting = std::exchange(q.Reporting, true);
    try {
        try {
            std::rethrow_exception(error);
        } catch (...) {
            if (Handler()) Handler()(sender);
            else OutputDebugStringW(ExceptionMessage(error).c_str());
        }
    } catch (...) {
        // The reporter itself failed: nothing can be shown or passed on here.
    }
    q.Reporting = wasReporting;
}

}  // namespace

std::wstring ExceptionMessage(std::exception_ptr error) {
    if (!error) return {};
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return L"Unknown error";
    }
}

std::function<void(TComponent* sender)> SetExceptionHandler(std::function<void(TComponent* sender)> handler) {
    std::swap(Handler(), handler);
    return handler;
}

void HandleCurrentException(TComponent* sender) noexcept { ReportException(std::current_exception(), sender); }

void ReportException(std::exception_ptr error, TComponent* sender) noexcept {
    if (!error || IsAbort(error)) return;
    try {
        bool destroying = sender && (sender->ComponentState() & csDestroying);
        if (!ExceptionReportsDeferred() && !destroying) {
            Deliver(error, sender);
            return;
        }
        std::wstring text = ExceptionMessage(error);
        auto& waiting = Queue().Waiting;
        for (const auto& w : waiting)
            if (w.second == text) return;
        waiting.emplace_back(std::move(error), std::move(text));
    } catch (...) {
        // Out of memory while queueing: the report is lost, the caller goes on.
    }
}

TDeferExceptionReports::TDeferExceptionReports() { ++Queue().DeferDepth; }

TDeferExceptionReports::~TDeferExceptionReports() { --Queue().DeferDepth; }

bool ExceptionReportsDeferred() {
    const TReportQueue& q = Queue();
    return q.DeferDepth > 0 || q.Reporting;
}

int ReportQueuedExceptions() noexcept {
    TReportQueue& q = Queue();
    int shown = 0;
    // A report shown here may queue more (its box runs a message loop): they come next,
    // one box after the other.
    while (!q.Waiting.empty() && !ExceptionReportsDeferred()) {
        std::exception_ptr error = std::move(q.Waiting.front().first);
        q.Waiting.erase(q.Waiting.begin());
        Deliver(error, nullptr);
        ++shown;
    }
    return shown;
}

std::vector<std::wstring> QueuedExceptionMessages() {
    std::vector<std::wstring> list;
    for (const auto& w : Queue().Waiting) list.push_back(w.second);
    return list;
}

void DiscardQueuedExceptions() noexcept {
    for (const auto& w : Queue().Waiting) OutputDebugStringW(w.second.c_str());
    Queue().Waiting.clear();
}

}  // namespace classlib
