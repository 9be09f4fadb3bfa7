#include "editor/edit/edit_commands.h"
#include "editor/modules/operations.h"
#include "levra/dialogs.h"
#include "tests/support/edit_fixture.h"

#include <cmath>

class LevraTest : public EditTest
{
  protected:
    std::vector<int16_t> words(CChildFrame* doc)
    {
        std::string s = contents(doc);
        std::vector<int16_t> w(s.size() / 2);
        for (size_t i = 0; i < w.size(); ++i)
            w[i] = static_cast<int16_t>(static_cast<uint8_t>(s[2 * i]) |
                                        (static_cast<uint8_t>(s[2 * i + 1]) << 8));
        return w;
    }
    template <typename D, typename F> void script(const char* name, F set)
    {
        ui.on_dialog(name, [set](kel::DialogModel& m) {
            auto& d = dynamic_cast<D&>(m);
            set(d);
            d.ok();
        });
    }
};

TEST_F(LevraTest, AmplifyByDecibelsOrPercentClampsAndUndoes)
{
    std::vector<int16_t> in = {1000, -1000, 20000, -20000, 3, -3};
    CChildFrame* doc = open_doc(pcm16(in), 2, 16, 22050);
    ASSERT_TRUE(doc);
    const std::string original = contents(doc);
    script<AmplifyDialog>("AMPLIFY", [](AmplifyDialog& d) {
        d.in_decibels = true;
        d.decibels = 6.0; // x 1.99526
    });
    ASSERT_EQ(doc->amplify_waveform(nullptr, doc->window, 11501, 1, ""), 1);
    auto out = words(doc);
    EXPECT_EQ(out[0], 1995); // truncated toward zero
    EXPECT_EQ(out[1], -1995);
    EXPECT_EQ(out[2], 32767);
    EXPECT_EQ(out[3], -32767) << "never -32768";
    EXPECT_EQ(out[4], 5);
    EXPECT_EQ(out[5], -5);
    EXPECT_EQ(g_undo_menu.text, "&Undo Amplify...\tCtrl+Z");
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), original);
    ASSERT_EQ(doc->redo_command(), 1);
    script<AmplifyDialog>("AMPLIFY", [](AmplifyDialog& d) {
        d.in_decibels = false;
        d.percent = 50;
    });
    ASSERT_EQ(doc->amplify_waveform(nullptr, doc->window, 11501, 1, ""), 1);
    EXPECT_EQ(words(doc)[0], 997);
    // Cancel in the dialog: nothing happens, and the last values are kept.
    EXPECT_EQ(doc->amplify_waveform(nullptr, doc->window, 11501, 1, ""), 0);
    EXPECT_EQ(words(doc)[0], 997);
}

TEST_F(LevraTest, ClearSilencesOnlyTheSelectionThroughTheEditMenu)
{
    std::string bytes(100, '\x10');
    CChildFrame* doc = open_doc(bytes, 1, 8, 11025);
    ASSERT_TRUE(doc);
    select(doc, 10, 30);
    documents::set_active(doc);
    ASSERT_EQ(run_operation(11301, nullptr, module_calls()), 1);
    std::string got = contents(doc);
    EXPECT_EQ(got.substr(0, 10), std::string(10, '\x10'));
    EXPECT_EQ(got.substr(10, 20), std::string(20, '\x80'));
    EXPECT_EQ(got.substr(30), std::string(70, '\x10'));
    EXPECT_EQ(g_undo_menu.text, "&Undo Clear...\tCtrl+Z");
    documents::set_active(nullptr);
}

TEST_F(LevraTest, FadesRunFromSilenceToFullOrBack)
{
    CChildFrame* doc = open_doc(pcm16(std::vector<int16_t>(1001, 10000)), 1, 16, 22050);
    ASSERT_TRUE(doc);
    script<FadeDialog>("FADE", [](FadeDialog& d) {
        d.fade_in = true;
        d.logarithmic = false;
    });
    ASSERT_EQ(doc->fade_waveform(doc->window, 11507), 1);
    auto w = words(doc);
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(w[500], 5000);
    EXPECT_EQ(w[1000], 10000);
    doc->undo_command();
    script<FadeDialog>("FADE", [](FadeDialog& d) {
        d.fade_in = false;
        d.logarithmic = true;
    });
    ASSERT_EQ(doc->fade_waveform(doc->window, 11507), 1);
    w = words(doc);
    EXPECT_EQ(w[0], 10000);
    EXPECT_EQ(w[1000], 0);
    EXPECT_EQ(w[500], static_cast<int16_t>(10000 * std::pow(10.0, -1.5))); // -30 dB half way
    EXPECT_EQ(g_undo_menu.text, "&Undo Fade...\tCtrl+Z");
}

