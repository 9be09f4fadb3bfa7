// nvaavi: the sound track of a video file (AVI, and whatever else libavformat reads:
// MP4, MKV, WebM, MOV).
//
//   nvaavi --extract SOURCE OUT.WAV
//       decodes the first sound stream into a 16-bit PCM wave file at its own rate, mono
//       or stereo (more channels are mixed down to two). Exit 3 when there is none.
//   nvaavi --save SOURCE IN.WAV OUT
//       writes OUT (the container of OUT's extension) with every video stream of SOURCE
//       copied packet for packet and the wave file's sound as its sound track.
//
// Exit status 0 on success; otherwise a line on stderr says why.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kNoSound = 3;

int fail(const std::string& why, int code = 1)
{
    std::fprintf(stderr, "nvaavi: %s\n", why.c_str());
    return code;
}

void put16(uint8_t* p, uint32_t v)
{
    p[0] = v & 0xFF;
    p[1] = (v >> 8) & 0xFF;
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xFF;
}

bool write_wave_header(FILE* f, int channels, int rate, int bits, uint32_t data_bytes)
{
    uint8_t h[44];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + data_bytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, channels);
    put32(h + 24, rate);
    put32(h + 28, rate * channels * bits / 8);
    put16(h + 32, channels * bits / 8);
    put16(h + 34, bits);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, data_bytes);
    return std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(h, 1, 44, f) == 44;
}

// What one run opens, freed on every way out of it.
struct Held
{
    AVFormatContext* in = nullptr;
    AVFormatContext* oc = nullptr;
    AVCodecContext* dec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* pkt = nullptr;
    AVPacket* in_pkt = nullptr;
    AVFrame* frame = nullptr;
    ~Held()
    {
        av_frame_free(&frame);
        av_packet_free(&in_pkt);
        av_packet_free(&pkt);
        swr_free(&swr);
        avcodec_free_context(&dec);
        if (oc) {
            if (!(oc->oformat->flags & AVFMT_NOFILE))
                avio_closep(&oc->pb);
            avformat_free_context(oc);
        }
        avformat_close_input(&in);
    }
};

