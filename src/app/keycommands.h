// The commands on the key selected in the active registry window: new key, delete, rename,
// copy or cut into the program's key clipboard, paste, expand all, and copying the key's
// name or full path as text. Each asks where it destroys data, records undo through the
// provider and ends with the host's refresh.
//
// `key` is the selected key; null (no active window or no key) makes every command do
// nothing. The delete, rename, copy and cut commands also do nothing for a root key, so
// no caller can reach a root whatever the enabled states say. Registry failures are not
// reported: the refresh shows the true state. Main thread only.
#pragma once

#include "app/actiontable.h"
#include "app/commandhost.h"
#include "registry/regrecords.h"

#include <optional>
#include <string>
#include <vector>

namespace app {

// --- Texts -----------------------------------------------------------------------------

std::wstring KeyDeleteQuestion(const registry::TVxRegKeyClass& key);
// The refusal of an existing name, for a new or renamed key.
std::wstring KeyExistsMessage(const std::wstring& name);
std::wstring KeyOverwriteQuestion(const registry::TVxRegKeyClass& entry,
                                  const registry::TVxRegKeyClass& target);
extern const wchar_t* const ExpandAllQuestion;
// Asked whatever "SetNoAllMessage" says when a key could not be backed up completely:
// deleting (or moving) it then cannot be undone.
extern const wchar_t* const KeyBackupFailedQuestion;

// --- Commands --------------------------------------------------------------------------

// Asks the name; a name that exists already is refused with a message (no key is opened
// and nothing recorded); a new key is recorded as created.
void NewKeyCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key);
// Asks (unless "SetNoAllMessage"), backs the key up through the provider and deletes it
// with progress. A backup that fails is never passed over silently: the user is asked
// whether to delete without undo.
void DeleteKeyCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key);
// Asks the new name; the same name does nothing; a sibling of that name, letter case
// ignored (also a change of case only), is refused with a message.
void RenameKeyCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key);
// Empties the key clipboard, adds the key (not a root) with the cut flag, shows the
// clipboard page of the tool panel.
void CopyKeyToClipboard(const TCommandContext& c, const registry::TVxRegKeyClass* key, bool cut);
// Pastes key clipboard entry `index` below the key. Over an existing subkey of that name
// the overwrite question is asked (always) and nothing is recorded; otherwise a key the
// paste made is recorded as created, also when the paste was cancelled half-way (so that
// undo removes the part copied). False when the user cancelled the work.
bool PasteKeyEntry(const TCommandContext& c, const registry::TVxRegKeyClass& key, int index);
// Pastes the entries `indexes` (all of them when none is given), from the last to the
// first, stopping at a cancel; then drops the cut entries ("SetKeyClip") or empties the
// key clipboard, and refreshes.
void PasteKeysCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key,
                      std::optional<std::vector<int>> indexes = std::nullopt);
// Asks (unless "SetNoAllMessage"), then expands the subtree.
void ExpandAllKeyCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key);
void CopyKeyNameCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key);
void CopyKeyFullPathCommand(const TCommandContext& c, const registry::TVxRegKeyClass* key);

// --- Generic edit commands ---------------------------------------------------------------

// The key or value command a generic edit command runs: the key twin when the key tree has
// the focus, the value twin otherwise; none for any other action.
std::optional<TActionId> GenericCommandTarget(TActionId generic, bool treeFocused);

}  // namespace app
