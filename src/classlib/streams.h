// Byte streams: the abstract TStream and its file, handle, memory and resource forms.
//
// Positions and sizes are 64-bit. Read and Write move at most `count` bytes and return how
// many moved (a short count is not an error for them); ReadBuffer and WriteBuffer demand the
// full count and raise EReadError / EWriteError otherwise. A stream is used by one thread at
// a time. Streams are plain objects: own them by value or std::unique_ptr.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace classlib {

// Origins of Seek.
enum TSeekOrigin : int {
    soFromBeginning = 0,
    soFromCurrent = 1,
    soFromEnd = 2,
};

// File open modes of TFileStream: one access mode or'ed with one share mode, or fmCreate.
constexpr unsigned fmCreate = 0xFFFF;
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Moves up to `count` bytes; returns how many moved (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Moves the position and returns the new one. Positions past the end are allowed; a
    // negative result raises EStreamError.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
    // Size by seeking to the end and back; descendants that know it answer directly.
    virtual int64_t Size();
    // Truncates or extends. The base class cannot resize and raises EStreamError.
    virtual void SetSize(int64_t newSize);

    // Exactly `count` bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);

    // Copies `count` bytes from the current position of `source`; with count 0, the whole
    // of `source` from its start. Returns the bytes copied; a short source raises EReadError.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream over a file handle the caller owns (the stream never closes it).
class THandleStream : public TStream {
public:
    explicit THandleStream(HANDLE handle) : FHandle(handle) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;

    HANDLE Handle() const { return FHandle; }

protected:
    HANDLE FHandle;
};

// A stream over a file it opens by UTF-16 name and closes when destroyed. fmCreate creates
// or truncates the file (exclusive access); otherwise the file must exist and is opened with
// the access and share bits of `mode`. Failure raises EFCreateError or EFOpenError naming the
// full path and the system's reason.
class TFileStream : public THandleStream {
public:
    TFileStream(const std::wstring& fileName, unsigned mode);
    ~TFileStream() override;

    const std::wstring& FileName() const { return FFileName; }

private:
    std::wstring FFileName;
};

// A stream over a block of memory it does not own; the base of the memory and resource
// streams. Writing is left to descendants.
class TCustomMemoryStream : public TStream {
public:
    size_t Read(void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FSize); }

    // The bytes of the stream; valid until the stream is resized or destroyed.
    void* Memory() const { return FMemory; }

    void SaveToStream(TStream& stream);
    // Written whole and atomically: a temporary file beside the target moved over it.
    void SaveToFile(const std::wstring& fileName);

protected:
    void SetPointer(void* memory, size_t size);

    void* FMemory = nullptr;
    size_t FSize = 0;
    int64_t FPosition = 0;
};

// A growable in-memory stream. Writing past the end grows it (a gap left by seeking past the
// end reads as zero bytes).
class TMemoryStream : public TCustomMemoryStream {
public:
    size_t Write(const void* buffer, size_t count) override;
    void SetSize(int64_t newSize) override;

    void Clear();
    // Replaces the contents with the whole of `stream` (from its start); position 0 after.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::wstring& fileName);

private:
    void Reserve(size_t size);

    std::vector<unsigned char> FBuffer;
};

// A read-only stream over a resource of a module. `name` and `type` may be integer
// resources (MAKEINTRESOURCEW). A missing resource raises EResNotFound; writing raises
// EStreamError.
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(HMODULE module, const wchar_t* name, const wchar_t* type = RT_RCDATA);

    size_t Write(const void* buffer, size_t count) override;
};

// Writes `data` to `fileName` through a temporary file in the same folder moved over the
// target, so a failure leaves any old file whole. Raises EFCreateError on failure.
void SaveBytesToFileAtomic(const std::wstring& fileName, const void* data, size_t size);

}  // namespace classlib
