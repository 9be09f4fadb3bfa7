// Tones / Effects: a table oscillator with glide, vibrato and four harmonics.
//
//   glide:    f = ((q - 1) n / D + 1) f_init,  q = f_final / f_init
//   vibrato:  Jv = va T[trunc(j Hv)],  Hv = vf 1000 / rate, j counts 0 ... rate / vf
//   phase:    P = P + (f + Jv) 1000 / rate  (mod 1000),  p = trunc(P);  f + Jv >= 1 Hz
//
//   p ──> T[p] ───────────────────────────┐
//   p ──> T[2p mod 1000] * 2 h1 ──────────(+)──> / m ──┬─> * vL ──> a (left)
//   p ──> T[3p mod 1000] * 3 h2 ──────────(+)          └─> * vR ──> b (right, from
//   ...                                                              T[(p + phase) mod 1000])
//
//   Generate tones: sample = clamp(trunc(a));  Modulate music: sample = clamp(trunc(x a))
//
// Waveforms Cosine, Sine, Square wave, Sawtooth (a triangle), Ramp, Pulse, one period over
// T[0] ... T[1000]. Frequencies 1 Hz to half the rate (initially 440), vibrato 0 to 100 Hz
// and 0 to 100 %, harmonics 0 to 99 % each (initially 99, 75, 50, 25, then 0), fixed
// (Constant) or moving from initial to final over the selection (Warble); m counts the
// fundamental and the harmonics that take part. Right-channel phase 0 to 360 degrees in
// steps of trunc(degrees * 2.7777777), the harmonics unshifted. Volumes 0 to 100 %, scaled
// by 63 (8-bit) or 16128 (16-bit) to generate and by 2 to modulate; the vibrato depth by 63
// to generate and by 2 to modulate. The phase runs on from sample to sample, so the tone
// has the asked frequency rather than a whole number of samples per period.
#include "effra/tones.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "effra/delay_samples.h"
#include "effra/progress_window.h"
#include "effra/selection_region.h"
#include "platform/ui.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace effra {

namespace {

struct Voice
{
    float vl = 0, vr = 0, va = 0;
    double unit = 0; // 1000 / rate
    double f_init = 0, q = 1;
    bool glide = false;
    bool vibrato = false;
    double vibrato_step = 0;
    long vibrato_period = 0;
    bool phase_on = false;
    int phase_steps = 0;
    bool warble = false;
    int harmonic_count = 0;
    int harmonic_number[4] = {};
    float h_init[4] = {}, h_final[4] = {};
    float divide_by_m = 1;
    double frames = 1; // D
};

Voice prepare(const ToneSettings& s, unsigned long samples_per_second, int sample_bytes,
              long frames)
{
    Voice v;
    const double rate = static_cast<double>(std::max(1ul, samples_per_second));
    v.unit = 1000.0 / rate;
    v.f_init = s.frequency_initial;
    v.glide = s.frequency_initial != s.frequency_final;
    v.q = s.frequency_initial != 0 ? static_cast<double>(s.frequency_final) / s.frequency_initial
                                   : s.frequency_final;
    const float va = static_cast<float>(s.vibrato_amplitude * 0.01);
    const float vl = static_cast<float>(s.volume_left * 0.01);
    const float vr = static_cast<float>(s.volume_right * 0.01);
    if (s.generate) {
        const float scale = sample_bytes == 1 ? 63.0f : 16128.0f;
        v.vl = vl * scale;
        v.vr = vr * scale;
        v.va = va * 63.0f;
    } else {
        v.vl = vl * 2.0f;
        v.vr = vr * 2.0f;
        v.va = va * 2.0f;
    }
    v.vibrato = s.vibrato_amplitude != 0 && s.vibrato_frequency != 0;
    v.vibrato_step = s.vibrato_frequency * 1000.0 / rate;
    v.vibrato_period = s.vibrato_frequency ? static_cast<long>(rate / s.vibrato_frequency)
                                           : static_cast<long>(rate);
    v.phase_on = s.phase != 0;
    v.phase_steps = static_cast<int>(static_cast<float>(s.phase) * 2.7777777f);
    v.warble = s.warble != 0;
    for (int k = 0; k < 4; ++k) {
        const float hi = static_cast<float>(s.harmonic_initial[k] * 0.01);
        const float hf = static_cast<float>(s.harmonic_final[k] * 0.01);
        const bool on = v.warble ? (hi != 0.0f || hf != 0.0f) : hi > 0.0f;
        if (!on)
            continue;
        const int i = v.harmonic_count++;
        v.harmonic_number[i] = k + 2;
        v.h_init[i] = hi;
        v.h_final[i] = v.warble ? hf : hi;
    }
    v.divide_by_m = 1.0f / static_cast<float>(1 + v.harmonic_count);
    v.frames = frames > 0 ? static_cast<double>(frames) : 1.0;
    return v;
}

template <class Coding>
bool synthesise(const Voice& v, const float* t, const ToneTarget& target, bool generate,
                bool write_left, bool write_right, ToneProgress progress, void* context)
{
    using Sample = typename Coding::Sample;
    auto* s = reinterpret_cast<Sample*>(target.data);
    const int stride = target.channels == 2 ? 2 : 1;
    const long frames = target.frames;
    const double per_frame = 1.0 / v.frames;
    double f = v.f_init;
    double step = v.f_init * v.unit; // table steps per frame
    double phase = 0.0;
    long j = 0;
    float jv = 0.0f;
    auto put = [&](Sample& out, float value) {
        const float y = generate ? value : static_cast<float>(Coding::load(out)) * value;
        // Strong harmonics overshoot the range: held at the limit, never wrapped.
        const float held =
            std::clamp(y, -static_cast<float>(Coding::limit), static_cast<float>(Coding::limit));
        out = Coding::store(static_cast<int32_t>(held));
    };
    const long piece = std::clamp(frames / 10, 1L, 65536L);
    for (long from = 0; from < frames; from += piece) {
        const long to = std::min(frames, from + piece);
        for (long n = from; n < to; ++n) {
            if (v.vibrato) {
                const long at = std::clamp(static_cast<long>(j * v.vibrato_step), 0L, 1000L);
                jv = v.va * t[at];
                if (++j > v.vibrato_period)
                    j = 0;
                step = std::max(1.0, f + jv) * v.unit;
            }
            if (v.glide) {
                f = ((v.q - 1.0) * n * per_frame + 1.0) * v.f_init;
                step = std::max(1.0, f + jv) * v.unit;
            }
            const int p = std::min(999, static_cast<int>(phase));
            float sum = 0.0f;
            for (int i = 0; i < v.harmonic_count; ++i) {
                const int k = v.harmonic_number[i];
                float level = v.h_init[i];
                if (v.warble)
                    level += (v.h_final[i] - v.h_init[i]) * static_cast<float>(n * per_frame);
                sum += t[(k * p) % 1000] * static_cast<float>(k) * level;
            }
            Sample* frame = s + n * stride;
            if (write_left)
                put(frame[0], v.vl * (t[p] + sum) * v.divide_by_m);
            if (write_right) {
                const float right = v.phase_on ? t[(v.phase_steps + p) % 1000] : t[p];
                put(frame[stride - 1], v.vr * (right + sum) * v.divide_by_m);
            }
            phase += step;
            if (phase >= 1000.0)
                phase = phase < 2000.0 ? phase - 1000.0 : std::fmod(phase, 1000.0);
        }
        if (progress && !progress(context, to))
            return false;
    }
    return true;
}

} // namespace

