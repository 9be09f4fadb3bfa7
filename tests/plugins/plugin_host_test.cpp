// The plug-in host end to end: the child program runs real LADSPA plug-ins over the
// document's section, the result goes in as one undoable step, and faulty plug-ins or
// hosts leave the document as it was.
#include "common/child_frame.h"
#include "editor/commands/command_table.h"
#include "editor/files/elf_symbols.h"
#include "editor/files/plugin_host.h"
#include "editor/files/plugin_registration.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* kSdkAmp = "/usr/lib/ladspa/amp.so";
const char* kCmt = "/usr/lib/ladspa/cmt.so";

class PluginHostTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        tools = std::getenv("KELVARA_TEST_TOOLS") ? std::getenv("KELVARA_TEST_TOOLS") : "";
        struct stat st;
        if (tools.empty() || stat((tools + "/dxhost").c_str(), &st) != 0 ||
            stat(kSdkAmp, &st) != 0 || stat(kCmt, &st) != 0 ||
            std::system("command -v applyplugin >/dev/null && command -v sox >/dev/null") != 0)
            GTEST_SKIP() << "needs dxhost, ladspa-sdk, cmt and sox";
        ASSERT_EQ(sh("ln -sf '" + tools + "/dxhost' '" + program + "dxhost'"), 0);
        setenv("LADSPA_PATH", "/usr/lib/ladspa", 1);
        kel::clock::unfix(); // the host really runs
    }
    int sh(const std::string& cmd) { return std::system(("cd " + root + " && " + cmd).c_str()); }
    std::string data_of(const std::string& wav)
    {
        const std::string b = read_file(path(wav));
        const auto at = b.find("data");
        return at == std::string::npos ? "" : b.substr(at + 8);
    }
    std::unique_ptr<CChildFrame> open(const std::string& wav)
    {
        return CChildFrame::create_from_file(path(wav).c_str());
    }
    // The next plug-in dialog picks this label (from this file, when given) and sets
    // its first control.
    void choose(const std::string& label, float first_control = 0, const std::string& file = "")
    {
        ui.on_dialog("PLUGINS", [=](kel::DialogModel& m) {
            auto& d = static_cast<PluginDialog&>(m);
            d.chosen = -1;
            for (size_t i = 0; i < d.plugins.size(); ++i)
                if (d.plugins[i].label == label && (file.empty() || d.plugins[i].file == file))
                    d.chosen = static_cast<int>(i);
            ASSERT_GE(d.chosen, 0) << label << " among " << d.plugins.size();
            if (!d.current()->controls.empty())
                d.current()->controls[0].value = first_control;
            d.end_dialog(1);
        });
    }
    int run_181(CChildFrame& doc)
    {
        CommandContext context;
        context.doc = &doc;
        return commands::run(181, context);
    }
    // Where two byte strings first differ (their common length when one is a prefix), -1
    // when equal: failures say where, not the whole sound.
    static long differ_at(const std::string& a, const std::string& b)
    {
        if (a == b)
            return -1;
        size_t i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i])
            ++i;
        return static_cast<long>(i);
    }
    std::string boxes() const
    {
        std::string all;
        for (const auto& b : ui.boxes)
            all += b.text + "\n";
        return all;
    }
    bool exchange_files_gone() { return run_files(".WAV").empty(); }
    std::string tools;
};

