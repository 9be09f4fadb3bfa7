#include "editor/document/playlist.h"
#include "editor/document/repaint.h"
#include "tests/support/edit_fixture.h"

namespace {

std::string words16(int first, int count)
{
    std::vector<int16_t> w;
    for (int i = 0; i < count; ++i)
        w.push_back(static_cast<int16_t>(first + i));
    return pcm16(w);
}

class PlaylistTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        list = Playlist();
    }
    void TearDown() override
    {
        for (auto& d : docs)
            documents::remove(d.get());
        EditTest::TearDown();
    }
    CChildFrame* open_registered(const std::string& samples, const std::string& name)
    {
        CChildFrame* doc = open_doc(samples, 2, 16, 44100, name);
        if (doc) {
            doc->window = doc; // any value unique to the document
            documents::add(doc);
        }
        return doc;
    }
    Playlist list;
};

} // namespace

TEST_F(PlaylistTest, LinesSitUnderTheirHeadings)
{
    CChildFrame* a = open_registered(words16(0, 64), "Drums.wav");
    ASSERT_TRUE(a);
    ASSERT_EQ(list.add(*a, 4, 12, "Intro"), 1);
    const std::string line = list.entry(0).text;
    EXPECT_EQ(line, " Drums.wav                   Intro");
    EXPECT_EQ(line.find("Intro"), std::string(kPlaylistHeader).find("Marker name"));
    EXPECT_EQ(list.add(*a, 12, 12, ""), 0); // empty range
    for (int i = 1; i < kPlaylistEntries; ++i)
        EXPECT_EQ(list.add(*a, 0, 8, ""), 1);
    EXPECT_EQ(list.add(*a, 0, 8, ""), 0); // ten at most
    EXPECT_EQ(list.remove(0), 1);
    EXPECT_EQ(list.count(), 9);
    EXPECT_EQ(list.remove(9), 0);
    list.forget_window(a->window);
    EXPECT_EQ(list.count(), 0);
}

TEST_F(PlaylistTest, BuildPastesTheSectionsInListOrder)
{
    CChildFrame* a = open_registered(words16(1000, 400), "a.wav");
    CChildFrame* b = open_registered(words16(5000, 400), "b.wav");
    ASSERT_TRUE(a && b);
    list.add(*a, 8, 40, "");    // 32 words
    list.add(*b, 101, 150, ""); // rounded down to whole 4-byte groups: 100..150
    list.add(*a, 200, 204, "");
    CChildFrame* dest = nullptr;
    auto create = [&]() -> CChildFrame* {
        dest = open_registered(std::string(8, '\0'), "new.wav");
        return dest;
    };
    // Each paste repaints its destination: that is where the preference is seen.
    static std::vector<bool> backup_seen;
    backup_seen.clear();
    auto* saved_repaint = g_repaint_document;
    g_repaint_document = [](CChildFrame*) {
        backup_seen.push_back(undo_preferences().backup_for_undo);
    };
    CChildFrame* result = build_composite(list, create);
    g_repaint_document = saved_repaint;
    ASSERT_EQ(result, dest);
    ASSERT_GE(backup_seen.size(), 4u); // three pastes and the final repaint
    EXPECT_EQ(std::count(backup_seen.begin(), backup_seen.end() - 1, true), 0);
    EXPECT_TRUE(backup_seen.back());
    EXPECT_TRUE(undo_preferences().backup_for_undo);
    EXPECT_EQ(documents::active(), dest);
    const std::string expect = words16(1008, 32) + words16(5100, 50) + words16(1200, 4);
    EXPECT_EQ(contents(dest), expect);
    EXPECT_EQ(dest->current.total_samples, 86);
    // The sources are left with the entries' sections highlighted, data untouched.
    EXPECT_EQ(contents(a), words16(1000, 400));
    EXPECT_EQ(contents(b), words16(5000, 400));
}

TEST_F(PlaylistTest, NothingIsBuiltWithoutEntriesOrDestination)
{
    bool asked = false;
    EXPECT_EQ(build_composite(list,
                              [&]() -> CChildFrame* {
                                  asked = true;
                                  return nullptr;
                              }),
              nullptr);
    EXPECT_FALSE(asked);
    CChildFrame* a = open_registered(words16(0, 64), "a.wav");
    list.add(*a, 0, 16, "");
    EXPECT_EQ(build_composite(list, [] { return static_cast<CChildFrame*>(nullptr); }), nullptr);
    EXPECT_TRUE(undo_preferences().backup_for_undo);
}

TEST_F(PlaylistTest, AClosedSourceStopsTheBuild)
{
    CChildFrame* a = open_registered(words16(0, 64), "a.wav");
    CChildFrame* b = open_registered(words16(300, 64), "b.wav");
    list.add(*a, 0, 16, "");
    list.add(*b, 0, 16, "");
    documents::remove(b);
    CChildFrame* dest = nullptr;
    build_composite(list, [&] { return dest = open_registered(std::string(8, '\0'), "n.wav"); });
    ASSERT_TRUE(dest);
    EXPECT_EQ(contents(dest), std::string(8, '\0')); // the last entry came first and failed
    EXPECT_TRUE(undo_preferences().backup_for_undo);
}
