// Pitch and tempo: each engine measured on tones, the lengths and the untouched rest of
// the file, Shift, tiny sections, and the same result in every sample format.
#include "filtrel/pitch_dialogs.h"
#include "filtrel/pitch_settings.h"
#include "tests/filtrel/filter_fixture.h"
#include "tests/filtrel/tone_peak.h"

class PitchTest : public FilterTest
{
  protected:
    void SetUp() override
    {
        FilterTest::SetUp();
        g_pitch = PitchSettings();
    }

    // "Change Pitch", the method, then the key.
    void change_pitch(CChildFrame* doc, int method, int key)
    {
        ui.on_dialog("HOWTOCHANGEPITCH", [method](kel::DialogModel& m) {
            auto& d = static_cast<HowToChangePitchDialog&>(m);
            EXPECT_EQ(d.choice, passage_dialog::kFastMethod);
            d.choose(method);
            d.ok();
        });
        ui.on_dialog("NEWCHANGEPITCH", [key](kel::DialogModel& m) {
            auto& d = static_cast<KeyboardDialog&>(m);
            d.choose(key);
            d.ok();
        });
        EXPECT_EQ(doc->how_to_change_pitch(doc->window), 1);
    }

    // Tempo or pitch slider dialog at a value, with a characteristic.
    void slider(const char* name, int value, int characteristic = passage_dialog::kConstant)
    {
        ui.on_dialog(name, [value, characteristic](kel::DialogModel& m) {
            auto& d = static_cast<PassageSliderDialog&>(m);
            d.move_slider(100 - value);
            d.choose_characteristic(characteristic);
            d.ok();
        });
    }

    static std::string tone(long frames, double hz, int channels = 1)
    {
        return frames16(frames, channels, [hz](int, long i) { return sine(8000, hz, i); });
    }
};

TEST_F(PitchTest, TwelveSemitonesUpPutA440ToneAt880WithEachEngine)
{
    const long frames = 3 * 44100;
    // The splicing engine, as the fast method runs it, at the factor of an octave.
    CChildFrame* splice = open_doc(tone(frames, 440), 1, 16, 44100);
    ASSERT_NE(splice, nullptr);
    splice->owner_window = splice->window;
    begin_passage(*splice);
    unsigned long out = 0;
    ASSERT_EQ(splice->modify_passage_time(16384, 2.0f, &out, kPitchCommand, 0, 1, 1), 1);
    auto s = channel16(contents(splice), 1, 0);
    EXPECT_EQ(static_cast<long>(s.size()), frames);
    EXPECT_NEAR(peak_frequency(s, 20000, 44100) / 880.0, 1.0, 0.01);
    EXPECT_EQ(g_undo_menu.text, "&Undo Pitch...\tCtrl+Z");

    // The FFT engine ("&Slow method", the key of 12 sharps): the length stays.
    CChildFrame* fft = open_doc(tone(frames, 440), 1, 16, 44100);
    ASSERT_NE(fft, nullptr);
    change_pitch(fft, passage_dialog::kSlowMethod, 616);
    auto f = channel16(contents(fft), 1, 0);
    EXPECT_EQ(static_cast<long>(f.size()), frames);
    EXPECT_NEAR(peak_frequency(f, 20000, 44100) / 880.0, 1.0, 0.01);
    // 110 Hz goes to 220 Hz, and 12 flats take 440 Hz to 220 Hz, as near as the engine's
    // 4096-point bins (10.8 Hz apart) allow.
    const double half_bin = 44100.0 / 4096 / 2;
    CChildFrame* low = open_doc(tone(frames, 110), 1, 16, 44100);
    change_pitch(low, passage_dialog::kSlowMethod, 616);
    EXPECT_NEAR(peak_frequency(channel16(contents(low), 1, 0), 20000, 44100), 220.0, half_bin);
    CChildFrame* down = open_doc(tone(frames, 440), 1, 16, 44100);
    change_pitch(down, passage_dialog::kSlowMethod, 602);
    EXPECT_NEAR(peak_frequency(channel16(contents(down), 1, 0), 20000, 44100), 220.0, half_bin);

    // Frame picking ("Change &tempo", 12 sharps): half as long and an octave up.
    CChildFrame* pick = open_doc(tone(frames, 440), 1, 16, 44100);
    change_pitch(pick, passage_dialog::kChangeTempo, 616);
    auto p = channel16(contents(pick), 1, 0);
    EXPECT_EQ(static_cast<long>(p.size()), (frames + 1) / 2);
    EXPECT_EQ(pick->total_samples(), (frames + 1) / 2);
    EXPECT_NEAR(peak_frequency(p, 10000, 44100) / 880.0, 1.0, 0.01);
    EXPECT_EQ(g_undo_menu.text, "&Undo Pitch...\tCtrl+Z");
}

