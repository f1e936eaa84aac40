// view_controls.cpp: zoom, offset, reset and the two choices. Steps are worked in double
// precision and stored as floats; only ReCalc Zoom makes a horizontal change recompute.
#include "navigation/view_controls.h"

#include <float.h>

#include "engine/histogram.h"
#include "engine/viewer_state.h"

namespace {

constexpr double ZOOM_STEP = 0.1;  // 10 % of the current zoom
constexpr double OFFSET_STEP = 0.01;
constexpr float MIN_HZOOM = 0.001f;
constexpr float MIN_VZOOM = 0.0001f;

// -1, 0 or 1: the direction the button's value moved since its previous event.
int direction(int value, int *last) {
    int d = value > *last ? 1 : value < *last ? -1 : 0;
    *last = value;
    return d;
}

// A step's double result stored as a float, held within the finite floats so that no step
// overflows to infinity (and a zoom then to NaN).
float storedFloat(double value) {
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);  // in range, or NaN
}

}  // namespace

void onHZoomDrag(void *control, void *) {
    ViewerState &s = viewer;
    const int d = direction(controlGetInt(control, CTL_VALUE), &s.lastHZoomDrag);
    if (d != 0) s.hZoom = storedFloat(s.hZoom + d * (s.hZoom * ZOOM_STEP));
    if (s.hZoom <= 0.0f) s.hZoom = MIN_HZOOM;
    if (s.recalcZoom == 1) computeHistogram();
    redrawView();
}

void onVZoomDrag(void *control, void *) {
    ViewerState &s = viewer;
    // A rising value lowers the bars: this button works the other way from the horizontal one.
    const int d = direction(controlGetInt(control, CTL_VALUE), &s.lastVZoomDrag);
    if (d != 0) s.vZoom = storedFloat(s.vZoom - d * (s.vZoom * ZOOM_STEP));
    if (s.vZoom <= 0.0f) s.vZoom = MIN_VZOOM;
    redrawView();
}

void onOffsetDrag(void *control, void *) {
    ViewerState &s = viewer;
    ControlValue value = {};
    value.type = VALUE_IVEC;
    controlGetValue(control, CTL_VALUE, &value);
    const int d = direction(value.v.ivec[0], &s.lastOffsetDrag);
    if (d != 0) s.hOffset = storedFloat(s.hOffset + d * OFFSET_STEP);
    if (s.recalcZoom == 1) computeHistogram();
    redrawView();
}

void onReset(void *, void *) {
    ViewerState &s = viewer;
    s.hZoom = s.savedHZoom;
    s.vZoom = s.savedVZoom;
    s.hOffset = 0.0f;
    if (s.recalcZoom == 1) computeHistogram();
    redrawView();
}

void onChannelChosen(void *control, void *) {
    const int value = controlGetInt(control, CTL_VALUE);
    if (value >= 0 && value <= 3) viewer.channel = value;  // the choice has four items
    redrawView();
}

void onRangeChosen(void *control, void *) {
    const int value = controlGetInt(control, CTL_VALUE);
    if (value == 0 || value == 1) viewer.rangeMode = value;
    computeHistogram();
    redrawView();
}
