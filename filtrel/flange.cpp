// Flange: a comb whose delay is swept by a sawtooth and whose delayed sample is taken from
// the output already written:
//
//   x ----------------------------+-------------(+)--> / (1 + D) --> y
//   |                             |              ^
//   |                             v              | * E
//   |                      (1 - w) x + w V ------+
//   |                             ^
//   y --> [ delay line: t(i) frames ] --> V
//
//   t(i) = rate * delay * (d (2 i / P - 1) + 1) / 1000 frames, i = 0 .. P - 1 (sawtooth),
//   P = sample rate / sweep rate frames;  D = feedback, E = 0.75 + 0.25 D (0 when D = 0),
//   w = mix, d = depth, all as fractions.
//
// Delay 0 .. 100 ms, rate 0 .. 20 Hz (0 sweeps once in two seconds), depth 0 .. 100 %,
// feedback 0 .. 100 % (0 leaves the sound as it is), mix -100 .. 100 %. Everything counts in
// frames, so the same settings sound the same in every format; the delay line and the sweep
// run on from one piece to the next. Until the delay first reaches back to the selection's
// start the frames stay as they are.
#include "filtrel/flange.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "filtrel/equalizer_settings.h"
#include "filtrel/module_selection.h"
#include "filtrel/operation_progress.h"
#include "filtrel/pcm_samples.h"
#include "platform/profile.h"

#include <algorithm>
#include <memory>
#include <new>

FlangeSettings g_flange;
unsigned long g_flange_piece_limit = 32768;

std::vector<int> flange_preset_values(const FlangeSettings& s)
{
    return {s.delay_ms, s.rate_hz, s.depth_percent, s.feedback_percent, s.mix_percent};
}

bool read_flange_preset(FlangeSettings& s, const std::string& ini_path, const std::string& preset)
{
    const PresetFamily family = preset_family(PresetKind::Flange);
    auto text = kel::profile::lookup(preset, family.value_prefix + "1", ini_path);
    if (!text || text->empty())
        return false;
    std::vector<int> v = parse_preset_values(text->substr(0, 127));
    std::vector<int> now = flange_preset_values(s);
    for (size_t i = 0; i < now.size() && i < v.size(); ++i)
        now[i] = std::clamp(v[i], kFlangeRanges[i].minimum, kFlangeRanges[i].maximum);
    s.delay_ms = now[0];
    s.rate_hz = now[1];
    s.depth_percent = now[2];
    s.feedback_percent = now[3];
    s.mix_percent = now[4];
    return true;
}

std::string flange_preset_path()
{
    return module_directory() + preset_family(PresetKind::Flange).ini_file;
}

FlangeEngine::FlangeEngine(const FlangeSettings& s, long sample_rate, int channels,
                           int bytes_per_sample)
    : channels_(std::max(1, channels)), bytes_per_sample_(bytes_per_sample)
{
    feedback_ = std::clamp(s.feedback_percent, 0, 100) * 0.01;
    weight_ = feedback_ != 0.0 ? 0.75 + 0.25 * feedback_ : 0.0;
    mix_ = std::clamp(s.mix_percent, -100, 100) * 0.01;
    depth_ = std::clamp(s.depth_percent, 0, 100) * 0.01;
    const double rate = std::max(1L, sample_rate);
    base_ = rate * std::clamp(s.delay_ms, 0, 100) * 0.001;
    const double sweep = s.rate_hz > 0 ? std::min(s.rate_hz, 20) : 0.5;
    period_ = std::max(1L, static_cast<long>(rate / sweep));
    // The longest delay, at the top of the sweep, plus the frame itself.
    line_frames_ = static_cast<long>(base_ * (1.0 + depth_)) + 2;
    try {
        line_.assign(static_cast<size_t>(line_frames_) * channels_, 0);
    } catch (const std::bad_alloc&) {
        line_.clear();
    }
}

long FlangeEngine::delay_at(long i) const
{
    return static_cast<long>(base_ *
                             (depth_ * (2.0 * static_cast<double>(i) / period_ - 1.0) + 1.0));
}

void FlangeEngine::process(unsigned char* frames, long frame_count)
{
    const int bps = bytes_per_sample_;
    const long frame_bytes = static_cast<long>(bps) * channels_;
    const double gain = 1.0 / (1.0 + feedback_);
    for (long f = 0; f < frame_count; ++f) {
        unsigned char* at = frames + f * frame_bytes;
        const long delay = std::min(delay_at(sweep_), line_frames_ - 1);
        const bool reaches = weight_ != 0.0 && delay <= frame_;
        int* written = &line_[static_cast<size_t>(frame_ % line_frames_) * channels_];
        const int* delayed =
            reaches ? &line_[static_cast<size_t>((frame_ - delay) % line_frames_) * channels_]
                    : written;
        for (int c = 0; c < channels_; ++c) {
            unsigned char* p = at + c * bps;
            const int x = load_sample(p, bps);
            int y = x;
            if (reaches) {
                // Delay 0 takes the frame itself, as it was read.
                const double v = delay == 0 ? x : delayed[c];
                y = clamp_sample((x + ((1.0 - mix_) * x + mix_ * v) * weight_) * gain, bps);
                store_word(p, bps, y);
            }
            written[c] = y;
        }
        ++frame_;
        if (++sweep_ >= period_)
            sweep_ = 0;
    }
}

int flange_selection(CChildFrame& doc, const char* progress_text)
{
    if (!doc.check_sample_format())
        return 0;
    const FrameSpan span = selection_frames(doc);
    FlangeEngine engine(g_flange, span.sample_rate, span.channels, span.bytes_per_sample);
    const unsigned long length = span.length_bytes();
    const unsigned long piece_bytes = std::max<unsigned long>(
        span.frame_bytes,
        compute_sample_length(length, span.frame_bytes, std::max(1UL, g_flange_piece_limit)));
    std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[piece_bytes]);
    if (!engine.ready() || !piece) {
        NewErrMsg(5001);
        return 0;
    }
    if (!doc.setup_for_undo(doc.owner_window, 1))
        return 0;
    if (!doc.copy_selected_area_to_pseudo_clipboard(doc.owner_window)) {
        doc.abandon_undo_setup();
        return 0;
    }
    OperationProgress progress(progress_text);
    for (unsigned long done = 0; done < length;) {
        const unsigned long bytes = std::min(piece_bytes, length - done);
        const long at = static_cast<long>(span.start_byte + done);
        if (copy_file_to_memory(doc.redo_file(), piece.get(), 0, static_cast<long>(bytes), at, 0) <
            static_cast<int>(bytes)) {
            progress.close();
            doc.abandon_undo_setup();
            return 0;
        }
        engine.process(piece.get(), static_cast<long>(bytes / span.frame_bytes));
        if (!copy_memory_to_file(doc.redo_file(), reinterpret_cast<const char*>(piece.get()), 0,
                                 bytes, at, 0)) {
            progress.close();
            doc.abandon_undo_setup();
            return 0;
        }
        done += bytes;
        if (progress.cancelled()) {
            progress.close();
            doc.abandon_undo_setup();
            return 0;
        }
        progress.percent(static_cast<int>(done * 100.0 / (length + 1)));
    }
    progress.close();
    return doc.setup_for_redo(doc.owner_window, kFlangeCommand, 1);
}
