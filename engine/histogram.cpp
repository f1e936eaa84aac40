// histogram.cpp: the histogram computation.
//
// Two passes over the sampled pixels (rows outer, columns inner): an HDR pre-scan that finds the
// peak and the brightest and darkest pixel mean, then the binning pass. Each sampled pixel costs
// one imagePixelRGB call per pass. The pixels of a row are fetched from the host in chunks and
// then worked on in a tight loop on the stack, so the host calls and the arithmetic each run
// without waiting on the other; nothing is allocated.
#include "engine/histogram.h"

#include <float.h>
#include <math.h>
#include <stdint.h>

#include <emmintrin.h>
#include <immintrin.h>

#include "engine/viewer_state.h"

namespace {

constexpr int CHUNK = 256;  // sampled pixels fetched before they are worked on
// The bins are counted in four copies, one per pixel of a group of four, so that a run of one
// bin does not wait on its own count. The copies of a bin sit side by side and a channel's four
// counts are raised one after the other: neighbouring pixels mostly fall into nearby bins, and
// stores to one cache line leave the processor faster than stores to four.
constexpr int GROUP = 4;

// The bins are floats raised by 1.0 per sample, so a bin stops growing at 2^24. Counting in
// integers and converting once gives the same numbers.
constexpr uint64_t FLOAT_COUNT_LIMIT = 16777216;
// The copies count in 16 bits, so that eight bins' copies share a cache line. They are added
// to the totals before a next chunk could make one overflow: a copy counts at most one sample
// per pixel (a quarter of them in fact), so fewer than 65536 pixels are always safe.
constexpr int64_t FLUSH_SAMPLES = 65535 - CHUNK;

struct Sampling {
    const ImageListFuncs *images;
    void *image;
    int width, height;
    int colStep, rowStep;
};

int sampleStep(int size) {
    if (!viewer.quickHisto) return 1;
    int step = static_cast<int>(size / 128.0);  // |size / 128| always fits an int
    return step < 1 ? 1 : step;
}

// Fetches the next sampled pixels of row y from column *x on, at most CHUNK; answers how many.
// Positions are 64-bit so that stepping past the last column cannot overflow. What the loop
// needs is copied into locals first: the host call could change anything reachable through a
// pointer, so the compiler would otherwise reload it all, and the column through memory, after
// every call.
int fetch(const Sampling &s, int64_t y, int64_t *x, float *rgb) {
    void (*const pixelRGB)(void *, int, int, float *) = s.images->imagePixelRGB;
    void *const image = s.image;
    const int64_t width = s.width, step = s.colStep;
    int64_t column = *x;
    const int64_t left = (width - column + step - 1) / step;  // sampled columns from here on
    const int count = left < CHUNK ? static_cast<int>(left) : CHUNK;
    for (int n = 0; n < count; n++, column += step)
        pixelRGB(image, static_cast<int>(column), static_cast<int>(y), rgb + 3 * n);
    *x = column;
    return count;
}

// The running values of the pre-scan, kept out of `viewer` while the host is being called.
struct Scan {
    float peak;
    double high, low;
};

float meanOf(const float *p) {
    return static_cast<float>((static_cast<double>(p[0]) + p[1] + p[2]) / 3.0);
}

// The pre-scan's steps for n pixels, in order: a new value takes over when it is greater than
// or equal to the running one (so NaN never does, and of equal zeros the last one counts).
void scanInOrder(const float *rgb, int n, Scan *scan) {
    float peak = scan->peak;
    double high = scan->high, low = scan->low;
    for (int i = 0; i < n; i++) {
        for (int c = 0; c < 3; c++) {
            const float v = rgb[3 * i + c] < 0.0f ? 0.0f : rgb[3 * i + c];
            if (v >= peak) peak = v;
        }
        const float mean = meanOf(rgb + 3 * i);
        if (mean >= high) high = mean;
        if (mean <= low) low = mean;
    }
    scan->peak = peak;
    scan->high = high;
    scan->low = low;
}

// The running maxima and minima below never hold a NaN (a NaN operand leaves the running value),
// so these lane reductions need none of fmax's care for it.
float largestOf(__m128 v) {
    v = _mm_max_ps(v, _mm_movehl_ps(v, v));
    return _mm_cvtss_f32(_mm_max_ss(v, _mm_shuffle_ps(v, v, 1)));
}

double largestOf(__m128d v) { return _mm_cvtsd_f64(_mm_max_sd(v, _mm_unpackhi_pd(v, v))); }
double smallestOf(__m128d v) { return _mm_cvtsd_f64(_mm_min_sd(v, _mm_unpackhi_pd(v, v))); }

__m128d twoValues(const float *p) {
    return _mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double *>(p))));
}