TEST_F(PluginHostTest, SdkAmpAtHalfGainMatchesApplypluginAndUndoes)
{
    ASSERT_EQ(sh("sox -n -r 22050 -c 1 -b 16 in.wav synth 1 sine 300 sine 1234 vol 0.95"), 0);
    // The SDK's own host on the section we shall highlight.
    ASSERT_EQ(sh("sox in.wav part.wav trim 4000s 9001s && applyplugin part.wav half.wav " +
                 std::string(kSdkAmp) + " amp_mono 0.5 >/dev/null 2>&1"),
              0);
    auto doc = open("in.wav");
    ASSERT_TRUE(doc);
    const std::string before = read_file(doc->working_file());
    doc->current.has_selection = 1;
    doc->current.select_start = 4000;
    doc->current.select_end = 13001;
    choose("amp_mono", 0.5f, kSdkAmp);
    ASSERT_EQ(run_181(*doc), 1) << boxes();
    const std::string expect = before.substr(0, 8000) + data_of("half.wav") + before.substr(26002);
    EXPECT_EQ(differ_at(read_file(doc->working_file()), expect), -1);
    EXPECT_EQ(doc->total_samples(), 22050);
    EXPECT_EQ(doc->is_modified, 1);
    EXPECT_TRUE(exchange_files_gone());
    // One step back gives every byte back, and forward again.
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(differ_at(read_file(doc->working_file()), before), -1);
    ASSERT_EQ(doc->redo_command(), 1);
    EXPECT_EQ(differ_at(read_file(doc->working_file()), expect), -1);
}

TEST_F(PluginHostTest, IdentityLeavesEveryFormatByteIdentical)
{
    // Mono plug-ins run once per channel; both sample sizes come back unchanged.
    for (const char* sox_args : {"-c 2 -b 16", "-c 1 -b 8", "-c 2 -b 8"}) {
        SCOPED_TRACE(sox_args);
        ASSERT_EQ(sh(std::string("sox -n -r 11025 ") + sox_args +
                     " id.wav synth 0.7 whitenoise vol 0.9 remix -"),
                  0)
            << sox_args;
        auto doc = open("id.wav");
        ASSERT_TRUE(doc);
        const std::string before = read_file(doc->working_file());
        const long total = doc->total_samples();
        choose("identity_audio");
        ASSERT_EQ(run_181(*doc), 1) << boxes();
        EXPECT_EQ(differ_at(read_file(doc->working_file()), before), -1);
        EXPECT_EQ(doc->total_samples(), total);
    }
}

TEST_F(PluginHostTest, FaultyPluginsAndHostsLeaveTheDocumentAsItWas)
{
    ASSERT_EQ(sh("sox -n -r 8000 -c 1 -b 16 in.wav synth 0.5 sine 440"), 0);
    auto doc = open("in.wav");
    ASSERT_TRUE(doc);
    const std::string before = read_file(doc->working_file());

    // A plug-in that crashes takes only the host down.
    ASSERT_TRUE(register_plugin(tools + "/test_plugins/crash_plugin.so"));
    choose("crash");
    EXPECT_EQ(run_181(*doc), 0);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "The plug-in Crash failed; the sound is unchanged.");
    EXPECT_EQ(differ_at(read_file(doc->working_file()), before), -1);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(doc->is_modified, 0);
    EXPECT_TRUE(exchange_files_gone());

    // One that never returns: Cancel in the progress window ends the host.
    choose("hang");
    ui.cancel_after_polls(3);
    EXPECT_EQ(run_181(*doc), 0);
    ui.cancel_after_polls(0);
    EXPECT_EQ(differ_at(read_file(doc->working_file()), before), -1);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_NE(std::system("pgrep -f '[d]xhost --run .*crash_plugin' >/dev/null"), 0);
    EXPECT_TRUE(exchange_files_gone());

    // A host whose result has another format: refused, not spliced in as raw bytes.
    // (The link to the real host goes first, or the script would be written over it.)
    ASSERT_EQ(unlink((program + "dxhost").c_str()), 0);
    write_file(program + "dxhost",
               "#!/bin/sh\n"
               "if [ \"$1\" = --list ]; then printf 'plugin\\tx.so\\t0\\tfake\\tFake\\t1\\t1\\n' "
               "> \"$2\"; exit 0; fi\n"
               "exec sox \"$4\" -b 8 -r 4000 \"$5\"\n");
    ASSERT_EQ(chmod((program + "dxhost").c_str(), 0755), 0);
    choose("fake");
    EXPECT_EQ(run_181(*doc), 0);
    EXPECT_EQ(ui.boxes.back().text,
              "The plug-in's result is not in the format of the sound; the sound is unchanged.");
    EXPECT_EQ(differ_at(read_file(doc->working_file()), before), -1);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_TRUE(exchange_files_gone());
    // ... or garbage: the reader says so, and nothing goes in.
    const size_t boxes_before = ui.boxes.size();
    write_file(program + "dxhost",
               "#!/bin/sh\n"
               "if [ \"$1\" = --list ]; then printf 'plugin\\tx.so\\t0\\tfake\\tFake\\t1\\t1\\n' "
               "> \"$2\"; exit 0; fi\n"
               "head -c 3000 /dev/urandom > \"$5\"\n");
    choose("fake");
    EXPECT_EQ(run_181(*doc), 0);
    EXPECT_GT(ui.boxes.size(), boxes_before);
    EXPECT_EQ(differ_at(read_file(doc->working_file()), before), -1);
    EXPECT_EQ(doc->undo_available, 0);
}

