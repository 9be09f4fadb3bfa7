// The magnified plot window as real widgets under the offscreen platform, with a
// screenshot in the build folder.
#include "magnel/magnified_plot.h"
#include "magnel/ui/magnified_plot_window.h"
#include "tests/support/edit_fixture.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <cmath>
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
    static char name[] = "magnel_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *a;
}

class PlotWindowTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        app();
    }
    // Stereo: a sine on the left, a slower one at half size on the right.
    CChildFrame* sines(long frames)
    {
        std::vector<int16_t> w;
        for (long f = 0; f < frames; ++f) {
            w.push_back(static_cast<int16_t>(30000 * std::sin(f * 0.15)));
            w.push_back(static_cast<int16_t>(15000 * std::sin(f * 0.05)));
        }
        return open_doc(pcm16(w), 2, 16, 22050, "sines.wav");
    }
};

TEST_F(PlotWindowTest, PlotsEverySampleAndPagesWithItsButtons)
{
    CChildFrame* doc = sines(1000);
    ASSERT_TRUE(doc);
    select(doc, 2 * 50, 2 * 500);
    magnel::MagnifiedPlotDialog model(*doc, 7);
    model.on_open();
    magnel_ui::MagnifiedPlotWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.windowTitle(), "Magnified Image - sines.wav");
    EXPECT_EQ(w.start_label()->text(), "Start: 100");
    EXPECT_EQ(w.frames_label()->text(), "Frames 1 - 160 of 450");
    EXPECT_FALSE(w.previous_button()->isEnabled());
    EXPECT_TRUE(w.next_button()->isEnabled());
    EXPECT_EQ(w.scroll_bar()->maximum(), 450 - 160);

    QDir().mkpath(KELVARA_SCREENSHOT_DIR);
    const QImage shot = w.grab().toImage();
    EXPECT_TRUE(shot.save(QString(KELVARA_SCREENSHOT_DIR) + "/magnified_plot.png"));

    // Every sample of the page is a dot where the model puts it.
    const QImage plot = w.plot()->grab().toImage();
    ASSERT_EQ(plot.width(), magnel::kPlotWidth);
    const magnel::PlotPage& page = model.page();
    for (int c = 0; c < 2; ++c) {
        const int top = c * (model.channel_height() + 2);
        for (size_t i = 0; i < page.channels[c].size(); i += 37) {
            const magnel::PlotPoint& p = page.channels[c][i];
            EXPECT_EQ(plot.pixelColor(p.x, top + p.y), QColor(255, 255, 0)) << c << " " << i;
        }
    }

    QTest::mouseClick(w.next_button(), Qt::LeftButton);
    EXPECT_EQ(w.frames_label()->text(), "Frames 161 - 320 of 450");
    EXPECT_EQ(w.scroll_bar()->value(), 160);
    EXPECT_TRUE(w.previous_button()->isEnabled());
    w.scroll_bar()->setValue(w.scroll_bar()->maximum());
    EXPECT_EQ(w.frames_label()->text(), "Frames 291 - 450 of 450");
    EXPECT_FALSE(w.next_button()->isEnabled());
    QTest::mouseClick(w.previous_button(), Qt::LeftButton);
    EXPECT_EQ(model.page().first_frame, 50 + 130);
    w.close();
}

TEST_F(PlotWindowTest, AShortMonoSectionSpreadsOverTheWidth)
{
    CChildFrame* doc = open_doc(bytes8({128, 255, 0, 128, 200}), 1, 8, 8000, "short.wav");
    ASSERT_TRUE(doc);
    magnel::MagnifiedPlotDialog model(*doc, 1);
    model.on_open();
    magnel_ui::MagnifiedPlotWindow w(model, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.frames_label()->text(), "Frames 1 - 5 of 5");
    EXPECT_FALSE(w.next_button()->isEnabled());
    EXPECT_EQ(w.plot()->height(), model.channel_height());
    EXPECT_TRUE(w.grab().save(QString(KELVARA_SCREENSHOT_DIR) + "/magnified_plot_mono.png"));
    const QImage plot = w.plot()->grab().toImage();
    // The loudest sample sits on the top row, the quietest on the bottom one.
    EXPECT_EQ(plot.pixelColor(model.page().channels[0][1].x, 0), QColor(255, 255, 0));
    EXPECT_EQ(plot.pixelColor(model.page().channels[0][2].x, model.channel_height() - 1),
              QColor(255, 255, 0));
}

} // namespace
