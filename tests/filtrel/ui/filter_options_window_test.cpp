// The "Filter Options" widgets on a real (off-screen) Qt: they follow the model, their
// events reach it, and a screenshot shows how the dialog looks.
#include "filtrel/filter_options_dialog.h"
#include "filtrel/ui/filter_options_ui.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <cstdlib>

class FilterWindowTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        g_filter = FilterSettings();
    }
    static std::string shot(const std::string& name)
    {
        return std::string(KELVARA_SHOT_DIR) + "/" + name;
    }
};

TEST_F(FilterWindowTest, ControlsFollowTheModelAndASweepScreenshotIsSaved)
{
    g_filter.frequency_step = 180;
    g_filter.frequency = 1800.0f;
    g_filter.width_step = 600;
    g_filter.width = 600.0f;
    FilterOptionsDialog model(g_filter, 44100, 2, program + "KVSFILTR.INI");
    model.on_open();
    model.show_values();
    FilterOptionsWindow window(model, nullptr);
    window.show();

    auto* band = qobject_cast<QRadioButton*>(window.control(kFilterBandPass));
    auto* low = qobject_cast<QRadioButton*>(window.control(kFilterLowPass));
    auto* hash = qobject_cast<QRadioButton*>(window.control(kFilterHash));
    auto* sweep = qobject_cast<QCheckBox*>(window.control(filter_dialog::kSweepBox));
    auto* freq = qobject_cast<QSlider*>(window.control(filter_dialog::kFrequencySlider));
    auto* start = qobject_cast<QSlider*>(window.control(filter_dialog::kStartSlider));
    auto* field = qobject_cast<QLabel*>(window.control(filter_dialog::kFrequencyField));
    ASSERT_TRUE(band && low && hash && sweep && freq && start && field);
    EXPECT_EQ(window.windowTitle(), "Filter Options");
    EXPECT_TRUE(band->isChecked());
    EXPECT_EQ(freq->maximum(), 4410);
    EXPECT_EQ(freq->value(), 180); // the top is the largest value
    EXPECT_EQ(model.frequency.position, 4410 - 180);
    EXPECT_EQ(field->text(), " 1.80");
    EXPECT_FALSE(start->isEnabled());
    ASSERT_FALSE(model.plot.curve.empty());
    EXPECT_EQ(model.plot.frequency_labels.back().text, "44.1 kHz");

    // A slider moved by the user changes the setting; Hash turns every slider off.
    freq->setValue(250);
    EXPECT_EQ(model.frequency.position, 4410 - 250);
    EXPECT_EQ(g_filter.frequency, 2500.0f);
    EXPECT_EQ(field->text(), " 2.50");
    hash->click();
    EXPECT_EQ(g_filter.type, kFilterHash);
    EXPECT_FALSE(freq->isEnabled());
    low->click();
    EXPECT_TRUE(freq->isEnabled());
    QApplication::processEvents();
    ASSERT_TRUE(window.grab().save(QString::fromStdString(shot("filter_options_lowpass.png"))));

    // Band pass with the sweep from 1 kHz to 6 kHz.
    band->click();
    sweep->click();
    EXPECT_EQ(g_filter.sweep, 1);
    EXPECT_TRUE(start->isEnabled());
    start->setValue(100);
    EXPECT_EQ(g_filter.sweep_start, 1000.0f);
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    EXPECT_GE(picture.width(), 500);
    ASSERT_TRUE(picture.save(QString::fromStdString(shot("filter_options_sweep.png"))));
}

TEST_F(FilterWindowTest, RunningTheDialogEndsWithTheButtonPressed)
{
    FilterOptionsDialog model(g_filter, 22050, 1, program + "KVSFILTR.INI");
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<FilterOptionsWindow*>(w))
                if (auto* low = qobject_cast<QRadioButton*>(d->control(kFilterLowPass))) {
                    low->click();
                    qobject_cast<QAbstractButton*>(d->control(filter_dialog::kOk))->click();
                }
    });
    EXPECT_EQ(run_filter_options_dialog(model, nullptr), 1);
    EXPECT_EQ(g_filter.type, kFilterLowPass);
    EXPECT_EQ(g_filter.type_text, "LOPASS");
}

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
