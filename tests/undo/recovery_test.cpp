// A run that dies leaves its documents for the next start to offer back.
#include "editor/document/recovery.h"
#include "editor/edit/edit_commands.h"
#include "levra/dialogs.h"
#include "platform/paths.h"
#include "platform/run_dir.h"
#include "tests/support/edit_fixture.h"

#include <csignal>
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

// Answers the amplify dialog with 50 % twice; at the n-th poll of the second effect's
// progress window it tells the test through a pipe and waits there to be killed.
class StallingUi : public kel::HeadlessUi
{
  public:
    StallingUi(int stall_at_poll, int fd) : stall_at_(stall_at_poll), fd_(fd)
    {
        for (int i = 0; i < 2; ++i)
            on_dialog("AMPLIFY", [](kel::DialogModel& m) {
                auto& d = dynamic_cast<AmplifyDialog&>(m);
                d.in_decibels = false;
                d.percent = 50;
                d.ok();
            });
    }
    long progress_open(const std::string& text) override
    {
        if (text == "Amplifying...")
            ++effects_;
        return HeadlessUi::progress_open(text);
    }
    bool progress_cancel_pressed(long handle) override
    {
        if (effects_ == 2 && ++effect_polls_ == stall_at_) {
            (void)!write(fd_, "1", 1);
            for (;;)
                pause();
        }
        return HeadlessUi::progress_cancel_pressed(handle);
    }

  private:
    int stall_at_;
    int fd_;
    int effects_ = 0;
    int effect_polls_ = 0;
};

class RecoveryTest : public EditTest
{
  protected:
    static std::string halved(const std::vector<int16_t>& words)
    {
        std::vector<int16_t> out;
        for (int16_t w : words)
            out.push_back(static_cast<int16_t>(w / 2));
        return pcm16(out);
    }
    // A run folder as a run that died leaves it, with one document.
    std::string dead_run(const std::string& name, const recovery::Manifest& m,
                         const std::string& samples)
    {
        const std::string folder = data + name + "/";
        kel::paths::make_dirs(folder);
        write_file(folder + "lock", "1\n");
        write_file(folder + m.working, samples);
        write_file(folder + "doc-1.manifest", recovery::manifest_text(m));
        return folder;
    }
};

} // namespace

// kill -9 in the middle of an effect: the next start offers the document and brings back
// the state after the last complete step, byte for byte, with its title and file.
TEST_F(RecoveryTest, AKillDuringAnEffectRecoversTheLastCompleteState)
{
    ASSERT_TRUE(kel::run_dir::current().empty());
    const auto words = noise16(200000, 11); // 400000 bytes: the effect takes many blocks
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t editor = fork();
    ASSERT_GE(editor, 0);
    if (editor == 0) {
        StallingUi stalling(4, ready[1]);
        kel::set_ui(&stalling);
        CChildFrame* doc = open_doc(pcm16(words), 2, 16, 22050, "k.wav");
        // One complete step, then a second one that never ends.
        if (!doc || doc->amplify_waveform(nullptr, doc->window, 11501, 1, "") != 1)
            _exit(1);
        doc->amplify_waveform(nullptr, doc->window, 11501, 1, "");
        _exit(2);
    }
    Reaper reaper{editor};
    close(ready[1]);
    char c = 0;
    const bool stalled = read(ready[0], &c, 1) == 1;
    close(ready[0]);
    if (!stalled) {
        int status = 0;
        waitpid(editor, &status, 0);
        reaper.pid = 0;
        FAIL() << "the editor never reached its second effect: " << WEXITSTATUS(status);
    }
    const std::string folder = data + "orlo-" + std::to_string(editor) + "-1000/";
    // The manifest records the step before the running one.
    recovery::Manifest m;
    ASSERT_TRUE(recovery::parse_manifest(read_file(folder + "doc-1.manifest"), m));
    EXPECT_EQ(m.title, "k.wav");
    EXPECT_EQ(m.path, root + "k.wav");
    EXPECT_EQ(m.format.channels, 2);
    EXPECT_EQ(m.format.bits_per_sample, 16);
    EXPECT_EQ(m.format.sample_rate, 22050u);
    EXPECT_EQ(m.total_samples, 200000);
    EXPECT_TRUE(m.modified);
    EXPECT_EQ(read_file(folder + m.working), halved(words));
    ASSERT_EQ(kill(editor, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(editor, &status, 0), editor);
    reaper.pid = 0;
    ASSERT_TRUE(WIFSIGNALED(status));
    // The half-done redo file and the backup are there too.
    EXPECT_GE(read_file(folder + "lock").size(), 1u);

    // The next start.
    ui.answer(kel::kIdYes);
    auto back = recovery::offer_recovery();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Recover 1 unsaved document?");
    EXPECT_EQ(ui.boxes[0].caption, "Kelvara");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::YesNo);
    ASSERT_EQ(back.size(), 1u);
    CChildFrame* doc = back[0].get();
    EXPECT_STREQ(doc->file_title, "k.wav");
    EXPECT_EQ(doc->file_path, root + "k.wav");
    EXPECT_EQ(doc->is_modified, 1);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(doc->current.total_samples, 200000);
    EXPECT_EQ(doc->current.select_end, 200000);
    EXPECT_TRUE(contents(doc) == halved(words));
    EXPECT_EQ(CChildFrame::GetTheFuckingHandle(), doc);
    EXPECT_NE(access(folder.c_str(), F_OK), 0) << "the dead run's folder is gone";
    EXPECT_EQ(std::string(doc->working_file()).rfind(kel::run_dir::current(), 0), 0u);
    // Still recoverable should this run die too.
    recovery::Manifest again;
    ASSERT_TRUE(recovery::parse_manifest(read_file(recovery::manifest_path(*doc)), again));
    EXPECT_TRUE(again.modified);
    EXPECT_EQ(again.working, kel::paths::file_part(doc->working_file()));
    // It edits like any document.
    select(doc, 0, 10);
    ASSERT_EQ(edit_cut(*doc), 1);
    EXPECT_EQ(doc->current.total_samples, 199990);
    back.clear();
    EXPECT_TRUE(recovery::offer_recovery().empty());
    EXPECT_EQ(ui.boxes.size(), 1u) << "nothing more to offer";
}

