#include "undo/undoprovider.h"

#include "classlib/modalwait.h"
#include "classlib/runtime.h"
#include "registry/files.h"
#include "registry/reghive.h"
#include "registry/regops.h"
#include "registry/regtext.h"
#include "undo/undofile_p.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace undo {

using namespace registry;

namespace {

constexpr wchar_t kRenameArrow = L'\x2192';

bool DirectoryExists(const std::wstring& dir) {
    if (dir.empty()) return false;
    DWORD attributes = GetFileAttributesW(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& file) {
    DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Parent + "\" + name; name alone below a root (empty parent path).
std::wstring JoinPath(const std::wstring& parent, const std::wstring& name) {
    return parent.empty() ? name : parent + L"\\" + name;
}

// A starts with B followed by "\", ignoring case (A lies inside B's subtree).
bool IsBelow(const std::wstring& a, const std::wstring& b) {
    return a.size() > b.size() + 1 && a[b.size()] == L'\\' &&
           SameRegName(a.substr(0, b.size()), b);
}

template <typename List>
bool ValidIndex(const List& list, int index) {
    return index >= 0 && static_cast<size_t>(index) < list.size();
}

// The text of a UTF-16LE file with byte-order mark (the form of the backups); False for
// any other file or when it cannot be read.
bool ReadUtf16File(const std::wstring& file, std::wstring& text) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(handle, &size) && size.QuadPart >= 2 && size.QuadPart % 2 == 0 &&
              size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        text.assign(static_cast<size_t>(size.QuadPart) / 2, L'\0');
        DWORD read = 0;
        ok = ReadFile(handle, text.data(), classlib::Win32Size<DWORD>(size.QuadPart), &read, nullptr) &&
             read == size.QuadPart && text[0] == L'\xFEFF';
    }
    CloseHandle(handle);
    return ok;
}

bool FileHoldsExactly(const std::wstring& file, const void* data, size_t size) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER fileSize{};
    bool same = GetFileSizeEx(handle, &fileSize) &&
                static_cast<uint64_t>(fileSize.QuadPart) == static_cast<uint64_t>(size);
    std::vector<char> buffer(std::min<size_t>(size, 1 << 20));
    const char* expected = static_cast<const char*>(data);
    for (size_t done = 0; same && done < size;) {
        const DWORD chunk = classlib::Win32Size<DWORD>(std::min(buffer.size(), size - done));
        DWORD read = 0;
        same = ReadFile(handle, buffer.data(), chunk, &read, nullptr) && read == chunk &&
               std::memcmp(buffer.data(), expected + done, chunk) == 0;
        done += chunk;
    }
    CloseHandle(handle);
    return same;
}

// The backup of a key about to be deleted: the program's own script of the whole subtree
// (UTF-16LE with byte-order mark), which keeps every value's type and bytes exactly where
// an export by the system registry editor changes odd data (short numbers, strings with an
// embedded NUL, odd-length or unterminated strings). True only when the script holds every
// key and value exactly and the file reads back byte for byte as written.
bool WriteKeyBackup(const TVxRegKeyClass& key, const std::wstring& file, const TRegTreeProgress* progress) {
    try {
        std::wstring script(1, L'\xFEFF');
        std::wstring text;
        if (!BuildKeyTreeRegScript(key, text, progress)) return false;
        script += text;
        text = std::wstring();
        const size_t size = script.size() * sizeof(wchar_t);
        classlib::SaveBytesToFileAtomic(file, script.data(), size);
        // Read back as it will be at undo time: whole, and holding the key's own section.
        std::vector<TRegScriptKey> keys;
        return FileHoldsExactly(file, script.data(), size) &&
               IsCompleteRegScript(file, key.FFullPath) && ParseOwnRegScript(script, keys) &&
               !keys.empty() && keys.front().FullPath == key.FFullPath;
    } catch (const std::exception&) {
        return false;  // no room for the script, or the file could not be written
    }
}

}  // namespace

TVxRegClipUndoProvider::TVxRegClipUndoProvider(classlib::TComponent* Owner)
    : classlib::TComponent(Owner) {}

TVxRegClipUndoProvider::~TVxRegClipUndoProvider() = default;