TEST_F(LevraTest, PanMovesTheBalanceAndNeedsStereo)
{
    std::vector<int16_t> in;
    for (int i = 0; i < 101; ++i)
        in.insert(in.end(), {8000, 8000});
    CChildFrame* doc = open_doc(pcm16(in), 2, 16, 22050);
    ASSERT_TRUE(doc);
    script<PanDialog>("PAN", [](PanDialog& d) {
        d.start_position = -100;
        d.end_position = 100;
    });
    ASSERT_EQ(doc->pan_waveform(doc->window, 11512), 1);
    auto w = words(doc);
    EXPECT_EQ(w[0], 8000);   // hard left: left full
    EXPECT_EQ(w[1], 0);      // ... right silent
    EXPECT_EQ(w[100], 8000); // centre: both full
    EXPECT_EQ(w[101], 8000);
    EXPECT_EQ(w[200], 0); // hard right
    EXPECT_EQ(w[201], 8000);
    CChildFrame* mono = open_doc(pcm16({1, 2, 3, 4}), 1, 16, 22050);
    EXPECT_EQ(mono->pan_waveform(mono->window, 11512), 0);
    EXPECT_EQ(ui.boxes.back().text, "This option works on STEREO waveforms only.");
}

TEST_F(LevraTest, ModulationDipsByItsDepthAtTheRate)
{
    const uint32_t rate = 1000;
    CChildFrame* doc = open_doc(pcm16(std::vector<int16_t>(1000, 10000)), 1, 16, rate);
    ASSERT_TRUE(doc);
    script<ModulateDialog>("MODULATE", [](ModulateDialog& d) {
        d.rate_hz = 2.0;
        d.depth_percent = 50;
    });
    ASSERT_EQ(doc->modulate_waveform(doc->window, 11510), 1);
    auto w = words(doc);
    EXPECT_EQ(w[0], 10000);  // cos 0: no dip
    EXPECT_EQ(w[250], 5000); // half a period of 2 Hz: the full 50 % dip
    EXPECT_EQ(w[500], 10000);
}

TEST_F(LevraTest, ReverseSwapsFramesAcrossBlocksAndCancelLeavesTheDocument)
{
    // 20001 stereo frames: blocks from both ends and a middle frame that stays.
    std::vector<int16_t> in;
    for (int i = 0; i < 20001; ++i)
        in.insert(in.end(), {static_cast<int16_t>(i), static_cast<int16_t>(-i)});
    CChildFrame* doc = open_doc(pcm16(in), 2, 16, 44100);
    ASSERT_TRUE(doc);
    const std::string original = contents(doc);
    const auto files_before = tmp_files();
    ui.cancel_after_polls(1);
    EXPECT_EQ(doc->reverse_waveform(doc->window, 11515), 0);
    EXPECT_EQ(contents(doc), original);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(tmp_files(), files_before);
    ASSERT_EQ(doc->reverse_waveform(doc->window, 11515), 1);
    auto w = words(doc);
    for (int i = 0; i < 20001; i += 997) {
        EXPECT_EQ(w[2 * i], 20000 - i);
        EXPECT_EQ(w[2 * i + 1], -(20000 - i));
    }
    EXPECT_EQ(w[2 * 10000], 10000);
    // A section in the middle only.
    select(doc, 2 * 10, 2 * 14);
    ASSERT_EQ(doc->reverse_waveform(doc->window, 11515), 1);
    w = words(doc);
    EXPECT_EQ(w[2 * 10], 20000 - 13);
    EXPECT_EQ(w[2 * 13], 20000 - 10);
    EXPECT_EQ(w[2 * 14], 20000 - 14);
    EXPECT_EQ(g_undo_menu.text, "&Undo Reverse...\tCtrl+Z");
}
