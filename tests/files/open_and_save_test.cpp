// Save goes back to the file the document came from, whatever the current folder; files
// that users have (interrupted recordings, formats we refuse) open or say why.
#include "editor/edit/edit_commands.h"
#include "editor/files/file_commands.h"
#include "tests/support/edit_fixture.h"

#include <cstdio>
#include <cstdlib>

namespace {

class OpenAndSaveTest : public EditTest
{
  protected:
    std::string wave(const std::string& samples, int channels = 2) const
    {
        WaveImage w;
        w.channels = static_cast<uint16_t>(channels);
        w.rate = 22050;
        w.samples = samples;
        return w.bytes();
    }
    void make_folder(const std::string& name) const
    {
        ASSERT_EQ(std::system(("mkdir -p '" + root + name + "'").c_str()), 0);
    }
    std::unique_ptr<CChildFrame> keep;
};

TEST_F(OpenAndSaveTest, SaveWritesTheFileThatWasOpenedNotOneInTheCurrentFolder)
{
    // Folder A holds the file opened; folder B, the current one, holds a file of the same
    // name and one named as the 20-byte title would cut it.
    make_folder("A");
    make_folder("B");
    const std::string name = "a_long_take_of_the_quartet.wav";
    const std::string a = root + "A/";
    const std::string b = root + "B/";
    write_file(a + name, wave(pcm16({1, 2, 3, 4, 5, 6, 7, 8})));
    write_file(b + name, "the other one");
    write_file(b + "A_LONG_TAKE_OF_THE", "cut short");
    ASSERT_EQ(chdir(b.c_str()), 0);
    const auto before = folder_files(b);

    keep = open_sound_file(a + name);
    ASSERT_TRUE(keep);
    CChildFrame& doc = *keep;
    EXPECT_EQ(doc.file_path, a + name);
    select(&doc, 0, 4);
    ASSERT_EQ(edit_cut(doc), 1);
    ASSERT_EQ(save_document(doc), 1);
    EXPECT_TRUE(ui.dialogs_run.empty()) << "no dialog for a file that is still there";
    EXPECT_EQ(read_file(a + name), wave(pcm16({5, 6, 7, 8})));
    EXPECT_EQ(folder_files(b), before);
    EXPECT_EQ(last_saved_file(), a + name);

    // Renamed meanwhile: Save asks, starting in the document's folder, and writes nothing
    // when cancelled.
    ASSERT_EQ(std::rename((a + name).c_str(), (a + "renamed.wav").c_str()), 0);
    std::string started_in;
    ui.on_dialog("SAVEWAVEFORM", [&](kel::DialogModel& m) {
        started_in = dynamic_cast<SaveAsDialog&>(m).directory;
        dynamic_cast<SaveAsDialog&>(m).cancel();
    });
    const auto renamed = folder_files(a);
    EXPECT_EQ(save_document(doc), 0);
    EXPECT_EQ(ui.dialogs_run.size(), 1u);
    EXPECT_EQ(started_in, a);
    EXPECT_EQ(folder_files(a), renamed);
    // Another file put in its place is not the document's either.
    write_file(a + name, "someone else's");
    EXPECT_EQ(save_document(doc), 0);
    EXPECT_EQ(ui.dialogs_run.size(), 2u);
    EXPECT_EQ(read_file(a + name), "someone else's");

    // Save As makes the chosen file the document's: the next Save goes there unasked.
    ui.on_dialog("SAVEWAVEFORM", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<SaveAsDialog&>(m);
        d.file_name = a + "kept.wav";
        d.save();
    });
    ASSERT_EQ(save_document(doc), 1);
    EXPECT_EQ(doc.file_path, a + "kept.wav");
    ASSERT_EQ(chdir(b.c_str()), 0);
    select(&doc, 0, 2);
    ASSERT_EQ(edit_cut(doc), 1);
    ASSERT_EQ(save_document(doc), 1);
    EXPECT_EQ(ui.dialogs_run.size(), 3u);
    EXPECT_EQ(read_file(a + "kept.wav"), wave(pcm16({7, 8})));
    EXPECT_EQ(folder_files(b), before);
}

TEST_F(OpenAndSaveTest, AnInterruptedRecordingOpensWithItsWholeFramesAndSaysSo)
{
    // Stereo 16-bit, cut in the middle of the fourth frame; both sizes still say four.
    const std::string samples = pcm16({1, -1, 2, -2, 3, -3, 4, -4});
    const std::string full = wave(samples);
    write_file(path("rec.wav"), full.substr(0, full.size() - 3));
    keep = open_sound_file(path("rec.wav"));
    ASSERT_TRUE(keep);
    EXPECT_EQ(contents(keep.get()), samples.substr(0, 12));
    EXPECT_EQ(keep->current.total_samples, 6);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Truncated input file.\nthe file ends inside its samples: 13 of 16 "
                                "bytes are there; the 3 whole frames among them are opened");
    // Saving the highlighted section writes whole frames only, even from half way in one.
    select(keep.get(), 1, 5);
    ui.on_dialog("SAVEWAVEFORM", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<SaveAsDialog&>(m);
        d.file_name = path("part.wav");
        d.save();
    });
    ASSERT_EQ(save_document_as(*keep, SaveScope::Highlighted), 1);
    EXPECT_EQ(read_file(path("part.wav")), wave(pcm16({1, -1, 2, -2})));
}

TEST_F(OpenAndSaveTest, InfoPrintsTheMessagesTheWindowWouldShow)
{
    const char* tools = std::getenv("KELVARA_TEST_TOOLS");
    const std::string orlo = tools ? std::string(tools) + "/orlo" : "";
    if (orlo.empty() || ::access(orlo.c_str(), X_OK) != 0)
        GTEST_SKIP() << "the editor program is not built";
    WaveImage six;
    six.channels = 6;
    six.samples = std::string(24, '\0');
    write_file(path("six.wav"), six.bytes());
    write_file(path("ok.wav"), wave(pcm16({1, 2})));
    std::string out;
    if (FILE* p = popen(("'" + orlo + "' --info six.wav ok.wav 2>&1").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p))
            out += buffer;
        EXPECT_NE(pclose(p), 0) << "one file did not open";
    }
    EXPECT_NE(out.find("Kelvara: Format error on input file.\n6 channels; Orlo edits mono and "
                       "stereo\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("six.wav: not opened"), std::string::npos) << out;
    EXPECT_NE(out.find("ok.wav\n  format       22050 Hz, 16 bits, stereo"), std::string::npos)
        << out;
}

} // namespace