// Red + green + blue of two pixels (six values), red plus green first, in double precision.
__m128d twoSums(const float *q) {
    const __m128d a = twoValues(q), b = twoValues(q + 2), c = twoValues(q + 4);
    const __m128d red = _mm_shuffle_pd(a, b, 2), green = _mm_shuffle_pd(a, c, 1), blue = _mm_shuffle_pd(b, c, 2);
    return _mm_add_pd(_mm_add_pd(red, green), blue);
}

// What the vector steps of the pre-scan keep: the largest channel value (starting at 0) and
// the largest and smallest pixel sum.
struct Extremes {
    float peak;
    double highSum, lowSum;
};

// The same sums for four pixels (twelve values) with AVX2, converted to doubles as three vectors;
// blends and lane permutations gather each pixel's red, green and blue into the same lane (the
// pixels' order is of no matter to a maximum or a minimum).
__attribute__((target("avx2"))) inline __m256d fourSums(const float *q) {
    const __m256d a = _mm256_cvtps_pd(_mm_loadu_ps(q));      // r0 g0 b0 r1
    const __m256d b = _mm256_cvtps_pd(_mm_loadu_ps(q + 4));  // g1 b1 r2 g2
    const __m256d c = _mm256_cvtps_pd(_mm_loadu_ps(q + 8));  // b2 r3 g3 b3
    // red as blended: r0 r3 r2 r1; green g1 g0 g3 g2 and blue b2 b1 b0 b3 are turned to match
    const __m256d red = _mm256_blend_pd(_mm256_blend_pd(a, b, 4), c, 2);
    const __m256d green = _mm256_permute4x64_pd(_mm256_blend_pd(_mm256_blend_pd(a, b, 9), c, 4), 0x39);
    const __m256d blue = _mm256_permute4x64_pd(_mm256_blend_pd(_mm256_blend_pd(a, b, 2), c, 9), 0x4e);
    return _mm256_add_pd(_mm256_add_pd(red, green), blue);
}

