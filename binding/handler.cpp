// handler.cpp: the "MasterHandler" server. An instance holds only its description line and its
// panel; all other state is module-wide and shared by every instance.
#include <stdio.h>
#include <stdlib.h>

#include "binding/binding.h"
#include "engine/viewer_state.h"
#include "panel/image_chooser.h"

int handlerActivate(int version, GlobalLookup, void *local, void *) {
    if (version != SERVER_VERSION) return AFUNC_BADVERSION;
    HandlerRecord *handler = static_cast<HandlerRecord *>(local);
    if (!handler || !handler->inst) return AFUNC_BADGLOBAL;  // nothing to fill in
    handler->inst->create = instanceCreate;
    handler->inst->destroy = instanceDestroy;
    handler->inst->copy = instanceCopy;
    handler->inst->describe = instanceDescribe;
    handler->type = 0;
    handler->event = handlerEvent;
    handler->flags = handlerFlags;
    return AFUNC_OK;
}

void *instanceCreate(void *, void *, const char **) {
    void *instance = calloc(1, sizeof(HistInstance));
    // The options are module-wide: a new instance switches them off for every open panel.
    viewer.recalcZoom = 0;
    viewer.autoUpdate = 0;
    viewer.quickHisto = 0;
    return instance;
}

void instanceDestroy(void *instance) {
    // Before any interface activation there is no image list, and nothing can be registered.
    watchImageChanges(IMAGE_CHANGE_UNREGISTER);
    HistInstance *inst = static_cast<HistInstance *>(instance);
    if (!inst) return;
    if (inst->panel && viewer.panelFuncs) {
        // The module-wide handles must never reach the controls of a destroyed panel.
        if (inst->panel == viewer.controlsPanel) forgetControls();
        viewer.panelFuncs->panelDestroy(inst->panel);
    }
    free(inst);
}

const char *instanceCopy(void *, void *) { return nullptr; }

const char *instanceDescribe(void *instance) {
    HistInstance *inst = static_cast<HistInstance *>(instance);
    if (!inst) return nullptr;
    snprintf(inst->description, sizeof inst->description, "%s", SERVER_NAME);
    return inst->description;
}

double handlerEvent(void *, const void *) { return 0.0; }

unsigned int handlerFlags(void *) { return 0; }