void TVxRegClipUndoProvider::DoChange() {
    if (OnChange) OnChange(this);
}

void TVxRegClipUndoProvider::DoChangeClipBord() {
    if (OnChangeClipBord) OnChangeClipBord(this);
}

void TVxRegClipUndoProvider::AssignUndoItemKey(TRegUndoItem& Item, const TVxRegKeyClass& Key) {
    Item.FDisplayName = Key.FDisplayName;
    Item.FKeyName = Key.FKeyName;
    Item.FPath = Key.FPath;
    Item.FFullPath = Key.FFullPath;
    Item.FRootKey = Key.FRootKey;
    Item.FComputerName = Key.FComputerName;
    Item.FOperation = uoCreated;
}

void TVxRegClipUndoProvider::HexTextToStream(const std::wstring& Hex, classlib::TStream& Stream) {
    std::vector<BYTE> bytes = HexTextToBytes(Hex);
    if (!bytes.empty()) Stream.WriteBuffer(bytes.data(), bytes.size());
}

void TVxRegClipUndoProvider::AppendRecord(std::unique_ptr<TRegUndoItem> Item) {
    FUndoList.push_back(std::move(Item));
    DoChange();
}

// --- Recording -------------------------------------------------------------------------

void TVxRegClipUndoProvider::RecordKeyCreated(const TVxRegKeyClass& Parent,
                                              const std::wstring& Name) {
    auto item = std::make_unique<TRegUndoItem>();
    AssignUndoItemKey(*item, Parent);
    item->FKind = ukKey;
    item->FOperation = uoCreated;
    item->FDisplayName = Name;
    item->FPath = JoinPath(Parent.FPath, Name);
    AppendRecord(std::move(item));
}

bool TVxRegClipUndoProvider::RecordKeyDeleted(const TVxRegKeyClass& Key, const TRegTreeProgress* Progress) {
    if (!KeyDeleteUndo) return true;
    // Copies: the export waits for the registry editor while messages are handled.
    const TVxRegKeyClass key = Key;
    std::wstring folder = RegistryScriptExportDir;
    std::wstring file = DirectoryExists(folder) ? MakeTempFileName(folder, L"reg", L".reg")
                                                : MakeTempFileNameInTempDir(L"reg", L".reg");
    if (file.empty()) return false;
    if (!WriteKeyBackup(key, file, Progress)) {
        DeleteFileW(file.c_str());
        return false;
    }
    auto item = std::make_unique<TRegUndoItem>();
    AssignUndoItemKey(*item, key);
    item->FKind = ukKey;
    item->FOperation = uoDeleted;
    item->FPayload = file;
    AppendRecord(std::move(item));
    return true;
}

void TVxRegClipUndoProvider::RecordKeyRenamed(const TVxRegKeyClass& Key,
                                              const std::wstring& NewName,
                                              const std::wstring& OldName) {
    auto item = std::make_unique<TRegUndoItem>();
    AssignUndoItemKey(*item, Key);
    item->FKind = ukKey;
    item->FOperation = uoRenamed;
    item->FKeyName = NewName;
    item->FFullPath = JoinPath(ExtractParentKeyPath(Key.FFullPath), NewName);
    item->FPath = JoinPath(ExtractParentKeyPath(Key.FPath), NewName);
    item->FOldName = OldName;
    AppendRecord(std::move(item));
}

void TVxRegClipUndoProvider::RecordValueCreated(const TVxRegKeyClass& Key,
                                                const std::wstring& Name, DWORD Type) {
    auto item = std::make_unique<TRegUndoItem>();
    AssignUndoItemKey(*item, Key);
    item->FKind = ukValue;
    item->FOperation = uoCreated;
    item->FValueName = Name;
    item->FDisplayName = Name;
    item->FValueType = Type;
    AppendRecord(std::move(item));
}

