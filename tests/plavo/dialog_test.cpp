// The real main dialog under Qt (offscreen): its controls, tool tips, drawn displays, the
// request socket, and a screenshot kept under the build folder.
#ifdef PLAVO_HAVE_UI
#include "plavo/playlist.h"
#include "plavo/ui/bitmaps.h"
#include "plavo/ui/main_dialog.h"
#include "plavo/ui/qt_ui.h"
#include "plavo/ui/request_server.h"
#include "plavo/ui/widgets.h"
#include "tests/plavo/plavo_env.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace plavo;

namespace {

// One application for the whole program, gone before the program ends so that Qt's
// per-thread caches are freed while their thread still runs.
class QtEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete app;
        app = nullptr;
    }
    static inline int argc = 1;
    static inline char name[] = "plavo_tests";
    static inline char* argv[] = {name, nullptr};
    static inline QApplication* app = nullptr;
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::string build_dir()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string p = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string("./x");
    return p.substr(0, p.rfind('/') + 1);
}

class DialogTest : public PlavoEnv
{
  protected:
    void SetUp() override
    {
        PlavoEnv::SetUp();
        setenv("KELVARA_RUNTIME_DIR", root.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("KELVARA_RUNTIME_DIR");
        PlavoEnv::TearDown();
    }
};

} // namespace

TEST_F(DialogTest, ControlsCarryTheirTextsAndTipsAndStartDisabled)
{
    ui::MainDialog d("");
    EXPECT_EQ(d.windowTitle(), "Norvane OCW File Decoder / Player");
    const std::pair<int, const char*> tips[] = {
        {kFileButton, "Open a .OCW file to play or convert"},
        {kPlayButton, "Play .OCW file"},
        {kPauseButton, "Pause / resume playing .OCW file"},
        {kStopButton, "Stop playing .OCW file"},
        {kPrevButton, "Previous file in Playlist"},
        {kNextButton, "Next file in Playlist"},
        {kConvertButton, "Convert .OCW file to .WAV file"},
        {kExitButton, "Exit program"},
        {kHelpButton, "Show Help"},
    };
    for (const auto& [id, tip] : tips) {
        ASSERT_NE(d.control(id), nullptr) << id;
        EXPECT_EQ(d.control(id)->toolTip(), tip) << id;
    }
    for (int id :
         {kPlayButton, kPauseButton, kStopButton, kPrevButton, kNextButton, kConvertButton})
        EXPECT_FALSE(d.control(id)->isEnabled()) << id;
    EXPECT_TRUE(d.control(kFileButton)->isEnabled());
    EXPECT_EQ(static_cast<QAbstractButton*>(d.control(kFileButton))->text(), "&File");
    EXPECT_EQ(static_cast<QAbstractButton*>(d.control(kConvertButton))->text(), "&Convert");
    EXPECT_EQ(static_cast<QAbstractButton*>(d.control(kExitButton))->text(), "&Exit");
    EXPECT_EQ(static_cast<QAbstractButton*>(d.control(kLoopCheck))->text(), "&Loop");
    auto* volume = static_cast<QSlider*>(d.control(kVolumeBar));
    EXPECT_EQ(volume->minimum(), 0);
    EXPECT_EQ(volume->maximum(), 255);
    EXPECT_EQ(volume->value(), 128);
    auto* progress = static_cast<QProgressBar*>(d.control(kProgressBar));
    EXPECT_EQ(progress->minimum(), 1);
    EXPECT_EQ(progress->maximum(), 100);
    volume->setValue(55);
    EXPECT_EQ(d.player().volume(), 200);
    static_cast<QCheckBox*>(d.control(kLoopCheck))->click();
    EXPECT_TRUE(d.player().loop());
}

TEST_F(DialogTest, DisplaysPaintTheirDigitsAndSegments)
{
    ui::DigitDisplay digits;
    digits.resize(120, 40);
    digits.set_seconds(65);
    EXPECT_EQ(digits.shown(), "0105");
    ui::LevelMeter meter;
    meter.resize(230, 46);
    meter.set_levels(false, {});
    QImage dark = meter.grab().toImage();
    // s = trunc((230 - 32) / 16 + 0.5) - 1 = 11: segment 0 of the L row at x 11 .. 21, y 6.
    EXPECT_EQ(dark.pixelColor(16, 11), QColor(0, 180, 0));
    EXPECT_EQ(dark.pixelColor(11 + 15 * 13 + 5, 11), QColor(180, 0, 0));
    meter.set_levels(true, {64, 127});
    QImage lit = meter.grab().toImage();
    EXPECT_EQ(lit.pixelColor(16, 11), QColor(0, 255, 0));
    EXPECT_EQ(lit.pixelColor(11 + 8 * 13 + 5, 11), QColor(120, 140, 0)); // L stops at 7
    EXPECT_EQ(lit.pixelColor(11 + 15 * 13 + 5, 46 - 6 - 6), QColor(255, 0, 0));
    EXPECT_FALSE(ui::bitmap("seven").isNull());
    EXPECT_FALSE(ui::bitmap("invplay").isNull());
    EXPECT_NE(ui::bitmap("play").toImage(), ui::bitmap("invplay").toImage());
}

