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
    // A whole target block at the largest ratio the player knows, with the frame that
    // waited from the step before and the held last frame of the stream.
    const size_t align = std::max<size_t>(1, target_format_.block_align);
    const size_t frames = target_block_ / align + 2;
    return (static_cast<size_t>(static_cast<double>(frames) * 6.0995) + 16) * align;
}

uint64_t ConvertJob::expected_output_bytes() const
{
    const float r = ratio_for_marker(desc_.avg_bytes_per_sec());
    uint64_t frames = desc_.sample_count;
    if (frames == 0 && desc_.block_align() > 0)
        frames = uint64_t{data_size_} / desc_.block_align() *
                 static_cast<uint64_t>(frames_per_block(desc_));
    return static_cast<uint64_t>(static_cast<double>(frames) * static_cast<double>(r)) *
           target_format_.block_align;
}

bool ConvertJob::begin(const std::string& source_path, const std::string& target_path,
                       const WaveFileDesc& source, const std::string& replaces)
{
    close();
    desc_ = source;
    data_size_ = source.data_size;
    consumed_ = 0;
    frames_decoded_ = 0;
    stretcher_.reset();
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
    if (!is_open() || (consumed_ >= data_size_ && !stretcher_))
        return 0;
    const int ch = target_format_.channels;
    int16_t* words = reinterpret_cast<int16_t*>(out);
    size_t made = 0;
    // A step that only fed the waiting frame goes on, so 0 still means the end.
    while (made == 0 && consumed_ < data_size_) {
        const size_t want = std::min<size_t>(source_block_, data_size_ - consumed_);
        const int64_t got = source_->read(source_buffer_.data(), static_cast<int64_t>(want));
        if (got < 0) {
            warn("Failed, 1358");
            return -1;
        }
        // The file has become shorter than its data chunk: what is there is all there is.
        if (static_cast<size_t>(got) < want)
            truncated_ = true;
        if (got == 0) {
            consumed_ = data_size_;
            break;
        }
        const bool last =
            consumed_ + static_cast<uint64_t>(got) >= data_size_ || static_cast<size_t>(got) < want;
        size_t used = 0, frames = 0;
        if (!decode(static_cast<size_t>(got), used, frames, last))
            return -1;
        if (static_cast<size_t>(got) > used)
            source_->seek(-(got - static_cast<int64_t>(used)), SEEK_CUR);
        consumed_ += static_cast<uint32_t>(used);
        // The padding nibble of a short last block is no frame of the sound.
        if (desc_.sample_count > 0 && frames_decoded_ + frames >= desc_.sample_count) {
            frames = static_cast<size_t>(desc_.sample_count -
                                         std::min<uint64_t>(frames_decoded_, desc_.sample_count));
            consumed_ = data_size_;
        }
        frames_decoded_ += frames;
        if (frames == 0) {
            // Nothing more can be decoded: take the stream as ended.
            consumed_ = data_size_;
            break;
        }
        const float r = ratio_for_marker(desc_.avg_bytes_per_sec());
        if (r == 0.0f) {
            warn("Unknown resample rate. Returning.");
            return -1;
        }
        if (!stretcher_)
            stretcher_ = std::make_unique<kel::ocw::Stretcher>(r, ch);
        made += stretcher_->push(target_buffer_.data(), frames, words);
    }
    if (consumed_ >= data_size_ && stretcher_) {
        made += stretcher_->finish(words + made * ch);
        stretcher_.reset();
    }
    return static_cast<long>(made * ch * 2);
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
