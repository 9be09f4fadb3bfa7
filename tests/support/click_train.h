#pragma once
// A sparse train of clicks for timing checks over long files: a click is a short triangle,
// so that it survives decimation and ADPCM, and its centroid in a decoded stream tells
// where the stream has put it. Header-only: the player's tests use it too.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct ClickTrain
{
    static constexpr int kHalfWidth = 24;
    static constexpr int kPeak = 16000;
    uint64_t first = 1000;
    uint64_t spacing = 44100;

    int16_t sample(uint64_t frame) const
    {
        if (frame + kHalfWidth < first)
            return 0;
        const uint64_t from = frame + kHalfWidth - first;
        const int64_t d = static_cast<int64_t>(from % spacing) - kHalfWidth;
        const int64_t a = d < 0 ? -d : d;
        return a < kHalfWidth ? static_cast<int16_t>(kPeak * (kHalfWidth - a) / kHalfWidth) : 0;
    }
    double centre(size_t i) const { return static_cast<double>(first + i * spacing); }
    size_t count(uint64_t frames) const
    {
        return frames < first + kHalfWidth ? 0 : (frames - first - kHalfWidth) / spacing + 1;
    }
};

// Finds the clicks of a decoded stream fed in blocks of any size (first channel only):
// a crossing of the threshold after a quiet stretch opens a click, whose centroid of the
// positive samples around it is its place.
class ClickFinder
{
  public:
    explicit ClickFinder(int window) : window_(window), history_(static_cast<size_t>(window)) {}

    void feed(const int16_t* words, size_t frames, int channels)
    {
        for (size_t i = 0; i < frames; ++i, ++frame_) {
            const int x = words[i * channels];
            if (open_ && frame_ >= until_) {
                centres.push_back(sum_t_ / sum_);
                open_ = false;
            }
            if (!open_ && x > ClickTrain::kPeak / 2 && frame_ >= quiet_until_) {
                open_ = true;
                sum_ = sum_t_ = 0;
                // The rise before the crossing belongs to the click too.
                for (int k = 1; k <= window_ && frame_ >= static_cast<uint64_t>(k); ++k)
                    add(history_[(frame_ - k) % history_.size()], frame_ - k);
                until_ = frame_ + static_cast<uint64_t>(window_);
                quiet_until_ = frame_ + static_cast<uint64_t>(8 * window_);
            }
            if (open_)
                add(x, frame_);
            history_[frame_ % history_.size()] = static_cast<int16_t>(x);
        }
    }
    uint64_t frames() const { return frame_; }

    std::vector<double> centres;

  private:
    void add(int x, uint64_t t)
    {
        if (x > 0) {
            sum_ += x;
            sum_t_ += static_cast<double>(x) * static_cast<double>(t);
        }
    }
    int window_;
    std::vector<int16_t> history_;
    uint64_t frame_ = 0, until_ = 0, quiet_until_ = 0;
    bool open_ = false;
    double sum_ = 0, sum_t_ = 0;
};

// Feeds the "data" chunk of a 16-bit mono wave file to the finder; false when it cannot
// be opened.
inline bool scan_wave(const std::string& file, ClickFinder& finder)
{
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f)
        return false;
    char ck[8];
    std::fseek(f, 12, SEEK_SET);
    uint32_t size = 0;
    while (std::fread(ck, 1, 8, f) == 8) {
        size = static_cast<uint8_t>(ck[4]) | static_cast<uint8_t>(ck[5]) << 8 |
               static_cast<uint8_t>(ck[6]) << 16 | uint32_t{static_cast<uint8_t>(ck[7])} << 24;
        if (std::memcmp(ck, "data", 4) == 0)
            break;
        std::fseek(f, size + (size & 1), SEEK_CUR);
        size = 0;
    }
    std::vector<int16_t> block(65536);
    uint64_t left = size / 2;
    while (left > 0) {
        const size_t n = std::fread(block.data(), 2, std::min<uint64_t>(block.size(), left), f);
        if (n == 0)
            break;
        finder.feed(block.data(), n, 1);
        left -= n;
    }
    std::fclose(f);
    return true;
}

// Where the decoded clicks stand against the train: the offset of the first, of the last
// and the largest one, in frames.
struct ClickOffsets
{
    double first = 0, last = 0, worst = 0;
};

inline ClickOffsets click_offsets(const ClickFinder& finder, const ClickTrain& train)
{
    ClickOffsets o;
    for (size_t i = 0; i < finder.centres.size(); ++i) {
        const double offset = finder.centres[i] - train.centre(i);
        if (i == 0)
            o.first = offset;
        if (std::abs(offset) > std::abs(o.worst))
            o.worst = offset;
        o.last = offset;
    }
    return o;
}