// The first pixels of a chunk, four at a time with AVX2; answers how many it took. Each maximum
// and minimum is kept in several registers that are merged at the end: one register would make
// every step wait for the one before, and the host calls that follow would wait for them all.
__attribute__((target("avx2"))) int extremesAvx2(const float *rgb, int n, Extremes *e) {
    const int pixels = n & ~3, values = 3 * pixels;
    __m256 peakA = _mm256_setzero_ps(), peakB = peakA, peakC = peakA, peakD = peakA;
    int i = 0;
    for (; i + 32 <= values; i += 32) {
        peakA = _mm256_max_ps(_mm256_loadu_ps(rgb + i), peakA);
        peakB = _mm256_max_ps(_mm256_loadu_ps(rgb + i + 8), peakB);
        peakC = _mm256_max_ps(_mm256_loadu_ps(rgb + i + 16), peakC);
        peakD = _mm256_max_ps(_mm256_loadu_ps(rgb + i + 24), peakD);
    }
    for (; i + 8 <= values; i += 8) peakA = _mm256_max_ps(_mm256_loadu_ps(rgb + i), peakA);
    const __m256 peak8 = _mm256_max_ps(_mm256_max_ps(peakA, peakB), _mm256_max_ps(peakC, peakD));
    __m128 peak4 = _mm_max_ps(_mm256_castps256_ps128(peak8), _mm256_extractf128_ps(peak8, 1));
    if (i < values) peak4 = _mm_max_ps(_mm_loadu_ps(rgb + i), peak4);  // the last four values
    e->peak = largestOf(peak4);

    __m256d highA = _mm256_set1_pd(-INFINITY), highB = highA, lowA = _mm256_set1_pd(INFINITY), lowB = lowA;
    int p = 0;
    for (; p + 8 <= pixels; p += 8) {
        const __m256d sumA = fourSums(rgb + 3 * p), sumB = fourSums(rgb + 3 * p + 12);
        highA = _mm256_max_pd(sumA, highA);  // a NaN sum leaves the running value
        highB = _mm256_max_pd(sumB, highB);
        lowA = _mm256_min_pd(sumA, lowA);
        lowB = _mm256_min_pd(sumB, lowB);
    }
    if (p < pixels) {
        const __m256d sum = fourSums(rgb + 3 * p);
        highA = _mm256_max_pd(sum, highA);
        lowA = _mm256_min_pd(sum, lowA);
    }
    const __m256d high4 = _mm256_max_pd(highA, highB), low4 = _mm256_min_pd(lowA, lowB);
    e->highSum = largestOf(_mm_max_pd(_mm256_castpd256_pd128(high4), _mm256_extractf128_pd(high4, 1)));
    e->lowSum = smallestOf(_mm_min_pd(_mm256_castpd256_pd128(low4), _mm256_extractf128_pd(low4, 1)));
    return pixels;
}

// The same steps, in SSE2: the largest channel value (NaN and values below 0 count as 0, and
// the peak starts at 0) four at a time, and the largest and smallest pixel sum, red plus green
// first, in double precision two pixels at a time. Dividing by 3 and rounding to float never
// reverse an order, so the brightest mean is the mean of the largest sum and the darkest that
// of the smallest: two divisions per chunk instead of one per pixel. NaN sums never take over.
// Where order could decide the sign of a zero (a chunk whose extreme is a zero that ties with or
// takes over from the running value) the chunk takes the steps in order.
void scanPixels(const float *rgb, int n, Scan *scan) {
    Extremes e = {0.0f, -INFINITY, INFINITY};
    const int done = histogramUsesAvx2 ? extremesAvx2(rgb, n, &e) : 0;

    __m128 peakA = _mm_set1_ps(e.peak), peakB = peakA, peakC = peakA, peakD = peakA;
    int i = 3 * done;
    for (; i + 16 <= 3 * n; i += 16) {
        peakA = _mm_max_ps(_mm_loadu_ps(rgb + i), peakA);
        peakB = _mm_max_ps(_mm_loadu_ps(rgb + i + 4), peakB);
        peakC = _mm_max_ps(_mm_loadu_ps(rgb + i + 8), peakC);
        peakD = _mm_max_ps(_mm_loadu_ps(rgb + i + 12), peakD);
    }
    for (; i + 4 <= 3 * n; i += 4) peakA = _mm_max_ps(_mm_loadu_ps(rgb + i), peakA);
    float peak = largestOf(_mm_max_ps(_mm_max_ps(peakA, peakB), _mm_max_ps(peakC, peakD)));
    for (; i < 3 * n; i++)
        if (rgb[i] > peak) peak = rgb[i];

    __m128d highA = _mm_set1_pd(e.highSum), highB = highA, lowA = _mm_set1_pd(e.lowSum), lowB = lowA;
    int p = done;
    for (; p + 4 <= n; p += 4) {
        const __m128d sumA = twoSums(rgb + 3 * p), sumB = twoSums(rgb + 3 * p + 6);
        highA = _mm_max_pd(sumA, highA);  // a NaN sum leaves the running value
        highB = _mm_max_pd(sumB, highB);
        lowA = _mm_min_pd(sumA, lowA);
        lowB = _mm_min_pd(sumB, lowB);
    }
    if (p + 2 <= n) {
        const __m128d sum = twoSums(rgb + 3 * p);
        highA = _mm_max_pd(sum, highA);
        lowA = _mm_min_pd(sum, lowA);
        p += 2;
    }
    double highSum = largestOf(_mm_max_pd(highA, highB)), lowSum = smallestOf(_mm_min_pd(lowA, lowB));
    for (; p < n; p++) {
        const float *q = rgb + 3 * p;
        const double sum = static_cast<double>(q[0]) + q[1] + q[2];
        if (sum > highSum) highSum = sum;
        if (sum < lowSum) lowSum = sum;
    }
    const float high = static_cast<float>(highSum / 3.0), low = static_cast<float>(lowSum / 3.0);

    const bool peakTie = peak == scan->peak && peak == 0.0f;
    const bool highTie = high == 0.0f && !(scan->high > 0.0);
    const bool lowTie = low == 0.0f && !(scan->low < 0.0);
    if (peakTie || highTie || lowTie) {
        scanInOrder(rgb, n, scan);
        return;
    }
    if (peak > scan->peak) scan->peak = peak;
    if (high > scan->high) scan->high = high;
    if (low < scan->low) scan->low = low;
}

