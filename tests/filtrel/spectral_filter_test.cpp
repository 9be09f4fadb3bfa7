// The block-wise spectral filter on documents: what it passes and cuts, where it writes,
// the sweep, the clamping of its output and Cancel.
#include "common/host_services.h"
#include "editor/document/edit_menu.h"
#include "filtrel/fft.h"
#include "tests/filtrel/filter_fixture.h"

#include <algorithm>

namespace {

constexpr double kRate = 44100.0;

} // namespace

TEST_F(FilterTest, LowPassCutsAToneAboveTheCutOffAndPassesOneBelow)
{
    // Left: 6 kHz, right: 440 Hz, both at -10 dB; low pass at 2 kHz over five seconds.
    const long frames = 5 * 44100;
    CChildFrame* doc = open_doc(
        frames16(frames, 2,
                 [](int c, long i) { return c == 0 ? sine(10000, 6000, i) : sine(10000, 440, i); }),
        2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->do_filter_waveform(2000.0f, "LOPASS", "Low-pass filtering waveform ..."), 1);
    EXPECT_EQ(doc->total_samples(), frames * 2);
    EXPECT_EQ(g_undo_menu.text, "&Undo Filter...\tCtrl+Z");

    const std::string out = contents(doc);
    const auto left = channel16(out, 2, 0);
    const auto right = channel16(out, 2, 1);
    const size_t from = 44100, to = 4 * 44100; // the middle of the selection
    EXPECT_LT(db(rms(left, from, to) / (10000 / std::sqrt(2.0))), -40.0);
    EXPECT_NEAR(db(tone_amplitude(right, from, to, 440) / 10000), 0.0, 0.5);
    EXPECT_NEAR(db(rms(right, from, to) / (10000 / std::sqrt(2.0))), 0.0, 0.5);
}

TEST_F(FilterTest, ZeroHertzLowPassSilencesAndZeroHertzHighPassChangesNothing)
{
    const long frames = 3 * 44100 + 1234;
    const std::string tones = frames16(frames, 2, [](int c, long i) {
        return sine(9000, 200 + 300 * c, i) + sine(6000, 1000, i) + sine(4000, 3000 + c, i);
    });
    CChildFrame* doc = open_doc(tones, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->do_filter_waveform(0.0f, "LOPASS", "Low-pass filtering waveform ..."), 1);
    const std::string silent = contents(doc);
    ASSERT_EQ(silent.size(), tones.size());
    int loudest = 0;
    for (size_t i = 0; i < silent.size() / 2; ++i)
        loudest = std::max(loudest, std::abs(word(silent, i)));
    EXPECT_LE(loudest, 4);

    // High pass at 0 Hz over noise: the transforms' rounding at most.
    const std::string noise = pcm16(noise16(frames * 2, 7));
    CChildFrame* other = open_doc(noise, 2, 16, 44100);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->do_filter_waveform(0.0f, "HIPASS", "High-pass filtering waveform ..."), 1);
    const std::string same = contents(other);
    ASSERT_EQ(same.size(), noise.size());
    int worst = 0;
    for (size_t i = 0; i < noise.size() / 2; ++i)
        worst = std::max(worst, std::abs(word(same, i) - word(noise, i)));
    EXPECT_LE(worst, 1);
}

TEST_F(FilterTest, OutputIsClampedSoEightBitNeverHoldsZeroAndSixteenBitNeverMinusFullScale)
{
    // Full-scale square waves: the extremes 0 / -32768 must come out as 1 / -32767.
    const long frames = 20000;
    std::string eight(static_cast<size_t>(frames), '\0');
    for (long i = 0; i < frames; ++i)
        eight[static_cast<size_t>(i)] = static_cast<char>((i / 40) % 2 ? 255 : 0);
    CChildFrame* doc8 = open_doc(eight, 1, 8, 22050);
    ASSERT_NE(doc8, nullptr);
    ASSERT_EQ(doc8->do_filter_waveform(0.0f, "HIPASS", "High-pass filtering waveform ..."), 1);
    const std::string out8 = contents(doc8);
    EXPECT_EQ(std::count(out8.begin(), out8.end(), '\0'), 0);
    EXPECT_GT(std::count(out8.begin(), out8.end(), '\1'), frames / 4);

    std::vector<int16_t> square(static_cast<size_t>(frames * 2));
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 64) % 2 ? 32767 : -32768;
    CChildFrame* doc16 = open_doc(pcm16(square), 2, 16, 44100);
    ASSERT_NE(doc16, nullptr);
    ASSERT_EQ(doc16->do_filter_waveform(0.0f, "HIPASS", "High-pass filtering waveform ..."), 1);
    const std::string out16 = contents(doc16);
    int lowest = 0;
    for (size_t i = 0; i < out16.size() / 2; ++i)
        lowest = std::min(lowest, word(out16, i));
    EXPECT_EQ(lowest, -32767);
}

