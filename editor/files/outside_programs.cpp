#include "editor/files/outside_programs.h"

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/ui.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

std::string outside_program_path(const char* name)
{
    return kel::paths::program_dir() + name;
}

bool outside_program_exists(const char* name)
{
    return access(outside_program_path(name).c_str(), X_OK) == 0;
}

void clear_signal_files()
{
    std::remove(kFinishedFile);
    std::remove(kOutAdpcmFile);
}

bool wait_for_finished()
{
    kel::clock::sleep_ms(1000);
    for (int look = 0; look < 1000; ++look) {
        struct stat st {};
        if (stat(kFinishedFile, &st) == 0) {
            std::remove(kFinishedFile);
            return true;
        }
        if (kel::ui().escape_down())
            break;
        kel::clock::sleep_ms(100);
    }
    std::remove(kFinishedFile);
    return false;
}

bool start_outside_program(const std::vector<std::string>& argv, bool shown)
{
    return kel::process::start(argv, shown) != 0;
}
