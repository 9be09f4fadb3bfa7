// The equalizer, flange, pitch and tempo windows on a real (off-screen) Qt: their faders
// and buttons reach the models, the fields and graph follow, and each is photographed.
#include "filtrel/equalizer_dialog.h"
#include "filtrel/flange_dialog.h"
#include "filtrel/pitch_dialogs.h"
#include "filtrel/ui/equalizer_window.h"
#include "filtrel/ui/flange_window.h"
#include "filtrel/ui/pitch_windows.h"
#include "tests/support/test_env.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>

class DspWindowTest : public TestEnv
{
  protected:
    static void shoot(QWidget& w, const std::string& name)
    {
        QApplication::processEvents();
        const QPixmap picture = w.grab();
        EXPECT_GT(picture.width(), 200);
        EXPECT_TRUE(
            picture.save(QString::fromStdString(std::string(KELVARA_SHOT_DIR) + "/" + name)));
    }
    template <class T> static T* find(filtrel_ui::ModelWindow& w, int id)
    {
        return qobject_cast<T*>(w.control(id));
    }
};

TEST_F(DspWindowTest, EqualizerFadersMoveTheBandsAndTheGraphFollows)
{
    EqualizerSettings bands;
    EqualizeDialog model(bands, 44100, program + "KVSEQUAL.INI");
    model.on_open();
    filtrel_ui::EqualizerWindow window(model, nullptr);
    window.show();
    using namespace equalize_dialog;
    EXPECT_EQ(window.windowTitle(), "Four Channel Parametric Equalizer");
    auto* gain = find<QSlider>(window, kGainSlider[0]);
    auto* field = find<QLabel>(window, kGainField[0]);
    ASSERT_TRUE(gain && field);
    EXPECT_EQ(gain->value(), 30) << "the model's position";
    EXPECT_EQ(field->text(), " 6.0 dB");
    gain->setValue(0);
    EXPECT_EQ(bands.bands[0].gain, 60);
    EXPECT_EQ(field->text(), "12.0 dB");
    EXPECT_EQ(model.graph.bands[0].label, "Vol x  4.0");
    find<QSlider>(window, kFrequencySlider[2])->setValue(22050 - 12000);
    EXPECT_EQ(bands.bands[2].frequency, 12000);
    EXPECT_EQ(find<QLabel>(window, kFrequencyField[2])->text(), "12000 Hz");
    find<QSlider>(window, kWidthSlider[1])->setValue(1000 - 300);
    EXPECT_EQ(find<QLabel>(window, kWidthField[1])->text(), "300 Hz");
    shoot(window, "equalize.png");
    find<QAbstractButton>(window, kExit)->click();
    EXPECT_EQ(model.end_code(), 2);
}

TEST_F(DspWindowTest, FlangeFadersSetTheirParameters)
{
    FlangeSettings settings;
    FlangeDialog model(settings, program + "KVSFLNGE.INI");
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<filtrel_ui::FlangeWindow*>(w)) {
                auto* mix = qobject_cast<QSlider*>(d->control(flange_dialog::kSlider[4]));
                mix->setValue(130); // -30 %
                auto* field = qobject_cast<QLabel*>(d->control(flange_dialog::kField[4]));
                EXPECT_EQ(field->text(), "-30");
                auto* delay = qobject_cast<QSlider*>(d->control(flange_dialog::kSlider[0]));
                EXPECT_EQ(delay->value(), 94);
                shoot(*d, "flange.png");
                qobject_cast<QAbstractButton*>(d->control(flange_dialog::kOk))->click();
            }
    });
    EXPECT_EQ(run_flange_dialog(model, nullptr), 1);
    EXPECT_EQ(settings.mix_percent, -30);
}

TEST_F(DspWindowTest, PitchWindowsChooseTheMethodTheKeyAndTheCharacteristic)
{
    HowToChangePitchDialog how;
    how.on_open();
    filtrel_ui::HowToChangePitchWindow choice(how, nullptr);
    choice.show();
    EXPECT_TRUE(find<QAbstractButton>(choice, passage_dialog::kFastMethod)->isChecked());
    find<QAbstractButton>(choice, passage_dialog::kChangeTempo)->click();
    shoot(choice, "how_to_change_pitch.png");
    find<QAbstractButton>(choice, passage_dialog::kOk)->click();
    EXPECT_EQ(how.end_code(), passage_dialog::kChangeTempo);

    PitchSettings settings;
    KeyboardDialog keys(settings);
    keys.on_open();
    filtrel_ui::KeyboardWindow keyboard(keys, nullptr);
    keyboard.show();
    auto* shown = find<QLabel>(keyboard, passage_dialog::kKeyLabel);
    EXPECT_EQ(shown->text(), " No change");
    find<QAbstractButton>(keyboard, 624)->click(); // the sixth sharp, a black key
    EXPECT_EQ(shown->text(), " 6 sharps");
    EXPECT_TRUE(find<QAbstractButton>(keyboard, 624)->isChecked());
    EXPECT_FALSE(find<QAbstractButton>(keyboard, 609)->isChecked());
    find<QCheckBox>(keyboard, passage_dialog::kGlideUp)->click();
    find<QCheckBox>(keyboard, passage_dialog::kGlideDown)->click();
    EXPECT_FALSE(find<QCheckBox>(keyboard, passage_dialog::kGlideUp)->isChecked());
    EXPECT_EQ(settings.glide_down, 1);
    EXPECT_EQ(settings.glide_up, 0);
    shoot(keyboard, "keyboard.png");
    find<QAbstractButton>(keyboard, passage_dialog::kOk)->click();
    EXPECT_EQ(keys.end_code(), 106);

    for (auto kind : {PassageSliderDialog::Kind::Tempo, PassageSliderDialog::Kind::Pitch,
                      PassageSliderDialog::Kind::Quantize}) {
        PassageSliderDialog model(kind, settings);
        model.on_open();
        filtrel_ui::PassageSliderWindow window(model, nullptr);
        window.show();
        auto* slider = find<QSlider>(window, passage_dialog::kSlider);
        ASSERT_TRUE(slider);
        slider->setValue(100 - 60);
        EXPECT_EQ(model.value(), 60);
        EXPECT_EQ(find<QLabel>(window, passage_dialog::kField)->text(), "60%");
        if (kind != PassageSliderDialog::Kind::Quantize) {
            find<QAbstractButton>(window, passage_dialog::kRising)->click();
            EXPECT_EQ(settings.variable, 1);
            EXPECT_EQ(settings.rising, 1);
        } else {
            EXPECT_EQ(window.control(passage_dialog::kRising), nullptr);
        }
        shoot(window, std::string(model.template_name()) + ".png");
    }
    EXPECT_EQ(settings.tempo_value, 60);
    EXPECT_EQ(settings.pitch_value, 60);
    EXPECT_EQ(settings.quantize_value, 60);
}
