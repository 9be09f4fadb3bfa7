#include "magnel/plot_sampling.h"

#include "common/host_services.h"
#include "common/time_text.h"

#include <algorithm>
#include <cmath>

namespace magnel {

namespace {

long total_frames(const CChildFrame& doc)
{
    const int channels = std::max<int>(1, doc.wave_format.channels);
    return doc.current.total_samples / channels;
}

} // namespace

FrameRange plotted_frames(const CChildFrame& doc, int width_px)
{
    const int channels = std::max<int>(1, doc.wave_format.channels);
    const long total = total_frames(doc);
    FrameRange r;
    r.first_frame = std::clamp(doc.current.select_start / channels, 0L, total);
    const long end = std::clamp(doc.current.select_end / channels, r.first_frame, total);
    r.frame_count = end - r.first_frame;
    if (r.frame_count == 0) {
        const long page = std::max(1, width_px / kMinPixelsPerFrame);
        r.frame_count = std::min(page, total - r.first_frame);
    }
    return r;
}

PageLayout page_layout(long frame_count, int width_px)
{
    PageLayout l;
    if (frame_count <= 0 || width_px <= 0)
        return l;
    const long most = std::max(1, width_px / kMinPixelsPerFrame);
    l.frames_per_page = std::min(frame_count, most);
    l.pixels_per_frame = static_cast<double>(width_px) / static_cast<double>(l.frames_per_page);
    return l;
}

long page_start(const FrameRange& range, const PageLayout& layout, long frame)
{
    const long last = range.first_frame + std::max(0L, range.frame_count - layout.frames_per_page);
    return std::clamp(frame, range.first_frame, last);
}

int sample_to_y(int value, int bits, int height_px)
{
    if (height_px <= 1)
        return 0;
    // The largest positive value reaches the top row; the one more negative is held.
    const double full = bits == 8 ? 127.0 : 32767.0;
    const double middle = (height_px - 1) / 2.0;
    const long y = std::lround(middle - static_cast<double>(value) * middle / full);
    return static_cast<int>(std::clamp(y, 0L, static_cast<long>(height_px - 1)));
}

int frame_to_x(long index_in_page, double pixels_per_frame)
{
    return static_cast<int>((static_cast<double>(index_in_page) + 0.5) * pixels_per_frame);
}

bool read_frames(const CChildFrame& doc, long first_frame, long count,
                 std::vector<std::vector<int>>& per_channel)
{
    const int channels = std::max<int>(1, doc.wave_format.channels);
    per_channel.assign(static_cast<size_t>(channels), {});
    const long total = total_frames(doc);
    if (first_frame < 0 || count < 0 || first_frame > total)
        return false;
    count = std::min(count, total - first_frame);
    for (auto& c : per_channel)
        c.reserve(static_cast<size_t>(count));

    const FileSlot& slot = doc.current;
    const int top = slot.level_count;
    if (top >= 1 && top < kLevelTable && slot.mapped[top] && slot.mapping[top]) {
        for (long f = 0; f < count; ++f) {
            for (int c = 0; c < channels; ++c) {
                int ok = 0;
                const int v = doc.get_sample(slot, SlotRole::Current, top,
                                             (first_frame + f) * channels + c, &ok);
                if (!ok)
                    return false;
                per_channel[static_cast<size_t>(c)].push_back(v);
            }
        }
        return true;
    }
    // Too short to be mapped: read just these frames.
    const int bytes = doc.bytes_per_sample();
    if (bytes != 1 && bytes != 2)
        return false;
    const long size = count * channels * bytes;
    std::vector<unsigned char> raw(static_cast<size_t>(size));
    if (size > 0 && copy_file_to_memory(doc.current.file_name, raw.data(), 0, size,
                                        first_frame * channels * bytes, 0) != size)
        return false;
    for (long i = 0; i < count * channels; ++i) {
        const int v = bytes == 1 ? static_cast<int>(raw[static_cast<size_t>(i)]) - 128
                                 : static_cast<int16_t>(raw[static_cast<size_t>(2 * i)] |
                                                        raw[static_cast<size_t>(2 * i + 1)] << 8);
        per_channel[static_cast<size_t>(i % channels)].push_back(v);
    }
    return true;
}

bool build_page(const CChildFrame& doc, long first_frame, const PageLayout& layout, int height_px,
                int time_format, PlotPage& page)
{
    page = PlotPage{};
    std::vector<std::vector<int>> values;
    if (!read_frames(doc, first_frame, layout.frames_per_page, values))
        return false;
    const int bits = doc.wave_format.bits_per_sample;
    page.first_frame = first_frame;
    page.frame_count = values.empty() ? 0 : static_cast<long>(values[0].size());
    for (const auto& channel : values) {
        std::vector<PlotPoint> points;
        points.reserve(channel.size());
        for (size_t i = 0; i < channel.size(); ++i)
            points.push_back({frame_to_x(static_cast<long>(i), layout.pixels_per_frame),
                              sample_to_y(channel[i], bits, height_px), channel[i]});
        page.channels.push_back(std::move(points));
    }
    const long word = first_frame * std::max<int>(1, doc.wave_format.channels);
    page.first_time = position_text(doc, word, time_format);
    return true;
}

} // namespace magnel
