#include "plavo/convert_job.h"

#include "formats/msadpcm.h"
#include "formats/ocw_rate.h"
#include "platform/ui.h"
#include "plavo/texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <utility>

namespace plavo {

namespace wd = kel::wave_device;

namespace {

// The codec manager's "conversion not possible".
constexpr unsigned kNotPossible = 512;

void warn(const std::string& text)
{
    kel::ui().message_box(text, kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
}

void warn_code(const char* format, unsigned code)
{
    char text[200];
    std::snprintf(text, sizeof text, format, code);
    warn(text);
}

void put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool is_adpcm(const WaveFileDesc& d)
{
    return d.format_tag() == kel::msadpcm::kFormatTag;
}

bool is_pcm16(const WaveFileDesc& d)
{
    return d.format_tag() == 1 && d.bits_per_sample() == 16 && d.block_align() == 2 * d.channels();
}

// What our decoder can open: MS ADPCM with the standard table, or 16-bit PCM as it is.
bool decodable(const WaveFileDesc& d)
{
    const int ch = d.channels();
    if (ch < 1 || ch > kel::msadpcm::kMaxChannels || d.sample_rate() == 0)
        return false;
    if (is_pcm16(d))
        return true;
    if (!is_adpcm(d) || d.format.size() < kel::msadpcm::kFormatBytes || d.bits_per_sample() != 4)
        return false;
    if (kel::msadpcm::samples_per_block(d.block_align(), ch) < 2)
        return false;
    const int pairs = d.format[20] | (d.format[21] << 8);
    if (22 + 4 * static_cast<size_t>(pairs) > d.format.size())
        return false;
    return kel::msadpcm::coefficients_are_standard(&d.format[22], pairs);
}

// Frames (per block) our decoder yields for a whole source block.
int frames_per_block(const WaveFileDesc& d)
{
    return is_pcm16(d) ? 1 : kel::msadpcm::samples_per_block(d.block_align(), d.channels());
}

} // namespace

float ratio_for_marker(uint32_t marker)
{
    return kel::ocw::ratio_for_marker(marker);
}

size_t stretched_bytes(size_t decoded_bytes, float r)
{
    const size_t n = static_cast<size_t>(static_cast<double>(decoded_bytes) * r);
    return n & ~static_cast<size_t>(3);
}

namespace {

// The step towards the next frame divides by K; with K known when compiling, the
// division becomes a multiplication, which was most of the Convert's time. Frames whose
// K + 1 values all fit go without the bounds check; the output is the same word for word.
// The K + 1 values of one frame, written out in full by the compiler.
template <int Steps, int Channels, int... K>
inline void put_steps(int16_t* o, const int16_t* cur, const int16_t* nxt,
                      std::integer_sequence<int, K...>)
{
    for (int c = 0; c < Channels; ++c) {
        const int from = cur[c];
        const int delta = nxt[c] - from;
        ((o[K * Channels + c] = static_cast<int16_t>(from + delta * K / Steps)), ...);
    }
}

template <int Steps, int Channels>
void stretch_fixed(const int16_t* in, size_t frames, double r, int16_t* out, size_t out_words)
{
    constexpr size_t span = static_cast<size_t>(Steps + 1) * Channels;
    for (size_t j = 0; j < frames; ++j) {
        size_t pos = static_cast<size_t>(static_cast<double>(j * Channels) * r);
        if (Channels == 2)
            pos &= ~static_cast<size_t>(1);
        const int16_t* cur = in + j * Channels;
        const int16_t* nxt = j + 1 < frames ? cur + Channels : cur;
        int16_t* o = out + pos;
        if (pos + span <= out_words) {
            put_steps<Steps, Channels>(o, cur, nxt, std::make_integer_sequence<int, Steps + 1>{});
            continue;
        }
        for (int c = 0; c < Channels; ++c) {
            const int from = cur[c];
            const int delta = nxt[c] - from;
            for (int k = 0; k <= Steps; ++k) {
                const size_t at = pos + static_cast<size_t>(k) * Channels + c;
                if (at >= out_words)
                    break;
                out[at] = static_cast<int16_t>(from + delta * k / Steps);
            }
        }
    }
}

template <int Channels>
bool stretch_known(const int16_t* in, size_t frames, int steps, double r, int16_t* out,
                   size_t out_words)
{
    switch (steps) {
    case 1:
        stretch_fixed<1, Channels>(in, frames, r, out, out_words);
        return true;
    case 2:
        stretch_fixed<2, Channels>(in, frames, r, out, out_words);
        return true;
    case 3:
        stretch_fixed<3, Channels>(in, frames, r, out, out_words);
        return true;
    case 4:
        stretch_fixed<4, Channels>(in, frames, r, out, out_words);
        return true;
    case 6:
        stretch_fixed<6, Channels>(in, frames, r, out, out_words);
        return true;
    default:
        return false;
    }
}

} // namespace

size_t stretch(const int16_t* in, size_t frames, int channels, float r, int16_t* out)
{
    const size_t out_bytes = stretched_bytes(frames * channels * 2, r);
    const size_t out_words = out_bytes / 2;
    const int steps = static_cast<int>(r + 0.5f);
    if (frames == 0 || steps < 1)
        return 0;
    const double ratio = static_cast<double>(r);
    if (channels == 1 && stretch_known<1>(in, frames, steps, ratio, out, out_words))
        return out_bytes;
    if (channels == 2 && stretch_known<2>(in, frames, steps, ratio, out, out_words))
        return out_bytes;
    for (size_t j = 0; j < frames; ++j) {
        size_t pos = static_cast<size_t>(static_cast<double>(j * channels) * r);
        if (channels == 2)
            pos &= ~static_cast<size_t>(1);
        const size_t next = j + 1 < frames ? j + 1 : j;
        for (int c = 0; c < channels; ++c) {
            const int cur = in[j * channels + c];
            const int delta = in[next * channels + c] - cur;
            for (int k = 0; k <= steps; ++k) {
                const size_t at = pos + static_cast<size_t>(k) * channels + c;
                if (at >= out_words)
                    break;
                out[at] = static_cast<int16_t>(cur + delta * k / steps);
            }
        }
    }
    return out_bytes;
}

bool suggest_format(const WaveFileDesc& source, wd::Format& target)
{
    if (!decodable(source))
        return false;
    target.format_tag = 1;
    target.channels = source.channels();
    target.sample_rate = source.sample_rate();
    target.bits_per_sample = 16;
    target.block_align = static_cast<uint16_t>(2 * target.channels);
    target.avg_bytes_per_sec = target.sample_rate * target.block_align;
    return true;
}

ConvertJob::~ConvertJob()
{
    close();
}

size_t ConvertJob::out_capacity() const
{
    // The stretch of a whole target block at the largest ratio the player knows.
    return stretched_bytes(target_block_, 6.0995f) + 16;
}

bool ConvertJob::begin(const std::string& source_path, const std::string& target_path,
                       const WaveFileDesc& source, const std::string& replaces)
{
    close();
    desc_ = source;
    data_size_ = source.data_size;
    consumed_ = 0;
    truncated_ = source.truncated;
    const bool ok = [&] {
        if (!suggest_format(source, target_format_)) {
            warn("AcmAppChooserFormatSuggest() there is no suggested destination format. "
                 "Defaulting to source format.");
            warn_code("acmStreamOpen() failed with error = %u!", kNotPossible);
            warn("Failed, 1098");
            return false;
        }
        const size_t align = source.block_align();
        const size_t marker = source.avg_bytes_per_sec();
        source_block_ = marker - marker % align;
        // A marker smaller than one block would never move the stream on.
        if (source_block_ == 0)
            source_block_ = align;
        // Every marker the player knows is below 32000; a wild one must not size the buffers.
        if (source_block_ > 65536)
            source_block_ = std::max(align, 65536 - 65536 % align);
        target_block_ = source_block_ / align * static_cast<size_t>(frames_per_block(source)) *
                        target_format_.block_align;

        source_ = kel::riff::File::open(source_path, kel::riff::File::Mode::Read);
        // Creating the target over the source would destroy what is being read.
        struct stat a
        {
        }, b{};
        const std::string& replaced = replaces.empty() ? target_path : replaces;
        if (source_ && stat(source_path.c_str(), &a) == 0 && stat(replaced.c_str(), &b) == 0 &&
            a.st_dev == b.st_dev && a.st_ino == b.st_ino) {
            warn("Failed, 1358");
            return false;
        }
        target_ =
            source_ ? kel::riff::File::open(target_path, kel::riff::File::Mode::Create) : nullptr;
        if (!source_ || !target_) {
            warn("Failed, 1358");
            return false;
        }
        try {
            source_buffer_.assign(source_block_, 0);
            target_buffer_.assign(target_block_ / 2 + 16, 0);
        } catch (...) {
            warn("Failed, 1358");
            return false;
        }

        riff_ = {};
        riff_.type = kel::riff::fourcc("WAVE");
        bool written = target_->create_chunk(riff_, kel::riff::kCreateRiff) == kel::riff::kOk;
        // The source's display and playlist chunks travel with the sound.
        uint64_t at = 12;
        const uint64_t length = source_->length();
        while (written && at + 8 <= length) {
            uint8_t ck[8];
            if (source_->seek(static_cast<int64_t>(at), SEEK_SET) < 0 || source_->read(ck, 8) != 8)
                break;
            const uint32_t id = ck[0] | (ck[1] << 8) | (ck[2] << 16) | (uint32_t(ck[3]) << 24);
            uint64_t size = ck[4] | (ck[5] << 8) | (ck[6] << 16) | (uint64_t(ck[7]) << 24);
            size = std::min<uint64_t>(size, length - at - 8);
            if (id == kel::riff::fourcc("DISP") || id == kel::riff::fourcc("plst")) {
                kel::riff::Chunk copy;
                copy.id = id;
                std::vector<uint8_t> body(size);
                written = source_->read(body.data(), static_cast<int64_t>(size)) ==
                              static_cast<int64_t>(size) &&
                          target_->create_chunk(copy, 0) == kel::riff::kOk &&
                          target_->write(body.data(), static_cast<int64_t>(size)) ==
                              static_cast<int64_t>(size) &&
                          target_->ascend(copy) == kel::riff::kOk;
            }
            at += 8 + size + (size & 1);
        }
        uint8_t fmt[16];
        put16(fmt, target_format_.format_tag);
        put16(fmt + 2, target_format_.channels);
        put32(fmt + 4, target_format_.sample_rate);
        put32(fmt + 8, target_format_.avg_bytes_per_sec);
        put16(fmt + 12, target_format_.block_align);
        put16(fmt + 14, target_format_.bits_per_sample);
        uint8_t fact[4];
        put32(fact, source.sample_count);
        kel::riff::Chunk fmt_chunk, fact_chunk;
        fmt_chunk.id = kel::riff::fourcc("fmt ");
        fact_chunk.id = kel::riff::fourcc("fact");
        data_ = {};
        data_.id = kel::riff::fourcc("data");
        written = written && target_->create_chunk(fmt_chunk, 0) == kel::riff::kOk &&
                  target_->write(fmt, 16) == 16 && target_->ascend(fmt_chunk) == kel::riff::kOk &&
                  target_->create_chunk(fact_chunk, 0) == kel::riff::kOk &&
                  target_->write(fact, 4) == 4 && target_->ascend(fact_chunk) == kel::riff::kOk &&
                  target_->create_chunk(data_, 0) == kel::riff::kOk &&
                  source_->seek(static_cast<int64_t>(source.data_offset), SEEK_SET) >= 0;
        if (!written) {
            warn("Failed, 1358");
            return false;
        }
        return true;
    }();
    if (!ok) {
        warn("BeginConvert failed");
        close();
    }
    return ok;
}

bool ConvertJob::decode(size_t bytes, size_t& used, size_t& frames, bool last)
{
    const int ch = target_format_.channels;
    used = 0;
    frames = 0;
    if (is_pcm16(desc_)) {
        used = bytes - bytes % (2 * ch);
        std::memcpy(target_buffer_.data(), source_buffer_.data(), used);
        frames = used / (2 * ch);
        return true;
    }
    const size_t align = desc_.block_align();
    const int per_block = frames_per_block(desc_);
    while (used < bytes) {
        size_t n = std::min(align, bytes - used);
        // Whole blocks only, except the short block the data ends with.
        if (n < align && !last)
            break;
        const int got = kel::msadpcm::decode_block(&source_buffer_[used], n, ch, per_block,
                                                   &target_buffer_[frames * ch]);
        if (got < 0) {
            warn_code("acmStreamConvert() failed with error = %u!", kNotPossible);
            return false;
        }
        used += n;
        frames += static_cast<size_t>(got);
        if (got == 0)
            break;
    }
    return true;
}

long ConvertJob::step(uint8_t* out)
{
    if (!is_open() || consumed_ >= data_size_)
        return 0;
    const size_t want = std::min<size_t>(source_block_, data_size_ - consumed_);
    const int64_t got = source_->read(source_buffer_.data(), static_cast<int64_t>(want));
    if (got < 0) {
        warn("Failed, 1358");
        return -1;
    }
    // The file has become shorter than its data chunk: what is there is all there is.
    if (static_cast<size_t>(got) < want)
        truncated_ = true;
    if (got == 0)
        return 0;
    const bool last =
        consumed_ + static_cast<uint64_t>(got) >= data_size_ || static_cast<size_t>(got) < want;
    size_t used = 0, frames = 0;
    if (!decode(static_cast<size_t>(got), used, frames, last))
        return -1;
    if (static_cast<size_t>(got) > used)
        source_->seek(-(got - static_cast<int64_t>(used)), SEEK_CUR);
    consumed_ += static_cast<uint32_t>(used);
    if (frames == 0) {
        // Nothing more can be decoded: take the stream as ended.
        consumed_ = data_size_;
        return 0;
    }
    const float r = ratio_for_marker(desc_.avg_bytes_per_sec());
    if (r == 0.0f) {
        warn("Unknown resample rate. Returning.");
        return -1;
    }
    return static_cast<long>(stretch(target_buffer_.data(), frames, target_format_.channels, r,
                                     reinterpret_cast<int16_t*>(out)));
}

bool ConvertJob::write(const uint8_t* bytes, size_t count)
{
    return target_ &&
           target_->write(bytes, static_cast<int64_t>(count)) == static_cast<int64_t>(count);
}

bool ConvertJob::close()
{
    bool ok = true;
    if (target_) {
        ok = target_->ascend(data_) == kel::riff::kOk && target_->ascend(riff_) == kel::riff::kOk;
        ok = target_->close() && ok;
        target_.reset();
    }
    source_.reset();
    source_buffer_.clear();
    target_buffer_.clear();
    return ok;
}

} // namespace plavo
