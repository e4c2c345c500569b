#include "tools/versionform.h"

#include "classlib/graphics.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/wideimage.h"
#include "controls/wide/widetreeview.h"
#include "controls/wide/wideutils.h"

#include <shellapi.h>

#include <vector>

namespace tools {

using namespace classlib;
using namespace ui;

std::wstring ReadFileVersion(const std::wstring& fileName) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &ignored);
    if (size == 0) return L"";
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(fileName.c_str(), 0, size, block.data())) return L"";
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\StringFileInfo\\041103A4\\FileVersion", &value, &length) || !value ||
        length == 0)
        return L"";
    std::wstring version(static_cast<const wchar_t*>(value), length);
    version.resize(wcsnlen(version.c_str(), version.size()));
    return version;
}

const std::vector<TCreditLine>& Credits() {
    static const std::vector<TCreditLine> lines = {
        {0, L"ユーザーインターフェース"},
        {1, L"Wendlar コントロール群"},
        {2, L"キーツリー、Unicode対応コントロール、ツールバーとドッキング、テーマ、16進エディタ"},
        {2, L"このプログラムのために書かれたものです"},
        {0, L"コアコンポーネント"},
        {1, L"Oniguruma"},
        {2, L"正規表現ライブラリ(onig.dll として同梱)"},
        {2, L"https://github.com/kkos/oniguruma", true},
        {2, L"Copyright (c) 2002-2021  K.Kosako  <kkosako0@gmail.com>  All rights reserved."},
        {2, L"ライセンス"},
        {3, L"Redistribution and use in source and binary forms, with or without modification, are permitted "
            L"provided that the following conditions are met:"},
        {3, L"1. Redistributions of source code must retain the above copyright notice, this list of conditions "
            L"and the following disclaimer."},
        {3, L"2. Redistributions in binary form must reproduce the above copyright notice, this list of "
            L"conditions and the following disclaimer in the documentation and/or other materials provided with "
            L"the distribution."},
        {3, L"THIS SOFTWARE IS PROVIDED BY THE AUTHOR AND CONTRIBUTORS ``AS IS'' AND ANY EXPRESS OR IMPLIED "
            L"WARRANTIES, INCLUDING, BUT NOT LIMITED TO, THE IMPLIED WARRANTIES OF MERCHANTABILITY AND FITNESS FOR "
            L"A PARTICULAR PURPOSE ARE DISCLAIMED.  IN NO EVENT SHALL THE AUTHOR OR CONTRIBUTORS BE LIABLE FOR ANY "
            L"DIRECT, INDIRECT, INCIDENTAL, SPECIAL, EXEMPLARY, OR CONSEQUENTIAL DAMAGES (INCLUDING, BUT NOT "
            L"LIMITED TO, PROCUREMENT OF SUBSTITUTE GOODS OR SERVICES; LOSS OF USE, DATA, OR PROFITS; OR BUSINESS "
            L"INTERRUPTION) HOWEVER CAUSED AND ON ANY THEORY OF LIABILITY, WHETHER IN CONTRACT, STRICT LIABILITY, "
            L"OR TORT (INCLUDING NEGLIGENCE OR OTHERWISE) ARISING IN ANY WAY OUT OF THE USE OF THIS SOFTWARE, EVEN "
            L"IF ADVISED OF THE POSSIBILITY OF SUCH DAMAGE."},
        {1, L"mingw-w64 winpthreads"},
        {2, L"スレッドの実行時ライブラリ(wendlar.exe に静的に組み込み)"},
        {2, L"https://www.mingw-w64.org/", true},
        {2, L"Copyright (c) 2011-2016 mingw-w64 project"},
        {2, L"ライセンス"},
        {3, L"Permission is hereby granted, free of charge, to any person obtaining a copy of this software and "
            L"associated documentation files (the \"Software\"), to deal in the Software without restriction, "
            L"including without limitation the rights to use, copy, modify, merge, publish, distribute, "
            L"sublicense, and/or sell copies of the Software, and to permit persons to whom the Software is "
            L"furnished to do so, subject to the following conditions:"},
        {3, L"The above copyright notice and this permission notice shall be included in all copies or "
            L"substantial portions of the Software."},
        {3, L"THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, INCLUDING BUT "
            L"NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND "
            L"NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES "
            L"OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN "
            L"CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE."},
        {2, L"Copyright (c) 2010 Lockless Inc. (pthread.h)"},
        {0, L"アクセス制御ヘッダー"},
        {1, L"mingw-w64 ヘッダー"},
        {2, L"アクセス許可の編集(aclui)とセキュリティの定義"},
        {2, L"https://www.mingw-w64.org/", true},
        {0, L"独自コンポーネント"},
        {1, L"Wendlar レジストリライブラリ"},
        {2, L"レジストリの読み書き、検索、アンドゥ、設定ファイル"},
        {2, L"このプログラムのために書かれたものです"},
        {0, L"アイコン"},
        {1, L"Wendlar アイコンセット"},
        {2, L"プログラムのアイコン、コマンド、レジストリ、キーツリーの絵"},
        {2, L"このプログラムのために描かれたものです"},
    };
    return lines;
}

