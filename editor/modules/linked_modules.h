#pragma once
// The module members as the program links them. Include this only where the modules
// themselves are linked (the program's shell and the tests): it names their symbols.
#include "editor/modules/operations.h"

inline ModuleCalls linked_module_calls()
{
    ModuleCalls c;
    c.amplify_waveform = [](CChildFrame& d, HWND frame, HWND w, int id, int time_format,
                            const char* temp_dir) {
        return d.amplify_waveform(frame, w, id, time_format, temp_dir);
    };
    c.fade_waveform = [](CChildFrame& d, HWND w, int id) { return d.fade_waveform(w, id); };
    c.pan_waveform = [](CChildFrame& d, HWND w, int id) { return d.pan_waveform(w, id); };
    c.modulate_waveform = [](CChildFrame& d, HWND w, int id) { return d.modulate_waveform(w, id); };
    c.reverse_waveform = [](CChildFrame& d, HWND w, int id) { return d.reverse_waveform(w, id); };
    c.filter_waveform = [](CChildFrame& d, HWND w) { d.filter_waveform(w); };
    c.stretch_selected_passage = [](CChildFrame& d, HWND w, int id, int flag) {
        return d.stretch_selected_passage(w, id, flag);
    };
    c.how_to_change_pitch = [](CChildFrame& d, HWND w) { return d.how_to_change_pitch(w); };
    c.get_equalization_selection = [](CChildFrame& d, HWND w) {
        return d.get_equalization_selection(w);
    };
    c.flange_waveform = [](CChildFrame& d, HWND w) { return d.flange_waveform(w); };
    c.shift_waveform = [](CChildFrame& d, HWND w) { return d.shift_waveform(w); };
    c.remove_noise = [](CChildFrame& d, HWND w) { return d.remove_noise(w); };
    c.show_3D_spectrum = [](CChildFrame& d, HWND w) { return d.show_3D_spectrum(w); };
    c.echo_waveform = [](CChildFrame& d, HWND w, int command, int undo_flag) {
        return d.echo_waveform(w, command, undo_flag);
    };
    c.amplify_waveform_by_envelope = [](CChildFrame& d, HWND w, int mode) {
        return d.amplify_waveform_by_envelope(w, mode);
    };
    c.set_spatial_localization = [](CChildFrame& d, HWND w) { d.set_spatial_localization(w); };
    c.make_tones_or_effects = [](CChildFrame& d, HWND w) { d.make_tones_or_effects(w); };
    c.display_magnified_plot = [](CChildFrame& d, HWND frame, HWND child, int time_format) {
        return d.display_magnified_plot(frame, child, time_format);
    };
    c.do_filter_waveform = [](CChildFrame& d, float frequency, const char* filter_type,
                              const char* progress_text) {
        return d.do_filter_waveform(frequency, filter_type, progress_text);
    };
    return c;
}
