// The noise reduction and spectrum windows on a real (off-screen) Qt: their controls reach
// the models, the waterfall and the 2D plot put a 2 kHz tone's peak where the pictures say,
// the marker is drawn over the waterfall, and each window is photographed.
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "filtrel/noise_dialogs.h"
#include "filtrel/noise_profile.h"
#include "filtrel/spectrum_dialogs.h"
#include "filtrel/ui/noise_windows.h"
#include "filtrel/ui/spectrum_windows.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_device.h"
#include "tests/support/edit_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <cmath>

class NoiseSpectrumWindowTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        g_noise_profile = NoiseProfile();
        g_noise_tools = NoiseToolSettings();
        g_spectrum = SpectrumSettings();
    }
    void TearDown() override
    {
        stop_3D_sprite_timer();
        fft_release();
        EditTest::TearDown();
    }
    static QImage shoot(QWidget& w, const std::string& name)
    {
        QApplication::processEvents();
        const QPixmap picture = w.grab();
        EXPECT_TRUE(
            picture.save(QString::fromStdString(std::string(KELVARA_SHOT_DIR) + "/" + name)));
        return picture.toImage();
    }
    template <class T> static T* find(filtrel_ui::ModelWindow& w, int id)
    {
        return qobject_cast<T*>(w.control(id));
    }
    // The highest point of a curve.
    static FftPoint top_of(const std::vector<FftPoint>& curve)
    {
        FftPoint best = curve.front();
        for (const FftPoint& p : curve)
            if (p.y < best.y)
                best = p;
        return best;
    }
};

TEST_F(NoiseSpectrumWindowTest, NoiseWindowsReachTheirModels)
{
    using namespace noise_dialog;
    int sampled = 0;
    NoiseRemovalDialog removal(60, [&] {
        ++sampled;
        g_noise_profile.exists = 1;
        return 1;
    });
    removal.on_open();
    filtrel_ui::NoiseRemovalWindow window(removal, nullptr);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Reduce Noise In Waveform");
    EXPECT_FALSE(window.control(kRemove)->isEnabled()) << "no profile yet";
    find<QAbstractButton>(window, kHum50)->click();
    EXPECT_EQ(removal.hum_hz, 50);
    find<QAbstractButton>(window, kSample)->click();
    EXPECT_EQ(sampled, 1);
    EXPECT_TRUE(window.control(kRemove)->isEnabled());
    EXPECT_FALSE(removal.ended()) << "Sample keeps the dialog open";
    shoot(window, "noise_removal.png");
    find<QAbstractButton>(window, kRemove)->click();
    EXPECT_EQ(removal.end_code(), kRemove);

    NoiseReductionDialog reduction;
    reduction.on_open();
    filtrel_ui::NoiseSliderWindow amount(reduction, nullptr);
    amount.show();
    EXPECT_EQ(find<QLabel>(amount, kField)->text(), "50%");
    find<QSlider>(amount, kSlider)->setValue(10);
    EXPECT_EQ(g_noise_profile.reduction_percent, 90);
    EXPECT_FLOAT_EQ(g_noise_profile.attenuation, 0.1f);
    EXPECT_EQ(find<QLabel>(amount, kField)->text(), "90%");
    shoot(amount, "noise_reduction.png");

    for (int channels : {1, 2}) {
        NoiseGateDialog gate(channels);
        gate.on_open();
        filtrel_ui::NoiseSliderWindow w(gate, nullptr);
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(w.control(kLeft)->isVisible(), channels == 2);
        find<QSlider>(w, kSlider)->setValue(75);
        EXPECT_EQ(find<QLabel>(w, kField)->text(), "25%");
        if (channels == 2) {
            find<QAbstractButton>(w, kLeft)->click();
            EXPECT_EQ(g_noise_tools.gate_channel_mode, 2);
            shoot(w, "noise_gate.png");
        }
    }
}

TEST_F(NoiseSpectrumWindowTest, SpectrumWindowsDrawTheToneWhereThePicturesSayAndTheMarker)
{
    std::vector<int16_t> w;
    for (long i = 0; i < 44100; ++i)
        w.push_back(
            static_cast<int16_t>(std::lround(1500 * std::sin(2 * M_PI * 2000 * i / 44100.0))));
    CChildFrame* doc = open_doc(pcm16(w), 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    compute_spectrum_section(*doc);
    ASSERT_EQ(fft_allocate(kSpectrumFrames, kFftForSpectrumDisplay), 1);

    Spectrum3DDialog three(*doc);
    three.on_open();
    filtrel_ui::Spectrum3DWindow window(three, nullptr);
    window.resize(1100, 620);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), "3D Frequency Spectrum Display");
    EXPECT_EQ(find<QLabel>(window, spectrum_dialog::kHighField)->text(), "11.0");
    // Half way through the playing time the marker sits between two inner slices.
    start_3D_sprite_timer(kel::clock::now_ms() - g_spectrum_section.play_ms / 2);
    window.area()->repaint();
    const QImage shot = window.area()->grab().toImage();
    shoot(window, "spectrum_3d.png");
    const WaterfallPicture& p = three.picture(window.area()->width(), window.area()->height());
    ASSERT_EQ(p.slices.size(), 16u);
    const FftPoint peak = top_of(p.slices.back().curve);
    EXPECT_NEAR(peak.x, p.slices.back().curve[46].x, 3 * 0.625 * p.width / 256 + 1);
    EXPECT_EQ(shot.pixelColor(peak.x, peak.y + 3), QColor(Qt::blue));
    const MarkerPosition m = three.marker(kel::clock::now_ms());
    ASSERT_TRUE(m.shown);
    EXPECT_EQ(shot.pixelColor(m.at.x, m.at.y), QColor(Qt::red));
    stop_3D_sprite_timer();
    // Play starts the section on the (virtual) device and the marker with it.
    kel::wave_device::set_backend(kel::wave_device::Backend::Virtual);
    kel::wave_device::set_virtual_sink(path("sink.raw"));
    find<QAbstractButton>(window, spectrum_dialog::kPlay)->click();
    kel::events::pump();
    EXPECT_TRUE(playback_state().is_playing);
    EXPECT_TRUE(sprite_timer_running());
    playback::stop();
    kel::events::pump();
    EXPECT_FALSE(playback_state().is_playing);
    kel::wave_device::set_virtual_sink("");
    kel::wave_device::unset_backend();
    find<QAbstractButton>(window, spectrum_dialog::kBrowse)->click();
    EXPECT_FALSE(sprite_timer_running());
    EXPECT_EQ(three.end_code(), spectrum_dialog::kBrowse);

    Spectrum2DDialog two(*doc);
    two.on_open();
    filtrel_ui::Spectrum2DWindow browser(two, nullptr);
    browser.resize(900, 520);
    browser.show();
    QApplication::processEvents();
    const QImage plot_shot = browser.area()->grab().toImage();
    shoot(browser, "spectrum_2d.png");
    const SpectrumPlot& plot = two.plot(browser.area()->width(), browser.area()->height());
    const FftPoint top = top_of(plot.curve);
    EXPECT_NEAR(top.x, plot.curve[46].x, 3 * 0.75 * plot.width / 256 + 1);
    EXPECT_EQ(plot_shot.pixelColor(top.x, top.y + 3), QColor(Qt::blue));
    EXPECT_EQ(plot_shot.pixelColor(top.x, std::max(0, top.y - 6)), QColor(Qt::white));
    find<QAbstractButton>(browser, spectrum_dialog::kCancel)->click();
    EXPECT_EQ(two.end_code(), spectrum_dialog::kCancel);
}
