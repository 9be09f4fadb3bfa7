// The echo and reverb dialogs as real widgets under the offscreen platform, with a
// screenshot of each in the build folder.
#include "effra/echo_dialog.h"
#include "effra/ui/echo_dialog_window.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstdlib>

// Font configuration keeps a cache for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

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

class EchoWindowTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        app();
        effra::delay_settings() = effra::DelaySettings();
    }

    static QString shot(QWidget& w, const QString& file)
    {
        QDir().mkpath(KELVARA_SCREENSHOT_DIR);
        const QString path = QString(KELVARA_SCREENSHOT_DIR) + "/" + file;
        EXPECT_TRUE(w.grab().save(path));
        return path;
    }

    template <class T> static T* child(QWidget& w, int id)
    {
        return w.findChild<T*>(QString::number(id));
    }
};

TEST_F(EchoWindowTest, EchoDialogShowsUpsideDownSlidersAndDrivesItsModel)
{
    using effra::EchoDialog;
    EchoDialog model(effra::echo_effect(), effra::delay_settings(), 2);
    model.on_open();
    effra_ui::EchoParametersWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    EXPECT_EQ(w.windowTitle(), "Set Echo Parameters");
    QSlider* delay = child<QSlider>(w, EchoDialog::kDelaySlider);
    QSlider* decay = child<QSlider>(w, EchoDialog::kDecaySlider);
    ASSERT_TRUE(delay && decay);
    EXPECT_EQ(delay->minimum(), 10);
    EXPECT_EQ(delay->maximum(), 500);
    EXPECT_EQ(delay->value(), 500 + 10 - 250);
    EXPECT_EQ(decay->minimum(), 20);
    EXPECT_EQ(decay->maximum(), 90);
    EXPECT_EQ(decay->value(), 90 + 20 - 50);
    EXPECT_EQ(child<QLabel>(w, EchoDialog::kDelayText)->text(), "250 ms");
    EXPECT_EQ(child<QLabel>(w, EchoDialog::kDecayText)->text(), "50%");
    EXPECT_TRUE(child<QRadioButton>(w, EchoDialog::kBothChannels)->isVisible());
    EXPECT_TRUE(child<QRadioButton>(w, EchoDialog::kBothChannels)->isChecked());
    EXPECT_TRUE(child<QRadioButton>(w, EchoDialog::kInsideSelection)->isChecked());

    // A click above the handle pages towards the top, which is the largest value.
    QTest::mouseClick(delay, Qt::LeftButton, {}, QPoint(delay->width() / 2, 2));
    EXPECT_EQ(model.delay_ms(), 250 + delay->pageStep());
    QTest::mouseClick(delay, Qt::LeftButton, {}, QPoint(delay->width() / 2, delay->height() - 2));
    EXPECT_EQ(model.delay_ms(), 250);
    delay->setFocus();
    QTest::keyClick(delay, Qt::Key_Home);
    EXPECT_EQ(delay->value(), 10);
    EXPECT_EQ(model.delay_ms(), 500);
    EXPECT_EQ(child<QLabel>(w, EchoDialog::kDelayText)->text(), "500 ms");
    // Up raises the value too.
    decay->setFocus();
    QTest::keyClick(decay, Qt::Key_Up);
    EXPECT_EQ(model.decay_percent(), 51);
    EXPECT_EQ(child<QLabel>(w, EchoDialog::kDecayText)->text(), "51%");

    QTest::mouseClick(child<QRadioButton>(w, EchoDialog::kRightChannel), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(w, EchoDialog::kOutsideSelection), Qt::LeftButton);
    EXPECT_EQ(model.channel_choice(), 3);
    EXPECT_TRUE(model.outside());
    shot(w, "NewEcho.png");

    // Save puts the values in the "Echo" section and asks for a name (here: Cancel).
    QTest::mouseClick(child<QPushButton>(w, EchoDialog::kSave), Qt::LeftButton);
    EXPECT_EQ(kel::profile::read_string("Echo", "Echo Values1", "", program + "KVSECHO.INI"),
              "500 51 3 1");
    ASSERT_FALSE(ui.dialogs_run.empty());
    EXPECT_EQ(ui.dialogs_run.back(), "SAVE");
    EXPECT_FALSE(model.ended());
    QTest::mouseClick(child<QPushButton>(w, EchoDialog::kHelp), Qt::LeftButton);
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_NE(ui.help[0].find("#11504"), std::string::npos);

    QTest::mouseClick(child<QPushButton>(w, kel::kIdOk), Qt::LeftButton);
    EXPECT_TRUE(model.ended());
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_EQ(w.result(), kel::kIdOk);
}

TEST_F(EchoWindowTest, ReverbDialogOnAMonoFileHidesTheChannelButtons)
{
    using effra::EchoDialog;
    effra::delay_settings().channel_choice = 2;
    EchoDialog model(effra::reverb_effect(), effra::delay_settings(), 1);
    int code = 0;
    // Through the entry the editor registers; Escape ends it as Cancel.
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), "Set Reverb Parameters");
        QSlider* delay = w->findChild<QSlider*>(QString::number(EchoDialog::kDelaySlider));
        EXPECT_EQ(delay->maximum(), 100);
        EXPECT_EQ(delay->value(), 100 + 10 - 40);
        EXPECT_FALSE(
            w->findChild<QRadioButton*>(QString::number(EchoDialog::kBothChannels))->isVisible());
        shot(*w, "NewReverb.png");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    code = run_echo_dialog(model, nullptr);
    EXPECT_EQ(code, kel::kIdCancel);
    EXPECT_EQ(model.end_code(), kel::kIdCancel);
    EXPECT_EQ(effra::delay_settings().channel_choice, 1);
}

} // namespace
