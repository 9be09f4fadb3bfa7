// The document view as a real widget: mouse events select, the image shows the data
// where it should be, and screenshots of a few zooms for the eye.
#include "editor/view/time_text.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/play_bar.h"
#include "editor/view/ui/waveform_area.h"
#include "editor/view/ui/waveform_image.h"
#include "editor/view/view_colors.h"
#include "editor/view/view_zoom.h"
#include "tests/support/edit_fixture.h"
#include "tests/view_ui/qt_app.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <cmath>

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held,
           Qt::KeyboardModifiers mods = {})
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, mods);
    QApplication::sendEvent(w, &e);
}

void drag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = {})
{
    mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, mods);
    mouse(w, QEvent::MouseMove, to, Qt::LeftButton, mods);
    mouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton, mods);
}

// Stereo sine, left at full scale, right at half and opposite.
std::string stereo_sine(long frames, double period, double amplitude = 30000)
{
    std::vector<int16_t> w;
    w.reserve(frames * 2);
    for (long i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * M_PI * i / period);
        w.push_back(static_cast<int16_t>(std::lround(v)));
        w.push_back(static_cast<int16_t>(std::lround(-0.5 * v)));
    }
    return pcm16(w);
}

// Something that looks like music: tone bursts under envelopes and a little noise.
std::string stereo_song(long frames)
{
    std::vector<int16_t> w;
    w.reserve(frames * 2);
    uint32_t seed = 7;
    for (long i = 0; i < frames; ++i) {
        const double t = i / 44100.0;
        const double beat = std::fmod(t, 0.5);
        const double env = std::exp(-beat * 7.0) * (0.55 + 0.45 * std::sin(t * 0.9));
        seed = seed * 1664525u + 1013904223u;
        const double noise = ((seed >> 8) & 0xFFFF) / 65536.0 - 0.5;
        const double l = env * (std::sin(2 * M_PI * 220 * t) + 0.4 * std::sin(2 * M_PI * 331 * t)) +
                         0.05 * noise;
        const double r = env * (0.8 * std::sin(2 * M_PI * 165 * t + 1.0)) +
                         0.3 * std::exp(-std::fmod(t + 0.25, 1.0) * 12.0) * noise;
        w.push_back(static_cast<int16_t>(std::clamp(l * 21000.0, -32767.0, 32767.0)));
        w.push_back(static_cast<int16_t>(std::clamp(r * 21000.0, -32767.0, 32767.0)));
    }
    return pcm16(w);
}

