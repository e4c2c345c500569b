// The binary component stream ("TPF0"): one component with its properties and the
// components it holds, the form in which the files of user toolbars keep a toolbar.
//
// Reading and making are two steps. ReadComponentStream turns the bytes into a
// description (TStreamComponent) and trusts nothing on the way: every length and count is
// checked against the bytes left, strings and nesting depth are bounded, the number of
// values is bounded, and anything that does not add up raises EReadError naming the
// offset, before the caller has changed anything. What the description means (which
// classes and properties exist, what a reference names) is the caller's to decide, and
// the caller skips what it does not know.
//
// The layout, as the class library lays it out:
// - the signature "TPF0", then one component;
// - a component: an optional flag byte 0xF0 | flags (with ffChildPos an integer value
//   follows), the class name and the component name as short strings (a length byte and
//   that many bytes), its properties, a 0 byte, the components it holds, a 0 byte;
// - a property: its name as a short string (dotted for a property of a property), then a
//   value: a type byte (TValueType) and the value's bytes, little-endian.
// Short strings, identifiers, vaString and vaLString are text of the system code page;
// vaWString is UTF-16, vaUTF8String UTF-8.
//
// Writing goes the other way without surprises: WriteComponentStream of what
// ReadComponentStream gave answers the same bytes (the reader keeps each value's type),
// and the TStreamValue makers choose the shortest form the class library would write.
//
// Plain data; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace classlib {

// The value types of the stream, by their byte.
enum TValueType : std::uint8_t {
    vaNull = 0,        // ends a list, a set of properties or components, a collection
    vaList = 1,        // values up to a vaNull
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,    // 10 bytes of floating point
    vaString = 6,      // length byte and text
    vaIdent = 7,       // an identifier: an enumeration value or a reference to a component
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,     // 32-bit length and bytes
    vaSet = 11,        // identifiers up to an empty one
    vaLString = 12,    // 32-bit length and text
    vaNil = 13,
    vaCollection = 14, // items up to a vaNull, each an optional order value and a property list
    vaSingle = 15,     // 4 bytes
    vaCurrency = 16,   // 8 bytes
    vaDate = 17,       // 8 bytes
    vaWString = 18,    // 32-bit count and UTF-16 code units
    vaInt64 = 19,
    vaUTF8String = 20, // 32-bit length and UTF-8
    vaDouble = 21,     // 8 bytes
};

// Component flags of the optional flag byte.
constexpr unsigned ffInherited = 0x01;
constexpr unsigned ffChildPos = 0x02;
constexpr unsigned ffInline = 0x04;

struct TStreamProperty;
struct TStreamCollectionItem;

struct TStreamValue {
    TValueType Type = vaNull;
    std::int64_t Integer = 0;        // vaInt8, vaInt16, vaInt32, vaInt64
    std::wstring Text;               // the string types and vaIdent
    std::vector<std::wstring> Names; // vaSet
    // vaBinary; the bytes of vaExtended, vaSingle, vaCurrency, vaDate and vaDouble as stored.
    std::vector<std::uint8_t> Bytes;
    std::vector<TStreamValue> List;              // vaList
    std::vector<TStreamCollectionItem> Items;    // vaCollection

    // The narrowest integer type that holds `value`.
    static TStreamValue Int(std::int64_t value);
    // vaString for text of at most 255 ASCII characters, else vaWString.
    static TStreamValue String(std::wstring value);
    static TStreamValue Ident(std::wstring value);
    static TStreamValue Boolean(bool value);
    static TStreamValue Set(std::vector<std::wstring> names);

    bool IsInteger() const { return Type == vaInt8 || Type == vaInt16 || Type == vaInt32 || Type == vaInt64; }
    bool IsString() const { return Type == vaString || Type == vaLString || Type == vaWString || Type == vaUTF8String; }
    bool IsBoolean() const { return Type == vaFalse || Type == vaTrue; }
};

struct TStreamProperty {
    std::wstring Name;
    TStreamValue Value;
};

struct TStreamCollectionItem {
    bool HasOrder = false;
    TStreamValue Order;  // an integer value when HasOrder
    std::vector<TStreamProperty> Properties;
};

struct TStreamComponent {
    std::wstring ClassName;
    std::wstring Name;  // empty or an identifier
    unsigned Flags = 0;
    std::int64_t ChildPos = 0;  // with ffChildPos
    std::vector<TStreamProperty> Properties;
    std::vector<TStreamComponent> Children;

    // The first property of that name (exact), or null.
    const TStreamProperty* FindProperty(std::wstring_view name) const;
};

// What the reader accepts at most.
struct TComponentStreamLimits {
    // Components within components, lists and collections within values, together.
    int MaxDepth = 32;
    // Characters of one string (any type) and bytes of one binary value.
    std::size_t MaxStringLength = 32768;
    // Components, properties and values (list entries and set names included) of the stream.
    std::size_t MaxElements = 65536;
};

// The description of the stream `bytes`, which must hold the signature and exactly one
// component. Raises EReadError (the offset and what is wrong in the message).
TStreamComponent ReadComponentStream(std::span<const std::uint8_t> bytes, const TComponentStreamLimits& limits = {});
// The bytes of `component` as a stream with the signature. Raises EWriteError for what the
// layout cannot hold (a short string of more than 255 bytes, a name that is not an
// identifier, a vaNull or unknown type as a property value).
std::vector<std::uint8_t> WriteComponentStream(const TStreamComponent& component);

}  // namespace classlib
