#include "effra/compressor_dialog.h"

#include "common/host_services.h"
#include "common/preset_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace effra {

CompressorDialog::CompressorDialog(GainSettings& settings, int limit)
    : settings_(settings), limit_(limit)
{
}

void CompressorDialog::on_open()
{
    selected_ = -1;
    settings_.attack = std::clamp(settings_.attack, kAttackMin, kAttackMax);
    if (settings_.points.empty())
        settings_.points = corner_points();
    if (settings_.points.size() > static_cast<size_t>(kMaxControlPoints))
        settings_.points.resize(kMaxControlPoints);
    settings_.table = identity_table(limit_);
}

void CompressorDialog::press(int x, int y)
{
    const int w = kGraphWidth, h = kGraphHeight;
    if (x < 0 || x >= w || y <= 3 || y >= h - 3)
        return;
    std::vector<GraphPoint>& p = settings_.points;
    for (size_t i = 0; i < p.size(); ++i) {
        if (std::abs(p[i].x - x) <= 4 && std::abs(p[i].y - y) <= 4) {
            selected_ = static_cast<int>(i);
            return;
        }
    }
    if (p.size() >= static_cast<size_t>(kMaxControlPoints))
        return;
    p.push_back({x, y});
    selected_ = static_cast<int>(p.size()) - 1;
}

void CompressorDialog::drag(int x, int y)
{
    std::vector<GraphPoint>& p = settings_.points;
    if (selected_ < 0 || selected_ >= static_cast<int>(p.size()))
        return;
    GraphPoint& q = p[static_cast<size_t>(selected_)];
    q.y = std::clamp(y, 3, kGraphHeight - 3);
    if (selected_ < 2)
        return;
    // The nearest neighbours in x, at least 3 pixels away on each side.
    int low = 0, high = kGraphWidth;
    for (size_t i = 0; i < p.size(); ++i) {
        if (static_cast<int>(i) == selected_)
            continue;
        if (p[i].x <= q.x)
            low = std::max(low, p[i].x);
        else
            high = std::min(high, p[i].x);
    }
    if (low + 3 <= high - 3)
        q.x = std::clamp(x, low + 3, high - 3);
}

std::vector<GraphPoint> CompressorDialog::curve_points() const
{
    std::vector<GraphPoint> p = settings_.points;
    std::stable_sort(p.begin(), p.end(),
                     [](const GraphPoint& a, const GraphPoint& b) { return a.x < b.x; });
    return p;
}

double CompressorDialog::input_db(int x)
{
    return 24.94609929 * std::log10((100.0 * x / kGraphWidth + 1.0) * 0.0099009901);
}

double CompressorDialog::output_db(int y)
{
    return 24.94609929 * std::log10((100.0 - 100.0 * y / kGraphHeight + 1.0) * 0.0099009901);
}

std::string CompressorDialog::levels_text() const
{
    if (selected_ < 0 || selected_ >= static_cast<int>(settings_.points.size()))
        return "";
    const GraphPoint& q = settings_.points[static_cast<size_t>(selected_)];
    char text[64];
    std::snprintf(text, sizeof text, "%5.1f dB -> %5.1f dB", input_db(q.x), output_db(q.y));
    return text;
}

std::string CompressorDialog::ratio_text() const
{
    if (selected_ < 0 || selected_ >= static_cast<int>(settings_.points.size()))
        return "";
    const GraphPoint& q = settings_.points[static_cast<size_t>(selected_)];
    const double in = input_db(q.x), out = output_db(q.y);
    // At 0 dB the quotient has no value; the read-out stops at 99.9.
    auto ratio = [](double a, double b) {
        if (std::fabs(b) < 1e-9)
            return std::fabs(a) < 1e-9 ? 1.0 : 99.9;
        return std::min(99.9, a / b);
    };
    char text[64];
    if (in <= out)
        std::snprintf(text, sizeof text, "%4.1f:1 Compress", ratio(in, out));
    else
        std::snprintf(text, sizeof text, "1:%4.1f Expand", ratio(out, in));
    return text;
}

void CompressorDialog::set_attack(int attack)
{
    settings_.attack = std::clamp(attack, kAttackMin, kAttackMax);
}

void CompressorDialog::clear()
{
    settings_.points = corner_points();
    selected_ = -1;
}

int CompressorDialog::save()
{
    return save_preset_values(preset_family(PresetKind::Compressor), compressor_preset_path(),
                              {compressor_preset_values(settings_)});
}

void CompressorDialog::help()
{
    new_show_context_help(nullptr, 11503);
}

void CompressorDialog::ok()
{
    settings_.table = build_transfer_table(settings_.points, limit_);
    end_dialog(kel::kIdOk);
}

} // namespace effra
