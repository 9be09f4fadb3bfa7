// The two delay effects' names, ranges and module-wide settings.
#include "effra/delay_effect.h"

#include "platform/paths.h"

#include <algorithm>
#include <cstring>

namespace effra {

namespace {

const DelayEffect kEcho = {.name = "Echo",
                           .command = 11504,
                           .preset_kind = PresetKind::Echo,
                           .dialog_template = "NewEcho",
                           .caption = "Set Echo Parameters",
                           .progress_text = "Echoing waveform ...",
                           .delay_min_ms = 10,
                           .delay_max_ms = 500,
                           .decay_min_percent = 20,
                           .decay_max_percent = 90,
                           .has_tail = true,
                           .process = &echo_block};

const DelayEffect kReverb = {.name = "Reverb",
                             .command = 11514,
                             .preset_kind = PresetKind::Reverb,
                             .dialog_template = "NewReverb",
                             .caption = "Set Reverb Parameters",
                             .progress_text = "Reverberating waveform ...",
                             .delay_min_ms = 10,
                             .delay_max_ms = 100,
                             .decay_min_percent = 1,
                             .decay_max_percent = 60,
                             .has_tail = false,
                             .process = &reverb_block};

DelaySettings g_settings;

} // namespace

const DelayEffect& echo_effect()
{
    return kEcho;
}

const DelayEffect& reverb_effect()
{
    return kReverb;
}

const DelayEffect* effect_named(const char* name)
{
    if (!name)
        return nullptr;
    return std::strcmp(name, kEcho.name) == 0 ? &kEcho : &kReverb;
}

const DelayEffect& effect_for_command(int command)
{
    return command == kEcho.command ? kEcho : kReverb;
}

int& DelaySettings::delay_ms(const DelayEffect& effect)
{
    return &effect == &kEcho ? echo_delay_ms : reverb_delay_ms;
}

int& DelaySettings::decay_percent(const DelayEffect& effect)
{
    return &effect == &kEcho ? echo_decay_percent : reverb_decay_percent;
}

DelaySettings& delay_settings()
{
    return g_settings;
}

std::vector<int> preset_values_of(const DelaySettings& settings, const DelayEffect& effect)
{
    DelaySettings& s = const_cast<DelaySettings&>(settings);
    return {s.delay_ms(effect), s.decay_percent(effect), settings.channel_choice, settings.outside};
}

void apply_preset_values(DelaySettings& settings, const DelayEffect& effect,
                         const std::vector<int>& values)
{
    auto at = [&](size_t i, int current) { return i < values.size() ? values[i] : current; };
    int& delay = settings.delay_ms(effect);
    int& decay = settings.decay_percent(effect);
    delay = std::clamp(at(0, delay), effect.delay_min_ms, effect.delay_max_ms);
    decay = std::clamp(at(1, decay), effect.decay_min_percent, effect.decay_max_percent);
    const int choice = at(2, settings.channel_choice);
    settings.channel_choice = choice >= 1 && choice <= 3 ? choice : 1;
    settings.outside = at(3, settings.outside) ? 1 : 0;
}

std::string preset_directory()
{
    return kel::paths::module_dir_of(reinterpret_cast<const void*>(&preset_directory));
}

std::string preset_file_path()
{
    return preset_directory() + preset_family(PresetKind::Echo).ini_file;
}

DelayGeometry delay_geometry(unsigned long sample_rate, int delay_ms, int frame_bytes)
{
    DelayGeometry g;
    const unsigned long frame = frame_bytes > 0 ? static_cast<unsigned long>(frame_bytes) : 1;
    const unsigned long ms = delay_ms > 0 ? static_cast<unsigned long>(delay_ms) : 0;
    unsigned long bytes = sample_rate * ms * 2 / 1000;
    bytes -= bytes % frame;
    if (bytes < 1)
        bytes = frame;
    g.delay_bytes = bytes;
    // An 8-bit mono delay of one byte would make N zero and the block loop endless.
    g.block_frames = std::max(1ul, bytes / 2);
    g.block_bytes = g.block_frames * frame;
    g.delay_line_entries = std::max(g.block_frames, (frame + bytes) * 3 / 2);
    return g;
}

unsigned long echo_tail_bytes(unsigned long block_bytes, int decay_percent)
{
    const int rest = std::max(1, 100 - decay_percent);
    return block_bytes * 180 / static_cast<unsigned long>(rest);
}

} // namespace effra
