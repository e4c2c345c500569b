#include "classlib/streams.h"

#include <type_traits>

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "classlib/scopeguard.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace classlib {

namespace {

const wchar_t kReadError[] = L"ストリーム読み込みエラー";
const wchar_t kWriteError[] = L"ストリーム書き込みエラー";
const wchar_t kSeekError[] = L"ストリームのシーク位置が正しくありません";
const wchar_t kSetSizeError[] = L"このストリームのサイズは変更できません";
const wchar_t kResourceWrite[] = L"読み出し専用のリソースストリームには書き込めません";

// The copy buffer of CopyFrom and the file loaders.
constexpr size_t kCopyChunk = 0xF000;

std::wstring FullPath(const std::wstring& fileName) {
    DWORD n = GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return fileName;
    std::wstring result(n, L'\0');
    n = GetFullPathNameW(fileName.c_str(), n, result.data(), nullptr);
    if (n == 0 || n >= result.size())
        return fileName;
    result.resize(n);
    return result;
}

[[noreturn]] void RaiseCreateError(const std::wstring& fileName, DWORD error) {
    throw EFCreateError(L"ファイル \"" + FullPath(fileName) + L"\" を作成できません。" +
                        SysErrorMessage(error));
}

[[noreturn]] void RaiseOpenError(const std::wstring& fileName, DWORD error) {
    throw EFOpenError(L"ファイル \"" + FullPath(fileName) + L"\" は開けません。" +
                      SysErrorMessage(error));
}

}  // namespace

// --- TStream ------------------------------------------------------------------------------

int64_t TStream::Size() {
    int64_t position = Seek(0, soFromCurrent);
    int64_t size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::SetSize(int64_t) {
    throw EStreamError(kSetSizeError);
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        size_t n = Read(p, count);
        if (n == 0)
            throw EReadError(kReadError);
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    auto* p = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        size_t n = Write(p, count);
        if (n == 0)
            throw EWriteError(kWriteError);
        p += n;
        count -= n;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0)
        throw EReadError(kReadError);
    const int64_t result = count;
    std::vector<unsigned char> buffer(static_cast<size_t>(std::min<int64_t>(count, kCopyChunk)));
    while (count > 0) {
        size_t n = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(buffer.size())));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= static_cast<int64_t>(n);
    }
    return result;
}

// --- THandleStream ------------------------------------------------------------------------

namespace {
// Moves `count` bytes in pieces small enough for one system call; stops at the first short
// or failed transfer and returns what was moved.
template <typename Buffer, typename Call>
size_t TransferInPieces(Buffer* buffer, size_t count, Call call) {
    auto* p = reinterpret_cast<std::conditional_t<std::is_const_v<Buffer>, const unsigned char*, unsigned char*>>(buffer);
    size_t total = 0;
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 0x40000000));
        DWORD done = 0;
        if (!call(p, chunk, &done) || done == 0)
            break;
        total += done;
        p += done;
        count -= done;
        if (done < chunk)
            break;
    }
    return total;
}
}  // namespace

size_t THandleStream::Read(void* buffer, size_t count) {
    return TransferInPieces(buffer, count, [this](void* p, DWORD n, DWORD* done) {
        return ReadFile(FHandle, p, n, done, nullptr) != FALSE;
    });
}

size_t THandleStream::Write(const void* buffer, size_t count) {
    return TransferInPieces(buffer, count, [this](const void* p, DWORD n, DWORD* done) {
        return WriteFile(FHandle, p, n, done, nullptr) != FALSE;
    });
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result{};
    if (origin < soFromBeginning || origin > soFromEnd ||
        !SetFilePointerEx(FHandle, distance, &result, methods[origin]))
        throw EStreamError(kSeekError);
    return result.QuadPart;
}

void THandleStream::SetSize(int64_t newSize) {
    int64_t position = Position();
    Seek(newSize, soFromBeginning);
    if (!SetEndOfFile(FHandle)) {
        DWORD error = GetLastError();
        Seek(position, soFromBeginning);
        throw EStreamError(SysErrorMessage(error));
    }
    if (position < newSize)
        Seek(position, soFromBeginning);
}

// --- TFileStream --------------------------------------------------------------------------

TFileStream::TFileStream(const std::wstring& fileName, unsigned mode)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(fileName) {
    if (mode == fmCreate) {
        FHandle = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (FHandle == INVALID_HANDLE_VALUE)
            RaiseCreateError(fileName, GetLastError());
        return;
    }
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    // Compatibility and exclusive share nothing; deny-write lets others read; deny-read lets
    // others write; deny-none shares both.
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned accessIndex = mode & 3;
    unsigned shareIndex = (mode & 0xF0) >> 4;
    if (accessIndex > 2 || shareIndex > 4)
        RaiseOpenError(fileName, ERROR_INVALID_PARAMETER);
    FHandle = CreateFileW(fileName.c_str(), access[accessIndex], share[shareIndex], nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE)
        RaiseOpenError(fileName, GetLastError());
}