std::unique_ptr<TRegUndoItem> TVxRegClipUndoProvider::MakeValueDataRecord(
    const TVxRegKeyClass& Key, const std::wstring& Name, DWORD Type, uint8_t Operation) const {
    auto item = std::make_unique<TRegUndoItem>();
    AssignUndoItemKey(*item, Key);
    item->FKind = ukValue;
    item->FOperation = Operation;
    item->FValueName = Name;
    item->FDisplayName = Name;
    item->FValueType = Type;
    // The data and type the value has now, so that undo restores exactly this state.
    classlib::TMemoryStream stream;
    DWORD type = 0;
    bool sizeMismatch = false;
    if (ReadRegValueToStream(Key, Name, stream, type, sizeMismatch)) {
        const auto* data = static_cast<const BYTE*>(stream.Memory());
        item->FPayload = BytesToHexText(std::vector<BYTE>(data, data + stream.Size()));
        item->FValueType = type;
    }
    return item;
}

void TVxRegClipUndoProvider::RecordValueOverwritten(const TVxRegKeyClass& Key,
                                                    const std::wstring& Name, DWORD Type) {
    AppendRecord(MakeValueDataRecord(Key, Name, Type, uoChanged));
}

void TVxRegClipUndoProvider::RecordValueDeleted(const TVxRegKeyClass& Key,
                                                const std::wstring& Name, DWORD Type) {
    AppendRecord(MakeValueDataRecord(Key, Name, Type, uoDeleted));
}

void TVxRegClipUndoProvider::RecordValueRenamed(const TVxRegKeyClass& Key,
                                                const std::wstring& OldName,
                                                const std::wstring& NewName) {
    auto item = std::make_unique<TRegUndoItem>();
    AssignUndoItemKey(*item, Key);
    item->FKind = ukValue;
    item->FOperation = uoRenamed;
    item->FValueName = NewName;
    item->FValueType = 0;
    item->FPayload = OldName + kRenameArrow + NewName;
    item->FOldName = OldName;
    AppendRecord(std::move(item));
}

// --- Undo ------------------------------------------------------------------------------

std::vector<std::wstring> TVxRegClipUndoProvider::AllowedBackupDirs() const {
    return {RegistryScriptExportDir, file::SettingsUndoDir(), file::TempDir()};
}

bool TVxRegClipUndoProvider::UndoRecord(const TRegUndoItem& Item) {
    if (Item.FKind == ukKey) {
        switch (Item.FOperation) {
            case uoCreated:
                return DeleteRegKeyTree(Item.FRootKey, Item.FPath);
            case uoRenamed:
                return RenameRegKey(Item, Item.FOldName);
            case uoDeleted:
                // Only a backup this program made: a ".reg" file in one of its folders.
                if (!IsAllowedBackupPath(Item.FPayload, AllowedBackupDirs()) ||
                    !FileExists(Item.FPayload))
                    return false;
                return RestoreKeyBackup(Item.FPayload);
            default:
                return false;
        }
    }
    if (Item.FKind == ukValue) {
        switch (Item.FOperation) {
            case uoCreated:
                return DeleteRegValue(Item, Item.FValueName);
            case uoRenamed:
                return RenameRegValue(Item, Item.FValueName, Item.FOldName);
            case uoChanged:
            case uoDeleted: {
                classlib::TMemoryStream stream;
                HexTextToStream(Item.FPayload, stream);
                return WriteRegValueFromStream(Item, Item.FValueName, stream, Item.FValueType);
            }
            default:
                return false;
        }
    }
    return false;
}

bool TVxRegClipUndoProvider::RestoreKeyBackup(const std::wstring& File) {
    // The system registry editor imports the backup. It cannot store every value exactly
    // (string data without its terminating NUL gains one, odd-length string data loses its
    // last byte), so a backup in the program's own form is read first and every value the
    // import changed is written again exactly. Backups of other forms (made by the editor's
    // export) are imported as they are.
    std::wstring text;
    std::vector<TRegScriptKey> keys;
    const bool own = ReadUtf16File(File, text) && ParseOwnRegScript(text, keys);
    text = std::wstring();
    if (!ImportRegFileWithRegedit(File, false, classlib::WaitModally)) return false;
    if (own && !ApplyRegScriptExactly(keys)) return false;  // the backup stays for the user
    DeleteFileW(File.c_str());
    return true;
}

