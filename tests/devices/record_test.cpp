// The record dialog on the virtual input under a pinned clock: what reaches the record
// file against the source byte for byte, threshold start, auto-stop, punch-in, the
// hand-over to the document and back through undo, and the failures.
#include "editor/devices/playback.h"
#include "editor/devices/record.h"
#include "editor/files/new_file.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_device.h"
#include "tests/support/edit_fixture.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

namespace wd = kel::wave_device;
namespace ev = kel::events;

class RecordTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        ev::reset();
        wd::set_backend(wd::Backend::Virtual);
        wd::set_virtual_sink(path("sink.raw"));
        record_settings() = RecordSettings{};
    }
    void TearDown() override
    {
        dialog.reset();
        wd::set_virtual_source("");
        wd::set_virtual_sink("");
        wd::unset_backend();
        ev::reset();
        record_settings() = RecordSettings{};
        EditTest::TearDown();
    }
    // Raw bytes the virtual input plays back.
    void source(const std::string& bytes)
    {
        write_file(path("source.raw"), bytes);
        wd::set_virtual_source(path("source.raw"));
    }
    void open_dialog(CChildFrame* doc)
    {
        dialog = std::make_unique<NewRecordDialog>(doc);
        dialog->on_open();
    }
    // The clock moves in steps of 50 ms; devices and timers have their say after each.
    void run_for(uint32_t ms)
    {
        for (uint32_t t = 0; t < ms; t += 50) {
            kel::clock::advance(50);
            wd::settle();
            ev::pump();
        }
    }
    // Record about `ms`, then Stop and let the half second of stopping pass.
    void take(uint32_t ms)
    {
        dialog->click(NewRecordDialog::kRecord);
        ASSERT_TRUE(dialog->recording());
        ev::pump(); // the device opens and starts now
        run_for(ms);
        dialog->click(NewRecordDialog::kStop);
        run_for(600);
        ASSERT_FALSE(dialog->recording());
    }
    std::string record_file() const { return read_file(dialog->record_file()); }

    std::unique_ptr<NewRecordDialog> dialog;
};

namespace {
std::string noise(size_t bytes, uint32_t seed)
{
    std::string s(bytes, '\0');
    uint32_t x = seed;
    for (char& c : s) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return s;
}
} // namespace

TEST_F(RecordTest, TheTakeIsTheSourceByteForByteAndOkIsOneUndoableStep)
{
    struct Case
    {
        int channels, bits;
        uint32_t rate;
        unsigned long buffer;
    };
    for (const Case& c : {Case{1, 8, 11025, 4096}, Case{2, 16, 44100, 32768}}) {
        SCOPED_TRACE(c.rate);
        const uint32_t per_second = c.rate * c.channels * c.bits / 8;
        const std::string before = noise(per_second / 2 / 4 * 4, 3);
        CChildFrame* doc = open_doc(before, c.channels, c.bits, c.rate);
        ASSERT_TRUE(doc);
        const std::string old_working = doc->working_file();
        const std::string input = noise(per_second * 4, c.rate);
        source(input);
        open_dialog(doc);
        // Opening prepares an empty record file and leaves the document alone.
        EXPECT_EQ(doc->current.total_samples, static_cast<long>(before.size()) * 8 / c.bits);
        EXPECT_EQ(record_file(), "");
        take(2000);
        EXPECT_EQ(dialog->buffer_size(), c.buffer);
        const std::string got = record_file();
        // Two seconds and what the device held at Stop (its 10 ms steps), in whole frames.
        EXPECT_GE(got.size(), per_second * 2 - per_second / 100);
        EXPECT_LE(got.size(), per_second * 2 + c.buffer);
        EXPECT_EQ(got.size() % (c.channels * c.bits / 8), 0u);
        EXPECT_TRUE(got == input.substr(0, got.size()));
        EXPECT_EQ(dialog->recorded_bytes(), got.size());
        EXPECT_EQ(contents(doc), before);

        const std::string take_file = dialog->record_file();
        dialog->click(kel::kIdOk);
        EXPECT_EQ(dialog->end_code(), 1);
        EXPECT_EQ(doc->working_file(), take_file);
        EXPECT_TRUE(contents(doc) == got);
        EXPECT_EQ(doc->current.total_samples, static_cast<long>(got.size()) * 8 / c.bits);
        EXPECT_EQ(doc->is_modified, 1);
        EXPECT_STREQ(doc->undo_text, "&Undo Record...\tCtrl+Z");
        ASSERT_EQ(doc->undo_command(), 1);
        EXPECT_EQ(doc->working_file(), old_working);
        EXPECT_EQ(contents(doc), before);
        ASSERT_EQ(doc->redo_command(), 1);
        EXPECT_TRUE(contents(doc) == got);
        dialog.reset();
        close_doc(doc);
    }
}

