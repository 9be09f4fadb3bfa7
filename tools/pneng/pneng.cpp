// The engine writes RealMedia through libavformat's rm muxer. The only RealAudio encoder
// libavcodec has is RealAudio 1.0 (14.4, 8000 Hz mono 16-bit), so every source is mixed
// to mono and resampled to 8000 Hz first.
#include "tools/pneng/pneng.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kAudioNames[] = {"8 Kbps Voice"};
constexpr int kAudioCount = 1;

} // namespace

struct PNEngine
{
    std::string output;
    AVFormatContext* oc = nullptr;
    AVCodecContext* enc = nullptr;
    AVStream* stream = nullptr;
    SwrContext* swr = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* pkt = nullptr;
    PNStreamFormat in{};
    int64_t pts = 0;
    bool header_written = false;
    bool failed = false;

    bool write_packets()
    {
        while (avcodec_receive_packet(enc, pkt) == 0) {
            av_packet_rescale_ts(pkt, enc->time_base, stream->time_base);
            pkt->stream_index = stream->index;
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
            write_packets();
        }
        return false;
    }
    ~PNEngine()
    {
        av_frame_free(&frame);
        av_packet_free(&pkt);
        swr_free(&swr);
        avcodec_free_context(&enc);
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
    // No video encoding: the engine has no source of pictures to take.
    lists->video_names = nullptr;
    lists->video_count = 0;
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
    av_log_set_level(AV_LOG_ERROR);
    auto* e = new PNEngine;
    e->output = settings->output_file;
    if (avformat_alloc_output_context2(&e->oc, av_guess_format("rm", nullptr, nullptr), nullptr,
                                       e->output.c_str()) < 0 ||
        !e->oc) {
        delete e;
        return nullptr;
    }
    e->frame = av_frame_alloc();
    e->pkt = av_packet_alloc();
    return e;
}

int PNEngine_OpenStream(PNEngine* e, int kind, const PNStreamFormat* format)
{
    if (!e || !format || kind != kPNAudioStream || e->enc)
        return 0;
    if ((format->channels != 1 && format->channels != 2) ||
        (format->bits_per_sample != 8 && format->bits_per_sample != 16) || format->sample_rate <= 0)
        return 0;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_RA_144);
    if (!codec)
        return 0;
    e->in = *format;
    e->enc = avcodec_alloc_context3(codec);
    e->enc->sample_rate = 8000;
    e->enc->sample_fmt = AV_SAMPLE_FMT_S16;
    av_channel_layout_default(&e->enc->ch_layout, 1);
    e->enc->time_base = AVRational{1, 8000};
    e->enc->bit_rate = 8000;
    if (avcodec_open2(e->enc, codec, nullptr) < 0)
        return 0;
    e->stream = avformat_new_stream(e->oc, nullptr);
    if (!e->stream || avcodec_parameters_from_context(e->stream->codecpar, e->enc) < 0)
        return 0;
    e->stream->time_base = e->enc->time_base;
    AVChannelLayout in_layout;
    av_channel_layout_default(&in_layout, format->channels);
    if (swr_alloc_set_opts2(&e->swr, &e->enc->ch_layout, AV_SAMPLE_FMT_S16, 8000, &in_layout,
                            format->bits_per_sample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                            format->sample_rate, 0, nullptr) < 0 ||
        swr_init(e->swr) < 0)
        return 0;
    if (avio_open(&e->oc->pb, e->output.c_str(), AVIO_FLAG_WRITE) < 0)
        return 0;
    if (avformat_write_header(e->oc, nullptr) < 0)
        return 0;
    e->header_written = true;
    return 1;
}

int PNEngine_Encode(PNEngine* e, int kind, const void* data, unsigned long bytes)
{
    if (!e || kind != kPNAudioStream || !e->header_written || e->failed)
        return 0;
    const int frame_bytes = e->in.channels * e->in.bits_per_sample / 8;
    const int count = static_cast<int>(bytes / frame_bytes);
    if (count <= 0)
        return 1;
    const uint8_t* planes[1] = {static_cast<const uint8_t*>(data)};
    if (swr_convert(e->swr, nullptr, 0, planes, count) < 0)
        return 0;
    return e->encode_held(false) ? 1 : 0;
}

int PNEngine_CloseStream(PNEngine* e, int kind)
{
    if (!e || kind != kPNAudioStream || !e->header_written)
        return 0;
    e->encode_held(true);
    avcodec_send_frame(e->enc, nullptr);
    e->write_packets();
    return e->failed ? 0 : 1;
}

int PNEngine_Close(PNEngine* e)
{
    if (!e)
        return 0;
    int ok = e->header_written && !e->failed && av_write_trailer(e->oc) >= 0;
    if (e->oc && e->oc->pb && avio_closep(&e->oc->pb) < 0)
        ok = 0;
    delete e;
    return ok ? 1 : 0;
}
}
