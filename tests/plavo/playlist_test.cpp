// Playlists in OCWCNVRT.INI and the Open dialog's playlist part; the meter and digit display.
#include "platform/profile.h"
#include "plavo/meter.h"
#include "plavo/playlist.h"
#include "tests/plavo/plavo_env.h"

#include <sys/stat.h>

using namespace plavo;

namespace {

class Playlists : public PlavoEnv
{
  protected:
    // Scripts the "Save" dialog to answer with `name`.
    void save_as(PlaylistPanel& panel, const std::string& name)
    {
        ui.on_dialog("Save", [name](kel::DialogModel& m) {
            auto& d = static_cast<SavePlaylistDialog&>(m);
            d.name = name;
            d.on_ok();
        });
        panel.save();
    }
};

} // namespace

TEST_F(Playlists, SaveLoadAndDeleteKeepTheIniInItsDesignedShape)
{
    EXPECT_EQ(playlist_file(), root + "config/Kelvara/OCWCNVRT.INI");
    PlaylistPanel panel;
    panel.save(); // an empty list only beeps
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.dialogs_run.empty());

    panel.entries = {"/m/a.ocw", "/m/b.ocw"};
    save_as(panel, "Morning");
    panel.entries = {"/m/c.ocw"};
    save_as(panel, "Evening");
    panel.entries = {"/m/d.ocw", "/m/e.ocw", "/m/f.ocw"};
    save_as(panel, "Night");
    EXPECT_EQ(saved_names(), (std::vector<std::string>{"Morning", "Evening", "Night"}));
    EXPECT_EQ(read_list("Night"), (std::vector<std::string>{"/m/d.ocw", "/m/e.ocw", "/m/f.ocw"}));
    EXPECT_EQ(read_list("Playlist"), read_list("Night"));

    // An existing name asks first; No keeps the old list.
    panel.entries = {"/m/z.ocw"};
    ui.answer(kel::kIdNo);
    save_as(panel, "morning");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Replace existing file?");
    EXPECT_EQ(ui.boxes[0].caption, "FILE ALREADY EXISTS");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::YesNoCancel);
    EXPECT_EQ(read_list("Morning").size(), 2u);
    ui.answer(kel::kIdYes);
    save_as(panel, "Morning");
    EXPECT_EQ(read_list("Morning"), std::vector<std::string>{"/m/z.ocw"});
    EXPECT_EQ(saved_names().size(), 3u);
    // The player's own sections cannot be saved over.
    save_as(panel, "Playlists");
    EXPECT_EQ(saved_names().size(), 3u);

    // Load prev: the chosen list fills the panel and its first path the name field.
    PlaylistPanel other;
    ui.on_dialog("NewSelect", [](kel::DialogModel& m) {
        auto& d = static_cast<SelectPlaylistDialog&>(m);
        d.on_open();
        EXPECT_EQ(d.title, "Select Playlist");
        d.selected = 2;
        d.on_ok();
    });
    other.load_prev();
    EXPECT_EQ(other.entries, (std::vector<std::string>{"/m/d.ocw", "/m/e.ocw", "/m/f.ocw"}));
    EXPECT_EQ(other.file_name_field, "/m/d.ocw");
    EXPECT_TRUE(other.playlist_mode);

    // The selection dialog's Delete: section, name, and the later names move down.
    ui.on_dialog("NewSelect", [](kel::DialogModel& m) {
        auto& d = static_cast<SelectPlaylistDialog&>(m);
        d.on_open();
        d.selected = 0;
        d.on_delete();
        EXPECT_EQ(d.names, (std::vector<std::string>{"Evening", "Night"}));
        d.on_cancel();
    });
    other.load_prev();
    const std::string ini = read_file(playlist_file());
    EXPECT_EQ(ini.find("[Morning]"), std::string::npos);
    EXPECT_NE(ini.find("Playlist1=Evening"), std::string::npos);
    EXPECT_NE(ini.find("Playlist2=Night"), std::string::npos);
    EXPECT_EQ(ini.find("Playlist3="), std::string::npos);
    EXPECT_EQ(read_list("Night").size(), 3u);
}

TEST_F(Playlists, AddDeleteAndAcceptEditTheList)
{
    mkdir(path("music").c_str(), 0755);
    for (const char* n : {"b.ocw", "A.OCW", "c.wav", "d.ocw"})
        write_file(path("music/") + n, "x");
    mkdir(path("music/e.ocw").c_str(), 0755); // a folder is no file
    PlaylistPanel panel;
    panel.add_items(); // nothing selected yet
    EXPECT_TRUE(panel.entries.empty());
    panel.selected_file = "/x/first.ocw";
    panel.add_items();
    panel.folder = path("music");
    panel.add_all();
    EXPECT_EQ(panel.entries, (std::vector<std::string>{"/x/first.ocw", path("music/A.OCW"),
                                                       path("music/b.ocw"), path("music/d.ocw")}));
    panel.selection = {3, 1};
    panel.delete_items();
    EXPECT_EQ(panel.entries, (std::vector<std::string>{"/x/first.ocw", path("music/b.ocw")}));

    panel.accept("/x/chosen.ocw");
    EXPECT_TRUE(panel.playlist_mode);
    EXPECT_EQ(read_file(playlist_file()),
              "[Playlist]\r\nFile1=/x/first.ocw\r\nFile2=" + path("music/b.ocw") + "\r\n");
    panel.delete_all();
    EXPECT_FALSE(panel.playlist_mode);
    panel.accept("/x/chosen.ocw");
    EXPECT_EQ(read_list("Playlist"), std::vector<std::string>{"/x/chosen.ocw"});
    EXPECT_EQ(current_entry(1), "/x/chosen.ocw");
    EXPECT_EQ(current_entry(2), "");
    EXPECT_EQ(current_entry(0), "");
}

