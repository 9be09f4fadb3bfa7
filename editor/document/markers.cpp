#include "editor/document/markers.h"

#include "common/child_frame.h"
#include "editor/commands/command_ids.h"
#include "editor/document/repaint.h"
#include "editor/view/view_state.h"

#include <algorithm>
#include <cstdio>

MarkerTable& markers_of(CChildFrame& doc)
{
    if (!doc.markers)
        doc.markers = std::make_shared<MarkerTable>();
    return *doc.markers;
}

const MarkerTable* markers_if_any(const CChildFrame& doc)
{
    return doc.markers && doc.markers->count() > 0 ? doc.markers.get() : nullptr;
}

std::string default_marker_name(long position)
{
    char text[40];
    std::snprintf(text, sizeof text, "Marker %ld", position);
    return text;
}

int add_marker(CChildFrame& doc, long position, const std::string& name)
{
    MarkerTable& t = markers_of(doc);
    if (t.count() >= kMaxMarkers)
        return -1;
    Marker m;
    m.position = std::clamp(position, 0L, doc.current.total_samples);
    m.name = name;
    t.entries.push_back(std::move(m));
    return t.count() - 1;
}

int mark_selection(CChildFrame& doc)
{
    MarkerTable& t = markers_of(doc);
    if (t.count() + 2 > kMaxMarkers) {
        kel::ui().message_box("Too many timemarks", "Kelvara", kel::Buttons::Ok,
                              kel::Icon::Exclamation);
        kel::ui().beep();
        return 0;
    }
    const long s = doc.current.select_start;
    const long e = doc.current.select_end;
    const int first = add_marker(doc, s, default_marker_name(s));
    const int second = add_marker(doc, e, default_marker_name(e));
    t.entries[first].partner = second;
    t.entries[second].end_flag = 1;
    repaint_document(&doc);
    return 1;
}

void delete_marker(CChildFrame& doc, int index)
{
    MarkerTable& t = markers_of(doc);
    if (index < 0 || index >= t.count())
        return;
    Marker& m = t.entries[index];
    if (m.partner >= 0 && m.partner < t.count())
        t.entries[m.partner].end_flag = 0;
    for (Marker& other : t.entries)
        if (other.partner == index)
            other.partner = -1;
    t.entries.erase(t.entries.begin() + index);
    for (Marker& other : t.entries)
        if (other.partner > index)
            --other.partner;
}

void erase_markers(CChildFrame& doc)
{
    while (markers_of(doc).count() > 0)
        delete_marker(doc, 0);
    repaint_document(&doc);
}

namespace {

// The start of the pair marker i ends, -1 for none.
int start_of(const MarkerTable& t, int i)
{
    for (int k = 0; k < t.count(); ++k)
        if (t.entries[k].partner == i)
            return k;
    return -1;
}

} // namespace

int choose_marker(CChildFrame& doc, int index)
{
    MarkerTable& t = markers_of(doc);
    if (index < 0 || index >= t.count())
        return 0;
    int start = index;
    if (t.entries[index].partner < 0 || t.entries[index].partner >= t.count())
        start = start_of(t, index);
    FileSlot& s = doc.current;
    if (start >= 0) {
        const long from = t.entries[start].position;
        const long to = t.entries[t.entries[start].partner].position;
        if (to > from) {
            s.select_start = from;
            s.select_end = to;
            s.has_selection = 1;
            sync_selection_x(doc);
            repaint_document(&doc);
            return 1;
        }
    }
    s.select_start = s.select_end = t.entries[index].position;
    s.has_selection = 0;
    sync_selection_x(doc);
    repaint_document(&doc);
    return 0;
}

void move_marker(CChildFrame& doc, int index, long position)
{
    MarkerTable& t = markers_of(doc);
    if (index < 0 || index >= t.count())
        return;
    const long channels = std::max<long>(1, doc.wave_format.channels);
    const long total = doc.current.total_samples / channels * channels;
    long low = 0, high = total;
    const Marker& m = t.entries[index];
    if (m.partner >= 0 && m.partner < t.count())
        high = t.entries[m.partner].position - channels;
    if (const int start = start_of(t, index); start >= 0)
        low = t.entries[start].position + channels;
    position = std::clamp(position, 0L, total);
    position -= position % channels;
    // A pair a frame apart has no room to move in.
    t.entries[index].position = low <= high ? std::clamp(position, low, high) : m.position;
}

std::string marker_description(const Marker& marker, const std::string& time_text)
{
    return marker.name.substr(0, 49) + ", Time: " + time_text;
}

