#include "editor/app/app_state.h"

#include "editor/app/commands.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_commands.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace app {

char g_current_file[260] = {};
char g_current_title[260] = {};

namespace {
std::map<int, bool> g_flags;
int g_output_level = 128;
} // namespace

bool set_current_file(const std::string& full_path)
{
    const std::string title = kel::paths::file_part(full_path);
    if (full_path.empty() || full_path.size() >= sizeof g_current_file ||
        title.size() >= sizeof g_current_title)
        return false;
    std::strcpy(g_current_file, full_path.c_str());
    std::strcpy(g_current_title, title.c_str());
    return true;
}

// The flags live with playback, which holds the editing commands off while it plays.
bool command_flag(int id)
{
    return playback_commands::enabled(id);
}

void set_command_flag(int id, bool enabled)
{
    g_flags[id] = enabled;
    playback_commands::set_enabled(id, enabled);
}

bool has_command_flag(int id)
{
    return g_flags.count(id) != 0;
}

void clear_command_flags()
{
    g_flags.clear();
    playback_commands::reset();
}

void set_startup_command_flags()
{
    using namespace cmd;
    for (int id :
         {kRecord, kPlay, kPause, kStop, kLoopPlayback, kGoToBeginning, kGoToEnd, kLeftEarlier,
          kLeftLater, kRightEarlier, kRightLater, kInsertSilence, kCue, kReview})
        set_command_flag(id, true);
    for (int id : {kUndo, kRedo, kShowPlaylist})
        set_command_flag(id, false);
}

int master_output_level()
{
    return g_output_level;
}

void set_master_output_level(int level)
{
    g_output_level = std::clamp(level, 0, 255);
    set_play_volume(g_output_level);
}

int reported_output_level()
{
    return reported_play_volume();
}

} // namespace app
