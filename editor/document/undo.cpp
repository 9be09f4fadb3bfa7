// One step of undo and redo: the current, undo and redo slots and the three calls every
// operation makes. Files that fall out of the history are deleted only once the new
// step is complete, so an operation that fails or is cancelled leaves the document,
// its undo and its redo exactly as they were.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/document/clipping.h"
#include "editor/document/edit_menu.h"
#include "editor/document/markers.h"
#include "editor/document/recovery.h"
#include "editor/document/repaint.h"
#include "editor/document/retired_files.h"
#include "editor/document/undo_history.h"
#include "editor/document/undo_preferences.h"
#include "editor/document/undo_texts.h"
#include "editor/document/working_files.h"
#include "platform/mapped_file.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

void (*g_repaint_document)(CChildFrame* doc) = nullptr;

void repaint_document(CChildFrame* doc)
{
    if (g_repaint_document && doc)
        g_repaint_document(doc);
}

struct CChildFrame::UndoPending
{
    FileSlot current;
    FileSlot undo;
    FileSlot redo;
    float select_x_start = 0.0f;
    float select_x_end = 1.0f;
    bool backup_replaced = false;
    char old_backup[100] = {};
};

void CChildFrame::UndoPendingDeleter::operator()(UndoPending* pending) const
{
    delete pending;
}

namespace {

const char* kFreshText = "&Undo\tCtrl+Z";

bool same_name(const char* a, const char* b)
{
    return a[0] && b[0] && std::strcmp(a, b) == 0;
}

long file_length(const char* name)
{
    struct stat st = {};
    if (::stat(name, &st) != 0)
        return -1;
    return static_cast<long>(st.st_size);
}

} // namespace

void show_active_undo_state()
{
    if (CChildFrame* doc = documents::active()) {
        doc->show_undo_state();
        return;
    }
    g_undo_menu.text = kFreshText;
    g_undo_menu.enabled = false;
    g_undo_menu.toolbar_command = cmd::kUndo;
    g_undo_menu.redo_item = "&Redo\tCtrl+Shift+Z";
    g_undo_menu.redo_enabled = false;
}

namespace {

// "&Redo Echo...\tCtrl+Z" as the separate Redo item shows it.
std::string redo_item_text(const char* redo_text)
{
    std::string t = redo_text[0] ? redo_text : "&Redo";
    const auto tab = t.find('\t');
    if (tab != std::string::npos)
        t.erase(tab);
    return t + "\tCtrl+Shift+Z";
}

} // namespace

void CChildFrame::show_undo_state() const
{
    g_undo_menu.redo_enabled = redo_available != 0;
    g_undo_menu.redo_item = redo_available ? redo_item_text(redo_text) : "&Redo\tCtrl+Shift+Z";
    if (undo_levels() > 1) {
        // Undo and Redo each name their own step.
        g_undo_menu.text = undo_available && undo_text[0] ? undo_text : kFreshText;
        g_undo_menu.enabled = undo_available != 0;
        g_undo_menu.toolbar_command = cmd::kUndo;
        return;
    }
    if (undo_available) {
        g_undo_menu.text = undo_text[0] ? undo_text : kFreshText;
        g_undo_menu.enabled = true;
        g_undo_menu.toolbar_command = cmd::kUndo;
    } else if (redo_available) {
        g_undo_menu.text = redo_text[0] ? redo_text : "&Redo\tCtrl+Z";
        g_undo_menu.enabled = true;
        g_undo_menu.toolbar_command = cmd::kRedo;
    } else {
        g_undo_menu.text = kFreshText;
        g_undo_menu.enabled = false;
        g_undo_menu.toolbar_command = cmd::kUndo;
    }
}

