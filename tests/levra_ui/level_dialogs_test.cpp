// The amplify module's dialogs as real widgets, typed into and clicked, with a
// screenshot of each in the build folder.
#include "levra/dialogs.h"
#include "levra/ui/level_dialogs.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <functional>

// Font configuration keeps a cache for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "levra_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *a;
}

class LevelDialogsTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        app();
    }

    static void shot(QWidget& w, const QString& file)
    {
        QDir().mkpath(KELVARA_SCREENSHOT_DIR);
        EXPECT_TRUE(w.grab().save(QString(KELVARA_SCREENSHOT_DIR) + "/" + file));
    }
    static void show(QWidget& w)
    {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    // Replaces the text of a spin box the way a user does: select all, type.
    static void type_into(QAbstractSpinBox* spin, const QString& text)
    {
        QLineEdit* edit = spin->findChild<QLineEdit*>();
        ASSERT_TRUE(edit);
        spin->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void click(QWidget& w, const char* name)
    {
        auto* b = w.findChild<QAbstractButton*>(name);
        ASSERT_TRUE(b) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // The module's own way of asking (a copy, kept on OK), with the Qt binder answering.
    template <class Dialog> bool ask_with(Dialog& kept, int (*binder)(kel::DialogModel&, QWidget*))
    {
        struct BinderUi : kel::HeadlessUi
        {
            int (*bind)(kel::DialogModel&, QWidget*) = nullptr;
            int run_modal(kel::DialogModel& d) override { return bind(d, nullptr); }
        } qt;
        qt.bind = binder;
        kel::set_ui(&qt);
        const bool r = ask(kept);
        kel::set_ui(&ui);
        return r;
    }
    // Runs fn on the modal dialog a binder shows, from its own event loop.
    static void when_modal(std::function<void(QWidget*)> fn)
    {
        QTimer::singleShot(50, [fn] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_TRUE(w);
            fn(w);
        });
    }
};

TEST_F(LevelDialogsTest, AmplifyTakesATypedGainInDecibelsOrPercent)
{
    AmplifyDialog model;
    levra_ui::AmplifyWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Amplify");
    EXPECT_TRUE(w.decibels_choice()->isChecked());
    EXPECT_DOUBLE_EQ(w.decibels()->value(), 3.0);
    EXPECT_FALSE(w.percent()->isEnabled());
    shot(w, "levra-amplify.png");

    type_into(w.decibels(), "-6.5");
    click(w, "ok");
    EXPECT_TRUE(model.ended());
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_TRUE(model.in_decibels);
    EXPECT_DOUBLE_EQ(model.decibels, -6.5);
    EXPECT_NEAR(model.gain(), std::pow(10.0, -6.5 / 20.0), 1e-12);

    AmplifyDialog percent;
    levra_ui::AmplifyWindow p(percent, nullptr);
    show(p);
    QTest::mouseClick(p.percent_choice(), Qt::LeftButton);
    EXPECT_TRUE(p.percent()->isEnabled());
    EXPECT_FALSE(p.decibels()->isEnabled());
    type_into(p.percent(), "250");
    click(p, "ok");
    EXPECT_FALSE(percent.in_decibels);
    EXPECT_EQ(percent.percent, 250);
    EXPECT_DOUBLE_EQ(percent.gain(), 2.5);
}

TEST_F(LevelDialogsTest, AmplifyNeverPassesAGainOutsideItsRange)
{
    AmplifyDialog model;
    model.decibels = 90.0; // from an earlier build's values, say
    model.percent = -5;
    levra_ui::AmplifyWindow w(model, nullptr);
    show(w);
    EXPECT_DOUBLE_EQ(w.decibels()->value(), 40.0);
    type_into(w.decibels(), "999");
    click(w, "ok");
    EXPECT_LE(model.decibels, 40.0);
    EXPECT_GE(model.decibels, -40.0);
    EXPECT_GE(model.percent, 0);
}

TEST_F(LevelDialogsTest, CancelEndsWithCancelAndKeepsTheLastValues)
{
    // The module runs a copy and keeps it only on OK.
    AmplifyDialog kept;
    kept.decibels = 1.5;
    when_modal([](QWidget* w) {
        auto* spin = w->findChild<QDoubleSpinBox*>("decibel_value");
        ASSERT_TRUE(spin);
        type_into(spin, "12");
        click(*w, "cancel");
    });
    EXPECT_FALSE(ask_with(kept, levra_ui::run_amplify_dialog));
    EXPECT_DOUBLE_EQ(kept.decibels, 1.5);

    when_modal([](QWidget* w) {
        type_into(w->findChild<QDoubleSpinBox*>("decibel_value"), "12");
        click(*w, "ok");
    });
    EXPECT_TRUE(ask_with(kept, levra_ui::run_amplify_dialog));
    EXPECT_DOUBLE_EQ(kept.decibels, 12.0);

    // Escape is Cancel too.
    FadeDialog fade;
    when_modal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(levra_ui::run_fade_dialog(fade, nullptr), kel::kIdCancel);
    EXPECT_EQ(fade.end_code(), kel::kIdCancel);
}

TEST_F(LevelDialogsTest, FadeChoosesDirectionAndShape)
{
    FadeDialog model;
    levra_ui::FadeWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Fade");
    EXPECT_TRUE(w.fade_in()->isChecked());
    EXPECT_TRUE(w.linear()->isChecked());
    shot(w, "levra-fade.png");
    QTest::mouseClick(w.fade_out(), Qt::LeftButton);
    QTest::mouseClick(w.logarithmic(), Qt::LeftButton);
    EXPECT_FALSE(w.fade_in()->isChecked());
    EXPECT_FALSE(w.linear()->isChecked());
    // Nothing reaches the model before OK.
    EXPECT_TRUE(model.fade_in);
    click(w, "ok");
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_FALSE(model.fade_in);
    EXPECT_TRUE(model.logarithmic);

    // And the window opens showing those.
    FadeDialog again = model;
    again.restart();
    levra_ui::FadeWindow w2(again, nullptr);
    EXPECT_TRUE(w2.fade_out()->isChecked());
    EXPECT_TRUE(w2.logarithmic()->isChecked());
}

TEST_F(LevelDialogsTest, PanSlidersAndFieldsMoveTogether)
{
    PanDialog model;
    levra_ui::PanWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Pan");
    EXPECT_EQ(w.start()->value(), -100);
    EXPECT_EQ(w.end_slider()->value(), 100);
    shot(w, "levra-pan.png");
    type_into(w.start(), "-30");
    EXPECT_EQ(w.start_slider()->value(), -30);
    w.end_slider()->setFocus();
    QTest::keyClick(w.end_slider(), Qt::Key_Home);
    EXPECT_EQ(w.end()->value(), -100);
    type_into(w.end(), "40");
    click(w, "ok");
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_EQ(model.start_position, -30);
    EXPECT_EQ(model.end_position, 40);
}

TEST_F(LevelDialogsTest, ModulateTakesRateAndDepth)
{
    ModulateDialog model;
    levra_ui::ModulateWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Modulate");
    EXPECT_DOUBLE_EQ(w.rate()->value(), 5.0);
    EXPECT_EQ(w.depth()->value(), 50);
    shot(w, "levra-modulate.png");
    type_into(w.rate(), "2.5");
    type_into(w.depth(), "80");
    // OK takes what is typed without Enter.
    click(w, "ok");
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_DOUBLE_EQ(model.rate_hz, 2.5);
    EXPECT_EQ(model.depth_percent, 80);
}

TEST_F(LevelDialogsTest, BindersRefuseAModelOfAnotherKind)
{
    PanDialog pan;
    EXPECT_EQ(levra_ui::run_modulate_dialog(pan, nullptr), kel::kIdCancel);
    EXPECT_TRUE(pan.ended());
    EXPECT_EQ(pan.start_position, -100);
}

} // namespace
