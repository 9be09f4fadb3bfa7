// The synchronisation under a pinned clock, with the MIDI input's calls replaced by a
// port the tests post to: time code, song position, notes, the delay, the chase lock.
#include "editor/commands/command_table.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "editor/devices/record.h"
#include "editor/devices/timemark_trigger.h"
#include "editor/sync/chase_lock.h"
#include "editor/sync/sync_dialog.h"
#include "editor/sync/triggers.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_device.h"
#include "tests/support/edit_fixture.h"

#include <random>
#include <set>

namespace wd = kel::wave_device;
namespace ev = kel::events;
namespace mi = kel::midi_in;
using namespace synchro;

namespace {

// A MIDI input that the test feeds: it remembers where each handle reports.
struct FakePort
{
    std::map<mi::Handle, void*> open;
    int opens = 0;
    int closes = 0;
    bool fail = false;
    mi::Handle next = 40;

    void install()
    {
        MidiCalls& c = midi_calls();
        c.open = [this](mi::Handle* h, int, void* target) {
            if (fail)
                return static_cast<int>(mi::kNoDriver);
            *h = next++;
            open[*h] = target;
            ++opens;
            return static_cast<int>(mi::kOk);
        };
        c.start = [this](mi::Handle h) { return open.count(h) ? mi::kOk : mi::kInvalidHandle; };
        c.stop = c.start;
        c.close = [this](mi::Handle h) {
            if (!open.erase(h))
                return static_cast<int>(mi::kInvalidHandle);
            ++closes;
            return static_cast<int>(mi::kOk);
        };
    }
    // A short message to every open input, delivered at once.
    void send(uint8_t status, uint8_t d1 = 0, uint8_t d2 = 0)
    {
        const intptr_t packed = status | d1 << 8 | d2 << 16;
        for (auto& [h, target] : std::map<mi::Handle, void*>(open))
            ev::post(target, mi::kMimData, h, packed);
        ev::pump();
    }
    void error()
    {
        for (auto& [h, target] : std::map<mi::Handle, void*>(open))
            ev::post(target, mi::kMimError, h, 0);
        ev::pump();
    }
};

// The eight quarter frames of a time (hours in piece 7 with the rate bits).
std::vector<uint8_t> quarter_frames(const SmpteTime& t, int rate_code = 0)
{
    const int hours = t.hours | rate_code << 5;
    const int v[4] = {t.frames, t.seconds, t.minutes, hours};
    std::vector<uint8_t> q;
    for (int p = 0; p < 8; ++p)
        q.push_back(static_cast<uint8_t>(p << 4 | ((p % 2 ? v[p / 2] >> 4 : v[p / 2]) & 15)));
    return q;
}

} // namespace

class SyncTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        ev::reset();
        wd::set_backend(wd::Backend::Virtual);
        wd::set_virtual_sink(path("sink.raw"));
        port.install();
        smpte_fps = 24;
        smpte_drop = false;
        trigger_settings() = TriggerSettings{};
        smpte_lead_in = SmpteLeadIn{};
        install_sync_hooks();
    }
    void TearDown() override
    {
        playback::stop();
        step(300);
        close_trigger_inputs(false);
        record_hooks() = RecordHooks{};
        mtc_trigger_hook = nullptr;
        restore_midi_calls();
        wd::set_virtual_source("");
        wd::set_virtual_sink("");
        wd::unset_backend();
        ev::reset();
        EditTest::TearDown();
    }
    void step(uint32_t ms)
    {
        kel::clock::advance(ms);
        wd::settle();
        ev::pump();
    }
    void send_time(const SmpteTime& t)
    {
        for (uint8_t q : quarter_frames(t))
            port.send(0xF1, q);
    }
    // Runs a trigger whose dialog the script drives; the script gets the dialog model.
    template <class Dialog>
    int run(const TriggerSettings& s, std::function<void(Dialog&)> script,
            NewRecordDialog* record = nullptr)
    {
        const char* name =
            std::is_same_v<Dialog, SequencerInputDialog> ? "SEQUENCERINPUT" : "RECORDPLAYDELAY";
        ui.on_dialog(name, [&](kel::DialogModel& m) { script(static_cast<Dialog&>(m)); });
        return run_trigger(s, record);
    }
    FakePort port;
};

