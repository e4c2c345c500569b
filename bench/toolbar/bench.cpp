// Toolbar core benchmark: filling a sub-menu that a view shows.
//
// 2,000 items are added one by one to a sub-menu whose popup view exists (its window not
// shown yet), once inside BeginUpdate/EndUpdate and once without, and the view is laid out.
// The baseline builds the same menu with the system's menus: AppendMenuW of the same
// captions, then the measuring the system does before it first shows a menu (the text
// extent of every caption in the menu font). Aim: at most twice the baseline.
//
// Both sides are checked: the same number of items, and the widest row of the view is the
// widest caption plus the room the layout gives an item without image or shortcut.
//
// Usage: toolbar_bench.exe [rounds]
#include "common/bench_common.h"
#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "controls/toolbar/tbview.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace classlib;
using namespace toolbar;

namespace {

constexpr int kItems = 2000;

std::vector<std::wstring> Captions() {
    std::vector<std::wstring> list;
    for (int i = 0; i < kItems; ++i) list.push_back(L"メニュー項目 " + std::to_wstring(i * 7919 % 10007));
    return list;
}

// What the system measures of a menu: every caption's extent, and the row height.
struct TMeasured {
    int Count = 0;
    int WidestText = 0;
    int RowHeight = 0;
};

TMeasured MeasureMenu(HMENU menu, HFONT font) {
    TMeasured m;
    m.Count = GetMenuItemCount(menu);
    TWindowDC screen(nullptr);
    TSelectedObject selected(screen.Handle(), font);
    TEXTMETRICW tm{};
    GetTextMetricsW(screen.Handle(), &tm);
    m.RowHeight = tm.tmHeight + tm.tmExternalLeading + 4;
    wchar_t text[128];
    for (int i = 0; i < m.Count; ++i) {
        const int n = GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        SIZE s{};
        GetTextExtentPoint32W(screen.Handle(), text, n, &s);
        m.WidestText = std::max<int>(m.WidestText, s.cx);
    }
    return m;
}

class TPopupWindow : public TCustomControl {
public:
    TPopupWindow() : TCustomControl(nullptr) { SetBounds(0, 0, 200, 300); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : bench::DefaultRounds;
    auto* app = new TApplication();
    bench::PrintLegend();
    const std::vector<std::wstring> captions = Captions();

    TBarRootItem root(nullptr);
    auto* sub = new TBarCustomItem(&root);
    sub->SetItemStyle(sub->ItemStyle() | tbstSubmenu);
    root.Add(sub);
    TPopupWindow window;
    auto view = std::make_unique<TBarView>(nullptr, nullptr, sub, &window, false, false, false);

    HMENU menu = nullptr;
    TMeasured baseline;
    auto base = [&] {
        menu = CreatePopupMenu();
        for (int i = 0; i < kItems; ++i)
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(i + 1), captions[static_cast<size_t>(i)].c_str());
        baseline = MeasureMenu(menu, window.Font().Handle());
    };
    auto fill = [&](bool batched) {
        if (batched) view->BeginUpdate();
        for (int i = 0; i < kItems; ++i) {
            auto* item = new TBarCustomItem(sub);
            item->SetCaption(captions[static_cast<size_t>(i)]);
            sub->Add(item);
        }
        if (batched) view->EndUpdate();
        view->EnsurePositionsValid();
    };
    bool correct = true;
    auto check = [&] {
        int widest = 0;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            const RECT r = view->Viewers(i)->BoundsRect;
            widest = std::max<int>(widest, r.right - r.left);
        }
        const int h = baseline.RowHeight;
        const bool ok = view->ViewerCount() == kItems && baseline.Count == kItems &&
                        widest == baseline.WidestText + h + 6 + h &&
                        view->Viewers(kItems - 1)->BoundsRect.bottom == kItems * h;
        if (!ok)
            std::printf("  mismatch: viewers %d, menu items %d, widest row %d, widest caption %d, row %d\n",
                        view->ViewerCount(), baseline.Count, widest, baseline.WidestText, h);
        correct = correct && ok;
    };
    auto reset = [&] {
        check();
        sub->Clear();
        if (menu) DestroyMenu(menu);
        menu = nullptr;
    };

    for (bool batched : {true, false}) {
        correct = true;
        const auto pair = bench::Alternate(rounds, base, [&] { fill(batched); }, reset);
        bench::Report(batched ? "2,000 items into a sub-menu, BeginUpdate, laid out"
                              : "2,000 items into a sub-menu, one by one, laid out",
                      pair, 2.0, correct);
    }

    view.reset();
    const int rc = bench::Finish();
    delete app;
    return rc;
}
