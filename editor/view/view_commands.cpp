#include "editor/view/view_commands.h"

#include "common/child_frame.h"
#include "editor/devices/playback.h"
#include "editor/view/view_highlight.h"
#include "editor/view/view_scroll.h"
#include "editor/view/view_zoom.h"

int view_command(CChildFrame& doc, ViewState& view, int id)
{
    switch (id) {
    case kZoomInCommand:
        return zoom_in(doc, view);
    case kZoomOutCommand:
        return zoom_out(doc, view);
    case kMaximumZoomCommand:
        return maximum_zoom(doc, view);
    case kMinimumZoomCommand:
        return minimum_zoom(doc, view);
    case kGoToBeginningCommand:
        go_to_beginning(doc, view);
        return 1;
    case kGoToEndCommand:
        go_to_end(doc, view);
        return 1;
    case kGoToHighlightCommand:
        return go_to_highlight(doc, view);
    case kSelectAllCommand:
        select_all(doc, view);
        return 1;
    default:
        if (id >= kReviewCommand && id <= kEndLaterCommand)
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
        return kPlayCommand;
    if (!control && !alt && character == 'o')
        return playback::is_playing() ? kPlayCommand : kLoopCommand;
    if (control && !alt) {
        switch (character) {
        case 'a':
            return kSelectAllCommand;
        case 'b':
            return kGoToBeginningCommand;
        case 'e':
            return kGoToEndCommand;
        case 'h':
            return kGoToHighlightCommand;
        default:
            return 0;
        }
    }
    if (alt && !control) {
        if (character == 'z')
            return kMaximumZoomCommand;
        if (character == 'u')
            return kMinimumZoomCommand;
        return 0;
    }
    if (!control && !alt) {
        if (character == 'z')
            return kZoomInCommand;
        if (character == 'u')
            return kZoomOutCommand;
    }
    return 0;
}
