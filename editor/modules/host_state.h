#pragma once
#include "platform/ui.h"

#include <cstdint>

// The one set of module-service state the whole program shares.
struct HostState
{
    int message_dialog = 0; // handle of the progress window, 0 when none
    char message_text[128] = {};
    int cancel_allowed = 0;
    kel::Cursor previous_cursor = kel::Cursor::Arrow;
    uint32_t start_time_ms = 0;
    float estimated_total_s = 0.0f;
    float last_time_left_s = 9999999.0f;
};

extern HostState g_host;