void CChildFrame::abandon_undo_setup()
{
    overview_head_bytes_ = 0;
    tail_survey_.reset();
    if (!pending_undo_)
        return;
    UndoPending& p = *pending_undo_;
    const char* made = redo.file_name;
    if (made[0] && !same_name(made, p.current.file_name) && !same_name(made, p.undo.file_name) &&
        !same_name(made, p.redo.file_name))
        ::unlink(made);
    if (p.backup_replaced) {
        if (selection_backup[0] && std::strcmp(selection_backup, p.old_backup) != 0)
            ::unlink(selection_backup);
        std::memcpy(selection_backup, p.old_backup, sizeof selection_backup);
    }
    current = p.current;
    undo = p.undo;
    redo = p.redo;
    select_x_start = p.select_x_start;
    select_x_end = p.select_x_end;
    pending_undo_.reset();
}

int CChildFrame::setup_for_undo(HWND window, int copy_flag)
{
    (void)window;
    abandon_undo_setup();
    // The files the last step let go of are gone before this one makes new ones.
    wait_for_retired_files();
    UndoPending* p = new (std::nothrow) UndoPending;
    if (!p) {
        NewErrMsg(5001);
        return 0;
    }
    p->current = current;
    p->undo = undo;
    p->redo = redo;
    p->select_x_start = select_x_start;
    p->select_x_end = select_x_end;
    pending_undo_.reset(p);

    // The state before this operation is the current one, with its view selection.
    undo = current;
    undo.select_x_start = select_x_start;
    undo.select_x_end = select_x_end;

    // The redo slot starts as a copy of the current counts; operations that change the
    // length set its total themselves.
    redo = current;
    redo.clear_levels();
    redo.file_name[0] = '\0';
    make_working_name(redo.file_name, ".tmp");
    if (const int error = create_working_file(redo.file_name)) {
        working_file_message(5031, error);
        redo.file_name[0] = '\0';
        abandon_undo_setup();
        return 0;
    }

    if (copy_flag) {
        const long end = std::clamp(current.select_end, 0L, current.total_samples);
        const unsigned long bytes = static_cast<unsigned long>(end) * bytes_per_sample();
        if (!copy_file_to_file(redo.file_name, current.file_name, bytes, 0, 0, 0,
                               "Copying file...")) {
            abandon_undo_setup();
            return 0;
        }
    }
    return 1;
}

int CChildFrame::copy_selected_area_to_pseudo_clipboard(HWND window)
{
    (void)window;
    if (!undo_preferences().backup_for_undo)
        return 1;
    char name[100] = {};
    make_working_name(name, ".tmp");
    if (const int error = create_working_file(name)) {
        working_file_message(5031, error);
        return 0;
    }
    const long bps = bytes_per_sample();
    const long end = std::clamp(current.select_end, 0L, current.total_samples);
    const long start = std::clamp(current.select_start, 0L, end);
    const unsigned long first = static_cast<unsigned long>(start * bps) / 4 * 4;
    const unsigned long last = static_cast<unsigned long>(end * bps) / 4 * 4;
    if (last > first && !copy_file_to_file(name, current.file_name, last - first, first, -1, 0,
                                           "Copying file...")) {
        ::unlink(name);
        return 0;
    }
    if (pending_undo_) {
        UndoPending& p = *pending_undo_;
        if (!p.backup_replaced) {
            p.backup_replaced = true;
            std::memcpy(p.old_backup, selection_backup, sizeof p.old_backup);
        } else if (selection_backup[0]) {
            ::unlink(selection_backup); // made earlier in this same operation
        }
    } else if (selection_backup[0]) {
        ::unlink(selection_backup);
    }
    std::memcpy(selection_backup, name, sizeof selection_backup);
    return 1;
}

