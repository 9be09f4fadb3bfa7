// The Flange command (11508): preset selection, the "FLANGE" dialog, and the comb.
//
//   NEWSELECT --OK--> preset --------------------> comb
//             --View--> preset --> FLANGE --OK--> comb
//             --Create--------> FLANGE --OK--> comb
#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "filtrel/equalizer_settings.h"
#include "filtrel/flange.h"
#include "filtrel/flange_dialog.h"
#include "filtrel/module_selection.h"
#include "platform/ui.h"

int CChildFrame::flange_waveform(HWND window)
{
    owner_window = window;
    compute_module_selection(*this);
    const std::string ini_path = flange_preset_path();
    set_preset_context_for(preset_family(PresetKind::Flange), module_directory());

    char chosen[kMaxPresetName + 1] = {};
    const int choice = new_select_process(chosen);
    auto dialog = [&]() {
        FlangeDialog flange(g_flange, ini_path);
        return kel::ui().run_modal(flange) == flange_dialog::kOk;
    };
    bool run = false;
    switch (choice) {
    case 1:
        run = read_flange_preset(g_flange, ini_path, chosen);
        break;
    case 1880:
        run = read_flange_preset(g_flange, ini_path, chosen) && dialog();
        break;
    case 373:
        run = dialog();
        break;
    default:
        break;
    }
    if (!run)
        return 0;
    return digital_filter_waveform(g_selection.start_byte, g_selection.end_byte, 0.0f, "FLANGE",
                                   "Flanging waveform ...", 3);
}
