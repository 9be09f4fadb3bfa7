// The engine writes RealMedia through libavformat's rm muxer. The only RealAudio encoder
// libavcodec has is RealAudio 1.0 (14.4, 8000 Hz mono 16-bit), so every source is mixed
// to mono and resampled to 8000 Hz first. Video goes to RealVideo 1.0 or 2.0 (libavcodec's
// rv10 and rv20), whichever of them this libavcodec has.
//
// Video, as the engine shapes it:
//   size        fitted into 352 x 288 without enlarging, aspect kept, then each side
//               rounded to the nearest multiple of 16 (rv10 takes nothing else; at most
//               8 pixels off per side). The rm muxer takes no packet over 64 kB: beyond
//               this size a busy key picture would not fit even at the coarsest quantizer.
//   frame rate  8 to 100 per second (both encoders and the muxer take every whole rate
//               in that range); outside it, clamped.
//   quality     1 to 100: q x 0.003 bits per pixel and picture (0.3 at 100), the average
//               bit rate; the rate buffer (400 kbit) keeps every picture under 64 kB.
//   key picture one a second.
#include "tools/pneng/pneng.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kAudioNames[] = {"8 Kbps Voice"};
constexpr int kAudioCount = 1;

struct VideoCodec
{
    const char* name;
    AVCodecID id;
};
const VideoCodec kVideoCodecs[] = {{"RealVideo (Standard)", AV_CODEC_ID_RV10},
                                   {"RealVideo G2", AV_CODEC_ID_RV20}};
// Filled at package init with the names whose encoder this libavcodec has.
const char* g_video_names[std::size(kVideoCodecs)];

constexpr int kWidest = 352, kTallest = 288;
constexpr int kRateBufferBits = 400000;

AVCodecID video_codec_id(const char* name)
{
    for (const auto& c : kVideoCodecs)
        if (name && !std::strcmp(name, c.name))
            return c.id;
    return AV_CODEC_ID_NONE;
}

int nearest_16(double v)
{
    return std::max(16, static_cast<int>(std::lround(v / 16)) * 16);
}

} // namespace

struct PNEngine
{
    std::string output;
    AVCodecID video_id = AV_CODEC_ID_NONE;
    int quality = 100, frame_rate = 60;
    AVFormatContext* oc = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* pkt = nullptr;
    bool header_written = false;
    bool failed = false;

    // Sound
    AVCodecContext* enc = nullptr;
    AVStream* stream = nullptr;
    SwrContext* swr = nullptr;
    PNStreamFormat in{};
    int64_t pts = 0;
    bool audio_closed = false;

    // Pictures
    AVCodecContext* venc = nullptr;
    AVStream* vstream = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* picture = nullptr;
    PNStreamFormat vin{};
    int64_t vpts = 0;
    bool video_closed = false;

    // Once every stream is there: the file and its header.
    bool start()
    {
        if (header_written)
            return true;
        if (failed || (!enc && !venc))
            return false;
        if (avio_open(&oc->pb, output.c_str(), AVIO_FLAG_WRITE) < 0 ||
            avformat_write_header(oc, nullptr) < 0)
            return !(failed = true);
        header_written = true;
        return true;
    }

    bool write_packets(AVCodecContext* c, AVStream* s)
    {
        while (avcodec_receive_packet(c, pkt) == 0) {
            av_packet_rescale_ts(pkt, c->time_base, s->time_base);
            pkt->stream_index = s->index;
            if (av_interleaved_write_frame(oc, pkt) < 0)
                failed = true;
        }
        return !failed;
    }
    // Encodes every whole frame the resampler holds (at the end, what is left too).
    bool encode_held(bool end)
    {
        const int n = enc->frame_size > 0 ? enc->frame_size : 160;
        const uint8_t* none[1] = {nullptr};
        uint8_t dummy[4] = {};
        const uint8_t* empty[1] = {dummy};
        while (!failed) {
            if (!end && swr_get_out_samples(swr, 0) < n)
                return true;
            frame->nb_samples = n;
            frame->format = enc->sample_fmt;
            frame->sample_rate = enc->sample_rate;
            av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
            if (av_frame_get_buffer(frame, 0) < 0)
                return !(failed = true);
            const int got = swr_convert(swr, frame->data, n, end ? none : empty, 0);
            if (got <= 0) {
                av_frame_unref(frame);
                return true;
            }
            // The encoder takes whole frames only: the last one is padded with silence.
            if (got < n)
                std::memset(frame->data[0] + got * 2, 0, (n - got) * 2);
            frame->pts = pts;
            pts += n;
            if (avcodec_send_frame(enc, frame) < 0)
                failed = true;
            av_frame_unref(frame);
            write_packets(enc, stream);
        }
        return false;
    }

