// Clipboard and data transfer of the extended hex editor: the offered data object, the
// conversion of accepted formats, copy/cut/paste through the OLE clipboard, pasting and
// dropping data objects, the paste-format dialog and the print options.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <map>
#include <memory>

#include "classlib/application.h"
#include "controls/wide/widebutton.h"
#include "controls/wide/widelistbox.h"
#include "hex_test_util.h"
#include "hexedit/hexclipboard.h"
#include "hexedit/hexeditorex.h"
#include "hexedit/hexformatdialog.h"

using namespace wide;
using namespace hexedit;

using namespace hextest;

namespace {

// Data of one or more formats, each a global block (or a GDI handle for bitmaps).
class TTestData : public classlib::TComObject<IDataObject> {
public:
    void Add(UINT format, const std::string& bytes) { FBlocks.emplace_back(format, bytes); }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
        for (auto& [format, bytes] : FBlocks) {
            if (format != f->cfFormat) continue;
            HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
            std::memcpy(GlobalLock(g), bytes.data(), bytes.size());
            GlobalUnlock(g);
            *m = STGMEDIUM{};
            m->tymed = TYMED_HGLOBAL;
            m->hGlobal = g;
            return S_OK;
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
        for (auto& b : FBlocks)
            if (b.first == f->cfFormat) return S_OK;
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dir, IEnumFORMATETC** e) override {
        if (dir != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> list;
        for (auto& b : FBlocks)
            list.push_back(FORMATETC{static_cast<CLIPFORMAT>(b.first), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), e);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::vector<std::pair<UINT, std::string>> FBlocks;
};

// Holds a COM reference for a test's scope.
template <class T>
struct TRef {
    T* P;
    explicit TRef(T* p) : P(p) {}
    ~TRef() { P->Release(); }
    T* operator->() const { return P; }
};

std::string U32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::string OwnBlock(const std::string& bytes, uint32_t version = hexclip::OwnVersion) {
    return U32(hexclip::OwnMagic) + U32(version) + U32(static_cast<uint32_t>(bytes.size())) + bytes;
}

// A DROPFILES block with wide names.
std::string DropFiles(const std::vector<std::wstring>& names) {
    DROPFILES head{};
    head.pFiles = sizeof(head);
    head.fWide = TRUE;
    std::string out(reinterpret_cast<const char*>(&head), sizeof(head));
    for (const auto& n : names) out += Utf16(n) + std::string(2, '\0');
    return out + std::string(2, '\0');
}

FORMATETC Etc(UINT format, LONG lindex = -1, DWORD aspect = DVASPECT_CONTENT, DWORD tymed = TYMED_HGLOBAL) {
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, aspect, lindex, tymed};
}

std::string GetBlock(IDataObject* data, UINT format) {
    FORMATETC f = Etc(format);
    STGMEDIUM m{};
    if (data->GetData(&f, &m) != S_OK) return "<none>";
    const size_t size = GlobalSize(m.hGlobal);
    std::string out(static_cast<const char*>(GlobalLock(m.hGlobal)), size);
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(&m);
    return out;
}

std::string Data(TCustomHexEditor& e) {
    std::string out(static_cast<size_t>(e.GetDataSize()), '\0');
    if (!out.empty()) e.ReadBuffer(out.data(), 0, e.GetDataSize());
    return out;
}

// Records the format dialog's calls instead of showing it.
class TestHex : public THexEditorEx {
public:
    using THexEditorEx::THexEditorEx;
    using THexEditorEx::KeyDown;
    int DialogCalls = 0;
    TClipFormats Offered;
    int Answer = -1;  // index into Offered; -1 cancels

    bool SelectClipboardFormat(const TClipFormats& formats, IDataObject* data, bool& asHexText,
                               WORD& format) override {
        const TFormatEnum listed(data);
        TClipFormats offered;
        for (WORD f : formats)
            if (listed.HasFormat(f)) offered.push_back(f);
        if (offered.size() < 2) return THexEditorEx::SelectClipboardFormat(formats, data, asHexText, format);
        ++DialogCalls;
        Offered = offered;
        if (Answer < 0) return false;
        format = offered[Answer];
        return true;
    }
};

struct HexClipboard : ::testing::Test {
    std::unique_ptr<TestHex> E = std::make_unique<TestHex>(nullptr);
    void TearDown() override { OleSetClipboard(nullptr); }