// The readout follows by a 10 ms timer.
template <typename Done> void wait_for(Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Lets the readout's timer run before a screenshot.
void settle(DocumentView* view)
{
    const QString want =
        QString::fromStdString(zoom_readout_text(view->document()->current.zoom_factor));
    wait_for([&] { return view->play_bar()->zoom_readout()->text() == want; });
}

class ViewWidgetTest : public EditTest
{
  protected:
    void SetUp() override
    {
        test_app();
        EditTest::SetUp();
        reload_view_colors();
        set_time_format(1);
    }
    std::unique_ptr<DocumentView> show(CChildFrame* doc, int width = 800, int height = 500)
    {
        auto view = std::make_unique<DocumentView>(doc);
        view->resize(width, height);
        view->show();
        QApplication::processEvents();
        return view;
    }
    // Rows of a column that carry the data colour, within [top, bottom).
    static std::pair<int, int> data_rows(const QImage& image, int x, int top, int bottom)
    {
        const QRgb pen = to_qrgb(view_colors().data);
        int first = -1, last = -1;
        for (int y = top; y < bottom; ++y) {
            if (image.pixel(x, y) == pen) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        return {first, last};
    }
};

} // namespace

TEST_F(ViewWidgetTest, MouseDragSelectsTheRangeAndTheChannelByHeight)
{
    CChildFrame* doc = open_doc(stereo_sine(44100 * 10, 100), 2, 16, 44100);
    ASSERT_TRUE(doc);
    auto view = show(doc);
    WaveformArea* area = view->area();
    const int top = 46;
    const int h = area->height() - top;
    ASSERT_GT(h, 200);
    const double fpp = doc->current.base_factor / doc->current.zoom_factor; // 1024
    const int y10 = top + h / 10;
    drag(area, QPoint(100, y10), QPoint(300, y10));
    EXPECT_EQ(doc->left_active, 1);
    EXPECT_EQ(doc->right_active, 0);
    EXPECT_EQ(doc->current.has_selection, 1);
    EXPECT_EQ(doc->current.select_start, static_cast<long>(100 * fpp * 2));
    EXPECT_EQ(doc->current.select_end, static_cast<long>(300 * fpp * 2));

    // Shift+click right of the section: the end is nearer and moves.
    mouse(area, QEvent::MouseButtonPress, QPoint(350, top + h / 2), Qt::LeftButton,
          Qt::ShiftModifier);
    mouse(area, QEvent::MouseButtonRelease, QPoint(350, top + h / 2), Qt::NoButton,
          Qt::ShiftModifier);
    EXPECT_EQ(doc->current.select_start, static_cast<long>(100 * fpp * 2));
    EXPECT_EQ(doc->current.select_end, static_cast<long>(350 * fpp * 2));
    EXPECT_EQ(doc->right_active, 0); // the channels stay as they were

    drag(area, QPoint(400, top + h - 5), QPoint(380, top + h - 5));
    EXPECT_EQ(doc->left_active, 0);
    EXPECT_EQ(doc->right_active, 1);
    EXPECT_EQ(doc->current.select_start, static_cast<long>(380 * fpp * 2));

    // The highlight is drawn inverted over the right half only.
    const QImage shot = view->grab().toImage();
    const QRgb bg = to_qrgb(view_colors().background);
    EXPECT_EQ(shot.pixel(390, top + 3), bg);
    EXPECT_EQ(shot.pixel(390, top + h - 3), 0xFFFFFFFFu ^ (bg & 0x00FFFFFF) | 0xFF000000u);
}

TEST_F(ViewWidgetTest, ZoomButtonsStopAtTheirLimitsAndTheReadoutFollows)
{
    CChildFrame* doc = open_doc(stereo_sine(44100 * 10, 100), 2, 16, 44100);
    auto view = show(doc);
    QLabel* readout = view->play_bar()->zoom_readout();
    QApplication::processEvents();
    EXPECT_EQ(readout->text(), "    1");
    view->play_bar()->action(1899)->trigger(); // zoom out at the whole file
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 1.0f);
    view->play_bar()->action(1898)->trigger();
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 2.0f);
    EXPECT_TRUE(view->run_command(87));
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, doc->current.base_factor);
    view->play_bar()->action(1898)->trigger();
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, doc->current.base_factor);
    wait_for([&] { return readout->text() == " 1024"; });
    EXPECT_EQ(readout->text(), " 1024");
    // The scroll bar covers the file in steps of a tenth of the window.
    QScrollBar* bar = view->play_bar()->scroll_bar();
    EXPECT_GT(bar->maximum(), 1000);
    bar->setValue(bar->maximum());
    EXPECT_GT(doc->first_visible, doc->current.total_samples - 2 * 800);
    EXPECT_EQ(view->run_command(11800), 1);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(doc->first_visible, 0);
}

TEST_F(ViewWidgetTest, KeysReachTheViewCommands)
{
    CChildFrame* doc = open_doc(stereo_sine(44100 * 4, 100), 2, 16, 44100);
    auto view = show(doc);
    QKeyEvent z(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
    QApplication::sendEvent(view->area(), &z);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 2.0f);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "\x01");
    QApplication::sendEvent(view->area(), &a);
    EXPECT_EQ(doc->current.has_selection, 1);
    EXPECT_EQ(doc->current.select_end, doc->current.total_samples);
    QKeyEvent u(QEvent::KeyPress, Qt::Key_U, Qt::AltModifier, "u");
    QApplication::sendEvent(view->area(), &u);
    // Minimum zoom: the whole file across the view.
    EXPECT_NEAR(sample_to_x(*doc, doc->current.total_samples), view->area()->width(), 1.0);
    int passed = 0;
    QObject::connect(view.get(), &DocumentView::unhandled_key,
                     [&](int key, int, const QString&) { passed = key; });
    QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::ControlModifier, "\x18");
    QApplication::sendEvent(view->area(), &x);
    EXPECT_EQ(passed, Qt::Key_X);
}

