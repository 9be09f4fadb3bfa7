#include "editor/modules/operations.h"

#include "editor/devices/playback.h"
#include "editor/view/time_text.h"
#include "platform/paths.h"

namespace {

bool in_operations_menu(int id)
{
    return id >= 11500 && id <= 11517;
}

ModuleCalls& installed()
{
    static ModuleCalls calls;
    return calls;
}

} // namespace

const ModuleCalls& module_calls()
{
    return installed();
}

void set_module_calls(ModuleCalls calls)
{
    installed() = std::move(calls);
}

bool is_operation_command(int command_id)
{
    return command_id == cmd::kClear || command_id == cmd::kMagnifiedImage ||
           command_id == cmd::kFrequencySpectrum || in_operations_menu(command_id);
}

std::optional<PresetKind> operation_preset(int command_id)
{
    switch (command_id) {
    case 11503:
        return PresetKind::Compressor;
    case 11504:
        return PresetKind::Echo;
    case 11506:
        return PresetKind::Equalizer;
    case 11508:
        return PresetKind::Flange;
    case 11509:
    case 11511: // noise reduction: set, though the call does not use it
        return PresetKind::Filter;
    case 11514:
        return PresetKind::Reverb;
    case 11517:
        return PresetKind::Tones;
    default:
        return std::nullopt;
    }
}

bool operation_available(int command_id, const ModuleCalls& calls)
{
    switch (command_id) {
    case cmd::kClear:
    case 11501:
        return static_cast<bool>(calls.amplify_waveform);
    case 11503:
    case 11505:
        return static_cast<bool>(calls.amplify_waveform_by_envelope);
    case 11504:
    case 11514:
        return static_cast<bool>(calls.echo_waveform);
    case 11507:
        return static_cast<bool>(calls.fade_waveform);
    case 11509:
        return static_cast<bool>(calls.filter_waveform);
    case 11500:
        return static_cast<bool>(calls.stretch_selected_passage);
    case 11502:
        return static_cast<bool>(calls.how_to_change_pitch);
    case 11506:
        return static_cast<bool>(calls.get_equalization_selection);
    case 11508:
        return static_cast<bool>(calls.flange_waveform);
    case 11513:
        return static_cast<bool>(calls.shift_waveform);
    case 11511:
        return static_cast<bool>(calls.remove_noise);
    case cmd::kFrequencySpectrum:
        return static_cast<bool>(calls.show_3D_spectrum);
    case 11510:
        return static_cast<bool>(calls.modulate_waveform);
    case 11512:
        return static_cast<bool>(calls.pan_waveform);
    case 11515:
        return static_cast<bool>(calls.reverse_waveform);
    case 11516:
        return static_cast<bool>(calls.set_spatial_localization);
    case 11517:
        return static_cast<bool>(calls.make_tones_or_effects);
    case cmd::kMagnifiedImage:
        return static_cast<bool>(calls.display_magnified_plot);
    default:
        return false;
    }
}

int run_operation(int command_id, HWND main_frame, const ModuleCalls& calls)
{
    CChildFrame* doc = documents::active();
    if (!doc || documents::count() == 0)
        return 0;
    if (!is_operation_command(command_id) || !operation_available(command_id, calls))
        return 0;
    if (command_id == cmd::kMagnifiedImage) {
        // Not while the device streams from the document.
        if (playback_state().is_playing)
            return 0;
        calls.display_magnified_plot(*doc, main_frame, doc->window, time_format());
        return 1;
    }
    if (const auto kind = operation_preset(command_id))
        set_preset_context_for(preset_family(*kind), kel::paths::program_dir());

    HWND window = doc->owner_window;
    switch (command_id) {
    case cmd::kClear:
    case 11501: {
        const std::string temp_dir = run_directory();
        calls.amplify_waveform(*doc, main_frame, window, command_id, time_format(),
                               temp_dir.c_str());
        break;
    }
    case 11503:
        calls.amplify_waveform_by_envelope(*doc, window, 1);
        break;
    case 11505:
        calls.amplify_waveform_by_envelope(*doc, window, 0);
        break;
    case 11504:
    case 11514:
        calls.echo_waveform(*doc, window, command_id, 1);
        break;
    case 11507:
        calls.fade_waveform(*doc, window, command_id);
        break;
    case 11509:
        calls.filter_waveform(*doc, window);
        break;
    case 11500:
        calls.stretch_selected_passage(*doc, window, command_id, 0);
        break;
    case 11502:
        calls.how_to_change_pitch(*doc, window);
        break;
    case 11506:
        calls.get_equalization_selection(*doc, window);
        break;
    case 11508:
        calls.flange_waveform(*doc, window);
        break;
    case 11513:
        calls.shift_waveform(*doc, window);
        break;
    case 11511:
        calls.remove_noise(*doc, window);
        break;
    case cmd::kFrequencySpectrum:
        calls.show_3D_spectrum(*doc, window);
        break;
    case 11510:
        calls.modulate_waveform(*doc, window, command_id);
        break;
    case 11512:
        calls.pan_waveform(*doc, window, command_id);
        break;
    case 11515:
        calls.reverse_waveform(*doc, window, command_id);
        break;
    case 11516:
        calls.set_spatial_localization(*doc, window);
        break;
    case 11517:
        calls.make_tones_or_effects(*doc, window);
        break;
    default:
        return 0;
    }
    return 1;
}
