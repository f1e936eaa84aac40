// histogram.cpp: the histogram computation.
//
// Two passes over the sampled pixels (rows outer, columns inner): an HDR pre-scan that finds the
// peak and the brightest and darkest pixel mean, then the binning pass. Each sampled pixel costs
// one imagePixelRGB call per pass; everything else is kept to plain arithmetic on the stack.
#include "engine/histogram.h"

#include <stdint.h>

#include "engine/viewer_state.h"

namespace {

// The bins are floats raised by 1.0 per sample, so a bin stops growing at 2^24. Counting in
// integers and converting once gives the same numbers.
constexpr uint64_t FLOAT_COUNT_LIMIT = 16777216;

int sampleStep(int size) {
    if (!viewer.quickHisto) return 1;
    int step = static_cast<int>(size / 128.0);  // |size / 128| always fits an int
    return step < 1 ? 1 : step;
}

float clampedAtZero(float v) { return v < 0.0f ? 0.0f : v; }  // NaN passes unchanged

// The HDR pre-scan: peak, read-outs, and the normalisation factor r0 that maps the peak to
// HDR_CEILING.
float preScan(const ImageListFuncs *images, int colStep, int rowStep) {
    ViewerState &s = viewer;
    float peak = 0.0f;
    s.peakValue = 0.0;
    for (int y = 0; y < s.imageHeight; y += rowStep) {
        for (int x = 0; x < s.imageWidth; x += colStep) {
            float rgb[3];
            images->imagePixelRGB(s.currentImage, x, y, rgb);
            // The mean is taken from the values as delivered, not from the clamped copies.
            float mean = static_cast<float>((static_cast<double>(rgb[0]) + rgb[1] + rgb[2]) / 3.0);
            if (x == 0 && y == 0) s.lumHigh = s.lumLow = mean;
            for (int c = 0; c < 3; c++) {
                float v = clampedAtZero(rgb[c]);
                if (v >= peak) peak = v, s.peakValue = v;
            }
            if (mean >= s.lumHigh) s.lumHigh = mean;
            if (mean <= s.lumLow) s.lumLow = mean;
        }
        showReadout(s.highField, s.lumHigh);
        showReadout(s.lowField, s.lumLow);
    }
    if (s.peakValue > static_cast<double>(HDR_CEILING))
        return static_cast<float>(static_cast<double>(HDR_CEILING) / s.peakValue);
    return 1.0f;
}

}  // namespace

void computeHistogram() {
    ViewerState &s = viewer;
    const ImageListFuncs *images = s.imageList;
    if (!s.currentImage || !images) return;

    images->imageSize(s.currentImage, &s.imageWidth, &s.imageHeight);
    const int colStep = sampleStep(s.imageWidth);
    const int rowStep = sampleStep(s.imageHeight);

    const float r0 = s.rangeMode == 0 ? preScan(images, colStep, rowStep) : 1.0f;

    float binFactor;
    if (s.recalcZoom == 1) {
        s.rangeScale = r0;
        binFactor = 256.0f * s.hZoom;
    } else {
        binFactor = 256.0f;
        s.rangeScale = r0 * s.hZoom;
    }
    // The index is (value x rangeScale) x binFactor in double precision. A product of two floats
    // is exact in a double, so folding the two factors first rounds exactly as left to right.
    const double scale = static_cast<double>(s.rangeScale) * binFactor;
    const bool addOffset = s.recalcZoom == 1;
    const float offset = s.hOffset;

    // Slot BIN_COUNT collects the samples that are not counted, so the loop has no branch on it.
    uint64_t counts[3][BIN_COUNT + 1] = {};
    for (int y = 0; y < s.imageHeight; y += rowStep) {
        for (int x = 0; x < s.imageWidth; x += colStep) {
            float rgb[3];
            images->imagePixelRGB(s.currentImage, x, y, rgb);
            for (int c = 0; c < 3; c++) {
                float v = addOffset ? rgb[c] + offset : rgb[c];  // offset before the clamp
                int bin = binOfProduct(clampedAtZero(v) * scale);
                counts[c][bin < 0 ? BIN_COUNT : bin]++;
            }
        }
    }

    float *bins[3] = {s.binsR, s.binsG, s.binsB};
    float *maxima[3] = {&s.maxR, &s.maxG, &s.maxB};
    for (int c = 0; c < 3; c++) {
        *maxima[c] = 0.0f;
        for (int i = 0; i < BIN_COUNT; i++) {
            uint64_t n = counts[c][i] < FLOAT_COUNT_LIMIT ? counts[c][i] : FLOAT_COUNT_LIMIT;
            bins[c][i] = static_cast<float>(n);
            if (bins[c][i] >= *maxima[c]) *maxima[c] = bins[c][i];
        }
    }
    s.maxAll = 0.0f;
    if (s.maxR > s.maxAll) s.maxAll = s.maxR;
    if (s.maxG > s.maxAll) s.maxAll = s.maxG;
    if (s.maxB > s.maxAll) s.maxAll = s.maxB;

    if (s.pendingRecompute) {
        s.pendingRecompute = 0;  // a host change keeps the user's vertical scale
    } else if (s.recalcZoom == 1) {
        // ReCalc Zoom keeps the vertical scale too
    } else if (s.maxAll > 0.0f) {
        s.vZoom = 256.0f / s.maxAll;
    } else {
        s.vZoom = 1.0f;
    }
}