int CChildFrame::setup_for_redo(HWND window, int operation_code, int copy_flag)
{
    (void)window;
    if (!redo.file_name[0] || same_name(redo.file_name, current.file_name) ||
        ::access(redo.file_name, F_OK) != 0) {
        abandon_undo_setup();
        return 0;
    }
    const long bps = bytes_per_sample();

    if (copy_flag) {
        const long end = std::clamp(current.select_end, 0L, current.total_samples);
        const unsigned long from = static_cast<unsigned long>(end * bps);
        const unsigned long to = static_cast<unsigned long>(current.total_samples * bps);
        if (to > from && !copy_file_to_file(redo.file_name, current.file_name, to - from, from, -1,
                                            0, "Copying file...")) {
            abandon_undo_setup();
            return 0;
        }
    }
    if (!operation_sets_length(operation_code))
        redo.total_samples = current.total_samples;
    redo.total_samples = std::max(0L, redo.total_samples);

    // The file must hold exactly what the count says: short, the overview would read
    // past its end; long, every later offset would be wrong.
    const long want = redo.total_samples * bps;
    const long have = file_length(redo.file_name);
    if (have < want) {
        ErrMsg("%s", "Redo Get Access violation");
        abandon_undo_setup();
        return 0;
    }
    if (have > want && ::truncate(redo.file_name, want) != 0) {
        working_file_message(5031, errno);
        abandon_undo_setup();
        return 0;
    }

    const int prepared = prepare_slot(redo, SlotRole::Redo, "Processing file %s...");
    overview_head_bytes_ = 0;
    tail_survey_.reset();
    if (!prepared) {
        abandon_undo_setup();
        return 0;
    }

    // The current slot takes the new file; the zoom stays as far as the new length
    // allows.
    std::strcpy(current.file_name, redo.file_name);
    for (int i = 0; i < kLevelTable; ++i) {
        current.view8[i] = redo.view8[i];
        current.view16[i] = redo.view16[i];
        current.mapped[i] = redo.mapped[i];
        current.mapping[i] = redo.mapping[i];
    }
    std::copy(std::begin(redo.level_samples), std::end(redo.level_samples),
              std::begin(current.level_samples));
    if (pending_undo_) {
        const FileSlot& before = pending_undo_->current;
        const long start = before.select_start;
        const long end = before.has_selection ? before.select_end : before.select_start;
        markers_follow_edit(*this, operation_code, start, end, before.total_samples,
                            redo.total_samples, before.file_name, redo.file_name);
    }
    current.total_samples = redo.total_samples;
    current.level_count = redo.level_count;
    current.base_factor = redo.base_factor;
    current.zoom_level = std::clamp(current.zoom_level, 1, current.level_count);
    // Below 1.0 is the zoom that fits the whole file into a window.
    if (!(current.zoom_factor > 0.0f))
        current.zoom_factor = 1.0f;
    current.zoom_factor = std::min(current.zoom_factor, current.base_factor);
    current.select_end = std::clamp(current.select_end, 0L, current.total_samples);
    current.select_start = std::clamp(current.select_start, 0L, current.select_end);
    current.select_start_byte = current.select_start * bps;
    current.select_end_byte = current.select_end * bps;
    first_visible = std::clamp(first_visible, 0L, current.total_samples);

    // So that redo shows the view as it was after the operation.
    redo.select_start = current.select_start;
    redo.select_end = current.select_end;
    redo.select_start_byte = current.select_start_byte;
    redo.select_end_byte = current.select_end_byte;
    redo.has_selection = current.has_selection;
    redo.select_x_start = select_x_start;
    redo.select_x_end = select_x_end;
    redo.zoom_level = current.zoom_level;
    redo.zoom_factor = current.zoom_factor;
    redo.view_value = current.view_value;

    if (const UndoTexts* t = find_undo_texts(operation_code)) {
        std::snprintf(undo_text, sizeof undo_text, "%s", t->undo);
        std::snprintf(redo_text, sizeof redo_text, "%s", t->redo);
    }

    // The step is complete: what fell out of the history goes now.
    if (pending_undo_) {
        UndoPending& p = *pending_undo_;
        if (undo_levels() > 1)
            history_step_done(*this, p.current);
        else
            history_forget(*this); // the levels were lowered to one: back to the toggle
        std::vector<std::string> gone;
        const char* old_names[] = {p.undo.file_name, p.redo.file_name};
        for (const char* n : old_names) {
            if (n[0] && !same_name(n, undo.file_name) && !same_name(n, current.file_name) &&
                !history_holds(*this, n) && std::find(gone.begin(), gone.end(), n) == gone.end())
                gone.emplace_back(n);
        }
        if (p.backup_replaced && p.old_backup[0] &&
            std::strcmp(p.old_backup, selection_backup) != 0)
            gone.emplace_back(p.old_backup);
        // The old states' mappings go with their files, so that their last release (and
        // with it the freeing of a large file) happens on the worker too.
        std::vector<std::shared_ptr<kel::MappedFile>> mappings;
        for (FileSlot* slot : {&p.undo, &p.redo})
            for (auto& m : slot->mapping)
                if (m)
                    mappings.push_back(std::move(m));
        pending_undo_.reset();
        retire_files(gone, std::move(mappings));
    }

    undo_available = 1;
    redo_available = 0;
    is_modified = 1;
    note_clipping(*this, operation_code);
    recovery::note(*this);
    documents::set_active(this);
    show_undo_state();
    repaint_document(this);
    if (undo_preferences().voice_message)
        kel::ui().play_sound("ALLDONE", true);
    return 1;
}

