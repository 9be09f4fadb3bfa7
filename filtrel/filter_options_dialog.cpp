#include "filtrel/filter_options_dialog.h"

#include "common/host_services.h"
#include "common/preset_values.h"

#include <algorithm>
#include <cstdio>
#include <new>

using namespace filter_dialog;

namespace {

std::string two_places(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%5.2f", v);
    return text;
}

} // namespace

FilterOptionsDialog::FilterOptionsDialog(FilterSettings& settings, long sample_rate, int channels,
                                         std::string ini_path)
    : settings_(settings), sample_rate_(sample_rate), channels_(channels),
      ini_path_(std::move(ini_path))
{
}

DialogSlider* FilterOptionsDialog::slider(int id)
{
    for (DialogSlider* s : {&frequency, &width, &sweep_start, &sweep_stop})
        if (s->id == id)
            return s;
    return nullptr;
}

void FilterOptionsDialog::on_open()
{
    table_.reset(new (std::nothrow) float[kPlotTableFloats]());
    if (!table_) {
        // A dialog without its plot would stay hidden: close it without running.
        NewErrMsg(5002);
        end_dialog(kCancel);
        return;
    }
    frequency.minimum = 0;
    frequency.maximum = static_cast<int>(static_cast<double>(sample_rate_) * 0.1);
    frequency.set_value(settings_.frequency_step);
    width.minimum = 10;
    width.maximum = 800;
    width.set_value(settings_.width_step);
    sweep_start.minimum = sweep_stop.minimum = 0;
    sweep_start.maximum = sweep_stop.maximum = 1000;
    sweep_start.set_value(settings_.sweep_start_step);
    sweep_stop.set_value(settings_.sweep_stop_step);
    sweep_checked = settings_.sweep != 0;
    frequency.enabled = !sweep_checked;
    width.enabled = true;
    sweep_start.enabled = sweep_stop.enabled = sweep_checked;
}

void FilterOptionsDialog::show_values()
{
    if (ended())
        return;
    shown_ = true;
    checked_radio = settings_.type;
    set_filter_type(settings_, settings_.type);
    show_fields();
    redraw_plot();
}

void FilterOptionsDialog::show_fields()
{
    frequency_field = two_places(frequency.value() * 0.01);
    width_field = two_places(width.value());
    start_field = two_places(sweep_start.value() * 0.01);
    stop_field = two_places(sweep_stop.value() * 0.01);
}

void FilterOptionsDialog::redraw_plot()
{
    plot = filter_response(checked_radio, settings_, sample_rate_, channels_, table_.get(),
                           table_ ? kPlotTableFloats : 0);
}

void FilterOptionsDialog::choose_type(int radio_id)
{
    if (!shown_ || radio_id < kFilterHash || radio_id > kFilterNotch)
        return;
    set_filter_type(settings_, radio_id);
    checked_radio = radio_id;
    switch (radio_id) {
    case kFilterHash:
        frequency.enabled = width.enabled = sweep_start.enabled = sweep_stop.enabled = false;
        break;
    case kFilterBandPass:
        frequency.enabled = width.enabled = true;
        break;
    default:
        frequency.enabled = width.enabled = true;
        sweep_start.enabled = sweep_stop.enabled = false;
        break;
    }
    redraw_plot();
}

void FilterOptionsDialog::toggle_sweep()
{
    toggle_parameter(&settings_.sweep);
    sweep_checked = settings_.sweep != 0;
    frequency.enabled = !sweep_checked;
    width.enabled = true;
    sweep_start.enabled = sweep_stop.enabled = sweep_checked;
    redraw_plot();
}

void FilterOptionsDialog::move_slider(int slider_id, int position)
{
    DialogSlider* s = slider(slider_id);
    if (!s)
        return;
    s->position = std::clamp(position, s->minimum, s->maximum);
    const int v = s->value();
    if (s == &frequency) {
        settings_.frequency_step = v;
        settings_.frequency = static_cast<float>(v) * 10.0f;
    } else if (s == &width) {
        settings_.width_step = v;
        settings_.width = static_cast<float>(v);
    } else if (s == &sweep_start) {
        settings_.sweep_start_step = v;
        settings_.sweep_start = static_cast<float>(v) * 10.0f;
    } else {
        settings_.sweep_stop_step = v;
        settings_.sweep_stop = static_cast<float>(v) * 10.0f;
    }
    show_fields();
    redraw_plot();
}

void FilterOptionsDialog::free_table()
{
    table_.reset();
}

void FilterOptionsDialog::ok()
{
    if (checked_radio)
        settings_.type = checked_radio;
    free_table();
    end_dialog(kOk);
}

void FilterOptionsDialog::cancel()
{
    free_table();
    end_dialog(kCancel);
}

void FilterOptionsDialog::help()
{
    new_show_context_help(nullptr, kHelpContext);
}

void FilterOptionsDialog::save_preset()
{
    if (checked_radio)
        settings_.type = checked_radio;
    settings_.frequency = static_cast<float>(settings_.frequency_step * 10);
    const PresetFamily family = preset_family(PresetKind::Filter);
    save_preset_values(family, ini_path_, {filter_preset_values(settings_, settings_.type)});
}
