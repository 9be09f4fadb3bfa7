#pragma once
// The outside controls' message interface: faders answer the range / set-position /
// get-position messages, the gauges take their levels through two drawing functions.
// Dialogs, the frame and tests all talk to the controls this way.
#include "common/window.h"

#include <algorithm>

namespace kel::controls {

// The faders are part of the program, so these never show; modules and the player keep
// the texts of the original libraries.
inline constexpr const char* kCantLoadVfader = "Can't load Vfader.DLL";
inline constexpr const char* kCantLoadHfader = "Can't load Hfader.DLL";
inline constexpr const char* kCantLoadVumark = "Can't load Vumark.DLL";

inline constexpr unsigned kSetRange = 0x400;    // lparam: low word minimum, high word maximum
inline constexpr unsigned kSetPosition = 0x402; // wparam: position
inline constexpr unsigned kGetPosition = 0x404; // result: low word is the position

// Notification codes in the high word of the command a fader sends its parent.
inline constexpr int kNotifyMoving = 1;
inline constexpr int kNotifyReleased = 2;

inline long make_long(int low, int high)
{
    return static_cast<long>((static_cast<unsigned long>(high & 0xffff) << 16) |
                             static_cast<unsigned long>(low & 0xffff));
}
inline int low_word(long v)
{
    return static_cast<int>(static_cast<unsigned long>(v) & 0xffff);
}
inline int high_word(long v)
{
    return static_cast<int>((static_cast<unsigned long>(v) >> 16) & 0xffff);
}

// A window that answers messages.
class MessageTarget
{
  public:
    virtual ~MessageTarget() = default;
    virtual long on_message(unsigned message, unsigned long wparam, long lparam) = 0;
};

void register_target(HWND window, MessageTarget* target);
void unregister_target(HWND window);
// 0 for a window that is not a control (or no longer exists).
long send_message(HWND control, unsigned message, unsigned long wparam, long lparam);

// Range and position of a fader. The position is the control's own: minimum at the top
// of a vertical fader (and at the left of a horizontal one); dialogs store
// maximum + minimum - value so the top shows the largest value.
struct FaderModel
{
    int minimum = 0;
    int maximum = 100;
    int position = 0;

    long handle(unsigned message, unsigned long wparam, long lparam)
    {
        switch (message) {
        case kSetRange:
            minimum = static_cast<short>(low_word(lparam));
            maximum = static_cast<short>(high_word(lparam));
            if (maximum < minimum)
                std::swap(minimum, maximum);
            position = std::clamp(position, minimum, maximum);
            return 1;
        case kSetPosition:
            position = std::clamp(static_cast<int>(static_cast<long>(wparam)), minimum, maximum);
            return 1;
        case kGetPosition:
            return position & 0xffff;
        default:
            return 0;
        }
    }
    // Where a point along the track (0.0 at the top or left, 1.0 at the other end) puts
    // the position.
    int position_at(double fraction) const
    {
        fraction = std::clamp(fraction, 0.0, 1.0);
        return minimum + static_cast<int>(fraction * (maximum - minimum) + 0.5);
    }
    double fraction() const
    {
        return maximum == minimum ? 0.0 : double(position - minimum) / (maximum - minimum);
    }
};

// Decibel gauge state. Levels are peak sample magnitudes on the 0..128 scale of the
// level meters; the gauge shows them from -48 dB to 0 dB and holds the highest one.
struct GaugeModel
{
    int level = 0;
    int peak = 0;
    int mode = 0; // 1: the record dialog's gauges, 0: the main frame's
    void draw(long new_level, long new_mode, long reset)
    {
        level = static_cast<int>(std::clamp(new_level, 0L, 128L));
        mode = static_cast<int>(new_mode);
        if (reset)
            peak = level;
        else
            peak = std::max(peak, level);
    }
    static double decibels(int level);
};

// The gauge and level-indicator functions; unknown windows are ignored.
void _draw_decibel_gauge_volume(HWND gauge, long level, long mode, long reset);
void _draw_record_volume(HWND indicator, long left, long right);

// Implemented by the two display windows.
class GaugeTarget
{
  public:
    virtual ~GaugeTarget() = default;
    virtual void draw_gauge(long level, long mode, long reset) {}
    virtual void draw_levels(long left, long right) {}
};
void register_gauge(HWND window, GaugeTarget* target);
void unregister_gauge(HWND window);

} // namespace kel::controls
