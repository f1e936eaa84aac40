// The drawing rendered for real through Mesa offscreen, checked at chosen pixels.
#include <stdlib.h>

#include "standin/offscreen_gl.h"
#include "tests/fixture.h"

namespace {

struct Rgb {
    int r, g, b;
};

class DrawPixelsTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        std::string why;
        ASSERT_TRUE(standin::useOffscreenGL(why)) << why;
        openPanel();
        // Red 0.5 (bin 128), green 0.25 (bin 64), blue 0.75 (bin 192) in every pixel.
        uniformImage("three bars", 40, 25, 0.5f, 0.25f, 0.75f);
    }
    Rgb at(int column, int row) const {
        const unsigned char *p = &ui.view->pixels[(static_cast<size_t>(row) * 320 + column) * 4];
        return {p[0], p[1], p[2]};
    }
    // Blending `c` with alpha `a` over the grey background 0.6.
    static Rgb over(float r, float g, float b, float a) {
        auto mix = [a](float c) { return static_cast<int>((c * a + 0.6f * (1 - a)) * 255 + 0.5f); };
        return {mix(r), mix(g), mix(b)};
    }
    // Whether one of the columns around `column` shows `want` at `row`.
    bool near(int column, int row, Rgb want) const {
        for (int c = column - 1; c <= column + 1; c++) {
            Rgb got = at(c, row);
            if (abs(got.r - want.r) <= 3 && abs(got.g - want.g) <= 3 && abs(got.b - want.b) <= 3) return true;
        }
        return false;
    }
    void save(const char *name) {
        const std::string path = std::string(ARTIFACT_DIR) + "/" + name;
        EXPECT_TRUE(standin::writePng(path, 320, 160, ui.view->pixels.data())) << path;
    }
};

void expectColour(Rgb got, Rgb want, const char *what) {
    EXPECT_NEAR(got.r, want.r, 3) << what;
    EXPECT_NEAR(got.g, want.g, 3) << what;
    EXPECT_NEAR(got.b, want.b, 3) << what;
}

}  // namespace

TEST_F(DrawPixelsTest, WithoutAnImageTheViewIsPlainGrey) {
    standin::paint(ui.view);
    ASSERT_TRUE(ui.view->rendered);
    for (int row : {0, 80, 159})
        for (int column : {0, 133, 319}) expectColour(at(column, row), {153, 153, 153}, "clear colour");
}

TEST_F(DrawPixelsTest, HighlightedAndDimmedBarsBandsAndSelection) {
    standin::chooseItem(ui.channel, 1);  // R highlighted
    standin::chooseItem(ui.chooser, 1);
    ASSERT_TRUE(ui.view->rendered);
    // Rows 0..4 lie above the bands: the clear colour.
    expectColour(at(150, 2), {153, 153, 153}, "above the bands");
    // The bands outside 0..1: left of view pixel 5 and right of pixel 261.
    expectColour(at(300, 80), over(0.3f, 0.3f, 0.3f, 0.1f), "right band");
    expectColour(at(2, 80), over(0.3f, 0.3f, 0.3f, 0.1f), "left band");
    // Row 100 (y = -0.25) is above the BW bars' tops (0.333 of the height) but below the others'.
    EXPECT_TRUE(near(133, 100, over(0.8f, 0.4f, 0.4f, 0.6f))) << "highlighted red bar at bin 128";
    EXPECT_TRUE(near(69, 100, over(0.4f, 0.6f, 0.4f, 0.2f))) << "dimmed green bar at bin 64";
    EXPECT_TRUE(near(197, 100, over(0.4f, 0.4f, 0.6f, 0.2f))) << "dimmed blue bar at bin 192";
    expectColour(at(100, 100), {153, 153, 153}, "between the bars");
    // The tallest bar reaches y = 0.6625, row 27; above it is background.
    EXPECT_TRUE(near(133, 30, over(0.8f, 0.4f, 0.4f, 0.6f))) << "top of the red bar";
    EXPECT_FALSE(near(133, 24, over(0.8f, 0.4f, 0.4f, 0.6f))) << "above the red bar";
    save("view-three-bars.png");

    // A drag from panel x 60 to 100 shades view pixels 55..95 over the full height.
    standin::mousePress(ui.panel, 60, 50);
    standin::mouseMove(ui.panel, 100, 50);
    const Rgb shade = over(0.5f, 0.5f, 0.5f, 0.4f);
    expectColour(at(75, 2), shade, "selection near the top");
    expectColour(at(75, 158), shade, "selection near the bottom");
    expectColour(at(120, 2), {153, 153, 153}, "right of the selection");
    save("view-selection.png");
}

TEST_F(DrawPixelsTest, BwChoiceDrawsTheSummedBarsDarkestAndLast) {
    standin::chooseItem(ui.channel, 0);
    standin::chooseItem(ui.chooser, 1);
    // Each BW bar is one channel's count x 0.333: it reaches y = -0.9375 + 0.533 = -0.404 (row 112).
    // At row 120 the BW bar covers the dimmed red bar.
    const float red = 0.6f * 0.2f + 0.6f * 0.8f, other = 0.4f * 0.2f + 0.6f * 0.8f;
    auto mix = [](float c) { return static_cast<int>((0.1f * 0.6f + c * 0.4f) * 255 + 0.5f); };
    EXPECT_TRUE(near(133, 120, {mix(red), mix(other), mix(other)})) << "BW over the dimmed red bar";
    save("view-bw.png");
}
