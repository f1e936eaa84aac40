// viewer_state.cpp: the one ViewerState and the small helpers every handler uses to talk to
// the controls of the panel.
#include "engine/viewer_state.h"

#include <stdio.h>

ViewerState viewer;

static const ControlFuncs *funcsOf(void *control) { return static_cast<const ControlFuncs *>(control); }

void controlGetValue(void *control, int tag, ControlValue *value) {
    if (control) funcsOf(control)->controlGet(control, tag, value);
}

void controlSetValue(void *control, int tag, ControlValue *value) {
    if (control) funcsOf(control)->controlSet(control, tag, value);
}

void controlSetInt(void *control, int tag, int intValue) {
    ControlValue value = {};
    value.type = VALUE_INT;
    value.v.intv = intValue;
    controlSetValue(control, tag, &value);
}

void controlSetPointer(void *control, int tag, void *pointer) {
    ControlValue value = {};
    value.type = VALUE_INT;
    value.v.ptr = pointer;
    controlSetValue(control, tag, &value);
}

int controlGetInt(void *control, int tag) {
    ControlValue value = {};
    value.type = VALUE_INT;
    controlGetValue(control, tag, &value);
    return value.v.intv;
}

void showReadout(void *field, double number) {
    // Room for the "%f" text of any double: -DBL_MAX has 309 digits, the point and six decimals.
    char text[328];
    snprintf(text, sizeof text, "%f", number);
    ControlValue value = {};
    value.type = VALUE_STRING;
    value.v.str.buf = text;
    value.v.str.bufLen = 10;
    controlSetValue(field, CTL_VALUE, &value);
}

void redrawView() {
    if (viewer.histView) funcsOf(viewer.histView)->controlDraw(viewer.histView, DRAW_MODE_REFRESH);
}

void forgetControls() {
    viewer.controlsPanel = nullptr;
    viewer.imagePopup = viewer.histView = viewer.optionsButton = nullptr;
    viewer.channelChoice = viewer.rangeChoice = nullptr;
    viewer.hZoomDrag = viewer.vZoomDrag = viewer.offsetDrag = nullptr;
    viewer.resetButton = viewer.selectionButton = nullptr;
    viewer.highField = viewer.lowField = viewer.posField = viewer.valField = nullptr;
}
