// Zoom, offset, Reset, the channel and range choices, the probe and the selection.
#include <float.h>
#include <math.h>

#include "navigation/probe.h"
#include "navigation/view_controls.h"
#include "render/geometry.h"
#include "tests/fixture.h"

using standin::Control;

class NavigationTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        openPanel();
    }
    // A 16 x 16 image of 0.5 grey, chosen: the state right after an image choice.
    void chooseGrey() {
        uniformImage("grey", 16, 16, 0.5f, 0.5f, 0.5f);
        standin::chooseItem(ui.chooser, 1);
    }
};

TEST_F(NavigationTest, DragStepsOnePerEventInTheDirectionOfTheChange) {
    struct {
        const char *what;
        int button;  // 0 hZoom, 1 vZoom, 2 offset
        float start;
        int last, value;
        float want;
    } cases[] = {
        {"hzoom up by any amount", 0, 1.0f, 0, 5, 1.1f},
        {"hzoom down", 0, 1.0f, 0, -1, static_cast<float>(0.9)},
        {"hzoom unchanged", 0, 1.0f, 3, 3, 1.0f},
        {"hzoom floor", 0, 0.0f, 0, 1, 0.001f},
        {"hzoom floor on the way down", 0, 0.0f, 0, -1, 0.001f},
        {"vzoom up lowers the bars", 1, 2.0f, 0, 1, 1.8f},
        {"vzoom down raises them", 1, 2.0f, 0, -1, 2.2f},
        {"vzoom floor", 1, 0.0f, 0, 1, 0.0001f},
        {"offset up", 2, 0.0f, 0, 9, 0.01f},
        {"offset down", 2, 0.0f, 0, -9, -0.01f},
        {"offset has no bound", 2, -1000.0f, 0, -1, static_cast<float>(-1000.0f - 0.01)},
        {"a huge zoom stays finite", 0, FLT_MAX, 0, 1, FLT_MAX},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Control *button = c.button == 0 ? ui.hZoom : c.button == 1 ? ui.vZoom : ui.offset;
        float *variable = c.button == 0 ? &viewer.hZoom : c.button == 1 ? &viewer.vZoom : &viewer.hOffset;
        int *last = c.button == 0 ? &viewer.lastHZoomDrag : c.button == 1 ? &viewer.lastVZoomDrag : &viewer.lastOffsetDrag;
        *variable = c.start;
        *last = c.last;
        const int draws = ui.view->draws;
        standin::dragTo(button, c.value);
        EXPECT_EQ(*variable, c.want);
        EXPECT_EQ(*last, c.value);
        EXPECT_EQ(ui.view->draws, draws + 1);
    }
}

TEST_F(NavigationTest, StepsAccumulateInFloats) {
    for (int v = 1; v <= 3; v++) standin::dragTo(ui.offset, v);
    EXPECT_EQ(viewer.hOffset, static_cast<float>(static_cast<float>(static_cast<float>(0.0 + 0.01) + 0.01) + 0.01));
    EXPECT_NEAR(viewer.hOffset, 0.03f, 1e-7);
    for (int v = 2; v >= 0; v--) standin::dragTo(ui.offset, v);
    EXPECT_NEAR(viewer.hOffset, 0.0f, 1e-7);
}

TEST_F(NavigationTest, FirstDragAfterAChoiceComparesWithOne) {
    chooseGrey();
    standin::dragTo(ui.hZoom, 0);
    EXPECT_EQ(viewer.hZoom, static_cast<float>(0.9));
    chooseGrey();
    standin::dragTo(ui.offset, 2);
    EXPECT_EQ(viewer.hOffset, 0.01f);
}

