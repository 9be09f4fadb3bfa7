#include "editor/view/view_commands.h"

#include "common/child_frame.h"
#include "editor/devices/playback.h"
#include "editor/view/view_highlight.h"
#include "editor/view/view_keys.h"
#include "editor/view/view_scroll.h"
#include "editor/view/view_zoom.h"

int view_command(CChildFrame& doc, ViewState& view, int id)
{
    switch (id) {
    case cmd::kZoomIn:
        return zoom_in(doc, view);
    case cmd::kZoomOut:
        return zoom_out(doc, view);
    case cmd::kMaximumZoom:
        return maximum_zoom(doc, view);
    case cmd::kMinimumZoom:
        return minimum_zoom(doc, view);
    case cmd::kGoToBeginning:
        go_to_beginning(doc, view);
        return 1;
    case cmd::kGoToEnd:
        go_to_end(doc, view);
        return 1;
    case cmd::kGoToHighlight:
        return go_to_highlight(doc, view);
    case cmd::kSelectAll:
        select_all(doc, view);
        return 1;
    case cmd::kCursorHome:
    case cmd::kCursorEnd:
    case cmd::kCursorLeft:
    case cmd::kCursorRight:
    case cmd::kExtendHome:
    case cmd::kExtendEnd:
    case cmd::kExtendLeft:
    case cmd::kExtendRight: {
        static constexpr CursorKey keys[] = {CursorKey::Home, CursorKey::End, CursorKey::Left,
                                             CursorKey::Right};
        const int n = id - cmd::kCursorHome;
        return move_cursor(doc, view, keys[n % 4], n >= 4);
    }
    default:
        if (id >= cmd::kReview && id <= cmd::kRightLater)
            return move_highlight_edge(doc, view, id);
        return -1;
    }
}

PlayRequest play_request(const CChildFrame& doc, const ViewState& view)
{
    PlayRequest request;
    if (view.caret_placed && !doc.current.has_selection)
        request.from = view.caret_sample;
    return request;
}

int view_key_command(CChildFrame& doc, int character, int modifiers)
{
    const bool control = modifiers & kKeyControl;
    const bool alt = modifiers & kKeyAlt;
    if (!control && !alt && character == 'p')
        return cmd::kPlay;
    if (!control && !alt && character == 'o')
        return playback::is_playing() ? cmd::kPlay : cmd::kLoopPlayback;
    if (control && !alt) {
        switch (character) {
        case 'a':
            return cmd::kSelectAll;
        case 'b':
            return cmd::kGoToBeginning;
        case 'e':
            return cmd::kGoToEnd;
        case 'h':
            return cmd::kGoToHighlight;
        default:
            return 0;
        }
    }
    if (alt && !control) {
        if (character == 'z')
            return cmd::kMaximumZoom;
        if (character == 'u')
            return cmd::kMinimumZoom;
        return 0;
    }
    if (!control && !alt) {
        if (character == 'z')
            return cmd::kZoomIn;
        if (character == 'u')
            return cmd::kZoomOut;
    }
    return 0;
}
