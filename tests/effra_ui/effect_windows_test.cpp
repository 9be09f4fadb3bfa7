// The envelope, compressor, spatial and tones dialogs as real widgets under the offscreen
// platform, driven by mouse and keys, with a screenshot of each in the build folder.
#include "effra/compressor_dialog.h"
#include "effra/envelope_dialog.h"
#include "effra/spatial_dialog.h"
#include "effra/tones_dialog.h"
#include "effra/ui/compressor_dialog_window.h"
#include "effra/ui/envelope_dialog_window.h"
#include "effra/ui/spatial_dialog_window.h"
#include "effra/ui/tones_dialog_window.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "effra_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *a;
}

class EffectWindowTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        app();
        effra::gain_settings() = effra::GainSettings();
        effra::spatial_settings() = effra::SpatialSettings();
        effra::tone_settings() = effra::ToneSettings();
    }

    static void shot(QWidget& w, const QString& file)
    {
        QDir().mkpath(KELVARA_SCREENSHOT_DIR);
        EXPECT_TRUE(w.grab().save(QString(KELVARA_SCREENSHOT_DIR) + "/" + file));
    }

    template <class T> static T* child(QWidget& w, int id)
    {
        return w.findChild<T*>(QString::number(id));
    }

    // A stroke of the left button through the points, in the widget's pixels.
    static void stroke(QWidget* w, const std::vector<QPoint>& points)
    {
        QTest::mousePress(w, Qt::LeftButton, {}, points.front());
        for (size_t i = 1; i < points.size(); ++i)
            QTest::mouseMove(w, points[i]);
        QTest::mouseRelease(w, Qt::LeftButton, {}, points.back());
    }
};

TEST_F(EffectWindowTest, EnvelopeStrokesDrawTheCurveOverTheOutline)
{
    using effra::EnvelopeDialog;
    const effra::EnvelopeArea a = effra::envelope_area();
    std::vector<effra::OutlineColumn> outline(static_cast<size_t>(a.width));
    for (size_t c = 0; c < outline.size(); ++c) {
        const float v = static_cast<float>(0.8 * std::fabs(std::sin(c * 0.05)));
        outline[c] = {-v, v};
    }
    EnvelopeDialog model(effra::gain_settings(), 2, outline);
    model.on_open();
    effra_ui::EnvelopeWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.windowTitle(), "Draw Desired Waveform Envelope With Mouse");

    // Down from near the top at the left to near the bottom at the right, in few moves.
    QWidget* canvas = child<QWidget>(w, EnvelopeDialog::kCanvas);
    ASSERT_NE(canvas, nullptr);
    stroke(canvas, {{a.left + 1, a.top + 10},
                    {a.left + a.width / 3, a.top + a.height / 2},
                    {a.left + a.width - 1, a.bottom() - 10}});
    EXPECT_FALSE(model.drawing());
    const std::vector<int>& curve = model.curve();
    EXPECT_EQ(curve.front(), a.height - 10);
    EXPECT_EQ(curve[static_cast<size_t>(a.width / 3)], a.height / 2);
    EXPECT_EQ(curve.back(), 10);
    for (size_t c = 1; c < curve.size(); ++c)
        ASSERT_LE(curve[c], curve[c - 1]) << "column " << c;
    QTest::mouseClick(child<QRadioButton>(w, EnvelopeDialog::kLeft), Qt::LeftButton);
    EXPECT_EQ(model.channel_mode(), 2);
    shot(w, "DRAWENVELOPE.png");

    QTest::mouseClick(child<QPushButton>(w, EnvelopeDialog::kClear), Qt::LeftButton);
    EXPECT_EQ(model.gain_at_column(a.width / 2), 1.0);
    QTest::mouseClick(child<QPushButton>(w, kel::kIdOk), Qt::LeftButton);
    EXPECT_EQ(model.end_code(), kel::kIdOk);
}

TEST_F(EffectWindowTest, CompressorGraphTakesClicksAndDrags)
{
    using effra::CompressorDialog;
    CompressorDialog model(effra::gain_settings(), 32767);
    model.on_open();
    effra_ui::CompressorWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.windowTitle(), "Compress / Expand Waveform");
    QWidget* graph = child<QWidget>(w, CompressorDialog::kGraph);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->size(), QSize(effra::kGraphWidth, effra::kGraphHeight));
    EXPECT_EQ(model.points().size(), 2u); // the corners

    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_EQ(model.points().size(), 3u);
    // Dragged up, to a louder output.
    stroke(graph, {{201, 151}, {205, 100}, {205, 60}});
    EXPECT_EQ(model.points()[2], (effra::GraphPoint{205, 60}));
    EXPECT_EQ(child<QLabel>(w, CompressorDialog::kLevels)->text(),
              QString::fromStdString(model.levels_text()));
    EXPECT_TRUE(child<QLabel>(w, CompressorDialog::kRatio)->text().endsWith("Compress"));
    // The right corner moves only up and down.
    stroke(graph, {{effra::kGraphWidth - 4, 5}, {300, 80}});
    EXPECT_EQ(model.points()[1], (effra::GraphPoint{effra::kGraphWidth - 3, 80}));
    child<QSpinBox>(w, CompressorDialog::kAttackField)->setValue(40);
    EXPECT_EQ(model.attack(), 40);
    shot(w, "CONTROLPOINTSENVELOPE.png");

    QTest::mouseClick(child<QPushButton>(w, CompressorDialog::kClear), Qt::LeftButton);
    EXPECT_EQ(model.points(), effra::corner_points());
    EXPECT_TRUE(child<QLabel>(w, CompressorDialog::kLevels)->text().isEmpty());
    QTest::mouseClick(child<QPushButton>(w, kel::kIdOk), Qt::LeftButton);
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_EQ(effra::gain_settings().table.size(), 32769u);
}