TEST_F(SyncTest, SmpteTimesConvertPackAndReadOnlyWhenWellFormed)
{
    const SmpteTime t{1, 2, 3, 4};
    EXPECT_EQ(smpte_packed(t), ((1u * 256 + 2) << 16) | (3 * 256 + 4));
    EXPECT_DOUBLE_EQ(smpte_seconds(t, 25), 3600 + 120 + 3 + 4 / 25.0);
    // The start is in sample words: 10 s of 16-bit stereo at 44.1 kHz is 882000 words
    // (the bytes would be twice that), and a frame at 30 is exactly 1470 frames of sound.
    WaveFormat f;
    f.channels = 2;
    f.bits_per_sample = 16;
    f.block_align = 4;
    f.sample_rate = 44100;
    EXPECT_EQ(smpte_to_sample_words({0, 0, 10, 0}, 24, f), 882000);
    EXPECT_EQ(smpte_to_sample_words({0, 0, 0, 1}, 30, f), 2940);
    EXPECT_EQ(sync_adjust_bytes(f, 25), 4408); // 25 ms = 4410 bytes, low bits cleared

    SmpteTime read;
    std::string message;
    ASSERT_TRUE(parse_smpte("01:02:03:04", 25, false, &read, &message));
    EXPECT_EQ(read, t);
    ASSERT_TRUE(parse_smpte(" 0:10:00;00 ", 30, true, &read, &message));
    EXPECT_EQ(read, (SmpteTime{0, 10, 0, 0}));
    for (const char* bad :
         {"", "1:2:3", "1:2:3:4:5", "00:00:10:00x", "00:60:00:00", "24:00:00:00", "-1:00:00:00",
          "00:00:00:24", "00::00:00", "99999999:0:0:0", "a:b:c:d", "00:00:60:00"}) {
        SCOPED_TRACE(bad);
        read = {9, 9, 9, 9};
        message.clear();
        EXPECT_FALSE(parse_smpte(bad, 24, false, &read, &message));
        EXPECT_EQ(read, (SmpteTime{9, 9, 9, 9}));
        EXPECT_EQ(message, smpte_format_message(24));
    }
    EXPECT_FALSE(parse_smpte(std::string("00:00:01:00\0", 12), 24, false, &read, &message));
    // 30 drop has no 00:01:00:00.
    EXPECT_FALSE(parse_smpte("00:01:00:00", 30, true, &read, &message));
    EXPECT_TRUE(parse_smpte("00:01:00:00", 30, false, &read, &message));
}

