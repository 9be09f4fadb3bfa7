#pragma once
// Spatial localization: one channel of a stereo passage leads the other by up to a few
// milliseconds, and the ear places the sound on the leading side (spatial.cpp). The whole
// selection is worked on in memory.
namespace effra {

enum class Placement { FarRight, FarLeft, InBetween, PanLeftToRight, PanRightToLeft, BackAndForth };

// Module-wide parameters, kept for the life of the process.
struct SpatialSettings
{
    Placement type = Placement::FarRight;
    int delay_ms = 4;     // 1 to 100
    int rate_tenths = 10; // back and forth, tenths of a hertz, 1 to 100
    int position = 0;     // in between: -100 (right) to 100 (left)
    int invert_left = 0;
    int invert_right = 0;
    // Back and forth: even, the left channel leads; odd, the right. Carried from run to run.
    long parity = 1;
};

SpatialSettings& spatial_settings();

// What one run needs to know, from the settings and the file.
struct SpatialPlan
{
    long lead_frames = 0;    // N: the largest lead, in frames
    bool left_leads = false; // in between: which channel is the leading one
    long period_frames = 0;  // back and forth: one swing, in frames
};

SpatialPlan spatial_plan(const SpatialSettings& settings, unsigned long samples_per_second);

} // namespace effra