TEST_F(PitchTest, ChangeTempoByTwelveFlatsDoublesTheLengthAndHalvesThePitch)
{
    const long frames = 44100;
    // A stereo file and a mono 8-bit one of the same tone give the same result.
    CChildFrame* doc = open_doc(tone(frames, 600, 2), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    change_pitch(doc, passage_dialog::kChangeTempo, 602);
    const std::string out = contents(doc);
    EXPECT_EQ(static_cast<long>(out.size()), 2 * frames * 4);
    EXPECT_EQ(doc->select_end(), 4 * frames);
    const auto left = channel16(out, 2, 0);
    EXPECT_NEAR(peak_frequency(left, 10000, 44100) / 300.0, 1.0, 0.01);
    EXPECT_EQ(left, channel16(out, 2, 1));
    const auto original = channel16(tone(frames, 600), 1, 0);
    for (long i = 0; i < 2 * frames; ++i)
        ASSERT_EQ(left[static_cast<size_t>(i)], original[static_cast<size_t>(i / 2)]) << i;
    // Undo brings back the first length.
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), tone(frames, 600, 2));
    EXPECT_EQ(doc->total_samples(), 2 * frames);
}

TEST_F(PitchTest, StretchMakesTheSectionLongerAndKeepsTheRestOfTheFile)
{
    // Five seconds of stereo noise; seconds 1 to 4 stretched by 1.15 (tempo +100).
    const long frames = 5 * 44100;
    const std::string bytes = pcm16(noise16(static_cast<size_t>(frames * 2), 9));
    CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 2 * 44100, 2 * 4 * 44100);
    slider("NEWTEMPO", 100);
    ASSERT_EQ(doc->stretch_selected_passage(doc->window, kTempoCommand, 0), 1);
    const std::string out = contents(doc);
    const long section = 3 * 44100;
    const long grown = static_cast<long>(out.size()) / 4 - frames;
    EXPECT_NEAR(static_cast<double>(grown), 0.15 * section, 16384.0);
    EXPECT_NEAR(static_cast<double>(grown), 0.15 * section, 2.0) << "the last segment evens out";
    EXPECT_EQ(out.substr(0, 44100 * 4), bytes.substr(0, 44100 * 4));
    EXPECT_EQ(out.substr(out.size() - 44100 * 4), bytes.substr(bytes.size() - 44100 * 4));
    EXPECT_EQ(doc->select_start(), 2 * 44100);
    EXPECT_EQ(doc->select_end(), 2 * 44100 + 2 * (section + grown));
    EXPECT_EQ(g_undo_menu.text, "&Undo Tempo...\tCtrl+Z");
    // Factor 1 (slider at 0) does nothing.
    slider("NEWTEMPO", 0);
    EXPECT_EQ(doc->stretch_selected_passage(doc->window, kTempoCommand, 0), 0);
    EXPECT_EQ(contents(doc), out);

    // Mono 8-bit with a section that starts and ends off any four-byte boundary: the head
    // and the tail come back byte for byte, nothing from outside the section is used.
    std::string eight(30001, '\0');
    for (size_t i = 0; i < eight.size(); ++i)
        eight[i] = static_cast<char>(128 + 90 * std::sin(i * 0.05));
    CChildFrame* mono = open_doc(eight, 1, 8, 11025);
    ASSERT_NE(mono, nullptr);
    select(mono, 4003, 25001);
    slider("NEWTEMPO", -100, passage_dialog::kVariable); // accelerando, compressing
    ASSERT_EQ(mono->stretch_selected_passage(mono->window, kTempoCommand, 0), 1);
    const std::string m = contents(mono);
    EXPECT_EQ(m.substr(0, 4003), eight.substr(0, 4003));
    EXPECT_EQ(m.substr(m.size() - 5000), eight.substr(eight.size() - 5000));
    const long section8 = 25001 - 4003;
    EXPECT_EQ(static_cast<long>(m.size()), 30001 - section8 + (mono->select_end() - 4003));
    // Six segments from 0.85 toward 1 (the last at 0.975): 0.9125 of the length on average.
    EXPECT_NEAR(static_cast<double>(mono->select_end() - 4003) / section8, 0.9125, 0.002);
}

