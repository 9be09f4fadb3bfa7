#include "effra/envelope_dialog.h"

#include "common/host_services.h"

#include <algorithm>

namespace effra {

EnvelopeDialog::EnvelopeDialog(GainSettings& settings, int channels,
                               std::vector<OutlineColumn> outline)
    : settings_(settings), channels_(channels), outline_(std::move(outline))
{
}

void EnvelopeDialog::on_open()
{
    clear();
    if (!channel_buttons_enabled())
        settings_.channel_mode = 1;
    settings_.channel_mode = std::clamp(settings_.channel_mode, 1, 3);
    outline_.resize(static_cast<size_t>(area().width));
    drawing_ = false;
    last_column_ = -1;
}

bool EnvelopeDialog::inside_area(int x, int y) const
{
    const EnvelopeArea a = area();
    return x >= a.left && x < a.left + a.width && y >= a.top && y <= a.bottom();
}

void EnvelopeDialog::press(int x, int y)
{
    drawing_ = true;
    last_column_ = -1;
    set_point(x, y);
}

void EnvelopeDialog::drag(int x, int y)
{
    if (drawing_)
        set_point(x, y);
}

void EnvelopeDialog::set_point(int x, int y)
{
    const EnvelopeArea a = area();
    std::vector<int>& c = settings_.curve;
    const int w = a.width;
    const int column = std::clamp(x - a.left, 1, w - 2);
    const int value = std::clamp(a.bottom() - y, 0, a.height);
    c[static_cast<size_t>(column)] = value;
    // A fast stroke skips columns: the ones between are joined by a straight line.
    if (last_column_ >= 0 && last_column_ != column) {
        const int from = last_column_, to = column;
        const int start_value = c[static_cast<size_t>(from)];
        const float slope = static_cast<float>(value - start_value) / static_cast<float>(to - from);
        const int step = to > from ? 1 : -1;
        for (int k = from + step; k != to; k += step)
            c[static_cast<size_t>(k)] =
                start_value + static_cast<int>(static_cast<float>(k - from) * slope);
    }
    last_column_ = column;
    // The outermost columns cannot be reached inside the frame; they follow their
    // neighbours, so a fade drawn down to nothing starts and ends at nothing.
    c.front() = c[1];
    c.back() = c[c.size() - 2];
}

double EnvelopeDialog::gain_at_column(int column) const
{
    const std::vector<int>& c = settings_.curve;
    if (c.empty())
        return 1.0;
    const size_t k = static_cast<size_t>(std::clamp(column, 0, static_cast<int>(c.size()) - 1));
    return c[k] * 2.0 / area().height;
}

void EnvelopeDialog::clear()
{
    settings_.curve.assign(static_cast<size_t>(area().width), area().height / 2);
}

void EnvelopeDialog::channel_button(int control_id)
{
    if (!channel_buttons_enabled())
        return;
    if (control_id >= kBoth && control_id <= kRight)
        settings_.channel_mode = control_id - kBoth + 1;
}

int EnvelopeDialog::checked_channel_button() const
{
    return kBoth + std::clamp(settings_.channel_mode, 1, 3) - 1;
}

void EnvelopeDialog::help()
{
    new_show_context_help(nullptr, 11505);
}

} // namespace effra
