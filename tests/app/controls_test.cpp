// The faders' messages and position convention, the gauges, the spectrum indicator and
// the timer callbacks.
#include "editor/app/commands.h"
#include "editor/app/controls.h"
#include "editor/app/spectrum.h"
#include "editor/app/tickr.h"
#include "editor/ui/command_event.h"
#include "editor/ui/control_widgets.h"
#include "tests/app/app_fixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cmath>
#include <mutex>

using namespace kel::controls;

TEST_F(AppTest, FaderAnswersItsMessagesWithTheTopEndAsTheLargestValue)
{
    ui::Fader fader(Qt::Vertical, 233);
    fader.resize(30, 267); // a track of 255 pixels
    HWND h = fader.handle();
    EXPECT_EQ(send_message(h, kSetRange, 0, make_long(0, 255)), 1);
    // A dialog shows value 200 as maximum + minimum - 200.
    send_message(h, kSetPosition, 255 - 200, 0);
    EXPECT_EQ(low_word(send_message(h, kGetPosition, 0, 0)), 55);
    EXPECT_EQ(fader.thumb_rect().top(), 55);
    // Dragging the thumb to the very top gives the largest value.
    QSignalSpy moved(&fader, &ui::Fader::moved);
    QTest::mousePress(&fader, Qt::LeftButton, {}, QPoint(15, 0));
    QTest::mouseMove(&fader, QPoint(15, 2));
    QTest::mouseRelease(&fader, Qt::LeftButton, {}, QPoint(15, 2));
    const int pos = low_word(send_message(h, kGetPosition, 0, 0));
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(255 + 0 - pos, 255);
    ASSERT_GE(moved.count(), 2);
    EXPECT_EQ(moved.first().at(0).toInt(), 233);
    EXPECT_EQ(moved.first().at(1).toInt(), kNotifyMoving);
    EXPECT_EQ(moved.last().at(1).toInt(), kNotifyReleased);
    // The bottom end is the smallest value.
    QTest::mouseClick(&fader, Qt::LeftButton, {}, QPoint(15, 266));
    EXPECT_EQ(255 - low_word(send_message(h, kGetPosition, 0, 0)), 0);
}

TEST_F(AppTest, FaderRangesClampAndNegativeMinimaWork)
{
    ui::Fader fader(Qt::Horizontal, 220);
    HWND h = fader.handle();
    send_message(h, kSetRange, 0, make_long(-15, 15));
    EXPECT_EQ(fader.model().minimum, -15);
    EXPECT_EQ(fader.model().maximum, 15);
    send_message(h, kSetPosition, 99, 0);
    EXPECT_EQ(static_cast<short>(low_word(send_message(h, kGetPosition, 0, 0))), 15);
    send_message(h, kSetPosition, static_cast<unsigned long>(-40L), 0);
    EXPECT_EQ(static_cast<short>(low_word(send_message(h, kGetPosition, 0, 0))), -15);
    // Gone windows and non-controls answer nothing.
    int not_a_control = 0;
    EXPECT_EQ(send_message(&not_a_control, kGetPosition, 0, 0), 0);
    HWND gone;
    {
        ui::Fader temp(Qt::Vertical, 1);
        gone = temp.handle();
    }
    EXPECT_EQ(send_message(gone, kSetRange, 0, make_long(0, 10)), 0);
}

TEST_F(AppTest, DecibelGaugeHoldsItsPeakUntilReset)
{
    ui::DbGauge gauge("L");
    _draw_decibel_gauge_volume(gauge.handle(), 100, 1, 0);
    _draw_decibel_gauge_volume(gauge.handle(), 40, 1, 0);
    EXPECT_EQ(gauge.model().level, 40);
    EXPECT_EQ(gauge.model().peak, 100);
    EXPECT_EQ(gauge.model().mode, 1);
    // The record dialog's Reset: level 0, mode 1, reset 1.
    _draw_decibel_gauge_volume(gauge.handle(), 0, 1, 1);
    EXPECT_EQ(gauge.model().peak, 0);
    _draw_decibel_gauge_volume(gauge.handle(), 500, 0, 0);
    EXPECT_EQ(gauge.model().level, 128);
    EXPECT_DOUBLE_EQ(GaugeModel::decibels(128), 0.0);
    EXPECT_NEAR(GaugeModel::decibels(64), -6.02, 0.01);
    EXPECT_DOUBLE_EQ(GaugeModel::decibels(0), -48.0);

    ui::VolumeIndicator levels;
    _draw_record_volume(levels.handle(), 90, -3);
    EXPECT_EQ(levels.left(), 90);
    EXPECT_EQ(levels.right(), 0);
}

TEST_F(AppTest, SpectrumBarsComeFromTheRealPartsOfBinsOneToSixteen)
{
    // A cosine that completes three cycles over the 64 complex points lands in bin 3.
    std::vector<float> block(128);
    for (int i = 0; i < 64; ++i) {
        block[2 * i] = static_cast<float>(1000.0 * std::cos(2 * M_PI * 3 * i / 64.0));
        block[2 * i + 1] = 0.0f;
    }
    auto bars = app::spectrum_bars(block);
    EXPECT_EQ(bars[2], 28 - 33);
    for (int k = 0; k < 16; ++k)
        if (k != 2)
            EXPECT_EQ(bars[k], 28) << k;
    // Silence and short blocks leave every bar empty.
    auto silent = app::spectrum_bars(std::vector<float>(128, 0.0f));
    auto tiny = app::spectrum_bars(std::vector<float>(8, 1.0f));
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(silent[k], app::kSpectrumEmpty);
        EXPECT_EQ(tiny[k], app::kSpectrumEmpty);
    }
}

