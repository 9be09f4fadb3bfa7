// Spatial localization on documents: leads measured on ramps, the channel left alone,
// stereo only, selections too short to place, Cancel.
#include "effra/spatial.h"
#include "effra/spatial_dialog.h"
#include "tests/support/edit_fixture.h"

namespace {

using effra::SpatialDialog;

// Left frame i holds i + 1, right -(i + 1): a sample read from frame i + d tells d, and 0
// is the silence read from beyond the end.
std::vector<int16_t> ramps(size_t frames)
{
    std::vector<int16_t> v(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        v[2 * i] = static_cast<int16_t>(i + 1);
        v[2 * i + 1] = static_cast<int16_t>(-static_cast<long>(i + 1));
    }
    return v;
}

class SpatialTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        effra::spatial_settings() = effra::SpatialSettings();
    }

    void place(CChildFrame* doc, std::function<void(SpatialDialog&)> edit)
    {
        ui.on_dialog("SPATIALLOCALIZATION", [edit](kel::DialogModel& m) {
            auto& d = static_cast<SpatialDialog&>(m);
            edit(d);
            d.ok();
        });
        doc->set_spatial_localization(doc->window);
    }

    // How far ahead each frame of the region reads, from the ramp values; -1 for silence.
    static std::vector<long> leads(const std::string& out, size_t first, size_t count, int channel)
    {
        std::vector<long> d(count);
        for (size_t k = 0; k < count; ++k) {
            const int v = word(out, 2 * (first + k) + channel);
            const long frame = (channel == 0 ? v : -v) - 1;
            d[k] = v == 0 ? -1 : frame - static_cast<long>(first + k);
        }
        return d;
    }
};

TEST_F(SpatialTest, FarRightMovesTheRightChannelExactly176FramesAndKeepsTheLeft)
{
    // 4 ms at 44100 samples per second: trunc(176.4) frames.
    const std::string in = pcm16(noise16(2 * 6000, 21));
    CChildFrame* doc = open_doc(in, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 2 * 1000, 2 * 5000);
    place(doc, [](SpatialDialog& d) {
        EXPECT_STREQ(d.caption(), "Spatial Localization");
        EXPECT_EQ(d.checked_type_button(), SpatialDialog::kFarRight);
        EXPECT_EQ(d.delay_ms(), 4);
        EXPECT_EQ(d.delay_position(), 97);
    });
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), in.size());
    for (size_t f = 0; f < 6000; ++f) {
        ASSERT_EQ(word(out, 2 * f), word(in, 2 * f)) << "left, frame " << f;
        const bool inside = f >= 1000 && f < 5000;
        int right = word(in, 2 * f + 1);
        if (inside)
            right = f + 176 < 5000 ? std::max(-32767, word(in, 2 * (f + 176) + 1)) : 0;
        ASSERT_EQ(word(out, 2 * f + 1), right) << "right, frame " << f;
    }
    EXPECT_EQ(g_undo_menu.text, "&Undo Localize sound...\tCtrl+Z");

    // Far left with the left channel inverted: the left leads and changes sign.
    doc->undo_command();
    place(doc, [](SpatialDialog& d) {
        d.type_button(SpatialDialog::kFarLeft);
        d.delay_moved(101 - 10);
        d.toggle_invert_left();
    });
    const std::string flipped = contents(doc);
    for (size_t f = 1000; f < 5000; ++f) {
        const int ahead = f + 441 < 5000 ? word(in, 2 * (f + 441)) : 0;
        ASSERT_EQ(word(flipped, 2 * f), std::clamp(-ahead, -32767, 32767)) << "frame " << f;
        ASSERT_EQ(word(flipped, 2 * f + 1), word(in, 2 * f + 1));
    }

    // In between, half way to the left: trunc(trunc(44100 * 2 / 1000) * 0.5) = 44 frames,
    // and the left channel is the mean of its own sample and the one 44 frames on.
    doc->undo_command();
    place(doc, [](SpatialDialog& d) {
        d.toggle_invert_left();
        d.type_button(SpatialDialog::kInBetween);
        d.fader_moved(100 - 50);
    });
    const std::string between = contents(doc);
    for (size_t f = 1000; f < 5000; ++f) {
        const int ahead = f + 44 < 5000 ? word(in, 2 * (f + 44)) : 0;
        ASSERT_EQ(word(between, 2 * f), std::max(-32767, (ahead >> 1) + (word(in, 2 * f) >> 1)))
            << "frame " << f;
        ASSERT_EQ(word(between, 2 * f + 1), word(in, 2 * f + 1));
    }
}

