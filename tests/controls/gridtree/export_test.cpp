// The string tree's text exports and their clipboard blocks.
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

#include "classlib/comobject.h"
#include "controls/gridtree/gridtree_dataobject.h"
#include "controls/gridtree/stringtree.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

// A string tree whose texts come from a table: node index path (as "0", "0.1") and column.
struct TTextTree {
    TGridStringTree Tree;
    std::map<std::pair<std::string, TColumnIndex>, std::wstring> Texts;

    static std::string Path(PGridNode Node) {
        std::string path = std::to_string(uint32_t(Node->Index));
        for (PGridNode p = Node->Parent; p != OwningTree(Node)->RootNode(); p = p->Parent)
            path = std::to_string(uint32_t(p->Index)) + "." + path;
        return path;
    }
    TTextTree() {
        Tree.OnGetText = [this](TBaseGridTree*, PGridNode Node, TColumnIndex Column, TGSTTextType, std::wstring& Text) {
            auto found = Texts.find({Path(Node), Column});
            Text = found == Texts.end() ? L"" : found->second;
        };
    }
    void AddColumns(std::initializer_list<std::pair<const wchar_t*, int>> Columns) {
        for (auto [text, width] : Columns) {
            TGridTreeColumn* c = Tree.Header().Columns().Add();
            c->SetText(text);
            c->SetWidth(width);
        }
    }
};

std::string Between(const std::string& S, const std::string& Key) {
    const size_t at = S.find(Key);
    return at == std::string::npos ? std::string() : S.substr(at + Key.size(), 8);
}

}  // namespace

TEST(GridTreeExport, SeparatedTextQuotingAndIndentation) {
    TTextTree t;
    t.AddColumns({{L"Name", 80}, {L"Data", 80}});
    t.Tree.SetRootNodeCount(3);
    t.Texts = {{{"0", 0}, L"a;b"}, {{"0", 1}, L"say \"hi\""}, {{"1", 0}, L"plain"}, {{"1", 1}, L"x\"y"},
               {{"2", 0}, L"c;\"d\""}, {{"2", 1}, L""}};
    EXPECT_EQ("Name;Data\r\n\"a;b\";\"say \"\"hi\"\"\"\r\nplain;\"x\"\"y\"\r\n\"c;\"\"d\"\"\";\r\n",
              t.Tree.ContentToText(tstAll, ';'));
    // UTF-16: only cells with the separator are quoted, and their quotes then doubled.
    EXPECT_EQ(L"Name;Data\r\n\"a;b\";say \"hi\"\r\nplain;x\"y\r\n\"c;\"\"d\"\"\";\r\n",
              t.Tree.ContentToUnicode(tstAll, L';'));

    TTextTree nested;
    nested.Tree.SetRootNodeCount(1);
    nested.Tree.SetChildCount(nested.Tree.GetFirst(), 1);
    nested.Texts = {{{"0", NoColumn}, L"A"}, {{"0.0", NoColumn}, L"B;C"}};
    EXPECT_EQ(L"A\r\n\tB;C\r\n", nested.Tree.ContentToUnicode(tstAll, L'\t'));
    EXPECT_EQ("A\r\n;B;C\r\n", nested.Tree.ContentToText(tstAll, ';'));  // never quoted without columns
    // The main column keeps its level's place with separators around the text.
    nested.AddColumns({{L"K", 50}, {L"V", 50}});
    nested.Texts[{"0", 0}] = L"A";
    nested.Texts[{"0.0", 0}] = L"B";
    nested.Texts[{"0.0", 1}] = L"v";
    EXPECT_EQ(L"K\t\tV\r\nA\t\t\r\n\tB\tv\r\n", nested.Tree.ContentToUnicode(tstAll, L'\t'));
}

