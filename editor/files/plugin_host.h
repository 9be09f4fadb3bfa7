#pragma once
// The plug-in host: LADSPA plug-ins chosen by the user and run over a wave file by our
// child program "dxhost", so a plug-in that crashes or hangs cannot take the editor with it.
#include "common/window.h"
#include "platform/ui.h"

#include <string>
#include <vector>

inline constexpr const char* kPluginHostProgram = "dxhost";
// Registered plug-in files: keys "File1", "File2", ... of this profile section.
inline constexpr const char* kPluginSection = "Plugins";

struct PluginControl
{
    unsigned long port = 0;
    std::string name;
    bool has_lower = false, has_upper = false;
    float lower = 0, upper = 0;
    float value = 0; // starts at the plug-in's default
    bool toggled = false, integer = false, logarithmic = false;

    // A slider of kSliderSteps steps over the port's range (logarithmic when hinted);
    // an unbounded side spans the default's neighbourhood.
    static constexpr int kSliderSteps = 1000;
    float slider_low() const;
    float slider_high() const;
    int slider_position() const;
    void set_slider_position(int position);
};

struct PluginInfo
{
    std::string file;
    unsigned long index = 0;
    std::string label, name;
    int audio_inputs = 0;
    std::vector<PluginControl> controls;
};

// The lines "dxhost --list" writes; lines it cannot make sense of are skipped.
std::vector<PluginInfo> parse_plugin_list(const std::string& text);

// The registered files, then every *.so in the folders of LADSPA_PATH (by default
// /usr/local/lib/ladspa and /usr/lib/ladspa), each once.
std::vector<std::string> registered_plugins();
std::vector<std::string> plugin_files();
bool register_plugin(const std::string& path);
bool unregister_plugin(const std::string& path);

// "PLUGINS": the choice of plug-in and its control values. Ends with 1 (OK) or 2.
class PluginDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "PLUGINS"; }
    std::vector<PluginInfo> plugins;
    int chosen = 0;
    PluginInfo* current()
    {
        return chosen >= 0 && chosen < int(plugins.size()) ? &plugins[chosen] : nullptr;
    }
    // Held for the next run, per plug-in.
    void remember_values();
};

// Runs the user's choice of plug-in over `input` (a PCM wave file) into `output` in the
// same format. 1 when `output` is complete; 0 on Cancel or failure (said in a box).
int PlugInProcessFile(const char* input, const char* output, HWND window);