TEST_F(SpatialTest, PansHaveNoLeadAtTheMiddleFrameAndBackAndForthSwingsOncePerCycle)
{
    // 8000 Hz, 100 ms: N = 800 frames over a selection of 20000.
    const size_t frames = 20000;
    const std::string in = pcm16(ramps(frames));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * static_cast<long>(frames));
    place(doc, [](SpatialDialog& d) {
        d.type_button(SpatialDialog::kPanLeftToRight);
        d.delay_moved(1);
        EXPECT_EQ(d.delay_ms(), 100);
    });
    const std::string out = contents(doc);
    const std::vector<long> left = leads(out, 0, frames, 0), right = leads(out, 0, frames, 1);
    EXPECT_EQ(left[0], 800);
    EXPECT_EQ(right[0], 0);
    EXPECT_EQ(left[frames / 2], 0);
    EXPECT_EQ(right[frames / 2], 0);
    EXPECT_EQ(right[frames - 1], -1); // 799 frames ahead of the last: past the end, silence
    EXPECT_EQ(right[19001], 720);     // trunc((19001 * 2 / 20000 - 1) * 800)
    for (size_t i = 1; i < frames / 2; ++i) {
        ASSERT_LE(left[i], left[i - 1]) << i;
        ASSERT_EQ(right[i], 0) << i;
    }

    // Back and forth at 2.0 Hz: a swing of 4000 frames, the first to the right (the parity
    // starts odd), then one to the left; the next run carries on from there.
    doc->undo_command();
    place(doc, [](SpatialDialog& d) {
        d.type_button(SpatialDialog::kBackAndForth);
        d.set_rate(20);
        d.delay_moved(101 - 50); // N = 400
    });
    const std::string swung = contents(doc);
    const std::vector<long> l2 = leads(swung, 0, 8000, 0), r2 = leads(swung, 0, 8000, 1);
    EXPECT_EQ(r2[0], 0);
    EXPECT_EQ(r2[2000], 400);
    EXPECT_EQ(r2[3999], 0);
    EXPECT_EQ(l2[2000], 0);
    EXPECT_EQ(l2[6000], 400);
    EXPECT_EQ(r2[6000], 0);
    EXPECT_EQ(effra::spatial_settings().parity, 1 + 5);
}

TEST_F(SpatialTest, MonoIsRefusedAndOneFrameIsNothingToDo)
{
    CChildFrame* mono = open_doc(pcm16(noise16(4000, 2)), 1, 16, 8000);
    ASSERT_NE(mono, nullptr);
    select(mono, 0, 4000);
    mono->set_spatial_localization(mono->window);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "This option works on STEREO waveforms only.");
    EXPECT_EQ(ui.dialogs_run.size(), 0u);
    EXPECT_EQ(mono->undo_available, 0);

    const std::string in = pcm16(noise16(2 * 4000, 3));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    for (long words : {0L, 2L}) {
        select(doc, 2 * 100, 2 * 100 + words);
        for (int button : SpatialDialog::kTypeButtons) {
            place(doc, [button](SpatialDialog& d) { d.type_button(button); });
            EXPECT_TRUE(contents(doc) == in);
            EXPECT_EQ(doc->undo_available, 0);
        }
    }
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(SpatialTest, CancelHalfwayLeavesTheDocumentUnchanged)
{
    const std::string in = pcm16(noise16(2 * 20000, 4));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 20000);
    const auto files = tmp_files();
    ui.cancel_after_polls(5);
    place(doc, [](SpatialDialog& d) { d.type_button(SpatialDialog::kPanRightToLeft); });
    EXPECT_TRUE(contents(doc) == in);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(ui.open_progress, 0);
    EXPECT_EQ(ui.cursor, kel::Cursor::Arrow);
}

} // namespace
