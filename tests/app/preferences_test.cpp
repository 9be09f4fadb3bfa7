// The "Preferences" sheet and "Addditional File Information" as real widgets: what each
// page writes to Orlo.ini and shows again, and INFO items typed in the dialog as an
// independent reader finds them in the saved file.
#include "common/child_frame.h"
#include "editor/app/app_profile.h"
#include "editor/app/app_state.h"
#include "editor/app/preferences.h"
#include "editor/files/info_chunk.h"
#include "editor/ui/info_edit_window.h"
#include "editor/ui/preferences_sheet.h"
#include "editor/ui/save_waveform_dialog.h"
#include "editor/view/time_text.h"
#include "editor/view/view_colors.h"
#include "platform/profile.h"
#include "tests/app/app_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string run(const std::string& cmd)
{
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

template <class T = QAbstractButton> T* at(ui::PreferencesSheet& s, int page, int id)
{
    s.tabs()->setCurrentIndex(page);
    QCoreApplication::processEvents();
    auto* w = qobject_cast<T*>(s.control(page, id));
    EXPECT_TRUE(w) << "page " << page << " control " << id;
    return w;
}

// On the indicator of a check box or radio button, which may be wider than its text.
void click(QWidget* w)
{
    ASSERT_TRUE(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(8, w->width() / 2), w->height() / 2));
}

void type_into(QLineEdit* edit, const QString& text)
{
    ASSERT_TRUE(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void shot(QWidget& w, const QString& file)
{
    const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR");
    if (!dir || !*dir)
        return;
    QDir().mkpath(dir);
    EXPECT_TRUE(w.grab().save(QString(dir) + "/" + file));
}

} // namespace

class PreferencesTest : public AppTest
{
};

TEST_F(PreferencesTest, ItemsTypedInTheDialogAreWhatFfprobeReadsFromTheSavedFile)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    ASSERT_TRUE(app::set_current_file(make_wave("take.wav")));
    frame->on_command(2002);
    CChildFrame* doc = documents::active();
    ASSERT_TRUE(doc);

    bool filled = false;
    auto fill = [&](QWidget* m) {
        auto* w = qobject_cast<ui::InfoEditWindow*>(m);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->windowTitle(), "Addditional File Information");
        QApplication::setActiveWindow(w);
        type_into(w->field(1001), "Ann Artist");
        type_into(w->field(1004), "(c) 2026 Ann");
        type_into(w->field(1003), "First take");
        // The title is not one of the six fields: it is chosen in the list.
        emit w->item_list()->activated(14);
        EXPECT_EQ(w->text_field()->text(), "");
        type_into(w->text_field(), "Song Title");
        w->field(1005)->setFocus();
        EXPECT_EQ(w->item_list()->itemText(1).toStdString(), "IART* Artist                   ");
        EXPECT_EQ(w->item_list()->itemText(14).left(6), "INAM* ");
        EXPECT_EQ(w->item_list()->itemText(2).left(6), "ICMS  ");
        EXPECT_EQ(w->description()->toPlainText(), "The title of the subject of the file.");
        shot(*w, "orlo-info-dialog.png");
        click(w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        filled = true;
    };
    when_modal([&](QWidget* m) {
        auto* save = qobject_cast<ui::SaveWaveformWindow*>(m);
        ASSERT_TRUE(save);
        ASSERT_TRUE(save->comments_button()->isEnabled());
        when_modal(fill);
        click(save->comments_button());
        auto* name = save->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(name);
        name->setFocus();
        QTest::keyClicks(name, "tagged.wav");
        QTest::keyClick(name, Qt::Key_Return);
    });
    frame->on_command(11203);
    ASSERT_TRUE(filled);
    const std::string file = root + "tagged.wav";
    ASSERT_EQ(access(file.c_str(), R_OK), 0);
    // The document keeps what was saved with it.
    EXPECT_EQ(info_state_of(*doc).current_text(14), "Song Title");

    if (run("command -v ffprobe").empty())
        GTEST_SKIP() << "ffprobe not installed";
    EXPECT_EQ(run("ffprobe -v error -show_entries format_tags=artist,title,copyright,comment "
                  "-of default=nw=1 " +
                  file + " | sort"),
              "TAG:artist=Ann Artist\nTAG:comment=First take\nTAG:copyright=(c) 2026 "
              "Ann\nTAG:title=Song Title\n");
    // sox's wave reader skips these ids (it knows only ICRD and ISFT), so from sox we ask
    // that the list leaves the audio as it was.
    if (!run("command -v soxi").empty())
        EXPECT_EQ(run("soxi -s " + file), "4410\n");
}