FlagLook flag_look(const MarkerTable& table, int index, bool selected)
{
    const Marker& m = table.entries[index];
    if (selected)
        return m.end_flag ? FlagLook::SelectedEnd : FlagLook::SelectedStart;
    if (m.end_flag)
        return FlagLook::End;
    return m.partner >= 0 ? FlagLook::PairStart : FlagLook::Single;
}

namespace {

// Moves the table through one edit; the markers it takes go to `removed` (with the
// places they had).
void apply_edit(MarkerTable& t, int operation_code, long old_start, long old_end, long old_total,
                long new_total, std::vector<Marker>* removed, CChildFrame& doc)
{
    old_start = std::clamp(old_start, 0L, old_total);
    old_end = std::clamp(old_end, old_start, old_total);
    const long span = old_end - old_start;
    std::vector<int> gone;
    for (int i = 0; i < t.count(); ++i) {
        long& p = t.entries[i].position;
        if (operation_code == cmd::kCrop && new_total == span) {
            if (p < old_start || p > old_end)
                gone.push_back(i);
            else
                p -= old_start;
            continue;
        }
        // A mix lays sound over what is there: nothing moves.
        if (new_total == old_total || operation_code == cmd::kMix)
            continue;
        const long delta = new_total - old_total;
        // The span's edge itself belongs to what follows.
        if (p < old_start)
            continue;
        if (p >= old_end)
            p += delta;
        else if (p - old_start >= span + delta)
            gone.push_back(i); // the span shrank beneath it
    }
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
        if (removed) {
            Marker m = t.entries[*it];
            m.partner = -1;
            m.end_flag = 0;
            removed->insert(removed->begin(), m);
        }
        delete_marker(doc, *it);
    }
    for (Marker& m : t.entries)
        m.position = std::clamp(m.position, 0L, new_total);
}

// The inverse of apply_edit for what survived it, and the taken markers back.
void undo_edit(MarkerTable& t, const MarkerStep& s)
{
    const long span = s.end - s.start;
    const long delta = s.new_total - s.old_total;
    for (Marker& m : t.entries) {
        long& p = m.position;
        if (s.code == cmd::kCrop && s.new_total == span)
            p += s.start;
        else if (s.new_total != s.old_total && s.code != cmd::kMix && p >= s.start + span + delta &&
                 p >= s.start)
            p -= delta;
        p = std::clamp(p, 0L, s.old_total);
    }
    for (const Marker& m : s.removed)
        if (t.count() < kMaxMarkers)
            t.entries.push_back(m);
}

} // namespace

void markers_follow_edit(CChildFrame& doc, int operation_code, long old_start, long old_end,
                         long old_total, long new_total, const std::string& old_file,
                         const std::string& new_file)
{
    if (!doc.markers || doc.markers->count() == 0)
        return;
    MarkerTable& t = *doc.markers;
    MarkerStep step;
    step.from_file = old_file;
    step.code = operation_code;
    step.start = std::clamp(old_start, 0L, old_total);
    step.end = std::clamp(old_end, step.start, old_total);
    step.old_total = old_total;
    step.new_total = new_total;
    apply_edit(t, operation_code, old_start, old_end, old_total, new_total, &step.removed, doc);
    if (!new_file.empty() && !old_file.empty())
        t.steps[new_file] = std::move(step);
}

void markers_follow_state(CChildFrame& doc, const std::string& left, const std::string& now)
{
    if (!doc.markers || left == now)
        return;
    MarkerTable& t = *doc.markers;
    if (auto it = t.steps.find(left); it != t.steps.end() && it->second.from_file == now) {
        undo_edit(t, it->second);
    } else if (auto again = t.steps.find(now);
               again != t.steps.end() && again->second.from_file == left) {
        const MarkerStep& s = again->second;
        apply_edit(t, s.code, s.start, s.end, s.old_total, s.new_total, nullptr, doc);
    }
}

bool MarkerNameDialog::ok()
{
    if (name_.empty())
        return false;
    end_dialog(kel::kIdOk);
    return true;
}

int make_timemark(CChildFrame& doc, long cursor_sample, bool playing, long playing_sample,
                  bool name_on_the_fly)
{
    if (markers_of(doc).count() >= kMaxMarkers)
        return -1;
    long position = playing ? playing_sample : cursor_sample;
    const int channels = std::max<int>(1, doc.wave_format.channels);
    position -= position % channels;
    std::string name = default_marker_name(position);
    if (name_on_the_fly) {
        MarkerNameDialog dialog;
        if (kel::ui().run_modal(dialog) == kel::kIdOk && !dialog.name().empty())
            name = dialog.name();
    }
    const int index = add_marker(doc, position, name);
    repaint_document(&doc);
    return index;
}
