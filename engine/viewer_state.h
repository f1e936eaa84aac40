// viewer_state.h: every piece of the plug-in's working state, in one module-wide record.
//
// There is exactly one ViewerState, `viewer`, with static storage. Handlers, callbacks and the
// computation read and write its members directly. Nothing here is allocated: the bins are
// fixed-size arrays. The default member values are the values the module starts with at load.
#pragma once

#include "host/host_api.h"

enum {
    BIN_COUNT = 310,  // bins per channel; 256..309 hold over-range values
    BIN_UNIT = 256,   // bins per 1.0 of channel value at scale 1
};
constexpr float HDR_CEILING = 1.21f;  // an image's peak is normalised to this value

struct ViewerState {
    // View layout, in pixels. Only viewTop changes: the panel build sets it below the chooser.
    int viewWidth = 320;
    int viewHeight = 160;
    int viewLeft = 5;
    int viewTop = 30;
    int dragStartLimit = 256;

    // View transform.
    float hZoom = 1.0f;
    float vZoom = 1.0f;
    float hOffset = 1.0f;  // 0.0 from the moment the panel is built
    float rangeScale = 0.0f;
    float savedHZoom = 0.0f;
    float savedVZoom = 0.0f;

    // Options and choices.
    int channel = 0;    // 0 BW, 1 R, 2 G, 3 B
    int rangeMode = 0;  // 0 HDR, 1 LDR
    int autoUpdate = 0;
    int quickHisto = 0;
    int recalcZoom = 0;

    // Image, bins and maxima.
    void *currentImage = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    float binsR[BIN_COUNT] = {};
    float binsG[BIN_COUNT] = {};
    float binsB[BIN_COUNT] = {};
    float maxR = 0.0f;
    float maxG = 0.0f;
    float maxB = 0.0f;
    float maxAll = 0.0f;
    double peakValue = 0.0;
    int pendingRecompute = 0;

    // Read-outs of the last HDR pre-scan.
    double lumHigh = 0.0;
    double lumLow = 0.0;

    // Pointer and selection, in view units.
    float mouseX = 0.0f;
    int dragging = 0;
    float dragStartX = 0.0f;

    // The value each drag button reported at its previous event.
    int lastHZoomDrag = 0;
    int lastVZoomDrag = 0;
    int lastOffsetDrag = 0;

    // Host services, looked up at every interface activation.
    PanelFuncs *panelFuncs = nullptr;
    MessageFuncs *messageFuncs = nullptr;
    void *imageUtil = nullptr;
    ImageListFuncs *imageList = nullptr;
    void *fileRequest = nullptr;
    ContextMenuFuncs *contextMenuFuncs = nullptr;

    // Options menu, and the item it opens on: the one chosen last.
    void *optionsMenu = nullptr;
    ControlDesc optionsMenuDesc = {};
    int optionsInitialItem = 0;

    // Controls of the panel built last, and that panel. When that panel is destroyed all of
    // these are forgotten (set to null), so nothing ever reaches a control that is gone.
    void *controlsPanel = nullptr;
    void *imagePopup = nullptr;
    void *histView = nullptr;
    void *optionsButton = nullptr;
    void *channelChoice = nullptr;
    void *rangeChoice = nullptr;
    void *hZoomDrag = nullptr;
    void *vZoomDrag = nullptr;
    void *offsetDrag = nullptr;
    void *resetButton = nullptr;
    void *selectionButton = nullptr;
    void *highField = nullptr;
    void *lowField = nullptr;
    void *posField = nullptr;
    void *valField = nullptr;
};

extern ViewerState viewer;

// Calls on a control through its own function slots; each does nothing for a null control.
void controlGetValue(void *control, int tag, ControlValue *value);
void controlSetValue(void *control, int tag, ControlValue *value);
void controlSetInt(void *control, int tag, int intValue);
void controlSetPointer(void *control, int tag, void *pointer);
int controlGetInt(void *control, int tag);

// Formats a read-out with "%f" and shows it in an edit field (string value, buffer length 10).
void showReadout(void *field, double number);

// A read-out's last text: a field refreshed with the same number (bit for bit, so -0 and 0
// differ) is shown again without formatting it again. The host still gets every call.
struct ReadoutText {
    double number;
    bool formatted;
    char text[328];  // the "%f" text of any double: -DBL_MAX has 309 digits, the point, six decimals
};
void showReadout(void *field, double number, ReadoutText *last);

// Asks the host to repaint the histogram view.
void redrawView();

// Forgets the module-wide control handles (their panel is being destroyed).
void forgetControls();
