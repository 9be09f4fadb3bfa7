#include "editor/app/shutdown.h"

#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace app {

int delete_temporary_files(const std::string& data_directory)
{
    const std::string dir = kel::paths::with_slash(data_directory);
    std::vector<std::string> doomed;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            // The extension is compared without regard to case, as the file system of
            // the program's origin did.
            if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".tmp") == 0)
                doomed.push_back(dir + name);
        }
        closedir(d);
    }
    for (const char* clip : {"clipbord.clp", "cliptext.clp", "convclip.clp"})
        doomed.push_back(dir + clip);
    int deleted = 0;
    for (const std::string& f : doomed) {
        struct stat st
        {
        };
        // Only plain files: a directory that happens to end in ".tmp" stays.
        if (lstat(f.c_str(), &st) == 0 && S_ISREG(st.st_mode) && unlink(f.c_str()) == 0)
            ++deleted;
    }
    return deleted;
}

} // namespace app
