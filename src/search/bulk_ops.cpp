#include "search/bulk_ops.h"

#include "classlib/streams.h"
#include "controls/wide/wideutils.h"
#include "registry/regops.h"
#include "search/find_lists.h"
#include "search/find_matcher.h"

#include <algorithm>
#include <cstring>

namespace search {

using registry::TVxRegFindClass;
using registry::TVxRegKeyClass;

const wchar_t* const kBulkDangerQuestion =
    L"この機能はこのソフトウェアが持つ機能で最高の危険度を持つものです。\r\n"
    L"適当に使うとWindowsのシステムを一撃で再起不能にし\r\n"
    L"万が一このソフトにバグがあった場合もOSの再インストールは避けられない事態になります。\r\n"
    L"\r\n"
    L"どちらの場合にも、作者による保障などは一切ありません。\r\n"
    L"本当にこの機能を利用しますか？";

const wchar_t* const kRegexMissingMessage = L"鬼車のロードに失敗しています。置換処理を中断します。";
const wchar_t* const kRegexMissingPreview = L"(鬼車のロードに失敗)";

const std::vector<std::wstring>& BulkDeleteQuestions() {
    static const std::vector<std::wstring> questions = {
        L"この機能を使うことで検索欄に表示されているアイテムが\r\n"
        L"全て削除されます。一応アンドゥは作成しますが過信はしないでください。\r\n"
        L"また、削除したくないアイテムは検索欄を右クリックし、メニューから除去できます。\r\n"
        L"確認が終わったら先へ進んでください。削除を実行します。",
        L"本当に削除してよろしいですか？",
        L"本当に本当によろしいですか？",
    };
    return questions;
}

const std::vector<std::wstring>& BulkReplaceQuestions() {
    static const std::vector<std::wstring> questions = {
        L"本当に置換を実行してよろしいですか？",
        L"本当に本当によろしいですか？",
    };
    return questions;
}

bool AskInTurn(const std::vector<std::wstring>& questions, const TAskYesNo& ask) {
    for (const auto& q : questions)
        if (!ask || !ask(q)) return false;
    return true;
}

size_t TBulkReport::Count(TBulkResult result) const {
    return static_cast<size_t>(
        std::count_if(Items.begin(), Items.end(), [&](const TBulkItem& i) { return i.Result == result; }));
}

TVxRegKeyClass HitKey(const TVxRegFindClass& hit) { return registry::MakeRegKeyRecord(hit.FRootKey, hit.FPath); }

namespace {

bool KeyExists(const TVxRegKeyClass& key) { return static_cast<bool>(registry::OpenKeyForRead(key)); }

// Reads a value's type and bytes; false when it cannot be read.
bool ReadValue(const TVxRegKeyClass& key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    classlib::TMemoryStream stream;
    bool mismatch = false;
    if (!registry::ReadRegValueToStream(key, name, stream, type, mismatch)) return false;
    const auto* bytes = static_cast<const BYTE*>(stream.Memory());
    data.assign(bytes, bytes + stream.Size());
    return true;
}

// Removes the record appended since the list had `before` records (a change that failed).
void DropRecordsSince(undo::TVxRegClipUndoProvider& undo, size_t before) {
    while (undo.UndoList().size() > before) undo.DeleteUndoEntry(static_cast<int>(undo.UndoList().size()) - 1);
}

// The text of REG_SZ / REG_EXPAND_SZ data covers it: the text's units, then only zero bytes.
bool StringCovered(const std::vector<BYTE>& data, const std::wstring& text) {
    const size_t used = text.size() * 2;
    if (used > data.size()) return false;
    return std::all_of(data.begin() + static_cast<ptrdiff_t>(used), data.end(), [](BYTE b) { return b == 0; });
}

// The lines of a multi-string's search text (each string followed by CR LF).
std::vector<std::wstring> MultiTextLines(const std::wstring& text) { return StartKeysFromText(text); }

}  // namespace

// --- Multi-strings ----------------------------------------------------------------------

bool SplitMultiString(const BYTE* data, size_t size, std::vector<std::wstring>& strings) {
    strings.clear();
    if (size % 2 != 0) return false;
    const size_t units = size / 2;
    auto unit = [&](size_t i) {
        wchar_t c;
        std::memcpy(&c, data + i * 2, 2);
        return c;
    };
    size_t i = 0;
    while (i < units) {
        const size_t start = i;
        while (i < units && unit(i) != 0) ++i;
        if (i == start) break;  // the empty string ends the list
        std::wstring s(i - start, L'\0');
        std::memcpy(s.data(), data + start * 2, (i - start) * 2);
        if (s.find_first_of(L"\r\n") != std::wstring::npos) return false;
        strings.push_back(std::move(s));
        ++i;
    }
    for (; i < units; ++i)
        if (unit(i) != 0) return false;
    return true;
}

std::vector<BYTE> JoinMultiString(const std::vector<std::wstring>& strings) {
    std::wstring all;
    for (const auto& s : strings) {
        all += s;
        all.push_back(L'\0');
    }
    all.push_back(L'\0');
    std::vector<BYTE> data(all.size() * 2);
    std::memcpy(data.data(), all.data(), data.size());
    return data;
}

// --- Bulk delete ----------------------------------------------------------------------

TBulkReport DeleteHits(const TVxRegFindList& hits, undo::TVxRegClipUndoProvider& undo) {
    TBulkReport report;
    for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        const TVxRegFindClass& hit = **it;
        const TVxRegKeyClass key = HitKey(hit);
        TBulkResult result = TBulkResult::Done;
        const size_t before = undo.UndoList().size();
        if (hit.FHitKind == 0) {
            if (hit.FPath.empty()) {
                result = TBulkResult::Root;
            } else if (!KeyExists(key)) {
                result = TBulkResult::Missing;
            } else if (!undo.RecordKeyDeleted(key)) {
                result = TBulkResult::NoBackup;
            } else if (!registry::DeleteRegKeyTree(key.FRootKey, key.FPath)) {
                DropRecordsSince(undo, before);
                result = TBulkResult::Failed;
            }
        } else if (!registry::RegValueExists(key, hit.FValueName)) {
            result = TBulkResult::Missing;
        } else {
            undo.RecordValueDeleted(key, hit.FValueName, hit.FValueType);
            if (!registry::DeleteRegValue(key, hit.FValueName)) {
                DropRecordsSince(undo, before);
                result = TBulkResult::Failed;
            }
        }
        report.Items.push_back({&hit, result});
    }
    return report;
}

