// The system ends the session: SIGTERM ends the program at once, modal dialogs included,
// asks nothing, and leaves exactly what the next start needs.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/app/session_signals.h"
#include "editor/app/startup_dialogs.h"
#include "editor/document/recovery.h"
#include "editor/edit/edit_commands.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "tests/app/app_fixture.h"
#include "tests/support/wave_files.h"

#include <QMessageBox>
#include <QPushButton>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::string own_program()
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    return n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
}

std::string orlo_program()
{
    const char* tools = std::getenv("KELVARA_TEST_TOOLS");
    std::string dir = tools && *tools ? kel::paths::with_slash(tools) : own_program();
    if (!tools || !*tools)
        dir = dir.substr(0, dir.rfind('/') + 1);
    return dir + "orlo";
}

// A program started with its standard output on a pipe.
struct Child
{
    pid_t pid = -1;
    int out = -1;
    std::string seen;

    bool start(const std::vector<std::string>& args)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int r = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out = fds[0];
        return r == 0;
    }
    // The next line of output that starts with head, or "" after the time is up.
    std::string line_starting(const std::string& head, int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            for (size_t at = 0; (at = seen.find('\n')) != std::string::npos;) {
                const std::string line = seen.substr(0, at);
                seen.erase(0, at + 1);
                if (line.rfind(head, 0) == 0)
                    return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{out, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return "";
            char buf[512];
            const ssize_t n = read(out, buf, sizeof buf);
            if (n <= 0)
                return "";
            seen.append(buf, static_cast<size_t>(n));
        }
    }
    // True once the program holds a file whose name ends so.
    bool holds(const std::string& tail, int ms) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            const std::string fd_dir = "/proc/" + std::to_string(pid) + "/fd/";
            if (DIR* d = opendir(fd_dir.c_str())) {
                bool found = false;
                while (dirent* e = readdir(d)) {
                    char target[PATH_MAX];
                    const ssize_t n =
                        readlink((fd_dir + e->d_name).c_str(), target, sizeof target - 1);
                    if (n > 0 &&
                        std::string(target, static_cast<size_t>(n)).size() >= tail.size() &&
                        std::string(target, static_cast<size_t>(n))
                                .compare(static_cast<size_t>(n) - tail.size(), tail.size(), tail) ==
                            0)
                        found = true;
                }
                closedir(d);
                if (found)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // The wait status, or -1 when it is still running after ms (it is then killed).
    int wait_ms(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    ~Child()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0)
            close(out);
    }
};

bool ended_by_sigterm(int status)
{
    return status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
}

std::vector<std::string> run_folders(const std::string& data)
{
    std::vector<std::string> out;
    if (DIR* d = opendir(data.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).rfind("orlo-", 0) == 0)
                out.push_back(data + e->d_name + "/");
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> manifests(const std::string& folder)
{
    std::vector<std::string> out;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n.size() > 9 && n.compare(n.size() - 9, 9, ".manifest") == 0)
                out.push_back(folder + n);
        }
        closedir(d);
    }
    return out;
}

class SessionEndTest : public AppTest
{
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        set_preference("Tip of the day", "yes");
        write_file(program + "KVRA32.TXT", "A tip\nAnother tip\n");
    }
    // The samples AppTest::make_wave writes, after the first 1000 words were cut.
    static std::string cut_samples() { return pcm16(noise16(4410 * 2, 7)).substr(2000); }
};

} // namespace

// The real program: SIGTERM while "Recover 1 unsaved document?" is up leaves the dead run's
// document for the next start; SIGTERM while the tip of the day is up leaves nothing.
TEST_F(SessionEndTest, TheProgramEndsAtOnceWhileAModalDialogIsUp)
{
    const std::string orlo = orlo_program();
    if (access(orlo.c_str(), X_OK) != 0)
        GTEST_SKIP() << "no " << orlo;
    recovery::Manifest m;
    m.title = "lost.wav";
    m.path = root + "lost.wav";
    m.format.channels = 1;
    m.format.bits_per_sample = 8;
    m.format.sample_rate = 11025;
    m.working = "1000    .tmp";
    m.total_samples = 5;
    m.modified = true;
    const std::string dead = data + "orlo-4999991-1/";
    kel::paths::make_dirs(dead);
    write_file(dead + m.working, "abcde");
    write_file(dead + "doc-1.manifest", recovery::manifest_text(m));
    {
        Child editor;
        ASSERT_TRUE(editor.start({orlo}));
        // The dead run's folder is taken before the question is asked.
        ASSERT_TRUE(editor.holds(dead + "lock", 20000));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(kill(editor.pid, SIGTERM), 0);
        EXPECT_TRUE(ended_by_sigterm(editor.wait_ms(2000)));
    }
    EXPECT_EQ(run_folders(data), std::vector<std::string>{dead}) << "its own folder went";
    ui.answer(kel::kIdYes);
    auto back = recovery::offer_recovery();
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(read_file(back[0]->working_file()), "abcde");
    const std::string mine = kel::run_dir::current();

    {
        Child editor;
        ASSERT_TRUE(editor.start({orlo}));
        ASSERT_TRUE(editor.holds("/KVRA32.TXT", 20000)) << "the tip of the day never showed";
        ASSERT_EQ(kill(editor.pid, SIGTERM), 0);
        EXPECT_TRUE(ended_by_sigterm(editor.wait_ms(2000)));
    }
    EXPECT_EQ(run_folders(data), std::vector<std::string>{mine});
}

