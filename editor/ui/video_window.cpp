#include "editor/ui/video_window.h"

#include "common/child_frame.h"
#include "editor/devices/playback.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace ui {

namespace {

constexpr int kWidestPicture = 320;
constexpr int kFollowEveryMs = 40;
// Beyond this far ahead a seek is quicker than decoding up to the time.
constexpr double kDecodeAheadSeconds = 2.0;

} // namespace

struct VideoWindow::Decoder
{
    AVFormatContext* in = nullptr;
    AVCodecContext* dec = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* next = nullptr; // decoded, but later than the time last asked for
    bool has_next = false;
    AVPacket* pkt = nullptr;
    int stream = -1;
    double time_base = 0;
    double last_time = -1; // of the frame decoded last
    int width = 0, height = 0;

    ~Decoder()
    {
        sws_freeContext(sws);
        av_frame_free(&frame);
        av_frame_free(&next);
        av_packet_free(&pkt);
        avcodec_free_context(&dec);
        avformat_close_input(&in);
    }
    bool open(const std::string& path)
    {
        if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(in, nullptr) < 0)
            return false;
        stream = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (stream < 0)
            return false;
        AVStream* st = in->streams[stream];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        dec = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!dec || avcodec_parameters_to_context(dec, st->codecpar) < 0 ||
            avcodec_open2(dec, codec, nullptr) < 0 || dec->width <= 0 || dec->height <= 0)
            return false;
        time_base = av_q2d(st->time_base);
        width = std::min(dec->width, kWidestPicture);
        height = std::max(1, dec->height * width / dec->width);
        frame = av_frame_alloc();
        next = av_frame_alloc();
        pkt = av_packet_alloc();
        return frame && next && pkt;
    }
    double time_of(const AVFrame* f) const
    {
        const int64_t ts =
            f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
        return ts == AV_NOPTS_VALUE ? last_time + 0.001 : ts * time_base;
    }
    bool to_image(const AVFrame* f, QImage& image)
    {
        sws = sws_getCachedContext(sws, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                                   width, height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr,
                                   nullptr);
        if (!sws)
            return false;
        QImage out(width, height, QImage::Format_RGB888);
        uint8_t* planes[1] = {out.bits()};
        const int strides[1] = {static_cast<int>(out.bytesPerLine())};
        if (sws_scale(sws, f->data, f->linesize, 0, f->height, planes, strides) <= 0)
            return false;
        image = out;
        return true;
    }
    // The last frame that starts at or before `seconds`. A frame decoded past the time is
    // kept for the next call.
    bool picture_at(double seconds, QImage& image)
    {
        if (seconds < last_time || seconds > last_time + kDecodeAheadSeconds) {
            const int64_t ts = static_cast<int64_t>(seconds / time_base);
            if (av_seek_frame(in, stream, ts, AVSEEK_FLAG_BACKWARD) < 0)
                av_seek_frame(in, stream, 0, AVSEEK_FLAG_BACKWARD);
            avcodec_flush_buffers(dec);
            av_frame_unref(next);
            has_next = false;
            last_time = -1;
        }
        bool have = !image.isNull() && last_time >= 0 && last_time <= seconds;
        auto take = [&](AVFrame* f) {
            const double t = time_of(f);
            if (t > seconds + 1e-6) {
                if (f != next) {
                    av_frame_unref(next);
                    av_frame_move_ref(next, f);
                }
                has_next = true;
                return false;
            }
            last_time = t;
            have = to_image(f, image) || have;
            av_frame_unref(f);
            if (f == next)
                has_next = false;
            return true;
        };
        if (has_next && !take(next))
            return have;
        for (bool end = false; !end;) {
            if (av_read_frame(in, pkt) < 0) {
                avcodec_send_packet(dec, nullptr);
                end = true;
            } else if (pkt->stream_index != stream) {
                av_packet_unref(pkt);
                continue;
            } else {
                avcodec_send_packet(dec, pkt);
                av_packet_unref(pkt);
            }
            while (avcodec_receive_frame(dec, frame) == 0)
                if (!take(frame))
                    return have;
        }
        return have;
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
