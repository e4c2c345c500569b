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

}  // namespace classlib