TEST_F(PreferencesTest, EveryPageRoundTripsItsValuesThroughTheProfile)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    kel::Ui* qt = &kel::ui();
    kel::set_ui(&ui); // boxes and file dialogs answered here
    const std::string f = kel::profile::app_profile();
    auto value = [&](const char* section, const char* key) { return profile_value(section, key); };

    {
        ui::PreferencesSheet s(frame);
        s.show();
        QStringList titles;
        for (int i = 0; i < s.tabs()->count(); ++i)
            titles << s.tabs()->tabText(i);
        EXPECT_EQ(titles.join("|"),
                  "Colors|Time Format|Options|Startup|Toolbars|Wave Devices|Midi Devices");
        // Colors: the grid takes Dark Green at once, written only by "&Save".
        click(at(s, 0, 300));
        click(at<QWidget>(s, 0, 313));
        EXPECT_EQ(view_colors().grid, 0x008000u);
        EXPECT_EQ(value("Colors", "Grid color"), "<missing>");
        click(at(s, 0, 317));
        EXPECT_EQ(value("Colors", "Grid color"), "Dark Green");
        EXPECT_EQ(value("Colors", "Data color"), "Dark Blue");
        // Time format: SMPTE 30 drop, at once.
        click(at(s, 1, 442));
        EXPECT_EQ(time_format(), 30);
        // Options, undo levels beside the undo option.
        click(at(s, 2, 1812));
        click(at(s, 2, 270));
        s.undo_levels()->setValue(7);
        // Startup.
        click(at(s, 3, 435));
        // Wave and MIDI devices: the virtual ones, written by "&Save default".
        auto* wave_in = at<QComboBox>(s, 5, 394);
        EXPECT_EQ(wave_in->itemText(0), "Virtual audio input");
        EXPECT_EQ(at<QComboBox>(s, 5, 401)->itemText(0), "Virtual audio device");
        s.show_device_characteristics();
        EXPECT_EQ(s.device_text(5, 401), "Stereo\n16 bits\n44.100 kHz\nVersion: 1.0");
        click(at(s, 5, 913));
        EXPECT_EQ(value("Preferences", "Default Wave output device"), "0");
        EXPECT_EQ(at<QComboBox>(s, 6, 394)->itemText(0), "Virtual MIDI input");
        EXPECT_EQ(at<QComboBox>(s, 6, 401)->itemText(0), "MIDI Mapper");
        click(at(s, 6, 913));
        EXPECT_EQ(value("Preferences", "Default Midi output device"), "0");
        EXPECT_EQ(value("Preferences", "Time format"), "<missing>");
        click(s.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
    }
    EXPECT_EQ(value("Preferences", "Time format"), "30");
    EXPECT_EQ(value("Preferences", "Zoomed initial display"), "yes");
    EXPECT_EQ(value("Preferences", "Tip of the day"), "yes");
    EXPECT_EQ(value("Preferences", "Backup for undo"), "yes");
    EXPECT_EQ(value("Preferences", "Show logo"), "yes");
    EXPECT_EQ(value("Preferences", "Undo levels"), "7");

    // What the program reads at its next start shows again; both SMPTE 30 buttons store 30.
    app::read_profile_settings();
    load_time_format();
    reload_view_colors();
    {
        ui::PreferencesSheet s(frame);
        s.show();
        EXPECT_TRUE(at(s, 1, 441)->isChecked());
        EXPECT_TRUE(at(s, 1, 442)->isChecked());
        EXPECT_FALSE(at(s, 1, 124)->isChecked());
        EXPECT_TRUE(at(s, 2, 1812)->isChecked());
        EXPECT_TRUE(at(s, 2, 270)->isChecked());
        EXPECT_EQ(s.undo_levels()->value(), 7);
        EXPECT_TRUE(at(s, 3, 435)->isChecked());
        EXPECT_EQ(view_colors().grid, 0x008000u);
        // Cancel puts back what took effect at once and was not written.
        click(at(s, 1, 124));
        click(at(s, 0, 300));
        click(at<QWidget>(s, 0, 301));
        EXPECT_EQ(time_format(), 1);
        click(at(s, 2, 437));
        click(s.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel));
    }
    EXPECT_EQ(time_format(), 30);
    EXPECT_EQ(view_colors().grid, 0x008000u);
    EXPECT_EQ(value("Preferences", "Backup for undo"), "yes");

    // A colour name the table does not hold, as typed by hand, leaves the built-in colour.
    kel::profile::write_string("Colors", "Grid color", "Dark  Green", f);
    kel::profile::write_string("Colors", "Bkgnd color", "dark green", f);
    EXPECT_EQ(load_view_colors().grid, 0xFF00FFu);
    EXPECT_EQ(load_view_colors().background, 0x00FFFFu);

    // Toolbars act and write at once: hiding the spectrum bar clears "&Default setup",
    // which brings every bar back and forgets the saved layout.
    {
        ui::PreferencesSheet s(frame);
        s.show();
        auto* default_setup = at<QCheckBox>(s, 4, 913);
        default_setup->setChecked(true);
        click(at(s, 4, 912));
        EXPECT_TRUE(frame->bar(10)->isHidden());
        EXPECT_FALSE(default_setup->isChecked());
        EXPECT_EQ(value("General-Bar3", "Visible"), "0");
        click(default_setup);
        EXPECT_FALSE(frame->bar(10)->isHidden());
        EXPECT_TRUE(at<QCheckBox>(s, 4, 912)->isChecked());
        EXPECT_EQ(value("General-Bar3", "Visible"), "<missing>");
        EXPECT_EQ(value("General-Bar3", "Floating"), "<missing>");
        EXPECT_EQ(value("Preferences", "Big volume indicators"), "yes");
        click(at(s, 4, 23));
        EXPECT_EQ(value("Preferences", "Big volume indicators"), "no");
        EXPECT_EQ(ui.boxes.back().text, "Please restart Kelvara to show new size");
        click(at(s, 4, 22));
        EXPECT_FALSE(frame->tool_tips());
        EXPECT_EQ(value("General", "ToolTips"), "0");
        click(s.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel));
    }
    EXPECT_EQ(value("General", "ToolTips"), "0");

    // The data directory: a folder that is missing or cannot be written is refused.
    const std::string before = value("Data directory", "Last used directory");
    ui.file_dialog_answers = {root + "nowhere/Directory"};
    EXPECT_FALSE(app::choose_data_directory());
    EXPECT_EQ(ui.boxes.back().text.rfind("The folder " + root + "nowhere/ does not exist.", 0), 0u);
    const std::string locked = root + "locked/";
    mkdir(locked.c_str(), 0555);
    if (geteuid() != 0) {
        ui.file_dialog_answers = {locked + "Directory"};
        EXPECT_FALSE(app::choose_data_directory());
        EXPECT_NE(ui.boxes.back().text.find("cannot be written"), std::string::npos);
    }
    EXPECT_EQ(value("Data directory", "Last used directory"), before);
    mkdir((root + "work").c_str(), 0755);
    ui.file_dialog_answers = {root + "work/Directory"};
    EXPECT_TRUE(app::choose_data_directory());
    EXPECT_EQ(value("Data directory", "Last used directory"), root + "work/");
    EXPECT_EQ(ui.file_dialogs.back().title, "Choose Desired Directory");
    EXPECT_EQ(ui.file_dialogs.back().file_name, "Directory");
    kel::set_ui(qt);
}

// Pictures of every page for people to look at (KELVARA_SCREENSHOT_DIR).
TEST_F(PreferencesTest, Screenshots)
{
    if (!std::getenv("KELVARA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "no KELVARA_SCREENSHOT_DIR";
    start();
    ui::PreferencesSheet s(app_->main_frame());
    s.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
    s.show_device_characteristics();
    const char* names[] = {"colors",   "time-format",  "options",     "startup",
                           "toolbars", "wave-devices", "midi-devices"};
    for (int i = 0; i < s.tabs()->count(); ++i) {
        s.tabs()->setCurrentIndex(i);
        pump(20);
        shot(s, QString("orlo-preferences-%1.png").arg(names[i]));
    }
    InfoState state;
    state.set_text(1, "Ann Artist");
    state.set_text(3, "A comment that is rather long, to see how the field takes it");
    InfoEditDialog model(state);
    ui::InfoEditWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    pump(200);
    shot(w, "orlo-info-dialog-alone.png");
}