TEST_F(NavigationTest, HorizontalChangesRecomputeOnlyInReCalcZoomMode) {
    chooseGrey();
    for (int recalc : {0, 1}) {
        viewer.recalcZoom = recalc;
        for (Control *button : {ui.hZoom, ui.offset, ui.vZoom}) {
            standin::resetPixelCalls();
            standin::dragTo(button, button->value);  // the same value: no step, still recomputes
            const bool recomputes = recalc && button != ui.vZoom;
            EXPECT_EQ(standin::pixelCalls(), recomputes ? 2 * 256 : 0) << button->index << " recalc " << recalc;
        }
    }
}

TEST_F(NavigationTest, ResetReturnsToTheSavedZooms) {
    standin::press(ui.reset);  // before any image: the saved zooms are 0
    EXPECT_EQ(viewer.hZoom, 0.0f);
    EXPECT_EQ(viewer.vZoom, 0.0f);
    standin::dragTo(ui.hZoom, 1);
    EXPECT_EQ(viewer.hZoom, 0.001f);

    chooseGrey();
    standin::dragTo(ui.hZoom, 4);
    standin::dragTo(ui.vZoom, 4);
    standin::dragTo(ui.offset, 4);
    standin::resetPixelCalls();
    standin::press(ui.reset);
    EXPECT_EQ(viewer.hZoom, 1.0f);
    EXPECT_EQ(viewer.vZoom, 1.0f);  // 256 over the tallest bin of 256 samples
    EXPECT_EQ(viewer.hOffset, 0.0f);
    EXPECT_EQ(standin::pixelCalls(), 0);
    viewer.recalcZoom = 1;
    standin::press(ui.reset);
    EXPECT_EQ(standin::pixelCalls(), 512);
}

TEST_F(NavigationTest, ChannelAndRangeChoices) {
    chooseGrey();
    standin::resetPixelCalls();
    standin::chooseItem(ui.channel, 2);
    EXPECT_EQ(viewer.channel, 2);
    EXPECT_EQ(standin::pixelCalls(), 0);
    standin::chooseItem(ui.channel, 9);  // not an item: ignored
    EXPECT_EQ(viewer.channel, 2);

    standin::chooseItem(ui.range, 1);  // LDR: recomputed without a pre-scan
    EXPECT_EQ(viewer.rangeMode, 1);
    EXPECT_EQ(standin::pixelCalls(), 256);
    standin::chooseItem(ui.range, 0);
    EXPECT_EQ(viewer.rangeMode, 0);
    EXPECT_EQ(standin::pixelCalls(), 256 + 512);
}

class ProbeTest : public NavigationTest {
protected:
    // Bin i of red holds 1000 + i, green 10 x i, blue 1: the Val text names the bin read.
    void markBins() {
        for (int i = 0; i < BIN_COUNT; i++) {
            viewer.binsR[i] = 1000.0f + i;
            viewer.binsG[i] = 10.0f * i;
            viewer.binsB[i] = 1.0f;
        }
    }
};

TEST_F(ProbeTest, PosAndValAtPanelPositions) {
    struct {
        float hZoom;
        int x;
        const char *pos;
        int bin;  // -1: Val keeps its text
    } cases[] = {
        {1, 10, "0.000000", 0},  {1, 266, "1.000000", 256}, {1, 8, "-0.007812", -1}, {1, 320, "1.210938", -1},
        {2, 16, "0.001953", 0},  {2, 36, "0.041016", 10},   {2, 272, "0.501953", 128}, {2, 14, "-0.001953", 0},
        {2, 12, "-0.005859", -1},
    };
    chooseGrey();
    viewer.channel = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.hZoom) + " at " + std::to_string(c.x));
        markBins();
        viewer.hZoom = c.hZoom;
        ui.val->text = "kept";
        standin::mouseMove(ui.panel, c.x, 80);
        EXPECT_EQ(ui.pos->text, c.pos);
        EXPECT_EQ(ui.val->text, c.bin < 0 ? "kept" : std::to_string(1000 + c.bin) + ".000000");
    }
}

