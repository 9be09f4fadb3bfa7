// The Tones / Effects command: a preset from KVSTONES.INI, or the dialog, then the
// generation.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "effra/delay_effect.h"
#include "effra/selection_region.h"
#include "effra/tones.h"
#include "effra/tones_dialog.h"

namespace {

constexpr int kOk = 1;
constexpr int kView = 1880;
constexpr int kCreate = 373;

// Both keys must be there; then the preset replaces the parameters.
bool load_tone_preset(const char* name, unsigned long samples_per_second)
{
    const PresetFamily family = preset_family(PresetKind::Tones);
    const std::string path = effra::tones_preset_path();
    std::vector<int> key1, key2;
    if (!read_preset_values(family, path, name, 1, key1) ||
        !read_preset_values(family, path, name, 2, key2))
        return false;
    effra::apply_tone_preset(effra::tone_settings(), key1, key2, samples_per_second);
    return true;
}

} // namespace

void CChildFrame::make_tones_or_effects(HWND window)
{
    using namespace effra;
    owner_window = window;
    if (!selection_fits_in_memory(*this))
        return;
    set_preset_context_for(preset_family(PresetKind::Tones), preset_directory());
    char chosen[kMaxPresetName + 1] = {};
    const int how = new_select_process(chosen);
    if (how == kOk) {
        if (load_tone_preset(chosen, wave_format.sample_rate))
            generate_special_effects();
        return;
    }
    if (how == kView) {
        if (!load_tone_preset(chosen, wave_format.sample_rate))
            return;
    } else if (how != kCreate) {
        return;
    }
    TonesDialog dialog(tone_settings(), wave_format.channels, wave_format.sample_rate);
    if (kel::ui().run_modal(dialog) == kOk)
        generate_special_effects();
}