bool synthesise_tones(const ToneSettings& settings, const std::vector<float>& table,
                      const ToneTarget& target, ToneProgress progress, void* context)
{
    if (table.size() < 1001 || target.frames <= 0)
        return true;
    const Voice v =
        prepare(settings, target.samples_per_second, target.sample_bytes, target.frames);
    const bool stereo = target.channels == 2;
    const bool left = !stereo || settings.channels == 1 || settings.channels == 2;
    const bool right = stereo && (settings.channels == 1 || settings.channels == 3);
    const bool generate = settings.generate != 0;
    if (target.sample_bytes == 1)
        return synthesise<Coding8>(v, table.data(), target, generate, left, right, progress,
                                   context);
    if (target.sample_bytes == 2)
        return synthesise<Coding16>(v, table.data(), target, generate, left, right, progress,
                                    context);
    return true;
}

} // namespace effra

namespace {

struct ToneRunProgress
{
    effra::ProgressWindow* window;
    double frames;
};

bool report_tones(void* context, long done)
{
    auto* p = static_cast<ToneRunProgress*>(context);
    p->window->percent(static_cast<int>(done * 100 / (p->frames + 1)));
    return !p->window->cancelled();
}

} // namespace

void CChildFrame::generate_special_effects()
{
    using namespace effra;
    const ToneSettings& settings = tone_settings();
    std::vector<float> table;
    try {
        table = waveform_table(settings.wave);
    } catch (const std::bad_alloc&) {
        NewErrMsg(5065);
        return;
    }
    const int sample_bytes = bytes_per_sample();
    if (sample_bytes != 1 && sample_bytes != 2) {
        NewErrMsg(5016);
        return;
    }
    const SelectionBytes region = whole_frames_of_selection(*this);
    if (region.bytes == 0)
        return;
    std::unique_ptr<unsigned char[]> data = region_buffer(region.bytes);
    if (!data)
        return;
    if (!setup_for_undo(owner_window, 1))
        return;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return;
    }
    // A tone that replaces every sample needs nothing read.
    const bool replaces_all =
        settings.generate && (wave_format.channels != 2 || settings.channels == 1);
    if (!replaces_all) {
        const int got =
            copy_file_to_memory(redo_file(), data.get(), 0, static_cast<long>(region.bytes),
                                static_cast<long>(region.start), 0);
        if (got < 0 || static_cast<unsigned long>(got) != region.bytes) {
            NewErrMsg(5038);
            abandon_undo_setup();
            return;
        }
    }

    ToneTarget target;
    target.data = data.get();
    target.frames = static_cast<long>(region.frames);
    target.channels = wave_format.channels;
    target.sample_bytes = sample_bytes;
    target.samples_per_second = wave_format.sample_rate;
    bool done;
    {
        const kel::Cursor previous = kel::ui().set_cursor(kel::Cursor::Watch);
        ProgressWindow progress("Making special effects...");
        ToneRunProgress context{&progress, static_cast<double>(region.frames)};
        done = synthesise_tones(settings, table, target, &report_tones, &context);
        kel::ui().set_cursor(previous);
    }
    if (done && !copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(data.get()), 0,
                                     region.bytes, static_cast<long>(region.start), 0)) {
        NewErrMsg(5031);
        done = false;
    }
    data.reset();
    if (!done) {
        abandon_undo_setup();
        return;
    }
    setup_for_redo(owner_window, 11517, 1);
}
