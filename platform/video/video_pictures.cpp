#include "platform/video/video_pictures.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cstring>

namespace kel {

namespace {

// The first stream of moving pictures; a cover picture stored as a stream is none.
int first_video_stream(const AVFormatContext* in)
{
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        const AVStream* st = in->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(st->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

struct VideoPictures::Decoder
{
    AVFormatContext* in = nullptr;
    AVCodecContext* dec = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* current = nullptr;
    AVFrame* next = nullptr;
    AVPacket* pkt = nullptr;
    int stream = -1;
    double time_base = 0, start = 0;
    double interval = 0.04; // between pictures, as last seen
    double current_time = 0, next_time = 0;
    bool have_current = false, has_next = false, draining = false, ended = false;
    bool failed = false;
    bool converted = false;
    std::vector<uint8_t> rgb;

    ~Decoder()
    {
        sws_freeContext(sws);
        av_frame_free(&current);
        av_frame_free(&next);
        av_packet_free(&pkt);
        avcodec_free_context(&dec);
        avformat_close_input(&in);
    }

    bool open(const std::string& file)
    {
        if (avformat_open_input(&in, file.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(in, nullptr) < 0)
            return false;
        stream = first_video_stream(in);
        if (stream < 0)
            return false;
        AVStream* st = in->streams[stream];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        dec = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!dec || avcodec_parameters_to_context(dec, st->codecpar) < 0 ||
            avcodec_open2(dec, codec, nullptr) < 0 || dec->width <= 0 || dec->height <= 0 ||
            dec->width > 16384 || dec->height > 16384)
            return false;
        time_base = av_q2d(st->time_base);
        // Times count from the file's start, where its sound starts too.
        if (in->start_time != AV_NOPTS_VALUE)
            start = static_cast<double>(in->start_time) / AV_TIME_BASE;
        const AVRational rate = st->avg_frame_rate.num > 0 ? st->avg_frame_rate : st->r_frame_rate;
        if (rate.num > 0 && rate.den > 0)
            interval = av_q2d(av_inv_q(rate));
        current = av_frame_alloc();
        next = av_frame_alloc();
        pkt = av_packet_alloc();
        return current && next && pkt;
    }

    double time_of(const AVFrame* f, double previous) const
    {
        const int64_t ts =
            f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
        return ts == AV_NOPTS_VALUE ? previous + interval : ts * time_base - start;
    }

    // The next decoded picture into `f`; false at the end of the stream or on an error.
    bool pull(AVFrame* f)
    {
        while (!ended && !failed) {
            const int got = avcodec_receive_frame(dec, f);
            if (got == 0)
                return true;
            if (got == AVERROR_EOF) {
                ended = true;
                break;
            }
            if (got == AVERROR_INVALIDDATA)
                continue; // a damaged picture: the ones after it still come
            if (got != AVERROR(EAGAIN)) {
                failed = true;
                break;
            }
            if (draining) {
                ended = true;
                break;
            }
            if (av_read_frame(in, pkt) < 0) {
                avcodec_send_packet(dec, nullptr);
                draining = true;
                continue;
            }
            // A damaged packet is passed over: the pictures around it still come.
            if (pkt->stream_index == stream)
                avcodec_send_packet(dec, pkt);
            av_packet_unref(pkt);
        }
        return false;
    }

    bool convert()
    {
        const int w = dec->width, h = dec->height;
        sws = sws_getCachedContext(sws, current->width, current->height,
                                   static_cast<AVPixelFormat>(current->format), w, h,
                                   AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!sws)
            return false;
        rgb.resize(static_cast<size_t>(w) * h * 3);
        uint8_t* planes[1] = {rgb.data()};
        const int strides[1] = {w * 3};
        return sws_scale(sws, current->data, current->linesize, 0, current->height, planes,
                         strides) > 0;
    }

    void seek(double seconds)
    {
        const int64_t ts = static_cast<int64_t>((seconds + start) / time_base);
        if (av_seek_frame(in, stream, ts, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(in, stream, 0, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(dec);
        av_frame_unref(current);
        av_frame_unref(next);
        have_current = has_next = draining = ended = converted = false;
    }

    bool picture_at(double seconds, std::vector<uint8_t>& out)
    {
        if (failed)
            return false;
        if (!have_current) {
            if (!pull(current))
                return false;
            have_current = true;
            current_time = time_of(current, -interval);
            converted = false;
        }
        for (;;) {
            if (!has_next && pull(next)) {
                has_next = true;
                next_time = time_of(next, current_time);
                if (next_time > current_time)
                    interval = next_time - current_time;
            }
            if (failed)
                return false;
            if (!has_next || next_time > seconds)
                break;
            av_frame_unref(current);
            av_frame_move_ref(current, next);
            current_time = next_time;
            has_next = false;
            converted = false;
        }
        if (!has_next && seconds >= current_time + interval)
            return false; // past the last picture
        if (!converted) {
            if (!convert()) {
                failed = true;
                return false;
            }
            converted = true;
        }
        out = rgb;
        return true;
    }
};

VideoPictures::VideoPictures() = default;
VideoPictures::~VideoPictures() = default;

bool VideoPictures::has_video_stream(const std::string& file)
{
    Decoder d;
    return d.open(file);
}

bool VideoPictures::open(const std::string& file)
{
    d_ = std::make_unique<Decoder>();
    if (!d_->open(file)) {
        d_.reset();
        return false;
    }
    return true;
}

int VideoPictures::width() const
{
    return d_ ? d_->dec->width : 0;
}

int VideoPictures::height() const
{
    return d_ ? d_->dec->height : 0;
}

bool VideoPictures::picture_at(double seconds, std::vector<uint8_t>& rgb)
{
    return d_ && d_->picture_at(seconds, rgb);
}

void VideoPictures::seek(double seconds)
{
    if (d_ && !d_->failed && d_->time_base > 0)
        d_->seek(seconds);
}

bool VideoPictures::failed() const
{
    return !d_ || d_->failed;
}

} // namespace kel
