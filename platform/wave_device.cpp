#include "platform/wave_device.h"

namespace kel::wave_device {

Caps& selected_input_caps()
{
    static Caps caps;
    return caps;
}

} // namespace kel::wave_device
