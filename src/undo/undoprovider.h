// TVxRegClipUndoProvider: the undo list of registry changes and the program's own key and
// value clipboards.
//
// Commands record what they are about to change (old value data, a backup script of a key
// before it is deleted) or have just changed (created, renamed); UndoAt replays one record
// backwards. The clipboards remember which key or value was copied or cut; the registry is
// touched only when an entry is pasted. Nothing is put on the system clipboard. The undo
// list can be kept across runs in "Undo.db" (SaveUndoList / LoadUndoList); there is no redo.
//
// Main thread only. Undoing a key deletion waits for the system registry editor while
// messages are handled and the thread's windows refuse input (classlib::WaitModally); the
// provider works on copies of the records involved
// and finds the record to remove again by identity, so commands run meanwhile cannot make
// it act on the wrong entry. Records and entries belong to the provider; pointers taken from
// the lists stay valid until that record or entry is removed.
#pragma once

#include "classlib/component.h"
#include "classlib/streams.h"
#include "registry/regops.h"
#include "registry/regrecords.h"
#include "undo/undoitems.h"

#include <memory>
#include <string>
#include <vector>

namespace undo {

using TRegUndoList = std::vector<std::unique_ptr<TRegUndoItem>>;
using TRegClipList = std::vector<std::unique_ptr<TRegClipBordItem>>;

// Details of a PasteKey call.
struct TPasteKeyInfo {
    // The paste was refused: the target is the entry's own parent, the entry itself or a
    // key inside its subtree (names compared ignoring case). Nothing was done.
    bool Refused = false;
    // A cut entry could not be backed up completely (the export made no usable script), so
    // it was not moved. The caller may ask the user and call again with
    // MoveWithoutBackup.
    bool BackupFailed = false;
    // A key of the entry's name already existed below the target before the paste (the
    // paste merged into it). Callers record "created" only when this is False.
    bool DestinationExisted = false;
};

// What LoadUndoList found.
struct TUndoLoadReport {
    int Loaded = 0;     // records appended
    int Rejected = 0;   // damaged lines skipped (kept in the file by the next save)
    // The file exists but could not be read or decoded without loss: the records of the
    // lines that could be read are loaded, and SaveUndoList leaves the file alone.
    bool Lossy = false;
};

class TVxRegClipUndoProvider : public classlib::TComponent {
public:
    explicit TVxRegClipUndoProvider(classlib::TComponent* Owner);
    ~TVxRegClipUndoProvider() override;

    // The undo records, oldest first, and the two clipboards, in the order of adding.
    const TRegUndoList& UndoList() const { return FUndoList; }
    const TRegClipList& ValueClipList() const { return FValueClipList; }
    const TRegClipList& KeyClipList() const { return FKeyClipList; }

    // The undo list changed / one of the clipboards changed.
    classlib::TNotifyEvent OnChange;
    classlib::TNotifyEvent OnChangeClipBord;

    // Folder of the backup scripts of deleted keys (the main window sets it to the "Undo"
    // folder inside the settings folder). When it does not exist the system's temporary
    // folder is used. Undo imports and deletes backups only inside this folder, the "Undo"
    // folder of the settings folder and the temporary folder.
    std::wstring RegistryScriptExportDir;
    // Deleted keys are backed up and recorded. False after creation; AddKeyToClipboard
    // switches it on so a cut key is always backed up before it is moved.
    bool KeyDeleteUndo = false;

    // --- Recording: each appends one record and fires OnChange ----------------------
    // The key identity of every record is copied from the key passed in.

    // Subkey Name was created below Parent. Callers record only keys that did not exist.
    void RecordKeyCreated(const registry::TVxRegKeyClass& Parent, const std::wstring& Name);
    // Backs Key up before the caller deletes it: with KeyDeleteUndo off nothing happens and
    // the result is True. Otherwise the program's own script of the whole key (every value
    // kept exactly, see BuildKeyTreeRegScript) is written to a fresh "regXXXX.reg" in
    // RegistryScriptExportDir (or the temporary folder), read back to check it, and recorded
    // with the script's path. False, with nothing recorded and the file removed, when the
    // script could not hold everything exactly (an unreadable key or value, a name with a
    // line break) or the file is not what was written: the caller must not delete silently
    // (ask the user first). Progress (optional) is told the keys read for the backup and may
    // stop it: the result is then False with nothing recorded.
    bool RecordKeyDeleted(const registry::TVxRegKeyClass& Key,
                          const registry::TRegTreeProgress* Progress = nullptr);
    // Key was renamed from OldName to NewName (Key still names the old path).
    void RecordKeyRenamed(const registry::TVxRegKeyClass& Key, const std::wstring& NewName,
                          const std::wstring& OldName);
    // Value Name of Key was created with type Type.
    void RecordValueCreated(const registry::TVxRegKeyClass& Key, const std::wstring& Name, DWORD Type);
    // Value Name of Key is about to be overwritten / deleted: its current data is kept as
    // hexadecimal text with the type it has now (Type when it cannot be read; the data is
    // then empty).
    void RecordValueOverwritten(const registry::TVxRegKeyClass& Key, const std::wstring& Name, DWORD Type);
    void RecordValueDeleted(const registry::TVxRegKeyClass& Key, const std::wstring& Name, DWORD Type);
    // Value OldName of Key was renamed to NewName.
    void RecordValueRenamed(const registry::TVxRegKeyClass& Key, const std::wstring& OldName,
                            const std::wstring& NewName);

