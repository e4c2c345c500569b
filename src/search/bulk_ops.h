// The two bulk operations over a search's hits: delete everything found, and replace the
// matched text in key names, value names and string data.
//
// Both walk the hits from the last to the first. The hits are in the search's walk order,
// where a key comes before everything below it, so everything below a key is dealt with
// before the key itself, and the paths of the hits still to come stay valid when a key is
// renamed or deleted.
//
// Both work from the registry as it is when they run, not only from what the search saw:
// - a hit whose key or value is gone is skipped (so a value hit twice, by name and by
//   data, is deleted once and recorded once);
// - replace reads each value's data again and skips it when its text is no longer the
//   text the search found, or when that text did not cover the whole data (a string with
//   more after its first NUL, a multi-string with strings after an empty one or with a
//   line break inside a string): rewriting it from the text would lose the rest.
// Multi-strings are replaced string by string (a match never spans two strings, and a
// string the replacement empties stays, empty, in its place).
//
// Every change is recorded in the undo provider: renames after they succeeded, data by
// the value writers (old data first), deletions before they happen (a key deletion only
// when its backup could be made; a record whose deletion then failed is removed again).
//
// Main thread only (the undo provider is).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "registry/regrecords.h"
#include "search/find_record.h"
#include "search/onig_regexp.h"
#include "undo/undoprovider.h"

namespace search {

// The questions of the bulk operations (warning type, Yes and No).
extern const wchar_t* const kBulkDangerQuestion;
// The bulk delete's three further questions (skipped with "SetNoMessage").
const std::vector<std::wstring>& BulkDeleteQuestions();
// The bulk replace dialog's two questions at OK (skipped with "SetNoMessage").
const std::vector<std::wstring>& BulkReplaceQuestions();
// The message when regular-expression replacement is asked for without the library, and
// the preview text then.
extern const wchar_t* const kRegexMissingMessage;
extern const wchar_t* const kRegexMissingPreview;

// Asks each question in turn; false at the first answer that is not Yes.
using TAskYesNo = std::function<bool(const std::wstring& question)>;
bool AskInTurn(const std::vector<std::wstring>& questions, const TAskYesNo& ask);

// What happened to one hit.
enum class TBulkResult {
    Done,
    Root,        // a key hit of a root: never renamed or deleted
    EmptyName,   // the new name is empty
    Backslash,   // the new key name holds "\" (it would name another key)
    SameName,    // the new name equals the old one ignoring case
    Exists,      // a key or value of the new name exists already
    Missing,     // the key or value is gone
    Changed,     // the value's type or text is no longer what the search found
    NotCovered,  // the hit's text did not cover the whole data
    Unchanged,   // the replacement leaves the data as it is
    NoBackup,    // the key could not be backed up for undo: not deleted
    Failed,      // the registry refused the change
};

struct TBulkItem {
    const registry::TVxRegFindClass* Hit = nullptr;
    TBulkResult Result = TBulkResult::Done;
};

enum class TBulkOutcome {
    Done,          // the walk went through every hit
    Cancelled,     // a question was answered No: nothing changed
    RegexMissing,  // regular-expression replacement without the library: nothing changed
};

struct TBulkReport {
    TBulkOutcome Outcome = TBulkOutcome::Done;
    std::vector<TBulkItem> Items;  // in the order handled (last hit first)
    size_t Count(TBulkResult result) const;
};

// The key a hit belongs to, as a key record (a value hit's full path names the value).
registry::TVxRegKeyClass HitKey(const registry::TVxRegFindClass& hit);

// --- Bulk delete ----------------------------------------------------------------------

// Deletes what every hit names, from the last hit to the first: a key hit its key with
// everything below it (backed up and recorded first), a value hit its value (recorded
// first).
TBulkReport DeleteHits(const TVxRegFindList& hits, undo::TVxRegClipUndoProvider& undo);
// The notice for keys that were not deleted because no backup could be made; empty when
// there are none.
std::wstring BulkDeleteNoBackupText(const TBulkReport& report);

// --- Bulk replace ---------------------------------------------------------------------

// The six check boxes of the bulk replace dialog, all checked at start.
struct TReplaceOptions {
    bool ValueNames = true;  // "値の名前を置換する"
    bool ValueData = true;   // "値を置換する"
    bool RegSZ = true;       // "REG_SZを置換する"
    bool ExpandSZ = true;    // "REG_EXPAND_SZを置換する"
    bool MultiSZ = true;     // "REG_MULTI_SZを置換する"
    bool KeyNames = true;    // "キーの名前を置換する"
};

// The hits the options admit, in list order: key hits with KeyNames, value-name hits with
// ValueNames, data hits of REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ with ValueData and their
// type's box. Nothing else is ever shown.
std::vector<const registry::TVxRegFindClass*> FilterReplaceHits(const TVxRegFindList& all,
                                                                const TReplaceOptions& options);

// The value writers of the main window, which record undo themselves (old data first).
struct TBulkValueWriters {
    // REG_SZ or REG_EXPAND_SZ text.
    std::function<void(const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                       const std::wstring& text)>
        WriteString;
    // Data of any type as it is (the multi-strings).
    std::function<void(const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                       const std::vector<BYTE>& data)>
        WriteData;
};

// The replacement of one search's matches. Made once per dialog: in regular-expression
// mode the library is bound and the keyword compiled here, once.
class TBulkReplacer {
public:
    // `regexLibrary` as for TVxOnigurumaRegExp (a bare name: the program's folder).
    explicit TBulkReplacer(const TWendlarFindRecord& record, const std::wstring& regexLibrary = L"onig.dll");
    ~TBulkReplacer();

