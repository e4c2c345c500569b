#include "classlib/compstream.h"

#include "classlib/component.h"
#include "classlib/errors.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace classlib {

namespace {

constexpr std::uint8_t kSignature[4] = {'T', 'P', 'F', '0'};
constexpr std::uint8_t kFlagMark = 0xF0;

// Text of the system code page (short strings, identifiers, vaString, vaLString) to UTF-16
// and back. ASCII, which is all the program itself writes there, maps to itself.
std::wstring FromAnsi(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) return {};
    if (std::all_of(bytes, bytes + count, [](std::uint8_t b) { return b < 0x80; }))
        return std::wstring(bytes, bytes + count);
    const int length = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(count),
                                           nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(count), text.data(),
                            length);
    return text;
}

std::string ToAnsi(const std::wstring& text) {
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) return std::string(text.begin(), text.end());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                            nullptr);
    return bytes;
}

// Identifiers joined by dots: property paths and references ("MainForm.aacNewWindow").
bool IsDottedIdent(const std::wstring& text) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find(L'.', start);
        if (!IsValidIdent(text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start)))
            return false;
        if (dot == std::wstring::npos) return true;
        start = dot + 1;
    }
}

// Bytes of fixed size that follow the type byte of the floating-point and date types.
std::size_t RawSize(TValueType type) {
    switch (type) {
    case vaExtended: return 10;
    case vaSingle: return 4;
    case vaCurrency:
    case vaDate:
    case vaDouble: return 8;
    default: return 0;
    }
}

// --- reading --------------------------------------------------------------------------------

class TStreamParser {
public:
    TStreamParser(std::span<const std::uint8_t> bytes, const TComponentStreamLimits& limits)
        : FBytes(bytes), FLimits(limits) {}

    TStreamComponent Parse() {
        if (FBytes.size() < sizeof(kSignature) || std::memcmp(FBytes.data(), kSignature, sizeof(kSignature)) != 0)
            Fail(L"署名 \"TPF0\" がありません");
        FPos = sizeof(kSignature);
        TStreamComponent root = ReadComponent();
        if (FPos != FBytes.size()) Fail(L"コンポーネントの後ろに余分なデータがあります");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::wstring& what) const {
        throw EReadError(L"コンポーネントストリームが壊れています（" + what + L"、位置 " + std::to_wstring(FPos) + L"）");
    }

    std::size_t Left() const { return FBytes.size() - FPos; }
    void Need(std::size_t count) const {
        if (count > Left()) Fail(L"データが途中で終わっています");
    }
    // One more element (component, property, value, set name) of the stream.
    void Count() {
        if (++FElements > FLimits.MaxElements) Fail(L"要素が多すぎます");
    }
    // Depth of the component or value being entered; the guard leaves it again.
    struct TDepth {
        TStreamParser& P;
        explicit TDepth(TStreamParser& parser) : P(parser) {
            if (++P.FDepth > P.FLimits.MaxDepth) P.Fail(L"入れ子が深すぎます");
        }
        ~TDepth() { --P.FDepth; }
    };

    std::uint8_t Byte() {
        Need(1);
        return FBytes[FPos++];
    }
    std::uint8_t PeekByte() const {
        Need(1);
        return FBytes[FPos];
    }
    template <class T>
    T Fixed() {
        Need(sizeof(T));
        T value;
        std::memcpy(&value, FBytes.data() + FPos, sizeof(T));
        FPos += sizeof(T);
        return value;
    }
    // A 32-bit length of `unit`-sized elements, checked against the bytes left and the limit.
    std::size_t Length(std::size_t unit) {
        const std::int32_t length = Fixed<std::int32_t>();
        if (length < 0) Fail(L"長さが負です");
        if (static_cast<std::size_t>(length) > FLimits.MaxStringLength) Fail(L"文字列が長すぎます");
        if (static_cast<std::size_t>(length) > Left() / unit) Fail(L"長さが残りのバイト数を超えています");
        return static_cast<std::size_t>(length);
    }
    std::wstring ShortString() {
        const std::size_t length = Byte();
        Need(length);
        std::wstring text = FromAnsi(FBytes.data() + FPos, length);
        FPos += length;
        return text;
    }
    std::wstring Ident(const wchar_t* what) {
        std::wstring text = ShortString();
        if (!IsDottedIdent(text)) Fail(std::wstring(what) + L"が正しくありません");
        return text;
    }