TEST_F(AppTest, FftMatchesADirectTransform)
{
    const int n = 32;
    std::vector<float> data(2 * n);
    for (int i = 0; i < 2 * n; ++i)
        data[i] = static_cast<float>(std::sin(i * 0.7) + 0.3 * std::cos(i * 1.9));
    const std::vector<float> in = data;
    app::fft_in_place(data.data(), n);
    for (int k = 0; k < n; ++k) {
        double re = 0, im = 0;
        for (int t = 0; t < n; ++t) {
            const double a = -2 * M_PI * k * t / n;
            re += in[2 * t] * std::cos(a) - in[2 * t + 1] * std::sin(a);
            im += in[2 * t] * std::sin(a) + in[2 * t + 1] * std::cos(a);
        }
        EXPECT_NEAR(data[2 * k], re, 1e-3) << k;
        EXPECT_NEAR(data[2 * k + 1], im, 1e-3) << k;
    }
}

TEST_F(AppTest, SpectrumIndicatorEmptiesOnTimerOneAndRedrawsOnSixteen)
{
    ui::SpectrumIndicator spectrum;
    std::vector<float> block(128);
    for (int i = 0; i < 64; ++i)
        block[2 * i] = static_cast<float>(std::cos(2 * M_PI * 5 * i / 64.0));
    spectrum.show_block(block);
    EXPECT_EQ(spectrum.bars()[4], -5);
    EXPECT_TRUE(spectrum.timer_running(ui::SpectrumIndicator::kTimerRedraw));
    spectrum.start_timer(ui::SpectrumIndicator::kTimerEmpty, 20);
    for (int i = 0; i < 100 && spectrum.timer_running(ui::SpectrumIndicator::kTimerEmpty); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(spectrum.timer_running(ui::SpectrumIndicator::kTimerEmpty));
    for (int v : spectrum.bars())
        EXPECT_EQ(v, app::kSpectrumEmpty);
}

TEST_F(AppTest, TimerCallbacksPostTheirTicksAndStopWhenKilled)
{
    std::mutex m;
    std::vector<std::pair<HWND, int>> ticks;
    kel::tickr::set_poster([&](HWND w, int command) {
        std::lock_guard<std::mutex> lock(m);
        ticks.push_back({w, command});
    });
    int window = 0;
    const unsigned id = kel::tickr::start_periodic(20, kel::tickr::_PlayTimeTimerFunc,
                                                   reinterpret_cast<uintptr_t>(&window));
    ASSERT_NE(id, 0u);
    QTest::qWait(200);
    EXPECT_EQ(kel::tickr::kill_periodic(id), 1);
    size_t after_kill;
    {
        std::lock_guard<std::mutex> lock(m);
        after_kill = ticks.size();
        // About ten; a loaded machine may lose some, never gain.
        ASSERT_GE(after_kill, 3u);
        ASSERT_LE(after_kill, 11u);
        for (auto& t : ticks) {
            EXPECT_EQ(t.first, static_cast<HWND>(&window));
            EXPECT_EQ(t.second, cmd::kPlayTimeTick);
        }
    }
    QTest::qWait(60);
    {
        std::lock_guard<std::mutex> lock(m);
        EXPECT_EQ(ticks.size(), after_kill);
    }
    EXPECT_EQ(kel::tickr::kill_periodic(id), 0);
    EXPECT_EQ(kel::tickr::metronome_period(120), 500u);
    kel::tickr::set_poster(nullptr);
}

namespace {
class TickCounter : public QWidget
{
  public:
    std::vector<int> commands;
    bool off_thread = false;

  protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ui::CommandEvent::type()) {
            commands.push_back(static_cast<ui::CommandEvent*>(e)->command);
            off_thread |= QThread::currentThread() != qApp->thread();
            return true;
        }
        return QWidget::event(e);
    }
};
} // namespace

TEST_F(AppTest, TicksReachTheWindowOnTheInterfaceThread)
{
    start(); // installs the queued delivery
    TickCounter dialog;
    const uintptr_t user = reinterpret_cast<uintptr_t>(static_cast<QWidget*>(&dialog));
    const unsigned rec = kel::tickr::start_periodic(100, kel::tickr::_RecorderTimerFunc, user);
    const unsigned beat =
        kel::tickr::start_periodic(60000 / 240, kel::tickr::_MetronomeTimerFunc, user);
    QTest::qWait(560);
    kel::tickr::kill_periodic(rec);
    kel::tickr::kill_periodic(beat);
    pump(10);
    const auto n_rec =
        std::count(dialog.commands.begin(), dialog.commands.end(), cmd::kRecorderTick);
    const auto n_beat =
        std::count(dialog.commands.begin(), dialog.commands.end(), cmd::kMetronomeTick);
    EXPECT_GE(n_rec, 3);
    EXPECT_LE(n_rec, 6);
    EXPECT_GE(n_beat, 1);
    EXPECT_LE(n_beat, 3);
    EXPECT_FALSE(dialog.off_thread);
}
