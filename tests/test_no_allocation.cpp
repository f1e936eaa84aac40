// The computation and the drawing allocate nothing: every allocation function is replaced in
// this test binary and counted while they run. The host here is minimal and allocation-free
// itself (an image list over a float array, edit fields with fixed buffers), and the drawing
// calls the counting GL stand-in, so every allocation counted would be the module's own.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <new>

#include "engine/histogram.h"
#include "engine/viewer_state.h"
#include "render/draw.h"
#include "standin/images/image_files.h"
#include "tests/gl_recorder.h"

extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);
extern "C" void __libc_free(void *);

static bool counting = false;
static long allocations = 0;

extern "C" void *malloc(size_t n) {
    if (counting) allocations++;
    return __libc_malloc(n);
}
extern "C" void *calloc(size_t n, size_t size) {
    if (counting) allocations++;
    return __libc_calloc(n, size);
}
extern "C" void *realloc(void *p, size_t n) {
    if (counting) allocations++;
    return __libc_realloc(p, n);
}
extern "C" void free(void *p) { __libc_free(p); }

void *operator new(size_t n) {
    if (counting) allocations++;
    if (void *p = __libc_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void *operator new[](size_t n) { return operator new(n); }
void operator delete(void *p) noexcept { __libc_free(p); }
void operator delete[](void *p) noexcept { __libc_free(p); }
void operator delete(void *p, size_t) noexcept { __libc_free(p); }
void operator delete[](void *p, size_t) noexcept { __libc_free(p); }

namespace {

standin::RgbImage image;

void *imageFirst() { return &image; }
void *imageNext(void *) { return nullptr; }
const char *imageName(void *) { return "chart"; }
void imageSize(void *, int *w, int *h) { *w = image.width, *h = image.height; }
void imagePixelRGB(void *, int x, int y, float rgb[3]) {
    const float *p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3];
    rgb[0] = p[0], rgb[1] = p[1], rgb[2] = p[2];
}
int imageChangeEvent(ImageChange, int) { return 1; }
ImageListFuncs images = {imageFirst, imageNext, nullptr, imageName, nullptr, nullptr, nullptr, imageSize, nullptr,
                         imagePixelRGB, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, imageChangeEvent};

struct Field {
    ControlFuncs ops;
    char text[64];
};
void noDraw(void *, int) {}
void noGet(void *, int, ControlValue *value) { value->v.intv = 0; }
void setText(void *control, int, ControlValue *value) {
    snprintf(static_cast<Field *>(control)->text, sizeof(Field::text), "%s", value->v.str.buf);
}
Field high = {{noDraw, noGet, setText}, ""}, low = {{noDraw, noGet, setText}, ""};

}  // namespace

TEST(NoAllocation, ComputationAndDrawingOnARealImage) {
    image = standin::testChart();
    viewer = ViewerState{};
    viewer.imageList = &images;
    viewer.highField = &high;
    viewer.lowField = &low;
    viewer.currentImage = &image;
    viewer.hOffset = 0.0f;  // as the panel build leaves it
    glRecording = false;

    struct {
        int rangeMode, quickHisto, recalcZoom, channel, dragging, pending;
    } modes[] = {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 1, 1, 0}, {0, 1, 1, 2, 0, 1}, {1, 1, 0, 3, 1, 1}};
    for (const auto &m : modes) {
        viewer.rangeMode = m.rangeMode, viewer.quickHisto = m.quickHisto, viewer.recalcZoom = m.recalcZoom;
        viewer.channel = m.channel, viewer.dragging = m.dragging, viewer.pendingRecompute = m.pending;
        const long long glBefore = glCallCount;
        allocations = 0;
        counting = true;
        computeHistogram();
        viewer.pendingRecompute = m.pending;
        drawView(nullptr, nullptr);
        counting = false;
        EXPECT_EQ(allocations, 0) << "range " << m.rangeMode << " quick " << m.quickHisto << " recalc " << m.recalcZoom;
        EXPECT_GT(glCallCount - glBefore, 4 * 310 * 4);  // the drawing really ran
    }
    EXPECT_EQ(std::string(high.text), "2.000000");  // and the computation too

    // The counter itself works: an allocation while counting is seen.
    allocations = 0;
    counting = true;
    void *p = malloc(16);
    counting = false;
    free(p);
    EXPECT_EQ(allocations, 1);
}
