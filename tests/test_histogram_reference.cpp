// The computation against a plain step-by-step rendering of its algorithm: float counts raised
// by 1.0, running maxima, one channel at a time. Every bin, maximum, read-out and the vertical
// scale must agree bit for bit, on random images with NaN and infinities among the values.
#include <float.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <random>

#include "tests/fixture.h"

namespace {

struct Result {
    float bins[3][BIN_COUNT];
    float maxR, maxG, maxB, maxAll, rangeScale, vZoom;
    double peakValue, lumHigh, lumLow;
    int pendingRecompute;
    std::vector<std::string> highTexts, lowTexts;
};

// The algorithm as written, step by step, on a plain pixel array.
Result reference(const std::vector<float> &px, int w, int h, ViewerState s) {
    Result r = {};
    int colStep = 1, rowStep = 1;
    if (s.quickHisto) {
        colStep = static_cast<int>(w / 128.0);
        rowStep = static_cast<int>(h / 128.0);
        if (colStep < 1) colStep = 1;
        if (rowStep < 1) rowStep = 1;
    }
    auto pixel = [&](int x, int y, float *rgb) { memcpy(rgb, &px[(static_cast<size_t>(y) * w + x) * 3], 12); };
    auto text = [](double v) {
        char t[400];
        snprintf(t, sizeof t, "%f", v);
        return std::string(t);
    };
    float r0 = 1.0f;
    if (s.rangeMode == 0) {
        float peak = 0.0f;
        s.peakValue = 0.0;
        for (int y = 0; y < h; y += rowStep) {
            for (int x = 0; x < w; x += colStep) {
                float rgb[3], c[3];
                pixel(x, y, rgb);
                for (int k = 0; k < 3; k++) c[k] = rgb[k] < 0 ? 0 : rgb[k];
                double sum = static_cast<double>(rgb[0]) + static_cast<double>(rgb[1]);
                sum = sum + static_cast<double>(rgb[2]);
                float mean = static_cast<float>(sum / 3.0);
                if (x == 0 && y == 0) s.lumHigh = s.lumLow = mean;
                for (int k = 0; k < 3; k++)
                    if (c[k] >= peak) {
                        peak = c[k];
                        s.peakValue = peak;
                    }
                if (mean >= s.lumHigh) s.lumHigh = mean;
                if (mean <= s.lumLow) s.lumLow = mean;
            }
            r.highTexts.push_back(text(s.lumHigh));
            r.lowTexts.push_back(text(s.lumLow));
        }
        if (s.peakValue > static_cast<double>(HDR_CEILING))
            r0 = static_cast<float>(static_cast<double>(HDR_CEILING) / s.peakValue);
    }
    float factor;
    if (s.recalcZoom == 1) {
        s.rangeScale = r0;
        factor = 256.0f * s.hZoom;
    } else {
        factor = 256.0f;
        s.rangeScale = r0 * s.hZoom;
    }
    float *maxima[3] = {&r.maxR, &r.maxG, &r.maxB};
    for (int y = 0; y < h; y += rowStep) {
        for (int x = 0; x < w; x += colStep) {
            float rgb[3];
            pixel(x, y, rgb);
            for (int k = 0; k < 3; k++) {
                float v = s.recalcZoom == 1 ? rgb[k] + s.hOffset : rgb[k];
                if (v < 0) v = 0;
                double product = static_cast<double>(v) * static_cast<double>(s.rangeScale);
                product = product * static_cast<double>(factor);
                int bin;
                if (isnan(product)) bin = 0;
                else if (product >= 310.0) continue;
                else bin = static_cast<int>(product);
                r.bins[k][bin] += 1.0f;
                if (r.bins[k][bin] >= *maxima[k]) *maxima[k] = r.bins[k][bin];
            }
        }
    }
    r.maxAll = 0.0f;
    if (r.maxR > r.maxAll) r.maxAll = r.maxR;
    if (r.maxG > r.maxAll) r.maxAll = r.maxG;
    if (r.maxB > r.maxAll) r.maxAll = r.maxB;
    if (s.pendingRecompute) s.pendingRecompute = 0;
    else if (s.recalcZoom == 1) {
    } else if (r.maxAll > 0.0f) s.vZoom = 256.0f / r.maxAll;
    else s.vZoom = 1.0f;
    r.rangeScale = s.rangeScale;
    r.vZoom = s.vZoom;
    r.peakValue = s.peakValue;
    r.lumHigh = s.lumHigh;
    r.lumLow = s.lumLow;
    r.pendingRecompute = s.pendingRecompute;
    return r;
}

bool sameBits(double a, double b) { return memcmp(&a, &b, sizeof a) == 0; }
bool sameBits(float a, float b) { return memcmp(&a, &b, sizeof a) == 0; }

// Computes the histogram of `px` with the viewer's current settings and compares every result
// with the step-by-step algorithm.
void expectSameAsReference(const std::vector<float> &px, int w, int h, standin::PanelControls &ui) {
    ui.high->texts.clear();
    ui.low->texts.clear();
    standin::Image &image = standin::addImage("random", w, h, px);
    viewer.currentImage = &image;
    const Result want = reference(px, w, h, viewer);
    computeHistogram();
    for (int i = 0; i < BIN_COUNT; i++) {
        ASSERT_TRUE(sameBits(viewer.binsR[i], want.bins[0][i])) << "red bin " << i;
        ASSERT_TRUE(sameBits(viewer.binsG[i], want.bins[1][i])) << "green bin " << i;
        ASSERT_TRUE(sameBits(viewer.binsB[i], want.bins[2][i])) << "blue bin " << i;
    }
    EXPECT_TRUE(sameBits(viewer.maxR, want.maxR));
    EXPECT_TRUE(sameBits(viewer.maxG, want.maxG));
    EXPECT_TRUE(sameBits(viewer.maxB, want.maxB));
    EXPECT_TRUE(sameBits(viewer.maxAll, want.maxAll));
    EXPECT_TRUE(sameBits(viewer.rangeScale, want.rangeScale));
    EXPECT_TRUE(sameBits(viewer.vZoom, want.vZoom));
    EXPECT_TRUE(sameBits(viewer.peakValue, want.peakValue));
    EXPECT_TRUE(sameBits(viewer.lumHigh, want.lumHigh)) << viewer.lumHigh << " want " << want.lumHigh;
    EXPECT_TRUE(sameBits(viewer.lumLow, want.lumLow)) << viewer.lumLow << " want " << want.lumLow;
    EXPECT_EQ(viewer.pendingRecompute, want.pendingRecompute);
    EXPECT_EQ(ui.high->texts, want.highTexts);
    EXPECT_EQ(ui.low->texts, want.lowTexts);
    const long long samplesPerPass = image.pixelCalls / (viewer.rangeMode == 0 ? 2 : 1);
    EXPECT_EQ(image.pixelCalls % (viewer.rangeMode == 0 ? 2 : 1), 0);
    EXPECT_LE(samplesPerPass, static_cast<long long>(w) * h);
}

}  // namespace

