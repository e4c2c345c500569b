// The list of UTF-16 lines used for every line-oriented file of the program and as the item
// store of the Unicode list controls.
//
// Loading recognises the encoding by its byte-order mark (UTF-16LE, UTF-16BE, UTF-8; ANSI in
// the system code page without one). Saving always writes UTF-16LE with a byte-order mark
// and CR LF after every line, and SaveToFile replaces the file atomically.
//
// A load that could not keep every byte of the file (malformed UTF-8 or ANSI bytes, an odd
// final byte of UTF-16, text after an embedded U+0000) still keeps what it could read, and
// LastLoadLossy() says so. An owner that loads a file and later saves it by itself must
// check that flag and must not save such a list over the original without the user asking
// for it.
//
// A list is used by one thread at a time. Objects attached to lines are never owned.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/streams.h"

namespace wide {

// Encoding of a text stream.
enum TTextCharSet {
    tcsAnsi = 0,
    tcsUtf16LE = 1,
    tcsUtf16BE = 2,
    tcsUtf8 = 3,
};

// Reads a byte-order mark at the stream's position: FF FE gives UTF-16LE and FE FF UTF-16BE
// (two bytes consumed), EF BB BF UTF-8 (three consumed); otherwise the position is restored
// and the result is tcsAnsi.
TTextCharSet DetectTextCharSet(classlib::TStream& stream);

class TWideStrings;
using TWideStringsNotifyEvent = std::function<void(TWideStrings& sender)>;

// The behaviour common to every wide line list.
class TWideStrings {
public:
    TWideStrings() = default;
    TWideStrings(const TWideStrings&) = delete;
    TWideStrings& operator=(const TWideStrings&) = delete;
    virtual ~TWideStrings() = default;

    // Clears this list and copies the lines, objects and name-value separator of `source`,
    // inside one update bracket.
    virtual void Assign(const TWideStrings& source);

    virtual std::wstring Get(int index) const = 0;
    virtual int GetCapacity() const { return GetCount(); }
    virtual int GetCount() const = 0;
    virtual void* GetObject(int index) const;
    // All lines, each followed by CR LF; empty for an empty list.
    virtual std::wstring GetTextStr() const;
    virtual void Put(int index, const std::wstring& s);
    virtual void PutObject(int index, void* object);
    virtual void SetCapacity(int newCapacity);
    // Replaces all lines by `value` split at CR LF, lone CR and lone LF; a U+0000 ends the
    // text; a final line break gives no extra empty line.
    virtual void SetTextStr(const std::wstring& value);
    // The comparison of IndexOf / IndexOfName: the user's locale, ignoring case.
    virtual int CompareStrings(const std::wstring& s1, const std::wstring& s2) const;

    int Add(const std::wstring& s) { return AddObject(s, nullptr); }
    virtual int AddObject(const std::wstring& s, void* object);
    void AddStrings(const TWideStrings& strings);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int index1, int index2);
    virtual int IndexOf(const std::wstring& s) const;
    virtual int IndexOfName(const std::wstring& name) const;
    int IndexOfObject(const void* object) const;
    void Insert(int index, const std::wstring& s) { InsertObject(index, s, nullptr); }
    virtual void InsertObject(int index, const std::wstring& s, void* object) = 0;
    void Move(int curIndex, int newIndex);

    // Replaces the lines with the file's text (encoding by byte-order mark). Opening failure
    // raises EFOpenError and leaves the list unchanged.
    void LoadFromFile(const std::wstring& fileName);
    void LoadFromStream(classlib::TStream& stream) { LoadFromStreamEx(stream, true); }
    // Reads from the stream's position to its end. Without `detectCharSet` the bytes are
    // UTF-16LE without a mark. The lines are replaced only after everything was read.
    virtual void LoadFromStreamEx(classlib::TStream& stream, bool detectCharSet);
    // Writes the file whole and atomically: UTF-16LE, byte-order mark, CR LF after every
    // line. Failure raises EFCreateError and leaves an old file whole.
    void SaveToFile(const std::wstring& fileName) const;
    void SaveToStream(classlib::TStream& stream) const { SaveToStreamEx(stream, true); }
    virtual void SaveToStreamEx(classlib::TStream& stream, bool withBOM) const;
    // SetTextStr of a NUL-terminated text.
    void SetText(const wchar_t* text) { SetTextStr(text ? std::wstring(text) : std::wstring()); }

    // True when the last LoadFrom... could not keep every byte of its input (see the top of
    // this file); False after a clean load and for a list that was never loaded.
    bool LastLoadLossy() const { return FLastLoadLossy; }

    // Update bracket: nested calls count; the outermost EndUpdate notifies once.
    void BeginUpdate();
    void EndUpdate();

    int Count() const { return GetCount(); }
    std::wstring Text() const { return GetTextStr(); }
    wchar_t NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(wchar_t separator) { FNameValueSeparator = separator; }

    // Raises EStringListError with `message`, in which "%d" stands for `data`.
    [[noreturn]] void Error(const std::wstring& message, int data) const;

protected:
    virtual void SetUpdateState(bool updating);
    int UpdateCount() const { return FUpdateCount; }

private:
    int FUpdateCount = 0;
    wchar_t FNameValueSeparator = L'=';
    bool FLastLoadLossy = false;
};

// The concrete list: lines with objects in the order they were added, inserted, moved or
// exchanged (never sorted; every search is linear).
class TWideStringList : public TWideStrings {
public:
    TWideStringList() = default;
    // Destroying a list never notifies: the events are dropped first.
    ~TWideStringList() override;

    std::wstring Get(int index) const override;
    int GetCapacity() const override { return static_cast<int>(FList.size()); }
    int GetCount() const override { return FCount; }
    void* GetObject(int index) const override;
    void Put(int index, const std::wstring& s) override;
    void PutObject(int index, void* object) override;
    // Reallocates the item array to exactly `newCapacity`; a capacity below Count raises
    // EStringListError and changes nothing.
    void SetCapacity(int newCapacity) override;
    int AddObject(const std::wstring& s, void* object) override;
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int index1, int index2) override;
    void InsertObject(int index, const std::wstring& s, void* object) override;

    // Fired after / before every change, except inside an update bracket (where the
    // outermost EndUpdate fires OnChange once).
    TWideStringsNotifyEvent OnChange;
    TWideStringsNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    // The one place that grows the item array.
    virtual void InsertItem(int index, const std::wstring& s, void* object);

private:
    struct TWideStringItem {
        std::wstring FString;
        void* FObject = nullptr;
    };

    void Grow();
    void CheckIndex(int index) const;

    std::vector<TWideStringItem> FList;  // size() is the capacity
    int FCount = 0;
    bool FUpdating = false;
};

}  // namespace wide