int first_sound_stream(AVFormatContext* in)
{
    for (unsigned i = 0; i < in->nb_streams; ++i)
        if (in->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return static_cast<int>(i);
    return -1;
}

int extract(const char* source, const char* out_name)
{
    Held av;
    AVFormatContext*& in = av.in;
    if (avformat_open_input(&in, source, nullptr, nullptr) < 0)
        return fail(std::string("cannot open ") + source);
    if (avformat_find_stream_info(in, nullptr) < 0)
        return fail(std::string("cannot read ") + source);
    const int index = first_sound_stream(in);
    if (index < 0)
        return fail("no sound stream", kNoSound);
    AVStream* st = in->streams[index];
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    AVCodecContext*& dec = av.dec;
    dec = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!dec || avcodec_parameters_to_context(dec, st->codecpar) < 0 ||
        avcodec_open2(dec, codec, nullptr) < 0)
        return fail("no decoder for the sound stream");
    if (dec->ch_layout.nb_channels <= 0 || dec->sample_rate <= 0)
        return fail("the sound stream has no format");
    const int channels = dec->ch_layout.nb_channels == 1 ? 1 : 2;
    AVChannelLayout out_layout;
    av_channel_layout_default(&out_layout, channels);
    SwrContext*& swr = av.swr;
    if (swr_alloc_set_opts2(&swr, &out_layout, AV_SAMPLE_FMT_S16, dec->sample_rate, &dec->ch_layout,
                            dec->sample_fmt, dec->sample_rate, 0, nullptr) < 0 ||
        swr_init(swr) < 0)
        return fail("cannot convert the sound");

    FILE* out = std::fopen(out_name, "wb");
    if (!out || !write_wave_header(out, channels, dec->sample_rate, 16, 0))
        return fail(std::string("cannot write ") + out_name);
    uint64_t bytes = 0;
    std::vector<uint8_t> buffer;
    AVPacket*& pkt = av.pkt;
    pkt = av_packet_alloc();
    AVFrame*& frame = av.frame;
    frame = av_frame_alloc();
    bool ok = true;
    auto drain = [&]() {
        while (avcodec_receive_frame(dec, frame) == 0) {
            const int room = swr_get_out_samples(swr, frame->nb_samples);
            buffer.resize(static_cast<size_t>(room) * channels * 2 + 64);
            uint8_t* planes[1] = {buffer.data()};
            const int got = swr_convert(swr, planes, room, (const uint8_t**)frame->extended_data,
                                        frame->nb_samples);
            if (got < 0 || std::fwrite(buffer.data(), channels * 2, got, out) != size_t(got))
                ok = false;
            bytes += static_cast<uint64_t>(got > 0 ? got : 0) * channels * 2;
            av_frame_unref(frame);
        }
    };
    while (ok && av_read_frame(in, pkt) >= 0) {
        if (pkt->stream_index == index && avcodec_send_packet(dec, pkt) >= 0)
            drain();
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    drain();
    if (bytes > 0xFFFFFFFFull - 64)
        return fail("the sound is too long for a wave file");
    if (!ok || !write_wave_header(out, channels, dec->sample_rate, 16, uint32_t(bytes)) ||
        std::fclose(out) != 0)
        return fail(std::string("cannot write ") + out_name);
    return 0;
}

// ---- Save: the wave file's sound beside the source's untouched video ----

struct WaveIn
{
    FILE* f = nullptr;
    int channels = 0, rate = 0, bits = 0;
    uint64_t data_left = 0;
};

uint32_t le32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

bool open_wave(const char* name, WaveIn& w)
{
    w.f = std::fopen(name, "rb");
    uint8_t riff[12];
    if (!w.f || std::fread(riff, 1, 12, w.f) != 12 || std::memcmp(riff, "RIFF", 4) ||
        std::memcmp(riff + 8, "WAVE", 4))
        return false;
    for (;;) {
        uint8_t head[8];
        if (std::fread(head, 1, 8, w.f) != 8)
            return false;
        const uint32_t size = le32(head + 4);
        if (!std::memcmp(head, "fmt ", 4) && size >= 16) {
            uint8_t fmt[16];
            if (std::fread(fmt, 1, 16, w.f) != 16 || fmt[0] != 1 || fmt[1] != 0)
                return false;
            w.channels = fmt[2] | fmt[3] << 8;
            w.rate = static_cast<int>(le32(fmt + 4));
            w.bits = fmt[14] | fmt[15] << 8;
            if (std::fseek(w.f, (size - 16) + (size & 1), SEEK_CUR) != 0)
                return false;
        } else if (!std::memcmp(head, "data", 4)) {
            w.data_left = size;
            return (w.channels == 1 || w.channels == 2) && (w.bits == 8 || w.bits == 16) &&
                   w.rate > 0;
        } else if (std::fseek(w.f, long(size) + (size & 1), SEEK_CUR) != 0) {
            return false;
        }
    }
}

// The sound codec each container takes: PCM where it can hold it, else the usual one.
AVCodecID sound_codec_for(const AVOutputFormat* format, int bits)
{
    const std::string name = format->name;
    if (name == "mp4" || name == "ipod")
        return AV_CODEC_ID_AAC;
    if (name == "webm")
        return AV_CODEC_ID_OPUS;
    if (name == "mov" && bits == 8)
        return AV_CODEC_ID_PCM_S16LE;
    return bits == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
}

int save(const char* source, const char* wave_name, const char* out_name)
{
    WaveIn wave;
    if (!open_wave(wave_name, wave))
        return fail(std::string("cannot read ") + wave_name);
    Held av;
    AVFormatContext*& in = av.in;
    if (avformat_open_input(&in, source, nullptr, nullptr) < 0 ||
        avformat_find_stream_info(in, nullptr) < 0)
        return fail(std::string("cannot open ") + source);
    AVFormatContext*& oc = av.oc;
    if (avformat_alloc_output_context2(&oc, nullptr, nullptr, out_name) < 0 || !oc)
        return fail(std::string("no container for ") + out_name);

    std::vector<int> map(in->nb_streams, -1);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        const AVStream* ist = in->streams[i];
        if (ist->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
            continue;
        AVStream* ost = avformat_new_stream(oc, nullptr);
        if (!ost || avcodec_parameters_copy(ost->codecpar, ist->codecpar) < 0)
            return fail("cannot copy the video stream");
        ost->codecpar->codec_tag = 0;
        ost->time_base = ist->time_base;
        ost->avg_frame_rate = ist->avg_frame_rate;
        map[i] = ost->index;
    }

    const AVCodecID codec_id = sound_codec_for(oc->oformat, wave.bits);
    const AVCodec* codec = avcodec_find_encoder(codec_id);
    if (!codec)
        return fail("no encoder for this container's sound");
    AVCodecContext*& enc = av.dec;
    enc = avcodec_alloc_context3(codec);
    av_channel_layout_default(&enc->ch_layout, wave.channels);
    enc->sample_rate = wave.rate;
    enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    enc->time_base = AVRational{1, wave.rate};
    if (codec_id == AV_CODEC_ID_OPUS && wave.rate != 48000) {
        // Opus runs at 48 kHz only.
        enc->sample_rate = 48000;
        enc->time_base = AVRational{1, 48000};
    }
    if (oc->oformat->flags & AVFMT_GLOBALHEADER)
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(enc, codec, nullptr) < 0)
        return fail("cannot open the sound encoder");
    AVStream* sound = avformat_new_stream(oc, nullptr);
    if (!sound || avcodec_parameters_from_context(sound->codecpar, enc) < 0)
        return fail("cannot make the sound stream");
    sound->time_base = enc->time_base;

    AVChannelLayout in_layout;
    av_channel_layout_default(&in_layout, wave.channels);
    SwrContext*& swr = av.swr;
    if (swr_alloc_set_opts2(&swr, &enc->ch_layout, enc->sample_fmt, enc->sample_rate, &in_layout,
                            wave.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16, wave.rate, 0,
                            nullptr) < 0 ||
        swr_init(swr) < 0)
        return fail("cannot convert the sound");

    if (!(oc->oformat->flags & AVFMT_NOFILE) && avio_open(&oc->pb, out_name, AVIO_FLAG_WRITE) < 0)
        return fail(std::string("cannot write ") + out_name);
    if (avformat_write_header(oc, nullptr) < 0)
        return fail("cannot write the container's header");

    const int frame_samples = enc->frame_size > 0 ? enc->frame_size : 1024;
    const int frame_bytes = wave.channels * wave.bits / 8;
    std::vector<uint8_t> pcm(static_cast<size_t>(frame_samples) * frame_bytes);
    AVFrame*& frame = av.frame;
    frame = av_frame_alloc();
    AVPacket*& pkt = av.pkt;
    pkt = av_packet_alloc();
    int64_t sound_pts = 0;
    bool sound_done = false, ok = true;

    auto write_encoded = [&]() {
        while (avcodec_receive_packet(enc, pkt) == 0) {
            av_packet_rescale_ts(pkt, enc->time_base, sound->time_base);
            pkt->stream_index = sound->index;
            if (av_interleaved_write_frame(oc, pkt) < 0)
                ok = false;
        }
    };
    // Feeds samples in (none: the end) and encodes every whole frame the resampler holds;
    // at the end also the last, shorter one.
    auto encode_samples = [&](const uint8_t* data, int count) {
        const uint8_t* planes[1] = {data ? data : pcm.data()};
        if (count > 0 && swr_convert(swr, nullptr, 0, planes, count) < 0)
            return void(ok = false);
        const bool end = data == nullptr;
        while (ok) {
            if (!end && swr_get_out_samples(swr, 0) < frame_samples)
                return;
            frame->nb_samples = frame_samples;
            frame->format = enc->sample_fmt;
            frame->sample_rate = enc->sample_rate;
            av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
            if (av_frame_get_buffer(frame, 0) < 0)
                return void(ok = false);
            // A null input drains the resampler for good: only at the end.
            const int got = end ? swr_convert(swr, frame->data, frame_samples, nullptr, 0)
                                : swr_convert(swr, frame->data, frame_samples, planes, 0);
            if (got <= 0) {
                av_frame_unref(frame);
                return;
            }
            frame->nb_samples = got;
            frame->pts = sound_pts;
            sound_pts += got;
            if (avcodec_send_frame(enc, frame) < 0)
                ok = false;
            av_frame_unref(frame);
            write_encoded();
        }
    };
    // Sound up to this many seconds, from the wave file.
    auto sound_until = [&](double seconds) {
        while (ok && !sound_done && double(sound_pts) / enc->sample_rate < seconds) {
            const size_t want = std::min<uint64_t>(pcm.size(), wave.data_left);
            const size_t got = want ? std::fread(pcm.data(), 1, want, wave.f) / frame_bytes : 0;
            wave.data_left -= got * frame_bytes;
            if (got == 0) {
                encode_samples(nullptr, 0); // what the resampler still holds
                avcodec_send_frame(enc, nullptr);
                write_encoded();
                sound_done = true;
                return;
            }
            encode_samples(pcm.data(), static_cast<int>(got));
        }
    };

    AVPacket*& in_pkt = av.in_pkt;
    in_pkt = av_packet_alloc();
    while (ok && av_read_frame(in, in_pkt) >= 0) {
        const int to = map[in_pkt->stream_index];
        if (to >= 0) {
            const AVStream* ist = in->streams[in_pkt->stream_index];
            const int64_t ts = in_pkt->dts != AV_NOPTS_VALUE ? in_pkt->dts : in_pkt->pts;
            if (ts != AV_NOPTS_VALUE)
                sound_until(ts * av_q2d(ist->time_base));
            av_packet_rescale_ts(in_pkt, ist->time_base, oc->streams[to]->time_base);
            in_pkt->stream_index = to;
            in_pkt->pos = -1;
            if (av_interleaved_write_frame(oc, in_pkt) < 0)
                ok = false;
        }
        av_packet_unref(in_pkt);
    }
    sound_until(1e300);
    if (!ok || av_write_trailer(oc) < 0)
        return fail(std::string("cannot write ") + out_name);
    if (!(oc->oformat->flags & AVFMT_NOFILE) && avio_closep(&oc->pb) < 0)
        return fail(std::string("cannot write ") + out_name);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    if (argc == 4 && !std::strcmp(argv[1], "--extract"))
        return extract(argv[2], argv[3]);
    if (argc == 5 && !std::strcmp(argv[1], "--save"))
        return save(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: nvaavi --extract SOURCE OUT.WAV | --save SOURCE IN.WAV OUT\n");
    return 2;
}