namespace {

constexpr int AddressImage = 1;
constexpr TColor LeftOut = 0xFF00FF;

// The state images: 0 empty, 1 a web address (a globe), 2 a page.
TImageList* MakeStateImages(TComponent* owner) {
    auto* list = new TImageList(owner);
    for (int image = 0; image < 3; ++image) {
        TBitmap bitmap(16, 16, pf24bit);
        TCanvas& canvas = bitmap.Canvas();
        canvas.Brush().SetColor(LeftOut);
        canvas.FillRect({0, 0, 16, 16});
        canvas.Pen().SetColor(0x703010);
        if (image == 1) {
            canvas.Brush().SetColor(0xE0A040);
            canvas.Ellipse(1, 1, 15, 15);
            canvas.MoveTo(8, 1);
            canvas.LineTo(8, 15);
            canvas.MoveTo(1, 8);
            canvas.LineTo(15, 8);
            canvas.Brush().SetStyle(bsClear);
            canvas.Ellipse(4, 1, 12, 15);
        } else if (image == 2) {
            canvas.Brush().SetColor(0xFFFFFF);
            canvas.Rectangle(3, 1, 13, 15);
        }
        list->AddMasked(bitmap, LeftOut);
    }
    return list;
}

}  // namespace

TVersionForm::TVersionForm(TComponent* owner) : wide::TWideForm(owner) {
    constexpr int width = 458, height = 368;
    SetUpDialog(*this, {L"バージョン情報", width, height, false, poScreenCenter});
    const TPlacer at(this, this);

    ProgramIcon = at.Add<wide::TWideImage>({12, 10, 48, 48});
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 48, 48, 0));
    ProgramIcon->SetIcon(icon ? icon : LoadIconW(nullptr, IDI_APPLICATION), icon != nullptr);

    auto* name = at.Label(L"Wendlar", {72, 12, 0, 0});
    verlabel = at.Label(L"", {150, 12, 0, 0});
    for (TUiLabel* label : {name, verlabel}) {
        label->SetCaptionGlow(gldAll);
        label->SetCaptionGlowColor(clRed);
    }
    verlabel->SetCaption(ReadFileVersion(wide::WideGetModuleFileName(nullptr)));
    at.Label(L"Copyright (C) Wendlar の作者", {72, 34, 0, 0});
    at.Label(L"メインアイコン: Wendlar プロジェクトの作成", {72, 50, 0, 0});
    at.Label(L"アイコンの配布元: このプログラムに同梱", {72, 66, 0, 0});

    auto* group = at.Add<TUiGroupBox>(L"利用コンポーネント一覧", {8, 90, width - 16, height - 90 - 42});
    const TPlacer inGroup = at.On(group);
    auto* note = inGroup.Label(L"このソフトウェアは様々なコンポーネントで成り立っています。ここでは、そのコンポーネントの一覧を"
                               L"掲載しています。URLはダブルクリックで開きます。",
                               {10, 18, width - 36, 44});
    note->SetWrapping(themed::twWrap);
    note->SetWidth(width - 36);
    ImageList = MakeStateImages(this);
    WideTreeView1 = inGroup.Add<wide::TWideTreeView>({10, 66, width - 36, group->Height() - 76});
    WideTreeView1->ReadOnly = true;
    WideTreeView1->SetStateImages(ImageList);
    std::vector<wide::TWideTreeNode*> parents, open;
    for (const TCreditLine& line : Credits()) {
        parents.resize(static_cast<size_t>(line.Depth));
        wide::TWideTreeNode* node = line.Depth == 0 ? WideTreeView1->Items().Add(nullptr, line.Text)
                                                    : WideTreeView1->Items().AddChild(parents.back(), line.Text);
        if (line.Address) node->SetStateIndex(AddressImage);
        if (line.Depth < 2) open.push_back(node);  // the groups and entries; licence texts stay folded
        parents.push_back(node);
    }
    for (wide::TWideTreeNode* node : open) node->SetExpanded(true);
    OnShow = [this](TComponent*) { WideTreeView1->SetTopItem(WideTreeView1->Items().GetFirstNode()); };
    WideTreeView1->OnDblClick = [this](TComponent*) { WideTreeView1DblClick(); };

    OkButton = at.Button(kOkCaption, {width - 8 - 75, height - 33, 75, 25}, mrOk);
    OkButton->SetDefault(true);
    OkButton->Cancel = true;
    OpenAddress = [this](const std::wstring& address) {
        ShellExecuteW(Handle(), L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
    };
    SetActiveControl(OkButton);
}

void TVersionForm::WideTreeView1DblClick() {
    wide::TWideTreeNode* node = WideTreeView1->Selected();
    if (node && node->StateIndex() != -1 && OpenAddress) OpenAddress(node->Text());
}

}  // namespace tools
