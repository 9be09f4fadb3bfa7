#pragma once
// The Operations menu (and Clear, and the frame's magnified image): each command checks
// that there is a document, sets the preset context of its effect family and calls one
// member that a processing module implements.
#include "common/child_frame.h"
#include "common/preset_values.h"
#include "editor/commands/command_ids.h"

#include <functional>
#include <optional>

// The module members the commands call, one entry per member. An empty entry is a member
// this program was built without; its commands do nothing. The core cannot link the
// modules it serves, so whoever links them fills the table (linked_modules.h).
struct ModuleCalls
{
    // Levra
    std::function<int(CChildFrame&, HWND main_frame, HWND window, int command_id, int time_format,
                      const char* temp_dir)>
        amplify_waveform;
    std::function<int(CChildFrame&, HWND window, int command_id)> fade_waveform;
    std::function<int(CChildFrame&, HWND window, int command_id)> pan_waveform;
    std::function<int(CChildFrame&, HWND window, int command_id)> modulate_waveform;
    std::function<int(CChildFrame&, HWND window, int command_id)> reverse_waveform;
    // Filtrel
    std::function<void(CChildFrame&, HWND window)> filter_waveform;
    std::function<int(CChildFrame&, HWND window, int command_id, int flag)>
        stretch_selected_passage;
    std::function<int(CChildFrame&, HWND window)> how_to_change_pitch;
    std::function<int(CChildFrame&, HWND window)> get_equalization_selection;
    std::function<int(CChildFrame&, HWND window)> flange_waveform;
    std::function<int(CChildFrame&, HWND window)> shift_waveform;
    std::function<int(CChildFrame&, HWND window)> remove_noise;
    std::function<int(CChildFrame&, HWND window)> show_3D_spectrum;
    // Effra
    std::function<int(CChildFrame&, HWND window, int command, int undo_flag)> echo_waveform;
    std::function<int(CChildFrame&, HWND window, int mode)> amplify_waveform_by_envelope;
    std::function<void(CChildFrame&, HWND window)> set_spatial_localization;
    std::function<void(CChildFrame&, HWND window)> make_tones_or_effects;
    // Magnel
    std::function<int(CChildFrame&, HWND main_frame, HWND child, int time_format)>
        display_magnified_plot;
    // Filtrel, for the OCW encoder's anti-aliasing low-pass.
    std::function<int(CChildFrame&, float frequency, const char* filter_type,
                      const char* progress_text)>
        do_filter_waveform;
};

// The table the editor calls the modules through: the program installs the linked
// modules' members (linked_modules.h) at start; until then every entry is empty.
const ModuleCalls& module_calls();
void set_module_calls(ModuleCalls calls);

// The commands of the table: 11301, 11500 to 11517, 393 and 1038.
bool is_operation_command(int command_id);
// The effect family whose presets a command uses, if any.
std::optional<PresetKind> operation_preset(int command_id);
// True when the member behind the command is in the table.
bool operation_available(int command_id, const ModuleCalls& calls);

// Runs the command on the active document. 1 when a module member was called (the frame
// then redraws the document and the status panes); 0 when nothing was done: no document,
// not one of the commands, a member not built, or playback running for 393.
int run_operation(int command_id, HWND main_frame, const ModuleCalls& calls);
