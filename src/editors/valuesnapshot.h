// Guards an edit against a change made meanwhile by another program: the value is
// remembered (type and bytes, or its absence) when its editor opens, and before the
// editor's result is written the value is read again; when it differs, the user is asked
// whether to overwrite it, instead of the other program's change being lost unseen.
//
// Main thread (the question is a modal box); the snapshot functions on any thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "registry/regrecords.h"

namespace editors {

struct TValueSnapshot {
    bool Exists = false;
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;

    bool operator==(const TValueSnapshot&) const = default;
};

// The value `name` of `key` as it is now (absent when it cannot be read).
TValueSnapshot TakeValueSnapshot(const registry::TVxRegKeyClass& key, const std::wstring& name);

// The question asked when the value differs from its snapshot.
std::wstring ValueChangedQuestion(const registry::TVxRegKeyClass& key, const std::wstring& name);

// True when the editor's result may be written: the value is still as `before`, or
// `ask` (given the question; true for Yes) allows overwriting the change.
bool MayWriteEditedValue(const TValueSnapshot& before, const registry::TVxRegKeyClass& key,
                         const std::wstring& name, const std::function<bool(const std::wstring&)>& ask);

// The program's warning box with Yes and No for `ask`: true for Yes.
bool AskOverwriteChangedValue(const std::wstring& question);

}  // namespace editors
