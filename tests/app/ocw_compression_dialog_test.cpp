// The compression choices as the user sees them: five bit rates, the last one kept.
#include "editor/files/ocw_encoder.h"
#include "editor/ui/qt_ui.h"
#include "tests/app/app_fixture.h"

#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>

namespace {

QRadioButton* choice(QWidget* w, int id)
{
    return w->findChild<QRadioButton*>(QString::number(id));
}

QPushButton* button(QWidget* w, const char* id)
{
    return w->findChild<QPushButton*>(id);
}

} // namespace

TEST_F(AppTest, CompressionDialogShowsTheChoicesAndStoresTheRatio)
{
    start();
    OcwCompressionDialog::last_choice = OcwCompressionDialog::kFirstChoice;
    QString title;
    QStringList labels;
    int checked = 0;
    QString ok_text, cancel_text, help_text;
    when_modal([&](QWidget* w) {
        title = w->windowTitle();
        for (int id = 2000; id <= 2004; ++id) {
            QRadioButton* r = choice(w, id);
            ASSERT_TRUE(r) << id;
            labels << r->text();
            if (r->isChecked())
                checked = id;
        }
        ok_text = button(w, "1")->text();
        cancel_text = button(w, "2")->text();
        help_text = button(w, "1405")->text();
        if (const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR"); dir && *dir)
            w->grab().save(QString(dir) + "/ocw-compression.png");
        QTest::mouseClick(choice(w, 2003), Qt::LeftButton);
        QTest::mouseClick(button(w, "1405"), Qt::LeftButton);
        QTest::mouseClick(button(w, "1"), Qt::LeftButton);
    });
    OcwCompressionDialog first;
    EXPECT_EQ(kel::ui().run_modal(first), kel::kIdOk);
    EXPECT_EQ(title, "OCW File Copression Options");
    EXPECT_EQ(labels, QStringList({"480,000 bps (best quality, least compression)", "400,000 bps",
                                   "360,000 bps", "320,000 bps (compression = 8.7:1)",
                                   "250,000 bps (compression = 12:1)"}));
    EXPECT_EQ(checked, 2000); // the first choice after start-up
    EXPECT_EQ(ok_text, "OK");
    EXPECT_EQ(cancel_text, "Cancel");
    EXPECT_EQ(help_text, "&Help");
    EXPECT_EQ(first.choice, 2003);
    EXPECT_FLOAT_EQ(first.stored_ratio, 2.205f);
    ASSERT_EQ(app_->qt_ui().help_requests().size(), 1u);
    EXPECT_NE(app_->qt_ui().help_requests()[0].find("#11206"), std::string::npos);

    // The next time opens on 320,000 bps; picking another and cancelling keeps it.
    when_modal([&](QWidget* w) {
        checked = 0;
        for (int id = 2000; id <= 2004; ++id)
            if (choice(w, id)->isChecked())
                checked = id;
        QTest::mouseClick(choice(w, 2000), Qt::LeftButton);
        QTest::mouseClick(button(w, "2"), Qt::LeftButton);
    });
    OcwCompressionDialog second;
    EXPECT_EQ(kel::ui().run_modal(second), kel::kIdCancel);
    EXPECT_EQ(checked, 2003);
    EXPECT_EQ(second.stored_ratio, 0.0f);
    EXPECT_EQ(OcwCompressionDialog().choice, 2003);

    // Escape is Cancel too.
    when_modal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    OcwCompressionDialog third;
    EXPECT_EQ(kel::ui().run_modal(third), kel::kIdCancel);
    EXPECT_EQ(third.stored_ratio, 0.0f);
}