TEST_F(ViewWidgetTest, StereoSineColumnsSitWhereTheyShould)
{
    // 441 Hz: a period of 100 frames; at one frame per pixel column x is frame x.
    CChildFrame* doc = open_doc(stereo_sine(44100 * 10, 100), 2, 16, 44100);
    auto view = show(doc);
    WaveformArea* area = view->area();
    view->run_command(87);
    area->refresh_image();
    const QImage& image = area->image();
    const int h = image.height();
    const int band = h / 2;
    const int left_band = band - 1;
    const auto left_peak = data_rows(image, 25, 0, band - 1);
    EXPECT_EQ(left_peak.first, value_to_y(30000, 32768, 0, left_band));
    const auto left_trough = data_rows(image, 75, 0, band - 1);
    EXPECT_EQ(left_trough.second, value_to_y(-30000, 32768, 0, left_band));
    // The right channel is half as loud and opposite, around its own centre line.
    const auto right_trough = data_rows(image, 25, band, h);
    EXPECT_EQ(right_trough.second, value_to_y(-15000, 32768, band, h - band));
    const auto right_peak = data_rows(image, 75, band, h);
    EXPECT_EQ(right_peak.first, value_to_y(15000, 32768, band, h - band));
    // A column near a zero crossing is short: it spans only its neighbour's value.
    const auto zero = data_rows(image, 50, 0, band - 1);
    EXPECT_LE(zero.second - zero.first,
              value_to_y(0, 32768, 0, left_band) - value_to_y(1900, 32768, 0, left_band) + 1);

    // At the whole-file view every data column spans the full swing (from the
    // overview), and nothing is drawn past the data.
    view->run_command(88);
    area->refresh_image();
    const QImage& whole = area->image();
    const int end_x = static_cast<int>(sample_to_x(*doc, doc->current.total_samples));
    for (int x : {1, 100, end_x - 2}) {
        const auto span = data_rows(whole, x, 0, band - 1);
        EXPECT_EQ(span.first, value_to_y(30000, 32768, 0, left_band)) << x;
        EXPECT_EQ(span.second, value_to_y(-30000, 32768, 0, left_band)) << x;
    }
    if (end_x + 3 < whole.width())
        EXPECT_EQ(data_rows(whole, end_x + 3, 0, h).first, -1);
    EXPECT_GE(end_x, whole.width() - 1) << "the whole file fills the width";
}

TEST_F(ViewWidgetTest, ShortFileDrawsOneFramePerColumn)
{
    std::vector<int16_t> w;
    for (int i = 0; i < 200; ++i) {
        w.push_back(i % 2 ? 20000 : -20000);
        w.push_back(0);
    }
    CChildFrame* doc = open_doc(pcm16(w), 2, 16, 44100);
    auto view = show(doc);
    view->area()->refresh_image();
    const QImage& image = view->area()->image();
    const int band = image.height() / 2 - 1;
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 1.0f);
    EXPECT_EQ(data_rows(image, 1, 0, band).first, value_to_y(20000, 32768, 0, band));
    EXPECT_EQ(data_rows(image, 199, 0, band).first, value_to_y(20000, 32768, 0, band));
    EXPECT_EQ(data_rows(image, 201, 0, band).first, -1);
}

TEST_F(ViewWidgetTest, ScreenshotsAtThreeZooms)
{
    CChildFrame* doc = open_doc(stereo_song(44100 * 12), 2, 16, 44100, "Song.wav");
    auto view = show(doc, 900, 420);
    QDir().mkpath(KELVARA_SCREENSHOT_DIR);
    const std::string dir = KELVARA_SCREENSHOT_DIR;
    doc->current.has_selection = 1;
    doc->current.select_start = 2L * 44100 * 3;
    doc->current.select_end = 2L * 44100 * 5;
    view->document_changed();
    settle(view.get());
    EXPECT_TRUE(view->grab().save(QString::fromStdString(dir + "/view_whole.png")));
    for (int i = 0; i < 4; ++i)
        view->run_command(1898);
    view->run_command(11906);
    doc->left_active = 1;
    doc->right_active = 0;
    view->document_changed();
    settle(view.get());
    EXPECT_TRUE(view->grab().save(QString::fromStdString(dir + "/view_zoom16.png")));
    view->run_command(87);
    doc->first_visible = 2L * 44100 * 3 + 2 * 300;
    view->document_changed();
    settle(view.get());
    EXPECT_TRUE(view->grab().save(QString::fromStdString(dir + "/view_frames.png")));
}
