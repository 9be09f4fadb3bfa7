// Levels of a document state: the full-resolution mapping of the working file on top,
// the coarse min/max overview (one pair per 256 frames and channel) as level 1.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "platform/mapped_file.h"
#include "platform/ui.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

const char* get_fault_text(SlotRole role)
{
    return role == SlotRole::Redo ? "Redo Get Access violation" : "Get Access violation";
}

const char* put_fault_text(SlotRole role)
{
    return role == SlotRole::Redo ? "Redo Put Access violation" : "Put Access violation";
}

// The file is read in large blocks rather than walked through its mapping: page faults
// would cost more than the min/max work, and nothing stays resident afterwards.
constexpr long kWalkFrames = 1 << 17; // a multiple of the 256-frame group

template <typename Sample, int Offset>
void min_max_groups(const Sample* p, long frames, int channels, Sample* out, long& written)
{
    for (long frame = 0; frame < frames; frame += 256) {
        const long n = std::min<long>(256, frames - frame);
        const Sample* g = p + frame * channels;
        if (channels == 2) {
            int lmin = 32767, rmin = 32767, lmax = -32767, rmax = -32767;
            for (long i = 0; i < n; ++i) {
                const int l = static_cast<int>(g[2 * i]) - Offset;
                const int r = static_cast<int>(g[2 * i + 1]) - Offset;
                lmin = std::min(lmin, l);
                lmax = std::max(lmax, l);
                rmin = std::min(rmin, r);
                rmax = std::max(rmax, r);
            }
            out[written++] = static_cast<Sample>(lmin + Offset);
            out[written++] = static_cast<Sample>(rmin + Offset);
            out[written++] = static_cast<Sample>(lmax + Offset);
            out[written++] = static_cast<Sample>(rmax + Offset);
        } else {
            int mn = 32767, mx = -32767;
            for (long i = 0; i < n; ++i) {
                const int v = static_cast<int>(g[i]) - Offset;
                mn = std::min(mn, v);
                mx = std::max(mx, v);
            }
            out[written++] = static_cast<Sample>(mn + Offset);
            out[written++] = static_cast<Sample>(mx + Offset);
        }
    }
}