    bool open_audio(const PNStreamFormat* format)
    {
        if ((format->channels != 1 && format->channels != 2) ||
            (format->bits_per_sample != 8 && format->bits_per_sample != 16) ||
            format->sample_rate <= 0)
            return false;
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_RA_144);
        if (!codec)
            return false;
        in = *format;
        enc = avcodec_alloc_context3(codec);
        if (!enc)
            return false;
        enc->sample_rate = 8000;
        enc->sample_fmt = AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&enc->ch_layout, 1);
        enc->time_base = AVRational{1, 8000};
        enc->bit_rate = 8000;
        if (avcodec_open2(enc, codec, nullptr) < 0)
            return false;
        stream = avformat_new_stream(oc, nullptr);
        if (!stream || avcodec_parameters_from_context(stream->codecpar, enc) < 0)
            return false;
        stream->time_base = enc->time_base;
        AVChannelLayout in_layout;
        av_channel_layout_default(&in_layout, format->channels);
        return swr_alloc_set_opts2(&swr, &enc->ch_layout, AV_SAMPLE_FMT_S16, 8000, &in_layout,
                                   format->bits_per_sample == 8 ? AV_SAMPLE_FMT_U8
                                                                : AV_SAMPLE_FMT_S16,
                                   format->sample_rate, 0, nullptr) >= 0 &&
               swr_init(swr) >= 0;
    }

    bool open_video(const PNStreamFormat* format)
    {
        if (format->width <= 0 || format->height <= 0 || format->width > 16384 ||
            format->height > 16384)
            return false;
        const AVCodec* codec = avcodec_find_encoder(video_id);
        if (!codec)
            return false;
        vin = *format;
        const double scale =
            std::min({1.0, double(kWidest) / format->width, double(kTallest) / format->height});
        const int width = std::min(kWidest, nearest_16(format->width * scale));
        const int height = std::min(kTallest, nearest_16(format->height * scale));
        venc = avcodec_alloc_context3(codec);
        if (!venc)
            return false;
        venc->width = width;
        venc->height = height;
        venc->pix_fmt = AV_PIX_FMT_YUV420P;
        venc->time_base = AVRational{1, frame_rate};
        venc->framerate = AVRational{frame_rate, 1};
        venc->gop_size = frame_rate;
        venc->max_b_frames = 0;
        venc->bit_rate =
            static_cast<int64_t>(double(width) * height * frame_rate * quality * 0.003);
        venc->rc_max_rate = venc->bit_rate;
        venc->rc_buffer_size = kRateBufferBits;
        if (avcodec_open2(venc, codec, nullptr) < 0)
            return false;
        vstream = avformat_new_stream(oc, nullptr);
        if (!vstream || avcodec_parameters_from_context(vstream->codecpar, venc) < 0)
            return false;
        vstream->time_base = venc->time_base;
        vstream->avg_frame_rate = venc->framerate;
        picture = av_frame_alloc();
        if (!picture)
            return false;
        picture->format = AV_PIX_FMT_YUV420P;
        picture->width = width;
        picture->height = height;
        if (av_frame_get_buffer(picture, 0) < 0)
            return false;
        sws = sws_getContext(format->width, format->height, AV_PIX_FMT_RGB24, width, height,
                             AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        return sws != nullptr;
    }

    bool encode_picture(const void* data, unsigned long bytes)
    {
        if (bytes != static_cast<unsigned long>(vin.width) * vin.height * 3)
            return false;
        // The encoder may still hold the last picture: write into a buffer of our own.
        if (av_frame_make_writable(picture) < 0)
            return !(failed = true);
        const uint8_t* planes[1] = {static_cast<const uint8_t*>(data)};
        const int strides[1] = {vin.width * 3};
        if (sws_scale(sws, planes, strides, 0, vin.height, picture->data, picture->linesize) <= 0)
            return !(failed = true);
        picture->pts = vpts++;
        if (avcodec_send_frame(venc, picture) < 0)
            failed = true;
        return write_packets(venc, vstream);
    }

    ~PNEngine()
    {
        av_frame_free(&frame);
        av_frame_free(&picture);
        av_packet_free(&pkt);
        swr_free(&swr);
        sws_freeContext(sws);
        avcodec_free_context(&enc);
        avcodec_free_context(&venc);
        if (oc) {
            if (oc->pb)
                avio_closep(&oc->pb);
            avformat_free_context(oc);
        }
    }
};

