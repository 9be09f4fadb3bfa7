// Life of a document: creation from a wave file, its working file, destruction.
#include "common/child_frame.h"

#include "common/host_services.h"
#include "editor/devices/playback_controller.h"
#include "editor/document/edit_menu.h"
#include "editor/document/markers.h"
#include "editor/document/recovery.h"
#include "editor/document/undo_history.h"
#include "editor/document/working_files.h"
#include "editor/files/cue_chunk.h"
#include "editor/files/file_commands.h"
#include "editor/files/info_chunk.h"
#include "editor/files/wave_header.h"
#include "platform/mapped_file.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

UndoMenuState g_undo_menu;

namespace documents {
namespace {
std::vector<CChildFrame*> g_open;
CChildFrame* g_active = nullptr;
} // namespace

void add(CChildFrame* doc)
{
    if (std::find(g_open.begin(), g_open.end(), doc) == g_open.end())
        g_open.push_back(doc);
}

void remove(CChildFrame* doc)
{
    g_open.erase(std::remove(g_open.begin(), g_open.end(), doc), g_open.end());
    if (g_active == doc) {
        g_active = g_open.empty() ? nullptr : g_open.back();
        show_active_undo_state();
    }
}

void set_active(CChildFrame* doc)
{
    g_active = doc;
    show_active_undo_state();
}

CChildFrame* active()
{
    return g_active;
}

CChildFrame* find_by_window(HWND window)
{
    for (CChildFrame* d : g_open)
        if (d->window == window)
            return d;
    return nullptr;
}

int count()
{
    return static_cast<int>(g_open.size());
}

CChildFrame* at(int index)
{
    return index >= 0 && index < count() ? g_open[static_cast<size_t>(index)] : nullptr;
}

} // namespace documents

CChildFrame::CChildFrame()
{
    // Until a real window adopts the document, its own address identifies it.
    window = this;
    documents::add(this);
}

CChildFrame::~CChildFrame()
{
    playback::release(*this);
    discard_files();
    recovery::forget(*this);
    documents::remove(this);
}

void CChildFrame::discard_files()
{
    if (files_discarded_)
        return;
    files_discarded_ = true;
    // Steps further back than the undo slot hold working files of their own.
    history_forget(*this);
    // The manifest first: a run that dies now must not offer files that are going.
    recovery::forget(*this);
    // An operation left half way gives back what it displaced, so those files go too.
    abandon_undo_setup();
    current.release_levels();
    undo.release_levels();
    redo.release_levels();
    std::vector<std::string> names;
    const char* all[] = {current.file_name, undo.file_name, redo.file_name, selection_backup};
    for (const char* n : all) {
        if (n[0] && std::find(names.begin(), names.end(), n) == names.end())
            names.emplace_back(n);
    }
    for (const std::string& n : names)
        ::unlink(n.c_str());
}

CChildFrame* CChildFrame::get_private_member()
{
    return documents::find_by_window(owner_window);
}

CChildFrame* CChildFrame::GetTheFuckingHandle()
{
    return documents::active();
}

float CChildFrame::get_total_milliseconds()
{
    const int level = std::clamp(current.zoom_level, 0, kLevelTable);
    const float words = static_cast<float>(current.level_samples[level]);
    if (wave_format.sample_rate == 0 || wave_format.channels == 0)
        return 0.0f;
    return words / static_cast<float>(wave_format.sample_rate) /
           static_cast<float>(wave_format.channels) * 1000.0f;
}

void CChildFrame::fill_new_document(const char* source_name)
{
    wave_format = last_format;
    wave_format.format_tag = 1;
    wave_format.avg_bytes_per_sec =
        wave_format.sample_rate * wave_format.bits_per_sample * wave_format.channels / 8;
    wave_format.block_align =
        static_cast<uint16_t>(wave_format.bits_per_sample * wave_format.channels / 8);
    video_source = 0;
    video_height = 0;
    video_file[0] = '\0';
    const int bps = std::max(1, bytes_per_sample());
    current.total_samples = static_cast<long>(data_size) / bps;
    current.select_start = 0;
    current.select_end = current.total_samples;
    current.has_selection = 0;
    first_visible = 0;
    is_modified = 0;
    left_active = right_active = 1;
    select_x_start = 0.0f;
    select_x_end = 1.0f;
    undo.file_name[0] = '\0';
    redo.file_name[0] = '\0';
    current.clear_levels();
    undo.clear_levels();
    redo.clear_levels();
    g_undo_menu.text = "&Undo\tCtrl+Z";
    g_undo_menu.enabled = false;
    undo_available = 0;
    redo_available = 0;
    std::snprintf(file_title, sizeof file_title, "%s",
                  kel::paths::file_part(source_name ? source_name : "").c_str());
}

