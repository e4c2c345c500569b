// The exceptions of the wide layer and the resource-name test the Unicode controls use.
// Any thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "classlib/errors.h"

namespace wide {

// Internal consistency errors of the wide layer (programming errors, English messages).
class EWideInternalError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// Errors of the wide layer caused by data or requests ("Invalid UTF7", a folder that
// cannot be created).
class EWideGeneralError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// True when a resource-name pointer is an integer identifier (its high word is 0).
inline bool IsIntResource(const void* value) {
    return (reinterpret_cast<uintptr_t>(value) >> 16) == 0;
}

}  // namespace wide