// Walks the file in groups of 256 frames; progress and Cancel every ten groups.
// Returns the words written, or -1 when the file could not be read.
template <typename Sample, int Offset>
long walk_groups(int fd, long frames, int channels, Sample* out, long total_samples, int progress,
                 bool& cancelled)
{
    std::unique_ptr<Sample[]> block(new (std::nothrow) Sample[kWalkFrames * channels]);
    if (!block)
        return -1;
    long written = 0;
    for (long frame = 0; frame < frames; frame += kWalkFrames) {
        const long n = std::min(kWalkFrames, frames - frame);
        const size_t bytes = static_cast<size_t>(n) * channels * sizeof(Sample);
        size_t got = 0;
        while (got < bytes) {
            ssize_t r = ::pread(fd, reinterpret_cast<char*>(block.get()) + got, bytes - got,
                                static_cast<off_t>(frame * channels * sizeof(Sample) + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return -1;
            got += static_cast<size_t>(r);
        }
        if (!progress) {
            min_max_groups<Sample, Offset>(block.get(), n, channels, out, written);
            continue;
        }
        // Ten groups at a time, so progress and Cancel come at the group boundaries.
        for (long sub = 0; sub < n; sub += 2560) {
            const long start = (frame + sub) * channels;
            show_percent_done(progress, static_cast<int>(start * 100 / std::max(1L, total_samples)));
            if (cancel_button_pressed(progress)) {
                cancelled = true;
                return written;
            }
            min_max_groups<Sample, Offset>(block.get() + sub * channels, std::min(2560L, n - sub),
                                           channels, out, written);
        }
    }
    return written;
}

} // namespace

void FileSlot::release_levels()
{
    for (int i = 0; i < kLevelTable; ++i) {
        mapping[i].reset();
        view8[i] = nullptr;
        view16[i] = nullptr;
        mapped[i] = 0;
    }
}

void FileSlot::clear_levels()
{
    release_levels();
    for (long& c : level_samples)
        c = 0;
}

int CChildFrame::level_count_for(long total_samples, int channels, int screen_width)
{
    const double n = channels == 2 ? static_cast<double>(total_samples)
                                   : 2.0 * static_cast<double>(total_samples);
    const double limit = 0.75 * screen_width;
    int k = 0;
    while (k < 999 && n / std::ldexp(1.0, k) >= limit)
        ++k;
    if (k < 2)
        k = 1;
    // Our tables end at kLevelTable - 1; that covers far more than any RIFF file holds.
    return std::min(k, kLevelTable - 1);
}

int CChildFrame::prepare_slot(FileSlot& slot, SlotRole role, const char* progress_format)
{
    slot.clear_levels();
    const int k = level_count_for(slot.total_samples, wave_format.channels, kel::ui().screen_width());
    slot.level_count = k;
    slot.zoom_level = k;
    slot.zoom_factor = slot.base_factor = k < 2 ? 1.0f : static_cast<float>(std::ldexp(1.0, k - 1));
    for (int level = 1; level <= k; ++level)
        slot.level_samples[level] = slot.total_samples;

    const long bytes = slot.total_samples * bytes_per_sample();
    if (bytes < 9)
        return 1;

    auto map = kel::MappedFile::open(slot.file_name, kel::MappedFile::Access::ReadWrite);
    if (!map || map->size() < static_cast<size_t>(bytes))
        return 0;
    map->advise_sequential();
    std::shared_ptr<kel::MappedFile> shared(std::move(map));
    slot.mapping[k] = shared;
    if (wave_format.bits_per_sample == 8)
        slot.view8[k] = shared->data();
    else
        slot.view16[k] = reinterpret_cast<short*>(shared->data());
    slot.mapped[k] = 1;

    if (k >= 2)
        return build_overview(slot, role, progress_format);
    return 1;
}

int CChildFrame::build_overview(FileSlot& slot, SlotRole role, const char* progress_format)
{
    const int top = slot.level_count;
    const int channels = wave_format.channels == 2 ? 2 : 1;
    const int bps = bytes_per_sample();
    if (!slot.mapped[top] || !slot.mapping[top]) {
        ErrMsg("%s", get_fault_text(role));
        return 0;
    }
    const long frames = slot.total_samples / channels;
    if (slot.mapping[top]->size() < static_cast<size_t>(frames) * channels * bps) {
        ErrMsg("%s", get_fault_text(role));
        return 0;
    }
    const long groups = (frames + 255) / 256;
    const size_t words = static_cast<size_t>(groups) * 2 * channels;
    auto store = kel::MappedFile::anonymous(words * bps);
    if (!store) {
        ErrMsg("%s", put_fault_text(role));
        return 0;
    }
    std::shared_ptr<kel::MappedFile> level1(std::move(store));
    slot.mapping[1] = level1;
    slot.view8[1] = nullptr;
    slot.view16[1] = nullptr;
    if (bps == 1)
        slot.view8[1] = level1->data();
    else
        slot.view16[1] = reinterpret_cast<short*>(level1->data());
    slot.mapped[1] = 1;

    char text[200];
    std::snprintf(text, sizeof text, progress_format ? progress_format : "Processing file %s...",
                  file_title);
    const int progress = display_message_dialog(text, 1);
    show_percent_done(progress, 0);

    bool cancelled = false;
    long written = -1;
    int fd = ::open(slot.file_name, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        if (bps == 1)
            written = walk_groups<unsigned char, 128>(fd, frames, channels, slot.view8[1],
                                                      slot.total_samples, progress, cancelled);
        else
            written = walk_groups<short, 0>(fd, frames, channels, slot.view16[1],
                                            slot.total_samples, progress, cancelled);
        ::close(fd);
    }
    terminate_message_dialog(progress);
    if (written < 0) {
        ErrMsg("%s", get_fault_text(role));
        written = 0;
        slot.level_samples[1] = 0;
        return 0;
    }
    slot.level_samples[1] = written;
    slot.zoom_factor = slot.base_factor;
    slot.zoom_level = slot.level_count;
    return cancelled ? 0 : 1;
}

int CChildFrame::get_sample(const FileSlot& slot, SlotRole role, int level, long index,
                            int* ok) const
{
    int dummy;
    int& good = ok ? *ok : dummy;
    good = 0;
    if (level < 1 || level >= kLevelTable || !slot.mapped[level] || !slot.mapping[level])
        return 0;
    const size_t bps = static_cast<size_t>(bytes_per_sample());
    if (index < 0 || static_cast<size_t>(index) * bps + bps > slot.mapping[level]->size()) {
        ErrMsg("%s", get_fault_text(role));
        return 0;
    }
    good = 1;
    if (bps == 1)
        return static_cast<int>(slot.view8[level][index]) - 128;
    return slot.view16[level][index];
}

int CChildFrame::put_sample(FileSlot& slot, SlotRole role, int level, long index, int value)
{
    if (level == slot.level_count)
        return 0;
    if (level < 1 || level >= kLevelTable || !slot.mapped[level] || !slot.mapping[level])
        return 0;
    const size_t bps = static_cast<size_t>(bytes_per_sample());
    if (index < 0 || static_cast<size_t>(index) * bps + bps > slot.mapping[level]->size()) {
        ErrMsg("%s", put_fault_text(role));
        return 0;
    }
    if (bps == 1)
        slot.view8[level][index] = static_cast<unsigned char>(value + 128);
    else
        slot.view16[level][index] = static_cast<short>(value);
    return 1;
}

long CChildFrame::view_to_sample(float x) const
{
    const double w = static_cast<double>(wave_format.channels) * current.base_factor * x /
                     current.zoom_factor;
    long s = static_cast<long>(w) + first_visible;
    s = std::max(0L, s);
    return std::min(current.total_samples, s);
}

long CChildFrame::view_to_byte(float x) const
{
    const long align = wave_format.block_align ? wave_format.block_align : 1;
    return view_to_sample(x) * bytes_per_sample() / align * align;
}