// After a walk through the history: what every undo and redo does afterwards.
static void history_moved(CChildFrame& doc)
{
    recovery::note(doc);
    if (documents::active() == &doc)
        doc.show_undo_state();
    repaint_document(&doc);
}

namespace {

int undo_step(CChildFrame& d)
{
    d.abandon_undo_setup();
    if (undo_levels() > 1) {
        const int walked = history_undo(d);
        if (walked >= 0) {
            if (walked)
                history_moved(d);
            return walked;
        }
    }
    if (!d.undo_available)
        return 0;
    d.current = d.undo;
    d.select_x_start = d.undo.select_x_start;
    d.select_x_end = d.undo.select_x_end;
    d.first_visible = std::clamp(d.first_visible, 0L, d.current.total_samples);
    d.undo_available = 0;
    d.redo_available = 1;
    recovery::note(d);
    if (documents::active() == &d)
        d.show_undo_state();
    repaint_document(&d);
    return 1;
}

} // namespace

int CChildFrame::undo_command()
{
    const std::string left = current.file_name;
    const int done = undo_step(*this);
    if (done)
        markers_follow_state(*this, left, current.file_name);
    return done;
}

namespace {

int redo_step(CChildFrame& d)
{
    d.abandon_undo_setup();
    if (undo_levels() > 1) {
        const int walked = history_redo(d);
        if (walked >= 0) {
            if (walked)
                history_moved(d);
            return walked;
        }
    }
    if (!d.redo_available)
        return 0;
    d.current = d.redo;
    d.select_x_start = d.redo.select_x_start;
    d.select_x_end = d.redo.select_x_end;
    d.first_visible = std::clamp(d.first_visible, 0L, d.current.total_samples);
    d.undo_available = 1;
    d.redo_available = 0;
    recovery::note(d);
    if (documents::active() == &d)
        d.show_undo_state();
    repaint_document(&d);
    return 1;
}

} // namespace

int CChildFrame::redo_command()
{
    const std::string left = current.file_name;
    const int done = redo_step(*this);
    if (done)
        markers_follow_state(*this, left, current.file_name);
    return done;
}

int CChildFrame::undo_redo_command()
{
    abandon_undo_setup();
    // With a history, Ctrl+Z only goes back; Ctrl+Shift+Z goes forward.
    if (undo_levels() > 1)
        return undo_command();
    if (undo_available)
        return undo_command();
    if (redo_available)
        return redo_command();
    return 0;
}
