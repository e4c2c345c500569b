// The editor dialogs of the value road: which dialog a value kind opens, how it is filled
// and what is read back on OK.
//
// Main thread only.
#pragma once

#include "app/valueio.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace classlib {
class TComponent;
}

namespace app {

// Shows the editor of `kind` modally, owned by `owner`. `existingName`: the name of the
// value being edited (shown read-only), or null for a new value (an editable empty name).
// `data`: the text of the text editors (one string per line for multi-line strings), the
// decimal text of the number editors, the bytes of the binary editor. `textEditor`: the
// external text editor the multi-line string editor offers. The answer on OK: the name and
// the text (decimal text) or bytes of the dialog; Type is left for the caller. None on cancel.
std::optional<TValueEditorResult> RunValueEditor(classlib::TComponent* owner, TValueEditorKind kind,
                                                 const std::wstring* existingName, const TValueEditorData& data,
                                                 const std::wstring& textEditor);

// How the binary editor shows a value's type: not at all, shown but fixed, or shown to be
// chosen.
enum class TBinaryTypeField { Hidden, Fixed, Chosen };

// The binary editor with `bytes` and the type selector at `type`; on OK the name, the bytes
// and, in Type, the chosen type (`type` unless the field is Chosen). None on cancel.
std::optional<TValueEditorResult> RunBinaryValueEditor(classlib::TComponent* owner, const std::wstring* existingName,
                                                       const std::vector<BYTE>& bytes, DWORD type,
                                                       TBinaryTypeField typeField);

}  // namespace app
