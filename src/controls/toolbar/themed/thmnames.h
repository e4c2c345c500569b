#pragma once
// The names of the toolbar themes: the one place they are spelled. The registration table,
// the option "ThmTheme" of "setting.db" and the themed controls' look rules (ui/uithemequirks)
// refer to a theme only through these constants.

#include <array>

namespace themed {

inline constexpr const wchar_t kThemeDefault[] = L"Default";
inline constexpr const wchar_t kThemeOfficeXP[] = L"OfficeXP";
inline constexpr const wchar_t kThemeStripes[] = L"Stripes";
inline constexpr const wchar_t kThemeAluminum[] = L"Aluminum";
inline constexpr const wchar_t kThemeAthen[] = L"Athen";
inline constexpr const wchar_t kThemeDream[] = L"Dream";
inline constexpr const wchar_t kThemeEos[] = L"Eos";
inline constexpr const wchar_t kThemeMiranda[] = L"Miranda";
inline constexpr const wchar_t kThemeMonai[] = L"Monai";
inline constexpr const wchar_t kThemeMonaiXP[] = L"MonaiXP";
inline constexpr const wchar_t kThemeNexos2[] = L"Nexos2";
inline constexpr const wchar_t kThemeNexos3[] = L"Nexos3";
inline constexpr const wchar_t kThemeNexos4[] = L"Nexos4";
inline constexpr const wchar_t kThemeNexos5[] = L"Nexos5";
inline constexpr const wchar_t kThemeNexosX[] = L"NexosX";
inline constexpr const wchar_t kThemeOffice11Adaptive[] = L"Office11Adaptive";
inline constexpr const wchar_t kThemeOffice2003[] = L"Office2003";
inline constexpr const wchar_t kThemeOfficeC[] = L"OfficeC";
inline constexpr const wchar_t kThemeOfficeK[] = L"OfficeK";
inline constexpr const wchar_t kThemeRelifer[] = L"Relifer";
inline constexpr const wchar_t kThemeRoma[] = L"Roma";
inline constexpr const wchar_t kThemeSentimoX[] = L"SentimoX";
inline constexpr const wchar_t kThemeTristan2[] = L"Tristan2";
inline constexpr const wchar_t kThemeTristan[] = L"Tristan";
inline constexpr const wchar_t kThemeWhidbey[] = L"Whidbey";
inline constexpr const wchar_t kThemeXito[] = L"Xito";
inline constexpr const wchar_t kThemeZezio[] = L"Zezio";

// Every theme of the program, built or still to be built, in registration order: the order
// of the theme list the user is offered. The registration table follows it.
inline constexpr std::array<const wchar_t*, 27> kThemeNames = {
    kThemeDefault,  kThemeOfficeXP, kThemeStripes,  kThemeAluminum, kThemeAthen,
    kThemeDream,    kThemeEos,      kThemeMiranda,  kThemeMonai,    kThemeMonaiXP,
    kThemeNexos2,   kThemeNexos3,   kThemeNexos4,   kThemeNexos5,   kThemeNexosX,
    kThemeOffice11Adaptive, kThemeOffice2003, kThemeOfficeC, kThemeOfficeK, kThemeRelifer,
    kThemeRoma,     kThemeSentimoX, kThemeTristan2, kThemeTristan,  kThemeWhidbey,
    kThemeXito,     kThemeZezio,
};

// The name under which a skin theme would switch on the themed controls' skin options
// (ui/uiskin.h). No theme of the program is registered under it.
inline constexpr const wchar_t kSkinThemeName[] = L"UiTheme";

}  // namespace themed