TEST_F(RecordTest, ThresholdWaitsForAQuarterOfFullScaleThenKeepsThatWholeBuffer)
{
    // 8-bit: a buffer whose peak is 160 (32 above silence) is exactly a quarter, not above.
    std::string input;
    for (int b = 0; b < 3; ++b)
        input += std::string(4096, static_cast<char>(b % 2 ? 96 : 160));
    std::string loud(4096, '\x80');
    loud[1000] = static_cast<char>(161);
    input += loud + noise(4096 * 6, 9);
    source(input);
    CChildFrame* doc = open_doc(std::string(100, '\x80'), 1, 8, 11025);
    open_dialog(doc);
    ui.on_dialog("SAMPLE", [](kel::DialogModel& m) {
        auto& sample = static_cast<SampleDialog&>(m);
        sample.set_slider(SampleDialog::kThresholdSlider, 75); // 25 %
        EXPECT_EQ(sample.continuous, 1);
        sample.click(kel::kIdOk);
    });
    dialog->click(NewRecordDialog::kSample);
    ASSERT_TRUE(dialog->recording());
    run_for(1200); // three quiet buffers and a bit
    EXPECT_FALSE(dialog->started());
    EXPECT_EQ(record_file(), "");
    EXPECT_EQ(dialog->status_text(), "Sample = 0.250000  Threshold = 0.250000");
    EXPECT_TRUE(dialog->status_blue());
    run_for(1500);
    dialog->click(NewRecordDialog::kStop);
    run_for(600);
    const std::string got = record_file();
    ASSERT_GE(got.size(), 4096u);
    EXPECT_TRUE(got == input.substr(3 * 4096, got.size()));
}

TEST_F(RecordTest, AutoStopEndsAfterTheFirstBufferReachingItsTimeAndTheMetronomeClicks)
{
    // 44100 Hz stereo 16-bit: 10 s are 1764000 bytes, reached within the 54th buffer.
    const std::string input = noise(44100 * 4 * 12, 5);
    source(input);
    CChildFrame* doc = open_doc(std::string(400, '\0'), 2, 16, 44100);
    open_dialog(doc);
    ui.on_dialog("AUTOSTOP", [](kel::DialogModel& m) {
        auto& d = static_cast<AutoStopDialog&>(m);
        EXPECT_EQ(d.seconds, 10);
        d.click(kel::kIdOk);
    });
    dialog->click(NewRecordDialog::kAutoStop);
    ASSERT_EQ(record_settings().auto_stop, 1);
    dialog->click(NewRecordDialog::kMetronome);
    dialog->set_bpm(120);
    dialog->click(NewRecordDialog::kRecord);
    run_for(14000);
    ASSERT_FALSE(dialog->recording());
    const std::string got = record_file();
    EXPECT_EQ(got.size(), 54u * 32768u);
    EXPECT_TRUE(got == input.substr(0, got.size()));
    // One click per half second, each the whole click on the output device.
    const std::string sink = read_file(path("sink.raw"));
    const std::string& click = metronome_click();
    EXPECT_GE(dialog->metronome_clicks(), 19);
    EXPECT_LE(dialog->metronome_clicks(), 21);
    const size_t clicks = static_cast<size_t>(dialog->metronome_clicks());
    EXPECT_GE(sink.size(), click.size() * (clicks - 1)); // the last may be cut by the stop
    EXPECT_LE(sink.size(), click.size() * clicks);
    EXPECT_TRUE(sink.substr(0, click.size()) == click);
}

