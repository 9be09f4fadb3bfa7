// The combine dialog's enabling rules, slider mapping and what OK and Cancel keep.
#include "editor/edit/combine_dialog.h"
#include "tests/support/edit_fixture.h"

namespace {

using D = CombineSelectionDialog;

class CombineDialogTest : public EditTest
{
};

TEST_F(CombineDialogTest, OpensOnPasteOverASectionAndInsertAtACaret)
{
    D with(true, true);
    with.on_open();
    EXPECT_EQ(with.mode(), 11305);
    EXPECT_FALSE(with.enabled(D::kInsert));
    EXPECT_FALSE(with.enabled(D::kOverwrite));
    EXPECT_TRUE(with.enabled(D::kPaste));
    EXPECT_FALSE(with.choose_mode(D::kInsert));
    EXPECT_EQ(with.mode(), 11305);

    D without(false, true);
    without.on_open();
    EXPECT_EQ(without.mode(), 11304);
    EXPECT_TRUE(without.enabled(D::kInsert));
    EXPECT_TRUE(without.enabled(D::kOverwrite));
    EXPECT_FALSE(without.enabled(D::kPaste));
    EXPECT_TRUE(without.choose_mode(D::kOverwrite));
    EXPECT_EQ(without.mode(), 11306);
    EXPECT_STREQ(D::kTitle, "         Combine Selection With Destination");
}

TEST_F(CombineDialogTest, MonoDestinationHasOneMixButton)
{
    D mono(false, false);
    mono.on_open();
    EXPECT_EQ(mono.text(D::kMixBoth), "&Mix");
    EXPECT_FALSE(mono.enabled(D::kMixLeft));
    EXPECT_FALSE(mono.enabled(D::kMixRight));
    EXPECT_FALSE(mono.choose_mix(D::kMixLeft));
    D stereo(false, true);
    EXPECT_EQ(stereo.text(D::kMixBoth), "-> &Both channels");
    EXPECT_EQ(stereo.text(D::kMixLeft), "-> &Left channel");
}

TEST_F(CombineDialogTest, MixButtonsSetTargetsAndModesClearThem)
{
    D d(true, true);
    d.on_open();
    ASSERT_TRUE(d.choose_mix(D::kMixRight));
    EXPECT_EQ(d.mode(), 11307);
    EXPECT_FALSE(d.mix_left());
    EXPECT_TRUE(d.mix_right());
    ASSERT_TRUE(d.choose_mix(D::kMixBoth));
    EXPECT_TRUE(d.mix_left() && d.mix_right());
    ASSERT_TRUE(d.choose_mode(D::kCrossFade));
    EXPECT_EQ(d.mode(), 11311);
    EXPECT_FALSE(d.mix_left() || d.mix_right());
}

TEST_F(CombineDialogTest, SlidersMapPositionsToGainsWhileTheButtonIsHeld)
{
    g_clipboard.source_gain = 0.5f;
    g_clipboard.destination_gain = 2.0f;
    D d(false, true);
    d.on_open();
    EXPECT_EQ(d.slider_position(D::kSourceSlider), 75);
    EXPECT_EQ(d.slider_position(D::kDestinationSlider), 0);
    EXPECT_FALSE(d.move_slider(D::kSourceSlider, 10));
    EXPECT_EQ(d.slider_position(D::kSourceSlider), 75);
    d.left_button(true);
    EXPECT_TRUE(d.move_slider(D::kSourceSlider, 10));
    EXPECT_TRUE(d.move_slider(D::kDestinationSlider, 250)); // held to the range
    d.left_button(false);
    EXPECT_FLOAT_EQ(d.gain(D::kSourceSlider), 1.8f);
    EXPECT_FLOAT_EQ(d.gain(D::kDestinationSlider), 0.0f);
    EXPECT_FLOAT_EQ(D::gain_of_position(50), 1.0f);
    EXPECT_FLOAT_EQ(D::gain_of_position(0), 2.0f);
}

TEST_F(CombineDialogTest, OkStoresTheChoicesAndCancelKeepsTheOldOnes)
{
    D d(false, true);
    d.on_open();
    d.left_button(true);
    d.move_slider(D::kSourceSlider, 25);
    d.choose_shape(D::kExponential);
    d.choose_mix(D::kMixLeft);
    d.cancel();
    EXPECT_EQ(d.end_code(), 2);
    EXPECT_FLOAT_EQ(g_clipboard.source_gain, 1.0f);
    EXPECT_EQ(g_clipboard.mix_left, 0);
    EXPECT_EQ(g_clipboard.crossfade_exponential, 0);

    D e(false, true);
    e.on_open();
    e.left_button(true);
    e.move_slider(D::kSourceSlider, 25);
    e.choose_shape(D::kExponential);
    e.choose_mix(D::kMixLeft);
    e.ok();
    EXPECT_EQ(e.end_code(), 11307);
    EXPECT_FLOAT_EQ(g_clipboard.source_gain, 1.5f);
    EXPECT_FLOAT_EQ(g_clipboard.destination_gain, 1.0f);
    EXPECT_EQ(g_clipboard.mix_left, 1);
    EXPECT_EQ(g_clipboard.mix_right, 0);
    EXPECT_EQ(g_clipboard.crossfade_exponential, 1);
    EXPECT_EQ(g_clipboard.combine_mode, 11307);
    e.help();
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_EQ(ui.help[0], program + "Orlo.HLP#1403");
}

} // namespace
