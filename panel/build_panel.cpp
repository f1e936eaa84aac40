// build_panel.cpp: the panel build. One ControlDesc serves every controlAdd in turn: each
// control sets its type code and the payload words it needs; the others keep what the previous
// control left. Positions are formulas over the sizes the host reports for the controls.
#include "panel/build_panel.h"

#include <stdint.h>

#include "engine/viewer_state.h"
#include "navigation/probe.h"
#include "navigation/view_controls.h"
#include "panel/image_chooser.h"
#include "panel/options_menu.h"
#include "render/draw.h"

static const char *channelItems[] = {"BW", "R", "G", "B", nullptr};
static const char *rangeItems[] = {"HDR", "LDR", nullptr};

namespace {

int widthOf(void *control) { return controlGetInt(control, CTL_W); }
int heightOf(void *control) { return controlGetInt(control, CTL_H); }

// Layout sums are formed wide and held in the int range, whatever sizes the host reports.
int pixels(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int>(v); }

void place(void *control, int64_t x, int64_t y) {
    controlSetInt(control, CTL_X, pixels(x));
    controlSetInt(control, CTL_Y, pixels(y));
}

// User data first (no callback reads it), then the callback.
void install(void *control, ControlEvent callback, void *userData) {
    controlSetPointer(control, CTL_USERDATA, userData);
    controlSetPointer(control, CTL_EVENT, reinterpret_cast<void *>(callback));
}

void *addControl(void *panel, const char *typeName, ControlDesc *desc, const char *label) {
    return viewer.panelFuncs->controlAdd(panel, typeName, desc, label);
}

}  // namespace