TEST_F(RecordTest, InsertKeepsWhatFollowsThePunchInAndOverwriteReplacesExactlyTheTake)
{
    const std::string old = noise(20000, 1);
    CChildFrame* doc = open_doc(old, 1, 8, 11025);
    const std::string input = noise(11025 * 8, 2);
    source(input);
    open_dialog(doc);
    const auto menu = dialog->record_to_menu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].text, "Record To...");
    EXPECT_TRUE(menu[1].checked);
    dialog->choose_record_to(menu[1].id);
    ASSERT_EQ(record_file(), old);
    EXPECT_EQ(dialog->punch_in(), old.size());

    dialog->scroll_to(2); // the second block: 4096 bytes in
    ASSERT_EQ(dialog->punch_in(), 4096u);
    dialog->click(NewRecordDialog::kInsert);
    take(700);
    const std::string first = input.substr(0, dialog->recorded_bytes());
    ASSERT_GT(first.size(), 0u);
    EXPECT_TRUE(record_file() == old.substr(0, 4096) + first + old.substr(4096));
    EXPECT_EQ(dialog->punch_in(), 4096u + first.size());
    EXPECT_EQ(working_file_count(), 2); // the document's and the record file: no tail left

    const std::string after_insert = record_file();
    dialog->scroll_to(1);
    dialog->click(NewRecordDialog::kOverwrite);
    take(300);
    const size_t n = dialog->recorded_bytes();
    const std::string second = input.substr(0, n); // each take opens the input afresh
    EXPECT_TRUE(record_file() == second + after_insert.substr(n));

    // Play inside the dialog sends the record file from the position to the output.
    dialog->scroll_to(2);
    dialog->click(NewRecordDialog::kPlay);
    ASSERT_TRUE(dialog->playing());
    run_for(3000);
    EXPECT_FALSE(dialog->playing());
    EXPECT_TRUE(read_file(path("sink.raw")) == record_file().substr(4096));

    dialog->click(kel::kIdOk);
    EXPECT_TRUE(contents(doc) == second + after_insert.substr(n));
}

TEST_F(RecordTest, ExitLeavesTheDocumentAndItsFilesAndANewDialogNeverDeletesTheLastTake)
{
    const std::string old = noise(8000, 4);
    CChildFrame* doc = open_doc(old, 1, 8, 11025);
    source(noise(11025 * 4, 6));
    const auto files_before = folder_files(run_directory());
    open_dialog(doc);
    // Test shows the levels and writes nothing; its buffers are whole frames.
    struct Meters : RecordView
    {
        int calls = 0, peak = 0;
        void levels(int l, int r) override
        {
            ++calls;
            peak = std::max({peak, l, r});
        }
    } meters;
    dialog->set_view(&meters);
    dialog->click(NewRecordDialog::kTest);
    ASSERT_TRUE(dialog->testing());
    run_for(500);
    EXPECT_EQ(dialog->buffer_size(), 612u);
    dialog->click(NewRecordDialog::kStop);
    run_for(600);
    EXPECT_FALSE(dialog->testing());
    EXPECT_GE(meters.calls, 8);
    EXPECT_GE(meters.peak, 120);
    EXPECT_EQ(record_file(), "");
    dialog->set_view(nullptr);
    WaveFormat f;
    f.channels = 2;
    f.bits_per_sample = 16;
    f.sample_rate = 11025;
    f.block_align = 4;
    EXPECT_EQ(test_buffer_size(f, false), 2448u); // not 2450
    EXPECT_EQ(test_buffer_size(f, true), 2940u);
    take(500);
    dialog->click(kel::kIdCancel);
    EXPECT_EQ(dialog->end_code(), 0);
    dialog.reset();
    EXPECT_EQ(folder_files(run_directory()), files_before);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(doc->is_modified, 0);

    // A take handed over, then a dialog opened and left: the take stays the document's.
    open_dialog(doc);
    take(500);
    dialog->click(kel::kIdOk);
    const std::string taken = contents(doc);
    ASSERT_FALSE(taken.empty());
    dialog.reset();
    open_dialog(doc);
    dialog->click(kel::kIdCancel);
    dialog.reset();
    EXPECT_TRUE(contents(doc) == taken);
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), old);
}

