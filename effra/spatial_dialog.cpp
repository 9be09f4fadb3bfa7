#include "effra/spatial_dialog.h"

#include "common/host_services.h"

#include <algorithm>

namespace effra {

namespace {

constexpr Placement kPlacements[] = {Placement::FarRight,       Placement::FarLeft,
                                     Placement::InBetween,      Placement::PanLeftToRight,
                                     Placement::PanRightToLeft, Placement::BackAndForth};

} // namespace

void SpatialDialog::on_open()
{
    settings_.delay_ms = std::clamp(settings_.delay_ms, 1, 100);
    settings_.rate_tenths = std::clamp(settings_.rate_tenths, 1, 100);
    settings_.position = std::clamp(settings_.position, -100, 100);
}

void SpatialDialog::type_button(int control_id)
{
    for (size_t i = 0; i < std::size(kTypeButtons); ++i)
        if (kTypeButtons[i] == control_id)
            settings_.type = kPlacements[i];
}

int SpatialDialog::checked_type_button() const
{
    for (size_t i = 0; i < std::size(kPlacements); ++i)
        if (kPlacements[i] == settings_.type)
            return kTypeButtons[i];
    return kFarRight;
}

void SpatialDialog::delay_moved(int position)
{
    settings_.delay_ms = std::clamp(101 - position, 1, 100);
}

std::string SpatialDialog::delay_text() const
{
    return std::to_string(settings_.delay_ms) + " ms";
}

void SpatialDialog::set_rate(int tenths)
{
    settings_.rate_tenths = std::clamp(tenths, 1, 100);
}

void SpatialDialog::fader_moved(int position)
{
    settings_.position = std::clamp(100 - position, -100, 100);
}

void SpatialDialog::toggle_invert_left()
{
    toggle_parameter(&settings_.invert_left);
}

void SpatialDialog::toggle_invert_right()
{
    toggle_parameter(&settings_.invert_right);
}

void SpatialDialog::help()
{
    new_show_context_help(nullptr, 11516);
}

} // namespace effra
