#include "common/host_services.h"
#include "platform/clock.h"
#include "tests/support/test_env.h"

#include <cstring>

class HostServicesTest : public TestEnv
{
};

TEST_F(HostServicesTest, TimeLeftWaitsFiveSecondsThenOnlyFalls)
{
    int h = display_message_dialog("Echo", 1);
    EXPECT_NE(h, 0);
    EXPECT_EQ(ui.cursor, kel::Cursor::Watch);
    kel::clock::fix(10000);
    show_percent_done(h, 0);
    kel::clock::fix(14000);
    show_percent_done(h, 10);
    EXPECT_TRUE(ui.time_left_texts.empty());
    kel::clock::fix(16000); // 6000 ms: total = 6000 * 100 / 21 ms = 28.57 s
    show_percent_done(h, 20);
    EXPECT_TRUE(ui.time_left_texts.empty()) << "the estimate is taken without showing it";
    kel::clock::fix(17000);
    show_percent_done(h, 30);
    ASSERT_EQ(ui.time_left_texts.size(), 1u);
    EXPECT_EQ(ui.time_left_texts[0], " Time left:  20.0 sec.");
    show_percent_done(h, 31); // 19.71: falls by less than half a second
    EXPECT_EQ(ui.time_left_texts.size(), 1u);
    show_percent_done(h, 32);
    ASSERT_EQ(ui.time_left_texts.size(), 2u);
    EXPECT_EQ(ui.time_left_texts[1], " Time left:  19.4 sec.");
    show_percent_done(h, 20); // going back never raises the time shown
    EXPECT_EQ(ui.time_left_texts.size(), 2u);
    // Above 100 only blanks the text; the bar stays.
    size_t bars = ui.progress.size();
    show_percent_done(h, 101);
    EXPECT_EQ(ui.time_left_texts.back(), "  ");
    EXPECT_EQ(ui.progress.size(), bars);
    EXPECT_EQ(ui.progress.back().text, "   Echo   20%");
    // A new operation starts its estimate afresh.
    show_percent_done(h, 0);
    kel::clock::fix(18000);
    show_percent_done(h, 50);
    EXPECT_EQ(ui.time_left_texts.size(), 3u);
    terminate_message_dialog(h);
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(HostServicesTest, OnlyOneMessageDialogAtATime)
{
    int a = display_message_dialog("one", 1);
    int b = display_message_dialog(std::string(300, 'x').c_str(), 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(ui.open_progress, b);
    EXPECT_EQ(ui.progress[1].percent, -2) << "the first window was closed";
    EXPECT_EQ(ui.progress[2].text.size(), 127u);
    ui.cancel_after_polls(1);
    EXPECT_EQ(cancel_button_pressed(b), 1);
    EXPECT_EQ(cancel_button_pressed(b), 0);
    terminate_message_dialog(0); // nothing to do
    terminate_message_dialog(b);
}

TEST_F(HostServicesTest, MessageBoxes)
{
    EXPECT_EQ(NewErrMsg(5026), kel::kIdOk);
    EXPECT_EQ(ErrMsg("No file %s (%d)", "x.tmp", 3), 0);
    ui.answer(kel::kIdCancel);
    EXPECT_EQ(TestErrMsg("sure?"), kel::kIdCancel);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text, "Can't allocate transfer buffer");
    EXPECT_EQ(ui.boxes[0].caption, "Kelvara");
    EXPECT_EQ(ui.boxes[1].text, "No file x.tmp (3)");
    EXPECT_EQ(ui.boxes[1].icon, kel::Icon::Exclamation);
    WndErrMsg("Kelvara - busy");
    EXPECT_EQ(ui.main_title, "Kelvara - busy");
}

TEST_F(HostServicesTest, ReplaceExtCutsAtTheFirstDot)
{
    char a[64] = "song.take2.wav";
    ReplaceExt(a, "ocw");
    EXPECT_STREQ(a, "song.ocw");
    char b[64] = "noext";
    ReplaceExt(b, "wav");
    EXPECT_STREQ(b, "noext.wav");
    char c[64] = "trailing.";
    ReplaceExt(c, "mp3");
    EXPECT_STREQ(c, "trailing.mp3");
}

TEST_F(HostServicesTest, SmallHelpers)
{
    write_file(path("len"), std::string(1234, 'a'));
    EXPECT_EQ(get_named_file_length(path("len").c_str()), 1234u);
    EXPECT_EQ(get_named_file_length(path("none").c_str()), 0u);
    EXPECT_EQ(get_named_file_length(root.c_str()), 0u);
    int v = 5;
    EXPECT_EQ(*toggle_parameter(&v), 0);
    EXPECT_EQ(*toggle_parameter(&v), 1);

    // x = ((screen - width) / 2 + 4) with bits 1 and 2 cleared.
    Rect r = center_dialog_geometry(Rect{0, 0, 301, 200}, 1024, 768);
    EXPECT_EQ(r.left, (((1024 - 301) / 2) + 4) & ~6);
    EXPECT_EQ(r.left, 361);
    EXPECT_EQ(r.top, 284);
    EXPECT_EQ(r.width(), 301);
    Rect big = center_dialog_geometry(Rect{0, 0, 1101, 900}, 1024, 768);
    EXPECT_EQ(big.left, ((-77 / 2) + 4) & ~6);
    EXPECT_EQ(big.top, -66);
    int dlg;
    ui.windows.push_back({&dlg, 5, 5, 301, 200});
    center_dialog_box(&dlg);
    EXPECT_EQ(ui.windows[0].x, 361);
    EXPECT_EQ(ui.windows[0].y, 284);

    new_show_context_help(nullptr, 11504);
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_EQ(ui.help[0], program + "Orlo.HLP#11504");
}

TEST_F(HostServicesTest, OwnerDrawnButtonsAndTexts)
{
    DrawItemRecord item;
    item.control_id = 367;
    item.rect = Rect{0, 0, 80, 40};
    ButtonDrawing d = describe_draw_item(item);
    EXPECT_EQ(d.bitmap, "bigsave");
    EXPECT_EQ(d.label, "Save");
    EXPECT_TRUE(d.label_from_middle);
    item.disabled = true;
    EXPECT_EQ(describe_draw_item(item).bitmap, "blank") << "no disabled variant for modules";
    item.draw_entire = false;
    EXPECT_FALSE(describe_draw_item(item).draw);
    DrawItemRecord other;
    other.control_id = 4242;
    other.rect = Rect{0, 0, 80, 40};
    other.window_text = "A very long button caption";
    other.selected = other.focused = true;
    d = describe_draw_item(other);
    EXPECT_EQ(d.bitmap, "blank");
    EXPECT_EQ(d.label, "A very long button");
    EXPECT_FALSE(d.label_from_middle);
    EXPECT_EQ(d.label_rect.bottom, 36);
    EXPECT_TRUE(d.inverted);
    EXPECT_EQ(d.focus.left, 10);
    EXPECT_EQ(d.focus.bottom, 35);
    item.control_id = 1;
    item.disabled = false;
    item.draw_entire = true;
    EXPECT_EQ(describe_draw_item(item).bitmap, "ok");

    TextDrawing t = describe_text_on_control(Rect{0, 0, 100, 20}, "x", "Helv", 80, 0, 100, 0xFFFFFF,
                                             400, true, 96);
    EXPECT_EQ(t.font_height, -(80 * 96 / 720));
    EXPECT_EQ(t.weight, 700);
    EXPECT_TRUE(t.embossed);
    EXPECT_EQ(t.flags, 0x125u);
    EXPECT_EQ(t.fill.right, 99);
    t = describe_text_on_control(Rect{0, 0, 100, 20}, "x", "Helv", 80, 0, 0, 0xFFFFFF, 300, false,
                                 120);
    EXPECT_EQ(t.font_height, -13);
    EXPECT_EQ(t.weight, 300);
    EXPECT_EQ(t.flags, 0x124u);
    EXPECT_EQ(t.background_colour, 0xFFFFFFu);
}
