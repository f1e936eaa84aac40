// probe.cpp: the mouse probe and the range selection.
#include "navigation/probe.h"

#include <math.h>

#include "engine/histogram.h"
#include "engine/viewer_state.h"
#include "render/geometry.h"

namespace {

// Truncates toward zero to a bin index; -1 for anything outside 0..309, NaN included.
int truncatedBin(float v) {
    if (!(v > -1.0f && v < static_cast<float>(BIN_COUNT))) return -1;
    return static_cast<int>(v);
}

float countAt(int bin) {
    const ViewerState &s = viewer;
    switch (s.channel) {
    case 1: return s.binsR[bin];
    case 2: return s.binsG[bin];
    case 3: return s.binsB[bin];
    default: return s.binsR[bin] + s.binsG[bin] + s.binsB[bin];  // the plain sum, not x 0.333
    }
}

// One bin per 1/256 of channel value holds while the bins are unscaled and unshifted.
bool binsFollowValues(const ViewGeometry &g) {
    const ViewerState &s = viewer;
    if (!g.recalc) return s.rangeScale == 1.0f;
    return s.rangeScale * s.hZoom == 1.0f && s.hOffset == 0.0f;
}

// A selection too narrow for a float zoom, or one over a view without a value span, leaves
// the view as it is rather than zooming to infinity or to nothing.
bool usableZoom(float zoom) { return zoom > 0.0f && isfinite(zoom); }

}  // namespace

int probeBin(float mouseX) {
    const ViewGeometry g = viewGeometry();
    if (binsFollowValues(g)) return truncatedBin(256.0f * pointerValue(g, mouseX));
    return truncatedBin((mouseX - g.barX(0)) / g.binStep);  // the bar at or left of the pointer
}

void onViewMouse(void *, void *, int qualifiers, int x, int) {
    ViewerState &s = viewer;
    s.mouseX = mouseXFromPanel(x);

    // Without a value span there is no channel value under the pointer: keep both texts.
    const ViewGeometry g = viewGeometry();
    const float value = pointerValue(g, s.mouseX);
    if (g.valueSpan != 0.0f && isfinite(value)) {
        showReadout(s.posField, value);
        const int bin = probeBin(s.mouseX);
        if (bin >= 0) showReadout(s.valField, countAt(bin));
    }

    if (!(qualifiers & MOUSE_BUTTON_HELD)) {
        s.dragging = 0;
        return;
    }
    // x is the raw panel coordinate here, so a drag starts only left of panel x 266.
    if (x < s.viewWidth + 10 && x < s.dragStartLimit + 10 && s.dragging == 0) {
        s.dragging = 1;
        s.dragStartX = s.mouseX;
    }
    redrawView();
}

void onSelection(void *, void *) {
    ViewerState &s = viewer;
    float step = 2.0f / static_cast<float>(s.viewWidth) * s.hZoom;
    if (step == 0.0f) step = 0.006451613f;  // 2 / 310, so that the width stays finite

    const bool mouseFirst = s.mouseX + 1.0f < s.dragStartX + 1.0f;
    const float selLo = mouseFirst ? s.mouseX : s.dragStartX;
    const float selHi = mouseFirst ? s.dragStartX : s.mouseX;

    if (s.recalcZoom != 1) {
        // Measured from the view's left edge, in bars of the current zoom.
        const float lo = selLo + 1.0f, hi = selHi + 1.0f;
        const float width = (hi - lo) / step;
        if (width == 0.0f) {
            s.hZoom = s.savedHZoom;
            s.vZoom = s.savedVZoom;
            s.hOffset = 0.0f;
        } else if (usableZoom(310.0f / width)) {
            s.hZoom = 310.0f / width;
            s.hOffset = s.hOffset - lo * s.hZoom;
        }
    } else {
        const ViewGeometry g = viewGeometry();
        const float span = g.oneX - g.zeroX;
        const float relLo = selLo - g.zeroX, relHi = selHi - g.zeroX;
        const float width = relHi - relLo;
        if (width == 0.0f) {
            s.hZoom = s.savedHZoom;
            s.vZoom = s.savedVZoom;
            s.hOffset = 0.0f;
        } else if (usableZoom(span / width) && isfinite(relLo / g.valueSpan)) {
            // The value at selLo moves to bin 0 and the range fills BIN_UNIT x rangeScale bars.
            const float valueLo = relLo / g.valueSpan;
            s.hZoom = span / width;
            s.hOffset = -valueLo;
        }
        computeHistogram();
    }
    redrawView();
}
