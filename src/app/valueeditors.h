// The editor dialogs of the value road: which dialog a value kind opens, how it is filled
// and what is read back on OK.
//
// Main thread only.
#pragma once

#include "app/valueio.h"

#include <optional>
#include <string>

namespace classlib {
class TComponent;
}

namespace app {

// Shows the editor of `kind` modally, owned by `owner`. `existingName`: the name of the
// value being edited (shown read-only, coloured like its group), or null for a new value
// (an editable empty name). `text`: the text of the text editors, the decimal text of the
// number editors. The answer on OK: the name and the text (decimal text) of the dialog;
// Type is left for the caller. None on cancel, and for the kinds that have no dialog here
// (multi-line strings and binary data).
std::optional<TValueEditorResult> RunValueEditor(classlib::TComponent* owner, TValueEditorKind kind,
                                                 const std::wstring* existingName, const std::wstring& text);

}  // namespace app
