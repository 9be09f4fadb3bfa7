// Clear: silencing the highlighted section is the amplify module's work.
#include "common/host_services.h"
#include "editor/document/edit_commands.h"
#include "platform/profile.h"

AmplifyCall g_clear_call = nullptr;

int edit_clear(CChildFrame& doc)
{
    if (!g_clear_call) {
        ErrMsg("%s", "Clear is not available: the amplify module is not loaded.");
        return 0;
    }
    const std::string dir = run_directory();
    const int time_format = static_cast<int>(
        kel::profile::read_int("Preferences", "Time format", 1, kel::profile::app_profile()));
    return g_clear_call(&doc, nullptr, doc.window, 11301, time_format, dir.c_str());
}
