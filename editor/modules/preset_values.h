#pragma once
// The preset values moved to the module interface; this name stays only until the module
// code written against it has moved to common/preset_values.h.
#include "common/preset_values.h"