    // As PasteFromClipboard does: find the first accepted format, then insert.
    HRESULT Paste(TTestData* data) {
        DWORD effect = DROPEFFECT_COPY;
        if (E->QueryDropFormat(data, 0, 1, effect, POINT{0, 0}) != S_OK) return S_FALSE;
        return E->InsertDataObject(data, 0, 1, effect, POINT{0, 0});
    }
    // Puts `data` on the clipboard (the clipboard takes its own reference).
    void OnClipboard(TTestData* data) {
        ASSERT_EQ(OleSetClipboard(data), S_OK);
        data->Release();
    }
};

}  // namespace

// ---- Offered data -------------------------------------------------------------------------

TEST(HexDataObject, BlocksOfEachOfferedFormat) {
    const std::string bytes = Bytes({0x41, 0x00, 0x42});
    TRef<THexDataObject> plain(new THexDataObject(bytes, false, false, L"C:\\work\\value.dat"));
    EXPECT_EQ(GetBlock(plain.P, hexclip::Formats().Own).substr(0, 15),
              Bytes({0x4D, 0x50, 0x54, 0x48, 0x01, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x41, 0x00, 0x42}));
    EXPECT_EQ(GetBlock(plain.P, CF_TEXT).substr(0, 2), std::string("A\0", 2));
    EXPECT_EQ(GetBlock(plain.P, hexclip::Formats().FileContents).substr(0, 3), bytes);
    EXPECT_EQ(plain->VirtualFileName(), L"Dump of value.bin");

    const std::string group = GetBlock(plain.P, hexclip::Formats().FileGroupDescriptor);
    ASSERT_GE(group.size(), sizeof(FILEGROUPDESCRIPTORA));
    const auto* g = reinterpret_cast<const FILEGROUPDESCRIPTORA*>(group.data());
    EXPECT_EQ(g->cItems, 1u);
    EXPECT_EQ(g->fgd[0].dwFlags, 0x60u);
    EXPECT_EQ(g->fgd[0].nFileSizeLow, 3u);
    EXPECT_STREQ(g->fgd[0].cFileName, "Dump of value.bin");

    TRef<THexDataObject> hex(new THexDataObject(bytes, false, true, L""));
    EXPECT_EQ(GetBlock(hex.P, CF_TEXT).substr(0, 7), std::string("410042\0", 7));
    TRef<THexDataObject> swapped(new THexDataObject(bytes, true, true, L""));
    EXPECT_EQ(GetBlock(swapped.P, CF_TEXT).substr(0, 7), std::string("140024\0", 7));
    EXPECT_EQ(GetBlock(swapped.P, CF_UNICODETEXT), "<none>");
}

TEST(HexDataObject, QueryGetDataAnswers) {
    TRef<THexDataObject> d(new THexDataObject("x", false, false, L""));
    const auto& f = hexclip::Formats();
    struct Case {
        FORMATETC etc;
        HRESULT expected;
    } cases[] = {
        {Etc(f.Own), S_OK},
        {Etc(CF_TEXT, 0), S_OK},
        {Etc(f.FileGroupDescriptor), S_OK},
        {Etc(f.FileContents, 7), S_OK},
        {Etc(CF_TEXT, 7), DV_E_LINDEX},
        {Etc(CF_TEXT, -1, DVASPECT_ICON), DV_E_DVASPECT},
        {Etc(CF_TEXT, -1, DVASPECT_CONTENT, TYMED_ISTREAM), DV_E_TYMED},
        {Etc(CF_UNICODETEXT), DV_E_FORMATETC},
        {Etc(f.HexData), DV_E_FORMATETC},
    };
    for (auto& c : cases) EXPECT_EQ(d->QueryGetData(&c.etc), c.expected) << c.etc.cfFormat << " " << c.etc.lindex;
    FORMATETC bad = Etc(CF_BITMAP);
    STGMEDIUM m{};
    EXPECT_EQ(d->GetData(&bad, &m), DV_E_FORMATETC);
    EXPECT_EQ(m.hGlobal, nullptr);
    EXPECT_EQ(d->GetDataHere(&bad, &m), DV_E_FORMATETC);
}

TEST(HexDataObject, EnumeratorListsFourFormatsInOrder) {
    TRef<THexDataObject> d(new THexDataObject("x", false, false, L""));
    IEnumFORMATETC* raw = nullptr;
    EXPECT_EQ(d->EnumFormatEtc(DATADIR_SET, &raw), E_NOTIMPL);
    ASSERT_EQ(d->EnumFormatEtc(DATADIR_GET, &raw), S_OK);
    TRef<IEnumFORMATETC> e(raw);
    FORMATETC items[6];
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(6, items, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 4u);
    const auto& f = hexclip::Formats();
    const UINT expected[] = {f.Own, CF_TEXT, f.FileGroupDescriptor, f.FileContents};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(items[i].cfFormat, expected[i]);
        EXPECT_EQ(items[i].lindex, -1);
        EXPECT_EQ(items[i].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    }
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(4), S_FALSE);
    EXPECT_EQ(e->Skip(3), S_OK);
    EXPECT_EQ(e->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(items[0].cfFormat, f.FileContents);

    // The reader of another object's formats sees the same list.
    const TFormatEnum listed(d.P);
    EXPECT_EQ(listed.Items().size(), 4u);
    FORMATETC missing;
    EXPECT_FALSE(listed.GetFormatEtc(CF_BITMAP, missing));
    EXPECT_EQ(missing.cfFormat, 0xFFFF);
}

TEST(HexDataObject, SetDataKeepsThePerformedEffect) {
    TRef<THexDataObject> d(new THexDataObject("x", false, false, L""));
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 4);
    *static_cast<DWORD*>(GlobalLock(g)) = DROPEFFECT_MOVE;
    GlobalUnlock(g);
    STGMEDIUM m{};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = g;
    FORMATETC f = Etc(hexclip::Formats().PerformedEffect);
    EXPECT_EQ(d->SetData(&f, &m, TRUE), S_OK);
    EXPECT_TRUE(d->HasReportedEffect());
    EXPECT_EQ(d->ReportedEffect(), static_cast<DWORD>(DROPEFFECT_MOVE));
    FORMATETC other = Etc(CF_TEXT);
    STGMEDIUM none{};
    EXPECT_EQ(d->SetData(&other, &none, FALSE), E_NOTIMPL);
}

