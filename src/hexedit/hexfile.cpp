// New data, loading and saving with progress.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "classlib/streams.h"
#include "hexedit/hexeditor.h"

namespace hexedit {

namespace {

constexpr long long kBlock = 61440;

// Copies `count` bytes in blocks, reporting each percent value at most once and 100 for the
// last block. `copy(done, n)` moves n bytes at offset done. Cancelling raises "Operation
// cancelled".
//
// The handler and the name are copies: the handler may replace the editor's OnProgress or
// its file name while it runs (the copy keeps the running handler alive), and it may change
// the editor's data (a message loop inside it lets the user type), so `copy` must not keep
// a pointer into the data from one block to the next.
template <class TCopy>
void CopyWithProgress(TCustomHexEditor& editor, const TCustomHexEditor::THexProgressEvent onProgress,
                      const std::wstring name, long long count, THexProgressKind kind, TCopy copy) {
    int lastPercent = -1;
    long long done = 0;
    while (done < count) {
        const long long remaining = count - done;
        const long long block = std::min(kBlock, remaining);
        const int percent = remaining <= kBlock ? 100 : static_cast<int>(std::nearbyint(done * 100.0 / count));
        if (percent != lastPercent) {
            lastPercent = percent;
            if (onProgress) {
                bool cancel = false;
                onProgress(&editor, kind, name, static_cast<uint8_t>(percent), cancel);
                if (cancel) throw EHexEditor(hexmsg::Cancelled);
            }
        }
        copy(done, block);
        done += block;
    }
}

std::wstring FullPath(const std::wstring& name) {
    DWORD n = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (!n) return name;
    std::wstring out(n, L'\0');
    n = GetFullPathNameW(name.c_str(), n, out.data(), nullptr);
    out.resize(n);
    return out;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    const std::wstring fa = FullPath(a), fb = FullPath(b);
    return classlib::SameNameIgnoringCase(fa, fb);
}

}  // namespace

void TCustomHexEditor::CreateEmptyFile(const std::wstring& name) {
    FData.Clear();
    FFileName = name.empty() ? std::wstring(hexmsg::Untitled) : name;
    ResetUndo();
    ResetSelection(false);
    FChanges.clear();
    CalcSizes();
    FModified = false;
    FIsFileReadOnly = true;
    PlaceCaret(2, 2);
    Changed();
}

void TCustomHexEditor::LoadFromStream(classlib::TStream& stream) {
    FData.Clear();
    CalcSizes();
    BusyCursor(true);
    std::exception_ptr failure;
    try {
        stream.SetPosition(0);
        const long long size = stream.Size();
        if (size > INT32_MAX) throw EHexEditor(HexFormat(hexmsg::DataTooLarge, {2147483648LL}));
        FData.SetSize(size);
        const std::wstring name = FProgressName.empty() ? FFileName : FProgressName;
        // The address is taken per block and checked: data the handler changed or cleared
        // meanwhile ends the load with an error instead of a write into freed memory.
        CopyWithProgress(*this, OnProgress, name, size, pkLoad, [&](long long done, long long n) {
            stream.ReadBuffer(FData.GetAddress(done, n), static_cast<size_t>(n));
        });
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) FData.Clear();
    {
        auto endBusy = classlib::ScopeExit([&] { BusyCursor(false); });
        if (FUndo->UpdateLevel() <= 0 || failure) FUndo->Reset(true);
        FChanges.clear();
        CalcSizes();
        FModified = false;
        FSelecting = false;
        ResetSelection(false);
        PlaceCaret(2, 2);
        SetTopRow(2);
        Changed();
    }
    if (failure) std::rethrow_exception(failure);
}

bool TCustomHexEditor::CanOpenFile(const std::wstring& fileName, bool& readOnly) {
    readOnly = true;
    HANDLE h = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    h = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        readOnly = false;
        CloseHandle(h);
    }
    return true;
}