std::wstring BulkDeleteNoBackupText(const TBulkReport& report) {
    std::wstring keys;
    for (const auto& item : report.Items)
        if (item.Result == TBulkResult::NoBackup) keys += L"\r\n" + item.Hit->FFullPath;
    if (keys.empty()) return {};
    return L"次のキーはアンドゥ用のバックアップを作成できなかったため削除していません。" + keys;
}

// --- Bulk replace ---------------------------------------------------------------------

std::vector<const TVxRegFindClass*> FilterReplaceHits(const TVxRegFindList& all, const TReplaceOptions& options) {
    std::vector<const TVxRegFindClass*> shown;
    for (const auto& h : all) {
        bool admit = false;
        switch (h->FHitKind) {
        case 0: admit = options.KeyNames; break;
        case 1: admit = options.ValueNames; break;
        case 2:
            admit = options.ValueData &&
                    ((h->FValueType == REG_SZ && options.RegSZ) || (h->FValueType == REG_EXPAND_SZ && options.ExpandSZ) ||
                     (h->FValueType == REG_MULTI_SZ && options.MultiSZ));
            break;
        default: break;
        }
        if (admit) shown.push_back(h.get());
    }
    return shown;
}

TBulkReplacer::TBulkReplacer(const TWendlarFindRecord& record, const std::wstring& regexLibrary) : FRecord(record) {
    if (!FRecord.UseRegex) return;
    FRegex = std::make_unique<TVxOnigurumaRegExp>(regexLibrary);
    if (!FRegex->Loaded()) {
        FRegex.reset();
        return;
    }
    FRegex->SetPattern(FRecord.Keyword);
}

TBulkReplacer::~TBulkReplacer() = default;

std::wstring TBulkReplacer::Replace(const std::wstring& source, const std::wstring& replacement) {
    if (FRecord.UseRegex) {
        if (!FRegex) return source;
        std::wstring result;
        FRegex->Replace(source, replacement, result);
        return result;
    }
    unsigned flags = wide::rfReplaceAll | (FRecord.IgnoreCase ? wide::rfIgnoreCase : 0u);
    return wide::WideStringReplace(source, FRecord.Keyword, replacement, flags);
}

std::wstring TBulkReplacer::Preview(const TVxRegFindClass& hit, const std::wstring& replacement) {
    if (RegexMissing()) return kRegexMissingPreview;
    if (hit.FHitKind == 2 && hit.FValueType == REG_MULTI_SZ) {
        std::wstring text;
        for (const auto& line : MultiTextLines(hit.FDataText)) text += Replace(line, replacement) + L"\r\n";
        return text;
    }
    return Replace(hit.FDataText, replacement);
}

