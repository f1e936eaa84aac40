// options_menu.cpp: the options menu. Each option's state shows as an icon before its name:
// the host's icon code is the byte 0x03 and "(i:N)"; icon 4 for on, 11 for off.
#include "panel/options_menu.h"

#include "engine/histogram.h"
#include "engine/viewer_state.h"
#include "panel/image_chooser.h"

enum { OPTION_INFO, OPTION_AUTOUPDATE, OPTION_RECALC_ZOOM, OPTION_QUICKHISTO };

static const char *const optionsItems[] = {"Info", "Autoupdate", "ReCalc Zoom", "QuickHisto", nullptr};
const OptionsList optionsList = {4, optionsItems};

const char infoText[] =
    "tallomira\n"
    "\n"
    "Red, green and blue histograms of the host's images, HDR included.\n"
    "Zoom, shift, probe and select in the view to look closer.\n"
    "use at own risk, and have fun.";

int optionsMenuCount(void *userData) {
    return userData ? static_cast<const OptionsList *>(userData)->count : 0;
}

const char *optionsMenuName(void *userData, int index) {
    const OptionsList *list = static_cast<const OptionsList *>(userData);
    if (!list || index < 0 || index >= list->count) return nullptr;
    switch (index) {
    case OPTION_AUTOUPDATE: return viewer.autoUpdate == 1 ? "\003(i:4) Autoupdate" : "\003(i:11) Autoupdate";
    case OPTION_RECALC_ZOOM: return viewer.recalcZoom == 1 ? "\003(i:4) ReCalc Zoom" : "\003(i:11) ReCalc Zoom";
    case OPTION_QUICKHISTO: return viewer.quickHisto == 1 ? "\003(i:4) Quickhisto" : "\003(i:11) Quickhisto";
    default: return list->items[index];
    }
}

void onOptionsButton(void *, void *) {
    ViewerState &s = viewer;
    int choice = -1;
    if (s.contextMenuFuncs && s.optionsMenu)
        choice = s.contextMenuFuncs->menuDeploy(s.optionsMenu, nullptr, s.optionsInitialItem);
    if (choice != -1) s.optionsInitialItem = choice;

    switch (choice) {
    case OPTION_INFO:
        if (s.messageFuncs) s.messageFuncs->messageInfo(infoText, "Info");
        break;
    case OPTION_AUTOUPDATE:
        if (s.autoUpdate == 0) {
            s.autoUpdate = 1;
            s.quickHisto = 1;
            if (s.currentImage) watchImageChanges(IMAGE_CHANGE_REGISTER);
        } else {
            s.autoUpdate = 0;
            watchImageChanges(IMAGE_CHANGE_UNREGISTER);
        }
        break;
    case OPTION_RECALC_ZOOM:
        if (s.recalcZoom == 0) {
            s.quickHisto = 1;
            s.recalcZoom = 1;
        } else {
            s.recalcZoom = 0;
        }
        break;
    case OPTION_QUICKHISTO:
        s.quickHisto = s.quickHisto == 0 ? 1 : 0;
        break;
    default:
        break;  // closed without a choice
    }
    computeHistogram();
    redrawView();
}
