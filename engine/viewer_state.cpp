// viewer_state.cpp: the one ViewerState and the small helpers every handler uses to talk to
// the controls of the panel.
#include "engine/viewer_state.h"

#include <stdio.h>
#include <string.h>

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

void showReadout(void *field, double number, ReadoutText *last) {
    if (!last->formatted || memcmp(&last->number, &number, sizeof number) != 0) {
        snprintf(last->text, sizeof last->text, "%f", number);
        last->number = number;
        last->formatted = true;
    }
    char text[sizeof last->text];  // the host gets a copy, so that nothing it does reaches the cache
    memcpy(text, last->text, strlen(last->text) + 1);
    ControlValue value = {};
    value.type = VALUE_STRING;
    value.v.str.buf = text;
    value.v.str.bufLen = 10;
    controlSetValue(field, CTL_VALUE, &value);
}

void showReadout(void *field, double number) {
    ReadoutText text;
    text.formatted = false;
    showReadout(field, number, &text);
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