// Dead runs with nothing modified go without a word; No deletes what was offered; a live
// or starting run's folder is never touched.
TEST_F(RecoveryTest, NoDeletesWhatWasOfferedAndCleanRunsGoSilently)
{
    recovery::Manifest clean;
    clean.title = "clean.wav";
    clean.format.channels = 1;
    clean.format.bits_per_sample = 8;
    clean.format.sample_rate = 11025;
    clean.working = "1000    .tmp";
    clean.total_samples = 4;
    const std::string a = dead_run("orlo-4999991-1", clean, "abcd");
    ASSERT_TRUE(recovery::offer_recovery().empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_NE(access(a.c_str(), F_OK), 0);

    recovery::Manifest changed = clean;
    changed.title = "new\nline%.wav"; // names of any kind survive the manifest
    changed.modified = true;
    recovery::Manifest parsed;
    ASSERT_TRUE(recovery::parse_manifest(recovery::manifest_text(changed), parsed));
    EXPECT_EQ(parsed.title, changed.title);
    const std::string b = dead_run("orlo-4999992-2", changed, "abcd");
    const std::string c = dead_run("orlo-4999993-3", changed, "efgh");
    // A manifest that names a file outside its folder is not ours to open.
    recovery::Manifest outside = changed;
    outside.working = "../elsewhere.tmp";
    const std::string d = dead_run("orlo-4999994-4", changed, "ijkl");
    write_file(d + "doc-1.manifest", recovery::manifest_text(outside));
    // The folder of a run that is alive: its lock is held, or it is still starting (its
    // process exists, the lock is not taken yet).
    const std::string live = run_directory();
    ASSERT_EQ(live.rfind(data + "orlo-", 0), 0u);
    const std::string starting = dead_run("orlo-" + std::to_string(getppid()) + "-5", changed, "x");
    ui.answer(kel::kIdNo);
    EXPECT_TRUE(recovery::offer_recovery().empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Recover 2 unsaved documents?");
    for (const std::string& f : {b, c, d})
        EXPECT_NE(access(f.c_str(), F_OK), 0) << f;
    EXPECT_EQ(access(live.c_str(), F_OK), 0);
    EXPECT_EQ(read_file(starting + "1000    .tmp"), "x");
    EXPECT_EQ(documents::count(), 0);
}