TBulkReport TBulkReplacer::Run(const std::vector<const TVxRegFindClass*>& shown, const std::wstring& replacement,
                               undo::TVxRegClipUndoProvider& undo, const TBulkValueWriters& writers,
                               bool noMessage, const TAskYesNo& ask) {
    TBulkReport report;
    if (!noMessage && !AskInTurn(BulkReplaceQuestions(), ask)) {
        report.Outcome = TBulkOutcome::Cancelled;
        return report;
    }
    if (RegexMissing()) {
        report.Outcome = TBulkOutcome::RegexMissing;
        return report;
    }
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        const TVxRegFindClass& hit = **it;
        TBulkResult result = TBulkResult::Failed;
        switch (hit.FHitKind) {
        case 0: result = ReplaceKeyName(hit, replacement, undo); break;
        case 1: result = ReplaceValueName(hit, replacement, undo); break;
        case 2: result = ReplaceData(hit, replacement, writers); break;
        default: break;
        }
        report.Items.push_back({&hit, result});
    }
    return report;
}

TBulkResult TBulkReplacer::ReplaceKeyName(const TVxRegFindClass& hit, const std::wstring& replacement,
                                          undo::TVxRegClipUndoProvider& undo) {
    if (hit.FPath.empty()) return TBulkResult::Root;
    const std::wstring newName = Replace(hit.FKeyName, replacement);
    if (newName.empty()) return TBulkResult::EmptyName;
    if (newName.find(L'\\') != std::wstring::npos) return TBulkResult::Backslash;
    if (registry::SameRegName(newName, hit.FKeyName)) return TBulkResult::SameName;
    const TVxRegKeyClass key = HitKey(hit);
    if (!KeyExists(key)) return TBulkResult::Missing;
    if (registry::SiblingKeyExists(key, newName)) return TBulkResult::Exists;
    if (!registry::RenameRegKey(key, newName)) return TBulkResult::Failed;
    undo.RecordKeyRenamed(key, newName, hit.FKeyName);
    return TBulkResult::Done;
}

TBulkResult TBulkReplacer::ReplaceValueName(const TVxRegFindClass& hit, const std::wstring& replacement,
                                            undo::TVxRegClipUndoProvider& undo) {
    const std::wstring newName = Replace(hit.FValueName, replacement);
    if (newName.empty()) return TBulkResult::EmptyName;
    if (registry::SameRegName(newName, hit.FValueName)) return TBulkResult::SameName;
    const TVxRegKeyClass key = HitKey(hit);
    if (!registry::RegValueExists(key, hit.FValueName)) return TBulkResult::Missing;
    if (registry::RegValueExists(key, newName)) return TBulkResult::Exists;
    if (!registry::RenameRegValue(key, hit.FValueName, newName)) return TBulkResult::Failed;
    undo.RecordValueRenamed(key, hit.FValueName, newName);
    return TBulkResult::Done;
}

TBulkResult TBulkReplacer::ReplaceData(const TVxRegFindClass& hit, const std::wstring& replacement,
                                       const TBulkValueWriters& writers) {
    const TVxRegKeyClass key = HitKey(hit);
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (!ReadValue(key, hit.FValueName, type, data)) return TBulkResult::Missing;
    std::wstring text;
    FindDataText(type, data.data(), data.size(), text);
    if (type != hit.FValueType || text != hit.FDataText) return TBulkResult::Changed;
    if (type == REG_MULTI_SZ) {
        std::vector<std::wstring> strings;
        if (!SplitMultiString(data.data(), data.size(), strings)) return TBulkResult::NotCovered;
        bool changed = false;
        for (auto& s : strings) {
            std::wstring replaced = Replace(s, replacement);
            changed = changed || replaced != s;
            s = std::move(replaced);
        }
        if (!changed) return TBulkResult::Unchanged;
        if (!writers.WriteData) return TBulkResult::Failed;
        writers.WriteData(key, hit.FValueName, REG_MULTI_SZ, JoinMultiString(strings));
        return TBulkResult::Done;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return TBulkResult::Changed;
    if (!StringCovered(data, text)) return TBulkResult::NotCovered;
    std::wstring replaced = Replace(text, replacement);
    if (replaced == text) return TBulkResult::Unchanged;
    if (!writers.WriteString) return TBulkResult::Failed;
    writers.WriteString(key, hit.FValueName, type, replaced);
    return TBulkResult::Done;
}

}  // namespace search