bool TVxRegClipUndoProvider::UndoAt(int Index) {
    if (!ValidIndex(FUndoList, Index)) return false;
    const TRegUndoItem* record = FUndoList[static_cast<size_t>(Index)].get();
    // Work on a copy: an import waits for the registry editor while messages are handled.
    const TRegUndoItem copy = *record;
    bool result = UndoRecord(copy);
    RemoveRecord(record);
    return result;
}

void TVxRegClipUndoProvider::RemoveRecord(const TRegUndoItem* Item) {
    auto it = std::find_if(FUndoList.begin(), FUndoList.end(),
                           [Item](const auto& p) { return p.get() == Item; });
    if (it == FUndoList.end()) return;
    FUndoList.erase(it);
    DoChange();
}

void TVxRegClipUndoProvider::DeleteUndoEntry(int Index) {
    if (!ValidIndex(FUndoList, Index)) return;
    FUndoList.erase(FUndoList.begin() + Index);
    DoChange();
}

void TVxRegClipUndoProvider::ClearUndoList() {
    for (int i = static_cast<int>(FUndoList.size()) - 1; i >= 0; --i) DeleteUndoEntry(i);
}

// --- Clipboards ------------------------------------------------------------------------

void TVxRegClipUndoProvider::AddKeyToClipboard(const TVxRegKeyClass& Key, bool Cut) {
    auto entry = std::make_unique<TRegClipBordItem>();
    static_cast<TVxRegKeyClass&>(*entry) = Key;
    entry->FCut = Cut;
    FKeyClipList.push_back(std::move(entry));
    KeyDeleteUndo = true;
    DoChangeClipBord();
}

void TVxRegClipUndoProvider::AddValueToClipboard(const TVxRegValueClass& Value, bool Cut) {
    auto entry = std::make_unique<TRegClipBordItem>();
    static_cast<TVxRegKeyClass&>(*entry) = static_cast<const TVxRegKeyClass&>(Value);
    entry->FValueName = Value.FValueName;
    entry->FValueType = Value.FValueType;
    entry->FDataText = Value.FDataText;
    entry->FCorruptNumber = Value.FCorruptNumber;
    entry->FCut = Cut;
    FValueClipList.push_back(std::move(entry));
    DoChangeClipBord();
}

bool TVxRegClipUndoProvider::PasteKey(const TVxRegKeyClass& Target, int Index,
                                      TPasteKeyInfo* Info, bool MoveWithoutBackup,
                                      const TRegTreeProgress* Progress) {
    TPasteKeyInfo info;
    if (Info) *Info = info;
    if (!ValidIndex(FKeyClipList, Index)) return false;
    // A copy: the backup of a cut entry waits for the registry editor.
    const TRegClipBordItem entry = *FKeyClipList[static_cast<size_t>(Index)];

    // Its own parent (pasting would land on itself), itself, or inside its own subtree
    // (the copy would never end), compared as the registry compares names.
    if (entry.FFullPath.empty() ||
        SameRegName(entry.FFullPath, JoinPath(Target.FFullPath, entry.FKeyName)) ||
        SameRegName(Target.FFullPath, entry.FFullPath) ||
        IsBelow(Target.FFullPath, entry.FFullPath)) {
        info.Refused = true;
        if (Info) *Info = info;
        return false;
    }

    info.DestinationExisted = SubKeyExists(Target, entry.FKeyName);
    bool result;
    if (entry.FCut) {
        const size_t records = FUndoList.size();
        if (!RecordKeyDeleted(entry, Progress) && !MoveWithoutBackup) {
            info.BackupFailed = true;
            if (Info) *Info = info;
            return false;
        }
        result = MoveRegKey(entry.FRootKey, entry.FPath, Target.FRootKey, Target.FPath,
                            entry.FKeyName, Progress);
        // A move cancelled (a cancel only stops the copy) or failed while copying took back
        // what it made and left the source whole: a record of the source's deletion would
        // stand for nothing.
        const bool copyStopped = RegLastStatus() == ERROR_CANCELLED ||
                                 (!info.DestinationExisted && !SubKeyExists(Target, entry.FKeyName));
        if (!result && FUndoList.size() > records && copyStopped) {
            DeleteFileW(FUndoList.back()->FPayload.c_str());
            RemoveRecord(FUndoList.back().get());
        }
    } else {
        result = CopyRegKey(entry.FRootKey, entry.FPath, Target.FRootKey, Target.FPath,
                            entry.FKeyName, Progress);
    }
    if (Info) *Info = info;
    return result;
}

