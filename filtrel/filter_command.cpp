// The Filter command (11509): preset selection, the "Filter Options" dialog, and the run.
//
//   NEWSELECT --OK--> preset --------------------------------> run
//             --View--> preset --> NEWFILTEROPTIONS --OK--> run
//             --Create--------> NEWFILTEROPTIONS --OK--> run
//
//   run: hash 275 | notch 279 below 5000 Hz (and where the recursion is stable):
//        state-variable filter | 276, 277, 278, 1001, other notches: spectral filter
//        (1024 points for the notch, else 4096)
#include "filtrel/filter_command.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "filtrel/filter_options_dialog.h"
#include "filtrel/filter_settings.h"
#include "filtrel/module_selection.h"
#include "filtrel/state_variable_filter.h"
#include "platform/paths.h"
#include "platform/ui.h"

std::string filter_preset_path()
{
    return kel::paths::module_dir_of(reinterpret_cast<const void*>(&filter_preset_path)) +
           preset_family(PresetKind::Filter).ini_file;
}

int run_filter_settings(CChildFrame& doc)
{
    const FilterSettings& s = g_filter;
    compute_module_selection(doc);
    switch (s.type) {
    case kFilterHash:
        return doc.hash_filter();
    case kFilterNotch:
        // Low notches run in the time domain; at low rates the recursion would blow up
        // before 5000 Hz, so those notches take the spectral filter too.
        if (s.frequency < 5000.0f &&
            state_variable_is_stable(s.frequency, static_cast<double>(g_selection.sample_rate)))
            return doc.digital_filter_waveform(g_selection.start_byte, g_selection.end_byte,
                                               s.frequency, "NOTCH", s.progress_text.c_str(), 1);
        [[fallthrough]];
    case kFilterLowPass:
    case kFilterHighPass:
    case kFilterBandPass:
    case kFilterSweep:
        return doc.do_filter_waveform(s.frequency, s.type_text.c_str(), s.progress_text.c_str());
    }
    return 0;
}

void CChildFrame::filter_waveform(HWND window)
{
    owner_window = window;
    compute_module_selection(*this);
    const std::string ini_path = filter_preset_path();
    set_preset_context_for(
        preset_family(PresetKind::Filter),
        kel::paths::module_dir_of(reinterpret_cast<const void*>(&filter_preset_path)));

    char chosen[kMaxPresetName + 1] = {};
    const int choice = new_select_process(chosen);
    bool run = false;
    auto dialog = [&]() {
        FilterOptionsDialog options(g_filter, g_selection.sample_rate, wave_format.channels,
                                    ini_path);
        return kel::ui().run_modal(options) == filter_dialog::kOk;
    };
    switch (choice) {
    case 1:
        run = read_filter_preset(g_filter, ini_path, chosen);
        break;
    case 1880:
        run = read_filter_preset(g_filter, ini_path, chosen) && dialog();
        break;
    case 373:
        run = dialog();
        break;
    default:
        break;
    }
    if (run)
        run_filter_settings(*this);
}
