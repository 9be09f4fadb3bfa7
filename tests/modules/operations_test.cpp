// The Operations menu: which member each command calls, with which arguments, and the
// preset context it finds when it runs.
#include "editor/devices/playback.h"
#include "editor/modules/linked_modules.h"
#include "editor/modules/presets.h"
#include "editor/strings.h"
#include "editor/view/time_text.h"
#include "filtrel/pitch_dialogs.h"
#include "platform/profile.h"
#include "tests/support/edit_fixture.h"

#include <optional>

namespace {

// What a member saw when the command reached it.
struct Call
{
    std::string member;
    HWND main_frame = nullptr;
    HWND window = nullptr;
    std::vector<int> numbers; // the arguments after the window(s)
    std::string temp_dir;
    PresetContext preset;
};

HWND const kFrame = reinterpret_cast<HWND>(0x1000);
HWND const kOwner = reinterpret_cast<HWND>(0x2000);

class OperationsTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        set_time_format(25);
        // Something to tell "left alone" from "set".
        set_preset_context("untouched.ini", "untouched", "untouched", "untouched", "u", "u");
    }
    void TearDown() override
    {
        documents::set_active(nullptr);
        set_time_format(1);
        playback_state().is_playing = 0;
        EditTest::TearDown();
    }

    ModuleCalls spies()
    {
        ModuleCalls c;
        c.amplify_waveform = [this](CChildFrame&, HWND f, HWND w, int id, int tf,
                                    const char* temp) {
            return record({"amplify_waveform", f, w, {id, tf}, temp, g_preset});
        };
        auto simple = [this](const char* name) {
            return [this, name](CChildFrame&, HWND w, int id) {
                return record({name, nullptr, w, {id}, "", g_preset});
            };
        };
        c.fade_waveform = simple("fade_waveform");
        c.pan_waveform = simple("pan_waveform");
        c.modulate_waveform = simple("modulate_waveform");
        c.reverse_waveform = simple("reverse_waveform");
        c.filter_waveform = [this](CChildFrame&, HWND w) {
            record({"filter_waveform", nullptr, w, {}, "", g_preset});
        };
        c.stretch_selected_passage = [this](CChildFrame&, HWND w, int command, int flag) {
            return record({"stretch_selected_passage", nullptr, w, {command, flag}, "", g_preset});
        };
        auto window_only = [this](const char* name) {
            return [this, name](CChildFrame&, HWND w) {
                return record({name, nullptr, w, {}, "", g_preset});
            };
        };
        c.how_to_change_pitch = window_only("how_to_change_pitch");
        c.get_equalization_selection = window_only("get_equalization_selection");
        c.flange_waveform = window_only("flange_waveform");
        c.shift_waveform = window_only("shift_waveform");
        c.remove_noise = window_only("remove_noise");
        c.show_3D_spectrum = window_only("show_3D_spectrum");
        c.echo_waveform = [this](CChildFrame&, HWND w, int command, int flag) {
            return record({"echo_waveform", nullptr, w, {command, flag}, "", g_preset});
        };
        c.amplify_waveform_by_envelope = [this](CChildFrame&, HWND w, int mode) {
            return record({"amplify_waveform_by_envelope", nullptr, w, {mode}, "", g_preset});
        };
        c.set_spatial_localization = [this](CChildFrame&, HWND w) {
            record({"set_spatial_localization", nullptr, w, {}, "", g_preset});
        };
        c.make_tones_or_effects = [this](CChildFrame&, HWND w) {
            record({"make_tones_or_effects", nullptr, w, {}, "", g_preset});
        };
        c.display_magnified_plot = [this](CChildFrame&, HWND f, HWND child, int tf) {
            return record({"display_magnified_plot", f, child, {tf}, "", g_preset});
        };
        return c;
    }

    int record(Call c)
    {
        calls.push_back(std::move(c));
        return 1;
    }

    CChildFrame* active_doc()
    {
        CChildFrame* doc = open_doc(pcm16(noise16(400, 7)), 2, 16, 22050);
        if (doc) {
            doc->owner_window = kOwner;
            documents::set_active(doc);
        }
        return doc;
    }

    static std::vector<int> table_ids()
    {
        std::vector<int> ids = {11301, 393, 1038};
        for (int id = 11500; id <= 11517; ++id)
            ids.push_back(id);
        return ids;
    }

    std::vector<Call> calls;
};