TEST_F(PluginHostTest, RegistrationReadsTheSymbolTableAndRunsNoCode)
{
    const std::string mark = path("loaded");
    setenv("KELVARA_TEST_MARK", mark.c_str(), 1);
    struct stat st;
    const std::string profile = kel::profile::app_profile();
    const std::string other = tools + "/test_plugins/marker_library.so";
    const std::string plugin = tools + "/test_plugins/marker_plugin.so";
    EXPECT_EQ(elf_exports(nullptr, 0, "ladspa_descriptor"), ElfExport::NotElf);
    EXPECT_EQ(file_exports(kSdkAmp, "ladspa_descriptor"), ElfExport::Exported);
    EXPECT_EQ(file_exports(kSdkAmp, "ladspa_descripto"), ElfExport::Missing);
    // Symbol tables whose entry size would wrap the offsets around are read as empty.
    std::string elf = read_file(plugin);
    ASSERT_GT(elf.size(), 64u);
    auto field = [&](size_t at, int bytes) {
        uint64_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(elf[at + i]);
        return v;
    };
    const uint64_t table = field(40, 8), entry = field(58, 2), count = field(60, 2);
    for (uint64_t i = 0; i < count && table + (i + 1) * entry <= elf.size(); ++i)
        if (field(table + i * entry + 4, 4) == 11 || field(table + i * entry + 4, 4) == 2)
            for (int b = 0; b < 8; ++b)
                elf[table + i * entry + 56 + b] = static_cast<char>(b ? 0xFF : 0xF8);
    EXPECT_EQ(
        elf_exports(reinterpret_cast<const uint8_t*>(elf.data()), elf.size(), "ladspa_descriptor"),
        ElfExport::Missing);

    // Not a binary: nothing said, nothing done.
    write_file(path("notes.txt"), "hello");
    EXPECT_EQ(register_dropped_plugin(path("notes.txt")), 0);
    EXPECT_TRUE(ui.boxes.empty());

    EXPECT_EQ(register_dropped_plugin(other), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The file " + other +
                                    " is a binary file that does not supportself registration "
                                    "and is most likely not a LADSPA Plug-In.");
    EXPECT_EQ(ui.boxes[0].caption, "Register LADSPA Plugin");

    ui.answer(kel::kIdCancel);
    EXPECT_EQ(register_dropped_plugin(plugin), 0);
    EXPECT_TRUE(registered_plugins().empty());
    ui.answer(kel::kIdYes);
    ui.answer(kel::kIdOk);
    EXPECT_EQ(register_dropped_plugin(plugin), 1);
    EXPECT_EQ(ui.boxes.back().text,
              "The LADSPA Plug-In " + plugin + " was successfully registered.");
    EXPECT_EQ(kel::profile::read_string("Plugins", "File1", "", profile), plugin);
    ui.answer(kel::kIdNo);
    ui.answer(kel::kIdOk);
    EXPECT_EQ(register_dropped_plugin(plugin), 1);
    EXPECT_EQ(ui.boxes.back().text,
              "The LADSPA Plug-In " + plugin + " was successfully un-registered.");
    EXPECT_TRUE(registered_plugins().empty());
    // Neither library's load-time code ever ran in the editor.
    EXPECT_NE(stat(mark.c_str(), &st), 0);
    unsetenv("KELVARA_TEST_MARK");
}

} // namespace