void TCustomHexEditor::LoadFromFile(const std::wstring& fileName) {
    bool readOnly = true;
    if (!CanOpenFile(fileName, readOnly)) {
        const DWORD error = GetLastError();
        throw classlib::EFOpenError(HexFormat(hexmsg::CannotOpen, {fileName, classlib::SysErrorMessage(error)}));
    }
    struct TClearName {
        std::wstring& Name;
        ~TClearName() { Name.clear(); }
    } clearName{FProgressName};
    classlib::TFileStream file(fileName, classlib::fmOpenRead | classlib::fmShareDenyNone);
    FProgressName = fileName;
    LoadFromStream(file);
    FFileName = fileName;
    FIsFileReadOnly = readOnly;
}

void TCustomHexEditor::SaveToStream(classlib::TStream& stream) {
    BusyCursor(true);
    auto endBusy = classlib::ScopeExit([&] {
        Redraw();
        BusyCursor(false);
    });
    const std::wstring name = FProgressName.empty() ? FFileName : FProgressName;
    // Room for the whole block at once where the stream can grow, so a growing target
    // is not reallocated block after block.
    if (GetDataSize() > 0) {
        const int64_t needed = stream.Position() + GetDataSize();
        try {
            if (stream.Size() < needed) stream.SetSize(needed);
        } catch (const classlib::EStreamError&) {
            // A stream that cannot be resized grows as it is written.
        }
    }
    // The address is taken per block and checked, as in LoadFromStream.
    const THexMemoryStream& data = FData;
    CopyWithProgress(*this, OnProgress, name, GetDataSize(), pkSave, [&](long long done, long long n) {
        stream.WriteBuffer(data.GetAddress(done, n), static_cast<size_t>(n));
    });
}

void TCustomHexEditor::CopyStreamWithProgress(classlib::TStream& source, classlib::TStream& dest, long long count,
                                              THexProgressKind kind) {
    if (count == -1) count = source.Size() - source.Position();
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min(kBlock, std::max(1LL, count))));
    CopyWithProgress(*this, OnProgress, FProgressName.empty() ? FFileName : FProgressName, count, kind,
                     [&](long long, long long n) {
                         source.ReadBuffer(buffer.data(), static_cast<size_t>(n));
                         dest.WriteBuffer(buffer.data(), static_cast<size_t>(n));
                     });
}

void TCustomHexEditor::CheckFileWritable() {
    if (FIsFileReadOnly) throw classlib::EFOpenError(HexFormat(hexmsg::SaveReadOnly, {FFileName}));
}

bool TCustomHexEditor::HasUnsavedChanges() const {
    if (!FModified) return false;
    if (GetDataSize() > 0) return true;
    const DWORD attributes = GetFileAttributesW(FFileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void TCustomHexEditor::SaveToFile(const std::wstring& fileName, bool unmodify) {
    // The loaded file and the target are the same file when their full paths match
    // ignoring case (the file system's own rule).
    if (SameFile(fileName, FFileName)) CheckFileWritable();

    // Written to a temporary file in the target's folder and moved over the target at the
    // end, so a failed or cancelled save leaves the old file whole.
    const std::wstring target = FullPath(fileName);
    std::wstring folder = target;
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 16];
    if (!GetTempFileNameW(folder.c_str(), L"hex", 0, temp)) {
        const DWORD error = GetLastError();
        throw classlib::EFCreateError(HexFormat(L"Cannot create file \"%s\". %s", {target, classlib::SysErrorMessage(error)}));
    }
    struct TClearName {
        std::wstring& Name;
        ~TClearName() { Name.clear(); }
    } clearName{FProgressName};
    {
        auto removeTemp = classlib::ScopeFail([&] { DeleteFileW(temp); });
        {
            classlib::TFileStream file(temp, classlib::fmCreate);
            FProgressName = fileName;
            SaveToStream(file);
        }
        if (!MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            throw classlib::EFCreateError(
                HexFormat(L"Cannot create file \"%s\". %s", {target, classlib::SysErrorMessage(error)}));
        }
    }
    if (unmodify) {
        FChanges.clear();
        FModified = false;
        FIsFileReadOnly = false;
        FFileName = fileName;
        FUndo->Reset(true);
        Redraw();
    }
}

}  // namespace hexedit