// The editor with an unsaved and a saved document, the tip of the day up: SIGTERM ends it
// without a question; the saved document's files are gone, the unsaved one comes back at
// the next start.
TEST_F(SessionEndTest, UnsavedWorkOutlivesSigtermAndComesBackAtTheNextStart)
{
    if (const char* shared = std::getenv("KELVARA_SESSION_DATA")) {
        // The editor the test ends, in a process of its own.
        kel::profile::write_string("Data directory", "Last used directory", shared,
                                   kel::profile::app_profile());
        set_preference("Tip of the day", "no");
        app::end_session_on_signals();
        start();
        ui::CMainFrame* frame = app_->main_frame();
        app::set_current_file(make_wave("keep.wav"));
        frame->on_command(2002);
        app::set_current_file(make_wave("plain.wav"));
        frame->on_command(2002);
        CChildFrame* keep = nullptr;
        CChildFrame* plain = nullptr;
        for (ui::DocumentWindow* w : frame->document_windows())
            (std::string(w->document()->file_title) == "keep.wav" ? keep : plain) = w->document();
        if (!keep || !plain)
            _exit(4);
        keep->current.select_start = 0;
        keep->current.select_end = 1000;
        keep->current.has_selection = 1;
        if (edit_cut(*keep) != 1)
            _exit(5);
        std::printf("READY %s|%s|%s\n", keep->working_file(), plain->working_file(), root.c_str());
        std::fflush(stdout);
        app::TipOfTheDayDialog tip;
        kel::ui().run_modal(tip);
        std::printf("TIP CLOSED\n");
        std::fflush(stdout);
        _exit(3);
    }

    setenv("KELVARA_SESSION_DATA", data.c_str(), 1);
    Child editor;
    const bool started =
        editor.start({own_program(), "--gtest_filter=SessionEndTest.UnsavedWork*"});
    unsetenv("KELVARA_SESSION_DATA");
    ASSERT_TRUE(started);
    const std::string ready = editor.line_starting("READY ", 30000);
    ASSERT_FALSE(ready.empty()) << editor.seen;
    const auto bar = ready.find('|'), bar2 = ready.rfind('|');
    const std::string keep_file = ready.substr(6, bar - 6);
    const std::string plain_file = ready.substr(bar + 1, bar2 - bar - 1);
    const std::string child_root = ready.substr(bar2 + 1);
    ASSERT_TRUE(editor.holds("/KVRA32.TXT", 10000)) << "the tip of the day never showed";
    const pid_t pid = editor.pid;
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    const int status = editor.wait_ms(2000);
    EXPECT_TRUE(ended_by_sigterm(status)) << "it asked or hung: " << status << editor.seen;
    if (std::system(("rm -rf '" + child_root + "'").c_str()) != 0) {
    }

    // What stays: the unsaved document with its manifest; nothing of the saved one.
    const std::string folder = data + "orlo-" + std::to_string(pid) + "-1000/";
    EXPECT_EQ(run_folders(data), std::vector<std::string>{folder});
    const auto left = manifests(folder);
    ASSERT_EQ(left.size(), 1u);
    recovery::Manifest m;
    ASSERT_TRUE(recovery::parse_manifest(read_file(left[0]), m));
    EXPECT_EQ(m.title, "keep.wav");
    EXPECT_TRUE(m.modified);
    EXPECT_EQ(folder + m.working, keep_file);
    EXPECT_TRUE(read_file(keep_file) == cut_samples());
    EXPECT_NE(access(plain_file.c_str(), F_OK), 0);

    // The next start asks, and Yes brings the document back as it was.
    set_preference("Tip of the day", "no");
    std::string asked;
    when_modal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return;
        asked = box->text().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    start();
    EXPECT_EQ(asked, "Recover 1 unsaved document?");
    const auto windows = app_->main_frame()->document_windows();
    ASSERT_EQ(windows.size(), 1u);
    // Its title says it holds unsaved work.
    EXPECT_EQ(windows[0]->windowTitle(), "keep.wav*");
    CChildFrame* doc = windows[0]->document();
    EXPECT_EQ(doc->is_modified, 1);
    EXPECT_TRUE(read_file(doc->working_file()) == cut_samples());
    EXPECT_NE(access(folder.c_str(), F_OK), 0);
}
