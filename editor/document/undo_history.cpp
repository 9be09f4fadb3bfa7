#include "editor/document/undo_history.h"

#include "common/child_frame.h"
#include "editor/document/undo_preferences.h"
#include "platform/profile.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Level
{
    FileSlot slot;
    float select_x_start = 0.0f;
    float select_x_end = 1.0f;
    // The menu texts of the step that made this state.
    std::string undo_text;
    std::string redo_text;
};

struct History
{
    std::vector<Level> states;
    size_t at = 0; // the document's current state
};

std::map<const CChildFrame*, History>& histories()
{
    static std::map<const CChildFrame*, History> m;
    return m;
}

bool same(const char* a, const char* b)
{
    return a && b && a[0] && b[0] && std::strcmp(a, b) == 0;
}

bool in_slots(const CChildFrame& doc, const char* name)
{
    return same(name, doc.current.file_name) || same(name, doc.undo.file_name) ||
           same(name, doc.redo.file_name);
}

bool in_states(const History& h, const char* name, size_t except)
{
    for (size_t i = 0; i < h.states.size(); ++i)
        if (i != except && same(name, h.states[i].slot.file_name))
            return true;
    return false;
}

// Deletes state i's file unless something else still names it.
void drop_file(const CChildFrame& doc, const History& h, size_t i)
{
    const char* name = h.states[i].slot.file_name;
    if (name[0] && !in_slots(doc, name) && !in_states(h, name, i))
        ::unlink(name);
}

Level level_of(const CChildFrame& doc, const FileSlot& slot)
{
    Level l;
    l.slot = slot;
    l.select_x_start = slot.select_x_start;
    l.select_x_end = slot.select_x_end;
    (void)doc;
    return l;
}

void copy_text(char* to, const std::string& text)
{
    std::snprintf(to, 40, "%s", text.c_str());
}

// The document's slots and texts from the history at its present place.
void show(CChildFrame& doc, History& h)
{
    const Level& now = h.states[h.at];
    doc.current = now.slot;
    doc.select_x_start = now.select_x_start;
    doc.select_x_end = now.select_x_end;
    doc.undo_available = h.at > 0 ? 1 : 0;
    doc.redo_available = h.at + 1 < h.states.size() ? 1 : 0;
    doc.undo = h.at > 0 ? h.states[h.at - 1].slot : doc.current;
    if (doc.redo_available)
        doc.redo = h.states[h.at + 1].slot;
    copy_text(doc.undo_text, now.undo_text);
    copy_text(doc.redo_text, doc.redo_available ? h.states[h.at + 1].redo_text : "");
    doc.first_visible = std::clamp(doc.first_visible, 0L, doc.current.total_samples);
}

bool matches(const CChildFrame& doc, const History& h)
{
    return !h.states.empty() && h.at < h.states.size() &&
           same(h.states[h.at].slot.file_name, doc.current.file_name);
}

} // namespace

int undo_levels()
{
    return std::clamp(undo_preferences().undo_levels, 1, 100);
}

void set_undo_levels(int levels)
{
    undo_preferences().undo_levels = std::clamp(levels, 1, 100);
    kel::profile::write_int("Preferences", "Undo levels", undo_preferences().undo_levels,
                            kel::profile::app_profile());
}

void history_step_done(CChildFrame& doc, const FileSlot& before)
{
    History& h = histories()[&doc];
    if (h.states.empty() || !same(h.states[h.at].slot.file_name, before.file_name)) {
        // Nothing of ours led here: start from the state before this step.
        for (size_t i = 0; i < h.states.size(); ++i)
            if (!same(h.states[i].slot.file_name, before.file_name))
                drop_file(doc, h, i);
        h.states.clear();
        h.states.push_back(level_of(doc, before));
        h.at = 0;
    }
    h.states[h.at] = [&] {
        Level l = level_of(doc, before);
        l.undo_text = h.states[h.at].undo_text;
        l.redo_text = h.states[h.at].redo_text;
        return l;
    }();
    // A new step from here: what lay ahead goes.
    for (size_t i = h.at + 1; i < h.states.size(); ++i)
        drop_file(doc, h, i);
    h.states.resize(h.at + 1);
    Level made = level_of(doc, doc.current);
    made.select_x_start = doc.select_x_start;
    made.select_x_end = doc.select_x_end;
    made.undo_text = doc.undo_text;
    made.redo_text = doc.redo_text;
    h.states.push_back(made);
    h.at = h.states.size() - 1;
    const size_t keep = static_cast<size_t>(undo_levels()) + 1;
    while (h.states.size() > keep) {
        // The undo slot still names the second oldest: only the oldest may go.
        const std::string oldest = h.states.front().slot.file_name;
        h.states.erase(h.states.begin());
        --h.at;
        if (!oldest.empty() && !same(oldest.c_str(), before.file_name) &&
            !same(oldest.c_str(), doc.current.file_name) && !in_states(h, oldest.c_str(), SIZE_MAX))
            ::unlink(oldest.c_str());
    }
}

int history_undo(CChildFrame& doc)
{
    auto it = histories().find(&doc);
    if (it == histories().end() || !matches(doc, it->second))
        return -1;
    History& h = it->second;
    if (h.at == 0)
        return 0;
    // The view as the user leaves it comes back with a redo.
    h.states[h.at].slot = doc.current;
    h.states[h.at].select_x_start = doc.select_x_start;
    h.states[h.at].select_x_end = doc.select_x_end;
    --h.at;
    show(doc, h);
    return 1;
}

int history_redo(CChildFrame& doc)
{
    auto it = histories().find(&doc);
    if (it == histories().end() || !matches(doc, it->second))
        return -1;
    History& h = it->second;
    if (h.at + 1 >= h.states.size())
        return 0;
    h.states[h.at].slot = doc.current;
    h.states[h.at].select_x_start = doc.select_x_start;
    h.states[h.at].select_x_end = doc.select_x_end;
    ++h.at;
    show(doc, h);
    return 1;
}

bool history_holds(const CChildFrame& doc, const char* file_name)
{
    auto it = histories().find(&doc);
    return it != histories().end() && in_states(it->second, file_name, SIZE_MAX);
}

void history_forget(CChildFrame& doc)
{
    auto it = histories().find(&doc);
    if (it == histories().end())
        return;
    History& h = it->second;
    for (size_t i = 0; i < h.states.size(); ++i)
        drop_file(doc, h, i);
    histories().erase(it);
}

uint64_t undo_history_bytes(const CChildFrame& doc)
{
    auto it = histories().find(&doc);
    if (it == histories().end())
        return 0;
    std::set<std::string> names;
    for (const Level& l : it->second.states)
        if (l.slot.file_name[0] && !same(l.slot.file_name, doc.current.file_name))
            names.insert(l.slot.file_name);
    uint64_t bytes = 0;
    for (const std::string& n : names) {
        struct stat st
        {
        };
        if (::stat(n.c_str(), &st) == 0)
            bytes += static_cast<uint64_t>(st.st_size);
    }
    return bytes;
}

uint64_t undo_history_bytes()
{
    uint64_t bytes = 0;
    for (const auto& [doc, h] : histories())
        bytes += undo_history_bytes(*doc);
    return bytes;
}