TEST(HexDropSource, ContinueAndFeedback) {
    TRef<THexDropSource> s(new THexDropSource());
    EXPECT_EQ(s->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(s->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(s->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(s->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(s->GiveFeedback(DROPEFFECT_LINK), E_INVALIDARG);
}

// ---- Accepted data to bytes ---------------------------------------------------------------

TEST(HexClipboardBytes, ConversionOfBlocks) {
    const auto& f = hexclip::Formats();
    struct Case {
        const char* name;
        UINT format;
        std::string block;
        bool swap;
        std::string expected;
    } cases[] = {
        {"own", f.Own, OwnBlock(Bytes({1, 0, 2})), false, Bytes({1, 0, 2})},
        {"own, other version", f.Own, OwnBlock("ab", 0x00010002), false, ""},
        {"own, count beyond block", f.Own, OwnBlock("abc").substr(0, 13), false, "a"},
        {"own, too short", f.Own, "MPTH", false, ""},
        {"reg hex data", f.HexData, U32(2) + "xyz", false, "xy"},
        {"reg hex data, count beyond block", f.HexData, U32(9) + "xy", false, "xy"},
        {"text to the first zero", CF_TEXT, std::string("ab\0cd", 5), false, "ab"},
        {"text without zero", CF_OEMTEXT, "abc", false, "abc"},
        {"rich text as text", f.RichText, std::string("{\\rtf}\0x", 8), false, "{\\rtf}"},
        {"html as text", f.Html, std::string("<b>\0", 4), false, "<b>"},
        {"unicode", CF_UNICODETEXT, Utf16(L"A\u3042") + std::string("\0\0zz", 4), false, Utf16(L"A\u3042")},
        {"unicode swapped", CF_UNICODETEXT, Utf16(L"A"), true, Bytes({0x00, 0x41})},
        {"dib", CF_DIB, "dib", false, std::string("BM") + std::string(12, '\0') + "dib"},
        {"locale", CF_LOCALE, Bytes({0x11, 0x04, 0, 0}), false, Bytes({0x11, 0x04})},
        {"wave", CF_WAVE, "RIFFdata", false, "RIFFdata"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClipboardDataToBytes(c.block.data(), nullptr, static_cast<WORD>(c.format), c.swap, c.block.size()),
                  c.expected)
            << c.name;
    EXPECT_EQ(ClipboardDataToBytes(nullptr, nullptr, CF_TEXT, false, 10), "");
}

TEST(HexClipboardBytes, BitmapBecomesABitmapFileImage) {
    HDC dc = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 2);
    ReleaseDC(nullptr, dc);
    const std::string image = ClipboardDataToBytes(nullptr, bitmap, CF_BITMAP, false, 0);
    DeleteObject(bitmap);
    ASSERT_GT(image.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(image.substr(0, 2), "BM");
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(image.data() + sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(info->biWidth, 3);
    EXPECT_EQ(info->biHeight, 2);
}

TEST(HexClipboardBytes, AcceptedListInPriorityOrder) {
    const auto& f = hexclip::Formats();
    const TClipFormats all = AcceptedClipFormats(true);
    ASSERT_EQ(all.size(), 17u);
    EXPECT_EQ(all[0], f.Own);
    EXPECT_EQ(all[1], CF_HDROP);
    EXPECT_EQ(all[2], CF_TEXT);
    EXPECT_EQ(all[4], CF_UNICODETEXT);
    EXPECT_EQ(all[15], f.HexData);
    EXPECT_EQ(all[16], f.Html);
    EXPECT_EQ(AcceptedClipFormats(false), (TClipFormats{static_cast<WORD>(f.Own), CF_HDROP}));
}

// ---- Copy, cut and paste ------------------------------------------------------------------

TEST_F(HexClipboard, CopyThenPasteRoundTripsBinaryData) {
    Load(*E, Bytes({0x10, 0x00, 0x20, 0x00, 0x30}));
    E->NewSelection(1, 3);
    ASSERT_TRUE(E->CopyToClipboard());
    EXPECT_EQ(OleIsCurrentClipboard(E->ClipboardData()), S_OK);
    E->ResetSelection(false);
    E->SetSelStart(0);
    ASSERT_TRUE(E->CanPaste());
    ASSERT_TRUE(E->PasteFromClipboard());
    EXPECT_EQ(Data(*E), Bytes({0x00, 0x20, 0x00, 0x10, 0x00, 0x20, 0x00, 0x30}));
    EXPECT_EQ(E->UndoDescription(), L"Paste from clipboard");
    EXPECT_EQ(E->DialogCalls, 0);

    // With a selection the pasted bytes replace it.
    E->NewSelection(5, 7);
    ASSERT_TRUE(E->PasteFromClipboard());
    EXPECT_EQ(Data(*E), Bytes({0x00, 0x20, 0x00, 0x10, 0x00, 0x00, 0x20, 0x00}));
}

TEST_F(HexClipboard, ShortcutsCopyCutAndPaste) {
    Load(*E, "abcd");
    E->NewSelection(0, 1);
    WORD key = 'X';
    E->KeyDown(key, classlib::ssCtrl);
    EXPECT_EQ(Data(*E), "cd");
    EXPECT_EQ(E->UndoDescription(), L"Cut to clipboard");
    E->ResetSelection(false);
    E->SetSelStart(1);
    key = 'V';
    E->KeyDown(key, classlib::ssCtrl);
    EXPECT_EQ(Data(*E), "cabd");
    E->NewSelection(0, 0);
    key = 'C';
    E->KeyDown(key, classlib::ssCtrl);
    EXPECT_EQ(E->ClipboardData()->Bytes(), "c");
}

TEST_F(HexClipboard, DestroyedControlLeavesOrRemovesItsData) {
    const UINT own = hexclip::Formats().Own;
    for (bool flush : {true, false}) {
        auto e = std::make_unique<THexEditorEx>(nullptr);
        Load(*e, std::string("a\0b", 3));
        e->SelectAll();
        e->SetFlushClipboardAtShutDown(flush);
        ASSERT_TRUE(e->CopyToClipboard());
        e.reset();
        EXPECT_EQ(IsClipboardFormatAvailable(own) != FALSE, flush) << flush;
        if (flush && OpenClipboard(nullptr)) {
            // Other programs read the flushed text as text up to the first zero byte.
            HANDLE text = GetClipboardData(CF_TEXT);
            EXPECT_STREQ(text ? static_cast<const char*>(GlobalLock(text)) : "<none>", "a");
            if (text) GlobalUnlock(text);
            CloseClipboard();
        }
    }
}

TEST_F(HexClipboard, CutIsRefusedWithoutSizeChanges) {
    Load(*E, "abcd");
    E->SetNoSizeChange(true);
    E->NewSelection(1, 2);
    EXPECT_TRUE(E->CanCopy());
    EXPECT_FALSE(E->CanCut());
    EXPECT_FALSE(E->CutToClipboard());
    EXPECT_EQ(Data(*E), "abcd");
}

TEST_F(HexClipboard, PasteWithoutSizeChangesOverwritesFromTheCaret) {
    Load(*E, "abcdef");
    E->NewSelection(0, 2);
    ASSERT_TRUE(E->CopyToClipboard());
    E->SetNoSizeChange(true);
    E->ResetSelection(false);
    E->SetSelStart(4);
    ASSERT_TRUE(E->PasteFromClipboard());
    EXPECT_EQ(Data(*E), "abcdab");

    Load(*E, "");
    EXPECT_FALSE(E->CanPaste());
}

TEST_F(HexClipboard, CanPasteFollowsTheAcceptedFormats) {
    Load(*E, "ab");
    auto* text = new TTestData;
    text->Add(CF_TEXT, std::string("hi\0", 3));
    OnClipboard(text);
    EXPECT_TRUE(E->CanPaste());
    E->SetSupportsOtherClipFormats(false);
    EXPECT_FALSE(E->CanPaste());
    E->SetSupportsOtherClipFormats(true);
    E->SetReadOnlyView(true);
    EXPECT_FALSE(E->CanPaste());
}

TEST_F(HexClipboard, TextPastedAsTextOrHexDigits) {
    struct Case {
        bool asHex;
        std::string expected;
    } cases[] = {{true, Bytes({0x41, 0x4A})}, {false, "4 1-4a"}};
    for (const auto& c : cases) {
        Load(*E, "");
        E->SetClipboardAsHexText(c.asHex);
        TRef<TTestData> data(new TTestData);
        data->Add(CF_TEXT, std::string("4 1-4a\0", 7));
        EXPECT_EQ(Paste(data.P), S_OK);
        EXPECT_EQ(Data(*E), c.expected) << c.asHex;
    }
}

TEST_F(HexClipboard, EachAcceptedFormatPastes) {
    const auto& f = hexclip::Formats();
    struct Case {
        const char* name;
        UINT format;
        std::string block;
        std::string expected;
    } cases[] = {
        {"own", f.Own, OwnBlock(Bytes({0, 1, 0})), Bytes({0, 1, 0})},
        {"unicode", CF_UNICODETEXT, Utf16(L"Az") + std::string(2, '\0'), Utf16(L"Az")},
        {"reg hex data", f.HexData, U32(3) + Bytes({9, 0, 8}), Bytes({9, 0, 8})},
        {"html", f.Html, std::string("<i>\0", 4), "<i>"},
        {"riff", CF_RIFF, "RIFF", "RIFF"},
    };
    for (const auto& c : cases) {
        Load(*E, "");
        TRef<TTestData> data(new TTestData);
        data->Add(c.format, c.block);
        EXPECT_EQ(Paste(data.P), S_OK) << c.name;
        EXPECT_EQ(Data(*E), c.expected) << c.name;
    }
    // An own-format block of another version is not data: nothing changes.
    Load(*E, "z");
    TRef<TTestData> data(new TTestData);
    data->Add(f.Own, OwnBlock("ab", 0x00010002));
    DWORD effect = DROPEFFECT_COPY;
    E->QueryDropFormat(data.P, 0, 1, effect, POINT{});
    EXPECT_EQ(E->InsertDataObject(data.P, 0, 1, effect, POINT{}), E_FAIL);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Data(*E), "z");
}

TEST_F(HexClipboard, PastedBytesAreCutToWholeUnits) {
    E->SetBytesPerUnit(2);
    Load(*E, "");
    TRef<TTestData> three(new TTestData);
    three->Add(CF_RIFF, "abc");
    EXPECT_EQ(Paste(three.P), S_OK);
    EXPECT_EQ(Data(*E), "ab");
    TRef<TTestData> one(new TTestData);
    one->Add(CF_RIFF, "a");
    EXPECT_EQ(Paste(one.P), E_FAIL);
    EXPECT_EQ(Data(*E), "ab");
}

TEST_F(HexClipboard, SeveralFormatsAskWhichOne) {
    const auto& f = hexclip::Formats();
    TRef<TTestData> data(new TTestData);
    data->Add(CF_UNICODETEXT, Utf16(L"u") + std::string(2, '\0'));
    data->Add(CF_TEXT, std::string("t\0", 2));

    Load(*E, "");
    E->Answer = -1;
    EXPECT_EQ(Paste(data.P), E_FAIL);
    EXPECT_EQ(E->DialogCalls, 1);
    EXPECT_EQ(E->Offered, (TClipFormats{CF_TEXT, CF_UNICODETEXT}));
    EXPECT_EQ(Data(*E), "");

    E->Answer = 1;
    EXPECT_EQ(Paste(data.P), S_OK);
    EXPECT_EQ(Data(*E), Utf16(L"u"));
    EXPECT_EQ(E->FoundFormat(1), CF_UNICODETEXT);

    // Data that also lists our own format is pasted from it without asking.
    data->Add(f.Own, OwnBlock("own"));
    Load(*E, "");
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(E->QueryDropFormat(data.P, 0, 1, effect, POINT{}), S_OK);
    EXPECT_EQ(Paste(data.P), S_OK);
    EXPECT_EQ(E->DialogCalls, 2);
    EXPECT_EQ(Data(*E), "own");
}

TEST_F(HexClipboard, FilesPasteTheirContentsOrTheirNames) {
    testsupport::ScratchDir dir;
    const std::wstring a = dir.File(L"a.bin"), b = dir.File(L"b.bin");
    std::ofstream(std::filesystem::path(a), std::ios::binary) << "AAA";
    std::ofstream(std::filesystem::path(b), std::ios::binary) << std::string("B\0B", 3);
    TRef<TTestData> data(new TTestData);
    data->Add(CF_HDROP, DropFiles({a, b}));

    Load(*E, "");
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(E->QueryDropFormat(data.P, 0, 1, effect, POINT{}), S_OK);
    EXPECT_EQ(E->InsertDataObject(data.P, 0, 1, effect, POINT{}), S_OK);
    EXPECT_EQ(Data(*E), std::string("B\0B", 3));

    Load(*E, "");
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(E->InsertDataObject(data.P, 0, 1, effect, POINT{}), S_OK);
    EXPECT_EQ(Data(*E), testsupport::Narrow(a) + '\0' + testsupport::Narrow(b) + '\0');

    // A file that cannot be opened raises the file error; nothing changes.
    TRef<TTestData> missing(new TTestData);
    missing->Add(CF_HDROP, DropFiles({dir.File(L"none.bin")}));
    Load(*E, "x");
    effect = DROPEFFECT_COPY;
    EXPECT_THROW(E->InsertDataObject(missing.P, 0, 1, effect, POINT{}), classlib::EFOpenError);
    EXPECT_EQ(Data(*E), "x");
}

TEST_F(HexClipboard, DropEffects) {
    TRef<TTestData> files(new TTestData);
    files->Add(CF_HDROP, DropFiles({L"C:\\x"}));
    DWORD effect = DROPEFFECT_MOVE;
    ASSERT_EQ(E->QueryDropFormat(files.P, 0, 0, effect, POINT{}), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    E->GetDropEffect(MK_SHIFT, POINT{}, effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    E->GetDropEffect(0, POINT{}, effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

    TRef<TTestData> own(new TTestData);
    own->Add(hexclip::Formats().Own, OwnBlock("a"));
    ASSERT_EQ(E->QueryDropFormat(own.P, 0, 0, effect, POINT{}), S_OK);
    E->GetDropEffect(MK_SHIFT, POINT{}, effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    E->SetReadOnlyView(true);
    EXPECT_EQ(E->QueryDropFormat(own.P, 0, 0, effect, POINT{}), S_FALSE);
}

// ---- Paste-format dialog ------------------------------------------------------------------

TEST(HexFormatDialog, ItemsPreselectionAndTheHexTextBox) {
    SetLastChosenClipFormat(-1);
    const UINT unnamed = 0xC000 + 0x3FFE;  // a number no one registered
    {
        TFormatSelDialog d(nullptr, {CF_TEXT, CF_UNICODETEXT, static_cast<WORD>(unnamed)}, true);
        ASSERT_EQ(d.List()->Count(), 3);
        EXPECT_EQ(d.List()->Items().Get(0), L"Text");
        EXPECT_EQ(d.List()->Items().Get(1), L"Unicode Text");
        EXPECT_EQ(d.List()->Items().Get(2), L"(" + std::to_wstring(unnamed) + L")");
        EXPECT_EQ(d.GetText(), L"Select data format");
        EXPECT_EQ(d.SelectedFormat(), CF_TEXT);
        EXPECT_TRUE(d.OkButton()->Enabled());
        EXPECT_TRUE(d.HexTextCheck()->Enabled());
        EXPECT_TRUE(d.HexTextCheck()->Checked());

        // Choosing Unicode text disables the box and keeps the caller's hex-text choice.
        d.List()->SetItemIndex(1);
        d.ListClicked();
        EXPECT_FALSE(d.HexTextCheck()->Enabled());
        WORD format = 0;
        bool asHex = false;
        ASSERT_TRUE(d.Apply(format, asHex));
        EXPECT_EQ(format, CF_UNICODETEXT);
        EXPECT_FALSE(asHex);
    }
    EXPECT_EQ(LastChosenClipFormat(), CF_UNICODETEXT);
    TFormatSelDialog again(nullptr, {CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT}, false);
    EXPECT_EQ(again.SelectedFormat(), CF_UNICODETEXT);
    EXPECT_EQ(ClipboardFormatDisplayName(hexclip::Formats().HexData), L"RegEdit_HexData");
}

TEST(HexFormatDialog, ModalChoiceWithTheHexTextBox) {
    SetLastChosenClipFormat(-1);
    // Once the dialog runs its modal loop, tick the box and press OK.
    static UINT_PTR timer = 0;
    timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = FindWindowW(nullptr, L"Select data format");
        if (!dialog) return;
        KillTimer(nullptr, timer);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[64] = {};
            GetWindowTextW(child, text, 64);
            if (std::wstring(text) == L"Hex text") SendMessageW(child, BM_CLICK, 0, 0);
        }
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[64] = {};
            GetWindowTextW(child, text, 64);
            if (std::wstring(text) == L"OK") SendMessageW(child, BM_CLICK, 0, 0);
        }
    });
    WORD format = 0;
    bool asHex = false;
    EXPECT_TRUE(ShowFormatDialog({CF_TEXT, CF_UNICODETEXT}, format, asHex));
    EXPECT_EQ(format, CF_TEXT);
    EXPECT_TRUE(asHex);
    EXPECT_EQ(LastChosenClipFormat(), CF_TEXT);
}

// ---- Print options ------------------------------------------------------------------------

TEST(HexPrintOptions, DefaultsCopyAndPersistence) {
    THexEditorEx e(nullptr);
    THexPrintOptions& o = e.PrintOptions();
    EXPECT_EQ(o.MarginLeft(), 20);
    EXPECT_EQ(o.MarginTop(), 15);
    EXPECT_EQ(o.MarginRight(), 25);
    EXPECT_EQ(o.MarginBottom(), 25);
    EXPECT_EQ(o.Flags(), pfSelectionBold | pfMonochrome);
    EXPECT_EQ(o.GetMargin(9), 25);  // any other index is the bottom margin

    const std::wstring saved = e.SavePropertiesToText();
    for (const wchar_t* line : {L"PrintOptions.MarginLeft=20\r\n", L"PrintOptions.Flags=6\r\n",
                                L"PrintOptions.PageHeader=\r\n"})
        EXPECT_NE(saved.find(line), std::wstring::npos) << testsupport::Narrow(line);
    EXPECT_LT(saved.find(L"PrintOptions.Flags"), saved.find(L"PrintFont.Name"));

    THexPrintOptions changed;
    changed.SetMarginLeft(5);
    changed.SetMarginBottom(7);
    changed.SetPageHeader(L"頭\r\nReadOnlyView=True");
    changed.SetPageFooter(L"foot");
    changed.SetFlags(pfSelectionOnly | pfIncludeRuler);
    e.SetPrintOptions(changed);
    const std::wstring text = e.SavePropertiesToText();

    THexEditorEx loaded(nullptr);
    loaded.LoadPropertiesFromText(text);
    EXPECT_EQ(loaded.PrintOptions().MarginLeft(), 5);
    EXPECT_EQ(loaded.PrintOptions().MarginBottom(), 7);
    EXPECT_EQ(loaded.PrintOptions().PageHeader(), L"頭  ReadOnlyView=True");
    EXPECT_EQ(loaded.PrintOptions().PageFooter(), L"foot");
    EXPECT_EQ(loaded.PrintOptions().Flags(), pfSelectionOnly | pfIncludeRuler);
    EXPECT_FALSE(loaded.ReadOnlyView());
    EXPECT_ANY_THROW(loaded.LoadPropertiesFromText(L"PrintOptions.Flags=4096\r\n"));
}
