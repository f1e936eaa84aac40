// bench_histogram: what the histogram computation costs on a 4K float RGB image, against the
// floor of its host calls and an in-memory histogram, and what one paint costs on llvmpipe.
//
// Each case reports "samples" (sampled pixels per pass) as a counter, so that the table script
// can give nanoseconds per sampled pixel.
#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <math.h>
#include <string.h>

#include <chrono>
#include <random>
#include <string>

#include "binding/binding.h"
#include "engine/histogram.h"
#include "engine/viewer_state.h"
#include "render/draw.h"
#include "standin/host.h"
#include "standin/offscreen_gl.h"
#include "standin/script.h"

namespace {

constexpr int WIDTH = 3840, HEIGHT = 2160;

// Smooth gradients, a few highlights above 1.0 and mild noise, like a photograph of a sky.
std::vector<float> photoLike() {
    std::vector<float> px(static_cast<size_t>(WIDTH) * HEIGHT * 3);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.01f);
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) {
            const float u = static_cast<float>(x) / WIDTH, v = static_cast<float>(y) / HEIGHT;
            const float dx = u - 0.7f, dy = v - 0.2f;
            const float sun = 2.5f * expf(-(dx * dx + dy * dy) * 400.0f);
            float *p = &px[(static_cast<size_t>(y) * WIDTH + x) * 3];
            p[0] = 0.15f + 0.5f * v + 0.1f * u + sun + noise(random);
            p[1] = 0.25f + 0.4f * v + sun * 0.9f + noise(random);
            p[2] = 0.55f + 0.2f * v - 0.1f * u + sun * 0.7f + noise(random);
        }
    return px;
}

// The worst case for the bins: uniform random values from -0.1 to 1.4.
std::vector<float> uniformNoise() {
    std::vector<float> px(static_cast<size_t>(WIDTH) * HEIGHT * 3);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(-0.1f, 1.4f);
    for (float &v : px) v = value(random);
    return px;
}

struct Setup {
    void *instance = nullptr;
    standin::Image *photo = nullptr, *noise = nullptr;
    standin::PanelControls ui;
    bool canRender = false;
};

Setup &setup() {
    static Setup s = [] {
        Setup s;
        standin::resetHost();
        standin::host().keepTexts = false;  // the host's own log of texts is not what is measured
        standin::countPixelCalls(false);    // nor its count of pixel reads: the floor is a lean host's
        s.photo = &standin::addImage("photo", WIDTH, HEIGHT, photoLike());
        s.noise = &standin::addImage("noise", WIDTH, HEIGHT, uniformNoise());
        InstanceFuncs inst = {};
        HandlerRecord handler = {&inst, nullptr, 0, nullptr, nullptr};
        handlerActivate(4, standin::globalLookup, &handler, nullptr);
        s.instance = instanceCreate(nullptr, nullptr, nullptr);
        InterfaceRecord record = {s.instance};
        interfaceActivate(4, standin::globalLookup, &record, nullptr);
        std::string error;
        standin::findPanelControls(standin::lastPanel(), s.ui, error);
        std::string why;
        s.canRender = standin::makeOffscreenCurrent(320, 160);
        if (s.canRender) standin::releaseOffscreen();
        return s;
    }();
    return s;
}

standin::Image *imageOf(int which) { return which == 0 ? setup().photo : setup().noise; }

long long samplesPerPass(int quick) {
    if (!quick) return static_cast<long long>(WIDTH) * HEIGHT;
    const int cs = WIDTH / 128, rs = HEIGHT / 128;
    return static_cast<long long>((WIDTH + cs - 1) / cs) * ((HEIGHT + rs - 1) / rs);
}

// The floor: the same host calls through the same function pointers (imageSize, then one
// imagePixelRGB per sampled pixel and pass), keeping the values alive and nothing else. It is
// the leanest such loop we know: the function pointer is read once, and the values go to a
// ring of 256 pixels rather than to one place on the stack, which costs about a fifth more
// per call here (the same address rewritten by every call).
void hostCallFloor(standin::Image *image, int passes, int quick) {
    const ImageListFuncs *images = static_cast<ImageListFuncs *>(standin::globalLookup("LW Image List 4", 0));
    void (*const pixelRGB)(void *, int, int, float *) = images->imagePixelRGB;
    static float ring[256 * 3];
    int w = 0, h = 0;
    images->imageSize(image, &w, &h);
    const int cs = quick ? (w / 128 < 1 ? 1 : w / 128) : 1, rs = quick ? (h / 128 < 1 ? 1 : h / 128) : 1;
    for (int pass = 0; pass < passes; pass++)
        for (int y = 0; y < h; y += rs) {
            for (int x = 0, i = 0; x < w; x += cs, i = (i + 1) & 255) pixelRGB(image, x, y, ring + 3 * i);
            benchmark::DoNotOptimize(ring);
        }
}

