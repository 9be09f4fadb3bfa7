// The INFO items of a document: read wherever the list stands, kept per document, written
// back by the header writer on save, and damaged lists that still open with their audio.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/files/file_commands.h"
#include "editor/files/info_chunk.h"
#include "editor/files/wave_convert.h"
#include "editor/files/wave_header.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cstdio>
#include <memory>

namespace {

std::string run(const std::string& cmd)
{
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

std::string list(const std::string& items)
{
    const std::string pad(items.size() & 1, '\0');
    return "LIST" + le32(static_cast<uint32_t>(4 + items.size())) + "INFO" + items + pad;
}

} // namespace

class InfoChunkTest : public TestEnv
{
  protected:
    std::string samples = pcm16(noise16(2 * 300, 5));
    std::string wave(const std::string& name, const std::string& before_fmt,
                     const std::string& after_data)
    {
        WaveImage w;
        w.samples = samples;
        w.before_fmt = before_fmt;
        w.after_data = after_data;
        write_file(path(name), w.bytes());
        return path(name);
    }
    std::unique_ptr<CChildFrame> open(const std::string& file)
    {
        return CChildFrame::create_from_file(file.c_str());
    }
};

TEST_F(InfoChunkTest, SaveWritesTheItemsOfTheDocumentOnly)
{
    auto doc = open(wave("plain.wav", "", ""));
    ASSERT_TRUE(doc);
    ASSERT_EQ(save_document(*doc), 1);
    // Nothing to say: no LIST at all.
    std::string bytes = read_file(path("plain.wav"));
    EXPECT_EQ(bytes.find("LIST"), std::string::npos);
    EXPECT_EQ(bytes.substr(12, 4), "fmt ");

    // Ten characters: size 11 with the zero, one pad byte to even.
    info_state_of(*doc).set_text(1, "0123456789");
    ASSERT_EQ(save_document(*doc), 1);
    bytes = read_file(path("plain.wav"));
    EXPECT_EQ(bytes.substr(12, 8), "LIST" + le32(4 + 8 + 12));
    EXPECT_EQ(bytes.substr(20, 4 + 8 + 12),
              "INFOIART" + le32(11) + std::string("0123456789\0\0", 12));
    EXPECT_EQ(bytes.substr(44, 4), "fmt ");
    ASSERT_EQ(ReadInputWaveformHeader(path("plain.wav").c_str(), 0), 1);
    EXPECT_EQ(bytes.substr(data_offset, data_size), samples);
    if (!run("command -v ffprobe").empty()) {
        EXPECT_EQ(run("ffprobe -v error -show_entries format_tags=artist -of "
                      "default=nw=1:nk=1 " +
                      path("plain.wav")),
                  "0123456789\n");
    }

    // Clearing the text deletes the item, and with it the list.
    info_state_of(*doc).set_text(1, "");
    ASSERT_EQ(save_document(*doc), 1);
    EXPECT_EQ(read_file(path("plain.wav")).find("LIST"), std::string::npos);
}

TEST_F(InfoChunkTest, ListsBeforeFmtAndAfterDataAreReadAndKeptPerDocument)
{
    auto a = open(wave(
        "a.wav",
        list(chunk("IART", std::string("Anne\0", 5)) + chunk("ICMT", std::string("first\0", 6))),
        ""));
    auto b = open(wave("b.wav", "", list(chunk("INAM", std::string("Two\0", 4)))));
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(info_state_of(*a).current_text(1), "Anne");
    EXPECT_EQ(info_state_of(*a).current_text(3), "first");
    EXPECT_EQ(info_state_of(*a).current_text(14), "");
    EXPECT_EQ(info_state_of(*b).current_text(14), "Two");
    EXPECT_EQ(info_state_of(*b).current_text(1), "");

    // An edit of one document is not seen by the other, and survives a save of the other.
    info_state_of(*a).set_text(14, "Title A");
    ASSERT_EQ(save_document(*b), 1);
    EXPECT_EQ(info_state_of(*b).current_text(14), "Two");
    EXPECT_EQ(read_file(path("b.wav")).find("Title A"), std::string::npos);
    ASSERT_EQ(save_document(*a), 1);
    auto again = open(path("a.wav"));
    ASSERT_TRUE(again);
    EXPECT_EQ(info_state_of(*again).current_text(14), "Title A");
    EXPECT_EQ(info_state_of(*again).current_text(1), "Anne");
}

TEST_F(InfoChunkTest, DamagedListsOpenWithTheirAudioAndTheItemsBeforeTheDamage)
{
    struct Case
    {
        const char* name;
        std::string before_fmt, after_data;
        const char* artist;  // expected IART
        const char* comment; // expected ICMT
    };
    const std::string bob = chunk("IART", std::string("Bob\0", 4));
    const Case cases[] = {
        // A text without its zero ends with its sub-chunk, not in the next header.
        {"zeroless", list(chunk("ICMT", "abc") + bob), "", "Bob", "abc"},
        // An item whose size runs past the list: what came before stays.
        {"overrun", list(chunk("ICMT", std::string("ok\0", 3)) + "IART" + le32(5000) + "Eve"), "",
         "", "ok"},
        // A list too small to hold its own type.
        {"tiny", "LIST" + le32(2) + "IN", "", "", ""},
        // The file ends inside the list after the data.
        {"cut", "", "LIST" + le32(4000) + "INFO" + bob + "ICMT" + le32(900) + "trunc", "Bob", ""},
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        auto doc = open(wave(std::string(c.name) + ".wav", c.before_fmt, c.after_data));
        ASSERT_TRUE(doc) << c.name;
        EXPECT_EQ(read_file(doc->working_file()), samples) << c.name;
        EXPECT_EQ(info_state_of(*doc).current_text(1), c.artist) << c.name;
        EXPECT_EQ(info_state_of(*doc).current_text(3), c.comment) << c.name;
        EXPECT_TRUE(ui.boxes.empty()) << c.name;
    }
}

TEST_F(InfoChunkTest, UnknownItemsAreAskedAboutKeptUnchangedOrRefuseTheFile)
{
    const std::string items = chunk("IART", std::string("Ann\0", 4)) + chunk("IXYZ", "raw!7");
    const std::string file = wave("u.wav", list(items), "");
    ui.answer(kel::kIdNo);
    EXPECT_FALSE(open(file));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "This wave file contains an unknown item in the INFO chunk: 'IXYZ'.  Open anyway?");
    EXPECT_EQ(ui.boxes[0].caption, "riffParseINFO");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::YesNo);

    ui.answer(kel::kIdYes);
    auto doc = open(file);
    ASSERT_TRUE(doc);
    EXPECT_EQ(info_state_of(*doc).current_text(1), "Ann");
    ASSERT_EQ(save_document(*doc), 1);
    // Known and kept unknown items go back as the file had them, odd size and all.
    EXPECT_EQ(read_file(file).substr(12, 8 + 4 + items.size()), list(items));

    // The converter's own reader asks the same, and No stops the conversion.
    ui.answer(kel::kIdNo);
    EXPECT_EQ(convert_wave_file(nullptr, file.c_str(), path("out.wav").c_str()), 0);
    EXPECT_NE(ui.boxes.back().caption, "");
    bool asked = false;
    for (const auto& b : ui.boxes)
        asked = asked || b.caption == "riffParseINFO";
    EXPECT_TRUE(asked);
}
