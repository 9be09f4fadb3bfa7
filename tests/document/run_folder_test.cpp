// Each run keeps its files in a folder of its own, and says plainly when the data directory
// cannot hold them.
#include "common/host_services.h"
#include "editor/document/recovery.h"
#include "editor/edit/edit_commands.h"
#include "editor/files/wave_save.h"
#include "levra/dialogs.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "tests/support/edit_fixture.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A child still running when a check fails is not left behind.
struct Reaper
{
    pid_t pid = 0;
    ~Reaper()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

class RunFolderTest : public EditTest
{
  protected:
    // Amplify by 50 %: every word halves, truncated toward zero.
    int halve(CChildFrame* doc)
    {
        ui.on_dialog("AMPLIFY", [](kel::DialogModel& m) {
            auto& d = dynamic_cast<AmplifyDialog&>(m);
            d.in_decibels = false;
            d.percent = 50;
            d.ok();
        });
        return doc->amplify_waveform(nullptr, doc->window, 11501, 1, "");
    }
    static std::string halved(const std::vector<int16_t>& words)
    {
        std::vector<int16_t> out;
        for (int16_t w : words)
            out.push_back(static_cast<int16_t>(w / 2));
        return pcm16(out);
    }
    void set_data_directory(const std::string& dir)
    {
        kel::profile::write_string("Data directory", "Last used directory", dir,
                                   kel::profile::app_profile());
    }
};

bool wait_byte(int fd)
{
    char c;
    return read(fd, &c, 1) == 1;
}

} // namespace

// Two editors at once: each works in its own folder. The one that quits takes only its own
// files; the other's working files and clipboard are untouched and it saves fine.
TEST_F(RunFolderTest, TwoEditorsAtOnceOneQuitsTheOtherSavesFine)
{
    ASSERT_TRUE(kel::run_dir::current().empty());
    // Files of an earlier version and of other programs, which nobody of ours deletes.
    write_file(data + "12345678.tmp", "old");
    write_file(data + "clipbord.clp", "old");
    int to_parent[2], to_child[2];
    ASSERT_EQ(pipe(to_parent), 0);
    ASSERT_EQ(pipe(to_child), 0);
    const auto b_words = noise16(6000, 2);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // The second editor: a document with one step done and a clipboard, then a clean end.
        CChildFrame* doc = open_doc(pcm16(b_words), 2, 16, 22050, "b.wav");
        bool ok = doc && halve(doc) == 1;
        if (ok)
            select(doc, 0, 1000);
        ok = ok && copy_to_clipboard(*doc) == 1;
        ok = ok && write(to_parent[1], "1", 1) == 1 && wait_byte(to_child[0]);
        docs.clear();
        recovery::end_run();
        _exit(ok ? 0 : 1);
    }
    Reaper reaper{other};
    close(to_parent[1]);
    close(to_child[0]);
    // Both editors have the same clock, so they choose the same working-file names.
    ASSERT_TRUE(wait_byte(to_parent[0]));
    const auto a_words = noise16(8000, 1);
    CChildFrame* doc = open_doc(pcm16(a_words), 2, 16, 22050, "a.wav");
    ASSERT_TRUE(doc);
    ASSERT_EQ(halve(doc), 1);
    select(doc, 0, 2000);
    ASSERT_EQ(copy_to_clipboard(*doc), 1);
    const std::string mine = kel::run_dir::current();
    const std::string theirs = data + "orlo-" + std::to_string(other) + "-1000/";
    EXPECT_NE(mine, theirs);
    EXPECT_EQ(access(theirs.c_str(), F_OK), 0);
    const auto files = tmp_files();
    ASSERT_EQ(files.size(), 3u); // current, undo and the selection backup
    ASSERT_EQ(write(to_child[1], "2", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    reaper.pid = 0;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_NE(access(theirs.c_str(), F_OK), 0) << "the other run's folder went with it";
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(contents(doc), halved(a_words));
    EXPECT_EQ(read_file(clipboard_data_path()), halved(a_words).substr(0, 4000));
    EXPECT_EQ(read_file(data + "12345678.tmp"), "old");
    EXPECT_EQ(read_file(data + "clipbord.clp"), "old");
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), pcm16(a_words));
    ASSERT_EQ(doc->redo_command(), 1);
    const std::string out = root + "saved.wav";
    ASSERT_EQ(save_wave_file(*doc, out, false, save_format_of(*doc)), 1);
    const std::string saved = read_file(out);
    const std::string expected = halved(a_words);
    ASSERT_EQ(saved.size(), 44 + expected.size());
    EXPECT_EQ(saved.substr(44), expected);
    EXPECT_TRUE(ui.boxes.empty());
}

