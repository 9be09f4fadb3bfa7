// Levels of a document state: the full-resolution mapping of the working file on top,
// the coarse min/max overview (one pair per 256 frames and channel) as level 1.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/document/fd_io.h"
#include "editor/document/overview_survey.h"
#include "platform/mapped_file.h"
#include "platform/ui.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using fd_io::pread_full;

const char* get_fault_text(SlotRole role)
{
    return role == SlotRole::Redo ? "Redo Get Access violation" : "Get Access violation";
}

const char* put_fault_text(SlotRole role)
{
    return role == SlotRole::Redo ? "Redo Put Access violation" : "Put Access violation";
}

// The walk reads the working file in pieces instead of faulting in its mapping page by
// page: much faster, and a long file never sits in our resident memory.
constexpr long kGroupsPerRead = 256;

// Lane-wise minimum and maximum over 16-byte lanes; with interleaved stereo data the
// even lanes hold the left channel.
template <typename Sample> constexpr int kLanes = 16 / static_cast<int>(sizeof(Sample));

template <typename Sample>
void lane_min_max(const Sample* __restrict p, long count, Sample (&mn)[kLanes<Sample>],
                  Sample (&mx)[kLanes<Sample>])
{
    constexpr int lanes = kLanes<Sample>;
    long i = 0;
#if defined(__SSE2__)
    // Two accumulators each, held in registers: one chain per pair would wait on itself.
    __m128i min0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mn));
    __m128i max0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mx));
    __m128i min1 = min0;
    __m128i max1 = max0;
    auto vmin = [](__m128i a, __m128i b) {
        if constexpr (sizeof(Sample) == 1)
            return _mm_min_epu8(a, b);
        else
            return _mm_min_epi16(a, b);
    };
    auto vmax = [](__m128i a, __m128i b) {
        if constexpr (sizeof(Sample) == 1)
            return _mm_max_epu8(a, b);
        else
            return _mm_max_epi16(a, b);
    };
    for (; i + 2 * lanes <= count; i += 2 * lanes) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + lanes));
        min0 = vmin(min0, a);
        max0 = vmax(max0, a);
        min1 = vmin(min1, b);
        max1 = vmax(max1, b);
    }
    for (; i + lanes <= count; i += lanes) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        min0 = vmin(min0, a);
        max0 = vmax(max0, a);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mn), vmin(min0, min1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mx), vmax(max0, max1));
#endif
    for (int j = 0; i < count; ++i, j = (j + 1) % lanes) {
        mn[j] = std::min(mn[j], p[i]);
        mx[j] = std::max(mx[j], p[i]);
    }
}

// Min and max of one group of n frames (n <= 256), written as the overview holds them:
// mono min, max; stereo left min, right min, left max, right max.
template <typename Sample, int Offset>
inline void one_group(const Sample* p, long n, int channels, Sample* out, long& written)
{
    constexpr int lanes = kLanes<Sample>;
    Sample mn[lanes], mx[lanes];
    std::fill(std::begin(mn), std::end(mn), std::numeric_limits<Sample>::max());
    std::fill(std::begin(mx), std::end(mx), std::numeric_limits<Sample>::min());
    lane_min_max(p, n * channels, mn, mx);
    // Minima start at 32767 and maxima at -32767 (in signed terms).
    int lmin = 32767, rmin = 32767, lmax = -32767, rmax = -32767;
    for (int j = 0; j < lanes; ++j) {
        const bool right = channels == 2 && (j % 2) == 1;
        int& tmin = right ? rmin : lmin;
        int& tmax = right ? rmax : lmax;
        tmin = std::min(tmin, static_cast<int>(mn[j]) - Offset);
        tmax = std::max(tmax, static_cast<int>(mx[j]) - Offset);
    }
    if (channels == 2) {
        out[written++] = static_cast<Sample>(lmin + Offset);
        out[written++] = static_cast<Sample>(rmin + Offset);
        out[written++] = static_cast<Sample>(lmax + Offset);
        out[written++] = static_cast<Sample>(rmax + Offset);
    } else {
        out[written++] = static_cast<Sample>(lmin + Offset);
        out[written++] = static_cast<Sample>(lmax + Offset);
    }
}

enum class WalkEnd { Done, Cancelled, ReadFailed, NoMemory };

