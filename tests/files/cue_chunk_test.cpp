// Markers in the saved wave file: a "cue " chunk with LIST/adtl labels that we read back,
// that other readers pass over to the same samples, and that a damaged file cannot turn
// into a failed open.
#include "common/child_frame.h"
#include "editor/document/markers.h"
#include "editor/files/cue_chunk.h"
#include "editor/files/file_commands.h"
#include "editor/files/wave_save.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string run(const std::string& cmd)
{
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

bool have(const char* program)
{
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

class CueChunkTest : public TestEnv
{
  protected:
    std::string samples = pcm16(noise16(2 * 4000, 11));

    std::unique_ptr<CChildFrame> open(const std::string& file)
    {
        return CChildFrame::create_from_file(path(file).c_str());
    }
    std::string source(const std::string& extra_after_fmt = "")
    {
        WaveImage w;
        w.channels = 2;
        w.rate = 8000;
        w.samples = samples;
        w.between = extra_after_fmt;
        write_file(path("in.wav"), w.bytes());
        return "in.wav";
    }
    int save(CChildFrame& doc, const std::string& name)
    {
        return save_to_named_file(doc, path(name), SaveScope::Whole, save_format_of(doc), false);
    }
};

TEST_F(CueChunkTest, SavedMarkersComeBackAndOtherReadersSeeTheSameSamples)
{
    auto doc = open(source());
    ASSERT_TRUE(doc);
    add_marker(*doc, 200, "Intro");
    doc->current.select_start = 1000;
    doc->current.select_end = 3002;
    doc->current.has_selection = 1;
    ASSERT_EQ(mark_selection(*doc), 1);
    markers_of(*doc).entries[2].name = "Verse end";
    add_marker(*doc, 7998, "Last frame");
    ASSERT_EQ(save(*doc, "marked.wav"), 1);

    auto back = open("marked.wav");
    ASSERT_TRUE(back);
    const MarkerTable& a = markers_of(*doc);
    const MarkerTable& b = markers_of(*back);
    ASSERT_EQ(b.count(), a.count());
    for (int i = 0; i < a.count(); ++i) {
        EXPECT_EQ(b.entries[i].position, a.entries[i].position) << i;
        EXPECT_EQ(b.entries[i].name, a.entries[i].name) << i;
        EXPECT_EQ(b.entries[i].partner, a.entries[i].partner) << i;
        EXPECT_EQ(b.entries[i].end_flag, a.entries[i].end_flag) << i;
    }
    EXPECT_EQ(read_file(back->working_file()), samples);

    // The points are frames: Intro at sample word 200 of a stereo file is frame 100.
    const std::vector<CuePoint> points = cue_read_wave_file(path("marked.wav"));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].frame, 100u);
    EXPECT_EQ(points[1].length, 1001u);
    EXPECT_EQ(points[1].end_name, "Verse end");

    if (have("sox")) {
        EXPECT_EQ(run("sox '" + path("marked.wav") + "' -t raw -e signed -b 16 -L -"), samples);
    }
    if (have("ffmpeg")) {
        EXPECT_EQ(run("ffmpeg -v error -i '" + path("marked.wav") + "' -f s16le -"), samples);
        EXPECT_EQ(run("ffprobe -v error -show_entries stream=channels,sample_rate -of csv=p=0 '" +
                      path("marked.wav") + "'"),
                  "8000,2\n");
    }

    // Without markers nothing of the kind is written.
    auto plain = open(source());
    ASSERT_EQ(save(*plain, "plain.wav"), 1);
    const std::string bytes = read_file(path("plain.wav"));
    EXPECT_EQ(bytes.find("cue "), std::string::npos);
    EXPECT_EQ(bytes.find("adtl"), std::string::npos);
    EXPECT_EQ(bytes.size(), 44 + samples.size());
}

TEST_F(CueChunkTest, DamagedChunksOpenTheAudioWithWhatCanBeTrusted)
{
    const std::string one_point =
        le32(1) + le32(1) + le32(0) + "data" + le32(0) + le32(0) + le32(150);
    auto labl = [](const std::string& text) {
        return chunk("labl", le32(1) + text + std::string(1, '\0'));
    };
    // A count the chunk cannot hold: no markers, the audio whole.
    {
        auto doc = open(source(chunk("cue ", le32(1000) + one_point.substr(4))));
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->markers, nullptr);
        EXPECT_EQ(read_file(doc->working_file()), samples);
    }
    // A label that overruns its list: the point stays, named after its place.
    {
        std::string adtl = "adtl" + labl("Chorus");
        adtl[8] = '\x7f';
        auto doc = open(source(chunk("cue ", one_point) + chunk("LIST", adtl)));
        ASSERT_TRUE(doc);
        ASSERT_NE(doc->markers, nullptr);
        ASSERT_EQ(markers_of(*doc).count(), 1);
        EXPECT_EQ(markers_of(*doc).entries[0].name, "Marker 300");
        EXPECT_EQ(read_file(doc->working_file()), samples);
    }
    // A point past the end is held at the end; a sound label is read as given.
    {
        const std::string far =
            le32(1) + le32(1) + le32(0) + "data" + le32(0) + le32(0) + le32(0xFFFFFFF0u);
        auto doc = open(source(chunk("cue ", far) + chunk("LIST", "adtl" + labl("Far away"))));
        ASSERT_TRUE(doc);
        ASSERT_EQ(markers_of(*doc).count(), 1);
        EXPECT_EQ(markers_of(*doc).entries[0].position, 8000);
        EXPECT_EQ(markers_of(*doc).entries[0].name, "Far away");
    }
}

} // namespace
