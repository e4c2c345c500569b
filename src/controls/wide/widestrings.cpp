#include "controls/wide/widestrings.h"

#include <windows.h>

#include <cstring>

#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "controls/wide/conversions.h"
#include "controls/wide/widefiles.h"

namespace wide {

namespace {

const wchar_t kIndexError[] = L"リストのインデックスが範囲を超えています (%d)";
const wchar_t kCapacityError[] = L"リストの容量が範囲を超えています (%d)";

// Bytes of `text` as UTF-16LE, after an optional byte-order mark.
std::vector<char> EncodeUtf16LE(const std::wstring& text, bool withBOM) {
    std::vector<char> bytes;
    bytes.reserve(text.size() * 2 + 2);
    if (withBOM) {
        bytes.push_back(static_cast<char>(0xFF));
        bytes.push_back(static_cast<char>(0xFE));
    }
    for (wchar_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
        bytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
    }
    return bytes;
}

// UTF-16 code units from bytes in memory order (little-endian), `count` of them.
std::wstring Utf16FromBytes(const char* bytes, size_t count, bool bigEndian) {
    std::wstring text(count, L'\0');
    for (size_t i = 0; i < count; ++i) {
        const unsigned char b0 = static_cast<unsigned char>(bytes[2 * i]);
        const unsigned char b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }
    return text;
}

// Bytes of the system's ANSI code page to UTF-16; `lossy` is set when some bytes had no
// valid meaning (they then become the platform's default character).
std::wstring AnsiToWide(const std::string& bytes, bool& lossy) {
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    int len = MultiByteToWideChar(DefaultSystemCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (len > 0) {
        std::wstring text(len, L'\0');
        MultiByteToWideChar(DefaultSystemCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), len);
        return text;
    }
    lossy = true;
    return StringToWideStringEx(bytes, DefaultSystemCodePage);
}

}  // namespace

TTextCharSet DetectTextCharSet(classlib::TStream& stream) {
    const int64_t start = stream.Position();
    const int64_t remaining = stream.Size() - start;
    unsigned char bom[3] = {};
    if (remaining >= 2) {
        const size_t got = stream.Read(bom, 2);
        if (got == 2) {
            if (bom[0] == 0xFF && bom[1] == 0xFE)
                return tcsUtf16LE;
            if (bom[0] == 0xFE && bom[1] == 0xFF)
                return tcsUtf16BE;
        }
        stream.Seek(start, classlib::soFromBeginning);
        if (remaining >= 3) {
            if (stream.Read(bom, 3) == 3 && bom[0] == 0xEF && bom[1] == 0xBB && bom[2] == 0xBF)
                return tcsUtf8;
            stream.Seek(start, classlib::soFromBeginning);
        }
    }
    return tcsAnsi;
}

// ---- TWideStrings ---------------------------------------------------------------------

void TWideStrings::Error(const std::wstring& message, int data) const {
    std::wstring text = message;
    const size_t pos = text.find(L"%d");
    if (pos != std::wstring::npos)
        text.replace(pos, 2, std::to_wstring(data));
    throw classlib::EStringListError(text);
}

void TWideStrings::Assign(const TWideStrings& source) {
    if (&source == this)
        return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    Clear();
    FNameValueSeparator = source.FNameValueSeparator;
    AddStrings(source);
}

void* TWideStrings::GetObject(int) const {
    return nullptr;
}

std::wstring TWideStrings::GetTextStr() const {
    const int count = GetCount();
    size_t length = 0;
    for (int i = 0; i < count; ++i)
        length += Get(i).size() + 2;
    std::wstring text;
    text.reserve(length);
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += L"\r\n";
    }
    return text;
}

void TWideStrings::Put(int index, const std::wstring& s) {
    void* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

void TWideStrings::PutObject(int, void*) {}

void TWideStrings::SetCapacity(int) {}

void TWideStrings::SetTextStr(const std::wstring& value) {
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    Clear();
    const wchar_t* p = value.c_str();
    while (*p != 0) {
        const wchar_t* start = p;
        while (*p != 0 && *p != L'\r' && *p != L'\n')
            ++p;
        Add(std::wstring(start, p));
        if (*p == L'\r')
            ++p;
        if (*p == L'\n')
            ++p;
    }
}

int TWideStrings::CompareStrings(const std::wstring& s1, const std::wstring& s2) const {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, s1.data(), static_cast<int>(s1.size()),
                          s2.data(), static_cast<int>(s2.size())) -
           CSTR_EQUAL;
}

int TWideStrings::AddObject(const std::wstring& s, void* object) {
    const int index = GetCount();
    InsertObject(index, s, object);
    return index;
}

void TWideStrings::AddStrings(const TWideStrings& strings) {
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    const int count = strings.GetCount();
    for (int i = 0; i < count; ++i)
        AddObject(strings.Get(i), strings.GetObject(i));
}

void TWideStrings::Exchange(int index1, int index2) {
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    const std::wstring temp = Get(index1);
    void* tempObject = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, temp);
    PutObject(index2, tempObject);
}

