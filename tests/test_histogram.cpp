// The histogram computation: bins, normalisation, read-outs, sampling and the vertical scale.
#include <float.h>
#include <limits.h>
#include <math.h>
#include <string.h>

#include "tests/fixture.h"

using standin::Image;

class HistogramTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        openPanel();
    }
};

struct BinCase {
    const char *what;
    int rangeMode, recalcZoom;
    float hZoom, hOffset;
    float value;
    int bin;  // -1: not counted
};

// Each case puts one value (with a companion pixel that fixes the peak) through the computation.
TEST_F(HistogramTest, ValuesLandInTheirBins) {
    const BinCase cases[] = {
        {"1.0 begins bin 256", 0, 0, 1, 0, 1.0f, 256},
        {"one half", 0, 0, 1, 0, 0.5f, 128},
        {"1/256 begins bin 1", 0, 0, 1, 0, 1.0f / 256, 1},
        {"below 1/256", 0, 0, 1, 0, 0.0039f, 0},
        {"1.21 in the top bin", 0, 0, 1, 0, 1.21f, 309},
        {"a negative value", 0, 0, 1, 0, -0.5f, 0},
        {"LDR 1.21", 1, 0, 1, 0, 1.21f, 309},
        {"LDR 1.2109375 is dropped", 1, 0, 1, 0, 1.2109375f, -1},
        {"LDR far over range is dropped", 1, 0, 1, 0, 5.0f, -1},
        {"LDR FLT_MAX is dropped", 1, 0, 1, 0, FLT_MAX, -1},
        {"ReCalc Zoom: 0.75 at offset -0.5, zoom 2", 1, 1, 2, -0.5f, 0.75f, 128},
        {"ReCalc Zoom: below the offset", 1, 1, 2, -0.5f, 0.3f, 0},
        {"ReCalc Zoom: 1.1", 1, 1, 2, -0.5f, 1.1f, 307},
        {"ReCalc Zoom: 1.2 is dropped", 1, 1, 2, -0.5f, 1.2f, -1},
        {"zoom 2 folded in: 0.5", 1, 0, 2, 0, 0.5f, 256},
        {"zoom 2 folded in: 0.605", 1, 0, 2, 0, 0.605f, 309},
        {"zoom 2 folded in: 0.60546875 is dropped", 1, 0, 2, 0, 0.60546875f, -1},
        {"NaN counts in bin 0", 1, 0, 1, 0, NAN, 0},
        {"-infinity clamps to 0", 1, 0, 1, 0, -INFINITY, 0},
        {"+infinity is dropped in LDR", 1, 0, 1, 0, INFINITY, -1},
        {"NaN with ReCalc Zoom", 1, 1, 2, -0.5f, NAN, 0},
    };
    for (const BinCase &c : cases) {
        SCOPED_TRACE(c.what);
        Image &image = rowImage(c.what, {c.value});
        viewer.rangeMode = c.rangeMode;
        viewer.recalcZoom = c.recalcZoom;
        viewer.hZoom = c.hZoom;
        viewer.hOffset = c.hOffset;
        computeFor(image);
        for (const float *bins : {viewer.binsR, viewer.binsG, viewer.binsB}) {
            if (c.bin < 0) {
                EXPECT_TRUE(filledBins(bins).empty());
            } else {
                EXPECT_EQ(filledBins(bins), std::vector<int>{c.bin});
                EXPECT_EQ(bins[c.bin], 1.0f);
            }
        }
        EXPECT_EQ(viewer.maxAll, c.bin < 0 ? 0.0f : 1.0f);
    }
}

