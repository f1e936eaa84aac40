// histogram.h: turns the chosen host image into the three channel histograms of `viewer`.
#pragma once

// Samples `viewer.currentImage` through the host's image list, runs the HDR pre-scan (peak,
// brightest and darkest pixel mean, shown in the High and Low fields once per row), fills the
// 310 bins of each channel, records the maxima and sets the automatic vertical scale.
// Does nothing at all while no image is chosen.
void computeHistogram();

// Whether the pre-scan and the binning take AVX2 steps (the same results, faster); set where
// the processor has it. The tests turn it off to check the SSE2 steps as well.
extern bool histogramUsesAvx2;

// The bin that a product of working value, range scale and bin factor falls into, or -1 when
// it is not counted: 310.0 and above are dropped; a product that is not a number counts in bin 0.
inline int binOfProduct(double product) {
    if (product != product) return 0;
    if (!(product > -1.0 && product < 310.0)) return -1;
    return static_cast<int>(product);  // in range: truncation toward zero is defined
}
