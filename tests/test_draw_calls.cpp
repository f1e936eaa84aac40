// The drawing's exact GL call stream, recorded instead of rendered.
#include <GL/gl.h>
#include <math.h>

#include "render/draw.h"
#include "render/geometry.h"
#include "tests/draw_stream.h"
#include "tests/fixture.h"

namespace {

using Colour = std::array<double, 4>;

Colour c4(float r, float g, float b, float a) { return {r, g, b, a}; }

const Colour BAND = c4(0.3f, 0.3f, 0.3f, 0.1f);
const Colour BW_DIM = c4(0.1f, 0.1f, 0.1f, 0.2f), BW_HI = c4(0.1f, 0.1f, 0.1f, 0.6f);
const Colour R_DIM = c4(0.6f, 0.4f, 0.4f, 0.2f), R_HI = c4(0.8f, 0.4f, 0.4f, 0.6f);
const Colour G_DIM = c4(0.4f, 0.6f, 0.4f, 0.2f), G_HI = c4(0.4f, 0.8f, 0.4f, 0.6f);
const Colour B_DIM = c4(0.4f, 0.4f, 0.6f, 0.2f), B_HI = c4(0.4f, 0.4f, 0.8f, 0.6f);
const Colour SELECTION = c4(0.5f, 0.5f, 0.5f, 0.4f);

class DrawCallsTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        openPanel();
        clearGlCalls();
    }
    // A chosen image with a known histogram, as after an image choice.
    void chooseRamp() {
        std::vector<float> px;
        for (int i = 0; i < 256; i++) px.insert(px.end(), {i / 255.0f, 0.5f, 0.25f});
        standin::addImage("ramp", 256, 1, px);
        standin::chooseItem(ui.chooser, 1);
        clearGlCalls();
    }
    std::vector<GlBlock> barsOf(const Colour &colour) {
        std::vector<GlBlock> out;
        for (const GlBlock &b : glBlocks())
            if (b.mode == GL_LINE_STRIP && b.colour == colour) out.push_back(b);
        return out;
    }
};

std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const GlCall &c : glCalls()) out.push_back(c.name);
    return out;
}

}  // namespace

