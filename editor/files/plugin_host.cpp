// Two runs of the child: one lists what the plug-in files offer, one processes the file.
// The editor never loads a plug-in itself.
#include "editor/files/plugin_host.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/wave_format.h"
#include "editor/files/outside_program.h"
#include "platform/process.h"
#include "platform/profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// Control values the user set, per plug-in ("file:index"), for this run of the program.
std::map<std::string, std::vector<float>>& remembered()
{
    static std::map<std::string, std::vector<float>> values;
    return values;
}

std::string key_of(const PluginInfo& p)
{
    return p.file + ":" + std::to_string(p.index);
}

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

std::vector<std::string> registered_plugins()
{
    std::vector<std::string> files;
    const std::string profile = kel::profile::app_profile();
    for (int n = 1;; ++n) {
        const auto v = kel::profile::lookup(kPluginSection, "File" + std::to_string(n), profile);
        if (!v)
            break;
        if (!v->empty())
            files.push_back(*v);
    }
    return files;
}

namespace {

bool write_registered(const std::vector<std::string>& files)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i < files.size(); ++i)
        entries.emplace_back("File" + std::to_string(i + 1), files[i]);
    return kel::profile::replace_section(kPluginSection, entries, kel::profile::app_profile());
}

} // namespace

bool register_plugin(const std::string& path)
{
    auto files = registered_plugins();
    if (std::find(files.begin(), files.end(), path) == files.end())
        files.push_back(path);
    return write_registered(files);
}

bool unregister_plugin(const std::string& path)
{
    auto files = registered_plugins();
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    return write_registered(files);
}

std::vector<std::string> plugin_files()
{
    std::vector<std::string> files = registered_plugins();
    const char* env = std::getenv("LADSPA_PATH");
    const std::string path = env && *env ? env : "/usr/local/lib/ladspa:/usr/lib/ladspa";
    std::string::size_type start = 0;
    while (start <= path.size()) {
        auto colon = path.find(':', start);
        if (colon == std::string::npos)
            colon = path.size();
        const std::string dir = path.substr(start, colon - start);
        start = colon + 1;
        if (dir.empty())
            continue;
        DIR* d = opendir(dir.c_str());
        if (!d)
            continue;
        std::vector<std::string> found;
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0)
                found.push_back((dir.back() == '/' ? dir : dir + "/") + name);
        }
        closedir(d);
        std::sort(found.begin(), found.end());
        for (auto& f : found)
            if (std::find(files.begin(), files.end(), f) == files.end())
                files.push_back(f);
    }
    return files;
}

void PluginDialog::remember_values()
{
    if (PluginInfo* p = current()) {
        std::vector<float> values;
        for (const auto& c : p->controls)
            values.push_back(c.value);
        remembered()[key_of(*p)] = values;
    }
}

int PlugInProcessFile(const char* input, const char* output, HWND window)
{
    (void)window;
    if (!outside_program_exists(kPluginHostProgram)) {
        ErrMsg("The plug-in host %s is missing.", outside_program_path(kPluginHostProgram).c_str());
        return 0;
    }
    if (!ReadInputWaveformHeader(input, 1))
        return 0;
    const int channels = last_format.channels;

    // What the files offer, as the child finds it.
    const std::string report = run_directory() + "plugins.txt";
    std::remove(report.c_str());
    std::vector<std::string> args = {"--list", report};
    for (const auto& f : plugin_files())
        args.push_back(f);
    long process = start_outside_program(kPluginHostProgram, args, false);
    // A plug-in file that crashes the listing loses only the list.
    if (process)
        wait_for_program(process, "Looking for plug-ins...", nullptr);
    PluginDialog dialog;
    for (auto& p : parse_plugin_list(read_text(report)))
        if (p.audio_inputs == 1 || p.audio_inputs == channels)
            dialog.plugins.push_back(std::move(p));
    std::remove(report.c_str());
    if (dialog.plugins.empty()) {
        ErrMsg("%s", "No LADSPA plug-ins were found.");
        return 0;
    }
    for (auto& p : dialog.plugins) {
        const auto it = remembered().find(key_of(p));
        if (it != remembered().end() && it->second.size() == p.controls.size())
            for (size_t i = 0; i < p.controls.size(); ++i)
                p.controls[i].value = it->second[i];
    }
    if (kel::ui().run_modal(dialog) != 1 || !dialog.current())
        return 0;
    dialog.remember_values();
    const PluginInfo& p = *dialog.current();

    std::remove(output);
    args = {"--run", p.file, "--index=" + std::to_string(p.index), input, output};
    for (const auto& c : p.controls) {
        char value[40];
        std::snprintf(value, sizeof value, "--control=%.9g", c.value);
        args.push_back(value);
    }
    process = start_outside_program(kPluginHostProgram, args, false);
    if (!process) {
        ErrMsg("The plug-in host %s could not be started.",
               outside_program_path(kPluginHostProgram).c_str());
        return 0;
    }
    const ProgramEnd end = wait_for_program(process, "Processing with plug-in...", nullptr);
    if (end == ProgramEnd::Done)
        return 1;
    std::remove(output);
    if (end == ProgramEnd::Failed)
        ErrMsg("The plug-in %s failed; the sound is unchanged.", p.name.c_str());
    return 0;
}