    TStreamComponent ReadComponent() {
        TDepth depth(*this);
        Count();
        TStreamComponent component;
        if ((PeekByte() & kFlagMark) == kFlagMark) {
            component.Flags = Byte() & 0x0F;
            if (component.Flags & ~(ffInherited | ffChildPos | ffInline)) Fail(L"不明なフラグ");
            if (component.Flags & ffChildPos) {
                const TStreamValue pos = ReadValue();
                if (!pos.IsInteger()) Fail(L"子の位置が整数ではありません");
                component.ChildPos = pos.Integer;
            }
        }
        component.ClassName = ShortString();
        if (!IsValidIdent(component.ClassName)) Fail(L"クラス名が正しくありません");
        component.Name = ShortString();
        if (!component.Name.empty() && !IsValidIdent(component.Name)) Fail(L"コンポーネント名が正しくありません");
        component.Properties = ReadProperties();
        while (PeekByte() != 0) component.Children.push_back(ReadComponent());
        ++FPos;
        return component;
    }

    std::vector<TStreamProperty> ReadProperties() {
        std::vector<TStreamProperty> properties;
        while (PeekByte() != 0) {
            Count();
            TStreamProperty property;
            property.Name = Ident(L"プロパティ名");
            if (PeekByte() == vaNull) Fail(L"プロパティの値がありません");
            property.Value = ReadValue();
            properties.push_back(std::move(property));
        }
        ++FPos;
        return properties;
    }

    TStreamValue ReadValue() {
        Count();
        TStreamValue value;
        const std::uint8_t type = Byte();
        if (type > vaDouble) Fail(L"不明な値の型 " + std::to_wstring(type));
        value.Type = static_cast<TValueType>(type);
        switch (value.Type) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil: break;
        case vaList: {
            TDepth depth(*this);
            while (PeekByte() != vaNull) value.List.push_back(ReadValue());
            ++FPos;
            break;
        }
        case vaInt8: value.Integer = Fixed<std::int8_t>(); break;
        case vaInt16: value.Integer = Fixed<std::int16_t>(); break;
        case vaInt32: value.Integer = Fixed<std::int32_t>(); break;
        case vaInt64: value.Integer = Fixed<std::int64_t>(); break;
        case vaExtended:
        case vaSingle:
        case vaCurrency:
        case vaDate:
        case vaDouble: {
            const std::size_t size = RawSize(value.Type);
            Need(size);
            value.Bytes.assign(FBytes.begin() + FPos, FBytes.begin() + FPos + size);
            FPos += size;
            break;
        }
        case vaString: value.Text = ShortString(); break;
        case vaIdent: value.Text = Ident(L"識別子"); break;
        case vaLString: {
            const std::size_t length = Length(1);
            value.Text = FromAnsi(FBytes.data() + FPos, length);
            FPos += length;
            break;
        }
        case vaWString: {
            const std::size_t count = Length(2);
            value.Text.resize(count);
            std::memcpy(value.Text.data(), FBytes.data() + FPos, count * 2);
            FPos += count * 2;
            break;
        }
        case vaUTF8String: {
            const std::size_t length = Length(1);
            if (length > 0) {
                const auto* text = reinterpret_cast<const char*>(FBytes.data() + FPos);
                const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, static_cast<int>(length),
                                                      nullptr, 0);
                if (count <= 0) Fail(L"UTF-8 の文字列が正しくありません");
                value.Text.resize(static_cast<std::size_t>(count));
                MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, static_cast<int>(length), value.Text.data(),
                                    count);
            }
            FPos += length;
            break;
        }
        case vaBinary: {
            const std::size_t length = Length(1);
            value.Bytes.assign(FBytes.begin() + FPos, FBytes.begin() + FPos + length);
            FPos += length;
            break;
        }
        case vaSet:
            for (;;) {
                std::wstring name = ShortString();
                if (name.empty()) break;
                Count();
                if (!IsValidIdent(name)) Fail(L"集合の要素名が正しくありません");
                value.Names.push_back(std::move(name));
            }
            break;
        case vaCollection: {
            TDepth depth(*this);
            while (PeekByte() != vaNull) {
                Count();
                TStreamCollectionItem item;
                const std::uint8_t next = PeekByte();
                if (next == vaInt8 || next == vaInt16 || next == vaInt32) {
                    item.HasOrder = true;
                    item.Order = ReadValue();
                }
                if (Byte() != vaList) Fail(L"コレクションの項目が正しくありません");
                item.Properties = ReadProperties();
                value.Items.push_back(std::move(item));
            }
            ++FPos;
            break;
        }
        }
        return value;
    }

    std::span<const std::uint8_t> FBytes;
    const TComponentStreamLimits& FLimits;
    std::size_t FPos = 0;
    std::size_t FElements = 0;
    int FDepth = 0;
};