TEST_F(DrawCallsTest, WithoutAnImageOnlyTheClearColourIsDrawn) {
    viewer.dragging = 1;  // no rectangle either
    drawView(nullptr, nullptr);
    EXPECT_EQ(names(), (std::vector<std::string>{"glDisable", "glBlendFunc", "glEnable", "glShadeModel",
                                                 "glClearColor", "glClear", "glFlush"}));
    const std::vector<GlCall> &c = glCalls();
    EXPECT_EQ(c[0].args, std::vector<double>{GL_BLEND});
    EXPECT_EQ(c[1].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_EQ(c[2].args, std::vector<double>{GL_BLEND});
    EXPECT_EQ(c[3].args, std::vector<double>{GL_SMOOTH});
    EXPECT_EQ(c[4].args, (std::vector<double>{0.6f, 0.6f, 0.6f, 0.0f}));
    EXPECT_EQ(c[5].args, std::vector<double>{GL_COLOR_BUFFER_BIT});
}

TEST_F(DrawCallsTest, EachChannelChoiceDrawsItsSetLastAndHighlighted) {
    chooseRamp();
    const std::vector<Colour> orders[] = {
        {BAND, B_DIM, G_DIM, R_DIM, BW_HI},
        {BAND, BW_DIM, B_DIM, G_DIM, R_HI},
        {BAND, BW_DIM, R_DIM, B_DIM, G_HI},
        {BAND, BW_DIM, G_DIM, R_DIM, B_HI},
    };
    for (int channel = 0; channel < 4; channel++) {
        SCOPED_TRACE(channel);
        standin::chooseItem(ui.channel, channel);  // redraws
        EXPECT_EQ(viewer.channel, channel);
        EXPECT_EQ(glColours(), orders[channel]);
        EXPECT_EQ(glBlocks().size(), 2u + 4 * 310);
        EXPECT_EQ(glCalls().back().name, "glFlush");
        clearGlCalls();
    }
}

TEST_F(DrawCallsTest, BarsRiseFromTheBaselineByTheirCounts) {
    chooseRamp();
    const float base = -0.9375f;
    const ViewGeometry g = viewGeometry();
    drawView(nullptr, nullptr);
    const std::vector<GlBlock> red = barsOf(R_DIM), bw = barsOf(BW_HI);
    ASSERT_EQ(red.size(), 310u);
    ASSERT_EQ(bw.size(), 310u);
    for (int i : {0, 128, 255, 256, 309}) {
        SCOPED_TRACE(i);
        ASSERT_EQ(red[i].vertices.size(), 2u);
        EXPECT_EQ(red[i].vertices[0][0], g.barX(i));
        EXPECT_EQ(red[i].vertices[0][1], base);
        EXPECT_EQ(red[i].vertices[1][1], base + 1.0f / 160.0f * viewer.vZoom * viewer.binsR[i]);
        // BW: the summed counts times 0.333.
        const float sum = viewer.binsR[i] + viewer.binsG[i] + viewer.binsB[i];
        EXPECT_EQ(bw[i].vertices[1][1], fminf(1.0f, base + 0.333f / 160.0f * viewer.vZoom * sum));
    }
    EXPECT_EQ(red[300].vertices[1][1], base);  // an empty bin is a strip of zero length
}

TEST_F(DrawCallsTest, TopsAreCappedAtTheViewsTopEdge) {
    chooseRamp();
    viewer.binsR[7] = 1e6f;
    drawView(nullptr, nullptr);
    EXPECT_EQ(barsOf(R_DIM)[7].vertices[1][1], 1.0);
}

TEST_F(DrawCallsTest, BarsRightOfTheViewAreSkipped) {
    chooseRamp();
    viewer.hZoom = 4.0f;  // bar i at -1 + (10 + 2i) / 80 + offset
    viewer.hOffset = 0.001f;
    drawView(nullptr, nullptr);
    const std::vector<GlBlock> red = barsOf(R_DIM);
    ASSERT_EQ(red.size(), 75u);
    EXPECT_LE(red.back().vertices[0][0], 1.0);
    viewer.hZoom = 1.0f;
    viewer.hOffset = -3.0f;  // every bar lies left of the view, and each is still issued
    clearGlCalls();
    drawView(nullptr, nullptr);
    EXPECT_EQ(barsOf(R_DIM).size(), 310u);
}

TEST_F(DrawCallsTest, RangeBandsAreFiveVertexQuadsOutsideZeroToOne) {
    chooseRamp();
    drawView(nullptr, nullptr);
    const std::vector<GlBlock> blocks = glBlocks();
    ASSERT_GE(blocks.size(), 2u);
    const ViewGeometry g = viewGeometry();
    const double base = g.baseY, top = 1.0f - g.marginY;
    using V = std::vector<std::array<double, 2>>;
    EXPECT_EQ(blocks[0].mode, GL_QUADS);
    EXPECT_EQ(blocks[0].vertices, (V{{g.oneX, base}, {g.oneX, top}, {1, top}, {1, base}, {g.oneX, base}}));
    EXPECT_EQ(blocks[1].vertices, (V{{g.zeroX, base}, {g.zeroX, top}, {-1, top}, {-1, base}, {g.zeroX, base}}));
    EXPECT_EQ(blocks[0].colour, BAND);
}

TEST_F(DrawCallsTest, DragRectangleSpansTheFullHeight) {
    chooseRamp();
    struct {
        float start, end;
    } cases[] = {{-0.5f, 0.25f}, {0.25f, -0.5f}, {0.1f, 0.1f}};
    for (const auto &c : cases) {
        viewer.dragging = 1;
        viewer.dragStartX = c.start;
        viewer.mouseX = c.end;
        clearGlCalls();
        drawView(nullptr, nullptr);
        const GlBlock last = glBlocks().back();
        EXPECT_EQ(last.mode, GL_QUADS);
        EXPECT_EQ(last.colour, SELECTION);
        using V = std::vector<std::array<double, 2>>;
        EXPECT_EQ(last.vertices, (V{{c.start, -1}, {c.end, -1}, {c.end, 1}, {c.start, 1}, {c.start, -1}}));
    }
}

TEST_F(DrawCallsTest, PendingChangeRecomputesBeforeDrawingAndKeepsTheScale) {
    // The image marks every pixel read in the GL stream, so the order can be checked.
    float value = 0.5f;
    standin::addGeneratedImage("live", 8, 8, [&value](int, int, float *rgb) {
        glCalls().push_back({"pixel", {}});
        rgb[0] = rgb[1] = rgb[2] = value;
    });
    standin::chooseItem(ui.chooser, 1);
    viewer.vZoom = 3.0f;
    value = 0.25f;
    viewer.pendingRecompute = 1;
    clearGlCalls();
    drawView(nullptr, nullptr);
    const std::vector<std::string> n = names();
    auto firstOf = [&](const char *name) { return std::find(n.begin(), n.end(), name) - n.begin(); };
    EXPECT_LT(firstOf("glClear"), firstOf("pixel"));
    EXPECT_LT(std::find(n.rbegin(), n.rend(), "pixel").base() - n.begin(), firstOf("glColor4f") + 1);
    EXPECT_EQ(std::count(n.begin(), n.end(), "pixel"), 2 * 64);
    EXPECT_EQ(viewer.vZoom, 3.0f);
    EXPECT_EQ(viewer.pendingRecompute, 0);
    EXPECT_EQ(viewer.binsR[64], 64.0f);  // the new value's bin
}