    // --- Undo ---------------------------------------------------------------------------

    // Reverses record Index, removes it and fires OnChange. True when the registry change
    // was made; the record is removed also when it failed (an index out of range does
    // nothing and gives False). A deleted key is restored only from a ".reg" backup inside
    // the allowed folders (see RegistryScriptExportDir), through the system registry
    // editor; a backup this program wrote is then checked value by value and whatever the
    // editor could not store exactly is written again, so every value comes back with its
    // type and bytes. The backup is deleted once the key is restored (it stays when the
    // editor could not run or a value could not be made exact).
    bool UndoAt(int Index);
    // Removes one record (its backup file stays) and fires OnChange.
    void DeleteUndoEntry(int Index);
    // DeleteUndoEntry for every record from the last to the first.
    void ClearUndoList();

    // --- Clipboards ---------------------------------------------------------------------

    // Appends an entry (all fields of Key) and switches KeyDeleteUndo on; OnChangeClipBord.
    void AddKeyToClipboard(const registry::TVxRegKeyClass& Key, bool Cut);
    // Appends an entry (key fields, value name, type, data text, corrupt flag);
    // OnChangeClipBord.
    void AddValueToClipboard(const registry::TVxRegValueClass& Value, bool Cut);
    // Pastes key entry Index below Target: a cut entry is backed up (RecordKeyDeleted) and
    // moved, a copied one copied, under its own name. Refused when Target is the entry's
    // parent, the entry itself or inside its subtree. A cut entry whose backup fails is not
    // moved unless MoveWithoutBackup. The entry stays in the clipboard. Info (optional)
    // tells why a paste was not made and whether the destination existed before. Progress
    // (optional) reports the keys read for a cut entry's backup, then the keys copied, and
    // may cancel (see CopyRegKey and MoveRegKey: a cancelled copy keeps what was copied, a
    // cancelled move is undone and its backup record dropped; a cancelled backup moves
    // nothing and reports BackupFailed).
    bool PasteKey(const registry::TVxRegKeyClass& Target, int Index, TPasteKeyInfo* Info = nullptr,
                  bool MoveWithoutBackup = false,
                  const registry::TRegTreeProgress* Progress = nullptr);
    // Pastes value entry Index into Target under the same name: a cut entry is moved (and
    // recorded as deleted at its source once the move succeeded), a copied one copied.
    // Nothing happens (False) when the value would land on itself. Callers record the
    // destination themselves.
    bool PasteValue(const registry::TVxRegKeyClass& Target, int Index);
    // Free and remove one entry; OnChangeClipBord.
    void DeleteKeyClipEntry(int Index);
    void DeleteValueClipEntry(int Index);
    // Empty a clipboard; one OnChangeClipBord.
    void ClearKeyClipboard();
    void ClearValueClipboard();
    // Remove every cut entry (copied ones stay in their order); one OnChangeClipBord.
    void DropCutKeys();
    void DropCutValues();

    // --- Helpers and persistence --------------------------------------------------------

    // Length(Hex) div 2 bytes decoded from the digit pairs (decoding stops at the first
    // pair that is not hexadecimal; the remaining bytes are 0), written at Stream's
    // position.
    static void HexTextToStream(const std::wstring& Hex, classlib::TStream& Stream);
    // Copies the key identity (display name, key name, path, full path, root, computer)
    // into Item and sets its operation to created.
    static void AssignUndoItemKey(TRegUndoItem& Item, const registry::TVxRegKeyClass& Key);

    // Writes the list to FileName ("Undo.db": one line per record, UTF-16LE with
    // byte-order mark, CR LF), atomically. Records whose texts hold a TAB, CR or LF are
    // written in the escaped form (FormatUndoLine); damaged lines skipped by the last load
    // of the same file are written back unchanged after the records. False (file untouched) when the file could not be
    // written, or when the last load of this file was lossy (TUndoLoadReport::Lossy).
    bool SaveUndoList(const std::wstring& FileName);
    // Clears the list and loads FileName (a missing file leaves it empty); every line is
    // checked as untrusted input and damaged lines are skipped. Fires OnChange once.
    TUndoLoadReport LoadUndoList(const std::wstring& FileName);

protected:
    virtual void DoChange();
    virtual void DoChangeClipBord();

private:
    // Appends a finished record and fires OnChange.
    void AppendRecord(std::unique_ptr<TRegUndoItem> Item);
    // A value record (kind value, given operation) of Key/Name with the current data.
    std::unique_ptr<TRegUndoItem> MakeValueDataRecord(const registry::TVxRegKeyClass& Key,
                                                      const std::wstring& Name, DWORD Type,
                                                      uint8_t Operation) const;
    // Removes Item from the undo list when it is still there (OnChange).
    void RemoveRecord(const TRegUndoItem* Item);
    bool UndoRecord(const TRegUndoItem& Item);
    // Imports a key backup and makes its values exact; the file is deleted on success.
    static bool RestoreKeyBackup(const std::wstring& File);
    std::vector<std::wstring> AllowedBackupDirs() const;

    TRegUndoList FUndoList;
    TRegClipList FValueClipList;
    TRegClipList FKeyClipList;

    // Damaged lines of the last load and the file they came from, written back by a save
    // of the same file; FLossyFile: a file whose last load could not read it without loss.
    std::wstring FRejectedFile;
    std::vector<std::wstring> FRejectedLines;
    std::wstring FLossyFile;
};

}  // namespace undo