// The HDR pre-scan: peak, read-outs (refreshed after every sampled row), and the normalisation
// factor r0 that maps the peak to HDR_CEILING.
float preScan(const Sampling &s) {
    ViewerState &v = viewer;
    Scan scan = {0.0f, v.lumHigh, v.lumLow};
    ReadoutText highText, lowText;  // the extremes mostly stay put from one row to the next
    highText.formatted = lowText.formatted = false;
    float rgb[CHUNK * 3];
    for (int64_t y = 0; y < s.height; y += s.rowStep) {
        int64_t x = 0;
        while (x < s.width) {
            const bool first = x == 0 && y == 0;
            const int n = fetch(s, y, &x, rgb);
            if (first) scan.high = scan.low = meanOf(rgb);
            scanPixels(rgb, n, &scan);
        }
        v.lumHigh = scan.high;
        v.lumLow = scan.low;
        showReadout(v.highField, v.lumHigh, &highText);
        showReadout(v.lowField, v.lumLow, &lowText);
    }
    v.peakValue = scan.peak;
    if (v.peakValue > static_cast<double>(HDR_CEILING))
        return static_cast<float>(static_cast<double>(HDR_CEILING) / v.peakValue);
    return 1.0f;
}

// The counts of the binning pass; slot BIN_COUNT collects the samples that are not counted.
struct Counts {
    uint16_t row[3][BIN_COUNT + 1][GROUP];
    uint64_t total[3][BIN_COUNT + 1];
    int64_t sinceFlush;
};

void flush(Counts *counts) {
    for (int c = 0; c < 3; c++)
        for (int i = 0; i <= BIN_COUNT; i++)
            for (int k = 0; k < GROUP; k++) {
                counts->total[c][i] += counts->row[c][i][k];
                counts->row[c][i][k] = 0;
            }
    counts->sinceFlush = 0;
}

// How the binning pass maps values to bins, settled once per computation.
struct Binning {
    float offset;  // 0 outside ReCalc Zoom; added before the clamp
    double scale;  // rangeScale x bin factor
    bool vectors;  // a finite scale above 0 (every view but a degenerate one): the vector steps
    // A scale that is a power of two within the normal floats (the unzoomed view's 256) changes
    // only the exponent, so the product is exact in single precision too, or overflows to
    // infinity where the double product is far above 310, or falls below 1 either way: the
    // truncated bins are the same without the conversions to double.
    bool singlePrecision;
};