int CChildFrame::open_working_file(const char* source_name)
{
    make_working_name(current.file_name, ".tmp");
    if (const int error = create_working_file(current.file_name)) {
        const std::string shown = current.file_name[0] ? current.file_name : data_directory();
        ErrMsg("No file %s\n%s", shown.c_str(), working_file_problem(error).c_str());
        current.file_name[0] = '\0';
        return 0;
    }

    // Whole frames only: a stray byte at the end would break every later offset.
    const unsigned long align = std::max<unsigned long>(1, wave_format.block_align);
    const unsigned long bytes = data_size / align * align;
    char text[320];
    std::snprintf(text, sizeof text, "Reading file %s...",
                  kel::paths::file_part(source_name).c_str());
    // One read of the samples fills the working file and the overview.
    const int filled =
        fill_working_file(source_name, static_cast<unsigned long>(data_offset), bytes, text);
    current.select_end = current.total_samples;
    if (!filled)
        return 0;
    struct stat st
    {
    };
    return ::stat(current.file_name, &st) == 0 && static_cast<unsigned long>(st.st_size) == bytes;
}

std::unique_ptr<CChildFrame> CChildFrame::create_from_file(const char* source_name)
{
    if (!source_name)
        return nullptr;
    std::unique_ptr<CChildFrame> doc(new CChildFrame());
    const std::string profile = kel::profile::app_profile();
    doc->color_flag = static_cast<int>(kel::profile::read_int("General", "Color", 1, profile));
    doc->tooltips_flag =
        static_cast<int>(kel::profile::read_int("General", "ToolTips", 1, profile));
    if (!ReadInputWaveformHeader(source_name, 0))
        return nullptr;
    // A refused unknown item refuses the file; a damaged list keeps what it could read.
    auto info = std::make_shared<InfoState>();
    if (info_read_wave_file(source_name, *info) == kInfoRefused)
        return nullptr;
    doc->info_state = info;
    doc->fill_new_document(source_name);
    if (!doc->open_working_file(source_name))
        return nullptr;
    doc->remember_file(source_name);
    if (const auto points = cue_read_wave_file(source_name); !points.empty())
        doc->markers = std::make_shared<MarkerTable>(
            markers_of_points(points, doc->wave_format.channels, doc->current.total_samples));

    FileSlot& s = doc->current;
    if (kel::profile::read_yes_no("Preferences", "Zoomed initial display", false, profile)) {
        s.zoom_factor = std::floor(s.base_factor);
        int level = static_cast<int>(std::floor(std::log2(std::max(1.0f, s.zoom_factor)))) + 1;
        s.zoom_level = std::clamp(level, 1, s.level_count);
    } else {
        s.zoom_factor = 1.0f;
        s.zoom_level = 1;
    }
    recovery::opened_from(*doc, source_name);
    recovery::note(*doc);
    documents::set_active(doc.get());
    return doc;
}

void CChildFrame::remember_file(const std::string& path)
{
    file_path = path;
    if (!file_path.empty() && file_path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd))
            file_path = kel::paths::with_slash(cwd) + file_path;
    }
    struct stat st
    {
    };
    const bool there = !file_path.empty() && ::stat(file_path.c_str(), &st) == 0;
    file_device = there ? static_cast<uint64_t>(st.st_dev) : 0;
    file_inode = there ? static_cast<uint64_t>(st.st_ino) : 0;
}

bool CChildFrame::file_is_unchanged() const
{
    struct stat st
    {
    };
    return !file_path.empty() && ::stat(file_path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<uint64_t>(st.st_dev) == file_device &&
           static_cast<uint64_t>(st.st_ino) == file_inode;
}

int CChildFrame::query_close()
{
    if (!is_modified)
        return 1;
    // Save, Discard or Cancel: an OK here could not tell keeping the work from losing it.
    const std::string text = std::string("Save changes to ") + file_title + "?";
    switch (kel::ui().message_box(text, "Kelvara", kel::Buttons::SaveDiscardCancel,
                                  kel::Icon::Question)) {
    case kel::kIdYes:
        // A save that fails or is cancelled keeps the window and the work.
        return save_document(*this) && !is_modified ? 1 : 0;
    case kel::kIdNo:
        return 1;
    default:
        return 0;
    }
}
