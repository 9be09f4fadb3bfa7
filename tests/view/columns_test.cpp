// Column minima and maxima against a brute-force scan of the samples, from the mapped
// top level and from the overview, 16-bit stereo and 8-bit mono.
#include "editor/view/waveform_columns.h"
#include "tests/support/edit_fixture.h"

#include <algorithm>

namespace {

struct Expect
{
    std::vector<ColumnSpan> left, right;
};

// Brute force over frames [first + c * fpp, ...) of signed values per channel.
Expect brute(const std::vector<int>& values, int channels, long first_frame, long fpp, int width)
{
    Expect e;
    const long frames = static_cast<long>(values.size()) / channels;
    for (int c = 0; c < width; ++c) {
        const long from = first_frame + c * fpp;
        if (from >= frames)
            break;
        const long to = std::min(frames, from + fpp);
        ColumnSpan l{32767, -32767}, r{32767, -32767};
        for (long f = from; f < to; ++f) {
            l.min = std::min(l.min, values[f * channels]);
            l.max = std::max(l.max, values[f * channels]);
            if (channels == 2) {
                r.min = std::min(r.min, values[f * channels + 1]);
                r.max = std::max(r.max, values[f * channels + 1]);
            }
        }
        e.left.push_back(l);
        e.right.push_back(r);
    }
    return e;
}

class ColumnsTest : public EditTest
{
  protected:
    void check(CChildFrame* doc, const std::vector<int>& values, float zoom, long first_visible,
               bool overview)
    {
        const int channels = doc->wave_format.channels;
        doc->current.zoom_factor = zoom;
        doc->first_visible = first_visible;
        WaveColumns cols;
        compute_columns(*doc, 700, 1024, cols);
        EXPECT_EQ(cols.from_overview, overview);
        const long fpp = static_cast<long>(doc->current.base_factor / zoom);
        // The overview starts at whole groups of 256 frames.
        const long first_frame =
            overview ? first_visible / channels / 256 * 256 : first_visible / channels;
        const Expect e = brute(values, channels, first_frame, fpp, 700);
        ASSERT_EQ(cols.count, static_cast<int>(e.left.size()));
        for (int c = 0; c < cols.count; ++c) {
            ASSERT_EQ(cols.left[c].min, e.left[c].min) << "column " << c;
            ASSERT_EQ(cols.left[c].max, e.left[c].max) << "column " << c;
            if (channels == 2) {
                ASSERT_EQ(cols.right[c].min, e.right[c].min) << "column " << c;
                ASSERT_EQ(cols.right[c].max, e.right[c].max) << "column " << c;
            }
        }
    }
};

} // namespace

TEST_F(ColumnsTest, SixteenBitStereoFromBothLevels)
{
    const auto words = noise16(2 * 300001, 11); // an odd last group
    std::vector<int> values(words.begin(), words.end());
    CChildFrame* doc = open_doc(pcm16(words), 2, 16, 44100);
    ASSERT_TRUE(doc);
    ASSERT_FLOAT_EQ(doc->current.base_factor, 512.0f);
    check(doc, values, 1.0f, 0, true);             // 512 frames per pixel
    check(doc, values, 2.0f, 2 * 5000, true);      // 256, scrolled
    check(doc, values, 4.0f, 2 * 7777, false);     // 128: still the top level
    check(doc, values, 512.0f, 2 * 299700, false); // one frame per pixel, near the end
}

TEST_F(ColumnsTest, EightBitMonoKeepsItsOffset)
{
    std::string bytes;
    std::vector<int> values;
    uint32_t seed = 5;
    for (int i = 0; i < 400000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned char b = static_cast<unsigned char>(seed >> 16);
        bytes.push_back(static_cast<char>(b));
        values.push_back(static_cast<int>(b) - 128);
    }
    CChildFrame* doc = open_doc(bytes, 1, 8, 22050);
    ASSERT_TRUE(doc);
    WaveColumns cols;
    compute_columns(*doc, 10, 1024, cols);
    EXPECT_EQ(cols.full_scale, 128);
    check(doc, values, 1.0f, 0, true);
    check(doc, values, doc->current.base_factor, 1234, false);
}