template <typename Sample, int Offset>
WalkEnd walk_groups(int fd, long first_group, long frames, int channels, Sample* out,
                    long total_samples, int progress, long& written)
{
    const long piece_frames = kGroupsPerRead * 256;
    std::unique_ptr<Sample[]> piece(new (std::nothrow) Sample[piece_frames * channels]);
    if (!piece)
        return WalkEnd::NoMemory;
    written = first_group * 2 * channels;
    long group_index = first_group;
    for (long base = first_group * 256; base < frames; base += piece_frames) {
        const long in_piece = std::min(piece_frames, frames - base);
        const long bytes = in_piece * channels * static_cast<long>(sizeof(Sample));
        const long offset = base * channels * static_cast<long>(sizeof(Sample));
        if (pread_full(fd, piece.get(), bytes, offset) != bytes)
            return WalkEnd::ReadFailed;
        for (long g = 0; g < in_piece; g += 256, ++group_index) {
            const long frame = base + g;
            one_group<Sample, Offset>(piece.get() + g * channels, std::min<long>(256, in_piece - g),
                                      channels, out, written);
            if (group_index % 10 == 0 && progress) {
                const long start = frame * channels;
                show_percent_done(progress,
                                  static_cast<int>(start * 100 / std::max(1L, total_samples)));
                if (cancel_button_pressed(progress))
                    return WalkEnd::Cancelled;
            }
        }
    }
    return WalkEnd::Done;
}

template <typename Sample, int Offset>
long survey_as(const unsigned char* data, long bytes, int channels, void* store, long written)
{
    const Sample* p = reinterpret_cast<const Sample*>(data);
    const long frames = bytes / (channels * static_cast<long>(sizeof(Sample)));
    Sample* out = static_cast<Sample*>(store);
    for (long g = 0; g < frames; g += 256)
        one_group<Sample, Offset>(p + g * channels, std::min<long>(256, frames - g), channels, out,
                                  written);
    return written;
}

} // namespace

long survey_groups(const unsigned char* data, long bytes, int channels, int bytes_per_sample,
                   void* store, long written)
{
    channels = channels == 2 ? 2 : 1;
    if (bytes_per_sample == 1)
        return survey_as<unsigned char, 128>(data, bytes, channels, store, written);
    return survey_as<short, 0>(data, bytes, channels, store, written);
}

struct CChildFrame::TailSurvey
{
    std::thread worker;
    long first_group = 0; // the first group of the new file wholly in the tail
    long group_bytes = 0;
    long new_total = 0; // bytes of the new file the survey was made for
    std::vector<unsigned char> words;
    bool ok = false;
    ~TailSurvey()
    {
        if (worker.joinable())
            worker.join();
    }
};

void CChildFrame::TailSurveyDeleter::operator()(TailSurvey* survey) const
{
    delete survey;
}

void CChildFrame::keep_overview_tail(long from_byte, long to_byte)
{
    tail_survey_.reset();
    const int channels = wave_format.channels == 2 ? 2 : 1;
    const int bps = bytes_per_sample();
    const long total = current.total_samples * bps;
    const long group_bytes = 256L * channels * bps;
    // A short tail is walked as quickly as a thread is started.
    constexpr long kWorthIt = 4L << 20;
    if (bps < 1 || from_byte < 0 || to_byte < 0 || from_byte >= total ||
        total - from_byte < kWorthIt || current.level_count < 2 || !current.file_name[0])
        return;
    const long first_group = (to_byte + group_bytes - 1) / group_bytes;
    const long old_start = first_group * group_bytes - (to_byte - from_byte);
    const long new_total = to_byte + (total - from_byte);
    const long whole = (total - old_start) / (channels * bps) * (channels * bps);
    const long groups = (whole / (channels * bps) + 255) / 256;
    std::unique_ptr<TailSurvey> t(new (std::nothrow) TailSurvey);
    if (!t)
        return;
    t->first_group = first_group;
    t->group_bytes = group_bytes;
    t->new_total = new_total;
    try {
        t->words.resize(static_cast<size_t>(groups) * 2 * channels * bps);
        const std::string source = current.file_name;
        TailSurvey* out = t.get();
        t->worker = std::thread([out, source, old_start, whole, channels, bps] {
            const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return;
            constexpr long kRead = 256 * 1024;
            std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[kRead]);
            long written = 0;
            bool ok = piece != nullptr;
            for (long at = 0; ok && at < whole; at += kRead) {
                const long n = std::min(kRead, whole - at);
                ok = pread_full(fd, piece.get(), n, old_start + at) == n;
                if (ok)
                    written =
                        survey_groups(piece.get(), n, channels, bps, out->words.data(), written);
            }
            ::close(fd);
            out->ok = ok && static_cast<size_t>(written) * bps == out->words.size();
        });
    } catch (...) {
        return;
    }
    tail_survey_.reset(t.release());
}

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

void CChildFrame::set_levels(FileSlot& slot)
{
    const int k =
        level_count_for(slot.total_samples, wave_format.channels, kel::ui().screen_width());
    slot.level_count = k;
    slot.zoom_level = k;
    slot.zoom_factor = slot.base_factor = k < 2 ? 1.0f : static_cast<float>(std::ldexp(1.0, k - 1));
    for (int level = 1; level <= k; ++level)
        slot.level_samples[level] = slot.total_samples;
}

