// Names and folder of the headerless working files.
#include "editor/document/working_files.h"

#include "common/child_frame.h"
#include "editor/strings.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "platform/safe_write.h"
#include "platform/ui.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Working-file names live in 100-character fields (the terminator included). The run
// folder adds at most "orlo-4194304-99999999/" to the data directory, the counter name
// "99999999.tmp".
constexpr size_t kNameField = 100;
constexpr size_t kRunFolderPart = 22;
constexpr size_t kCounterPart = 12;

int g_data_dir_error = 0;

// The folder the run folder was made in: the data directory, or the runtime folder when
// the data directory could not hold it.
std::string base_of(const std::string& run_folder)
{
    if (run_folder.size() < 2)
        return run_folder;
    const auto slash = run_folder.rfind('/', run_folder.size() - 2);
    return slash == std::string::npos ? run_folder : run_folder.substr(0, slash + 1);
}

std::string problem_in(int error, const std::string& dir)
{
    switch (error) {
    case EROFS:
    case EACCES:
    case EPERM:
        return "The data directory " + dir + " is read-only.";
    case ENOENT:
    case ENOTDIR:
        return "The data directory " + dir + " does not exist.";
    case EEXIST:
        return "The data directory " + dir + " is not a folder.";
    case ENAMETOOLONG:
        return "The data directory " + dir + " has too long a name for working files.";
    case ENOSPC:
    case EDQUOT:
        return kel::file_error_text(error);
    default:
        return "The data directory " + dir + ": " + kel::file_error_text(error);
    }
}

} // namespace

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
    if (!dir.empty())
        return dir;
    const std::string data = data_directory();
    int error = ENAMETOOLONG;
    if (data.size() + kRunFolderPart + kCounterPart < kNameField) {
        errno = 0;
        dir = kel::run_dir::open(data, "orlo");
        error = dir.empty() ? (errno ? errno : EIO) : 0;
    }
    g_data_dir_error = error;
    if (!dir.empty())
        return dir;
    // The run still works from the runtime folder; the user learns why, once.
    dir = kel::run_dir::open(kel::run_dir::runtime_base(), "orlo");
    if (!dir.empty() && dir.size() + kCounterPart < kNameField) {
        kel::ui().message_box(problem_in(error, data) + "\nThis run keeps its working files in " +
                                  dir + ".",
                              "Kelvara", kel::Buttons::Ok, kel::Icon::Exclamation);
    }
    return dir;
}

int data_directory_error()
{
    return g_data_dir_error;
}

std::string working_file_problem(int error)
{
    const std::string folder = kel::run_dir::current();
    if (folder.empty())
        return problem_in(g_data_dir_error ? g_data_dir_error : error, data_directory());
    if (error == ENAMETOOLONG)
        return "The working-file name would be longer than " + std::to_string(kNameField - 1) +
               " characters.";
    struct stat st
    {
    };
    if ((error == ENOENT || error == ENOTDIR) &&
        (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
        return "The folder " + folder + " no longer exists.";
    return problem_in(error, base_of(folder));
}

void make_working_name(char* output, const char* extension)
{
    output[0] = '\0';
    const std::string dir = run_directory();
    if (dir.empty())
        return;
    long counter = static_cast<long>(kel::clock::now_ms());
    if (counter > 99999999)
        counter -= 99999999;
    // Two steps in one millisecond would get the same name and one file would overwrite
    // the other, so an existing name moves on to the next free counter value.
    for (int tries = 0; tries < 100000; ++tries, ++counter) {
        char name[300];
        // Zero-padded: a name without blanks goes through every shell and tool as it is.
        std::snprintf(name, sizeof name, "%s%08ld%s", dir.c_str(), counter,
                      extension ? extension : "");
        if (std::strlen(name) >= kNameField)
            return;
        if (access(name, F_OK) != 0) {
            std::strcpy(output, name);
            return;
        }
    }
}

int create_working_file(const char* name)
{
    if (!name || !name[0]) {
        if (kel::run_dir::current().empty())
            return g_data_dir_error ? g_data_dir_error : EIO;
        return ENAMETOOLONG;
    }
    const int fd = ::open(name, O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno ? errno : EIO;
    ::close(fd);
    return 0;
}

void working_file_message(int string_id, int error)
{
    const char* s = string_table_text(string_id);
    std::string text = s ? s : "Message " + std::to_string(string_id);
    if (error)
        text += "\n" + working_file_problem(error);
    kel::ui().message_box(text, "Kelvara", kel::Buttons::Ok, kel::Icon::None);
}