// --- writing --------------------------------------------------------------------------------

class TStreamWriter {
public:
    std::vector<std::uint8_t> Bytes;

    void Component(const TStreamComponent& component) {
        if (component.Flags) {
            if (component.Flags & ~(ffInherited | ffChildPos | ffInline)) Fail(L"不明なフラグ");
            Byte(static_cast<std::uint8_t>(kFlagMark | component.Flags));
            if (component.Flags & ffChildPos) Value(TStreamValue::Int(component.ChildPos));
        }
        if (!IsValidIdent(component.ClassName)) Fail(L"クラス名が正しくありません");
        if (!component.Name.empty() && !IsValidIdent(component.Name)) Fail(L"コンポーネント名が正しくありません");
        ShortString(component.ClassName);
        ShortString(component.Name);
        Properties(component.Properties);
        for (const TStreamComponent& child : component.Children) Component(child);
        Byte(0);
    }

private:
    [[noreturn]] static void Fail(const std::wstring& what) {
        throw EWriteError(L"コンポーネントストリームに書けません（" + what + L"）");
    }
    void Byte(std::uint8_t value) { Bytes.push_back(value); }
    void Raw(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        Bytes.insert(Bytes.end(), bytes, bytes + size);
    }
    template <class T>
    void Fixed(T value) {
        Raw(&value, sizeof(T));
    }
    void Length(std::size_t length) {
        if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) Fail(L"長すぎる値");
        Fixed(static_cast<std::int32_t>(length));
    }
    void ShortString(const std::wstring& text) {
        const std::string bytes = ToAnsi(text);
        if (bytes.size() > 255) Fail(L"短い文字列が 255 バイトを超えています");
        Byte(static_cast<std::uint8_t>(bytes.size()));
        Raw(bytes.data(), bytes.size());
    }
    void Properties(const std::vector<TStreamProperty>& properties) {
        for (const TStreamProperty& property : properties) {
            if (!IsDottedIdent(property.Name)) Fail(L"プロパティ名が正しくありません");
            if (property.Value.Type == vaNull) Fail(L"プロパティの値がありません");
            ShortString(property.Name);
            Value(property.Value);
        }
        Byte(0);
    }
    void Value(const TStreamValue& value) {
        if (value.Type > vaDouble) Fail(L"不明な値の型");
        Byte(value.Type);
        switch (value.Type) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil: break;
        case vaList:
            for (const TStreamValue& entry : value.List) {
                if (entry.Type == vaNull) Fail(L"リストの中の vaNull");
                Value(entry);
            }
            Byte(vaNull);
            break;
        case vaInt8: Fixed(static_cast<std::int8_t>(value.Integer)); break;
        case vaInt16: Fixed(static_cast<std::int16_t>(value.Integer)); break;
        case vaInt32: Fixed(static_cast<std::int32_t>(value.Integer)); break;
        case vaInt64: Fixed(value.Integer); break;
        case vaExtended:
        case vaSingle:
        case vaCurrency:
        case vaDate:
        case vaDouble:
            if (value.Bytes.size() != RawSize(value.Type)) Fail(L"数値のバイト数が合いません");
            Raw(value.Bytes.data(), value.Bytes.size());
            break;
        case vaString: ShortString(value.Text); break;
        case vaIdent:
            if (!IsDottedIdent(value.Text)) Fail(L"識別子が正しくありません");
            ShortString(value.Text);
            break;
        case vaLString: {
            const std::string bytes = ToAnsi(value.Text);
            Length(bytes.size());
            Raw(bytes.data(), bytes.size());
            break;
        }
        case vaWString:
            Length(value.Text.size());
            Raw(value.Text.data(), value.Text.size() * 2);
            break;
        case vaUTF8String: {
            const int size = value.Text.empty() ? 0
                                                : WideCharToMultiByte(CP_UTF8, 0, value.Text.data(),
                                                                      static_cast<int>(value.Text.size()), nullptr, 0,
                                                                      nullptr, nullptr);
            std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
            if (size > 0)
                WideCharToMultiByte(CP_UTF8, 0, value.Text.data(), static_cast<int>(value.Text.size()), bytes.data(),
                                    size, nullptr, nullptr);
            Length(bytes.size());
            Raw(bytes.data(), bytes.size());
            break;
        }
        case vaBinary:
            Length(value.Bytes.size());
            Raw(value.Bytes.data(), value.Bytes.size());
            break;
        case vaSet:
            for (const std::wstring& name : value.Names) {
                if (!IsValidIdent(name)) Fail(L"集合の要素名が正しくありません");
                ShortString(name);
            }
            Byte(0);
            break;
        case vaCollection:
            for (const TStreamCollectionItem& item : value.Items) {
                if (item.HasOrder) {
                    if (!item.Order.IsInteger() || item.Order.Type == vaInt64) Fail(L"コレクションの順序が整数ではありません");
                    Value(item.Order);
                }
                Byte(vaList);
                Properties(item.Properties);
            }
            Byte(vaNull);
            break;
        }
    }
};

}  // namespace

