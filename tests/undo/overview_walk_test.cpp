// The overview built for a new state equals a plain min/max walk of its data.
#include "editor/edit/edit_commands.h"
#include "tests/support/edit_fixture.h"

#include <cstring>
#include <random>

namespace {

class OverviewWalkTest : public EditTest
{
};

// Every group of the 16-bit stereo overview against a plain walk of the samples.
void expect_stereo_overview(const FileSlot& s, const std::vector<int16_t>& w)
{
    const long frames = static_cast<long>(w.size()) / 2;
    const long groups = (frames + 255) / 256;
    ASSERT_EQ(s.level_samples[1], groups * 4);
    for (long g = 0; g < groups; ++g) {
        int lmin = 32767, rmin = 32767, lmax = -32767, rmax = -32767;
        for (long f = g * 256; f < std::min(frames, g * 256 + 256); ++f) {
            lmin = std::min<int>(lmin, w[static_cast<size_t>(2 * f)]);
            lmax = std::max<int>(lmax, w[static_cast<size_t>(2 * f)]);
            rmin = std::min<int>(rmin, w[static_cast<size_t>(2 * f + 1)]);
            rmax = std::max<int>(rmax, w[static_cast<size_t>(2 * f + 1)]);
        }
        const short* o = s.view16[1] + 4 * g;
        ASSERT_EQ(o[0], lmin) << g;
        ASSERT_EQ(o[1], rmin) << g;
        ASSERT_EQ(o[2], lmax) << g;
        ASSERT_EQ(o[3], rmax) << g;
    }
}

std::vector<int16_t> words_of(const std::string& bytes)
{
    std::vector<int16_t> w(bytes.size() / 2);
    std::memcpy(w.data(), bytes.data(), w.size() * 2);
    return w;
}

TEST_F(OverviewWalkTest, SixteenBitStereoMatchesAPlainWalk)
{
    const long frames = 300000 + 77; // ends in a short group, spans many read pieces
    std::vector<int16_t> w = noise16(static_cast<size_t>(frames) * 2, 21);
    for (int i = 0; i < 512; ++i)
        w[static_cast<size_t>(256 * 2 * 10 + i)] = -32768; // a group at the very bottom
    CChildFrame* doc = open_doc(pcm16(w), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    const FileSlot& s = doc->current;
    ASSERT_GE(s.level_count, 2);
    expect_stereo_overview(s, w);
    EXPECT_EQ(s.view16[1][4 * 10 + 2], -32767);
}

// Edits take the unchanged head of the overview from the state before; the group the
// edit begins in, and everything after, must still come from the new data.
TEST_F(OverviewWalkTest, EditsKeepTheHeadAndRewalkTheRest)
{
    const long frames = 200000 + 33;
    std::vector<int16_t> w = noise16(static_cast<size_t>(frames) * 2, 5);
    // A quiet head and a loud group just after the cut point, so a stale group shows.
    for (size_t i = 0; i < 2 * 70000; ++i)
        w[i] = static_cast<int16_t>(w[i] / 64);
    CChildFrame* doc = open_doc(pcm16(w), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ASSERT_GE(doc->current.level_count, 2);

    // The section starts inside a group, not on its edge.
    select(doc, 2 * (256 * 200 + 17), 2 * 90000);
    ASSERT_EQ(edit_cut(*doc), 1);
    expect_stereo_overview(doc->current, words_of(contents(doc)));

    select(doc, 2 * (256 * 100 + 255), 2 * (256 * 100 + 255));
    ASSERT_EQ(edit_paste(*doc), 1);
    expect_stereo_overview(doc->current, words_of(contents(doc)));

    // Undo and redo show each state's own overview.
    ASSERT_EQ(doc->undo_command(), 1);
    expect_stereo_overview(doc->current, words_of(contents(doc)));
    ASSERT_EQ(doc->redo_command(), 1);
    expect_stereo_overview(doc->current, words_of(contents(doc)));
}

TEST_F(OverviewWalkTest, EightBitMonoMatchesAPlainWalk)
{
    std::mt19937 rng(4);
    std::string bytes(100000 + 3, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng() & 0xFF);
    CChildFrame* doc = open_doc(bytes, 1, 8, 8000);
    ASSERT_NE(doc, nullptr);
    const FileSlot& s = doc->current;
    const long groups = (static_cast<long>(bytes.size()) + 255) / 256;
    ASSERT_EQ(s.level_samples[1], groups * 2);
    for (long g = 0; g < groups; ++g) {
        int mn = 32767, mx = -32767;
        for (long i = g * 256; i < std::min<long>(static_cast<long>(bytes.size()), g * 256 + 256);
             ++i) {
            const int v = static_cast<uint8_t>(bytes[static_cast<size_t>(i)]) - 128;
            mn = std::min(mn, v);
            mx = std::max(mx, v);
        }
        ASSERT_EQ(s.view8[1][2 * g] - 128, mn) << g;
        ASSERT_EQ(s.view8[1][2 * g + 1] - 128, mx) << g;
    }
    // Progress went by tens of groups and the window closed.
    EXPECT_EQ(ui.open_progress, 0);
}

} // namespace
