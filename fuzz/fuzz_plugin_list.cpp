// The plug-in host child's list, as whatever a misbehaving plug-in may leave in it.
#include "editor/files/plugin_host.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (PluginInfo& p : parse_plugin_list(text))
        for (PluginControl& c : p.controls) {
            c.set_slider_position(c.slider_position());
            (void)c.slider_low();
            (void)c.slider_high();
        }
    return 0;
}