TFileStream::~TFileStream() {
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

// --- TCustomMemoryStream ------------------------------------------------------------------

void TCustomMemoryStream::SetPointer(void* memory, size_t size) {
    FMemory = memory;
    FSize = size;
}

size_t TCustomMemoryStream::Read(void* buffer, size_t count) {
    if (FPosition < 0 || static_cast<uint64_t>(FPosition) >= FSize)
        return 0;
    size_t available = FSize - static_cast<size_t>(FPosition);
    size_t n = std::min(count, available);
    if (n > 0)
        std::memcpy(buffer, static_cast<const unsigned char*>(FMemory) + FPosition, n);
    FPosition += static_cast<int64_t>(n);
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base;
    switch (origin) {
    case soFromBeginning: base = 0; break;
    case soFromCurrent: base = FPosition; break;
    case soFromEnd: base = static_cast<int64_t>(FSize); break;
    default: throw EStreamError(kSeekError);
    }
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0)
        throw EStreamError(kSeekError);
    FPosition = base + offset;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) {
    if (FSize > 0)
        stream.WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const std::wstring& fileName) {
    SaveBytesToFileAtomic(fileName, FMemory, FSize);
}

// --- TMemoryStream ------------------------------------------------------------------------

void TMemoryStream::Reserve(size_t size) {
    if (size <= FBuffer.size())
        return;
    // Grow geometrically, in 8 KB steps at least, so writing byte by byte stays linear.
    size_t capacity = std::max(size, FBuffer.size() + FBuffer.size() / 2);
    capacity = (capacity + 0x1FFF) & ~static_cast<size_t>(0x1FFF);
    FBuffer.resize(capacity);
    FMemory = FBuffer.data();
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (FPosition < 0 || count == 0)
        return 0;
    uint64_t end = static_cast<uint64_t>(FPosition) + count;
    if (end > std::numeric_limits<size_t>::max() / 2)
        return 0;
    if (end > FSize) {
        Reserve(static_cast<size_t>(end));
        // A gap left by seeking past the end reads as zeros, whatever the buffer held.
        if (static_cast<uint64_t>(FPosition) > FSize)
            std::memset(FBuffer.data() + FSize, 0, static_cast<size_t>(FPosition) - FSize);
        FSize = static_cast<size_t>(end);
    }
    std::memcpy(FBuffer.data() + FPosition, buffer, count);
    FPosition = static_cast<int64_t>(end);
    return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0 || static_cast<uint64_t>(newSize) > std::numeric_limits<size_t>::max() / 2)
        throw EStreamError(kSetSizeError);
    size_t size = static_cast<size_t>(newSize);
    if (size > FSize) {
        Reserve(size);
        std::memset(FBuffer.data() + FSize, 0, size - FSize);
    }
    FSize = size;
    if (FPosition > newSize)
        FPosition = newSize;
}

void TMemoryStream::Clear() {
    std::vector<unsigned char>().swap(FBuffer);
    FMemory = nullptr;
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    int64_t size = stream.Size();
    SetSize(size);
    if (size > 0)
        stream.ReadBuffer(FMemory, static_cast<size_t>(size));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::wstring& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

// --- TResourceStream ----------------------------------------------------------------------

TResourceStream::TResourceStream(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC info = FindResourceW(module, name, type);
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    void* memory = data ? LockResource(data) : nullptr;
    if (!memory) {
        std::wstring shown = IS_INTRESOURCE(name)
                                 ? L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(name))
                                 : std::wstring(name);
        throw EResNotFound(L"リソース " + shown + L" が見つかりません");
    }
    SetPointer(memory, SizeofResource(module, info));
}

size_t TResourceStream::Write(const void*, size_t) {
    throw EStreamError(kResourceWrite);
}

// --- Atomic save --------------------------------------------------------------------------

void SaveBytesToFileAtomic(const std::wstring& fileName, const void* data, size_t size) {
    std::wstring target = FullPath(fileName);
    // A read-only file is not replaced: Windows refuses the move, and the rule is checked
    // here so that every platform behaves alike.
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        RaiseCreateError(fileName, ERROR_ACCESS_DENIED);
    size_t slash = target.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : target.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 16];
    if (!GetTempFileNameW(folder.c_str(), L"wdl", 0, temp))
        RaiseCreateError(fileName, GetLastError());
    auto removeTemp = ScopeFail([&] { DeleteFileW(temp); });
    {
        TFileStream out(temp, fmCreate);
        if (size > 0)
            out.WriteBuffer(data, size);
        if (!FlushFileBuffers(out.Handle()))
            RaiseCreateError(fileName, GetLastError());
    }
    if (!MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        RaiseCreateError(fileName, GetLastError());
}

}  // namespace classlib
