// interface.cpp: the "MasterInterface" server: looks up the host services, builds the panel
// for the instance, opens it non-modally and installs the panel's mouse callback.
#include "binding/binding.h"
#include "engine/viewer_state.h"
#include "navigation/probe.h"
#include "panel/build_panel.h"

int interfaceActivate(int version, GlobalLookup global, void *local, void *) {
    if (version != SERVER_VERSION) return AFUNC_BADVERSION;
    if (!global) return AFUNC_BADGLOBAL;
    ViewerState &s = viewer;

    s.panelFuncs = static_cast<PanelFuncs *>(global(SERVICE_PANELS, 0));
    if (s.panelFuncs) s.panelFuncs->globalFun = global;
    s.messageFuncs = static_cast<MessageFuncs *>(global(SERVICE_MESSAGES, 0));
    s.imageUtil = global(SERVICE_IMAGE_UTIL, 0);
    s.imageList = static_cast<ImageListFuncs *>(global(SERVICE_IMAGE_LIST, 0));
    s.fileRequest = global(SERVICE_FILE_REQUEST, 0);
    s.contextMenuFuncs = static_cast<ContextMenuFuncs *>(global(SERVICE_CONTEXT_MENU, 0));
    if (!s.panelFuncs || !s.messageFuncs || !s.imageUtil || !s.imageList || !s.fileRequest || !s.contextMenuFuncs)
        return AFUNC_BADGLOBAL;

    s.panelFuncs = static_cast<PanelFuncs *>(global(SERVICE_PANELS, 0));
    if (!s.panelFuncs) return AFUNC_BADGLOBAL;
    s.panelFuncs->globalFun = global;

    InterfaceRecord *record = static_cast<InterfaceRecord *>(local);
    HistInstance *inst = record ? static_cast<HistInstance *>(record->instance) : nullptr;
    if (!inst) return AFUNC_BADGLOBAL;
    inst->panel = buildPanel(inst);
    if (!inst->panel) return AFUNC_BADGLOBAL;

    s.panelFuncs->panelOpen(inst->panel, PANEL_OPEN_FLAGS);
    void *mouse = reinterpret_cast<void *>(onViewMouse);
    s.panelFuncs->panelSet(inst->panel, PAN_MOUSEMOVE, mouse);
    s.panelFuncs->panelSet(inst->panel, PAN_MOUSEBUTTON, mouse);
    return AFUNC_OK;
}
