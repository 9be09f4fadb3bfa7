// The lines of "dxhost --list" and the slider of a control port. The child may have been
// taken down half-way by a plug-in, so any line may be cut short or garbled.
#include "editor/files/plugin_host.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

std::vector<std::string> split_tabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool to_float(const std::string& s, float& out)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    out = std::strtof(s.c_str(), &end);
    return end && *end == 0 && std::isfinite(out);
}

} // namespace

float PluginControl::slider_low() const
{
    if (has_lower)
        return lower;
    return has_upper ? std::min(value, upper) - 1000 : value - 1000;
}

float PluginControl::slider_high() const
{
    if (has_upper)
        return upper;
    return std::max(value, slider_low()) + 1000;
}

int PluginControl::slider_position() const
{
    const float lo = slider_low(), hi = slider_high();
    if (!(hi > lo))
        return 0;
    double w;
    if (logarithmic && lo > 0 && value > 0)
        w = (std::log(value) - std::log(lo)) / (std::log(hi) - std::log(lo));
    else
        w = (value - lo) / (hi - lo);
    return static_cast<int>(std::lround(std::clamp(w, 0.0, 1.0) * kSliderSteps));
}

void PluginControl::set_slider_position(int position)
{
    const float lo = slider_low(), hi = slider_high();
    const double w = std::clamp(position, 0, kSliderSteps) / double(kSliderSteps);
    double v = logarithmic && lo > 0 ? std::exp(std::log(lo) + w * (std::log(hi) - std::log(lo)))
                                     : lo + w * (hi - lo);
    if (toggled)
        v = w >= 0.5 ? 1 : 0;
    else if (integer)
        v = std::round(v);
    value = static_cast<float>(v);
}

std::vector<PluginInfo> parse_plugin_list(const std::string& text)
{
    std::vector<PluginInfo> plugins;
    std::istringstream in(text);
    std::string line;
    bool in_plugin = false;
    while (std::getline(in, line)) {
        const auto f = split_tabs(line);
        if (f.size() == 7 && f[0] == "plugin") {
            PluginInfo p;
            p.file = f[1];
            char* end = nullptr;
            p.index = std::strtoul(f[2].c_str(), &end, 10);
            p.label = f[3];
            p.name = f[4];
            p.audio_inputs = std::atoi(f[5].c_str());
            in_plugin =
                !p.file.empty() && end && *end == 0 && (p.audio_inputs == 1 || p.audio_inputs == 2);
            if (in_plugin)
                plugins.push_back(std::move(p));
        } else if (f.size() == 7 && f[0] == "control" && in_plugin) {
            PluginControl c;
            c.port = std::strtoul(f[1].c_str(), nullptr, 10);
            c.name = f[2];
            c.has_lower = to_float(f[3], c.lower);
            c.has_upper = to_float(f[4], c.upper);
            if (!to_float(f[5], c.value))
                c.value = 0;
            c.toggled = f[6].find('t') != std::string::npos;
            c.integer = f[6].find('i') != std::string::npos;
            c.logarithmic = f[6].find('l') != std::string::npos;
            plugins.back().controls.push_back(std::move(c));
        }
    }
    return plugins;
}