// A data directory that cannot hold the run's folder: the run goes on from the runtime
// folder and says why; where no working file can be made at all, the design's message
// gets the reason as a second line.
TEST_F(RunFolderTest, AnUnusableDataDirectoryIsNamedWithItsProblem)
{
    write_file(path("blocker"), "x");
    set_data_directory(path("blocker") + "/data/");
    CChildFrame* doc = open_doc(pcm16(noise16(100, 3)), 2, 16, 22050);
    ASSERT_TRUE(doc);
    const std::string folder = kel::run_dir::current();
    EXPECT_EQ(folder.rfind(root + "runtime/orlo-", 0), 0u);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The data directory " + path("blocker") +
                                    "/data/ does not exist.\nThis run keeps its working files in " +
                                    folder + ".");
    docs.clear();
    ui.boxes.clear();

    // Names too long everywhere: nothing can be made, and the message says why.
    kel::run_dir::close();
    const std::string long_dir = root + std::string(100, 'r') + "/";
    kel::paths::make_dirs(long_dir);
    set_data_directory(long_dir);
    setenv("XDG_RUNTIME_DIR", long_dir.c_str(), 1);
    EXPECT_FALSE(open_doc(pcm16(noise16(100, 3)), 2, 16, 22050));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "No file " + long_dir +
                                    "\nThe working-file name would be longer than 99 characters.");
}

// A full disk and a read-only data directory, on small file systems of our own (a tmpfs in a
// private mount namespace).
TEST_F(RunFolderTest, AFullOrReadOnlyDataDiskIsNamed)
{
    const char* small = std::getenv("KELVARA_SMALL_DISK");
    const char* read_only = std::getenv("KELVARA_READ_ONLY_DISK");
    if (!small || !read_only) {
        if (std::system("unshare -rm true >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no private mount namespace here";
        char self[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        ASSERT_GT(n, 0);
        self[n] = '\0';
        const std::string s = root + "small", r = root + "ro";
        kel::paths::make_dirs(s);
        kel::paths::make_dirs(r);
        const std::string command =
            "unshare -rm sh -c 'mount -t tmpfs -o size=256k none " + s +
            " && mount -t tmpfs -o ro none " + r + " && KELVARA_SMALL_DISK=" + s +
            " KELVARA_READ_ONLY_DISK=" + r + " exec " + self +
            " --gtest_filter=RunFolderTest.AFullOrReadOnlyDataDiskIsNamed' 2>&1";
        std::FILE* p = popen(command.c_str(), "r");
        ASSERT_TRUE(p);
        std::string output;
        char buf[512];
        while (std::fgets(buf, sizeof buf, p))
            output += buf;
        EXPECT_EQ(pclose(p), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return;
    }
    set_data_directory(small);
    // Open: the samples do not fit.
    EXPECT_FALSE(open_doc(std::string(400000, '\1'), 2, 16, 22050));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cannot write output WAVE file.\nThe disk is full.");
    EXPECT_EQ(working_file_count(), 0);
    // An effect: the document fits, its undo state and backup do not.
    const auto words = noise16(50000, 4);
    CChildFrame* doc = open_doc(pcm16(words), 2, 16, 22050);
    ASSERT_TRUE(doc);
    const std::string work = doc->working_file();
    ui.boxes.clear();
    EXPECT_EQ(halve(doc), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cannot write output WAVE file.\nThe disk is full.");
    EXPECT_EQ(doc->working_file(), work);
    EXPECT_EQ(contents(doc), pcm16(words));
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(tmp_files(), std::set<std::string>{work});
    docs.clear();
    ui.boxes.clear();

    // A read-only data directory.
    kel::run_dir::close();
    set_data_directory(read_only);
    ASSERT_TRUE(open_doc(pcm16(words), 2, 16, 22050));
    const std::string folder = kel::run_dir::current();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The data directory " + std::string(read_only) +
                                    "/ is read-only.\nThis run keeps its working files in " +
                                    folder + ".");
}
