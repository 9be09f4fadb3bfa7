// The Echo and Reverb commands: a preset from KVSECHO.INI, or the parameter dialog, then
// the processing.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "effra/delay_effect.h"
#include "effra/echo_dialog.h"

#include <vector>

namespace {

constexpr int kOk = 1;
constexpr int kView = 1880;
constexpr int kCreate = 373;

bool load_preset(const effra::DelayEffect& effect, const std::string& path, const char* name)
{
    std::vector<int> values;
    if (!read_preset_values(preset_family(effect.preset_kind), path, name, 1, values))
        return false;
    effra::apply_preset_values(effra::delay_settings(), effect, values);
    return true;
}

} // namespace

int CChildFrame::echo_waveform(HWND window, int command, int undo_flag)
{
    using namespace effra;
    owner_window = window;
    const DelayEffect& effect = effect_for_command(command);

    // Echo and reverb share the file but keep their own lists and value keys.
    const std::string path = preset_file_path();
    set_preset_context_for(preset_family(effect.preset_kind), preset_directory());
    char chosen[kMaxPresetName + 1] = {};
    const int how = new_select_process(chosen);
    if (how == kOk) {
        if (!load_preset(effect, path, chosen))
            return 0;
        return do_new_echo_waveform(effect.name, undo_flag);
    }
    if (how == kView) {
        if (!load_preset(effect, path, chosen))
            return 0;
    } else if (how != kCreate) {
        return 0;
    }
    EchoDialog dialog(effect, delay_settings(), wave_format.channels);
    if (kel::ui().run_modal(dialog) != kOk)
        return 0;
    return do_new_echo_waveform(effect.name, undo_flag);
}