TEST_F(Playlists, EntriesPastAHundredAreDroppedWithANotice)
{
    const std::string notice = "A playlist holds at most 100 entries; ";
    mkdir(path("many").c_str(), 0755);
    for (int i = 0; i < 103; ++i)
        write_file(path("many/") + std::to_string(1000 + i) + ".ocw", "x");
    PlaylistPanel panel;
    panel.selected_file = "/x/first.ocw";
    panel.add_items();
    panel.folder = path("many");
    panel.add_all();
    ASSERT_EQ(panel.entries.size(), 100u);
    EXPECT_EQ(panel.entries.back(), path("many/1098.ocw"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, notice + "4 entries were dropped.");
    panel.add_items();
    EXPECT_EQ(ui.boxes.back().text, notice + "1 entry was dropped.");
    EXPECT_EQ(panel.entries.size(), 100u);

    // A list that some other hand made longer: a saved one, loaded.
    std::string ini = "[Playlists]\r\nPlaylist1=Long\r\n[Long]\r\n";
    for (int i = 1; i <= 10000; ++i)
        ini += "File" + std::to_string(i) + "=/m/" + std::to_string(i) + ".ocw\r\n";
    write_file(playlist_file(), ini);
    ui.boxes.clear();
    ui.on_dialog("NewSelect", [](kel::DialogModel& m) {
        auto& d = static_cast<SelectPlaylistDialog&>(m);
        d.on_ok();
    });
    PlaylistPanel loaded;
    loaded.load_prev();
    EXPECT_EQ(loaded.entries.size(), 100u);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, notice + "9900 entries were dropped.");
}

TEST(Display, DigitsShowMinutesAndSecondsNeverHours)
{
    EXPECT_EQ(time_digits(65.5), "00010512");
    EXPECT_EQ(shown_digits(65), "0105");
    EXPECT_EQ(shown_digits(3600 + 65), "0105");
    EXPECT_EQ(shown_digits(0), "0000");
    EXPECT_EQ(shown_digits(59.99), "0059");
}

TEST(Display, MeterLevelsSegmentsAndColours)
{
    std::vector<int16_t> silent(2000, 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(silent.data());
    Levels l = meter_levels(bytes, silent.size() * 2, 2, 0);
    EXPECT_EQ(l.left, 0);
    for (int k = 0; k < kSegments; ++k)
        EXPECT_FALSE(segment_lit(k, l.left));

    // Left peaks at 16384 (level 64: segments 0 .. 7), right at 32767 (127: all 16).
    std::vector<int16_t> loud(2000);
    for (size_t i = 0; i < loud.size(); i += 2) {
        loud[i] = static_cast<int16_t>(i == 100 ? 16384 : -5);
        loud[i + 1] = static_cast<int16_t>(i == 300 ? 32767 : 7);
    }
    l = meter_levels(reinterpret_cast<const uint8_t*>(loud.data()), loud.size() * 2, 2, 0);
    EXPECT_EQ(l.left, 64);
    EXPECT_EQ(l.right, 127);
    EXPECT_TRUE(segment_lit(7, 64));
    EXPECT_FALSE(segment_lit(8, 64));
    EXPECT_TRUE(segment_lit(15, 127));
    // The window moves with the counter: at 1 it starts at byte 838, past both peaks.
    l = meter_levels(reinterpret_cast<const uint8_t*>(loud.data()), loud.size() * 2, 2, 1);
    EXPECT_EQ(l.left, 0);
    EXPECT_EQ(l.right, 0);
    // Mono shows one level on both rows; a window past the buffer shows nothing lit.
    l = meter_levels(reinterpret_cast<const uint8_t*>(loud.data()), loud.size() * 2, 1, 0);
    EXPECT_EQ(l.left, l.right);
    l = meter_levels(reinterpret_cast<const uint8_t*>(loud.data()), loud.size() * 2, 2, 150);
    EXPECT_LT(l.left, 0);

    EXPECT_EQ(segment_colour(0, true), (Rgb{0, 255, 0}));
    EXPECT_EQ(segment_colour(7, false), (Rgb{0, 180, 0}));
    EXPECT_EQ(segment_colour(9, true), (Rgb{163, 255, 0}));
    EXPECT_EQ(segment_colour(10, false), (Rgb{180, 180, 0}));
    EXPECT_EQ(segment_colour(13, true), (Rgb{255, 180, 0}));
    EXPECT_EQ(segment_colour(12, false), (Rgb{225, 100, 0}));
    EXPECT_EQ(segment_colour(15, true), (Rgb{255, 0, 0}));
    EXPECT_EQ(segment_colour(14, false), (Rgb{180, 0, 0}));
    EXPECT_EQ(segment_colour(11, false), (Rgb{180, 180, 0}));
    EXPECT_EQ(segment_colour(8, false), (Rgb{120, 140, 0}));
}
