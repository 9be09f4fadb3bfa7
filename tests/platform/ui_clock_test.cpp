#include "platform/clock.h"
#include "platform/mapped_file.h"
#include "tests/support/test_env.h"

class HeadlessTest : public TestEnv
{
};

TEST_F(HeadlessTest, BoxesAreRecordedAndAnsweredFromTheScript)
{
    ui.answer(kel::kIdNo);
    EXPECT_EQ(kel::ui().message_box("q?", "cap", kel::Buttons::YesNo, kel::Icon::Question),
              kel::kIdNo);
    EXPECT_EQ(kel::ui().message_box("again?", "cap", kel::Buttons::YesNo, kel::Icon::Question),
              kel::kIdYes);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "q?");
    EXPECT_EQ(ui.boxes[1].result, kel::kIdYes);
}

TEST_F(HeadlessTest, CancelIsPressedAtTheRequestedPoll)
{
    ui.cancel_after_polls(3);
    EXPECT_FALSE(kel::ui().progress_cancel_pressed(1));
    EXPECT_FALSE(kel::ui().progress_cancel_pressed(1));
    EXPECT_TRUE(kel::ui().progress_cancel_pressed(1));
    EXPECT_FALSE(kel::ui().progress_cancel_pressed(1));
}

TEST_F(HeadlessTest, UnscriptedDialogsEndWithCancel)
{
    struct D : kel::DialogModel
    {
        const char* template_name() const override { return "X"; }
    } d, e;
    EXPECT_EQ(kel::ui().run_modal(d), kel::kIdCancel);
    ui.on_dialog("X", [](kel::DialogModel& m) { m.end_dialog(7); });
    EXPECT_EQ(kel::ui().run_modal(e), 7);
}

TEST_F(HeadlessTest, ClockCanBePinnedAndAdvanced)
{
    kel::clock::fix(500);
    EXPECT_EQ(kel::clock::now_ms(), 500u);
    kel::clock::advance(25);
    EXPECT_EQ(kel::clock::now_ms(), 525u);
    kel::clock::unfix();
    uint32_t a = kel::clock::now_ms();
    uint32_t b = kel::clock::now_ms();
    EXPECT_LE(a, b);
}

TEST_F(HeadlessTest, MappedFilesSeeAndChangeTheFile)
{
    write_file(path("m"), "hello");
    {
        auto m = kel::MappedFile::open(path("m"), kel::MappedFile::Access::ReadWrite);
        ASSERT_TRUE(m);
        ASSERT_EQ(m->size(), 5u);
        m->data()[0] = 'j';
    }
    EXPECT_EQ(read_file(path("m")), "jello");
    write_file(path("empty"), "");
    EXPECT_FALSE(kel::MappedFile::open(path("empty"), kel::MappedFile::Access::Read));
    EXPECT_FALSE(kel::MappedFile::open(root, kel::MappedFile::Access::Read));
    auto anon = kel::MappedFile::anonymous(4096);
    ASSERT_TRUE(anon);
    EXPECT_EQ(anon->data()[100], 0);
}
