#include "filtrel/flange_dialog.h"

#include "common/host_services.h"
#include "common/preset_values.h"

#include <algorithm>

using namespace flange_dialog;

namespace {

constexpr int kMix = 4;

} // namespace

FlangeDialog::FlangeDialog(FlangeSettings& settings, std::string ini_path)
    : settings_(settings), ini_path_(std::move(ini_path))
{
    for (int k = 0; k < 5; ++k)
        sliders[k].id = kSlider[k];
}

int& FlangeDialog::parameter(int k)
{
    switch (k) {
    case 0:
        return settings_.delay_ms;
    case 1:
        return settings_.rate_hz;
    case 2:
        return settings_.depth_percent;
    case 3:
        return settings_.feedback_percent;
    default:
        return settings_.mix_percent;
    }
}

int FlangeDialog::value(int k) const
{
    return const_cast<FlangeDialog*>(this)->parameter(k);
}

void FlangeDialog::on_open()
{
    for (int k = 0; k < 5; ++k) {
        int& v = parameter(k);
        v = std::clamp(v, kFlangeRanges[k].minimum, kFlangeRanges[k].maximum);
        if (k == kMix) {
            // The mix slider runs 0 .. 200 with +100 % at the top.
            sliders[k].set_range(0, 200);
            sliders[k].position = 100 - v;
        } else {
            sliders[k].set_range(0, kFlangeRanges[k].maximum);
            sliders[k].set_value(v);
        }
    }
    show_fields();
}

void FlangeDialog::move_slider(int slider_id, int position)
{
    for (int k = 0; k < 5; ++k) {
        if (sliders[k].id != slider_id)
            continue;
        sliders[k].move_to(position);
        parameter(k) = k == kMix ? 100 - sliders[k].position : sliders[k].value();
        show_fields();
        return;
    }
}

void FlangeDialog::show_fields()
{
    for (int k = 0; k < 5; ++k)
        fields[k] = std::to_string(value(k));
}

void FlangeDialog::help()
{
    new_show_context_help(nullptr, kFlangeCommand);
}

int FlangeDialog::save()
{
    return save_preset_values(preset_family(PresetKind::Flange), ini_path_,
                              {flange_preset_values(settings_)});
}
