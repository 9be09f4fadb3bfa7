#include "editor/view/time_ruler.h"
#include "editor/view/view_colors.h"
#include "fake_document.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"

TEST(RulerStep, RoundStepsForVisibleDurations)
{
    EXPECT_DOUBLE_EQ(ruler_round_step(60.0), 10.0);    // 6 x 10
    EXPECT_DOUBLE_EQ(ruler_round_step(3600.0), 500.0); // 6 x 500 is within a fifth
    EXPECT_DOUBLE_EQ(ruler_round_step(1.0), 0.2);      // 5 x 0.2
    EXPECT_DOUBLE_EQ(ruler_round_step(0.0232), 0.005); // 5 x 0.005 within a fifth
    EXPECT_DOUBLE_EQ(ruler_round_step(25.0), 5.0);     // 6 x 5, just within a fifth
    EXPECT_DOUBLE_EQ(ruler_round_step(0.012), 0.002);  // 6 x 0.002
    EXPECT_DOUBLE_EQ(ruler_round_step(100000.0), 1.0); // nothing fits
    EXPECT_DOUBLE_EQ(ruler_round_step(0.0001), 1.0);
    // Every step the series gives stays within a fifth of the duration for some m.
    for (double t = 0.004; t < 12000; t *= 1.37) {
        const double s = ruler_round_step(t);
        bool fits = false;
        for (int m : {6, 5, 4, 3})
            fits = fits || std::fabs(m * s - t) <= 0.2 * t + 1e-12;
        EXPECT_TRUE(fits) << t;
    }
}

TEST(RulerStep, CollidingLabelsDoubleTheStep)
{
    EXPECT_DOUBLE_EQ(widen_ruler_step(0.2, 100.0, 80), 0.8); // 20 -> 40 -> 80 pixels
    EXPECT_DOUBLE_EQ(widen_ruler_step(1.0, 100.0, 80), 1.0);
    EXPECT_DOUBLE_EQ(widen_ruler_step(1.0, 79.0, 80), 2.0);
    EXPECT_DOUBLE_EQ(widen_ruler_step(1.0, 0.0, 80), 1.0);
}

TEST(RulerMarks, MajorAndMinorMarksWithLabels)
{
    auto doc = fake_document(2, 2L * 44100 * 60); // 4096 frames per pixel
    double step = 0;
    auto marks = ruler_marks(*doc, 800, 80, 1, &step);
    EXPECT_DOUBLE_EQ(step, 10.0);
    std::vector<std::string> labels;
    std::vector<int> xs;
    for (const auto& m : marks)
        if (m.major) {
            labels.push_back(m.label);
            xs.push_back(m.x);
        }
    EXPECT_EQ(labels, (std::vector<std::string>{"  0.00", " 10.00", " 20.00", " 30.00", " 40.00",
                                                " 50.00", " 60.00"}));
    EXPECT_EQ(xs[1], 108); // 10 s * 44100 / 4096
    EXPECT_EQ(marks.size(), 61u);
    marks = ruler_marks(*doc, 800, 80, 25);
    EXPECT_EQ(marks[10].label, "00:00:10:00");
    // Zoomed in on 1.5 s: three decimals below a tenth of a second.
    doc->current.zoom_factor = 4096.0f;
    doc->first_visible = 2L * 66150;
    marks = ruler_marks(*doc, 800, 80, 1, &step);
    EXPECT_DOUBLE_EQ(step, 0.005); // 800 pixels are 18 ms; 5 ms is 220 pixels
    EXPECT_EQ(marks.front().label, " 1.500");
}

class ColorsTest : public TestEnv
{
};

TEST_F(ColorsTest, DefaultsAndNamesFromTheProfile)
{
    ViewColors c = load_view_colors();
    EXPECT_EQ(c.data, 0x000080u);
    EXPECT_EQ(c.background, 0x00FFFFu);
    EXPECT_EQ(c.grid, 0xFF00FFu);
    EXPECT_EQ(c.marker, 0xFF0000u);
    EXPECT_EQ(c.marker_text, 0xFFFFFFu);
    EXPECT_EQ(c.wavecrest, 0xFFFF00u);
    const std::string profile = kel::profile::app_profile();
    kel::profile::write_string("Colors", "Data color", "Dark Green", profile);
    kel::profile::write_string("Colors", "Bkgnd color", "Dark  Gray", profile); // not a name
    kel::profile::write_string("Colors", "Grid color", "black", profile);       // nor this
    kel::profile::write_string("Colors", "Marker text", "Yellow", profile);
    c = load_view_colors();
    EXPECT_EQ(c.data, 0x008000u);
    EXPECT_EQ(c.background, 0x00FFFFu);
    EXPECT_EQ(c.grid, 0xFF00FFu);
    EXPECT_EQ(c.marker_text, 0xFFFF00u);
    EXPECT_STREQ(named_colors()[15].name, "Dark Magenta");
    EXPECT_EQ(named_colors()[8].rgb, 0xC0C0C0u);
}
