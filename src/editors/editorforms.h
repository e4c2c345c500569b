// The name field of an existing value, as every value editor shows it.
//
// Main thread only.
#pragma once

#include <string>

namespace wide {
class TWideCustomEdit;
}

namespace editors {

// The name, read-only, in the button face colour of the dialog around it (an existing
// value keeps its name in the editors).
void ShowExistingValueName(wide::TWideCustomEdit& edit, const std::wstring& name);

}  // namespace editors
