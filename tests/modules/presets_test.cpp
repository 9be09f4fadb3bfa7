#include "common/host_services.h"
#include "editor/modules/presets.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"

namespace profile = kel::profile;

class PresetsTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        ini = program + "KVSFILTR.INI";
        write_file(ini, "[Filter Presets]\n"
                        "Filter Preset1=Telephone\nFilter Preset2=Rumble\n"
                        "Filter Preset3=Hiss\nFilter Preset4=Radio\n"
                        "[Telephone]\nFilter Values1=300\n[Rumble]\nFilter Values1=80\n"
                        "[Hiss]\nFilter Values1=8000\n[Radio]\nFilter Values1=5000\n"
                        "[Filter]\nFilter Values1=1\nFilter Values2=2\nFilter Values3=3\n");
        set_preset_context("KVSFILTR.INI", "Filter presets", "Filter Presets", "Filter Preset",
                           "Filter", "Filter Values");
    }
    std::string list(int n)
    {
        return profile::read_string("Filter Presets", "Filter Preset" + std::to_string(n), "-",
                                    ini);
    }
    std::string ini;
};

TEST_F(PresetsTest, OkAndViewNeedAPickInThisDialog)
{
    char chosen[100] = "";
    ui.on_dialog("NEWSELECT", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSelectDialog&>(m);
        EXPECT_EQ(d.title, "Filter presets");
        EXPECT_EQ(d.entries, (std::vector<std::string>{"Telephone", "Rumble", "Hiss", "Radio"}));
        EXPECT_EQ(d.selected, 0);
        d.ok();
        d.view();
        EXPECT_FALSE(d.ended());
        d.select(2);
        EXPECT_EQ(d.picked_name, "Hiss");
        d.view();
    });
    EXPECT_EQ(new_select_process(chosen), 1880);
    EXPECT_STREQ(chosen, "Hiss");
    EXPECT_EQ(ui.beeps, 2);
    ui.on_dialog("NEWSELECT", [&](kel::DialogModel& m) {
        dynamic_cast<PresetSelectDialog&>(m).double_click(1);
    });
    EXPECT_EQ(new_select_process(chosen), 1);
    EXPECT_STREQ(chosen, "Rumble");
    ui.on_dialog("NEWSELECT", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSelectDialog&>(m);
        d.help();
        d.picture();
        d.create();
    });
    EXPECT_EQ(new_select_process(chosen), 373);
    EXPECT_EQ(ui.help.back(), program + "Orlo.HLP#366");
    EXPECT_EQ(ui.sounds.back(), "select:async");
    EXPECT_EQ(new_select_process(chosen), 2) << "unscripted: Cancel";
}

TEST_F(PresetsTest, DeletingTheSecondOfFourRenumbersAndDropsItsSection)
{
    ui.on_dialog("NEWSELECT", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSelectDialog&>(m);
        d.select(1);
        d.delete_preset();
        EXPECT_EQ(d.entries, (std::vector<std::string>{"Telephone", "Hiss", "Radio"}));
        EXPECT_EQ(d.picked_name, "");
        d.delete_preset(); // nothing picked any more: nothing happens
        d.cancel();
    });
    EXPECT_EQ(new_select_process(nullptr), 2);
    EXPECT_EQ(list(1), "Telephone");
    EXPECT_EQ(list(2), "Hiss");
    EXPECT_EQ(list(3), "Radio");
    EXPECT_EQ(list(4), "-");
    EXPECT_FALSE(profile::lookup("Rumble", "Filter Values1", ini));
    EXPECT_EQ(*profile::lookup("Hiss", "Filter Values1", ini), "8000");
}

TEST_F(PresetsTest, ListsStopAtTheFirstGapOrEmptyEntryAndAtAHundred)
{
    profile::write_string("Filter Presets", "Filter Preset3", "", ini);
    EXPECT_EQ(read_preset_list(g_preset).size(), 2u);
    for (int n = 1; n <= 105; ++n)
        profile::write_string("Filter Presets", "Filter Preset" + std::to_string(n),
                              "P" + std::to_string(n), ini);
    EXPECT_EQ(read_preset_list(g_preset).size(), 100u);
}

TEST_F(PresetsTest, SavingANewNameAddsItAndCopiesTheValues)
{
    ui.on_dialog("SAVE", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSaveDialog&>(m);
        EXPECT_EQ(d.title, "Save filter");
        d.select(3);
        EXPECT_EQ(d.name, "Radio");
        d.set_name("");
        d.save(); // empty: nothing
        EXPECT_FALSE(d.ended());
        d.set_name("Warm");
        d.save();
    });
    EXPECT_EQ(new_save_process("KVSFILTR.INI", "Save filter", "Filter Presets", "Filter Preset",
                               "Filter", "Filter Values"),
              1);
    EXPECT_EQ(list(5), "Warm");
    EXPECT_EQ(*profile::lookup("Warm", "Filter Values1", ini), "1");
    EXPECT_EQ(*profile::lookup("Warm", "Filter Values3", ini), "3");
    EXPECT_FALSE(profile::lookup("Warm", "Filter Values4", ini));
}