TEST_F(RecordTest, AFullDiskStopsTheTakeAndKeepsWhatWasWritten)
{
    CChildFrame* doc = open_doc(std::string(1000, '\x80'), 1, 8, 11025);
    const std::string input = noise(11025 * 10, 8);
    source(input);
    open_dialog(doc);
    // A file-size limit stands in for the full disk.
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{30001, old_limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    dialog->click(NewRecordDialog::kRecord);
    run_for(6000);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(dialog->recording());
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text.rfind("Cannot write output WAVE file.\n", 0), 0u)
        << ui.boxes.back().text;
    const std::string got = record_file();
    EXPECT_EQ(got.size(), 30001u);
    EXPECT_TRUE(got == input.substr(0, got.size()));
    EXPECT_EQ(contents(doc), std::string(1000, '\x80'));
    dialog->click(kel::kIdOk);
    EXPECT_TRUE(contents(doc) == got);
}

TEST_F(RecordTest, WithAlsaTheNullPcmRecordsSilenceAndNoCardFailsCleanly)
{
    // A format no device takes: the message names it.
    {
        CChildFrame* odd = open_doc(std::string(400, '\x80'), 1, 8, 250000);
        ASSERT_TRUE(odd);
        open_dialog(odd);
        dialog->click(NewRecordDialog::kRecord);
        EXPECT_FALSE(dialog->recording());
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text,
                  "Error opening wave device.\nThe input device cannot record 250000 Hz, 8-bit, "
                  "mono.");
        dialog.reset();
        close_doc(odd);
        ui.boxes.clear();
    }
    CChildFrame* doc = open_doc(std::string(2000, '\0'), 2, 16, 22050);
    const std::string before = contents(doc);
    wd::set_backend(wd::Backend::Alsa);
    unsetenv("KELVARA_ALSA_PCM");
    if (access("/dev/snd", F_OK) != 0) {
        open_dialog(doc);
        dialog->click(NewRecordDialog::kRecord);
        EXPECT_FALSE(dialog->recording());
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].caption, "Double Buffer");
        EXPECT_EQ(ui.boxes[0].text.rfind("Error opening wave device.", 0), 0u);
        dialog->click(kel::kIdCancel);
        dialog.reset();
        EXPECT_EQ(contents(doc), before);
        EXPECT_EQ(working_file_count(), 1);
    }
    // The null PCM delivers as fast as it is read; auto-stop at 1 s gives the length:
    // 88200 bytes a second end within the third 32768-byte buffer.
    setenv("KELVARA_ALSA_PCM", "null", 1);
    record_settings().auto_stop = 1;
    record_settings().auto_stop_seconds = 1;
    kel::clock::unfix();
    open_dialog(doc);
    dialog->click(NewRecordDialog::kRecord);
    ASSERT_TRUE(dialog->recording());
    for (int i = 0; i < 300 && dialog->recording(); ++i) {
        usleep(10000);
        ev::pump();
    }
    kel::clock::fix(1000);
    unsetenv("KELVARA_ALSA_PCM");
    ASSERT_FALSE(dialog->recording());
    const std::string got = record_file();
    EXPECT_EQ(got.size(), 3u * 32768u);
    EXPECT_EQ(got.find_first_not_of('\0'), std::string::npos);
}

TEST_F(RecordTest, ANewEmptyDocumentTakesTheRecording)
{
    std::unique_ptr<CChildFrame> doc = create_new_wave_file(false);
    ASSERT_TRUE(doc);
    const long before = doc->current.total_samples;
    const std::string input = noise(doc->wave_format.avg_bytes_per_sec * 2, 11);
    source(input);
    open_dialog(doc.get());
    take(1000);
    const std::string got = record_file();
    dialog->click(kel::kIdOk);
    ASSERT_EQ(dialog->end_code(), 1);
    EXPECT_TRUE(contents(doc.get()) == got);
    EXPECT_TRUE(got == input.substr(0, got.size()));
    EXPECT_EQ(doc->current.total_samples,
              static_cast<long>(got.size()) / doc->wave_format.bytes_per_sample());
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(doc->current.total_samples, before);
    dialog.reset();
}