Binning binningFor(float offset, double scale) {
    int exponent = 0;
    const bool powerOfTwo = frexp(scale, &exponent) == 0.5 && exponent > -125 && exponent < 128;
    const bool vectors = scale > 0.0 && scale <= DBL_MAX;
    return {offset, scale, vectors, vectors && powerOfTwo};
}

// The same four-at-a-time steps of binPixels, eight values at a time with AVX2 (the same operations
// on wider registers, so the same results); answers how many values it took.
__attribute__((target("avx2"))) int slotsAvx2(const float *rgb, int count, const Binning &b, int *slot) {
    const __m256 offsets = _mm256_set1_ps(b.offset), zero = _mm256_setzero_ps();
    const __m256d scales = _mm256_set1_pd(b.scale), top = _mm256_set1_pd(310.0);
    int i = 0;
    if (b.singlePrecision) {
        const __m256 scalef = _mm256_set1_ps(static_cast<float>(b.scale)), topf = _mm256_set1_ps(310.0f);
        for (; i + 8 <= count; i += 8) {
            const __m256 v = _mm256_max_ps(_mm256_add_ps(_mm256_loadu_ps(rgb + i), offsets), zero);
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(slot + i), _mm256_cvttps_epi32(_mm256_min_ps(_mm256_mul_ps(v, scalef), topf)));
        }
        return i;
    }
    for (; i + 8 <= count; i += 8) {
        const __m256 v = _mm256_max_ps(_mm256_add_ps(_mm256_loadu_ps(rgb + i), offsets), zero);
        const __m256d low = _mm256_min_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(v)), scales), top);
        const __m256d high = _mm256_min_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(v, 1)), scales), top);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(slot + i), _mm256_cvttpd_epi32(low));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(slot + i + 4), _mm256_cvttpd_epi32(high));
    }
    return i;
}

// The binning pass over n pixels: (working value x rangeScale) x bin factor in double precision,
// truncated; 310.0 and above (and +infinity) are dropped, a product that is not a number counts
// in bin 0. A product of two floats is exact in a double, so folding rangeScale and the bin
// factor into one `scale` first rounds exactly as left to right.
//
// With `vectors` this is done four values at a time in SSE2, without branches: the working
// value max(v + offset, 0), with NaN and -0 taken as 0 (both land in bin 0 either way), times
// the scale can only be a number from 0 to +infinity, and truncating min(product, 310) gives the
// bin, or 310 for a value that is not counted. Other scales take the steps one value at a time,
// exactly as stated.
void binPixels(const float *rgb, int n, const Binning &b, Counts *counts) {
    int slot[CHUNK * 3];
    int i = 0;
    if (b.vectors) {
        if (histogramUsesAvx2) i = slotsAvx2(rgb, 3 * n, b, slot);
        const __m128 offsets = _mm_set1_ps(b.offset), zero = _mm_setzero_ps();
        const __m128d scales = _mm_set1_pd(b.scale), top = _mm_set1_pd(310.0);
        if (b.singlePrecision) {
            const __m128 scalef = _mm_set1_ps(static_cast<float>(b.scale)), topf = _mm_set1_ps(310.0f);
            for (; i + 4 <= 3 * n; i += 4) {
                const __m128 v = _mm_max_ps(_mm_add_ps(_mm_loadu_ps(rgb + i), offsets), zero);
                _mm_storeu_si128(reinterpret_cast<__m128i *>(slot + i), _mm_cvttps_epi32(_mm_min_ps(_mm_mul_ps(v, scalef), topf)));
            }
        }
        for (; i + 4 <= 3 * n; i += 4) {
            const __m128 v = _mm_max_ps(_mm_add_ps(_mm_loadu_ps(rgb + i), offsets), zero);
            const __m128d low = _mm_min_pd(_mm_mul_pd(_mm_cvtps_pd(v), scales), top);
            const __m128d high = _mm_min_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v, v)), scales), top);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(slot + i),
                             _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high)));
        }
    }
    for (; i < 3 * n; i++) {
        float v = rgb[i] + b.offset;
        if (v < 0.0f) v = 0.0f;
        const int bin = binOfProduct(static_cast<double>(v) * b.scale);
        slot[i] = bin < 0 ? BIN_COUNT : bin;
    }
    int p = 0;
    for (; p + GROUP <= n; p += GROUP) {
        const int *s = slot + 3 * p;
#pragma GCC unroll 3
        for (int c = 0; c < 3; c++)
#pragma GCC unroll 8
            for (int k = 0; k < GROUP; k++) counts->row[c][s[3 * k + c]][k]++;
    }
    for (; p < n; p++)
        for (int c = 0; c < 3; c++) counts->row[c][slot[3 * p + c]][p % GROUP]++;
    counts->sinceFlush += n;
    if (counts->sinceFlush > FLUSH_SAMPLES) flush(counts);
}