TStreamValue TStreamValue::Int(std::int64_t value) {
    TStreamValue v;
    v.Integer = value;
    if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max())
        v.Type = vaInt8;
    else if (value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max())
        v.Type = vaInt16;
    else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
        v.Type = vaInt32;
    else
        v.Type = vaInt64;
    return v;
}

TStreamValue TStreamValue::String(std::wstring value) {
    TStreamValue v;
    const bool ascii = std::all_of(value.begin(), value.end(), [](wchar_t c) { return c < 0x80; });
    v.Type = ascii && value.size() <= 255 ? vaString : vaWString;
    v.Text = std::move(value);
    return v;
}

TStreamValue TStreamValue::Ident(std::wstring value) {
    TStreamValue v;
    v.Type = vaIdent;
    v.Text = std::move(value);
    return v;
}

TStreamValue TStreamValue::Boolean(bool value) {
    TStreamValue v;
    v.Type = value ? vaTrue : vaFalse;
    return v;
}

TStreamValue TStreamValue::Set(std::vector<std::wstring> names) {
    TStreamValue v;
    v.Type = vaSet;
    v.Names = std::move(names);
    return v;
}

const TStreamProperty* TStreamComponent::FindProperty(std::wstring_view name) const {
    for (const TStreamProperty& property : Properties)
        if (property.Name == name) return &property;
    return nullptr;
}

TStreamComponent ReadComponentStream(std::span<const std::uint8_t> bytes, const TComponentStreamLimits& limits) {
    return TStreamParser(bytes, limits).Parse();
}

std::vector<std::uint8_t> WriteComponentStream(const TStreamComponent& component) {
    TStreamWriter writer;
    writer.Bytes.assign(std::begin(kSignature), std::end(kSignature));
    writer.Component(component);
    return std::move(writer.Bytes);
}

}  // namespace classlib