    const TWendlarFindRecord& Record() const { return FRecord; }
    // Regular-expression mode without a loaded library.
    bool RegexMissing() const { return FRecord.UseRegex && !FRegex; }

    // `source` with the record's matches replaced: in regular-expression mode every match
    // by `replacement` expanded ("\0" to "\9", "\\"; always ignoring case); plainly every
    // occurrence of the keyword, ignoring case when IgnoreCase (WholeMatch plays no part).
    // Without the library the text is unchanged.
    std::wstring Replace(const std::wstring& source, const std::wstring& replacement);
    // The preview of a hit: its key name, value name or data text replaced (a multi-string
    // text line by line); kRegexMissingPreview in regular-expression mode without the
    // library.
    std::wstring Preview(const registry::TVxRegFindClass& hit, const std::wstring& replacement);

    // The dialog's OK: unless `noMessage`, asks BulkReplaceQuestions (a No ends it, nothing
    // changed); then, in regular-expression mode without the library, ends with
    // RegexMissing (the caller beeps and shows kRegexMissingMessage); otherwise renames and
    // rewrites every shown hit from the last to the first.
    TBulkReport Run(const std::vector<const registry::TVxRegFindClass*>& shown, const std::wstring& replacement,
                    undo::TVxRegClipUndoProvider& undo, const TBulkValueWriters& writers, bool noMessage,
                    const TAskYesNo& ask);

private:
    TBulkResult ReplaceKeyName(const registry::TVxRegFindClass& hit, const std::wstring& replacement,
                               undo::TVxRegClipUndoProvider& undo);
    TBulkResult ReplaceValueName(const registry::TVxRegFindClass& hit, const std::wstring& replacement,
                                 undo::TVxRegClipUndoProvider& undo);
    TBulkResult ReplaceData(const registry::TVxRegFindClass& hit, const std::wstring& replacement,
                            const TBulkValueWriters& writers);

    TWendlarFindRecord FRecord;
    std::unique_ptr<TVxOnigurumaRegExp> FRegex;  // null unless regular-expression mode with the library
};

// The strings of REG_MULTI_SZ data as the search's text shows them (up to the first empty
// string); false when that text would not cover the whole data (strings after an empty one,
// a string holding CR or LF, an odd number of bytes, bytes after the end that are not 0).
bool SplitMultiString(const BYTE* data, size_t size, std::vector<std::wstring>& strings);
// Every string followed by U+0000, then one more U+0000.
std::vector<BYTE> JoinMultiString(const std::vector<std::wstring>& strings);

}  // namespace search
