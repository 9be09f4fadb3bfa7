// The transport commands of a document window, whatever their source: each does what
// its command does on the play bar, the menu, a key or a sibling's request alike.
#include "editor/devices/playback_controller.h"

#include "editor/devices/playback.h"

namespace playback {

int command(CChildFrame& doc, int id, const PlayRequest& request)
{
    PlaybackObserver& view = playback_observer();
    switch (id) {
    case cmd::kPlay:
        return start(doc, request);
    case cmd::kPause:
        pause();
        view.tool_button_state(cmd::kPause, playback_state().is_paused ? 6 : 3);
        return 1;
    case cmd::kStop:
        stop();
        view.tool_button_state(cmd::kPause, 3);
        loop_playback_flag = 0;
        view.menu_check(cmd::kLoopPlayback, false);
        return 1;
    case cmd::kLoopPlayback:
        return start_loop(doc, request);
    case cmd::kSetupLoop:
        return setup_loop(doc, request);
    case cmd::kPlayClipboard:
        return play_clipboard(doc);
    default:
        return 0;
    }
}

bool is_command(int id)
{
    return id == cmd::kPlay || id == cmd::kPause || id == cmd::kStop || id == cmd::kLoopPlayback ||
           id == cmd::kSetupLoop || id == cmd::kPlayClipboard;
}

int right_button(CChildFrame& doc, long sample_under_mouse)
{
    if (is_playing()) {
        command(doc, cmd::kStop);
        return 0;
    }
    PlayRequest from_click;
    from_click.from = sample_under_mouse;
    return start(doc, from_click);
}

} // namespace playback
