// panels.cpp: the stand-in "LWPanelServices", "ContextMenuServices" and "Info Messages 2".
//
// Panels and controls are never freed before resetHost(): a destroyed one is marked dead, and
// any call into it stops the process with a message, so a module that reaches a control of a
// destroyed panel fails loudly instead of corrupting memory.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "standin/host.h"
#include "standin/services.h"

namespace standin {

namespace {

[[noreturn]] void fail(const char *what, const std::string &name) {
    fprintf(stderr, "stand-in host: %s (%s)\n", what, name.c_str());
    fflush(stderr);
    abort();
}

Control *liveControl(void *handle, const char *op) {
    Control *control = static_cast<Control *>(handle);
    if (!control) fail(op, "null control");
    if (!control->alive) fail(op, "a control of a destroyed panel: " + control->type + " \"" + control->label + "\"");
    return control;
}

Panel *livePanel(void *handle, const char *op) {
    Panel *panel = static_cast<Panel *>(handle);
    if (!panel) fail(op, "null panel");
    if (!panel->alive) fail(op, "a destroyed panel \"" + panel->title + "\"");
    return panel;
}

void record(const char *what, const Control *control, int tag, std::string detail = {}) {
    Host &h = host();
    if (h.recordCalls) h.calls.push_back({what, control ? control->index : -1, tag, std::move(detail)});
}

// Label width: 7 pixels a character; the host's icon code (0x03 and "(i:N)") counts 16.
int labelPixels(const std::string &label) {
    if (!label.empty() && label[0] == '\003') {
        size_t close = label.find(')');
        if (close != std::string::npos) return 16 + 7 * static_cast<int>(label.size() - close - 1);
    }
    return 7 * static_cast<int>(label.size());
}

void defaultSize(Control &c) {
    const ControlDesc &d = c.desc;
    c.h = 20;
    if (c.type == "CustomPopupControl") {
        c.w = d.d.popup.width + 20;
    } else if (c.type == "OpenGLControl") {
        c.w = d.d.area.width;
        c.h = d.d.area.height;
    } else if (c.type == "ButtonControl") {
        c.w = labelPixels(c.label) + 16;
    } else if (c.type == "ChoiceControl") {
        c.w = 0;
        for (const std::string &item : c.items) c.w += 7 * static_cast<int>(item.size()) + 14;
    } else if (c.type == "DragButtonControl") {
        if (d.d.area.width == -1) c.w = 24;
        else if (d.d.area.height == -1) c.w = 20, c.h = 24;
        else c.w = d.d.area.width, c.h = d.d.area.height;
    } else if (c.type == "EditControl") {
        c.w = labelPixels(c.label) + 7 * d.d.edit.width + 8;
    } else {
        c.w = 20;
    }
}

int intOf(const Control &c, int tag) {
    switch (tag) {
    case CTL_X: return c.x;
    case CTL_Y: return c.y;
    case CTL_W: return c.w;
    case CTL_H: return c.h;
    default: return c.value;
    }
}

void controlDraw(void *handle, int mode) {
    Control *c = liveControl(handle, "controlDraw");
    c->draws++;
    record("draw", c, mode);
    if (c->type == "OpenGLControl" && c->event) {
        if (host().drawOpenGL) host().drawOpenGL(*c);
        else c->event(c, c->userData);
    }
}

void controlGet(void *handle, int tag, ControlValue *value) {
    Control *c = liveControl(handle, "controlGet");
    record("get", c, tag);
    if (tag == CTL_VALUE && value->type == VALUE_IVEC) {
        value->v.ivec[0] = c->value;
        value->v.ivec[1] = value->v.ivec[2] = 0;
    } else if (tag == CTL_VALUE && value->type == VALUE_STRING) {
        if (value->v.str.buf && value->v.str.bufLen > 0)
            snprintf(value->v.str.buf, static_cast<size_t>(value->v.str.bufLen), "%s", c->text.c_str());
    } else if (tag == CTL_EVENT) {
        value->v.ptr = reinterpret_cast<void *>(c->event);
    } else if (tag == CTL_USERDATA) {
        value->v.ptr = c->userData;
    } else {
        value->v.intv = intOf(*c, tag);
    }
}

void controlSet(void *handle, int tag, ControlValue *value) {
    Control *c = liveControl(handle, "controlSet");
    switch (tag) {
    case CTL_X: c->x = value->v.intv; break;
    case CTL_Y: c->y = value->v.intv; break;
    case CTL_EVENT: c->event = reinterpret_cast<ControlEvent>(value->v.ptr); break;
    case CTL_USERDATA: c->userData = value->v.ptr; break;
    case CTL_VALUE:
        if (value->type == VALUE_STRING) {
            const char *text = value->v.str.buf ? value->v.str.buf : "";
            c->text.assign(text, strnlen(text, 4096));
            if (host().keepTexts) c->texts.push_back(c->text);
            record("set", c, tag, c->text);
            return;
        }
        c->value = value->type == VALUE_IVEC ? value->v.ivec[0] : value->v.intv;
        break;
    default: break;
    }
    record("set", c, tag, std::to_string(value->v.intv));
}

void *panelCreate(const char *title, void *) {
    Host &h = host();
    record("panelCreate", nullptr, -1, title ? title : "");
    if (h.failPanelCreate) return nullptr;
    h.panels.push_back(std::make_unique<Panel>());
    h.panels.back()->title = title ? title : "";
    return h.panels.back().get();
}

void panelDestroy(void *handle) {
    Panel *panel = livePanel(handle, "panelDestroy");
    record("panelDestroy", nullptr, -1, panel->title);
    panel->alive = false;
    panel->open = false;
    for (Control *c : panel->controls) c->alive = false;
}

int panelOpen(void *handle, int flags) {
    Panel *panel = livePanel(handle, "panelOpen");
    record("panelOpen", nullptr, flags);
    panel->open = true;
    panel->openFlags = flags;
    return 1;  // non-modal: returns at once, the panel stays open
}

void panelSet(void *handle, int tag, void *value) {
    Panel *panel = livePanel(handle, "panelSet");
    record("panelSet", nullptr, tag);
    if (tag == PAN_H) panel->height = *static_cast<int *>(value);
    if (tag == PAN_MOUSEBUTTON) panel->mouseButton = reinterpret_cast<PanelMouse>(value);
    if (tag == PAN_MOUSEMOVE) panel->mouseMove = reinterpret_cast<PanelMouse>(value);
}

void *controlAdd(void *handle, const char *typeName, ControlDesc *desc, const char *label) {
    Panel *panel = livePanel(handle, "controlAdd");
    Host &h = host();
    h.controls.push_back(std::make_unique<Control>());
    Control &c = *h.controls.back();
    c.ops = {controlDraw, controlGet, controlSet};
    c.panel = panel;
    c.index = static_cast<int>(panel->controls.size());
    c.type = typeName ? typeName : "";
    c.label = label ? label : "";
    if (desc) c.desc = *desc;
    if (desc && desc->type == DESC_CHOICE && desc->d.choice.items)
        for (int i = 0; i < 64 && desc->d.choice.items[i]; i++) c.items.push_back(desc->d.choice.items[i]);
    defaultSize(c);
    auto size = h.sizeOverrides.find(c.index);
    if (size != h.sizeOverrides.end()) c.w = size->second.first, c.h = size->second.second;
    panel->controls.push_back(&c);
    record("add", &c, -1, c.type);
    return &c;
}

void *menuCreate(ControlDesc *desc, void *userData) {
    Host &h = host();
    if (h.failMenuCreate) return nullptr;
    h.menus.push_back(std::make_unique<Menu>());
    if (desc) h.menus.back()->desc = *desc;
    h.menus.back()->userData = userData;
    return h.menus.back().get();
}

int menuDeploy(void *handle, void *, int initialItem) {
    Host &h = host();
    Menu *menu = static_cast<Menu *>(handle);
    menu->deployments++;
    menu->lastInitialItem = initialItem;
    menu->shownNames.clear();
    const ControlDesc &d = menu->desc;
    const int count = d.d.popup.count ? d.d.popup.count(menu->userData) : 0;
    for (int i = 0; i < count && i < 64; i++) {
        const char *name = d.d.popup.name ? d.d.popup.name(menu->userData, i) : nullptr;
        menu->shownNames.push_back(name ? name : "(null)");
    }
    if (h.menuAnswers.empty()) return -1;
    const int answer = h.menuAnswers.front();
    h.menuAnswers.pop_front();
    return answer;
}

void messageInfo(const char *text, const char *text2) {
    host().infoMessages.push_back({text ? text : "", text2 ? text2 : ""});
}

}  // namespace

PanelFuncs panelFuncs = {panelCreate, panelDestroy, panelOpen, nullptr, nullptr, nullptr, nullptr,
                         panelSet,    controlAdd,   nullptr,   nullptr, nullptr, nullptr};
ContextMenuFuncs contextMenuFuncs = {menuCreate, menuDeploy};
MessageFuncs messageFuncs = {messageInfo};

Control *controlOf(void *handle) { return static_cast<Control *>(handle); }

Panel *lastPanel() { return host().panels.empty() ? nullptr : host().panels.back().get(); }

Control *findControl(Panel *panel, const std::string &type, const std::string &label, int nth) {
    if (!panel) return nullptr;
    for (Control *c : panel->controls)
        if (c->type == type && c->label == label && nth-- == 0) return c;
    return nullptr;
}

}  // namespace standin
