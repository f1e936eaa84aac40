// host_api.h: the binary contract between the layout host and a plug-in module.
//
// Records, service tables, slots, tags and callback shapes, with the natural C layout of each
// platform (32-bit Windows and 64-bit Linux). Both the module and the project's stand-in host are
// written against this header alone; the static_asserts at the end pin the layouts down.
#pragma once

#include <stddef.h>
#include <stdint.h>

extern "C" {

// ---- Module descriptor and servers -----------------------------------------------------------

typedef void *(*GlobalLookup)(const char *serviceName, int useMode);  // useMode is always 0
typedef int (*Activate)(int version, GlobalLookup global, void *local, void *serverData);

struct ServerEntry {
    const char *className;
    const char *name;
    Activate activate;
    const void *tagInfo;
};

struct ModuleDescriptor {  // exported as the data symbol _mod_descrip
    uint32_t sync;
    uint32_t version;
    uint32_t machine;
    void *(*startup)(void);
    void (*shutdown)(void *);
    const ServerEntry *servers;
};

enum {
    MODULE_SYNC = 0x04121994,
    MODULE_VERSION = 3,
    MODULE_MACHINE = 0x300,
    SERVER_VERSION = 4,  // the only interface version both servers accept
};

enum ActivateResult { AFUNC_OK = 0, AFUNC_BADVERSION = 1, AFUNC_BADGLOBAL = 2 };

// ---- Handler records -------------------------------------------------------------------------

struct InstanceFuncs {
    void *priv;
    void *(*create)(void *priv, void *context, const char **errorText);
    void (*destroy)(void *instance);
    const char *(*copy)(void *to, void *from);
    const char *(*load)(void *instance, const void *loadState);
    const char *(*save)(void *instance, const void *saveState);
    const char *(*describe)(void *instance);
};

struct HandlerRecord {
    InstanceFuncs *inst;
    void *item;
    int type;
    double (*event)(void *instance, const void *access);
    unsigned int (*flags)(void *instance);
};

struct InterfaceRecord {
    void *instance;  // host fields may follow
};

// ---- Value and description records -----------------------------------------------------------

struct ControlValue {
    int type;  // VALUE_STRING, VALUE_INT or VALUE_IVEC
    union {
        struct {
            char *buf;
            int bufLen;
        } str;
        int intv;
        void *ptr;  // tags 14 and 16: callback or user data
        int ivec[3];
    } v;
};

enum ValueType { VALUE_STRING = 1, VALUE_INT = 2, VALUE_IVEC = 5 };

typedef int (*PopupCount)(void *userData);
typedef const char *(*PopupName)(void *userData, int index);

struct ControlDesc {
    int type;  // DESC_EDIT, DESC_BUTTON, DESC_CHOICE, DESC_POPUP or DESC_AREA
    union {
        struct {
            int width;
        } edit;
        struct {
            const char **items;
            int reserved;
        } choice;
        struct {
            int width;
            PopupCount count;
            PopupName name;
        } popup;
        struct {
            int width;
            int height;
        } area;  // "OpenGLControl", "DragButtonControl"
    } d;
};

enum DescType { DESC_EDIT = 1, DESC_BUTTON = 2, DESC_CHOICE = 9, DESC_POPUP = 18, DESC_AREA = 19 };

// ---- Callbacks the module hands to the host --------------------------------------------------

typedef void (*ControlEvent)(void *control, void *userData);  // also the OpenGL control's draw
typedef void (*PanelMouse)(void *panel, void *userData, int qualifiers, int x, int y);
typedef void (*ImageChange)(int eventCode, void *image);

enum { MOUSE_BUTTON_HELD = 0x80 };

// ---- Service tables --------------------------------------------------------------------------
// A table is an array of pointer-sized slots; the structs below name the slots the module uses.

#define SERVICE_PANELS "LWPanelServices"
#define SERVICE_MESSAGES "Info Messages 2"
#define SERVICE_IMAGE_UTIL "Image Utility"
#define SERVICE_IMAGE_LIST "LW Image List 4"
#define SERVICE_FILE_REQUEST "File Request 2"
#define SERVICE_CONTEXT_MENU "ContextMenuServices"

struct PanelFuncs {
    void *(*panelCreate)(const char *title, void *reserved);  // slot 0
    void (*panelDestroy)(void *panel);                        // slot 1
    int (*panelOpen)(void *panel, int flags);                 // slot 2
    void *slot3, *slot4, *slot5, *slot6;
    void (*panelSet)(void *panel, int tag, void *value);  // slot 7
    void *(*controlAdd)(void *panel, const char *typeName, ControlDesc *desc,
                        const char *label);  // slot 8
    void *slot9, *slot10, *slot11;
    GlobalLookup globalFun;  // slot 12, written by the module
};

// A control handle points to a record whose first three slots are its operations.
struct ControlFuncs {
    void (*controlDraw)(void *control, int mode);                      // slot 0
    void (*controlGet)(void *control, int tag, ControlValue *value);  // slot 1
    void (*controlSet)(void *control, int tag, ControlValue *value);  // slot 2
};

enum ControlTag {
    CTL_X = 0,
    CTL_Y = 1,
    CTL_W = 2,
    CTL_H = 3,
    CTL_VALUE = 4,
    CTL_EVENT = 14,
    CTL_USERDATA = 16,
};

enum PanelTag { PAN_H = 3, PAN_MOUSEBUTTON = 15, PAN_MOUSEMOVE = 16 };

enum { PANEL_OPEN_FLAGS = 0xD0, DRAW_MODE_REFRESH = 1 };

struct ContextMenuFuncs {
    void *(*menuCreate)(ControlDesc *desc, void *userData);         // slot 0
    int (*menuDeploy)(void *menu, void *panel, int initialItem);  // slot 1
};

struct MessageFuncs {
    void (*messageInfo)(const char *text, const char *text2);  // slot 0
};

struct ImageListFuncs {
    void *(*imageFirst)(void);        // slot 0
    void *(*imageNext)(void *image);  // slot 1
    void *slot2;
    const char *(*imageName)(void *image);  // slot 3
    void *slot4, *slot5, *slot6;
    void (*imageSize)(void *image, int *width, int *height);  // slot 7
    void *slot8;
    void (*imagePixelRGB)(void *image, int x, int y, float rgb[3]);  // slot 9
    void *slot10, *slot11, *slot12, *slot13, *slot14, *slot15, *slot16, *slot17, *slot18;
    int (*imageChangeEvent)(ImageChange callback, int code);  // slot 19
};

enum { IMAGE_CHANGE_REGISTER = 0, IMAGE_CHANGE_UNREGISTER = 1 };

}  // extern "C"

