#include "effra/selection_outline.h"

#include "common/child_frame.h"
#include "common/host_services.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace effra {

namespace {

constexpr long kGroupFrames = 256;

void widen(OutlineColumn& c, float low, float high, bool& first)
{
    if (first) {
        c.low = low;
        c.high = high;
        first = false;
        return;
    }
    c.low = std::min(c.low, low);
    c.high = std::max(c.high, high);
}

} // namespace

std::vector<OutlineColumn> selection_outline(CChildFrame& doc, int columns)
{
    std::vector<OutlineColumn> out(static_cast<size_t>(std::max(0, columns)));
    const int bps = doc.bytes_per_sample();
    const int channels = doc.wave_format.channels == 2 ? 2 : 1;
    if (columns <= 0 || (bps != 1 && bps != 2))
        return out;
    const long frame_words = channels;
    const long first = std::max(0L, doc.select_start()) / frame_words;
    const long last = std::min(doc.total_samples(), doc.select_end()) / frame_words;
    const long frames = last - first;
    if (frames <= 0)
        return out;
    const float full = bps == 1 ? 128.0f : 32768.0f;
    const int offset = bps == 1 ? 128 : 0;
    std::vector<bool> fresh(out.size(), true);
    auto column_of = [&](long frame) {
        return static_cast<size_t>(std::min<long long>(
            columns - 1, static_cast<long long>(frame - first) * columns / frames));
    };

    const FileSlot& slot = doc.current;
    const bool overview = slot.level_count >= 2 && slot.mapped[1] && slot.mapping[1] &&
                          (bps == 1 ? slot.view8[1] != nullptr : slot.view16[1] != nullptr);
    if (overview && frames / columns >= kGroupFrames) {
        const long words = slot.level_samples[1];
        const long per_group = 2 * channels;
        for (long g = first / kGroupFrames; (g + 1) * per_group <= words; ++g) {
            const long frame = std::max(first, g * kGroupFrames);
            if (frame >= last)
                break;
            auto word = [&](long i) {
                return bps == 1 ? static_cast<int>(slot.view8[1][i]) - offset
                                : static_cast<int>(slot.view16[1][i]);
            };
            const long base = g * per_group;
            int low = word(base), high = word(base + channels);
            if (channels == 2) {
                low = std::min(low, word(base + 1));
                high = std::max(high, word(base + 3));
            }
            const size_t c = column_of(frame);
            bool f = fresh[c];
            widen(out[c], low / full, high / full, f);
            fresh[c] = f;
        }
        return out;
    }

    // Short selections: the samples themselves, a piece at a time.
    const long piece_frames = 8192;
    std::vector<unsigned char> piece(static_cast<size_t>(piece_frames * channels * bps));
    for (long at = first; at < last; at += piece_frames) {
        const long n = std::min(piece_frames, last - at);
        const long bytes = n * channels * bps;
        if (copy_file_to_memory(doc.working_file(), piece.data(), 0, bytes, at * channels * bps,
                                0) != bytes)
            break;
        for (long i = 0; i < n; ++i) {
            int low = 0, high = 0;
            for (int ch = 0; ch < channels; ++ch) {
                const size_t k = static_cast<size_t>((i * channels + ch) * bps);
                const int v = bps == 1 ? piece[k] - offset
                                       : static_cast<int16_t>(piece[k] | (piece[k + 1] << 8));
                low = ch ? std::min(low, v) : v;
                high = ch ? std::max(high, v) : v;
            }
            const size_t c = column_of(at + i);
            bool f = fresh[c];
            widen(out[c], low / full, high / full, f);
            fresh[c] = f;
        }
    }
    return out;
}

} // namespace effra
