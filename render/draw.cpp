// draw.cpp: the view drawing.
#include "render/draw.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN  // <GL/gl.h> needs <windows.h>; keep out what clashes with our names
#include <windows.h>
#endif
#include <GL/gl.h>

#include "engine/histogram.h"
#include "engine/viewer_state.h"
#include "render/geometry.h"

namespace {

struct Rgba {
    float r, g, b, a;
};

void setColour(const Rgba &c) { glColor4f(c.r, c.g, c.b, c.a); }

// One bar per bin, each its own two-vertex line strip from the baseline to its top (at most 1).
// Bars right of the view are skipped; those left of it are issued and clipped.
void drawBars(const float *a, const float *b, const float *c, bool bw, const Rgba &dimmed,
              const Rgba &highlighted, int highlight) {
    setColour(highlight ? highlighted : dimmed);
    const ViewGeometry g = viewGeometry();
    const float scale = barScale(bw);
    for (int i = 0; i < BIN_COUNT; i++) {
        const float x = g.barX(i);
        if (x > 1.0f) continue;
        const float count = bw ? a[i] + b[i] + c[i] : a[i];
        float top = g.baseY + scale * count;
        if (top > 1.0f) top = 1.0f;
        glBegin(GL_LINE_STRIP);
        glVertex2f(x, g.baseY);
        glVertex2f(x, top);
        glEnd();
    }
}

// A quad issued as five vertices, the fifth repeating the first; GL ignores the extra vertex.
void quad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
    glVertex2f(x2, y2);
    glVertex2f(x3, y3);
    glVertex2f(x0, y0);
    glEnd();
}

void drawSelection() {
    setColour({0.5f, 0.5f, 0.5f, 0.4f});
    const int inset = static_cast<int>(10.0f / static_cast<float>(viewer.viewWidth));  // 0 for 320
    const float bottom = static_cast<float>(inset - 1), top = static_cast<float>(1 - inset);
    const float start = viewer.dragStartX, end = viewer.mouseX;
    quad(start, bottom, end, bottom, end, top, start, top);
}

}  // namespace

void drawRangeBands() {
    setColour({0.3f, 0.3f, 0.3f, 0.1f});
    const ViewGeometry g = viewGeometry();
    const float top = 1.0f - g.marginY;
    quad(g.oneX, g.baseY, g.oneX, top, 1.0f, top, 1.0f, g.baseY);
    quad(g.zeroX, g.baseY, g.zeroX, top, -1.0f, top, -1.0f, g.baseY);
}

void drawBarsBW(int highlight) {
    const ViewerState &s = viewer;
    drawBars(s.binsR, s.binsG, s.binsB, true, {0.1f, 0.1f, 0.1f, 0.2f}, {0.1f, 0.1f, 0.1f, 0.6f}, highlight);
}

void drawBarsR(int highlight) {
    drawBars(viewer.binsR, nullptr, nullptr, false, {0.6f, 0.4f, 0.4f, 0.2f}, {0.8f, 0.4f, 0.4f, 0.6f}, highlight);
}

void drawBarsG(int highlight) {
    drawBars(viewer.binsG, nullptr, nullptr, false, {0.4f, 0.6f, 0.4f, 0.2f}, {0.4f, 0.8f, 0.4f, 0.6f}, highlight);
}

void drawBarsB(int highlight) {
    drawBars(viewer.binsB, nullptr, nullptr, false, {0.4f, 0.4f, 0.6f, 0.2f}, {0.4f, 0.4f, 0.8f, 0.6f}, highlight);
}

void drawView(void *, void *) {
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.6f, 0.6f, 0.6f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    if (viewer.currentImage) {
        if (viewer.pendingRecompute == 1) computeHistogram();  // keeps the vertical scale
        // The dimmed sets first, in an order of their own per choice: blending makes it matter.
        switch (viewer.channel) {
        case 1:
            drawRangeBands(), drawBarsBW(0), drawBarsB(0), drawBarsG(0), drawBarsR(1);
            break;
        case 2:
            drawRangeBands(), drawBarsBW(0), drawBarsR(0), drawBarsB(0), drawBarsG(1);
            break;
        case 3:
            drawRangeBands(), drawBarsBW(0), drawBarsG(0), drawBarsR(0), drawBarsB(1);
            break;
        default:
            drawRangeBands(), drawBarsB(0), drawBarsG(0), drawBarsR(0), drawBarsBW(1);
            break;
        }
        if (viewer.dragging == 1) drawSelection();
    }
    glFlush();
}
