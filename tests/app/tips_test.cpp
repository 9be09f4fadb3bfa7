// The tips file and the tip dialog.
#include "editor/app/app_profile.h"
#include "editor/app/startup_dialogs.h"
#include "editor/app/tips.h"
#include "editor/ui/qt_ui.h"
#include "platform/profile.h"
#include "tests/app/app_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <sys/time.h>

namespace {
const char* const kTips = "; comment line\n"
                          "First tip\n"
                          "\n"
                          "  indented: not a tip\n"
                          "\tneither\n"
                          "Second tip\n"
                          "Third tip\n";

void set_mtime(const std::string& path, long seconds)
{
    timeval times[2] = {{seconds, 0}, {seconds, 0}};
    utimes(path.c_str(), times);
}
} // namespace

TEST_F(AppTest, TipsCycleSkippingCommentsAndWrapAround)
{
    const std::string file = program + "KVRA32.TXT";
    write_file(file, kTips);
    app::TipReader r;
    ASSERT_TRUE(r.open(file));
    EXPECT_EQ(r.text(), "First tip");
    r.next();
    EXPECT_EQ(r.text(), "Second tip");
    r.next();
    EXPECT_EQ(r.text(), "Third tip");
    r.next();
    EXPECT_EQ(r.text(), "First tip");
    r.next();
    r.close();
    // The next time goes on where this one stopped.
    EXPECT_EQ(profile_value("Tip", "FilePos"), std::to_string(std::string(kTips).find("Third")));
    app::TipReader again;
    again.open(file);
    EXPECT_EQ(again.text(), "Third tip");
}

TEST_F(AppTest, AChangedTimeStampStartsAtTheFirstTip)
{
    const std::string file = program + "KVRA32.TXT";
    write_file(file, kTips);
    set_mtime(file, 1000000000);
    {
        app::TipReader r;
        r.open(file);
        r.next();
        EXPECT_EQ(r.text(), "Second tip");
    }
    EXPECT_EQ(profile_value("Tip", "TimeStamp"), app::TipReader::time_stamp(file));
    // The ctime form, without trailing blanks.
    EXPECT_EQ(app::TipReader::time_stamp(file).size(), 24u);
    set_mtime(file, 1100000000);
    app::TipReader r;
    r.open(file);
    EXPECT_EQ(r.text(), "First tip");
}

TEST_F(AppTest, MissingEmptyAndOverlongTipsFiles)
{
    app::TipReader missing;
    EXPECT_FALSE(missing.open(program + "KVRA32.TXT"));
    EXPECT_EQ(missing.text(), "Tips file does not exist in the prescribed directory");

    // Only comments: one pass and an empty tip, not an endless search.
    write_file(program + "KVRA32.TXT", "; nothing\n \n");
    app::TipReader empty;
    ASSERT_TRUE(empty.open(program + "KVRA32.TXT"));
    EXPECT_EQ(empty.text(), "");
    empty.next();
    EXPECT_EQ(empty.text(), "");

    // A stored position past the end wraps to the first tip; lines stop at 1000 characters.
    empty.close();
    write_file(program + "KVRA32.TXT", std::string(1500, 'x') + "\nShort tip\n");
    kel::profile::write_int("Tip", "FilePos", 999999, kel::profile::app_profile());
    kel::profile::write_string("Tip", "TimeStamp",
                               app::TipReader::time_stamp(program + "KVRA32.TXT"),
                               kel::profile::app_profile());
    app::TipReader longer;
    longer.open(program + "KVRA32.TXT");
    EXPECT_EQ(longer.text(), std::string(1000, 'x'));
    longer.next();
    EXPECT_EQ(longer.text(), "Short tip");
}

TEST_F(AppTest, TipDialogShowsNextTipsAndStoresTheStartUpChoice)
{
    write_file(program + "KVRA32.TXT", kTips);
    start();
    app::g_preferences.tip_of_the_day = true;
    std::vector<std::string> shown;
    when_modal([&](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), "Tip of the Day");
        auto* text = d->findChild<QLabel*>("1004");
        auto* check = d->findChild<QCheckBox*>("1001");
        auto* next = d->findChild<QPushButton*>("1002");
        EXPECT_EQ(check->text(), "&Show Tips on StartUp");
        EXPECT_EQ(next->text(), "&Next Tip");
        EXPECT_TRUE(check->isChecked());
        shown.push_back(text->text().toStdString());
        next->click();
        shown.push_back(text->text().toStdString());
        check->setChecked(false);
        d->findChild<QPushButton*>("close")->click();
    });
    app_->main_frame()->on_command(105);
    EXPECT_EQ(shown, (std::vector<std::string>{"First tip", "Second tip"}));
    EXPECT_EQ(profile_value("Tip", "StartUp"), "1");
    EXPECT_EQ(profile_value("Preferences", "Tip of the day"), "no");
    EXPECT_FALSE(app::g_preferences.tip_of_the_day);
}

TEST_F(AppTest, TipDialogWithoutATipsFileDisablesNextTip)
{
    start();
    bool next_enabled = true;
    QString text;
    when_modal([&](QWidget* d) {
        next_enabled = d->findChild<QPushButton*>("1002")->isEnabled();
        text = d->findChild<QLabel*>("1004")->text();
        d->findChild<QPushButton*>("close")->click();
    });
    app_->main_frame()->on_command(105);
    EXPECT_FALSE(next_enabled);
    EXPECT_EQ(text, "Tips file does not exist in the prescribed directory");
    EXPECT_EQ(profile_value("Tip", "StartUp"), "1");
}
