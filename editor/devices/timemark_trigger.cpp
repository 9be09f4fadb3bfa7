#include "editor/devices/timemark_trigger.h"

std::function<int(const TimemarkTrigger&)> timemark_trigger_hook;