TEST_F(DialogTest, ARequestOverTheSocketPlaysAsAOneEntryPlaylist)
{
    const std::string file = path("sent.ocw");
    write_ocw(file, test_signal(2, 44100, 44100), 2, 44100, 20000);
    ui::MainDialog d("");
    ui::RequestServer server([&d](const std::string& p) { return d.player().request_play(p); });
    ASSERT_TRUE(server.listen());
    std::atomic<int> answer{-1};
    std::thread client(
        [&] { answer = ui::send_play_request(QString::fromStdString(file)) ? 1 : 0; });
    for (int i = 0; i < 400 && answer < 0; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        usleep(5000);
    }
    client.join();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(d.player().playing());
    EXPECT_EQ(read_list("Playlist"), std::vector<std::string>{file});
    EXPECT_EQ(static_cast<QLabel*>(d.control(kFileNameText))->text(), "sent.ocw");
    EXPECT_TRUE(d.control(kStopButton)->isEnabled());
    EXPECT_FALSE(d.control(kPlayButton)->isEnabled());

    // A line no path could be is refused.
    std::thread bad([&] { answer = ui::send_play_request(QString(300, 'x')) ? 1 : 0; });
    answer = -1;
    for (int i = 0; i < 400 && answer < 0; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        usleep(5000);
    }
    bad.join();
    EXPECT_EQ(answer, 0);
    d.player().on_stop();
}

// The playlist dialogs with real keys: Enter in the name box is OK, and "Add all" takes
// the folder typed into the Open dialog's name box, entered or not.
TEST_F(DialogTest, EnterSavesTheNameAndAddAllTakesTheTypedFolder)
{
    ui::QtUi qt;
    SavePlaylistDialog save;
    QTimer::singleShot(0, [] {
        auto* edit = QApplication::activeModalWidget()->findChild<QLineEdit*>();
        QTest::keyClicks(edit, "evening");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(qt.run_modal(save), kel::kIdOk);
    EXPECT_EQ(save.name, "evening");

    for (const char* dir : {"first", "second"})
        ASSERT_EQ(mkdir(path(dir).c_str(), 0700), 0);
    write_file(path("first/b.ocw"), "x");
    write_file(path("first/a.ocw"), "x");
    write_file(path("first/notes.txt"), "x");
    write_file(path("second/c.ocw"), "x");
    OpenDialog open;
    std::vector<std::string> listed;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        QPushButton* add_all = nullptr;
        for (auto* b : d->findChildren<QPushButton*>())
            if (b->text() == "&Add all")
                add_all = b;
        if (!name || !add_all) {
            d->close();
            return;
        }
        // Typed, not entered.
        QTest::keyClicks(name, QString::fromStdString(path("first")));
        QTest::mouseClick(add_all, Qt::LeftButton);
        // Typed and entered: the chooser moves there and clears the box.
        name->setText(QString::fromStdString(path("second")));
        QTest::keyClick(name, Qt::Key_Return);
        QCoreApplication::processEvents();
        QTest::mouseClick(add_all, Qt::LeftButton);
        // The chooser's own views are no list widgets: this is "File Names to Play:".
        if (auto* list = d->findChild<QListWidget*>())
            for (int i = 0; i < list->count(); ++i)
                listed.push_back(list->item(i)->text().toStdString());
        d->close();
    });
    EXPECT_EQ(qt.run_modal(open), kel::kIdCancel);
    const std::vector<std::string> want = {path("first/a.ocw"), path("first/b.ocw"),
                                           path("second/c.ocw")};
    EXPECT_EQ(open.panel.entries, want);
    EXPECT_EQ(listed, want);
}

TEST_F(DialogTest, Screenshot)
{
    ui::MainDialog d("");
    d.show();
    d.set_text(kFileNameText, "nocturne.ocw");
    d.set_seconds(65.4);
    d.set_levels(true, {98, 83});
    d.set_progress(42);
    d.enable(kPauseButton, true);
    d.enable(kStopButton, true);
    d.enable(kPrevButton, true);
    d.enable(kNextButton, true);
    QCoreApplication::processEvents();
    const QString file = QString::fromStdString(build_dir() + "plavo_main_dialog.png");
    ASSERT_TRUE(d.grab().save(file));
    const QImage shot(file);
    EXPECT_GT(shot.width(), 250);
    EXPECT_GT(shot.height(), 100);
}
// The dialog as the user sees it a few seconds into a real file: name, time, meter and
// progress all come from the player.
TEST_F(DialogTest, ScreenshotWhilePlayingAFile)
{
    const std::string file = path("Nocturne in E flat.ocw");
    write_ocw(file, test_signal(2, 44100 * 6, 44100), 2, 44100, 20000);
    ui::MainDialog d("");
    d.show();
    ASSERT_TRUE(d.player().request_play(file));
    run_for(3200);
    QCoreApplication::processEvents();
    ASSERT_TRUE(d.player().playing());
    EXPECT_EQ(static_cast<QLabel*>(d.control(kFileNameText))->text(), "Nocturne in E flat.ocw");
    // Three seconds of stretched output have played.
    EXPECT_NE(d.findChild<ui::DigitDisplay*>()->shown(), "0000");
    EXPECT_GT(static_cast<QProgressBar*>(d.control(kProgressBar))->value(), 1);
    const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR");
    const std::string folder = dir && *dir ? std::string(dir) + "/" : build_dir();
    ASSERT_TRUE(d.grab().save(QString::fromStdString(folder + "plavo_playing.png")));
    d.player().on_stop();
    run_for(200);
}
#endif