TEST_F(OperationsTest, WithoutADocumentNoCommandDoesAnything)
{
    documents::set_active(nullptr);
    const ModuleCalls c = spies();
    for (int id : table_ids())
        EXPECT_EQ(run_operation(id, kFrame, c), 0) << id;
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(g_preset.title, "untouched");
    EXPECT_TRUE(ui.dialogs_run.empty());
    EXPECT_TRUE(ui.boxes.empty());
    // The real modules behave the same.
    for (int id : table_ids())
        EXPECT_EQ(run_operation(id, kFrame, linked_module_calls()), 0) << id;
    EXPECT_TRUE(ui.dialogs_run.empty());
}

TEST_F(OperationsTest, EachBuiltRowCallsItsMemberWithTheDesignedArguments)
{
    CChildFrame* doc = active_doc();
    ASSERT_TRUE(doc);
    struct Row
    {
        int id;
        const char* member;
        HWND main_frame;
        std::vector<int> numbers;
        std::optional<PresetKind> preset;
    };
    const std::vector<Row> rows = {
        {11301, "amplify_waveform", kFrame, {11301, 25}, std::nullopt},
        {11500, "stretch_selected_passage", nullptr, {11500, 0}, std::nullopt},
        {11502, "how_to_change_pitch", nullptr, {}, std::nullopt},
        {11506, "get_equalization_selection", nullptr, {}, PresetKind::Equalizer},
        {11508, "flange_waveform", nullptr, {}, PresetKind::Flange},
        {11513, "shift_waveform", nullptr, {}, std::nullopt},
        {11501, "amplify_waveform", kFrame, {11501, 25}, std::nullopt},
        {11503, "amplify_waveform_by_envelope", nullptr, {1}, PresetKind::Compressor},
        {11504, "echo_waveform", nullptr, {11504, 1}, PresetKind::Echo},
        {11505, "amplify_waveform_by_envelope", nullptr, {0}, std::nullopt},
        {11507, "fade_waveform", nullptr, {11507}, std::nullopt},
        {11509, "filter_waveform", nullptr, {}, PresetKind::Filter},
        {11511, "remove_noise", nullptr, {}, PresetKind::Filter},
        {1038, "show_3D_spectrum", nullptr, {}, std::nullopt},
        {11510, "modulate_waveform", nullptr, {11510}, std::nullopt},
        {11512, "pan_waveform", nullptr, {11512}, std::nullopt},
        {11514, "echo_waveform", nullptr, {11514, 1}, PresetKind::Reverb},
        {11515, "reverse_waveform", nullptr, {11515}, std::nullopt},
        {11516, "set_spatial_localization", nullptr, {}, std::nullopt},
        {11517, "make_tones_or_effects", nullptr, {}, PresetKind::Tones},
    };
    const ModuleCalls c = spies();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        set_preset_context("untouched.ini", "untouched", "untouched", "untouched", "u", "u");
        calls.clear();
        EXPECT_EQ(run_operation(row.id, kFrame, c), 1);
        ASSERT_EQ(calls.size(), 1u);
        const Call& got = calls[0];
        EXPECT_EQ(got.member, row.member);
        EXPECT_EQ(got.window, kOwner) << "the document's owner window goes first";
        EXPECT_EQ(got.main_frame, row.main_frame);
        EXPECT_EQ(got.numbers, row.numbers);
        if (row.member == std::string("amplify_waveform")) {
            EXPECT_EQ(got.temp_dir, run_directory());
        }
        if (row.preset) {
            const PresetFamily f = preset_family(*row.preset);
            EXPECT_EQ(got.preset.ini_path, program + f.ini_file);
            EXPECT_EQ(got.preset.title, f.select_title);
            EXPECT_EQ(got.preset.list_section, f.list_section);
            EXPECT_EQ(got.preset.list_prefix, f.list_prefix);
        } else {
            EXPECT_EQ(got.preset.title, "untouched");
        }
    }
    // Nothing else ran and the document is as it was.
    EXPECT_TRUE(ui.dialogs_run.empty());
    EXPECT_EQ(contents(doc), pcm16(noise16(400, 7)));
}