TEST_F(SyncTest, AStartAtTenSecondsPlaysExactlyTheLastTenSeconds)
{
    // 20 s of 16-bit stereo: a start computed in bytes would play only the end.
    const uint32_t rate = 8000;
    std::string samples(rate * 4 * 20, '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<char>((i * 7 + i / 4096) & 0xFF);
    CChildFrame* doc = open_doc(samples, 2, 16, rate);
    ASSERT_TRUE(doc);
    PlayRequest request;
    request.from = smpte_to_sample_words({0, 0, 10, 0}, smpte_fps, doc->wave_format);
    ASSERT_EQ(playback::start(*doc, request), 1);
    for (int i = 0; i < 2500 && playback::is_playing(); ++i)
        step(10);
    const std::string played = read_file(path("sink.raw"));
    EXPECT_EQ(played.size(), rate * 4 * 10);
    EXPECT_TRUE(played == samples.substr(rate * 4 * 10));
}

TEST_F(SyncTest, ThirtyDropSkipsTwoLabelsAMinuteExceptEachTenth)
{
    SmpteTime t;
    long steps = 0;
    std::set<uint32_t> seen;
    while (!(t.hours == 1 && t.minutes == 0 && t.seconds == 0 && t.frames == 0)) {
        ASSERT_FALSE(is_dropped_label(t)) << smpte_text(t);
        ASSERT_LT(t.frames, 30);
        seen.insert(smpte_packed(t));
        smpte_step(t, 30, true);
        ++steps;
    }
    EXPECT_EQ(steps, 107892); // 30 × 3600 − 2 × 54
    EXPECT_EQ(seen.size(), 107892u);
    t = {0, 0, 59, 29};
    smpte_step(t, 30, true);
    EXPECT_EQ(t, (SmpteTime{0, 1, 0, 2}));
    t = {0, 9, 59, 29};
    smpte_step(t, 30, true);
    EXPECT_EQ(t, (SmpteTime{0, 10, 0, 0}));
    t = {23, 59, 59, 29};
    smpte_step(t, 30, true);
    EXPECT_EQ(t, (SmpteTime{0, 0, 0, 0}));
    // LINN 9000 at 30 drop: a song position at 60 s lands on the minute's first label.
    LinnClock linn(30, true);
    linn.song_position(1440 % 128, 1440 / 128);
    EXPECT_EQ(linn.time(), (SmpteTime{0, 1, 0, 2}));
}

TEST_F(SyncTest, MtcFiresOnTheFirstWholeTimeAtOrPastTheLeadInAndIgnoresHours)
{
    TriggerSettings s;
    s.source = TriggerSource::Mtc;
    s.lead_in = {0, 0, 10, 0};
    struct Case
    {
        SmpteTime sent;
        bool fires;
    };
    for (const Case& c : {Case{{0, 0, 12, 0}, true}, Case{{1, 0, 10, 0}, true},
                          Case{{0, 0, 10, 0}, true}, Case{{0, 0, 9, 23}, false}}) {
        SCOPED_TRACE(smpte_text(c.sent));
        int fired_at_piece = -1;
        std::string title;
        const int r = run<RecordPlayDelayDialog>(s, [&](RecordPlayDelayDialog& d) {
            title = d.title();
            d.click(RecordPlayDelayDialog::kStart);
            ASSERT_TRUE(d.listening());
            const std::vector<uint8_t> q = quarter_frames(c.sent, 1);
            for (int i = 0; i < 8 && !d.ended(); ++i) {
                port.send(0xF1, q[i]);
                if (d.ended())
                    fired_at_piece = i;
            }
            if (!c.fires) {
                EXPECT_EQ(d.time_text(),
                          smpte_text({0, c.sent.minutes, c.sent.seconds, c.sent.frames}));
            }
            if (!d.ended())
                d.click(kel::kIdCancel);
        });
        EXPECT_EQ(title, "Start MTC for Recording");
        EXPECT_EQ(r, c.fires ? 1 : 0);
        EXPECT_EQ(fired_at_piece, c.fires ? 7 : -1);
        // Closed before the trigger returned.
        EXPECT_TRUE(port.open.empty());
    }
}

TEST_F(SyncTest, TheLoopDialogsMtcStartWaitsForItsLeadIn)
{
    smpte_lead_in.minutes = 1;
    smpte_lead_in.frames = 12;
    std::vector<std::string> seen;
    const auto wait = [&](kel::DialogModel& m) {
        auto& d = static_cast<RecordPlayDelayDialog&>(m);
        seen.push_back(d.title());
        d.click(RecordPlayDelayDialog::kStart);
        send_time({0, 1, 0, 10});
        seen.push_back(d.time_text());
        EXPECT_FALSE(d.ended());
        send_time({0, 1, 0, 12});
        EXPECT_TRUE(d.ended());
    };
    ui.on_dialog("RECORDPLAYDELAY", wait);
    ASSERT_TRUE(mtc_trigger_hook);
    EXPECT_EQ(mtc_trigger_hook(), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"Start MTC for Playback", "00:01:00:10"}));
    EXPECT_TRUE(port.open.empty());

    // The time-mark dialog's MTC trigger is the same wait, with its own lead-in.
    smpte_lead_in = {};
    seen.clear();
    ui.on_dialog("RECORDPLAYDELAY", wait);
    TimemarkTrigger mark;
    mark.kind = TimemarkTrigger::Kind::Mtc;
    mark.time = {0, 1, 0, 12};
    ASSERT_TRUE(timemark_trigger_hook);
    EXPECT_EQ(timemark_trigger_hook(mark), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"Start MTC for Playback", "00:01:00:10"}));
    EXPECT_TRUE(port.open.empty());
}