TEST_F(HistogramTest, PeakAboveTheCeilingIsNormalisedToTheTopBin) {
    struct {
        float peak;
        float rangeScale;
        int peakBin, oneBin;
    } cases[] = {
        {1.21f, 1.0f, 309, 256},  // exactly the ceiling: no normalisation
        {1.0f, 1.0f, 256, 256},
        {2.0f, 0.605f, 309, 154},
        {4.0f, static_cast<float>(1.21f / 4.0), 309, 77},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.peak);
        Image &image = rowImage("hdr", {c.peak, 1.0f, -3.0f});
        computeFor(image);
        EXPECT_EQ(viewer.peakValue, static_cast<double>(c.peak));
        EXPECT_EQ(viewer.rangeScale, c.rangeScale);
        EXPECT_EQ(viewer.binsG[c.peakBin], c.peakBin == c.oneBin ? 2.0f : 1.0f);
        EXPECT_GE(viewer.binsG[c.oneBin], 1.0f);
        EXPECT_EQ(viewer.binsG[0], 1.0f);  // the negative value
    }
}

TEST_F(HistogramTest, InfinitePeakPutsEverythingIntoBinZero) {
    Image &image = rowImage("inf", {0.5f, INFINITY, 0.25f, NAN});
    computeFor(image);
    EXPECT_EQ(viewer.peakValue, INFINITY);
    EXPECT_EQ(viewer.rangeScale, 0.0f);
    EXPECT_EQ(viewer.binsR[0], 4.0f);
    EXPECT_EQ(filledBins(viewer.binsR), std::vector<int>{0});
}

TEST_F(HistogramTest, NanNeverBecomesThePeak) {
    Image &image = rowImage("nan", {NAN, 0.5f, NAN});
    computeFor(image);
    EXPECT_EQ(viewer.peakValue, 0.5);
    EXPECT_EQ(viewer.binsR[0], 2.0f);
    EXPECT_EQ(viewer.binsR[128], 1.0f);
}

TEST_F(HistogramTest, ReadoutsShowTheBrightestAndDarkestMeanOncePerRow) {
    // Means per pixel: row 0: 0.5, 0.2; row 1: 0.9, 0.1; row 2: 0.3, 0.3.
    std::vector<float> px = {0.5f, 0.5f, 0.5f, 0.3f, 0.2f, 0.1f, 0.9f, 0.9f, 0.9f,
                             0.0f, 0.3f, 0.0f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f};
    Image &image = standin::addImage("rows", 2, 3, px);
    computeFor(image);
    EXPECT_EQ(ui.high->texts, (std::vector<std::string>{"-", "0.500000", "0.900000", "0.900000"}));
    EXPECT_EQ(ui.low->texts, (std::vector<std::string>{"-", "0.200000", "0.100000", "0.100000"}));
    EXPECT_EQ(viewer.lumHigh, static_cast<double>(0.9f));

    // A dark image next: its own brightest and darkest means, not the bright image's.
    Image &dark = uniformImage("dark", 2, 2, 0.1f, 0.1f, 0.1f);
    computeFor(dark);
    EXPECT_EQ(ui.high->text, "0.100000");
    EXPECT_EQ(ui.low->text, "0.100000");
}

TEST_F(HistogramTest, MeanIsTakenFromTheValuesAsDelivered) {
    Image &image = rowImage("neg", {-0.3f});  // the clamped copy would give 0
    computeFor(image);
    EXPECT_EQ(ui.low->text, "-0.300000");
}

TEST_F(HistogramTest, LdrModeRunsNoPrescanAndKeepsTheReadouts) {
    Image &image = uniformImage("u", 4, 4, 0.5f, 0.5f, 0.5f);
    viewer.rangeMode = 1;
    computeFor(image);
    EXPECT_EQ(image.pixelCalls, 16);
    EXPECT_EQ(ui.high->text, "-");
    viewer.rangeMode = 0;
    image.pixelCalls = 0;
    computeFor(image);
    EXPECT_EQ(image.pixelCalls, 32);  // pre-scan and binning
}