// Random images, once with each set of vector steps this processor has.
static void compareOnRandomImages(standin::PanelControls &ui) {
    std::mt19937 random(20261211);
    const float specials[] = {NAN, -NAN, INFINITY, -INFINITY, -0.0f, 1e-42f, FLT_MAX, -FLT_MAX, 1.21f, 1.2109375f};
    for (int round = 0; round < 80; round++) {
        SCOPED_TRACE(round);
        const int w = static_cast<int>(random() % 300), h = static_cast<int>(random() % 200);
        std::vector<float> px(static_cast<size_t>(w) * h * 3);
        const float spread = (random() % 3 == 0) ? 4.0f : 1.5f;
        // Every fourth image holds only zeros of both signs, negatives and NaN, where the order
        // of equal zeros decides the sign of the peak and of the read-outs.
        const float dark[] = {0.0f, -0.0f, -0.5f, NAN, -NAN};
        const bool darkOnly = round % 4 == 3;
        for (float &v : px) {
            const unsigned pick = random() % 1000;
            if (darkOnly) v = dark[random() % 5];
            else v = pick < 5 ? specials[random() % 10] : std::uniform_real_distribution<float>(-0.2f, spread)(random);
        }
        viewer.rangeMode = static_cast<int>(random() % 2);
        viewer.quickHisto = static_cast<int>(random() % 2);
        viewer.recalcZoom = static_cast<int>(random() % 2);
        viewer.pendingRecompute = static_cast<int>(random() % 2);
        // A power of two as the zoom (the unzoomed view among them) makes the scale one too.
        const float powersOfTwo[] = {1.0f, 0.5f, 2.0f, 8.0f, 0x1p-10f, 0x1p20f, 0x1p-100f};
        viewer.hZoom = round % 3 == 1 ? powersOfTwo[random() % 7] : std::uniform_real_distribution<float>(0.001f, 6.0f)(random);
        viewer.hOffset = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
        viewer.vZoom = 3.0f;
        expectSameAsReference(px, w, h, ui);
    }
}