bool processorHasAvx2() {
    __builtin_cpu_init();  // this runs while the module's statics are set up, maybe before libgcc's own
    return __builtin_cpu_supports("avx2");
}

}  // namespace

bool histogramUsesAvx2 = processorHasAvx2();

void computeHistogram() {
    ViewerState &v = viewer;
    if (!v.currentImage || !v.imageList) return;

    v.imageList->imageSize(v.currentImage, &v.imageWidth, &v.imageHeight);
    Sampling s = {v.imageList, v.currentImage, v.imageWidth, v.imageHeight, 0, 0};
    s.colStep = sampleStep(s.width);
    s.rowStep = sampleStep(s.height);

    const float r0 = v.rangeMode == 0 ? preScan(s) : 1.0f;

    float binFactor;
    if (v.recalcZoom == 1) {
        v.rangeScale = r0;
        binFactor = 256.0f * v.hZoom;
    } else {
        binFactor = 256.0f;
        v.rangeScale = r0 * v.hZoom;
    }
    const float offset = v.recalcZoom == 1 ? v.hOffset : 0.0f;
    const Binning binning = binningFor(offset, static_cast<double>(v.rangeScale) * binFactor);

    static Counts counts;  // 15 KB: kept off the host's stack
    counts = Counts{};
    float rgb[CHUNK * 3];
    for (int64_t y = 0; y < s.height; y += s.rowStep) {
        int64_t x = 0;
        while (x < s.width) {
            const int n = fetch(s, y, &x, rgb);
            binPixels(rgb, n, binning, &counts);
        }
    }
    flush(&counts);

    float *bins[3] = {v.binsR, v.binsG, v.binsB};
    float *maxima[3] = {&v.maxR, &v.maxG, &v.maxB};
    for (int c = 0; c < 3; c++) {
        *maxima[c] = 0.0f;
        for (int i = 0; i < BIN_COUNT; i++) {
            const uint64_t n = counts.total[c][i];
            bins[c][i] = static_cast<float>(n < FLOAT_COUNT_LIMIT ? n : FLOAT_COUNT_LIMIT);
            if (bins[c][i] >= *maxima[c]) *maxima[c] = bins[c][i];
        }
    }
    v.maxAll = 0.0f;
    if (v.maxR > v.maxAll) v.maxAll = v.maxR;
    if (v.maxG > v.maxAll) v.maxAll = v.maxG;
    if (v.maxB > v.maxAll) v.maxAll = v.maxB;

    if (v.pendingRecompute) {
        v.pendingRecompute = 0;  // a host change keeps the user's vertical scale
    } else if (v.recalcZoom == 1) {
        // ReCalc Zoom keeps the vertical scale too
    } else if (v.maxAll > 0.0f) {
        v.vZoom = 256.0f / v.maxAll;
    } else {
        v.vZoom = 1.0f;
    }
}