TEST_F(OperationsTest, RowsWithoutABuiltMemberStayOff)
{
    ASSERT_TRUE(active_doc());
    ModuleCalls c = spies();
    c.remove_noise = nullptr;
    for (int id : {11511}) {
        EXPECT_TRUE(operation_available(id, linked_module_calls())) << id;
        EXPECT_FALSE(operation_available(id, c)) << id;
        EXPECT_EQ(run_operation(id, kFrame, c), 0) << id;
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(g_preset.title, "untouched") << "no context is set for a command that does nothing";
    // Not a command of the table at all.
    EXPECT_FALSE(is_operation_command(11303));
    EXPECT_EQ(run_operation(11303, kFrame, c), 0);
    // A table without a member: that row does nothing.
    ModuleCalls partial = c;
    partial.echo_waveform = nullptr;
    EXPECT_EQ(run_operation(11504, kFrame, partial), 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(OperationsTest, TheCompressorsNamesComeFromTheStringTable)
{
    ASSERT_EQ(operation_preset(11503), PresetKind::Compressor);
    const PresetFamily f = preset_family(PresetKind::Compressor);
    EXPECT_STREQ(string_table_text(5056), "Save Compressor / Expander Values");
    EXPECT_STREQ(string_table_text(5057), "Compressor Presets");
    EXPECT_STREQ(string_table_text(5058), "Compressor Preset");
    EXPECT_STREQ(string_table_text(5059), "Compressor");
    EXPECT_STREQ(string_table_text(5060), "Compressor Values");
    EXPECT_EQ(f.select_title, "Save Compressor / Expander Values");
    EXPECT_EQ(f.list_section, "Compressor Presets");
    EXPECT_EQ(f.list_prefix, "Compressor Preset");
    EXPECT_EQ(f.values_section, "Compressor");
    EXPECT_EQ(f.value_prefix, "Compressor Values");
    // The families of the other rows.
    EXPECT_EQ(operation_preset(11506), PresetKind::Equalizer);
    EXPECT_EQ(operation_preset(11508), PresetKind::Flange);
    EXPECT_EQ(operation_preset(11511), PresetKind::Filter);
    EXPECT_EQ(operation_preset(11517), PresetKind::Tones);
    for (int id : {11301, 11500, 11501, 11502, 11505, 11507, 11510, 11512, 11513, 11515, 11516})
        EXPECT_FALSE(operation_preset(id).has_value()) << id;
}

TEST_F(OperationsTest, MagnifiedImageWaitsForPlaybackToEnd)
{
    CChildFrame* doc = active_doc();
    ASSERT_TRUE(doc);
    const ModuleCalls c = spies();
    playback_state().is_playing = 1;
    EXPECT_EQ(run_operation(393, kFrame, c), 0);
    EXPECT_TRUE(calls.empty());
    playback_state().is_playing = 0;
    EXPECT_EQ(run_operation(393, kFrame, c), 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].member, "display_magnified_plot");
    EXPECT_EQ(calls[0].main_frame, kFrame);
    EXPECT_EQ(calls[0].window, doc->window) << "the active child's window";
    EXPECT_EQ(calls[0].numbers, std::vector<int>{25});
}

// The real modules behind the table.

TEST_F(OperationsTest, EchoAndReverbListOnlyTheirOwnPresetsFromOneFile)
{
    CChildFrame* doc = active_doc();
    ASSERT_TRUE(doc);
    const std::string ini = program + "KVSECHO.INI";
    write_file(ini, "[Echo Presets]\nEcho Preset1=Canyon\n"
                    "[Reverb Presets]\nReverb Preset1=Hall\n"
                    "[Canyon]\nEcho Values1=250 50 1\n[Hall]\nReverb Values1=80 40 1\n");
    // An echo preset saved through the echo family's names.
    const PresetFamily echo = preset_family(PresetKind::Echo);
    set_preset_context_for(echo, program);
    ui.on_dialog("SAVE", [](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSaveDialog&>(m);
        d.set_name("Stadium");
        d.save();
    });
    ASSERT_EQ(save_preset_values(echo, ini, {{300, 60, 1}}), 1);

    std::vector<std::string> listed;
    std::string title;
    auto capture = [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<PresetSelectDialog&>(m);
        listed = d.entries;
        title = d.title;
        d.cancel();
    };
    const ModuleCalls linked = linked_module_calls();
    ui.on_dialog("NEWSELECT", capture);
    EXPECT_EQ(run_operation(11514, kFrame, linked), 1);
    EXPECT_EQ(title, "Select Echo / Reverb File");
    EXPECT_EQ(listed, std::vector<std::string>{"Hall"});
    ui.on_dialog("NEWSELECT", capture);
    EXPECT_EQ(run_operation(11504, kFrame, linked), 1);
    EXPECT_EQ(listed, (std::vector<std::string>{"Canyon", "Stadium"}));
    // Both cancelled: the document is untouched and has no undo step.
    EXPECT_EQ(contents(doc), pcm16(noise16(400, 7)));
    EXPECT_EQ(doc->undo_available, 0);
}

TEST_F(OperationsTest, LinkedMembersChangeTheDocumentThroughOneUndoStep)
{
    const std::vector<int16_t> words = {100, -100, 200, -200, 300, -300, 400, -400};
    CChildFrame* doc = open_doc(pcm16(words), 2, 16, 22050);
    ASSERT_TRUE(doc);
    doc->owner_window = kOwner;
    documents::set_active(doc);
    const ModuleCalls linked = linked_module_calls();
    EXPECT_EQ(run_operation(11515, kFrame, linked), 1);
    EXPECT_EQ(contents(doc), pcm16({400, -400, 300, -300, 200, -200, 100, -100}));
    EXPECT_EQ(doc->undo_available, 1);
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), pcm16(words));
    // Clear silences the highlighted frames only.
    select(doc, 2, 6);
    EXPECT_EQ(run_operation(11301, kFrame, linked), 1);
    EXPECT_EQ(contents(doc), pcm16({100, -100, 0, 0, 0, 0, 400, -400}));
    // Fade asks first; Cancel changes nothing.
    const std::string before = contents(doc);
    EXPECT_EQ(run_operation(11507, kFrame, linked), 1);
    EXPECT_EQ(ui.dialogs_run.back(), "FADE");
    EXPECT_EQ(contents(doc), before);
    // The filter shows its own presets' titles.
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
        EXPECT_EQ(dynamic_cast<PresetSelectDialog&>(m).title, "Select Filter Parameters");
    });
    EXPECT_EQ(run_operation(11509, kFrame, linked), 1);
    EXPECT_EQ(ui.dialogs_run.back(), "NEWSELECT");
    EXPECT_EQ(contents(doc), before);
    // Equalize and Flange ask for their presets; cancelled, nothing changes.
    for (int id : {11506, 11508}) {
        const char* title = id == 11506 ? "Select Equalization File" : "Select Flange Parameters";
        ui.on_dialog("NEWSELECT", [title](kel::DialogModel& m) {
            EXPECT_EQ(dynamic_cast<PresetSelectDialog&>(m).title, title);
        });
        EXPECT_EQ(run_operation(id, kFrame, linked), 1);
        EXPECT_EQ(contents(doc), before);
    }
    // Stretch / Tempo at its top: the document comes out 15 % longer, in one step.
    CChildFrame* longer = open_doc(pcm16(noise16(2000, 3)), 2, 16, 22050);
    ASSERT_TRUE(longer);
    longer->owner_window = kOwner;
    documents::set_active(longer);
    ui.on_dialog("NEWTEMPO", [](kel::DialogModel& m) {
        auto& d = dynamic_cast<PassageSliderDialog&>(m);
        d.move_slider(0);
        d.ok();
    });
    EXPECT_EQ(run_operation(11500, kFrame, linked), 1);
    EXPECT_NEAR(static_cast<double>(longer->total_samples()), 2300.0, 2.0);
    EXPECT_EQ(g_undo_menu.text, "&Undo Tempo...\tCtrl+Z");
    EXPECT_EQ(ui.dialogs_run.back(), "NEWTEMPO");
}

} // namespace