TEST_F(ModuleTest, FastComputationEqualsTheStepByStepAlgorithm) {
    openPanel();
    const bool hasAvx2 = histogramUsesAvx2;
    for (const bool avx2 : {false, true}) {
        if (avx2 && !hasAvx2) continue;  // a processor without AVX2 only ever takes the SSE2 steps
        SCOPED_TRACE(avx2 ? "AVX2" : "SSE2");
        histogramUsesAvx2 = avx2;
        compareOnRandomImages(ui);
    }
    histogramUsesAvx2 = hasAvx2;
}

// When the brightest or darkest mean becomes a zero, the last of equal zeros decides its sign,
// also when the running value was not zero before: +0 and -0 means after a grey or a dark pixel,
// in a row shorter than four pixels and in a long one where the zeros sit far apart.
TEST_F(ModuleTest, ReadOutsTakeTheLastOfEqualZeroMeans) {
    openPanel();
    viewer.rangeMode = 0;
    const float z = 0.0f, nz = -0.0f;
    const struct {
        const char *name;
        float first;
        float zeros[2];
        int width;
    } cases[] = {
        {"grey, +0, -0", 0.5f, {z, nz}, 3},     {"grey, -0, +0", 0.5f, {nz, z}, 3},
        {"dark, +0, -0", -0.5f, {z, nz}, 3},    {"dark, -0, +0", -0.5f, {nz, z}, 3},
        {"grey, long row", 0.5f, {z, nz}, 300}, {"dark, long row", -0.5f, {nz, z}, 300},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> px;
        px.insert(px.end(), {c.first, c.first, c.first});
        for (int x = 1; x < c.width; x++) {
            // the first zero early, the second one last; grey or dark pixels between them
            const float v = x == 1 ? c.zeros[0] : x == c.width - 1 ? c.zeros[1] : c.first;
            px.insert(px.end(), {v, v, v});
        }
        expectSameAsReference(px, c.width, 1, ui);
    }
}

// Read-outs whose number changes only in the sign of a zero from one row to the next: the
// second row's texts must show the new sign.
TEST_F(ModuleTest, ReadOutsShowAZeroTurningNegativeOnTheNextRow) {
    openPanel();
    viewer.rangeMode = 0;
    const float z = 0.0f, nz = -0.0f;
    // row 0: grey then +0 (Low becomes 0); row 1: -0 twice (Low becomes -0)
    const std::vector<float> px = {0.5f, 0.5f, 0.5f, z, z, z, nz, nz, nz, nz, nz, nz};
    expectSameAsReference(px, 2, 2, ui);
    EXPECT_EQ(ui.low->texts, (std::vector<std::string>{"0.000000", "-0.000000"}));
}

// A single bright value and a single dark pixel at every position of short rows, and near the
// ends of rows around the chunk size, with each set of vector steps: the peak and the read-outs
// must find them wherever they fall among the vector lanes and the leftover values.
TEST_F(ModuleTest, PrescanFindsExtremesInEveryLane) {
    openPanel();
    viewer.rangeMode = 0;
    const bool hasAvx2 = histogramUsesAvx2;
    for (const bool avx2 : {false, true}) {
        if (avx2 && !hasAvx2) continue;
        SCOPED_TRACE(avx2 ? "AVX2" : "SSE2");
        histogramUsesAvx2 = avx2;
        for (const int w : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 255, 256, 257}) {
            for (int at = 0; at < w; at++) {
                if (w > 13 && at > 12 && at < w - 13) continue;
                for (int c = 0; c < 3; c++) {
                    SCOPED_TRACE("width " + std::to_string(w) + ", at " + std::to_string(at) + ", channel " + std::to_string(c));
                    std::vector<float> px(static_cast<size_t>(w) * 3, 0.25f);
                    px[3 * at + c] = 3.0f;
                    if (w > 1) {
                        const int dark = (at + 1) % w;
                        px[3 * dark] = px[3 * dark + 1] = px[3 * dark + 2] = -1.0f;
                    }
                    expectSameAsReference(px, w, 1, ui);
                    if (HasFailure()) {
                        histogramUsesAvx2 = hasAvx2;
                        return;
                    }
                }
            }
        }
    }
    histogramUsesAvx2 = hasAvx2;
}