// ---- Layout checks ---------------------------------------------------------------------------

#define HOST_SLOT(T, member, n) static_assert(offsetof(T, member) == (n) * sizeof(void *), #T "." #member)

HOST_SLOT(PanelFuncs, panelCreate, 0);
HOST_SLOT(PanelFuncs, panelDestroy, 1);
HOST_SLOT(PanelFuncs, panelOpen, 2);
HOST_SLOT(PanelFuncs, panelSet, 7);
HOST_SLOT(PanelFuncs, controlAdd, 8);
HOST_SLOT(PanelFuncs, globalFun, 12);
HOST_SLOT(ControlFuncs, controlDraw, 0);
HOST_SLOT(ControlFuncs, controlGet, 1);
HOST_SLOT(ControlFuncs, controlSet, 2);
HOST_SLOT(ContextMenuFuncs, menuCreate, 0);
HOST_SLOT(ContextMenuFuncs, menuDeploy, 1);
HOST_SLOT(MessageFuncs, messageInfo, 0);
HOST_SLOT(ImageListFuncs, imageFirst, 0);
HOST_SLOT(ImageListFuncs, imageNext, 1);
HOST_SLOT(ImageListFuncs, imageName, 3);
HOST_SLOT(ImageListFuncs, imageSize, 7);
HOST_SLOT(ImageListFuncs, imagePixelRGB, 9);
HOST_SLOT(ImageListFuncs, imageChangeEvent, 19);
HOST_SLOT(ServerEntry, className, 0);
HOST_SLOT(ServerEntry, name, 1);
HOST_SLOT(ServerEntry, activate, 2);
HOST_SLOT(ServerEntry, tagInfo, 3);
HOST_SLOT(InstanceFuncs, priv, 0);
HOST_SLOT(InstanceFuncs, create, 1);
HOST_SLOT(InstanceFuncs, destroy, 2);
HOST_SLOT(InstanceFuncs, copy, 3);
HOST_SLOT(InstanceFuncs, load, 4);
HOST_SLOT(InstanceFuncs, save, 5);
HOST_SLOT(InstanceFuncs, describe, 6);
#undef HOST_SLOT