int TWideStrings::IndexOf(const std::wstring& s) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TWideStrings::IndexOfName(const std::wstring& name) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const std::wstring line = Get(i);
        const size_t separator = line.find(FNameValueSeparator);
        if (separator != std::wstring::npos && CompareStrings(line.substr(0, separator), name) == 0)
            return i;
    }
    return -1;
}

int TWideStrings::IndexOfObject(const void* object) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

void TWideStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex)
        return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    const std::wstring line = Get(curIndex);
    void* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, line, object);
}

void TWideStrings::LoadFromFile(const std::wstring& fileName) {
    TWideFileStream stream(fileName, classlib::fmOpenRead | classlib::fmShareDenyWrite);
    LoadFromStreamEx(stream, true);
}

void TWideStrings::LoadFromStreamEx(classlib::TStream& stream, bool detectCharSet) {
    const TTextCharSet charSet = detectCharSet ? DetectTextCharSet(stream) : tcsUtf16LE;
    const int64_t size = stream.Size() - stream.Position();
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), bytes.size());

    bool lossy = false;
    std::wstring text;
    switch (charSet) {
    case tcsUtf16LE:
    case tcsUtf16BE:
        text = Utf16FromBytes(bytes.data(), bytes.size() / 2, charSet == tcsUtf16BE);
        if (bytes.size() % 2 != 0)
            lossy = true;  // the final odd byte is not part of the text
        break;
    case tcsUtf8:
        text = UTF8ToWideString(bytes, &lossy);
        break;
    case tcsAnsi:
        text = AnsiToWide(bytes, lossy);
        break;
    }
    // A U+0000 ends the text; anything but further U+0000 after it is lost.
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) {
        if (text.find_first_not_of(L'\0', nul) != std::wstring::npos)
            lossy = true;
        text.resize(nul);
    }

    BeginUpdate();
    {
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        SetTextStr(text);
    }
    FLastLoadLossy = lossy;
}

void TWideStrings::SaveToFile(const std::wstring& fileName) const {
    const std::vector<char> bytes = EncodeUtf16LE(GetTextStr(), true);
    WideWriteFileAtomic(fileName, bytes.data(), bytes.size());
}

void TWideStrings::SaveToStreamEx(classlib::TStream& stream, bool withBOM) const {
    const std::vector<char> bytes = EncodeUtf16LE(GetTextStr(), withBOM);
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), bytes.size());
}

void TWideStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TWideStrings::EndUpdate() {
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TWideStrings::SetUpdateState(bool) {}

// ---- TWideStringList ------------------------------------------------------------------

TWideStringList::~TWideStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TWideStringList::CheckIndex(int index) const {
    if (index < 0 || index >= FCount)
        Error(kIndexError, index);
}

std::wstring TWideStringList::Get(int index) const {
    CheckIndex(index);
    return FList[index].FString;
}

void* TWideStringList::GetObject(int index) const {
    CheckIndex(index);
    return FList[index].FObject;
}

void TWideStringList::Put(int index, const std::wstring& s) {
    CheckIndex(index);
    Changing();
    FList[index].FString = s;
    Changed();
}

void TWideStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    Changing();
    FList[index].FObject = object;
    Changed();
}

void TWideStringList::SetCapacity(int newCapacity) {
    if (newCapacity < FCount)
        Error(kCapacityError, newCapacity);
    FList.resize(newCapacity);
    FList.shrink_to_fit();
}

int TWideStringList::AddObject(const std::wstring& s, void* object) {
    const int index = FCount;
    InsertItem(index, s, object);
    return index;
}

void TWideStringList::Clear() {
    if (FCount == 0)
        return;
    Changing();
    FCount = 0;
    FList.clear();
    FList.shrink_to_fit();
    Changed();
}

void TWideStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    for (int i = index; i < FCount - 1; ++i)
        FList[i] = std::move(FList[i + 1]);
    --FCount;
    FList[FCount] = TWideStringItem();
    Changed();
}

void TWideStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FList[index1], FList[index2]);
    Changed();
}

void TWideStringList::InsertObject(int index, const std::wstring& s, void* object) {
    if (index < 0 || index > FCount)
        Error(kIndexError, index);
    InsertItem(index, s, object);
}

void TWideStringList::Grow() {
    const int capacity = GetCapacity();
    const int delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    SetCapacity(capacity + delta);
}

void TWideStringList::InsertItem(int index, const std::wstring& s, void* object) {
    Changing();
    if (FCount == GetCapacity())
        Grow();
    for (int i = FCount; i > index; --i)
        FList[i] = std::move(FList[i - 1]);
    FList[index].FString = s;
    FList[index].FObject = object;
    ++FCount;
    Changed();
}

void TWideStringList::SetUpdateState(bool updating) {
    FUpdating = updating;
    if (updating)
        Changing();
    else
        Changed();
}

void TWideStringList::Changed() {
    if (!FUpdating && OnChange)
        OnChange(*this);
}

void TWideStringList::Changing() {
    if (!FUpdating && OnChanging)
        OnChanging(*this);
}

}  // namespace wide
