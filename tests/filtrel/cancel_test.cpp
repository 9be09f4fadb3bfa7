// Cancel halfway through each of this module's long operations: the working file, the
// undo state and the data folder are as they were.
#include "filtrel/equalizer_settings.h"
#include "filtrel/flange.h"
#include "filtrel/pitch_dialogs.h"
#include "filtrel/pitch_settings.h"
#include "tests/filtrel/filter_fixture.h"

#include <functional>

TEST_F(FilterTest, CancelHalfwayLeavesTheDocumentAndItsUndoStateAsTheyWere)
{
    const long frames = 10 * 44100;
    const std::string bytes = pcm16(noise16(static_cast<size_t>(2 * frames), 6));
    g_equalizer = EqualizerSettings();
    g_flange = FlangeSettings();
    g_pitch = PitchSettings();
    g_pitch.tempo_value = 100;
    g_pitch.quantize_value = -50;
    auto answer_slider = [this](const char* name) {
        ui.on_dialog(name, [](kel::DialogModel& m) { static_cast<PassageSliderDialog&>(m).ok(); });
    };
    const std::vector<std::pair<const char*, std::function<int(CChildFrame*)>>> operations = {
        {"equalize", [](CChildFrame* d) { return d->do_equalize_waveform(d->window); }},
        {"flange",
         [](CChildFrame* d) {
             return d->digital_filter_waveform(0, 0, 0, "FLANGE", "Flanging waveform ...", 3);
         }},
        {"FFT pitch",
         [](CChildFrame* d) { return d->change_pitch_with_FFT("FFT Change Pitch", 0.5f); }},
        {"tempo",
         [&](CChildFrame* d) {
             answer_slider("NEWTEMPO");
             return d->stretch_selected_passage(d->window, kTempoCommand, 0);
         }},
        {"shift",
         [&](CChildFrame* d) {
             answer_slider("QUANTIZE");
             return d->shift_waveform(d->window);
         }},
    };
    for (const auto& [name, run] : operations) {
        SCOPED_TRACE(name);
        // Count the polls of a whole run, then cancel at half of them.
        CChildFrame* whole = open_doc(bytes, 2, 16, 44100);
        ASSERT_NE(whole, nullptr);
        select(whole, 2 * 44100, 2 * 9 * 44100);
        whole->owner_window = whole->window;
        const long polls = ui.polls;
        ASSERT_EQ(run(whole), 1);
        const long used = ui.polls - polls;
        ASSERT_GE(used, 4);

        CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
        ASSERT_NE(doc, nullptr);
        doc->owner_window = doc->window;
        // One step already made, so there is an undo state to keep.
        ASSERT_EQ(doc->hash_filter(), 1);
        select(doc, 2 * 44100, 2 * 9 * 44100);
        const std::string before = contents(doc);
        const std::string working = doc->working_file();
        const std::string undo = doc->undo_file();
        const auto files = tmp_files();
        const std::string menu = g_undo_menu.text;
        ui.cancel_after_polls(static_cast<int>(used / 2));
        EXPECT_EQ(run(doc), 0);
        ui.cancel_after_polls(0);
        EXPECT_EQ(doc->working_file(), working);
        EXPECT_EQ(doc->undo_file(), undo);
        EXPECT_EQ(contents(doc), before);
        EXPECT_EQ(doc->total_samples(), 2 * frames);
        EXPECT_EQ(doc->select_end(), 2 * 9 * 44100);
        EXPECT_EQ(doc->undo_available, 1);
        EXPECT_EQ(tmp_files(), files) << "no file left behind";
        EXPECT_EQ(g_undo_menu.text, menu);
        EXPECT_EQ(ui.open_progress, 0);
        close_doc(whole);
        close_doc(doc);
    }
}
