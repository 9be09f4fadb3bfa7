// The Qt face of the UI services: boxes, the progress window, dialogs, file filters.
#include "editor/ui/main_frame.h"
#include "editor/ui/qt_ui.h"
#include "tests/app/app_fixture.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {
class UnknownDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "NOSUCHDIALOG"; }
    void on_open() override { opened = true; }
    bool opened = false;
};

class ScriptedDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "TESTDIALOG"; }
    int value = 0;
};
} // namespace

TEST_F(AppTest, MessageBoxesCarryTheirCaptionIconAndButtons)
{
    start();
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    when_modal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        box->button(QMessageBox::No)->click();
    });
    const int r = kel::ui().message_box("OK to close take.wav?", "Kelvara",
                                        kel::Buttons::YesNoCancel, kel::Icon::Question);
    EXPECT_EQ(r, kel::kIdNo);
    EXPECT_EQ(caption, "Kelvara");
    EXPECT_EQ(text, "OK to close take.wav?");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, 3);

    when_modal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(kel::ui().message_box("x", "Kelvara", kel::Buttons::OkCancel, kel::Icon::Exclamation),
              kel::kIdCancel);
}

TEST_F(AppTest, ProgressWindowSitsOverTheStatusBarAndCountsCancelPresses)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    kel::Ui& u = kel::ui();
    const long h = u.progress_open("Reading file take.wav...");
    ui::ProgressWindow* p = app_->qt_ui().progress_window();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->cancel_button()->text(), "&Cancel");
    const QPoint status_top_left = frame->statusBar()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(p->geometry().left(), status_top_left.x() + 1);
    EXPECT_EQ(p->geometry().top(), status_top_left.y());
    EXPECT_EQ(p->height(), std::max(20, frame->statusBar()->height() - 1));
    u.progress_bar(h, 40, "");
    EXPECT_EQ(p->bar()->value(), 40);
    u.progress_time_left(h, "12 sec left");
    EXPECT_EQ(p->time_left()->text(), "12 sec left");
    EXPECT_FALSE(u.progress_cancel_pressed(h));
    p->cancel_button()->click();
    EXPECT_TRUE(u.progress_cancel_pressed(h));
    EXPECT_FALSE(u.progress_cancel_pressed(h));
    // A second window replaces the first.
    const long h2 = u.progress_open("Next");
    EXPECT_FALSE(u.progress_cancel_pressed(h));
    u.progress_close(h2);
    pump();
    EXPECT_FALSE(app_->qt_ui().progress_window());
}

TEST_F(AppTest, ModalDialogsGoThroughTheRegistry)
{
    start();
    UnknownDialog unknown;
    EXPECT_EQ(kel::ui().run_modal(unknown), kel::kIdCancel);
    EXPECT_TRUE(unknown.opened);

    ui::register_dialog("TESTDIALOG", [](kel::DialogModel& m, QWidget*) {
        static_cast<ScriptedDialog&>(m).value = 7;
        m.end_dialog(1);
        return 1;
    });
    ScriptedDialog d;
    EXPECT_EQ(kel::ui().run_modal(d), 1);
    EXPECT_EQ(d.value, 7);
    EXPECT_TRUE(ui::has_dialog("LOGOBITMAP"));
    EXPECT_TRUE(ui::has_dialog("TIPOFTHEDAY"));
    EXPECT_TRUE(ui::has_dialog("CREATENEWFILE"));
}

TEST_F(AppTest, FileFiltersAndHelpContexts)
{
    EXPECT_EQ(ui::QtUi::qt_filter("Wave files (*.wav)|*.wav|All files (*.*)|*.*"),
              "Wave files (*.wav *.WAV);;All files (*)");
    start();
    kel::ui().open_help(program + "Orlo.HLP", 11504);
    ASSERT_FALSE(started.empty());
    EXPECT_NE(started.back()[0].find("xdg-open"), std::string::npos);
    EXPECT_NE(started.back()[1].find("#context-11504"), std::string::npos);
    EXPECT_EQ(app_->qt_ui().help_requests().back(), program + "Orlo.HLP#11504");
}
