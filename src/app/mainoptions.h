// The options of "setting.db" live in the options library (the option table drives the
// reader, the writer and the settings dialog). The program's code names them in its own
// namespace.
#pragma once

#include "options/mainoptions.h"
#include "options/optiontable.h"

namespace app {

using options::ApplyFontOptions;
using options::ReadMainOptions;
using options::ReadRegWindowOptions;
using options::ReadSettingString;
using options::ReadStartupOptions;
using options::SaveMainOptions;
using options::TakeFirstRunMarker;
using options::TFontOptions;
using options::TMainOptions;
using options::TRegWindowOptions;
using options::TStartupOptions;
using options::WriteMainOptions;
using options::WriteSettingString;

}  // namespace app
