// geometry.cpp: the view geometry, term by term as the drawing and the probe need it.
#include "render/geometry.h"

#include <stdint.h>

#include "engine/viewer_state.h"

float ViewGeometry::barX(int bin) const {
    float x = marginX - 1.0f + static_cast<float>(bin) * binStep;
    return recalc ? x : x + hOffset;
}

ViewGeometry viewGeometry() {
    const ViewerState &s = viewer;
    const float width = static_cast<float>(s.viewWidth);
    ViewGeometry g;
    g.recalc = s.recalcZoom == 1;
    g.hOffset = s.hOffset;
    g.marginX = 10.0f / width * s.hZoom;  // scaled by the zoom in both modes
    g.marginY = 10.0f / static_cast<float>(s.viewHeight);
    g.baseY = g.marginY - 1.0f;
    g.binStep = g.recalc ? 2.0f / width : 2.0f / width * s.hZoom;
    g.valueSpan = BIN_UNIT * (2.0f * s.rangeScale / width * s.hZoom);
    g.zeroX = g.recalc ? g.marginX - 1.0f + g.valueSpan * s.hOffset : g.marginX - 1.0f + s.hOffset;
    g.oneX = g.zeroX + g.valueSpan;
    return g;
}

float barScale(bool bw) {
    const float height = static_cast<float>(viewer.viewHeight);
    return (bw ? 0.333f : 1.0f) / height * viewer.vZoom;
}

float mouseXFromPanel(int panelX) {
    // Widened so that no panel coordinate can overflow the subtraction.
    const int64_t pixels = static_cast<int64_t>(panelX) - viewer.viewLeft;
    return 2.0f * static_cast<float>(pixels) / static_cast<float>(viewer.viewWidth) - 1.0f;
}

float pointerValue(const ViewGeometry &g, float mouseX) { return (mouseX - g.zeroX) / (g.oneX - g.zeroX); }