bool TVxRegClipUndoProvider::PasteValue(const TVxRegKeyClass& Target, int Index) {
    if (!ValidIndex(FValueClipList, Index)) return false;
    const TRegClipBordItem entry = *FValueClipList[static_cast<size_t>(Index)];
    const std::wstring& name = entry.FValueName;

    // The value would land on itself.
    if (SameRegName(entry.FFullPath, Target.FFullPath + L"\\" + name) ||
        (entry.FRootKey == Target.FRootKey && SameRegName(entry.FPath, Target.FPath)))
        return false;

    if (!entry.FCut) return CopyRegValue(entry, name, Target, name);

    // The source's data is taken before the move and recorded as deleted once the move
    // has really removed it.
    std::unique_ptr<TRegUndoItem> record =
        MakeValueDataRecord(entry, name, entry.FValueType, uoDeleted);
    if (!MoveRegValue(entry, name, Target, name)) return false;
    AppendRecord(std::move(record));
    return true;
}

void TVxRegClipUndoProvider::DeleteKeyClipEntry(int Index) {
    if (!ValidIndex(FKeyClipList, Index)) return;
    FKeyClipList.erase(FKeyClipList.begin() + Index);
    DoChangeClipBord();
}

void TVxRegClipUndoProvider::DeleteValueClipEntry(int Index) {
    if (!ValidIndex(FValueClipList, Index)) return;
    FValueClipList.erase(FValueClipList.begin() + Index);
    DoChangeClipBord();
}

void TVxRegClipUndoProvider::ClearKeyClipboard() {
    FKeyClipList.clear();
    DoChangeClipBord();
}

void TVxRegClipUndoProvider::ClearValueClipboard() {
    FValueClipList.clear();
    DoChangeClipBord();
}

void TVxRegClipUndoProvider::DropCutKeys() {
    std::erase_if(FKeyClipList, [](const auto& entry) { return entry->FCut; });
    DoChangeClipBord();
}

void TVxRegClipUndoProvider::DropCutValues() {
    std::erase_if(FValueClipList, [](const auto& entry) { return entry->FCut; });
    DoChangeClipBord();
}

// --- "Undo.db" -------------------------------------------------------------------------

bool TVxRegClipUndoProvider::SaveUndoList(const std::wstring& FileName) {
    // A file the last load could not read without loss is kept as it is until the user
    // deals with it.
    if (!FLossyFile.empty() && SameRegName(FLossyFile, FileName) &&
        FileExists(FileName))
        return false;
    std::vector<std::wstring> lines;
    lines.reserve(FUndoList.size());
    for (const auto& item : FUndoList) {
        std::wstring line;
        if (FormatUndoLine(*item, line)) lines.push_back(std::move(line));
    }
    if (!FRejectedFile.empty() && SameRegName(FRejectedFile, FileName))
        lines.insert(lines.end(), FRejectedLines.begin(), FRejectedLines.end());
    return file::WriteLines(FileName, lines);
}

TUndoLoadReport TVxRegClipUndoProvider::LoadUndoList(const std::wstring& FileName) {
    TUndoLoadReport report;
    ClearUndoList();
    FRejectedFile = FileName;
    FRejectedLines.clear();
    if (SameRegName(FLossyFile, FileName)) FLossyFile.clear();

    std::vector<std::wstring> lines;
    switch (file::ReadLines(FileName, lines)) {
        case file::TReadResult::Missing:
            return report;
        case file::TReadResult::Lossy:
            FLossyFile = FileName;
            report.Lossy = true;
            break;
        case file::TReadResult::Read:
            break;
    }
    for (const std::wstring& line : lines) {
        if (line.empty()) continue;  // nothing to keep
        auto item = std::make_unique<TRegUndoItem>();
        if (ParseUndoLine(line, *item) == TUndoLineError::None) {
            FUndoList.push_back(std::move(item));
            ++report.Loaded;
        } else {
            FRejectedLines.push_back(line);
            ++report.Rejected;
        }
    }
    DoChange();
    return report;
}

}  // namespace undo
