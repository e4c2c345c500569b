// The tree's OLE data: the format registry and a tree's format list, the data object and its
// enumerator, the tree reference, and data handed in by other programs.
#include <cstring>
#include <string>
#include <vector>

#include "classlib/comobject.h"
#include "classlib/errors.h"
#include "controls/gridtree/gridtree_dataobject.h"
#include "controls/gridtree/stringtree.h"
#include "transfer_test_support.h"

using namespace gridtree;

namespace {

CLIPFORMAT Registered(const wchar_t* Name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(Name)); }

FORMATETC Format(CLIPFORMAT Cf, DWORD Tymed = TYMED_HGLOBAL, LONG Index = -1, DWORD Aspect = DVASPECT_CONTENT) {
    return FORMATETC{Cf, nullptr, Aspect, Index, Tymed};
}

HGLOBAL Block(const void* Data, size_t Size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, Size);
    std::memcpy(GlobalLock(h), Data, Size);
    GlobalUnlock(h);
    return h;
}

// Another program's data object: hands out fixed blocks by format, and an enumerator that
// lists the same format for ever.
class TForeignData : public classlib::TComObject<IDataObject> {
public:
    std::vector<std::pair<CLIPFORMAT, std::string>> Blocks;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* F, STGMEDIUM* M) override {
        for (const auto& [cf, bytes] : Blocks) {
            if (cf != F->cfFormat) continue;
            *M = STGMEDIUM{};
            M->tymed = TYMED_HGLOBAL;
            M->hGlobal = Block(bytes.data(), bytes.size());
            return S_OK;
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* F) override {
        for (const auto& b : Blocks)
            if (b.first == F->cfFormat) return S_OK;
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** E) override {
        *E = new TEndless();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    class TEndless : public classlib::TComObject<IEnumFORMATETC> {
    public:
        HRESULT STDMETHODCALLTYPE Next(ULONG, FORMATETC* F, ULONG* N) override {
            *F = Format(CF_TEXT);
            if (N) *N = 1;
            return S_OK;
        }
        HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC**) override { return E_NOTIMPL; }
    };
};

std::string ReferenceBytes(uint32_t Pid, uint64_t Tree) {
    TTreeReferenceBlock block{Pid, 0, Tree};
    return std::string(reinterpret_cast<const char*>(&block), sizeof block);
}

}  // namespace

TEST(GridTreeFormats, RegistryAndATreesFormatList) {
    TKeyTree base;  // the first tree registers the standard formats
    TGridStringTree strings;
    const auto entries = RegisteredTreeFormats();
    std::vector<std::wstring> names;
    for (const auto& e : entries) names.push_back(e.FormatName);
    EXPECT_EQ((std::vector<std::wstring>{L"Grid Tree Data", L"HTML Format", L"Rich Text Format Without Objects",
                                         L"Rich Text Format", L"CSV", L"Unicode text", L"Plain text"}),
              names);
    EXPECT_EQ(CF_UNICODETEXT, entries[5].Descriptor.cfFormat);

    // By number: 1 to 16 under their own names, 0 adds nothing.
    RegisterTreeFormat(WORD(0), TreeClassOf<TBaseGridTree>(), 300);
    RegisterTreeFormat(WORD(CF_DIB), TreeClassOf<TBaseGridTree>(), 300);
    const auto after = RegisteredTreeFormats();
    ASSERT_EQ(entries.size() + 1, after.size());
    EXPECT_EQ(L"DIB image", after.back().FormatName);
    FORMATETC found{};
    EXPECT_EQ(TreeClassOf<TCustomGridStringTree>(), FormatByName(L"csv", found));
    EXPECT_EQ(nullptr, FormatByName(L"No such format", found));

    EXPECT_EQ(-1, base.ClipboardFormats().Add(L"CSV"));  // rendered by string trees only
    EXPECT_EQ(-1, base.ClipboardFormats().Add(L"No such format"));
    EXPECT_EQ(0, strings.ClipboardFormats().Add(L"CSV"));
    EXPECT_EQ(0, strings.ClipboardFormats().Add(L"csv"));  // a duplicate is ignored
    EXPECT_EQ(1, strings.ClipboardFormats().Add(L"Grid Tree Data"));  // sorted after "CSV"
    EXPECT_EQ(2, strings.ClipboardFormats().Count());
    EXPECT_THROW(strings.ClipboardFormats().Insert(0, L"HTML Format"), classlib::EStringListError);
    strings.ClipboardFormats().Insert(0, L"No such format");  // refused quietly
    EXPECT_EQ(2, strings.ClipboardFormats().Count());
}

