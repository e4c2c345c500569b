#include "tools/licenseform.h"

#include "controls/toolbar/ui/uiforms.h"

namespace tools {

using namespace classlib;
using namespace ui;

namespace {

struct TCondition {
    const wchar_t* Number;
    const wchar_t* Headline;
    const wchar_t* Explanation;
};

constexpr TCondition Conditions[] = {
    {L"１．", L"Windowsパソコンの扱いに慣れていること",
     L"レジストリに何が保存されていて、どのキーや値を変えると何が起こるかを自分で判断できる方のためのソフトウェアです。"},
    {L"２．", L"最悪の事態に備えていること",
     L"変更の前にはバックアップ(スクリプトやハイブファイルへのエクスポート、システムの復元ポイント)を取り、Windowsが起動しなくなっても元に戻せるようにしてください。"},
    {L"３．", L"作者によるサポートを期待しないこと",
     L"作者は空いた時間でこのソフトウェアを作っています。質問や要望に応えるための時間を割くことは約束できません。"},
    {L"４．", L"無保証・無サポートを受け入れること",
     L"このソフトウェアは現状のまま提供され、いかなる保証もありません。使用によって生じたどのような損害についても作者は責任を負いません。"},
    {L"５．", L"個人での利用に限ること", L"このソフトウェアは個人が自分のパソコンで使うためのものです。"},
};

// A label wrapped within the place's width (a label of one line takes its caption's width).
TUiLabel* Paragraph(const TPlacer& at, const wchar_t* text, TPlace place) {
    TUiLabel* label = at.Label(text, place);
    label->SetWrapping(themed::twWrap);
    label->SetWidth(place.Width);
    return label;
}

}  // namespace

TLicenseForm::TLicenseForm(TComponent* owner) : wide::TWideForm(owner) {
    constexpr int width = 523, height = 534, left = 16, textWidth = width - 2 * left;
    SetUpDialog(*this, {L"ライセンス", width, height, false, poScreenCenter});
    const TPlacer at(this, this);

    TUiLabel* heading = at.Label(L"ライセンス", {left, 12, 0, 0});
    heading->Font().SetHeight(-16);
    heading->SetCaptionGlow(gldTopLeft);
    heading->SetCaptionGlowColor(clSilver);
    TUiPanel* rule = at.Panel({left, 40, textWidth, 3});
    rule->SetColor(clBlack);

    Paragraph(at,
              L"このソフトウェアはレジストリを直接書き換える道具です。レジストリを誤って変更すると、Windowsやほかの"
              L"ソフトウェアが正しく動かなくなることがあります。次の条件をすべて満たす方だけがお使いください。",
              {left, 52, textWidth, 48});
    int top = 108;
    for (const TCondition& condition : Conditions) {
        at.Label(condition.Number, {left, top, 0, 0});
        TUiLabel* headline = at.Label(condition.Headline, {left + 24, top, 0, 0});
        headline->SetUnderline(true);
        Paragraph(at, condition.Explanation, {left + 24, top + 18, textWidth - 24, 44});
        top += 72;
    }
    Paragraph(at, L"このソフトウェアを使った時点で、以上の条件に同意したものとみなします。", {left, top + 4, textWidth, 32});

    OkButton = at.Button(kOkCaption, {width - 8 - 75, height - 33, 75, 25}, mrOk);
    OkButton->SetDefault(true);
    OkButton->Cancel = true;
    SetActiveControl(OkButton);
}

}  // namespace tools
