#include "classlib/errors.h"

#include <windows.h>

namespace classlib {

const char* Exception::what() const noexcept {
    if (FNarrow.empty() && !FMessage.empty()) {
        int n = WideCharToMultiByte(CP_UTF8, 0, FMessage.data(), static_cast<int>(FMessage.size()),
                                    nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            FNarrow.resize(static_cast<size_t>(n));
            WideCharToMultiByte(CP_UTF8, 0, FMessage.data(), static_cast<int>(FMessage.size()),
                                FNarrow.data(), n, nullptr, nullptr);
        }
    }
    return FNarrow.c_str();
}

namespace {

std::function<void(TComponent*)>& Handler() {
    static std::function<void(TComponent*)> handler;
    return handler;
}

}  // namespace

std::function<void(TComponent* sender)> SetExceptionHandler(std::function<void(TComponent* sender)> handler) {
    std::swap(Handler(), handler);
    return handler;
}

void HandleCurrentException(TComponent* sender) {
    try {
        if (Handler()) {
            Handler()(sender);
            return;
        }
        throw;
    } catch (const Exception& e) {
        OutputDebugStringW(e.Message().c_str());
    } catch (...) {
        // Nothing can be shown or passed on here; the caller goes on.
    }
}

}  // namespace classlib