extern "C" {

int PNEngine_PackageInit(PNCodecLists* lists)
{
    if (!lists)
        return 0;
    lists->audio_names = avcodec_find_encoder(AV_CODEC_ID_RA_144) ? kAudioNames : nullptr;
    lists->audio_count = lists->audio_names ? kAudioCount : 0;
    int count = 0;
    for (const auto& c : kVideoCodecs)
        if (avcodec_find_encoder(c.id))
            g_video_names[count++] = c.name;
    lists->video_names = count ? g_video_names : nullptr;
    lists->video_count = count;
    return 1;
}

void PNEngine_PackageRelease(PNCodecLists* lists)
{
    if (lists)
        *lists = PNCodecLists{};
}

PNEngine* PNEngine_Open(const PNEngineSettings* settings)
{
    if (!settings || !settings->output_file || !*settings->output_file)
        return nullptr;
    av_log_set_level(AV_LOG_QUIET);
    auto* e = new PNEngine;
    e->output = settings->output_file;
    e->video_id = video_codec_id(settings->video_codec);
    e->quality = std::clamp(settings->quality, 1, 100);
    e->frame_rate = std::clamp(settings->frame_rate, 8, 100);
    if (avformat_alloc_output_context2(&e->oc, av_guess_format("rm", nullptr, nullptr), nullptr,
                                       e->output.c_str()) < 0 ||
        !e->oc) {
        delete e;
        return nullptr;
    }
    e->frame = av_frame_alloc();
    e->pkt = av_packet_alloc();
    if (!e->frame || !e->pkt) {
        delete e;
        return nullptr;
    }
    return e;
}

int PNEngine_OpenStream(PNEngine* e, int kind, const PNStreamFormat* format)
{
    // Streams are opened before anything is encoded: the file's header names them all.
    if (!e || !format || e->header_written || e->failed)
        return 0;
    if (kind == kPNAudioStream && !e->enc)
        return e->open_audio(format) ? 1 : 0;
    if (kind == kPNVideoStream && !e->venc)
        return e->open_video(format) ? 1 : 0;
    return 0;
}

int PNEngine_Encode(PNEngine* e, int kind, const void* data, unsigned long bytes)
{
    if (!e || !e->start() || e->failed)
        return 0;
    if (kind == kPNAudioStream && e->enc && !e->audio_closed) {
        const int frame_bytes = e->in.channels * e->in.bits_per_sample / 8;
        const int count = static_cast<int>(bytes / frame_bytes);
        if (count <= 0)
            return 1;
        const uint8_t* planes[1] = {static_cast<const uint8_t*>(data)};
        if (swr_convert(e->swr, nullptr, 0, planes, count) < 0)
            return 0;
        return e->encode_held(false) ? 1 : 0;
    }
    if (kind == kPNVideoStream && e->venc && !e->video_closed)
        return e->encode_picture(data, bytes) ? 1 : 0;
    return 0;
}

int PNEngine_CloseStream(PNEngine* e, int kind)
{
    if (!e || !e->start())
        return 0;
    if (kind == kPNAudioStream && e->enc && !e->audio_closed) {
        e->audio_closed = true;
        e->encode_held(true);
        avcodec_send_frame(e->enc, nullptr);
        e->write_packets(e->enc, e->stream);
    } else if (kind == kPNVideoStream && e->venc && !e->video_closed) {
        e->video_closed = true;
        avcodec_send_frame(e->venc, nullptr);
        e->write_packets(e->venc, e->vstream);
    } else {
        return 0;
    }
    return e->failed ? 0 : 1;
}

int PNEngine_Close(PNEngine* e)
{
    if (!e)
        return 0;
    int ok = e->start() && !e->failed && av_write_trailer(e->oc) >= 0;
    if (e->oc && e->oc->pb && avio_closep(&e->oc->pb) < 0)
        ok = 0;
    delete e;
    return ok ? 1 : 0;
}
}