TEST_F(EffectWindowTest, SpatialDialogSetsTypeDelayPositionAndInversion)
{
    using effra::SpatialDialog;
    SpatialDialog model(effra::spatial_settings());
    int code = 0;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), "Spatial Localization");
        auto* delay = child<QSlider>(*w, SpatialDialog::kDelaySlider);
        EXPECT_EQ(delay->value(), 97);
        EXPECT_EQ(child<QLabel>(*w, SpatialDialog::kDelayText)->text(), "4 ms");
        EXPECT_TRUE(child<QRadioButton>(*w, SpatialDialog::kFarRight)->isChecked());
        QTest::mouseClick(child<QRadioButton>(*w, SpatialDialog::kInBetween), Qt::LeftButton);
        auto* fader = child<QSlider>(*w, SpatialDialog::kPositionFader);
        fader->setFocus();
        QTest::keyClick(fader, Qt::Key_Home); // the left end is the left side
        delay->setFocus();
        QTest::keyClick(delay, Qt::Key_Up);
        QTest::mouseClick(child<QCheckBox>(*w, SpatialDialog::kInvertRight), Qt::LeftButton);
        child<QSpinBox>(*w, SpatialDialog::kRateField)->setValue(25);
        EXPECT_EQ(child<QLabel>(*w, SpatialDialog::kDelayText)->text(), "5 ms");
        shot(*w, "SPATIALLOCALIZATION.png");
        QTest::mouseClick(child<QPushButton>(*w, kel::kIdOk), Qt::LeftButton);
    });
    code = run_spatial_dialog(model, nullptr);
    EXPECT_EQ(code, kel::kIdOk);
    const effra::SpatialSettings& s = effra::spatial_settings();
    EXPECT_EQ(s.type, effra::Placement::InBetween);
    EXPECT_EQ(s.position, 100);
    EXPECT_EQ(s.delay_ms, 5);
    EXPECT_EQ(s.invert_right, 1);
    EXPECT_EQ(s.invert_left, 0);
    EXPECT_EQ(s.rate_tenths, 25);
}

TEST_F(EffectWindowTest, TonesDialogFollowsWarbleSwapAndItsFaders)
{
    using effra::TonesDialog;
    TonesDialog model(effra::tone_settings(), 2, 44100);
    model.on_open();
    effra_ui::TonesWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.windowTitle(), "Tones and Special Effects");
    EXPECT_EQ(w.findChildren<QSlider*>().size(), 15);
    QSlider* final1 = child<QSlider>(w, TonesDialog::kHarmonicFinal[0]);
    EXPECT_FALSE(final1->isEnabled()); // Constant
    EXPECT_FALSE(child<QCheckBox>(w, TonesDialog::kSwap)->isEnabled());

    // A typed frequency moves its fader; the fader's top is the highest frequency.
    child<QSpinBox>(w, 521)->setValue(1000);
    EXPECT_EQ(model.value(TonesDialog::kFrequencyInitial), 1000);
    EXPECT_EQ(child<QSlider>(w, TonesDialog::kFrequencyInitial)->value(), 22050 + 1 - 1000);
    QSlider* volume = child<QSlider>(w, TonesDialog::kVolumeLeft);
    volume->setFocus();
    QTest::keyClick(volume, Qt::Key_Up);
    EXPECT_EQ(model.value(TonesDialog::kVolumeLeft), 51);
    EXPECT_EQ(child<QLabel>(w, 530)->text(), "51%");

    QTest::mouseClick(child<QRadioButton>(w, TonesDialog::kWarble), Qt::LeftButton);
    EXPECT_TRUE(final1->isEnabled());
    QTest::mouseClick(child<QCheckBox>(w, TonesDialog::kSwap), Qt::LeftButton);
    EXPECT_EQ(model.value(TonesDialog::kHarmonicInitial[0]), 0);
    EXPECT_EQ(model.value(TonesDialog::kHarmonicFinal[0]), 99);
    EXPECT_EQ(final1->value(), 0); // 99 at the top
    EXPECT_EQ(child<QLabel>(w, 537)->text(), "99%");
    child<QComboBox>(w, TonesDialog::kType)->setCurrentIndex(3);
    EXPECT_EQ(model.type_choice(), 3);
    shot(w, "TonesAndEffects.png");

    QTest::mouseClick(child<QPushButton>(w, kel::kIdOk), Qt::LeftButton);
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_EQ(effra::tone_settings().wave, 3);

    // A mono file: the channel buttons are hidden.
    TonesDialog mono(effra::tone_settings(), 1, 8000);
    mono.on_open();
    effra_ui::TonesWindow m(mono, nullptr);
    m.show();
    EXPECT_FALSE(child<QRadioButton>(m, TonesDialog::kBoth)->isVisible());
    EXPECT_EQ(child<QSpinBox>(m, 521)->maximum(), 4000);
}

} // namespace