TEST(GridTreeExport, HtmlEscapesAndCarriesUtf8) {
    TTextTree t;
    t.Tree.SetRootNodeCount(1);
    t.Texts = {{{"0", NoColumn}, L"<b>&\"レジストリ\""}};
    const std::string html = t.Tree.ContentToHTML(tstAll, L"表");
    EXPECT_NE(std::string::npos, html.find(">&lt;b>&amp;&quot;\xE3\x83\xAC\xE3\x82\xB8\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xAA&quot;</td>"))
        << html;
    EXPECT_NE(std::string::npos, html.find("caption=\"\xE8\xA1\xA8\""));
    EXPECT_EQ(0u, html.find("<style type=\"text/css\">\r\n.default{font:"));
    EXPECT_EQ(html.size() - 8, html.rfind("</table>"));
}

TEST(GridTreeExport, HtmlClipboardOffsets) {
    TTextTree t;
    t.Tree.SetRootNodeCount(2);
    t.Texts = {{{"0", NoColumn}, L"一"}, {{"1", NoColumn}, L"two"}};
    const std::string table = t.Tree.ContentToHTML(tstAll);
    HGLOBAL block = t.Tree.ContentToClipboard(RegisterClipboardFormatW(L"HTML Format"), tstAll);
    ASSERT_NE(nullptr, block);
    const std::string text(static_cast<const char*>(GlobalLock(block)));
    GlobalUnlock(block);
    GlobalFree(block);
    const size_t n = table.size();
    EXPECT_EQ("00000097", Between(text, "StartHTML:"));
    EXPECT_EQ("00000269", Between(text, "StartFragment:"));
    EXPECT_EQ(std::to_string(n + 269), std::to_string(std::atoi(Between(text, "EndFragment:").c_str())));
    EXPECT_EQ(std::to_string(n + 301), std::to_string(std::atoi(Between(text, "EndHTML:").c_str())));
    EXPECT_EQ(0u, text.find("Version:1.0\r\nStartHTML:"));
    EXPECT_EQ(97u, text.find("<!DOCTYPE"));
    EXPECT_EQ(table, text.substr(269, n));
    EXPECT_EQ(n + 301, text.size());
}

TEST(GridTreeExport, RtfUnitsAndCellEdges) {
    TTextTree t;
    t.AddColumns({{L"A", 100}, {L"B", 33}, {L"C", 17}});
    t.Tree.SetRootNodeCount(1);
    t.Texts = {{{"0", 0}, L"\u00E9\u3042\uFF21"}};
    const std::string rtf = t.Tree.ContentToRTF(tstAll);
    EXPECT_NE(std::string::npos, rtf.find("\\u233\\'3f\\u12354\\'3f\\u-223\\'3f")) << rtf;
    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::string edges;
    for (int right : {100, 133, 150})
        edges += "\\cellx" + std::to_string(int64_t(std::nearbyint(double(right) * 1440 / ppi)));
    EXPECT_NE(std::string::npos, rtf.find("\\uc1\\trowd\\trgaph70" + edges)) << rtf;
    EXPECT_EQ(0u, rtf.find("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 "));
    EXPECT_EQ("\\pard\\par}", rtf.substr(rtf.size() - 10));
}

TEST(GridTreeExport, RenderedThroughTheDataObject) {
    TTextTree t;
    t.Tree.SetRootNodeCount(2);
    t.Texts = {{{"0", NoColumn}, L"一"}, {{"1", NoColumn}, L"二"}};
    t.Tree.ClipboardFormats().Add(L"Unicode text");
    t.Tree.SetSelected(t.Tree.GetFirst(), true);
    auto object = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(&t.Tree, false));
    FORMATETC f{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    ASSERT_EQ(S_OK, object->GetData(&f, &m));
    EXPECT_EQ(std::wstring(L"一\r\n"), static_cast<const wchar_t*>(GlobalLock(m.hGlobal)));
    EXPECT_EQ(sizeof(L"一\r\n"), GlobalSize(m.hGlobal));
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(&m);
    // Not allowed by the tree's list: not offered.
    f.cfFormat = CF_TEXT;
    EXPECT_EQ(DV_E_CLIPFORMAT, object->QueryGetData(&f));
}
