// Helpers shared by the hex editor tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/streams.h"
#include "hexedit/hexeditor.h"
#include "common/test_support.h"

namespace hextest {

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

inline void Load(hexedit::TCustomHexEditor& e, const std::string& bytes) {
    classlib::TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
    e.LoadFromStream(stream);
}

inline std::string Counting(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += static_cast<char>(i);
    return out;
}

inline void Key(hexedit::TCustomHexEditor& e, WORD key, hexedit::THexShiftState shift = 0) { e.KeyDown(key, shift); }

inline void Type(hexedit::TCustomHexEditor& e, const std::wstring& text) {
    for (wchar_t c : text) e.KeyPress(c);
}

// UTF-16LE bytes of a text.
inline std::string Utf16(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

// The message of the exception `statement` raises, or "<no exception>".
#define HEX_MESSAGE(statement)                                          \
    ([&]() -> std::string {                                             \
        try {                                                           \
            statement;                                                  \
        } catch (const classlib::Exception& ex) {                       \
            return testsupport::Narrow(ex.Message());                   \
        }                                                               \
        return "<no exception>";                                        \
    }())

// A view that records what the core asks of the window.
class TRecordingView : public hexedit::THexEditorView {
public:
    int Invalidates = 0, LayoutChanges = 0, CaretUpdates = 0, ShapeChanges = 0, Posts = 0, Busy = 0;
    void HexInvalidate() override { ++Invalidates; }
    void HexLayoutChanged() override { ++LayoutChanges; }
    void HexUpdateCaret() override { ++CaretUpdates; }
    void HexCaretShapeChanged() override { ++ShapeChanges; }
    void HexPostSelectionChanged() override { ++Posts; }
    void HexBusyCursor(bool busy) override { Busy += busy ? 1 : -1; }
    bool HexFocused() override { return true; }
};

}  // namespace hextest
