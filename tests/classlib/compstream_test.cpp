#include "classlib/compstream.h"
#include "classlib/errors.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace classlib;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes of a stream built by hand: text pieces as they are, numbers as bytes.
struct StreamBytes {
    Bytes Data;
    StreamBytes& Raw(std::initializer_list<int> bytes) {
        for (int b : bytes) Data.push_back(static_cast<std::uint8_t>(b));
        return *this;
    }
    StreamBytes& Short(const std::string& text) {
        Data.push_back(static_cast<std::uint8_t>(text.size()));
        Data.insert(Data.end(), text.begin(), text.end());
        return *this;
    }
    StreamBytes& Int32(std::int32_t value) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
        Data.insert(Data.end(), p, p + 4);
        return *this;
    }
};

// "TPF0", a component of class TBox named `name` with no properties and no children.
StreamBytes Header(const std::string& name = "Box1") {
    StreamBytes s;
    s.Raw({'T', 'P', 'F', '0'}).Short("TBox").Short(name);
    return s;
}

// A component holding one value of every type the layout has, and a child.
TStreamComponent EveryValueType() {
    TStreamComponent c;
    c.ClassName = L"TBox";
    c.Name = L"Box1";
    auto add = [&c](const wchar_t* name, TStreamValue value) { c.Properties.push_back({name, std::move(value)}); };
    add(L"Small", TStreamValue::Int(-5));
    add(L"Medium", TStreamValue::Int(1000));
    add(L"Large", TStreamValue::Int(-100000));
    add(L"Huge", TStreamValue::Int(INT64_C(1) << 40));
    add(L"Ascii", TStreamValue::String(L"plain"));
    add(L"Wide", TStreamValue::String(L"ツールバー"));
    add(L"Font.Style", TStreamValue::Set({L"fsBold", L"fsItalic"}));
    add(L"Color", TStreamValue::Ident(L"clBtnFace"));
    add(L"Link", TStreamValue::Ident(L"MainForm.aacNewWindow"));
    add(L"On", TStreamValue::Boolean(true));
    add(L"Off", TStreamValue::Boolean(false));
    TStreamValue nil;
    nil.Type = vaNil;
    add(L"Nothing", nil);
    TStreamValue utf8;
    utf8.Type = vaUTF8String;
    utf8.Text = L"値 ✓";
    add(L"Utf8", utf8);
    TStreamValue longText;
    longText.Type = vaLString;
    longText.Text = std::wstring(300, L'x');
    add(L"Long", longText);
    TStreamValue binary;
    binary.Type = vaBinary;
    binary.Bytes = {0, 1, 0xFF};
    add(L"Data", binary);
    TStreamValue real;
    real.Type = vaDouble;
    real.Bytes = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    add(L"Ratio", real);
    TStreamValue list;
    list.Type = vaList;
    list.List = {TStreamValue::Int(1), TStreamValue::String(L"two")};
    add(L"Strings", list);
    TStreamValue collection;
    collection.Type = vaCollection;
    TStreamCollectionItem item;
    item.HasOrder = true;
    item.Order = TStreamValue::Int(3);
    item.Properties.push_back({L"Width", TStreamValue::Int(80)});
    collection.Items = {item, TStreamCollectionItem{}};
    add(L"Columns", collection);
    TStreamComponent child;
    child.ClassName = L"TPart";
    child.Flags = ffChildPos;
    child.ChildPos = 2;
    c.Children.push_back(child);
    return c;
}

}  // namespace

TEST(ComponentStream, EveryValueTypeComesBackAsWrittenAndWritesTheSameBytes) {
    const TStreamComponent original = EveryValueType();
    const Bytes written = WriteComponentStream(original);
    ASSERT_GE(written.size(), 4u);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 4), "TPF0");

    const TStreamComponent read = ReadComponentStream(written);
    EXPECT_EQ(read.ClassName, L"TBox");
    EXPECT_EQ(read.Name, L"Box1");
    ASSERT_EQ(read.Properties.size(), original.Properties.size());
    for (size_t i = 0; i < read.Properties.size(); ++i) {
        const TStreamProperty& a = original.Properties[i];
        const TStreamProperty& b = read.Properties[i];
        SCOPED_TRACE(testsupport::Narrow(a.Name));
        EXPECT_EQ(b.Name, a.Name);
        EXPECT_EQ(b.Value.Type, a.Value.Type);
        EXPECT_EQ(b.Value.Integer, a.Value.Integer);
        EXPECT_EQ(b.Value.Text, a.Value.Text);
        EXPECT_EQ(b.Value.Names, a.Value.Names);
        EXPECT_EQ(b.Value.Bytes, a.Value.Bytes);
        EXPECT_EQ(b.Value.List.size(), a.Value.List.size());
        EXPECT_EQ(b.Value.Items.size(), a.Value.Items.size());
    }
    // The narrowest integer forms, as the class library writes them.
    EXPECT_EQ(read.FindProperty(L"Small")->Value.Type, vaInt8);
    EXPECT_EQ(read.FindProperty(L"Medium")->Value.Type, vaInt16);
    EXPECT_EQ(read.FindProperty(L"Large")->Value.Type, vaInt32);
    EXPECT_EQ(read.FindProperty(L"Huge")->Value.Type, vaInt64);
    EXPECT_EQ(read.FindProperty(L"Ascii")->Value.Type, vaString);
    EXPECT_EQ(read.FindProperty(L"Wide")->Value.Type, vaWString);
    const TStreamValue& columns = read.FindProperty(L"Columns")->Value;
    ASSERT_EQ(columns.Items.size(), 2u);
    EXPECT_TRUE(columns.Items[0].HasOrder);
    EXPECT_EQ(columns.Items[0].Order.Integer, 3);
    EXPECT_FALSE(columns.Items[1].HasOrder);
    ASSERT_EQ(read.Children.size(), 1u);
    EXPECT_EQ(read.Children[0].ClassName, L"TPart");
    EXPECT_EQ(read.Children[0].Flags, ffChildPos);
    EXPECT_EQ(read.Children[0].ChildPos, 2);

    EXPECT_EQ(WriteComponentStream(read), written);
}

