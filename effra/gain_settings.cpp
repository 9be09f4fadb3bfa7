// The gain operations' module-wide settings and the compressor's preset values.
#include "common/preset_values.h"
#include "effra/delay_effect.h"
#include "effra/gain_envelope.h"

#include <algorithm>
#include <cmath>

namespace effra {

GainSettings& gain_settings()
{
    static GainSettings settings;
    return settings;
}

std::vector<int> compressor_preset_values(const GainSettings& settings)
{
    std::vector<int> v{settings.attack};
    const std::vector<GraphPoint> points =
        settings.points.empty() ? corner_points() : settings.points;
    for (const GraphPoint& p : points) {
        v.push_back(p.x * 1000 / kGraphWidth);
        v.push_back(p.y * 1000 / kGraphHeight);
    }
    return v;
}

bool apply_compressor_preset(GainSettings& settings, const std::vector<int>& values)
{
    const size_t count =
        std::min<size_t>(values.empty() ? 0 : (values.size() - 1) / 2, kMaxControlPoints);
    if (count == 0)
        return false;
    // Per mille back to pixels, to the nearest: with a graph of at most 500 pixels this is
    // the pixel that was saved, so a save and reload keeps the curve.
    auto pixel = [](int per_mille, int size) {
        const long v = std::lround(static_cast<double>(per_mille) * size / 1000.0);
        return static_cast<int>(std::clamp(v, 0L, static_cast<long>(size)));
    };
    settings.attack = std::clamp(values[0], 1, 100);
    settings.points.clear();
    for (size_t i = 0; i < count; ++i)
        settings.points.push_back(
            {pixel(values[1 + 2 * i], kGraphWidth), pixel(values[2 + 2 * i], kGraphHeight)});
    return true;
}

std::string compressor_preset_path()
{
    return preset_directory() + preset_family(PresetKind::Compressor).ini_file;
}

} // namespace effra
