#include "editor/ui/video_window.h"

#include "common/child_frame.h"
#include "editor/devices/playback.h"
#include "platform/video/video_pictures.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace ui {

namespace {

constexpr int kWidestPicture = 320;
constexpr int kFollowEveryMs = 40;
// Beyond this far ahead a seek is quicker than decoding up to the time.
constexpr double kDecodeAheadSeconds = 2.0;

} // namespace

// The file's pictures and the size they are shown at.
struct VideoWindow::Decoder
{
    kel::VideoPictures pictures;
    int width = 0, height = 0;
    double last_time = -1; // asked for last
    std::vector<uint8_t> rgb;

    bool open(const std::string& path)
    {
        if (!pictures.open(path) || pictures.width() <= 0 || pictures.height() <= 0)
            return false;
        width = std::min(pictures.width(), kWidestPicture);
        height = std::max(1, pictures.height() * width / pictures.width());
        return true;
    }
    // The last picture that starts at or before `seconds`.
    bool picture_at(double seconds, QImage& image)
    {
        if (last_time < 0 || seconds < last_time || seconds > last_time + kDecodeAheadSeconds)
            pictures.seek(seconds);
        last_time = seconds;
        if (!pictures.picture_at(seconds, rgb))
            return false;
        const QImage whole(rgb.data(), pictures.width(), pictures.height(), pictures.width() * 3,
                           QImage::Format_RGB888);
        image = width == pictures.width()
                    ? whole.copy()
                    : whole.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return true;
    }
};

VideoWindow::VideoWindow(CChildFrame& doc, QWidget* parent) : QWidget(parent, Qt::Tool), doc_(doc)
{
    setObjectName("video");
    setWindowTitle(QString::fromUtf8(doc.file_title));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    picture_ = new QLabel(this);
    layout->addWidget(picture_);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &VideoWindow::follow_playback);
    timer->start(kFollowEveryMs);
}

VideoWindow::~VideoWindow() = default;

bool VideoWindow::open(const std::string& path)
{
    decoder_ = std::make_unique<Decoder>();
    if (!decoder_->open(path)) {
        decoder_.reset();
        return false;
    }
    picture_->setFixedSize(decoder_->width, decoder_->height);
    return show_at(0);
}

bool VideoWindow::show_at(double seconds)
{
    if (!decoder_ || !decoder_->picture_at(std::max(0.0, seconds), image_))
        return false;
    shown_ = seconds;
    picture_->setPixmap(QPixmap::fromImage(image_));
    return true;
}

void VideoWindow::follow_playback()
{
    const PlaybackState& pb = playback_state();
    if (!pb.is_playing || pb.doc != &doc_ || pb.clipboard_mode)
        return;
    const double seconds = (static_cast<double>(doc_.play_start_ms) + pb.position) / 1000.0;
    if (seconds != shown_)
        show_at(seconds);
}

VideoWindow* display_AVI_file(CChildFrame& doc, QWidget* parent)
{
    if (!doc.video_source || !doc.video_file[0])
        return nullptr;
    auto* w = new VideoWindow(doc, parent);
    if (!w->open(doc.video_file)) {
        delete w;
        return nullptr;
    }
    w->show();
    return w;
}

} // namespace ui
