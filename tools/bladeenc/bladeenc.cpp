// bladeenc -320 -quit FILE.wav
// Encodes a PCM wave file (8 or 16 bits, mono or stereo) as MP3 beside it: FILE.mp3.
// "-NNN" sets the bit rate in kbit/s; "-quit" (leave when done) is what it always does.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <lame/lame.h>
#include <string>
#include <vector>

namespace {

uint32_t le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct Wave
{
    int channels = 0;
    int rate = 0;
    int bits = 0;
    long data_offset = 0;
    uint32_t data_bytes = 0;
};

bool read_header(FILE* f, Wave& w)
{
    uint8_t h[12];
    if (std::fread(h, 1, 12, f) != 12 || std::memcmp(h, "RIFF", 4) || std::memcmp(h + 8, "WAVE", 4))
        return false;
    bool have_fmt = false;
    for (;;) {
        uint8_t ck[8];
        if (std::fread(ck, 1, 8, f) != 8)
            return false;
        const uint32_t size = le32(ck + 4);
        if (!std::memcmp(ck, "fmt ", 4)) {
            if (size < 16)
                return false;
            uint8_t fmt[16];
            if (std::fread(fmt, 1, 16, f) != 16)
                return false;
            if (le16(fmt) != 1)
                return false;
            w.channels = le16(fmt + 2);
            w.rate = static_cast<int>(le32(fmt + 4));
            w.bits = le16(fmt + 14);
            have_fmt = true;
            if (std::fseek(f, static_cast<long>(size - 16 + (size & 1)), SEEK_CUR) != 0)
                return false;
        } else if (!std::memcmp(ck, "data", 4)) {
            w.data_offset = std::ftell(f);
            w.data_bytes = size;
            return have_fmt && (w.channels == 1 || w.channels == 2) &&
                   (w.bits == 8 || w.bits == 16) && w.rate > 0;
        } else if (std::fseek(f, static_cast<long>(size + (size & 1)), SEEK_CUR) != 0) {
            return false;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    int kbps = 128;
    const char* input = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && std::isdigit(static_cast<unsigned char>(argv[i][1])))
            kbps = std::atoi(argv[i] + 1);
        else if (argv[i][0] != '-')
            input = argv[i];
    }
    if (!input) {
        std::fprintf(stderr, "usage: bladeenc [-KBPS] [-quit] FILE.wav\n");
        return 2;
    }
    FILE* in = std::fopen(input, "rb");
    Wave w;
    if (!in || !read_header(in, w)) {
        std::fprintf(stderr, "bladeenc: %s is not a PCM wave file\n", input);
        if (in)
            std::fclose(in);
        return 1;
    }
    std::string out_name = input;
    auto dot = out_name.rfind('.');
    auto slash = out_name.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        out_name.resize(dot);
    out_name += ".mp3";

    lame_global_flags* lame = lame_init();
    lame_set_num_channels(lame, w.channels);
    lame_set_in_samplerate(lame, w.rate);
    lame_set_brate(lame, kbps);
    lame_set_mode(lame, w.channels == 2 ? JOINT_STEREO : MONO);
    lame_set_quality(lame, 5);
    if (lame_init_params(lame) < 0) {
        std::fprintf(stderr, "bladeenc: unsupported format\n");
        lame_close(lame);
        std::fclose(in);
        return 1;
    }
    FILE* out = std::fopen(out_name.c_str(), "wb");
    if (!out) {
        lame_close(lame);
        std::fclose(in);
        return 1;
    }
    const int frames_per_block = 8192;
    std::vector<uint8_t> raw(static_cast<size_t>(frames_per_block) * w.channels * (w.bits / 8));
    std::vector<short> pcm(static_cast<size_t>(frames_per_block) * w.channels);
    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * frames_per_block + 7200));
    std::fseek(in, w.data_offset, SEEK_SET);
    uint32_t left = w.data_bytes;
    bool ok = true;
    while (left > 0) {
        size_t want = std::min<size_t>(raw.size(), left);
        size_t got = std::fread(raw.data(), 1, want, in);
        if (got == 0)
            break;
        left -= static_cast<uint32_t>(got);
        const size_t words = got / (w.bits / 8);
        for (size_t i = 0; i < words; ++i)
            pcm[i] = w.bits == 8 ? static_cast<short>((raw[i] - 128) << 8)
                                 : static_cast<short>(le16(&raw[2 * i]));
        const int frames = static_cast<int>(words / w.channels);
        int n = w.channels == 2
                    ? lame_encode_buffer_interleaved(lame, pcm.data(), frames, mp3.data(),
                                                     static_cast<int>(mp3.size()))
                    : lame_encode_buffer(lame, pcm.data(), pcm.data(), frames, mp3.data(),
                                         static_cast<int>(mp3.size()));
        if (n < 0 ||
            std::fwrite(mp3.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
            ok = false;
            break;
        }
    }
    int n = lame_encode_flush(lame, mp3.data(), static_cast<int>(mp3.size()));
    if (n > 0 && std::fwrite(mp3.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n))
        ok = false;
    lame_close(lame);
    std::fclose(in);
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
        std::remove(out_name.c_str());
    return ok ? 0 : 1;
}