TEST(ComponentStream, DamagedStreamsRaiseReadError) {
    const Bytes good = WriteComponentStream(EveryValueType());
    // Every truncation of a sound stream is refused.
    for (size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_THROW(ReadComponentStream(std::span(good.data(), length)), EReadError);
    }

    auto deep = [](int levels, bool lists) {
        StreamBytes s = Header();
        if (lists) {
            s.Short("Deep");
            for (int i = 0; i < levels; ++i) s.Raw({vaList});
            for (int i = 0; i < levels; ++i) s.Raw({vaNull});
            s.Raw({0, 0});
        } else {
            s.Raw({0});
            for (int i = 0; i < levels; ++i) s.Short("TBox").Short("").Raw({0});
            for (int i = 0; i <= levels; ++i) s.Raw({0});
        }
        return s.Data;
    };
    const struct {
        const char* Name;
        Bytes Data;
    } cases[] = {
        {"no signature", StreamBytes().Raw({'T', 'P', 'F', '1'}).Short("TBox").Short("").Raw({0, 0}).Data},
        {"data after the component", Header().Raw({0, 0, 0}).Data},
        {"string length past the end", Header().Short("Caption").Raw({vaLString}).Int32(1000).Raw({'a', 0, 0}).Data},
        {"negative length", Header().Short("Caption").Raw({vaWString}).Int32(-2).Raw({0, 0}).Data},
        {"wide count past the end", Header().Short("Caption").Raw({vaWString}).Int32(0x40000000).Raw({0, 0}).Data},
        {"binary past the end", Header().Short("Data").Raw({vaBinary}).Int32(5).Raw({1, 2, 0, 0}).Data},
        {"short string past the end", Header().Raw({200, 'a', 'b'}).Data},
        {"unknown value type", Header().Short("Width").Raw({22, 0, 0}).Data},
        {"property without value", Header().Short("Width").Raw({vaNull, 0, 0}).Data},
        {"class name not an identifier", StreamBytes().Raw({'T', 'P', 'F', '0'}).Short("..\\x").Short("").Raw({0, 0}).Data},
        {"component name not an identifier", Header("a b").Raw({0, 0}).Data},
        {"reference not an identifier", Header().Short("Action").Raw({vaIdent}).Short("Main..x").Raw({0, 0}).Data},
        {"unknown flag", StreamBytes().Raw({'T', 'P', 'F', '0', 0xF8}).Short("TBox").Short("").Raw({0, 0}).Data},
        {"invalid UTF-8", Header().Short("Caption").Raw({vaUTF8String}).Int32(2).Raw({0xC3, 0x28, 0, 0}).Data},
        {"10^4 nested lists", deep(10000, true)},
        {"10^4 nested components", deep(10000, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadComponentStream(c.Data), EReadError);
    }
    // Nesting within the limit is read.
    EXPECT_NO_THROW(ReadComponentStream(deep(20, true)));
    EXPECT_NO_THROW(ReadComponentStream(deep(20, false)));
}

TEST(ComponentStream, LimitsBoundStringsAndElements) {
    TStreamComponent c;
    c.ClassName = L"TBox";
    TStreamValue text;
    text.Type = vaWString;
    text.Text = std::wstring(100, L'字');
    c.Properties.push_back({L"Caption", text});
    const Bytes bytes = WriteComponentStream(c);
    EXPECT_NO_THROW(ReadComponentStream(bytes, {.MaxStringLength = 100}));
    EXPECT_THROW(ReadComponentStream(bytes, {.MaxStringLength = 99}), EReadError);

    TStreamValue set = TStreamValue::Set(std::vector<std::wstring>(50, L"tboDefault"));
    c.Properties = {{L"Options", set}};
    const Bytes many = WriteComponentStream(c);
    EXPECT_NO_THROW(ReadComponentStream(many, {.MaxElements = 60}));
    EXPECT_THROW(ReadComponentStream(many, {.MaxElements = 40}), EReadError);
}

TEST(ComponentStream, WriterRefusesWhatTheLayoutCannotHold) {
    TStreamComponent c;
    c.ClassName = L"TBox";
    TStreamValue tooLong;
    tooLong.Type = vaString;
    tooLong.Text = std::wstring(256, L'a');
    c.Properties = {{L"Caption", tooLong}};
    EXPECT_THROW(WriteComponentStream(c), EWriteError);
    c.Properties = {{L"Caption", TStreamValue{}}};  // vaNull
    EXPECT_THROW(WriteComponentStream(c), EWriteError);
    c.Properties.clear();
    c.Name = L"..\\x";
    EXPECT_THROW(WriteComponentStream(c), EWriteError);
}
