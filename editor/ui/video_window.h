#pragma once
// The pictures of a document opened from a video file, in a small window of their own
// that follows the play position while the document plays.
#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

class CChildFrame;
class QLabel;

namespace ui {

class VideoWindow : public QWidget
{
    Q_OBJECT
  public:
    VideoWindow(CChildFrame& doc, QWidget* parent);
    ~VideoWindow() override;
    // False when the file has no video stream that can be decoded.
    bool open(const std::string& path);
    // Shows the picture on screen at that time (the last one that starts at or before it).
    bool show_at(double seconds);
    const QImage& image() const { return image_; }
    double shown_seconds() const { return shown_; }

  private:
    void follow_playback();
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
    CChildFrame& doc_;
    QLabel* picture_ = nullptr;
    QImage image_;
    double shown_ = -1;
};

// Shows the video of a document whose video source is set; null when there is none to show.
VideoWindow* display_AVI_file(CChildFrame& doc, QWidget* parent);

} // namespace ui
