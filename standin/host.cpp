// host.cpp: the stand-in host's global function and the calls that act as the user does.
#include "standin/host.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "standin/services.h"

namespace standin {

namespace {

void *imageUtilTable[4] = {};     // offered, never called by the module
void *fileRequestTable[4] = {};

Host *state = new Host;  // lives as long as the process, so callbacks at exit find it

void runEvent(Control *control) {
    if (!control || !control->alive || !control->panel->alive) {
        fprintf(stderr, "stand-in host: a user action on a control that is gone\n");
        abort();
    }
    if (control->event) control->event(control, control->userData);
}

void mouseEvent(Panel *panel, PanelMouse callback, int x, int y) {
    if (!panel || !panel->alive) {
        fprintf(stderr, "stand-in host: a mouse event on a panel that is gone\n");
        abort();
    }
    if (callback) callback(panel, nullptr, panel->buttonHeld ? MOUSE_BUTTON_HELD : 0, x, y);
}

}  // namespace

Host &host() { return *state; }

void resetHost() {
    *state = Host();
    panelFuncs.globalFun = nullptr;
    countPixelCalls(true);
}

void *globalLookup(const char *serviceName, int) {
    Host &h = host();
    const std::string name = serviceName ? serviceName : "";
    h.lookups.push_back(name);
    if (h.missingServices.count(name)) return nullptr;
    if (name == SERVICE_PANELS) {
        if (h.panelServicesAnswers == 0) return nullptr;
        if (h.panelServicesAnswers > 0) h.panelServicesAnswers--;
        return &panelFuncs;
    }
    if (name == SERVICE_CONTEXT_MENU) return &contextMenuFuncs;
    if (name == SERVICE_MESSAGES) return &messageFuncs;
    if (name == SERVICE_IMAGE_LIST) return &imageListFuncs;
    if (name == SERVICE_IMAGE_UTIL) return imageUtilTable;
    if (name == SERVICE_FILE_REQUEST) return fileRequestTable;
    return nullptr;
}

void chooseItem(Control *control, int index) {
    if (control) control->value = index;
    runEvent(control);
}

void dragTo(Control *control, int value) {
    if (control) control->value = value;
    runEvent(control);
}

void press(Control *control) { runEvent(control); }

void pickMenuItem(Control *optionsButton, int answer) {
    host().menuAnswers.push_back(answer);
    runEvent(optionsButton);
}

void mouseMove(Panel *panel, int x, int y) { mouseEvent(panel, panel ? panel->mouseMove : nullptr, x, y); }

void mousePress(Panel *panel, int x, int y) {
    if (panel) panel->buttonHeld = true;
    mouseEvent(panel, panel ? panel->mouseButton : nullptr, x, y);
}

void mouseRelease(Panel *panel, int x, int y) {
    if (panel) panel->buttonHeld = false;
    mouseEvent(panel, panel ? panel->mouseButton : nullptr, x, y);
}

void paint(Control *view) {
    if (!view || !view->alive || !view->event) return;
    if (host().drawOpenGL) host().drawOpenGL(*view);
    else view->event(view, view->userData);
}

}  // namespace standin
