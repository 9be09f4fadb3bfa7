#include "editor/devices/playback_commands.h"

#include "editor/commands/command_table.h"

#include <map>

namespace playback_commands {
namespace {
std::map<int, int> g_flags;
bool g_suspended = false;
} // namespace

bool is_transport(int command)
{
    return commands::has_flag(command, commands::kTransport);
}

bool enabled(int command)
{
    if (g_suspended && !is_transport(command))
        return false;
    auto it = g_flags.find(command);
    return it == g_flags.end() || it->second != 0;
}

bool flag(int command)
{
    auto it = g_flags.find(command);
    return it == g_flags.end() || it->second != 0;
}

void set_enabled(int command, bool on)
{
    g_flags[command] = on ? 1 : 0;
}

void suspend_editing()
{
    g_suspended = true;
}

void resume_editing()
{
    g_suspended = false;
}

bool editing_suspended()
{
    return g_suspended;
}

void reset()
{
    g_flags.clear();
    g_suspended = false;
}

} // namespace playback_commands