TEST(GridTreeDataObject, EnumeratorNextSkipResetClone) {
    TFormatEtcArray formats{Format(1), Format(2), Format(3)};
    classlib::TComPtr<IEnumFORMATETC> e = classlib::TComPtr<IEnumFORMATETC>::Adopt(new TEnumFormatEtc(formats));
    FORMATETC got[5]{};
    ULONG n = 99;
    EXPECT_EQ(S_OK, e->Next(5, got, &n));
    EXPECT_EQ(3u, n);
    EXPECT_EQ(3, got[2].cfFormat);
    EXPECT_EQ(S_FALSE, e->Next(1, got, &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(S_OK, e->Reset());
    EXPECT_EQ(S_FALSE, e->Skip(4));  // does not move
    EXPECT_EQ(S_OK, e->Skip(1));
    classlib::TComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(S_OK, e->Clone(clone.Put()));
    EXPECT_EQ(S_OK, e->Skip(2));
    EXPECT_EQ(S_OK, clone->Next(1, got, nullptr));  // the clone kept its own place
    EXPECT_EQ(2, got[0].cfFormat);
    EXPECT_EQ(S_OK, e->Reset());
    EXPECT_EQ(S_OK, e->Skip(3));
}

TEST(GridTreeDataObject, QueryGetDataAnswers) {
    TKeyTree tree;
    tree.Build("1");
    const CLIPFORMAT data = Registered(L"Grid Tree Data");
    auto object = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(&tree, false));
    // No formats allowed: nothing is offered, yet the tree reference is served.
    FORMATETC f = Format(data);
    EXPECT_EQ(DV_E_CLIPFORMAT, object->QueryGetData(&f));
    FORMATETC reference = Format(Registered(L"Grid Tree Reference"));
    STGMEDIUM medium{};
    ASSERT_EQ(S_OK, object->GetData(&reference, &medium));
    EXPECT_EQ(&tree, TBaseGridTree::GetTreeFromDataObject(object.Get()));
    ReleaseStgMedium(&medium);

    tree.ClipboardFormats().Add(L"Grid Tree Data");
    object = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(&tree, false));
    const struct {
        FORMATETC F;
        HRESULT Expected;
    } cases[] = {
        {Format(data), S_OK},
        {Format(data, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
        {Format(data, TYMED_ISTORAGE), DV_E_TYMED},
        {Format(data, TYMED_HGLOBAL, 0), DV_E_LINDEX},
        {Format(data, TYMED_HGLOBAL, -1, DVASPECT_ICON), DV_E_DVASPECT},
        {Format(CF_TEXT), DV_E_CLIPFORMAT},
    };
    for (auto c : cases) EXPECT_EQ(c.Expected, object->QueryGetData(&c.F)) << c.F.tymed << " " << c.F.lindex;
    FORMATETC canonical{};
    EXPECT_EQ(DATA_S_SAMEFORMATETC, object->GetCanonicalFormatEtc(&f, &canonical));
    EXPECT_EQ(E_NOTIMPL, object->GetDataHere(&f, &medium));
    // A drag's data: the selection; nothing selected gives no block.
    EXPECT_EQ(E_FAIL, object->GetData(&f, &medium));
    tree.SetSelected(tree.GetFirstNoInit(), true);
    ASSERT_EQ(S_OK, object->GetData(&f, &medium));
    EXPECT_EQ(TYMED_HGLOBAL, medium.tymed);
    ReleaseStgMedium(&medium);
}

TEST(GridTreeDataObject, SetDataKeepsTheLastMedium) {
    TKeyTree tree;
    auto object = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(&tree, false));
    FORMATETC f = Format(CF_TEXT);
    for (const char* text : {"first", "second"}) {
        STGMEDIUM m{};
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = Block(text, std::strlen(text) + 1);
        ASSERT_EQ(S_OK, object->SetData(&f, &m, FALSE));  // a copy is kept
        ReleaseStgMedium(&m);
    }
    STGMEDIUM out{};
    ASSERT_EQ(S_OK, object->QueryGetData(&f));
    ASSERT_EQ(S_OK, object->GetData(&f, &out));
    EXPECT_STREQ("second", static_cast<const char*>(GlobalLock(out.hGlobal)));
    GlobalUnlock(out.hGlobal);
    // Handed out by reference: the data object releases it.
    EXPECT_NE(nullptr, out.pUnkForRelease);
    ReleaseStgMedium(&out);

    // A medium whose release object is the data object itself must not keep it alive.
    ASSERT_EQ(S_OK, object->GetData(&f, &out));
    auto* impl = static_cast<TGTDataObject*>(object.Get());
    const LONG before = impl->RefCount();
    ASSERT_EQ(S_OK, object->SetData(&f, &out, FALSE));
    ReleaseStgMedium(&out);
    EXPECT_EQ(before - 1, impl->RefCount());
}

TEST(GridTreeDataObject, LaterCallsFailOnceTheTreeIsGone) {
    auto tree = std::make_unique<TKeyTree>();
    tree->ClipboardFormats().Add(L"Grid Tree Data");
    auto object = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(tree.get(), true));
    tree.reset();
    FORMATETC reference = Format(Registered(L"Grid Tree Reference"));
    STGMEDIUM medium{};
    EXPECT_EQ(E_FAIL, object->GetData(&reference, &medium));
    FORMATETC data = Format(Registered(L"Grid Tree Data"));
    EXPECT_EQ(E_FAIL, object->GetData(&data, &medium));
    EXPECT_EQ(nullptr, TBaseGridTree::GetTreeFromDataObject(object.Get()));
    // Its release (the clipboard letting go) touches no tree.
}