TEST_F(ProbeTest, ValReadsTheChosenChannelAndTheBwSum) {
    chooseGrey();
    markBins();
    viewer.hZoom = 2.0f;
    const struct {
        int channel;
        const char *val;
    } cases[] = {{0, "2409.000000"}, {1, "1128.000000"}, {2, "1280.000000"}, {3, "1.000000"}};
    for (const auto &c : cases) {
        viewer.channel = c.channel;
        standin::mouseMove(ui.panel, 272, 80);  // between bars 128 and 129
        EXPECT_EQ(ui.val->text, c.val) << c.channel;
    }
}

TEST_F(ProbeTest, OtherStatesReadTheBarUnderThePointer) {
    // An HDR image (peak 2): the bins are scaled, so the probe reads the bar at or left of x.
    std::vector<float> px = {2.0f, 2.0f, 2.0f, 1.0f, 1.0f, 1.0f};
    standin::addImage("hdr", 2, 1, px);
    standin::chooseItem(ui.chooser, 1);
    ASSERT_NE(viewer.rangeScale, 1.0f);
    viewer.channel = 1;
    viewer.hZoom = 2.0f;  // bar i at panel x 15 + 2i
    standin::mouseMove(ui.panel, 16 + 2 * 154, 80);  // bar 154 holds the 1.0 pixel
    EXPECT_EQ(ui.val->text, "1.000000");
    EXPECT_EQ(probeBin(mouseXFromPanel(16 + 2 * 309)), 309);
    EXPECT_EQ(probeBin(mouseXFromPanel(16 + 2 * 310)), -1);
    EXPECT_EQ(probeBin(mouseXFromPanel(12)), -1);
}

TEST_F(ProbeTest, WithoutAValueSpanBothTextsAreKept) {
    // Before any computation the range scale is 0; then Reset before an image makes hZoom 0.
    standin::mouseMove(ui.panel, 100, 80);
    EXPECT_EQ(ui.pos->text, "-");
    EXPECT_EQ(ui.val->text, "-");
    standin::press(ui.reset);
    viewer.rangeScale = 1.0f;
    standin::mouseMove(ui.panel, 100, 80);
    EXPECT_EQ(ui.pos->text, "-");
}

TEST_F(ProbeTest, DragStateMachine) {
    struct {
        const char *what;
        int dragging;
        bool held;
        int x;
        int wantDragging;
        bool startMoves, redraws;
    } cases[] = {
        {"idle, press left of 266 starts", 0, true, 265, 1, true, true},
        {"idle, press at 266 does not", 0, true, 266, 0, false, true},
        {"marking, held keeps the start", 1, true, 100, 1, false, true},
        {"marking, release ends without a redraw", 1, false, 100, 0, false, false},
        {"idle, move without the button", 0, false, 100, 0, false, false},
    };
    chooseGrey();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        viewer.dragging = c.dragging;
        viewer.dragStartX = 0.75f;
        ui.panel->buttonHeld = c.held;
        const int draws = ui.view->draws;
        standin::mouseMove(ui.panel, c.x, 500);
        EXPECT_EQ(viewer.dragging, c.wantDragging);
        EXPECT_EQ(viewer.dragStartX, c.startMoves ? mouseXFromPanel(c.x) : 0.75f);
        EXPECT_EQ(ui.view->draws, draws + (c.redraws ? 1 : 0));
        EXPECT_EQ(viewer.mouseX, mouseXFromPanel(c.x));
    }
}

TEST_F(ProbeTest, NormalSelectionZoomsToTheRange) {
    for (bool leftToRight : {true, false}) {
        SCOPED_TRACE(leftToRight);
        chooseGrey();
        // Panel x 85 is view x -0.5, panel x 165 is view x 0.
        standin::mousePress(ui.panel, leftToRight ? 85 : 165, 50);
        standin::mouseMove(ui.panel, leftToRight ? 165 : 85, 50);
        standin::mouseRelease(ui.panel, leftToRight ? 165 : 85, 50);
        standin::resetPixelCalls();
        standin::press(ui.selection);
        EXPECT_NEAR(viewer.hZoom, 3.875f, 1e-5);
        EXPECT_NEAR(viewer.hOffset, -1.9375f, 1e-5);
        EXPECT_EQ(standin::pixelCalls(), 0);
        // The bar that was at -0.5 is now at the left edge, the one at 0 at 0.9375.
        const int barAtHalf = 80 - 5, barAtZero = 160 - 5;
        EXPECT_NEAR(viewGeometry().barX(barAtHalf), -1.0f, 1e-5);
        EXPECT_NEAR(viewGeometry().barX(barAtZero), 0.9375f, 1e-5);
    }
}