TEST_F(FilterTest, ASelectionShorterThanABlockIsWrittenUpToItsEndOnly)
{
    const std::string noise = pcm16(noise16(10000, 3));
    CChildFrame* doc = open_doc(noise, 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 1000, 3000);
    ASSERT_EQ(doc->do_filter_waveform(1000.0f, "LOPASS", "Low-pass filtering waveform ..."), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), noise.size());
    EXPECT_EQ(out.substr(0, 2000), noise.substr(0, 2000));
    EXPECT_EQ(out.substr(6000), noise.substr(6000));
    EXPECT_NE(out.substr(2000, 2), noise.substr(2000, 2));
    EXPECT_NE(out.substr(5998, 2), noise.substr(5998, 2));
    EXPECT_EQ(g_spectral.blocks, 1);
}

TEST_F(FilterTest, BandPassSweepMovesTheCentreByDeltaPerBlock)
{
    // Ten seconds of mono noise: 144 blocks of 4096 frames stepping 3072.
    const long frames = 441000;
    const std::vector<int16_t> noise = noise16(static_cast<size_t>(frames), 11);
    std::vector<int16_t> quieter(noise.size());
    std::transform(noise.begin(), noise.end(), quieter.begin(),
                   [](int16_t w) { return static_cast<int16_t>(w / 4); });
    CChildFrame* doc = open_doc(pcm16(quieter), 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    set_filter_type(g_filter, kFilterSweep);
    g_filter.sweep = 1;
    g_filter.sweep_start = 500.0f;
    g_filter.sweep_stop = 5000.0f;
    g_filter.width = 100.0f;
    ASSERT_EQ(doc->do_filter_waveform(0.0f, "BANDPASS", "Filter-sweep waveform ..."), 1);

    const float delta = (5000.0f - 500.0f) / (882000.0f / (4096.0f * 2.0f)) * 0.5f;
    EXPECT_FLOAT_EQ(g_spectral.sweep_delta, delta);
    EXPECT_EQ(g_spectral.blocks, 144);
    EXPECT_NEAR(g_spectral.frequency, 500.0f + 144 * delta, 0.05f);

    // Block k's own output (its middle three quarters) lies in the band s0 + k delta +- 100.
    const auto out = channel16(contents(doc), 1, 0);
    for (int k : {10, 60, 120}) {
        const double centre = 500.0 + k * static_cast<double>(delta);
        const size_t from = static_cast<size_t>(k) * 3072 + 512, to = from + 3072;
        double inside = 0, outside = 0;
        for (double hz = centre - 60; hz <= centre + 60; hz += 15)
            inside += tone_amplitude(out, from, to, hz);
        for (double hz : {centre - 400, centre + 400, centre - 900, centre + 900, 100.0, 9000.0})
            outside = std::max(outside, tone_amplitude(out, from, to, hz));
        EXPECT_GT(inside / 9, 10 * outside) << "block " << k << " centre " << centre;
    }
}

TEST_F(FilterTest, CancelHalfwayLeavesTheDocumentItsUndoAndItsFilesAsTheyWere)
{
    // Thirty seconds of stereo: 431 blocks, so Cancel is polled at blocks 101, 202, 303, 404.
    const long frames = 30 * 44100;
    const std::string tones =
        frames16(frames, 2, [](int c, long i) { return sine(8000, 700 + c * 300, i); });
    CChildFrame* doc = open_doc(tones, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->hash_filter(), 1); // a step to undo, so there is history to keep

    const std::string working = doc->working_file();
    const std::string undo = doc->undo_file();
    const std::string before = contents(doc);
    const auto files = tmp_files();
    const std::string menu = g_undo_menu.text;
    const std::string backup = doc->selection_backup;

    // Cancel at the filter's second poll (block 202), not in the copies around it.
    struct CancelAtPoll : kel::HeadlessUi
    {
        long filter_window = 0;
        int seen = 0;
        long progress_open(const std::string& text) override
        {
            const long h = HeadlessUi::progress_open(text);
            if (text == "Low-pass filtering waveform ...")
                filter_window = h;
            return h;
        }
        bool progress_cancel_pressed(long handle) override
        {
            HeadlessUi::progress_cancel_pressed(handle);
            return handle == filter_window && ++seen == 2;
        }
    } cancelling;
    kel::set_ui(&cancelling);
    const int result =
        doc->do_filter_waveform(3000.0f, "LOPASS", "Low-pass filtering waveform ...");
    kel::set_ui(&ui);
    EXPECT_EQ(result, 0);

    std::vector<int> percents;
    for (const auto& e : cancelling.progress)
        if (e.handle == cancelling.filter_window && e.percent >= 0)
            percents.push_back(e.percent);
    const unsigned long step = 3072 * 4, length = frames * 4UL;
    EXPECT_EQ(percents, (std::vector<int>{0, static_cast<int>(100 * step * 100 / length),
                                          static_cast<int>(201 * step * 100 / length)}));
    EXPECT_EQ(cancelling.open_progress, 0);
    EXPECT_EQ(cancelling.cursor, kel::Cursor::Arrow);

    EXPECT_EQ(doc->working_file(), working);
    EXPECT_EQ(doc->undo_file(), undo);
    EXPECT_EQ(contents(doc), before);
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(doc->redo_available, 0);
    EXPECT_STREQ(doc->selection_backup, backup.c_str());
    EXPECT_EQ(g_undo_menu.text, menu);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(fft_data, nullptr);
    EXPECT_EQ(pSaveBuffer, nullptr);

    // And the undo still goes back to the original samples.
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), tones);
}