TEST(GridTreeDataObject, ForeignDataIsCheckedBeforeUse) {
    TKeyTree tree;
    tree.ClipboardFormats();  // a tree that can hand out data counts among the living ones
    const CLIPFORMAT referenceFormat = Registered(L"Grid Tree Reference");
    const uint32_t pid = GetCurrentProcessId();
    const struct {
        const char* Name;
        std::string Bytes;
        bool Found;
    } references[] = {
        {"this process, a living tree", ReferenceBytes(pid, reinterpret_cast<uint64_t>(&tree)), true},
        {"another process", ReferenceBytes(pid + 1, reinterpret_cast<uint64_t>(&tree)), false},
        {"an address that is no tree", ReferenceBytes(pid, reinterpret_cast<uint64_t>(&pid)), false},
        {"a short block", ReferenceBytes(pid, reinterpret_cast<uint64_t>(&tree)).substr(0, 8), false},
    };
    for (const auto& r : references) {
        SCOPED_TRACE(r.Name);
        auto foreign = classlib::TComPtr<TForeignData>::Adopt(new TForeignData());
        foreign->Blocks.push_back({referenceFormat, r.Bytes});
        EXPECT_EQ(r.Found ? &tree : nullptr, TBaseGridTree::GetTreeFromDataObject(foreign.Get()));
    }

    // Tree data whose byte count exceeds its block is refused whole.
    auto foreign = classlib::TComPtr<TForeignData>::Adopt(new TForeignData());
    std::string block(4, '\0');
    const uint32_t count = 1000;
    std::memcpy(block.data(), &count, 4);
    block += std::string(40, '\x01');
    foreign->Blocks.push_back({Registered(L"Grid Tree Data"), block});
    EXPECT_FALSE(tree.ProcessOLEData(nullptr, foreign.Get(), nullptr, amAddChildLast, false));
    EXPECT_EQ(0u, tree.TotalCount());

    // A format list that never ends is read up to the cap.
    EXPECT_EQ(1024u, ReadFormatList(foreign.Get()).size());
}

TEST(GridTreeDataObject, ExceptionsWhileRenderingBecomeAnErrorCode) {
    TKeyTree tree;
    tree.OnRenderOLEData = [](TBaseGridTree*, const FORMATETC&, STGMEDIUM&, bool, HRESULT&) {
        throw classlib::Exception(L"描画できません");
    };
    tree.OnGetUserClipboardFormats = [](TBaseGridTree*, std::vector<FORMATETC>& Formats) {
        Formats.push_back(Format(CF_TEXT));
    };
    auto object = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(&tree, false));
    FORMATETC f = Format(CF_TEXT);
    STGMEDIUM medium{};
    medium.tymed = 12345;
    EXPECT_EQ(E_FAIL, object->GetData(&f, &medium));
    EXPECT_EQ(DWORD(TYMED_NULL), medium.tymed);
    // The failure is reported later by the message loop, not thrown through the caller.
    const auto queued = classlib::QueuedExceptionMessages();
    EXPECT_NE(queued.end(), std::find(queued.begin(), queued.end(), L"描画できません"));
    classlib::DiscardQueuedExceptions();
}