TEST_F(ProbeTest, ZeroWidthSelectionRestoresTheSavedZooms) {
    for (int recalc : {0, 1}) {
        SCOPED_TRACE(recalc);
        chooseGrey();
        viewer.recalcZoom = recalc;
        standin::dragTo(ui.hZoom, 5);
        standin::dragTo(ui.vZoom, 5);
        standin::mousePress(ui.panel, 100, 50);
        standin::mouseRelease(ui.panel, 100, 50);
        standin::resetPixelCalls();
        standin::press(ui.selection);
        EXPECT_EQ(viewer.hZoom, viewer.savedHZoom);
        EXPECT_EQ(viewer.vZoom, viewer.savedVZoom);
        EXPECT_EQ(viewer.hOffset, 0.0f);
        EXPECT_EQ(standin::pixelCalls(), recalc ? 512 : 0);
    }
}

TEST_F(ProbeTest, ReCalcZoomSelectionFillsTheBinsWithTheRange) {
    // Values 0.1, 0.25, 0.375, 0.5 and 0.6 in red.
    std::vector<float> px;
    for (float v : {0.1f, 0.25f, 0.375f, 0.5f, 0.6f}) px.insert(px.end(), {v, 0.0f, 0.0f});
    standin::addImage("steps", 5, 1, px);
    standin::chooseItem(ui.chooser, 1);
    standin::pickMenuItem(ui.options, 2);  // ReCalc Zoom on
    // Channel values 0.25 and 0.5 lie at panel x 74 and 138.
    standin::mousePress(ui.panel, 74, 50);
    standin::mouseMove(ui.panel, 138, 50);
    standin::mouseRelease(ui.panel, 138, 50);
    standin::press(ui.selection);
    EXPECT_NEAR(viewer.hZoom, 4.0f, 1e-5);
    EXPECT_NEAR(viewer.hOffset, -0.25f, 1e-6);
    // 0.1 and 0.25 fall into bin 0, 0.375 half way, 0.5 at 256 bars, 0.6 beyond the top bin.
    std::vector<int> bins = filledBins(viewer.binsR);
    ASSERT_EQ(bins.size(), 3u);
    EXPECT_EQ(bins[0], 0);
    EXPECT_EQ(viewer.binsR[0], 2.0f);
    EXPECT_NEAR(bins[1], 128, 1);
    EXPECT_NEAR(bins[2], 256, 1);
    // The probe now reads the value under the pointer from the new geometry.
    standin::mouseMove(ui.panel, 153, 50);  // bar 128 (the margin grows with the zoom here)
    EXPECT_EQ(ui.pos->text.substr(0, 5), "0.375");
}

TEST_F(ProbeTest, SelectionWithoutAnyDragUsesStartZero) {
    chooseGrey();
    standin::mouseMove(ui.panel, 245, 50);  // view x 0.5; the drag start is still 0.0
    standin::press(ui.selection);
    EXPECT_NEAR(viewer.hZoom, 3.875f, 1e-5);
    EXPECT_NEAR(viewer.hOffset, -3.875f, 1e-5);
    standin::press(ui.selection);  // twice: the same ends, from the zoom and offset of the first
    EXPECT_NEAR(viewer.hZoom, 15.015625f, 1e-3);
    EXPECT_NEAR(viewer.hOffset, -18.890625f, 1e-3);
}
