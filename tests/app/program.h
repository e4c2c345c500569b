// The started program and the settings files of a case: see driving.h, which holds them with
// the other driving helpers.
#pragma once

#include "driving.h"
