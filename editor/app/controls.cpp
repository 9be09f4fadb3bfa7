#include "editor/app/controls.h"

#include <cmath>
#include <map>

namespace kel::controls {
namespace {
std::map<HWND, MessageTarget*>& targets()
{
    static std::map<HWND, MessageTarget*> m;
    return m;
}
std::map<HWND, GaugeTarget*>& gauges()
{
    static std::map<HWND, GaugeTarget*> m;
    return m;
}
} // namespace

void register_target(HWND window, MessageTarget* target)
{
    targets()[window] = target;
}

void unregister_target(HWND window)
{
    targets().erase(window);
}

long send_message(HWND control, unsigned message, unsigned long wparam, long lparam)
{
    auto it = targets().find(control);
    return it == targets().end() ? 0 : it->second->on_message(message, wparam, lparam);
}

double GaugeModel::decibels(int level)
{
    if (level <= 0)
        return -48.0;
    return std::max(-48.0, 20.0 * std::log10(level / 128.0));
}

void register_gauge(HWND window, GaugeTarget* target)
{
    gauges()[window] = target;
}

void unregister_gauge(HWND window)
{
    gauges().erase(window);
}

void _draw_decibel_gauge_volume(HWND gauge, long level, long mode, long reset)
{
    auto it = gauges().find(gauge);
    if (it != gauges().end())
        it->second->draw_gauge(level, mode, reset);
}

void _draw_record_volume(HWND indicator, long left, long right)
{
    auto it = gauges().find(indicator);
    if (it != gauges().end())
        it->second->draw_levels(left, right);
}

} // namespace kel::controls
