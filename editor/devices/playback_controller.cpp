// The transport commands of a document window, whatever their source: each does what
// its command does on the play bar, the menu, a key or a sibling's request alike.
#include "editor/devices/playback_controller.h"

#include "editor/devices/playback.h"

namespace playback {

int command(CChildFrame& doc, int id, const PlayRequest& request)
{
    PlaybackObserver& view = playback_observer();
    switch (id) {
    case kPlayCommand:
        return start(doc, request);
    case kPauseCommand:
        pause();
        view.tool_button_state(kPauseCommand, playback_state().is_paused ? 6 : 3);
        return 1;
    case kStopCommand:
        stop();
        view.tool_button_state(kPauseCommand, 3);
        loop_playback_flag = 0;
        view.menu_check(kLoopCommand, false);
        return 1;
    case kLoopCommand:
        return start_loop(doc, request);
    case kSetupLoopCommand:
        return setup_loop(doc, request);
    case kPlayClipboardCommand:
        return play_clipboard(doc);
    default:
        return 0;
    }
}

bool is_command(int id)
{
    return id == kPlayCommand || id == kPauseCommand || id == kStopCommand || id == kLoopCommand ||
           id == kSetupLoopCommand || id == kPlayClipboardCommand;
}

int right_button(CChildFrame& doc, long sample_under_mouse)
{
    if (is_playing()) {
        command(doc, kStopCommand);
        return 0;
    }
    PlayRequest from_click;
    from_click.from = sample_under_mouse;
    return start(doc, from_click);
}

} // namespace playback