TEST_F(PitchTest, ShiftMovesTheSectionAndKeepsTheLength)
{
    const long frames = 4 * 22050;
    const std::string bytes = pcm16(noise16(static_cast<size_t>(frames), 4));
    CChildFrame* doc = open_doc(bytes, 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 0, 0);
    EXPECT_EQ(doc->shift_waveform(doc->window), 0);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "First highlight the section to be shifted");

    // 0.4 quarter second earlier: h = 2205 frames, neighbourhoods of 8820.
    select(doc, 40000, 50000);
    slider("QUANTIZE", 40);
    ASSERT_EQ(doc->shift_waveform(doc->window), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), bytes.size());
    const long h = 2205, g = 4 * h;
    EXPECT_EQ(out.substr(0, 2 * (40000 - g)), bytes.substr(0, 2 * (40000 - g)));
    EXPECT_EQ(out.substr(2 * (40000 - h), 2 * 10000), bytes.substr(2 * 40000, 2 * 10000));
    EXPECT_EQ(out.substr(2 * (50000 + g)), bytes.substr(2 * (50000 + g)));
    EXPECT_EQ(doc->select_start(), 40000 - h);
    EXPECT_EQ(doc->select_end(), 50000 - h);
    EXPECT_EQ(g_undo_menu.text, "&Undo Quantize...\tCtrl+Z");

    // Later, by the same amount, brings it back to its place.
    slider("QUANTIZE", -40);
    ASSERT_EQ(doc->shift_waveform(doc->window), 1);
    EXPECT_EQ(contents(doc).substr(2 * 40000, 2 * 10000), bytes.substr(2 * 40000, 2 * 10000));

    // Too near the start for its neighbourhood.
    select(doc, 1000, 5000);
    slider("QUANTIZE", 40);
    EXPECT_EQ(doc->shift_waveform(doc->window), 0);
    EXPECT_EQ(ui.boxes.back().text, "Too close to edge to quantize selection");
}

TEST_F(PitchTest, TinySectionsGiveSmallResultsAndLeaveTheRest)
{
    const std::string bytes = pcm16(noise16(2 * 2000, 5));
    for (long section : {1L, 2L, 3L}) {
        SCOPED_TRACE(section);
        for (int engine = 0; engine < 3; ++engine) {
            CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
            ASSERT_NE(doc, nullptr);
            select(doc, 2 * 1000, 2 * (1000 + section));
            if (engine == 0) {
                slider("NEWTEMPO", 100);
                doc->stretch_selected_passage(doc->window, kTempoCommand, 0);
            } else {
                change_pitch(
                    doc, engine == 1 ? passage_dialog::kSlowMethod : passage_dialog::kChangeTempo,
                    602);
            }
            const std::string out = contents(doc);
            EXPECT_EQ(out.substr(0, 4000), bytes.substr(0, 4000));
            const long tail = 4 * (2000 - 1000 - section);
            EXPECT_EQ(out.substr(out.size() - tail), bytes.substr(bytes.size() - tail));
            EXPECT_LE(out.size(), bytes.size() + 4 * 2 * section);
            EXPECT_EQ(out.size() % 4, 0u);
        }
    }
}

TEST_F(PitchTest, TheSplicingEngineGivesTheSameSoundInEveryFormat)
{
    // The same tone as mono 16-bit, stereo 16-bit and mono 8-bit, stretched and pitched:
    // every format's frames are cut at the same places.
    const long frames = 30000;
    auto make = [](int, long i) { return sine(60, 700, i, 22050) + sine(30, 130, i, 22050); };
    const std::string mono16 = frames16(frames, 1, [&](int c, long i) { return 256 * make(c, i); });
    const std::string stereo16 =
        frames16(frames, 2, [&](int c, long i) { return 256 * make(c, i); });
    std::string mono8;
    for (long i = 0; i < frames; ++i)
        mono8.push_back(static_cast<char>(128 + std::lround(make(0, i))));
    for (int command : {kTempoCommand, kPitchCommand}) {
        SCOPED_TRACE(command);
        std::vector<std::vector<double>> outs;
        for (int format = 0; format < 3; ++format) {
            CChildFrame* doc = format == 0   ? open_doc(mono16, 1, 16, 22050)
                               : format == 1 ? open_doc(stereo16, 2, 16, 22050)
                                             : open_doc(mono8, 1, 8, 22050);
            ASSERT_NE(doc, nullptr);
            doc->owner_window = doc->window;
            begin_passage(*doc);
            unsigned long written = 0;
            ASSERT_EQ(doc->modify_passage_time(8192, 1.3f, &written, command, 0, 1, 1), 1);
            const std::string out = contents(doc);
            std::vector<double> x;
            if (format == 2) {
                for (char c : out)
                    x.push_back(256.0 * (static_cast<uint8_t>(c) - 128));
            } else {
                x = channel16(out, format == 1 ? 2 : 1, 0);
            }
            if (format == 1) {
                EXPECT_EQ(x, channel16(out, 2, 1));
            }
            outs.push_back(x);
        }
        ASSERT_EQ(outs[0].size(), outs[1].size());
        ASSERT_EQ(outs[0].size(), outs[2].size());
        EXPECT_EQ(outs[0], outs[1]);
        double worst = 0;
        for (size_t i = 0; i < outs[0].size(); ++i)
            worst = std::max(worst, std::fabs(outs[0][i] - outs[2][i]));
        EXPECT_LE(worst, 384.0) << "within the 8-bit rounding of input and output";
    }
}
