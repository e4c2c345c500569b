// The commands on the value rows selected in the active registry window: delete, rename,
// copy or cut into the program's value clipboard, paste, and copying a value's name, full
// path or shown data as text. Writes record undo through the provider first.
//
// `key` is the selected key and `values` copies of the selected rows' records in list order
// (the commands ask questions, and the list may be filled again while a question is open:
// they hold nothing of the list); a null key does nothing. Registry failures are not
// reported: the refilled list shows the true state.
// Main thread only.
#pragma once

#include "app/commandhost.h"
#include "registry/regrecords.h"

#include <optional>
#include <string>
#include <vector>

namespace app {

using TSelectedValues = std::vector<registry::TVxRegValueClass>;

std::wstring ValueDeleteQuestion(const registry::TVxRegValueClass& value);
std::wstring ValueExistsMessage(const std::wstring& name);

// Asks for every value separately (unless "SetNoAllMessage"); a No skips only that value.
// A row whose value does not exist (the "(既定)" row of a key without a default value, or
// a value removed meanwhile) is skipped without a question or a record.
void DeleteValuesCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key,
                         TSelectedValues values);
// Renames the first selected value; a name that exists, letter case ignored, is refused
// with a message.
void RenameValueCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key,
                        TSelectedValues values);
// Empties the value clipboard, adds the rows with the cut flag, shows the clipboard page.
void CopyValuesToClipboard(const TCommandContext& c, TSelectedValues values, bool cut);
// Pastes the value clipboard entries `indexes` (all when none is given) into the key, from
// the last to the first: an existing value is recorded as overwritten before it is
// written, a value the paste made as created; an entry that would land on itself is
// skipped. Then drops the cut entries ("SetValueClip") or empties the value clipboard and
// refills the list.
void PasteValuesCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key,
                        std::optional<std::vector<int>> indexes = std::nullopt);
// The first selected value's name, full path, or the text the list shows for its data.
void CopyValueNameCommand(const TCommandContext& c, TSelectedValues values);
void CopyValueFullPathCommand(const TCommandContext& c, TSelectedValues values);
void CopyValueDataCommand(const TCommandContext& c, TSelectedValues values);

}  // namespace app