// args: image (0 photo, 1 noise), range mode (0 HDR, 1 LDR), QuickHisto, AVX2 (0: the SSE2
// steps only, as on a processor without it).
//
// The computation and its floor are measured in turns within each iteration, so that a drift
// of the machine's speed falls on both alike; the order alternates so that neither always runs
// first. Reports both per sampled pixel and their ratio.
void computeHistogramCase(benchmark::State &state) {
    standin::Image *image = imageOf(static_cast<int>(state.range(0)));
    viewer.currentImage = image;
    viewer.rangeMode = static_cast<int>(state.range(1));
    viewer.quickHisto = static_cast<int>(state.range(2));
    viewer.recalcZoom = 0;
    viewer.hZoom = 1.0f;
    const bool hasAvx2 = histogramUsesAvx2;
    if (state.range(3) == 0) histogramUsesAvx2 = false;
    const int passes = viewer.rangeMode == 0 ? 2 : 1;
    using Clock = std::chrono::steady_clock;
    double computeNs = 0, floorNs = 0;
    bool floorFirst = false;
    for (auto _ : state) {
        floorFirst = !floorFirst;
        const Clock::time_point t0 = Clock::now();
        if (floorFirst) hostCallFloor(image, passes, viewer.quickHisto);
        else computeHistogram();
        const Clock::time_point t1 = Clock::now();
        if (floorFirst) computeHistogram();
        else hostCallFloor(image, passes, viewer.quickHisto);
        const Clock::time_point t2 = Clock::now();
        const double first = std::chrono::duration<double, std::nano>(t1 - t0).count();
        const double second = std::chrono::duration<double, std::nano>(t2 - t1).count();
        floorNs += floorFirst ? first : second;
        computeNs += floorFirst ? second : first;
    }
    histogramUsesAvx2 = hasAvx2;
    const double samples = static_cast<double>(samplesPerPass(viewer.quickHisto));
    state.counters["samples"] = samples;
    state.counters["compute_ns"] = computeNs / (samples * state.iterations());
    state.counters["floor_ns"] = floorNs / (samples * state.iterations());
    state.counters["ratio"] = computeNs / floorNs;
}

void computeHistogramCases(benchmark::internal::Benchmark *b) {
    for (int image : {0, 1})
        for (int ldr : {0, 1}) {
            for (int quick : {0, 1}) b->Args({image, ldr, quick, 1});
            b->Args({image, ldr, 0, 0});
        }
}

// The same histogram straight from the float array, for scale.
void inMemoryReference(benchmark::State &state) {
    const standin::Image *image = imageOf(static_cast<int>(state.range(0)));
    const float *px = image->pixels.data();
    const size_t count = static_cast<size_t>(WIDTH) * HEIGHT * 3;
    static unsigned bins[3][311];
    for (auto _ : state) {
        memset(bins, 0, sizeof bins);
        for (size_t i = 0; i < count; i += 3)
            for (int c = 0; c < 3; c++) {
                const float v = px[i + c] < 0.0f ? 0.0f : px[i + c];
                const double p = static_cast<double>(v) * 256.0;
                bins[c][p < 310.0 ? static_cast<int>(p) : 310]++;
            }
        benchmark::DoNotOptimize(bins);
    }
    state.counters["samples"] = static_cast<double>(static_cast<long long>(WIDTH) * HEIGHT);
}

// One paint of a computed histogram, on the offscreen llvmpipe context.
void paintView(benchmark::State &state) {
    Setup &s = setup();
    if (!s.canRender) {
        state.SkipWithError("no offscreen OpenGL context");
        return;
    }
    viewer.currentImage = s.photo;
    viewer.rangeMode = 0;
    viewer.quickHisto = 1;
    computeHistogram();
    standin::makeOffscreenCurrent(320, 160);
    for (auto _ : state) {
        drawView(nullptr, nullptr);
        glFinish();  // llvmpipe renders when asked to finish
    }
    standin::releaseOffscreen();
}

}  // namespace

BENCHMARK(computeHistogramCase)->Apply(computeHistogramCases)->ArgNames({"image", "ldr", "quick", "avx2"})->Unit(benchmark::kMillisecond);
BENCHMARK(inMemoryReference)->Arg(0)->Arg(1)->ArgNames({"image"})->Unit(benchmark::kMillisecond);
BENCHMARK(paintView)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