TEST_F(PresetsTest, SavingAnExistingNameAsksFirst)
{
    const std::string before = read_file(ini);
    ui.answer(kel::kIdNo);
    ui.on_dialog("SAVE", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSaveDialog&>(m);
        d.set_name("Hiss");
        d.save();
        EXPECT_EQ(d.name, "") << "No empties the name field";
        EXPECT_FALSE(d.ended());
        d.cancel();
    });
    EXPECT_EQ(new_save_process("KVSFILTR.INI", "t", "Filter Presets", "Filter Preset", "Filter",
                               "Filter Values"),
              2);
    EXPECT_EQ(read_file(ini), before);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Replace existing file?");
    EXPECT_EQ(ui.boxes[0].caption, "FILE ALREADY EXISTS");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::YesNoCancel);

    ui.answer(kel::kIdYes);
    ui.on_dialog("SAVE", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSaveDialog&>(m);
        d.set_name("Hiss");
        d.save();
        EXPECT_FALSE(d.ended()) << "the dialog stays open after replacing";
        d.help();
        d.cancel();
    });
    new_save_process("KVSFILTR.INI", "t", "Filter Presets", "Filter Preset", "Filter",
                     "Filter Values");
    EXPECT_EQ(*profile::lookup("Hiss", "Filter Values1", ini), "1");
    EXPECT_EQ(*profile::lookup("Hiss", "Filter Values2", ini), "2");
    EXPECT_EQ(list(3), "Hiss");
    EXPECT_EQ(list(5), "-") << "no new list key";
    EXPECT_EQ(ui.help.back(), program + "Orlo.HLP#367");
}

#include "common/preset_values.h"
#include "platform/paths.h"

TEST(PresetValues, BlankSeparatedIntegers)
{
    EXPECT_EQ(parse_preset_values("12 -3 7"), (std::vector<int>{12, -3, 7}));
    EXPECT_EQ(parse_preset_values("12 -3 7 "), (std::vector<int>{12, -3, 7, 0}));
    EXPECT_EQ(parse_preset_values("5  6"), (std::vector<int>{5, 0, 6}));
    EXPECT_EQ(parse_preset_values(""), (std::vector<int>{0}));
    EXPECT_EQ(format_preset_values({300, 3400, 0, -1}), "300 3400 0 -1");
}

TEST(PresetValues, FamiliesKeepTheirOwnNames)
{
    PresetFamily echo = preset_family(PresetKind::Echo);
    PresetFamily reverb = preset_family(PresetKind::Reverb);
    EXPECT_EQ(echo.ini_file, reverb.ini_file);
    EXPECT_EQ(echo.select_title, reverb.select_title);
    EXPECT_NE(echo.list_section, reverb.list_section);
    EXPECT_NE(echo.value_prefix, reverb.value_prefix);
    PresetFamily comp = preset_family(PresetKind::Compressor);
    EXPECT_EQ(comp.ini_file, "KVSECHO.INI");
    EXPECT_EQ(comp.value_prefix, "Compressor Values");
    EXPECT_FALSE(comp.list_section.empty());
    EXPECT_EQ(preset_family(PresetKind::Equalizer).value_prefix, "FGW");
}

TEST_F(PresetsTest, EchoAndReverbListsStayApartInOneFile)
{
    const std::string file = program + "KVSECHO.INI";
    PresetFamily echo = preset_family(PresetKind::Echo);
    ui.on_dialog("SAVE", [](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSaveDialog&>(m);
        d.set_name("Big hall echo");
        d.save();
    });
    EXPECT_EQ(save_preset_values(echo, file, {{500, 80, 1}}), 1);
    std::vector<int> v;
    ASSERT_TRUE(read_preset_values(echo, file, "Big hall echo", 1, v));
    EXPECT_EQ(v, (std::vector<int>{500, 80, 1}));
    EXPECT_EQ(kel::profile::read_string("Echo Presets", "Echo Preset1", "", file), "Big hall echo");
    set_preset_context_for(preset_family(PresetKind::Reverb), program);
    EXPECT_TRUE(read_preset_list(g_preset).empty());
    EXPECT_FALSE(
        read_preset_values(preset_family(PresetKind::Reverb), file, "Big hall echo", 1, v));
    // A missing or empty first key is a failed read.
    kel::profile::write_string("Empty", "Echo Values1", "", file);
    EXPECT_FALSE(read_preset_values(echo, file, "Empty", 1, v));
    EXPECT_FALSE(read_preset_values(echo, file, "Nowhere", 1, v));
}

TEST_F(PresetsTest, ModulesFindTheirPresetsBesideThemselves)
{
    EXPECT_EQ(kel::paths::module_dir_of(reinterpret_cast<const void*>(&parse_preset_values)),
              program);
    unsetenv("KELVARA_HOME");
    std::string dir =
        kel::paths::module_dir_of(reinterpret_cast<const void*>(&parse_preset_values));
    EXPECT_EQ(dir, kel::paths::program_dir()) << "the library sits beside the program";
}