TEST_F(SyncTest, MalformedOrInterruptedMidiNeverCrashesOrMisfires)
{
    TriggerSettings s;
    s.source = TriggerSource::Mtc;
    s.lead_in = {0, 0, 0, 0}; // any whole time would fire
    int r = run<RecordPlayDelayDialog>(s, [&](RecordPlayDelayDialog& d) {
        d.click(RecordPlayDelayDialog::kStart);
        const auto a = quarter_frames({0, 1, 2, 3});
        // Pieces out of order, a sysex or a broken stream between them, a group shuttled
        // backwards, fields out of range: never a time.
        for (int i : {0, 1, 2, 4, 3, 5, 6, 7})
            port.send(0xF1, a[i]);
        for (int i = 0; i < 8; ++i) {
            if (i == 4)
                port.send(0xF0, 0x7F, 0x7F);
            port.send(0xF1, a[i]);
        }
        for (int i = 0; i < 8; ++i) {
            if (i == 5)
                port.error();
            port.send(0xF1, a[i]);
        }
        for (int i = 7; i >= 0; --i)
            port.send(0xF1, a[i]);
        for (const SmpteTime& t :
             {SmpteTime{0, 0, 0, 30}, SmpteTime{0, 0, 60, 0}, SmpteTime{0, 60, 0, 0}})
            send_time(t);
        // Garbage that holds no eight pieces in order.
        std::mt19937 rng(5);
        for (int i = 0; i < 20000; ++i) {
            uint8_t status = static_cast<uint8_t>(rng());
            uint8_t d1 = static_cast<uint8_t>(rng());
            if (status == 0xF1 && (d1 & 0x70) == 0x70)
                d1 &= 0x6F; // never a piece 7
            port.send(status, d1, static_cast<uint8_t>(rng()));
            if (i % 1000 == 0)
                port.error();
        }
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.time_text(), "00:00:00:00");
        // A whole group after all that still reads.
        send_time({0, 0, 1, 2});
        EXPECT_EQ(d.time_text(), "00:00:01:02");
    });
    EXPECT_EQ(r, 1);
    EXPECT_TRUE(port.open.empty());

    // The note trigger in the same noise: only its own note on its own channel counts.
    s.source = TriggerSource::Sequencer;
    s.channel = 3;
    s.note = 64;
    r = run<SequencerInputDialog>(s, [&](SequencerInputDialog& d) {
        std::mt19937 rng(9);
        for (int i = 0; i < 20000; ++i) {
            uint8_t status = static_cast<uint8_t>(rng()), d1 = static_cast<uint8_t>(rng());
            if ((status & 0xEF) == 0x82 && (d1 & 0x7F) == 64)
                d1 = 65;
            port.send(status, d1, static_cast<uint8_t>(rng()));
        }
        EXPECT_FALSE(d.ended());
        d.click(kel::kIdCancel);
    });
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(port.open.empty());

    // No input: the message, and the trigger ends as Cancel.
    port.fail = true;
    s.source = TriggerSource::Mtc;
    r = run<RecordPlayDelayDialog>(s, [&](RecordPlayDelayDialog& d) {
        d.click(RecordPlayDelayDialog::kStart);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_EQ(r, 0);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Cannot open MIDI for Input.");
}

TEST_F(SyncTest, LinnSongPositionSetsTheTimeAndEachClockStepsAFrame)
{
    TriggerSettings s;
    s.source = TriggerSource::Linn;
    s.recording = false;
    s.lead_in = {0, 0, 10, 5};
    int clocks = 0;
    const int r = run<RecordPlayDelayDialog>(s, [&](RecordPlayDelayDialog& d) {
        EXPECT_EQ(d.title(), "Start MTC for Playback");
        d.click(RecordPlayDelayDialog::kStart);
        // A clock before any song position does nothing.
        for (int i = 0; i < 300; ++i)
            port.send(0xF8);
        EXPECT_EQ(d.time_text(), "00:00:00:00");
        EXPECT_FALSE(d.ended());
        port.send(0xF2, 240 % 128, 240 / 128);
        EXPECT_EQ(d.time_text(), "00:00:10:00");
        EXPECT_FALSE(d.ended());
        while (!d.ended() && clocks < 100) {
            port.send(0xF8);
            ++clocks;
        }
        EXPECT_EQ(d.time_text(), "00:00:10:05");
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(clocks, 5);
    EXPECT_TRUE(port.open.empty());
}

TEST_F(SyncTest, NoteTriggersMatchNoteAndChannelAndVelocityZeroIsNoteOff)
{
    TriggerSettings s;
    s.source = TriggerSource::Sequencer;
    s.channel = 2;
    s.note = 61;
    EXPECT_EQ(note_name(61), "C#5");
    std::vector<std::string> lines;
    // Note on: another channel and a velocity-0 Note On only show what came.
    int r = run<SequencerInputDialog>(s, [&](SequencerInputDialog& d) {
        step(150);
        EXPECT_EQ(d.line().text, "Waiting for Midi note C#5, channel 2");
        EXPECT_EQ(d.line().colour, kBlue);
        port.send(0x92, 61, 100); // channel 3
        EXPECT_EQ(d.line().text, "Note C#5 on, channel 3");
        port.send(0x91, 61, 0); // a Note Off in Note On's clothes
        EXPECT_EQ(d.line().text, "Note C#5 off, channel 2");
        EXPECT_EQ(d.line().colour, kRed);
        EXPECT_FALSE(d.ended());
        port.send(0x91, 61, 1);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_EQ(r, 1);
    EXPECT_TRUE(port.open.empty());
    // Note off: the velocity-0 Note On is the one that fires.
    s.event = NoteEvent::NoteOff;
    r = run<SequencerInputDialog>(s, [&](SequencerInputDialog& d) {
        port.send(0x91, 61, 90);
        EXPECT_FALSE(d.ended());
        port.send(0x91, 61, 0);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_EQ(r, 1);
    EXPECT_TRUE(port.open.empty());
}

TEST_F(SyncTest, WhileNoteOnRecordsFromNoteOnUntilItsNoteOff)
{
    const uint32_t rate = 11025;
    std::string input(rate * 10, '\0');
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<char>(i * 13);
    write_file(path("source.raw"), input);
    wd::set_virtual_source(path("source.raw"));
    CChildFrame* doc = open_doc(std::string(1000, '\x80'), 1, 8, rate);
    ASSERT_TRUE(doc);
    NewRecordDialog record(doc);
    record.on_open();
    TriggerSettings s;
    s.source = TriggerSource::Sequencer;
    s.event = NoteEvent::WhileNoteOn;
    s.channel = 1;
    s.note = 60;
    const int r = run<SequencerInputDialog>(
        s, [&](SequencerInputDialog&) { port.send(0x90, 60, 64); }, &record);
    EXPECT_EQ(r, 1);
    // Fired: the record dialog got Record, and the input stays open for the Note Off.
    EXPECT_TRUE(record.recording());
    EXPECT_EQ(port.open.size(), 1u);
    EXPECT_TRUE(note_watch::active());
    ev::pump();
    for (int i = 0; i < 20; ++i)
        step(50);
    port.send(0x80, 61, 0); // another note
    port.send(0x81, 60, 0); // another channel
    EXPECT_TRUE(record.recording());
    EXPECT_EQ(port.open.size(), 1u);
    port.send(0x90, 60, 0); // its Note Off
    EXPECT_TRUE(port.open.empty());
    for (int i = 0; i < 14; ++i)
        step(50);
    EXPECT_FALSE(record.recording());
    const uint64_t bytes = record.recorded_bytes();
    EXPECT_GE(bytes, rate - rate / 50);
    EXPECT_LE(bytes, rate * 1 + record.buffer_size() * 2);
    record.click(kel::kIdCancel);
    EXPECT_EQ(port.closes, port.opens);
}

TEST_F(SyncTest, ADelayOfTwoSecondsStartsRecordingBetweenTwoAndTwoPointOne)
{
    wd::set_virtual_tone(440);
    CChildFrame* doc = open_doc(std::string(1000, '\x80'), 1, 8, 11025);
    ASSERT_TRUE(doc);
    NewRecordDialog record(doc);
    record.on_open();
    TriggerSettings s;
    s.source = TriggerSource::Delay;
    s.delay_seconds = 2;
    uint32_t started = 0, ended = 0;
    std::string line;
    const int r = run<RecordPlayDelayDialog>(
        s,
        [&](RecordPlayDelayDialog& d) {
            EXPECT_EQ(d.title(), "Start Delay for Recording");
            step(150);
            line = d.line().text;
            d.click(RecordPlayDelayDialog::kStart);
            started = kel::clock::now_ms();
            for (int i = 0; i < 500 && !d.ended(); ++i)
                step(7);
            ended = kel::clock::now_ms();
            EXPECT_EQ(d.elapsed_text(), play_time_text((ended - started) / 1000.0, 1));
        },
        &record);
    EXPECT_EQ(line, "Press Start to begin timed delay");
    EXPECT_EQ(r, 1);
    EXPECT_GE(ended - started, 2000u);
    EXPECT_LT(ended - started, 2100u);
    EXPECT_TRUE(record.recording());
    record.click(kel::kIdCancel);

    // Without the timer's limits: 5012 and nothing starts.
    timer_caps_query() = [](TimerCaps*) { return false; };
    NewRecordDialog second(doc);
    second.on_open();
    const int r2 = run<RecordPlayDelayDialog>(
        s, [&](RecordPlayDelayDialog& d) { d.click(RecordPlayDelayDialog::kStart); }, &second);
    timer_caps_query() = nullptr;
    EXPECT_EQ(r2, 0);
    EXPECT_EQ(ui.boxes.back().text, "Can't get timer dev caps");
    EXPECT_FALSE(second.recording());
    second.click(kel::kIdCancel);
}

TEST_F(SyncTest, TheSetUpRefusesWhatIsMissingOrMalformed)
{
    SyncRecordPlaybackDialog d;
    d.on_open();
    d.click(kel::kIdOk);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(ui.boxes.back().text, "First set the Sync Method (Trigger on Delay or Smpte).");
    d.click(SyncRecordPlaybackDialog::kMtc);
    d.type(SyncRecordPlaybackDialog::kHourEdit + 3, "2x");
    d.click(kel::kIdOk);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(ui.boxes.back().text, "The lead-in frames must be a number from 0 to 23.");
    d.type(SyncRecordPlaybackDialog::kHourEdit + 3, "12");
    d.type(SyncRecordPlaybackDialog::kHourEdit + 2, "10");
    d.set_spin(SyncRecordPlaybackDialog::kNoteSpin, 200);
    d.click(kel::kIdOk);
    ASSERT_TRUE(d.ended());
    EXPECT_EQ(trigger_settings().lead_in, (SmpteTime{0, 0, 10, 12}));
    EXPECT_EQ(d.edit_text(SyncRecordPlaybackDialog::kNoteText), "G10");

    // The outside reader is not there.
    TriggerSettings s;
    s.source = TriggerSource::External;
    EXPECT_EQ(run_playback_trigger(s), 0);
    EXPECT_EQ(ui.boxes.back().text,
              "MQX32M interface not responding or not installed.\nPlease try again.");

    // SETSMPTE, from its Transport menu command.
    ui.on_dialog("SETSMPTE", [&](kel::DialogModel& m) {
        auto& set = static_cast<SetSmpteDialog&>(m);
        set.click(SetSmpteDialog::k30Drop);
        set.type(SetSmpteDialog::kHourEdit + 1, "1");
        set.click(kel::kIdOk); // 00:01:00:00 does not exist at 30 drop
        EXPECT_FALSE(set.ended());
        set.type(SetSmpteDialog::kHourEdit + 3, "2");
        set.click(kel::kIdOk);
        EXPECT_TRUE(set.ended());
    });
    CommandContext context;
    EXPECT_EQ(commands::run(cmd::kSetSmpte, context), 1);
    EXPECT_EQ(smpte_fps, 30);
    EXPECT_TRUE(smpte_drop);
    EXPECT_EQ(smpte_start_time, (SmpteTime{0, 1, 0, 2}));
}

TEST_F(SyncTest, ChaseLockPlaysFromTheCueStopsWithTheCodeAndResumesInStep)
{
    // 25 fps: a quarter frame every 10 ms of the pinned clock.
    smpte_fps = 25;
    const uint32_t rate = 8000;
    std::string samples(rate * 2 * 40, '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<char>((i * 31 + i / 1000) & 0xFF);
    CChildFrame* doc = open_doc(samples, 1, 16, rate);
    ASSERT_TRUE(doc);
    smpte_lead_in.seconds = 10;
    // The tape: quarter frame q of a run that starts at `from`.
    auto piece = [](const SmpteTime& from, long q) {
        SmpteTime group = from;
        smpte_add_frames(group, q / 8 * 2, 25, false);
        return quarter_frames(group)[q % 8];
    };
    auto tape_seconds = [](const SmpteTime& from, long q) {
        return smpte_seconds(from, 25) + q * 0.01;
    };
    ui.on_dialog("CHASELOCK", [&](kel::DialogModel& m) {
        auto& d = static_cast<ChaseLockDialog&>(m);
        EXPECT_EQ(d.status(), "Waiting to start");
        EXPECT_EQ(d.prompt(), "1) Start MTC Device; 2) Press Start");
        EXPECT_EQ(d.cue_text(), "00:00:10:00");
        d.click(ChaseLockDialog::kStart);
        EXPECT_EQ(d.status(), "Ready for Midi Time Code Input");
        EXPECT_EQ(d.start_text(), "&Cancel");
        // From 00:00:08:00 on: playback starts from the cue when the tape is there.
        const SmpteTime run1{0, 0, 8, 0};
        long q = 0;
        double tape_at_start = 0;
        for (; q < 400 && d.state() != ChaseLockDialog::State::Playing; ++q) {
            port.send(0xF1, piece(run1, q));
            tape_at_start = tape_seconds(run1, q);
            step(10);
        }
        ASSERT_EQ(d.state(), ChaseLockDialog::State::Playing);
        EXPECT_EQ(d.status(), "Reached cuepoint");
        EXPECT_EQ(d.last_start(), 10L * rate);
        EXPECT_LE(std::abs(tape_at_start - 10.0), 1.0 / 25);
        for (long end = q + 200; q < end; ++q) {
            port.send(0xF1, piece(run1, q));
            step(10);
        }
        EXPECT_TRUE(playback::is_playing());
        EXPECT_EQ(d.position_text(), smpte_text([&] {
                      SmpteTime t = run1;
                      smpte_add_frames(t, (q - 1) / 8 * 2, 25, false);
                      return t;
                  }()));
        // What played so far is the file from the cue on.
        const std::string played = read_file(path("sink.raw"));
        ASSERT_GT(played.size(), rate);
        EXPECT_TRUE(played == samples.substr(rate * 2 * 10, played.size()));
        // The code stops: more than 20 ticks later playback stops.
        int stopped_after = 0;
        while (d.state() == ChaseLockDialog::State::Playing && stopped_after < 4000) {
            step(10);
            stopped_after += 10;
        }
        EXPECT_EQ(d.status(), "MTC device stopped");
        EXPECT_EQ(d.prompt(), "Restart MTC Device");
        EXPECT_FALSE(playback::is_playing());
        EXPECT_GT(stopped_after, 2000);
        EXPECT_LE(stopped_after, 2300);
        // It comes back at 00:00:20:00: playback takes up there, within a frame.
        step(500);
        const SmpteTime run2{0, 0, 20, 0};
        double tape_at_resume = 0;
        for (q = 0; q < 100 && d.state() != ChaseLockDialog::State::Playing; ++q) {
            port.send(0xF1, piece(run2, q));
            tape_at_resume = tape_seconds(run2, q);
            step(10);
        }
        ASSERT_EQ(d.state(), ChaseLockDialog::State::Playing);
        EXPECT_EQ(d.status(), "MTC device restarted");
        EXPECT_LE(std::abs(d.last_start() / double(rate) - tape_at_resume), 1.0 / 25);
        // Adjust sync moves the source by 25 ms of sound.
        const unsigned long before = playback_state().bytes_read;
        d.click(ChaseLockDialog::kForward);
        EXPECT_EQ(playback_state().bytes_read, before + sync_adjust_bytes(doc->wave_format, 25));
        d.click(ChaseLockDialog::kStart); // now "&Cancel"
        EXPECT_TRUE(d.ended());
    });
    CommandContext context;
    context.doc = doc;
    EXPECT_EQ(commands::run(cmd::kChaseLock, context), 1);
    EXPECT_FALSE(playback::is_playing());
    EXPECT_TRUE(port.open.empty());
    EXPECT_EQ(port.opens, 1);
}

TEST_F(SyncTest, TheVirtualInputsTimeCodeDrivesTheChaseLockAndTheNoteTrigger)
{
    restore_midi_calls();
    smpte_fps = 25;
    const uint32_t rate = 8000;
    std::string samples(rate * 2 * 30, '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<char>((i * 29 + i / 999) & 0xFF);
    CChildFrame* doc = open_doc(samples, 1, 16, rate);
    ASSERT_TRUE(doc);
    smpte_lead_in.seconds = 10;
    // 3 s of time code from 00:00:08:00, a pause of 3 s, then 1 s from 00:00:20:00; a
    // quarter frame every 10 ms.
    std::string file = "# time code\n";
    auto code = [&](SmpteTime from, uint32_t at_ms, int groups) {
        for (int g = 0; g < groups; ++g, smpte_add_frames(from, 2, 25, false))
            for (int p = 0; p < 8; ++p) {
                char line[32];
                std::snprintf(line, sizeof line, "%u F1 %02X\n", at_ms + (g * 8 + p) * 10,
                              quarter_frames(from)[p]);
                file += line;
            }
    };
    code({0, 0, 8, 0}, 0, 38);
    code({0, 0, 20, 0}, 6000, 13);
    write_file(path("mtc.txt"), file);
    mi::set_virtual_file(path("mtc.txt"));
    std::vector<std::pair<std::string, uint32_t>> states;
    long resumed_from = -1;
    ui.on_dialog("CHASELOCK", [&](kel::DialogModel& m) {
        auto& d = static_cast<ChaseLockDialog&>(m);
        d.click(ChaseLockDialog::kStart);
        ASSERT_EQ(d.state(), ChaseLockDialog::State::Ready);
        std::string last;
        for (uint32_t t = 0; t <= 7500; t += 10) {
            if (d.status() != last)
                states.emplace_back(last = d.status(), t);
            kel::clock::advance(10);
            mi::settle();
            wd::settle();
            ev::pump();
        }
        resumed_from = d.last_start();
        d.click(kel::kIdCancel);
    });
    CommandContext context;
    context.doc = doc;
    commands::run(cmd::kChaseLock, context);
    mi::set_virtual_file("");
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states[1].first, "Reached cuepoint");
    EXPECT_NEAR(states[1].second, 2000, 40); // the tape at 00:00:10:00
    EXPECT_EQ(states[2].first, "MTC device stopped");
    EXPECT_GT(states[2].second, 3000u + 2000u);
    EXPECT_LT(states[2].second, 3000u + 2300u);
    EXPECT_EQ(states[3].first, "MTC device restarted");
    EXPECT_NEAR(resumed_from / double(rate), 20.0 + (states[3].second - 6000) / 1000.0, 1.0 / 25);
    EXPECT_FALSE(playback::is_playing());

    // "While note on" from the same input: a take as long as the note is held.
    wd::set_virtual_tone(440);
    write_file(path("note.txt"), "100 90 3C 40\n1100 90 3C 00\n");
    mi::set_virtual_file(path("note.txt"));
    NewRecordDialog record(doc);
    record.on_open();
    TriggerSettings s;
    s.source = TriggerSource::Sequencer;
    s.event = NoteEvent::WhileNoteOn;
    auto step_midi = [&] {
        kel::clock::advance(10);
        mi::settle();
        wd::settle();
        ev::pump();
    };
    uint32_t fired_at = 0;
    const uint32_t opened_at = kel::clock::now_ms();
    const int r = run<SequencerInputDialog>(
        s,
        [&](SequencerInputDialog& d) {
            for (int i = 0; i < 100 && !d.ended(); ++i)
                step_midi();
            fired_at = kel::clock::now_ms() - opened_at;
        },
        &record);
    EXPECT_EQ(r, 1);
    EXPECT_NEAR(fired_at, 100, 10);
    EXPECT_TRUE(record.recording());
    for (int i = 0; i < 200; ++i)
        step_midi();
    EXPECT_FALSE(record.recording());
    EXPECT_NEAR(double(record.recorded_bytes()), 2.0 * rate,
                2.0 * rate / 20 + record.buffer_size());
    EXPECT_FALSE(note_watch::active());
    record.click(kel::kIdCancel);
    mi::set_virtual_file("");
}
