#include "app/gesturefeedback.h"

namespace app {

std::optional<std::wstring> GestureLabelText(const std::wstring& marks,
                                             const std::wstring& commandCaption) {
    if (marks.empty()) return std::nullopt;
    std::wstring text = L"■" + marks;
    if (!commandCaption.empty()) text += L"(" + commandCaption + L")";
    return text;
}

const std::array<TViewToggleDef, 5> ViewToggleDefs = {{
    {TActionId::aacViewMenu, L"ToolMenu"},
    {TActionId::aacViewMainToolBar, L"MainToolBar"},
    {TActionId::aacViewAddr, L"AddrToolbar"},
    {TActionId::aacViewToolBox, L"CustomTools"},
    {TActionId::aacViewFavorite, L"FavoriteDock"},
}};

const wchar_t* ViewToggleComponent(TActionId action) {
    for (const TViewToggleDef& def : ViewToggleDefs)
        if (def.Action == action) return def.Component;
    return nullptr;
}

}  // namespace app