// The benchmark reads pixels through the host without its call count; it must be the same work.
TEST_F(HistogramTest, ALeanHostGivesTheSameHistogramAndCountsNothing) {
    Image &image = rowImage("row", {0.5f, 2.0f, -1.0f, NAN, 0.75f});
    computeFor(image);
    EXPECT_EQ(image.pixelCalls, 10);
    const std::vector<float> counted(viewer.binsR, viewer.binsR + BIN_COUNT);
    const std::string high = ui.high->text;

    standin::countPixelCalls(false);
    image.pixelCalls = 0;
    computeFor(image);
    EXPECT_EQ(image.pixelCalls, 0);
    EXPECT_EQ(std::vector<float>(viewer.binsR, viewer.binsR + BIN_COUNT), counted);
    EXPECT_EQ(ui.high->text, high);

    standin::countPixelCalls(true);
    computeFor(image);
    EXPECT_EQ(image.pixelCalls, 10);
}

TEST_F(HistogramTest, QuickHistoSamplesAtMost255PositionsPerSide) {
    struct {
        int w, h;
        long long samples;
    } cases[] = {
        {100, 50, 5000}, {256, 1, 128}, {255, 1, 255}, {1000, 1, 143}, {1000, 1000, 143 * 143}, {127, 300, 127 * 150},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Image &image = standin::addGeneratedImage("g", c.w, c.h, [](int, int, float *rgb) { rgb[0] = rgb[1] = rgb[2] = 0.5f; });
        viewer.quickHisto = 1;
        viewer.rangeMode = 1;
        computeFor(image);
        EXPECT_EQ(image.pixelCalls, c.samples);
        EXPECT_EQ(image.outOfRange, 0);
        EXPECT_EQ(viewer.binsR[128], static_cast<float>(c.samples));
    }
}

TEST_F(HistogramTest, VerticalScaleClosingCases) {
    struct {
        const char *what;
        int pending, recalc;
        int pixels;  // of value 0.5
        float vZoom;
    } cases[] = {
        {"automatic: 256 over the tallest bin", 0, 0, 1000, 0.256f},
        {"nothing counted", 0, 0, 0, 1.0f},
        {"a pending change keeps the scale", 1, 0, 1000, 7.0f},
        {"ReCalc Zoom keeps the scale", 0, 1, 1000, 7.0f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Image &image = c.pixels ? uniformImage("u", c.pixels, 1, 0.5f, 0.5f, 0.5f) : standin::addImage("empty", 0, 0);
        viewer.vZoom = 7.0f;
        viewer.pendingRecompute = c.pending;
        viewer.recalcZoom = c.recalc;
        computeFor(image);
        EXPECT_EQ(viewer.vZoom, c.vZoom);
        EXPECT_EQ(viewer.pendingRecompute, 0);
    }
}

TEST_F(HistogramTest, NoImageChangesNothingAndCallsNothing) {
    Image &image = uniformImage("u", 3, 3, 0.5f, 0.2f, 0.7f);
    computeFor(image);
    viewer.currentImage = nullptr;
    viewer.pendingRecompute = 1;
    standin::host().recordCalls = true;
    image.pixelCalls = 0;
    static ViewerState before;
    memcpy(&before, &viewer, sizeof before);
    computeHistogram();
    EXPECT_EQ(memcmp(&before, &viewer, sizeof before), 0);
    EXPECT_EQ(image.pixelCalls, 0);
    EXPECT_TRUE(standin::host().calls.empty());
}

TEST_F(HistogramTest, EmptyAndNegativeSizesSampleNothing) {
    struct {
        int w, h;
        size_t fieldSets;  // per field: one per (empty) row
    } cases[] = {{0, 0, 0}, {-4, 3, 3}, {0, 5, 5}, {7, 0, 0}, {7, -2, 0}, {-1, -1, 0}};
    Image &bright = uniformImage("bright", 2, 2, 0.8f, 0.8f, 0.8f);
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        computeFor(bright);
        ui.high->texts.clear();
        Image &image = standin::addImage("odd", c.w, c.h);
        computeFor(image);
        EXPECT_EQ(image.pixelCalls, 0);
        EXPECT_TRUE(filledBins(viewer.binsR).empty());
        EXPECT_EQ(viewer.maxAll, 0.0f);
        EXPECT_EQ(viewer.vZoom, 1.0f);
        EXPECT_EQ(viewer.rangeScale, 1.0f);
        EXPECT_EQ(viewer.lumHigh, static_cast<double>(0.8f));  // kept from the bright image
        EXPECT_EQ(ui.high->texts.size(), c.fieldSets);
    }
}

