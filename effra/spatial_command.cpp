// The Spatial localization command: stereo files only, the dialog, then the processing.
#include "common/child_frame.h"
#include "effra/selection_region.h"
#include "effra/spatial_dialog.h"

void CChildFrame::set_spatial_localization(HWND window)
{
    owner_window = window;
    if (!check_stereo_waveform() || !effra::selection_fits_in_memory(*this))
        return;
    effra::SpatialDialog dialog(effra::spatial_settings());
    if (kel::ui().run_modal(dialog) != kel::kIdOk)
        return;
    spatially_locate_waveform(window);
}