void *buildPanel(void *) {
    ViewerState &s = viewer;
    if (!s.panelFuncs || !s.contextMenuFuncs) return nullptr;

    s.optionsMenuDesc = ControlDesc{};
    s.optionsMenuDesc.type = DESC_POPUP;
    s.optionsMenuDesc.d.popup.width = 200;
    s.optionsMenuDesc.d.popup.count = optionsMenuCount;
    s.optionsMenuDesc.d.popup.name = optionsMenuName;
    s.pendingRecompute = 0;

    s.optionsMenu = s.contextMenuFuncs->menuCreate(&s.optionsMenuDesc, const_cast<OptionsList *>(&optionsList));
    if (!s.optionsMenu) return nullptr;
    void *panel = s.panelFuncs->panelCreate("Tallomira v3.0", nullptr);
    if (!panel) return nullptr;

    ControlDesc desc = {};
    desc.type = DESC_POPUP;
    desc.d.popup.width = 100;
    desc.d.popup.count = imagePopupCount;
    desc.d.popup.name = imagePopupName;
    s.imagePopup = addControl(panel, "CustomPopupControl", &desc, "");
    const int popupW = widthOf(s.imagePopup), popupH = heightOf(s.imagePopup);

    desc.type = DESC_AREA;
    desc.d.area.width = s.viewWidth;
    desc.d.area.height = s.viewHeight;
    s.histView = addControl(panel, "OpenGLControl", &desc, "");

    desc.type = DESC_BUTTON;
    s.optionsButton = addControl(panel, "ButtonControl", &desc, "\003(i:16) Options");

    desc.type = DESC_CHOICE;
    desc.d.choice.items = channelItems;
    desc.d.choice.reserved = 0;
    s.channelChoice = addControl(panel, "ChoiceControl", &desc, "");
    desc.d.choice.items = rangeItems;
    desc.d.choice.reserved = 0;
    s.rangeChoice = addControl(panel, "ChoiceControl", &desc, "");

    desc.type = DESC_AREA;
    desc.d.area.width = -1;
    desc.d.area.height = 0;
    s.hZoomDrag = addControl(panel, "DragButtonControl", &desc, "");
    const int hZoomW = widthOf(s.hZoomDrag), hZoomH = heightOf(s.hZoomDrag);
    desc.d.area.width = 0;
    desc.d.area.height = -1;
    s.vZoomDrag = addControl(panel, "DragButtonControl", &desc, "");
    desc.d.area.width = hZoomW;
    desc.d.area.height = hZoomH;
    s.offsetDrag = addControl(panel, "DragButtonControl", &desc, "");

    desc.type = DESC_BUTTON;
    s.resetButton = addControl(panel, "ButtonControl", &desc, "Reset");
    s.selectionButton = addControl(panel, "ButtonControl", &desc, "Selection");

    desc.type = DESC_EDIT;
    desc.d.edit.width = 10;
    s.highField = addControl(panel, "EditControl", &desc, "High: ");
    s.lowField = addControl(panel, "EditControl", &desc, "Low : ");
    s.posField = addControl(panel, "EditControl", &desc, "Pos: ");
    s.valField = addControl(panel, "EditControl", &desc, "Val: ");
    s.controlsPanel = panel;

    char dash[10] = "-";
    ControlValue text = {};
    text.type = VALUE_STRING;
    text.v.str.buf = dash;
    text.v.str.bufLen = 10;
    void *const fields[] = {s.highField, s.lowField, s.posField, s.valField};
    for (void *field : fields) controlSetValue(field, CTL_VALUE, &text);

    const int viewW = widthOf(s.histView), viewH = heightOf(s.histView);
    const int optionsW = widthOf(s.optionsButton);
    const int rangeW = widthOf(s.rangeChoice);
    const int vZoomW = widthOf(s.vZoomDrag);
    const int offsetW = widthOf(s.offsetDrag);
    const int selectionW = widthOf(s.selectionButton);
    const int lowW = widthOf(s.lowField);
    const int posW = widthOf(s.posField);
    const int resetH = heightOf(s.resetButton);
    const int selectionH = heightOf(s.selectionButton);
    const int highH = heightOf(s.highField);

    s.viewTop = pixels(int64_t{popupH} + 1);

    // R is the top of the bottom row, E the top of the read-out rows (under the Selection button).
    const int64_t left = s.viewLeft, top = s.viewTop;
    const int64_t R = top + viewH - 5;
    const int64_t E = top + viewH + selectionH - 5;
    place(s.imagePopup, 0, 0);
    place(s.histView, left, top);
    place(s.optionsButton, left + viewW - optionsW, 0);
    place(s.channelChoice, int64_t{popupW} + 2, 0);
    place(s.rangeChoice, left + viewW - rangeW, R);
    place(s.hZoomDrag, left, R);
    place(s.vZoomDrag, hZoomW, R);
    place(s.offsetDrag, int64_t{hZoomW} + vZoomW - 5, R);
    place(s.selectionButton, int64_t{hZoomW} + vZoomW + offsetW - 10, R);
    place(s.resetButton, int64_t{hZoomW} + vZoomW + offsetW + selectionW - 15, R);
    place(s.highField, left, E);
    place(s.lowField, left, E + highH);
    place(s.posField, left + lowW, E);
    place(s.valField, left + lowW + posW + 2, E);

    controlSetInt(s.channelChoice, CTL_VALUE, s.channel);
    controlSetInt(s.rangeChoice, CTL_VALUE, s.rangeMode);

    s.lastVZoomDrag = 0;
    s.lastOffsetDrag = 0;
    s.vZoom = 1.0f;
    s.hZoom = 1.0f;
    s.hOffset = 0.0f;
    controlSetInt(s.vZoomDrag, CTL_VALUE, s.lastVZoomDrag);

    install(s.imagePopup, onImageChosen, panel);
    install(s.histView, drawView, nullptr);
    install(s.optionsButton, onOptionsButton, panel);
    install(s.channelChoice, onChannelChosen, panel);
    install(s.rangeChoice, onRangeChosen, panel);
    install(s.hZoomDrag, onHZoomDrag, panel);
    install(s.vZoomDrag, onVZoomDrag, panel);
    install(s.offsetDrag, onOffsetDrag, panel);
    install(s.resetButton, onReset, panel);
    install(s.selectionButton, onSelection, panel);

    int height = pixels(top + viewH + resetH + 45);
    s.panelFuncs->panelSet(panel, PAN_H, &height);
    return panel;
}