TEST_F(HistogramTest, BinsAreWholeCountsWithinTheSampleCount) {
    // Random values from -0.5 to 1.5 with NaN and infinities sprinkled in.
    std::vector<float> px;
    unsigned seed = 12345;
    const float specials[] = {NAN, INFINITY, -INFINITY, -0.0f, FLT_MAX, FLT_MIN / 4};
    for (int i = 0; i < 200 * 100 * 3; i++) {
        seed = seed * 1103515245u + 12345u;
        px.push_back(i % 997 == 0 ? specials[(seed >> 8) % 6] : static_cast<float>((seed >> 8) % 20000) / 10000.0f - 0.5f);
    }
    Image &image = standin::addImage("noise", 200, 100, px);
    for (int mode = 0; mode < 2; mode++) {
        viewer.rangeMode = mode;
        computeFor(image);
        for (const float *bins : {viewer.binsR, viewer.binsG, viewer.binsB}) {
            EXPECT_LE(binSum(bins), 200.0 * 100);
            float largest = 0;
            for (int i = 0; i < BIN_COUNT; i++) {
                EXPECT_EQ(bins[i], floorf(bins[i]));
                EXPECT_GE(bins[i], 0.0f);
                largest = fmaxf(largest, bins[i]);
            }
            const float *maximum = bins == viewer.binsR ? &viewer.maxR : bins == viewer.binsG ? &viewer.maxG : &viewer.maxB;
            EXPECT_EQ(*maximum, largest);
        }
        EXPECT_EQ(viewer.maxAll, fmaxf(viewer.maxR, fmaxf(viewer.maxG, viewer.maxB)));
    }
}

TEST_F(HistogramTest, ABinStopsCountingAtTwoToThe24) {
    // 4097 x 4096 = 16,781,312 samples of one value, read in LDR mode (one pass).
    Image &image = standin::addGeneratedImage("uniform", 4097, 4096, [](int, int, float *rgb) { rgb[0] = rgb[1] = rgb[2] = 0.5f; });
    viewer.rangeMode = 1;
    computeFor(image);
    EXPECT_EQ(image.pixelCalls, 4097LL * 4096);
    EXPECT_EQ(viewer.binsR[128], 16777216.0f);
    EXPECT_EQ(viewer.maxAll, 16777216.0f);
    EXPECT_EQ(viewer.vZoom, 256.0f / 16777216.0f);
}

TEST_F(HistogramTest, HugeReportedSizesWithQuickHistoStepSafely) {
    // A step of INT_MAX / 128 = 16,777,215 takes 129 positions; stepping past the last one must
    // not overflow the position.
    struct {
        int w, h;
        long long samples;
    } cases[] = {{INT_MAX, 3, 129 * 3}, {2, INT_MAX, 2 * 129}, {INT_MAX, INT_MAX, 129 * 129}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Image &image = standin::addGeneratedImage("huge", c.w, c.h, [](int, int, float *rgb) { rgb[0] = rgb[1] = rgb[2] = 0.5f; });
        viewer.quickHisto = 1;
        viewer.rangeMode = 0;
        computeFor(image);
        EXPECT_EQ(image.pixelCalls, 2 * c.samples);
        EXPECT_EQ(image.outOfRange, 0);
        EXPECT_EQ(viewer.binsG[128], static_cast<float>(c.samples));
    }
}
