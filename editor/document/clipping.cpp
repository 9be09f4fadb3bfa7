#include "editor/document/clipping.h"

#include "common/child_frame.h"

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <unistd.h>

void (*g_status_text)(const std::string& text) = nullptr;

namespace {

// Spans by working-file name: undo and redo bring theirs back with the file.
std::map<std::string, std::vector<ClipSpan>>& spans_by_file()
{
    static std::map<std::string, std::vector<ClipSpan>> m;
    return m;
}

bool full_scale(const unsigned char* p, int bits)
{
    if (bits == 8)
        return p[0] <= 1 || p[0] == 255;
    const int v = static_cast<int16_t>(p[0] | (p[1] << 8));
    return v >= 32767 || v <= -32767;
}

bool is_effect(int code)
{
    // The Operations (and Mix, which adds two sounds): the edits only move samples.
    return (code >= 11500 && code <= 11518) || code == 11307;
}

} // namespace

ClipCount count_full_scale(const char* file, long start, long end, int channels, int bits,
                           std::vector<ClipSpan>* spans, long gap_words)
{
    ClipCount c;
    const int bps = bits == 8 ? 1 : 2;
    channels = channels == 2 ? 2 : 1;
    start = std::max(0L, start) / channels * channels;
    if (!file || !file[0] || end <= start)
        return c;
    const int fd = ::open(file, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return c;
    constexpr long kBlockWords = 1L << 18;
    std::vector<unsigned char> block(static_cast<size_t>(kBlockWords) * bps);
    for (long at = start; at < end;) {
        const long want = std::min(kBlockWords, end - at);
        const ssize_t n = ::pread(fd, block.data(), static_cast<size_t>(want) * bps,
                                  static_cast<off_t>(at) * bps);
        if (n <= 0)
            break;
        const long words = n / bps;
        for (long i = 0; i < words; ++i) {
            if (!full_scale(&block[static_cast<size_t>(i) * bps], bits))
                continue;
            const long word = at + i;
            ((word % channels) == 0 ? c.left : c.right) += 1;
            if (!spans)
                continue;
            if (!spans->empty() && word - spans->back().end <= gap_words)
                spans->back().end = word + 1;
            else
                spans->push_back({word, word + 1});
        }
        at += words;
    }
    ::close(fd);
    return c;
}

std::string clip_message(const ClipCount& clipped, int channels)
{
    std::string text = "Clipped " + std::to_string(clipped.total()) + " samples";
    if (channels == 2)
        text += ": " + std::to_string(clipped.left) + " left, " + std::to_string(clipped.right) +
                " right";
    return text;
}

void note_clipping(const CChildFrame& doc, int code)
{
    auto& all = spans_by_file();
    // Files no longer in the document's history take their spans with them.
    for (auto it = all.begin(); it != all.end();) {
        const std::string& name = it->first;
        if (name != doc.current.file_name && name != doc.undo.file_name &&
            name != doc.redo.file_name)
            it = all.erase(it);
        else
            ++it;
    }
    if (!is_effect(code))
        return;
    const int channels = doc.wave_format.channels == 2 ? 2 : 1;
    const int bits = doc.wave_format.bits_per_sample;
    const long start = doc.current.has_selection ? doc.current.select_start : 0;
    const long end = doc.current.has_selection ? doc.current.select_end : doc.current.total_samples;
    std::vector<ClipSpan> spans;
    // Runs closer than a millisecond are one mark.
    const long gap = std::max<long>(1, doc.wave_format.sample_rate / 1000) * channels;
    const ClipCount after =
        count_full_scale(doc.current.file_name, start, end, channels, bits, &spans, gap);
    if (after.total() == 0)
        return;
    const long undo_end = std::min(end, doc.undo.total_samples);
    const ClipCount before = count_full_scale(doc.undo.file_name, start, undo_end, channels, bits);
    ClipCount clipped;
    clipped.left = std::max(0L, after.left - before.left);
    clipped.right = std::max(0L, after.right - before.right);
    if (clipped.total() == 0)
        return;
    all[doc.current.file_name] = std::move(spans);
    if (g_status_text)
        g_status_text(clip_message(clipped, channels));
}

const std::vector<ClipSpan>& clipped_spans(const CChildFrame& doc)
{
    static const std::vector<ClipSpan> none;
    auto it = spans_by_file().find(doc.current.file_name);
    return it == spans_by_file().end() ? none : it->second;
}
