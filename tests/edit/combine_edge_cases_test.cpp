// The combining engine's lengths and sample values at its edges.
#include "editor/edit/combine_dialog.h"
#include "editor/edit/combine_engine.h"
#include "editor/edit/edit_commands.h"
#include "platform/mapped_file.h"
#include "tests/support/edit_fixture.h"

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

class CombineTest : public EditTest
{
  protected:
    static std::string words(int count, int value)
    {
        return pcm16(std::vector<int16_t>(static_cast<size_t>(count), static_cast<int16_t>(value)));
    }
    // Drops source's highlighted section on destination and picks `choose` in the dialog.
    int drop(CChildFrame* source, CChildFrame* destination,
             std::function<void(CombineSelectionDialog&)> choose)
    {
        ui.on_dialog("COPYSELECTION", [choose](kel::DialogModel& m) {
            auto& d = static_cast<CombineSelectionDialog&>(m);
            choose(d);
            d.ok();
        });
        return drop_selection_on_document(*source, *destination);
    }
};

TEST_F(CombineTest, CutOfTheWholeFileLeavesFourBytesOfSilence)
{
    CChildFrame* stereo = open_doc(pcm16(noise16(400, 3)), 2, 16, 22050);
    select(stereo, 0, 400);
    ASSERT_EQ(edit_cut(*stereo), 1);
    EXPECT_EQ(contents(stereo), std::string(4, '\0'));
    EXPECT_EQ(stereo->current.total_samples, 2);
    EXPECT_EQ(stereo->current.has_selection, 0);
    EXPECT_EQ(read_file(clipboard_data_path()), pcm16(noise16(400, 3)));

    CChildFrame* mono = open_doc(std::string(50, 'x'), 1, 8, 11025);
    select(mono, 0, 50, 0); // nothing highlighted: the selection spans the file
    ASSERT_EQ(edit_cut(*mono), 1);
    EXPECT_EQ(contents(mono), std::string(4, '\x80'));
    EXPECT_EQ(mono->current.total_samples, 4);
}

TEST_F(CombineTest, PasteAtACaretInserts)
{
    CChildFrame* doc = open_doc("abcdefghij", 1, 8, 8000);
    select(doc, 2, 4);
    ASSERT_EQ(edit_copy(*doc), 1);
    select(doc, 7, 7, 0);
    ASSERT_EQ(edit_paste(*doc), 1);
    EXPECT_EQ(contents(doc), "abcdefgcdhij");
    EXPECT_EQ(doc->current.total_samples, 12);
    EXPECT_EQ(g_undo_menu.text, "&Undo Paste...\tCtrl+Z");
    // With a highlighted section the clipboard replaces it.
    select(doc, 0, 3);
    ASSERT_EQ(edit_paste(*doc), 1);
    EXPECT_EQ(contents(doc), "cddefgcdhij");
}

TEST_F(CombineTest, ReplaceOverwritesAndLengthensOnlyPastTheEnd)
{
    CChildFrame* doc = open_doc("abcdefghij", 1, 8, 8000);
    select(doc, 0, 4);
    ASSERT_EQ(edit_copy(*doc), 1);
    select(doc, 3, 3);
    ASSERT_EQ(edit_replace(*doc), 1);
    EXPECT_EQ(contents(doc), "abcabcdhij");
    select(doc, 8, 8);
    ASSERT_EQ(edit_replace(*doc), 1);
    EXPECT_EQ(contents(doc), "abcabcdhabcd");
    EXPECT_EQ(g_undo_menu.text, "&Undo Overwrite...\tCtrl+Z");
}

