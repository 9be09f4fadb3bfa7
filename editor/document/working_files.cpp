// Names and folder of the headerless working files.
#include "common/child_frame.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

std::string data_directory()
{
    const std::string profile = kel::profile::app_profile();
    std::string dir =
        kel::profile::read_string("Data directory", "Last used directory", "", profile);
    if (dir.empty()) {
        dir = kel::paths::default_data_dir();
        kel::profile::write_string("Data directory", "Last used directory", dir, profile);
    }
    return kel::paths::with_slash(dir);
}

std::string run_directory()
{
    std::string dir = kel::run_dir::current();
    if (dir.empty())
        dir = kel::run_dir::open(data_directory(), "orlo");
    if (dir.empty())
        dir = kel::run_dir::open(kel::run_dir::runtime_base(), "orlo");
    return dir;
}

void make_working_name(char* output, const char* extension)
{
    const std::string dir = data_directory();
    long counter = static_cast<long>(kel::clock::now_ms());
    if (counter > 99999999)
        counter -= 99999999;
    // Two steps in one millisecond would get the same name and one file would overwrite
    // the other, so an existing name moves on to the next free counter value.
    for (int tries = 0; tries < 100000; ++tries, ++counter) {
        char name[300];
        std::snprintf(name, sizeof name, "%s%-8ld%s", dir.c_str(), counter,
                      extension ? extension : "");
        if (std::strlen(name) >= 100) {
            output[0] = '\0';
            return;
        }
        if (access(name, F_OK) != 0) {
            std::strcpy(output, name);
            return;
        }
    }
    output[0] = '\0';
}