int CChildFrame::map_top_level(FileSlot& slot)
{
    const long bytes = slot.total_samples * bytes_per_sample();
    const int k = slot.level_count;
    auto map = kel::MappedFile::open(slot.file_name, kel::MappedFile::Access::ReadWrite);
    if (!map || map->size() < static_cast<size_t>(bytes))
        return 0;
    std::shared_ptr<kel::MappedFile> shared(std::move(map));
    slot.mapping[k] = shared;
    if (wave_format.bits_per_sample == 8)
        slot.view8[k] = shared->data();
    else
        slot.view16[k] = reinterpret_cast<short*>(shared->data());
    slot.mapped[k] = 1;
    return 1;
}

int CChildFrame::make_overview_store(FileSlot& slot, SlotRole role)
{
    const int channels = wave_format.channels == 2 ? 2 : 1;
    const int bps = bytes_per_sample();
    const long frames = slot.total_samples / channels;
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
    return 1;
}

int CChildFrame::prepare_slot(FileSlot& slot, SlotRole role, const char* progress_format)
{
    slot.clear_levels();
    set_levels(slot);
    const long bytes = slot.total_samples * bytes_per_sample();
    if (bytes < 9)
        return 1;
    if (!map_top_level(slot))
        return 0;
    if (slot.level_count >= 2)
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
    if (!make_overview_store(slot, role))
        return 0;
    const std::shared_ptr<kel::MappedFile> level1 = slot.mapping[1];

    char text[200];
    std::snprintf(text, sizeof text, progress_format ? progress_format : "Processing file %s...",
                  file_title);
    const kel::Cursor previous_cursor = kel::ui().set_cursor(kel::Cursor::Arrow);
    const int progress = display_message_dialog(text, 1);
    show_percent_done(progress, 0);

    // Groups that lie wholly in an unchanged head are the current state's already.
    long first_group = 0;
    if (role == SlotRole::Redo && overview_head_bytes_ > 0 && current.mapped[1] &&
        current.mapping[1] && current.level_count >= 2) {
        const long source_frames = current.total_samples / channels;
        const long head_frames = overview_head_bytes_ / (static_cast<long>(bps) * channels);
        first_group = std::min({head_frames, source_frames, frames}) / 256;
        const size_t head_words = static_cast<size_t>(first_group) * 2 * channels;
        const size_t source_words = current.mapping[1]->size() / static_cast<size_t>(bps);
        if (head_words > source_words || head_words > static_cast<size_t>(current.level_samples[1]))
            first_group = 0;
        else if (head_words > 0)
            std::memcpy(level1->data(), current.mapping[1]->data(), head_words * bps);
    }
    // Groups from the tail on came from the current state's file while the step copied.
    long walk_frames = frames;
    long tail_words = 0;
    const long groups = (frames + 255) / 256;
    if (role == SlotRole::Redo && tail_survey_) {
        TailSurvey& t = *tail_survey_;
        if (t.worker.joinable())
            t.worker.join();
        const long group_bytes = 256L * channels * bps;
        if (t.ok && t.first_group >= first_group && t.first_group <= groups &&
            static_cast<long>(t.words.size()) / bps == (groups - t.first_group) * 2 * channels &&
            t.group_bytes == group_bytes && t.new_total == frames * group_bytes / 256) {
            tail_words = static_cast<long>(t.words.size()) / bps;
            if (tail_words > 0)
                walk_frames = std::min(frames, t.first_group * 256);
        }
    }
    long written = 0;
    WalkEnd end = WalkEnd::ReadFailed;
    const int fd = ::open(slot.file_name, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        if (bps == 1)
            end = walk_groups<unsigned char, 128>(fd, first_group, walk_frames, channels,
                                                  slot.view8[1], slot.total_samples, progress,
                                                  written);
        else
            end = walk_groups<short, 0>(fd, first_group, walk_frames, channels, slot.view16[1],
                                        slot.total_samples, progress, written);
        ::close(fd);
    }
    if (end == WalkEnd::Done && tail_words > 0) {
        std::memcpy(level1->data() + static_cast<size_t>(written) * bps, tail_survey_->words.data(),
                    static_cast<size_t>(tail_words) * bps);
        written += tail_words;
    }
    terminate_message_dialog(progress);
    // The progress window set the watch cursor; the caller's comes back.
    kel::ui().set_cursor(previous_cursor);
    slot.level_samples[1] = written;
    slot.zoom_factor = slot.base_factor;
    slot.zoom_level = slot.level_count;
    if (end == WalkEnd::ReadFailed)
        ErrMsg("%s", get_fault_text(role));
    else if (end == WalkEnd::NoMemory)
        NewErrMsg(5001);
    return end == WalkEnd::Done ? 1 : 0;
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
    const double w =
        static_cast<double>(wave_format.channels) * current.base_factor * x / current.zoom_factor;
    long s = static_cast<long>(w) + first_visible;
    s = std::max(0L, s);
    return std::min(current.total_samples, s);
}

long CChildFrame::view_to_byte(float x) const
{
    const long align = wave_format.block_align ? wave_format.block_align : 1;
    return view_to_sample(x) * bytes_per_sample() / align * align;
}