static_assert(sizeof(int) == 4, "int is 32 bits");
static_assert(sizeof(ServerEntry) == 4 * sizeof(void *), "ServerEntry");
static_assert(sizeof(InstanceFuncs) == 7 * sizeof(void *), "InstanceFuncs");
static_assert(offsetof(InterfaceRecord, instance) == 0, "InterfaceRecord.instance");
static_assert(offsetof(ModuleDescriptor, version) == 4, "ModuleDescriptor.version");
static_assert(offsetof(ModuleDescriptor, machine) == 8, "ModuleDescriptor.machine");

#if UINTPTR_MAX == 0xFFFFFFFFu  // 32-bit Windows
static_assert(offsetof(ModuleDescriptor, startup) == 12, "ModuleDescriptor.startup");
static_assert(offsetof(ModuleDescriptor, servers) == 20 && sizeof(ModuleDescriptor) == 24, "ModuleDescriptor");
static_assert(offsetof(HandlerRecord, type) == 8 && offsetof(HandlerRecord, event) == 12, "HandlerRecord");
static_assert(offsetof(HandlerRecord, flags) == 16 && sizeof(HandlerRecord) == 20, "HandlerRecord");
static_assert(offsetof(ControlValue, v) == 4 && sizeof(ControlValue) == 16, "ControlValue");
static_assert(offsetof(ControlValue, v.str.bufLen) == 8, "ControlValue.str.bufLen");
static_assert(offsetof(ControlDesc, d) == 4 && sizeof(ControlDesc) == 16, "ControlDesc");
static_assert(offsetof(ControlDesc, d.popup.count) == 8 && offsetof(ControlDesc, d.popup.name) == 12, "popup");
static_assert(offsetof(ControlDesc, d.choice.reserved) == 8, "ControlDesc.choice.reserved");
#else  // 64-bit Linux
static_assert(offsetof(ModuleDescriptor, startup) == 16, "ModuleDescriptor.startup");
static_assert(offsetof(ModuleDescriptor, servers) == 32 && sizeof(ModuleDescriptor) == 40, "ModuleDescriptor");
static_assert(offsetof(HandlerRecord, type) == 16 && offsetof(HandlerRecord, event) == 24, "HandlerRecord");
static_assert(offsetof(HandlerRecord, flags) == 32 && sizeof(HandlerRecord) == 40, "HandlerRecord");
static_assert(offsetof(ControlValue, v) == 8 && sizeof(ControlValue) == 24, "ControlValue");
static_assert(offsetof(ControlValue, v.str.bufLen) == 16, "ControlValue.str.bufLen");
static_assert(offsetof(ControlDesc, d) == 8 && sizeof(ControlDesc) == 32, "ControlDesc");
static_assert(offsetof(ControlDesc, d.popup.count) == 16 && offsetof(ControlDesc, d.popup.name) == 24, "popup");
static_assert(offsetof(ControlDesc, d.choice.reserved) == 16, "ControlDesc.choice.reserved");
#endif
static_assert(offsetof(ControlValue, v.ivec) == offsetof(ControlValue, v.intv), "ControlValue.ivec");
static_assert(offsetof(ControlDesc, d.area.height) == offsetof(ControlDesc, d) + 4, "ControlDesc.area");