TEST_F(CombineTest, MixPastTheEndLengthensToStartPlusClipboard)
{
    CChildFrame* source = open_doc(words(50, 1000), 1, 16, 8000);
    select(source, 0, 50);
    ASSERT_EQ(edit_copy(*source), 1);
    CChildFrame* doc = open_doc(words(100, 3000), 1, 16, 8000);
    select(doc, 80, 80);
    ASSERT_EQ(edit_mix(*doc), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(doc->current.total_samples, 130);
    EXPECT_EQ(word(out, 79), 3000);
    EXPECT_EQ(word(out, 80), 2000);
    EXPECT_EQ(word(out, 99), 2000);
    // Where the destination has ended, the source alone.
    EXPECT_EQ(word(out, 100), 1000);
    EXPECT_EQ(word(out, 129), 1000);
    EXPECT_EQ(g_undo_menu.text, "&Undo Mix...\tCtrl+Z");
}

TEST_F(CombineTest, FullScaleMixAveragesInsteadOfClipping)
{
    CChildFrame* source = open_doc(words(20, 16384), 1, 16, 8000);
    select(source, 0, 20);
    ASSERT_EQ(edit_copy(*source), 1);
    CChildFrame* doc = open_doc(words(20, 32767), 1, 16, 8000);
    select(doc, 0, 0);
    ASSERT_EQ(edit_mix(*doc), 1);
    const std::string out = contents(doc);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(word(out, static_cast<size_t>(i)), 24575) << i;

    CChildFrame* loud = open_doc(std::string(8, '\xff'), 1, 8, 8000);
    select(loud, 0, 8);
    ASSERT_EQ(edit_copy(*loud), 1);
    select(loud, 0, 0);
    ASSERT_EQ(edit_mix(*loud), 1);
    EXPECT_EQ(contents(loud), std::string(8, '\xff'));
}

TEST_F(CombineTest, MixIntoOneChannelKeepsTheOtherFromTheDestination)
{
    std::vector<int16_t> src, dst;
    for (int i = 0; i < 10; ++i) {
        src.push_back(100);
        src.push_back(200);
    }
    for (int i = 0; i < 6; ++i) {
        dst.push_back(-1000);
        dst.push_back(-2000);
    }
    CChildFrame* source = open_doc(pcm16(src), 2, 16, 8000);
    CChildFrame* doc = open_doc(pcm16(dst), 2, 16, 8000);
    select(source, 0, 20);
    select(doc, 4, 4, 0);
    ASSERT_EQ(drop(source, doc, [](CombineSelectionDialog& d) { d.choose_mix(246); }), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(doc->current.total_samples, 24); // s + L: 4 + 20 sample words
    EXPECT_EQ(word(out, 0), -1000);
    EXPECT_EQ(word(out, 4), 100);   // left: the source
    EXPECT_EQ(word(out, 5), -2000); // right: the destination
    EXPECT_EQ(word(out, 11), -2000);
    EXPECT_EQ(word(out, 12), 100); // destination ended: source left, silence right
    EXPECT_EQ(word(out, 13), 0);
    EXPECT_EQ(word(out, 22), 100);
}

TEST_F(CombineTest, CrossFadeEndsWithTheClipboard)
{
    CChildFrame* source = open_doc(words(400, 2000), 1, 16, 8000);
    CChildFrame* doc = open_doc(words(1000, 1000), 1, 16, 8000);
    select(source, 0, 400);
    select(doc, 744, 744, 0); // 256 sample words of destination left: x = n / 128
    ASSERT_EQ(drop(source, doc,
                   [](CombineSelectionDialog& d) {
                       EXPECT_TRUE(d.choose_mode(11311));
                       d.choose_shape(11513);
                   }),
              1);
    const std::string out = contents(doc);
    ASSERT_EQ(doc->current.total_samples, 744 + 400);
    EXPECT_EQ(word(out, 743), 1000);
    EXPECT_EQ(word(out, 744), 1007); // pair 1: 1000 + 1000 / 128
    EXPECT_EQ(word(out, 745), 1007);
    EXPECT_EQ(word(out, 744 + 126), 1500); // pair 64
    EXPECT_EQ(word(out, 999), 2000);       // pair 128: the destination's weight is gone
    EXPECT_EQ(word(out, 1000), 2000);
    EXPECT_EQ(word(out, 1143), 2000);
    EXPECT_EQ(g_undo_menu.text, "&Undo Cross-fade...\tCtrl+Z");

    ASSERT_EQ(doc->undo_command(), 1);
    select(doc, 744, 744, 0);
    ASSERT_EQ(drop(source, doc,
                   [](CombineSelectionDialog& d) {
                       d.choose_mode(11311);
                       d.choose_shape(11506);
                   }),
              1);
    const std::string ex = contents(doc);
    // Exponential: at the destination's end it still has 0.08 of its weight.
    EXPECT_NEAR(word(ex, 999), (2000 * 1.84 + 1000 * 0.16) * 0.5, 1.0);
    const double f = 1.0 - std::pow(0.08, 64.0 / 128.0);
    EXPECT_NEAR(word(ex, 744 + 126), (2000 * 2 * f + 1000 * 2 * (1 - f)) * 0.5, 1.0);
    EXPECT_EQ(word(ex, 1100), 2000);
}

TEST_F(CombineTest, EightBitMonoIntoSixteenBitStereoAtTwiceTheRate)
{
    std::vector<int> bytes;
    for (int i = 0; i < 100; ++i)
        bytes.push_back(128 + (i % 50) - 25);
    CChildFrame* source = open_doc(bytes8(bytes), 1, 8, 11025);
    select(source, 0, 100);
    ASSERT_EQ(edit_copy(*source), 1);
    EXPECT_EQ(read_file(clipboard_text_path()), "1 8 11025");
    CChildFrame* doc = open_doc(pcm16({7, 7}), 2, 16, 22050);
    select(doc, 0, 0, 0);
    ASSERT_EQ(edit_paste(*doc), 1);
    EXPECT_EQ(g_clipboard.destination_format, "2 16 22050");

    const std::string out = contents(doc);
    ASSERT_EQ(doc->current.total_samples, 2 * 200 + 2);
    std::vector<int> expected; // one value per output frame
    int previous = 0;
    for (int b : bytes) {
        const int current = b - 128;
        expected.push_back((previous + current) / 2 * 256);
        expected.push_back(current * 256);
        previous = current;
    }
    for (size_t f = 0; f < 200; ++f) {
        ASSERT_EQ(word(out, 2 * f), expected[f]) << f;
        ASSERT_EQ(word(out, 2 * f + 1), expected[f]) << f;
    }
    EXPECT_EQ(word(out, 400), 7);
}

TEST_F(CombineTest, ClipboardOutlivesTheDocumentItCameFrom)
{
    std::vector<int16_t> stereo;
    for (int i = 0; i < 64; ++i) {
        stereo.push_back(static_cast<int16_t>(i * 300));
        stereo.push_back(static_cast<int16_t>(-i * 100));
    }
    CChildFrame* source = open_doc(pcm16(stereo), 2, 16, 22050);
    select(source, 0, 128);
    ASSERT_EQ(edit_copy(*source), 1);
    close_doc(source);
    EXPECT_EQ(clipboard_source(), nullptr);

    CChildFrame* doc = open_doc(std::string(4, '\x80'), 1, 8, 11025);
    select(doc, 4, 4, 0);
    ASSERT_EQ(edit_paste(*doc), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(doc->current.total_samples, 4 + 32);
    std::vector<int> expected;
    for (int i = 0; i < 64; i += 2) // every other frame, channels averaged, high byte
        expected.push_back(((i * 300 + -i * 100) / 2 >> 8) + 128);
    for (size_t k = 0; k < 32; ++k)
        ASSERT_EQ(static_cast<uint8_t>(out[4 + k]), expected[k]) << k;
}

TEST_F(CombineTest, CropKeepsTheSectionAndCopiesIt)
{
    CChildFrame* doc = open_doc("abcdefghij", 1, 8, 8000);
    select(doc, 3, 3);
    EXPECT_EQ(edit_crop(*doc), 0);
    EXPECT_EQ(ui.beeps, 1);
    select(doc, 3, 8);
    ASSERT_EQ(edit_crop(*doc), 1);
    EXPECT_EQ(contents(doc), "defgh");
    EXPECT_EQ(read_file(clipboard_data_path()), "defgh");
    EXPECT_EQ(doc->current.has_selection, 0);
    EXPECT_EQ(doc->current.select_end, 5);
    EXPECT_EQ(g_undo_menu.text, "&Undo Crop...\tCtrl+Z");
}

TEST_F(CombineTest, DropOnItselfIsNoCombine)
{
    CChildFrame* doc = open_doc("abcdefghij", 1, 8, 8000);
    select(doc, 1, 3);
    EXPECT_EQ(drop_selection_on_document(*doc, *doc), 0);
    EXPECT_TRUE(ui.dialogs_run.empty());
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_FALSE(exists(clipboard_data_path()));
}

TEST_F(CombineTest, DroppedSectionIsInsertedAtTheDestinationCaret)
{
    CChildFrame* source = open_doc("0123456789", 1, 8, 8000);
    CChildFrame* doc = open_doc("abcdef", 1, 8, 8000);
    select(source, 2, 5);
    select(doc, 1, 1, 0);
    ASSERT_EQ(drop(source, doc, [](CombineSelectionDialog& d) { EXPECT_EQ(d.mode(), 11304); }), 1);
    EXPECT_EQ(contents(doc), "a234bcdef");
    EXPECT_EQ(source->undo_available, 0);
    EXPECT_EQ(clipboard_source(), source);
    // Cancel in the dialog combines nothing.
    ui.on_dialog("COPYSELECTION",
                 [](kel::DialogModel& m) { static_cast<CombineSelectionDialog&>(m).cancel(); });
    EXPECT_EQ(drop_selection_on_document(*source, *doc), 0);
    EXPECT_EQ(contents(doc), "a234bcdef");
}

} // namespace

namespace {

TEST_F(CombineTest, AnEditPastWhatAWaveFileHoldsIsRefusedBeforeItStarts)
{
    CChildFrame* doc = open_doc(words(400, 9), 2, 16, 22050);
    const std::string before = contents(doc);
    const std::string working = doc->working_file();
    const int files = working_file_count();
    ui.clear();
    const std::string refusal = "This edit would make the sound longer than a WAVE file can hold.";
    auto refused = [&](const char* what) {
        SCOPED_TRACE(what);
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().text.substr(0, refusal.size()), refusal);
        EXPECT_EQ(doc->working_file(), working);
        EXPECT_EQ(contents(doc), before);
        EXPECT_EQ(doc->undo_available, 0);
        EXPECT_EQ(working_file_count(), files);
        EXPECT_TRUE(ui.progress.empty()) << "nothing was started";
        ui.clear();
    };
    // Inserting silence of more than a wave file holds.
    g_clipboard.silence_samples = 2200000000L;
    select(doc, 100, 100, 0);
    EXPECT_EQ(combine_selection(doc, *doc, 0, 11518), 0);
    refused("silence");

    // A 600 MB 8-bit mono clipboard (a sparse file) grows eightfold into this document.
    const std::string clip = clipboard_data_path();
    write_file(clip, "");
    ASSERT_EQ(truncate(clip.c_str(), 600L << 20), 0);
    write_file(clipboard_text_path(), "1 8 11025");
    g_clipboard.has_data = 1;
    EXPECT_EQ(edit_paste(*doc), 0);
    refused("converted paste");
    EXPECT_FALSE(exists(converted_clipboard_path()));
    // The same clipboard in this document's own format fits.
    write_file(clip, words(40, 3));
    write_file(clipboard_text_path(), "2 16 22050");
    EXPECT_EQ(edit_paste(*doc), 1);
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace

namespace {

// The overview of the document's working file as a fresh walk over the whole file gives it.
std::string overview_from_scratch(CChildFrame& doc)
{
    CChildFrame ref;
    ref.wave_format = doc.wave_format;
    std::snprintf(ref.current.file_name, sizeof ref.current.file_name, "%s", doc.working_file());
    ref.current.total_samples = doc.current.total_samples;
    std::string out;
    if (ref.prepare_slot(ref.current, SlotRole::Current, "Opening file %s...") &&
        ref.current.mapped[1])
        out.assign(reinterpret_cast<const char*>(ref.current.mapping[1]->data()),
                   static_cast<size_t>(ref.current.level_samples[1]) * doc.bytes_per_sample());
    ref.current.release_levels();
    ref.current.file_name[0] = '\0'; // not ours to delete
    return out;
}

std::string overview_of(const CChildFrame& doc)
{
    const FileSlot& s = doc.current;
    if (!s.mapped[1])
        return {};
    return std::string(reinterpret_cast<const char*>(s.mapping[1]->data()),
                       static_cast<size_t>(s.level_samples[1]) *
                           (doc.wave_format.bits_per_sample / 8));
}

} // namespace

// Edits take the unchanged head's and tail's overview from the state before (the tail on
// a worker, at any shift); it must be the overview a walk over the new file gives.
TEST_F(CombineTest, EditedOverviewsEqualAFreshWalkAtAnyShift)
{
    ui.screen_w = 1024;
    struct Format
    {
        int channels, bits;
    };
    uint32_t x = 5;
    for (const Format f : {Format{2, 16}, Format{1, 8}}) {
        std::string samples(6u << 20, '\0');
        for (char& c : samples) {
            x = x * 1664525u + 1013904223u;
            c = static_cast<char>(x >> 24);
        }
        CChildFrame* doc = open_doc(samples, f.channels, f.bits, 44100);
        ASSERT_TRUE(doc);
        const long word = f.channels; // sample words per frame
        struct Step
        {
            int command;
            long start, end; // in frames
        };
        // Shifts of a group and a frame, of a few frames, of whole groups; an empty paste
        // inserts.
        const Step steps[] = {{11304, 1000, 1257},   {11303, 1000, 1257}, {11305, 333, 333},
                              {11305, 70000, 70512}, {11307, 5, 5},       {11306, 77777, 77777},
                              {11303, 3, 4},         {11518, 9, 21}};
        for (const Step& st : steps) {
            SCOPED_TRACE(std::to_string(f.bits) + " bit, command " + std::to_string(st.command));
            select(doc, st.start * word, st.end * word, st.end > st.start);
            if (st.command == 11518)
                g_clipboard.silence_samples = 4321 * word;
            const int done = st.command == 11518 ? combine_selection(doc, *doc, 0, 11518)
                                                 : edit_command(*doc, st.command);
            ASSERT_TRUE(done);
            if (st.command == 11304)
                continue;
            ASSERT_GE(doc->current.level_count, 2);
            const std::string fresh = overview_from_scratch(*doc);
            ASSERT_FALSE(fresh.empty());
            EXPECT_TRUE(overview_of(*doc) == fresh);
        }
    }
}
