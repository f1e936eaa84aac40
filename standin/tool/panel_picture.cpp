// panel_picture.cpp: a small software painter: filled rectangles and stb_easy_font's text.
#include "standin/tool/panel_picture.h"

#include <stb_easy_font.h>

#include <algorithm>
#include <string>

namespace standin {

namespace {

struct Colour {
    unsigned char r, g, b;
};

void fill(Picture &p, int x0, int y0, int w, int h, Colour c) {
    const int x1 = std::min(p.width, x0 + w), y1 = std::min(p.height, y0 + h);
    for (int y = std::max(0, y0); y < y1; y++)
        for (int x = std::max(0, x0); x < x1; x++) {
            unsigned char *px = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
            px[0] = c.r, px[1] = c.g, px[2] = c.b, px[3] = 255;
        }
}

void box(Picture &p, int x, int y, int w, int h, Colour inside, Colour edge) {
    fill(p, x, y, w, h, edge);
    fill(p, x + 1, y + 1, w - 2, h - 2, inside);
}

void text(Picture &p, int x, int y, const std::string &s, Colour c) {
    static char quads[64 * 1024];
    std::string copy = s;
    unsigned char colour[4] = {c.r, c.g, c.b, 255};
    const int n = stb_easy_font_print(0, 0, &copy[0], colour, quads, sizeof quads);
    // Each quad is four vertices of 16 bytes (x, y, z as floats, then the colour).
    for (int q = 0; q < n; q++) {
        const float *v0 = reinterpret_cast<const float *>(quads + q * 64);
        const float *v2 = reinterpret_cast<const float *>(quads + q * 64 + 32);
        const int qx = static_cast<int>(v0[0]), qy = static_cast<int>(v0[1]);
        fill(p, x + qx, y + qy, static_cast<int>(v2[0]) - qx, static_cast<int>(v2[1]) - qy, c);
    }
}

int textWidth(const std::string &s) {
    std::string copy = s;
    return stb_easy_font_width(&copy[0]);
}

const Colour PANEL = {112, 112, 118}, EDGE = {40, 40, 44}, LIGHT = {230, 230, 230}, DARK = {20, 20, 20};

}  // namespace

std::string shownLabel(const std::string &label) {
    if (label.empty() || label[0] != '\003') return label;
    const size_t close = label.find(')');
    const std::string icon = label.substr(1, close == std::string::npos ? 0 : close);
    const std::string rest = close == std::string::npos ? label.substr(1) : label.substr(close + 1);
    if (icon == "(i:4)") return "[x]" + rest;
    if (icon == "(i:11)") return "[ ]" + rest;
    return "[i]" + rest;
}

std::string shownText(const Control &c) {
    if (c.type == "EditControl") return c.text;
    if (c.type == "ChoiceControl")
        return c.value >= 0 && c.value < static_cast<int>(c.items.size()) ? c.items[c.value] : "";
    if (c.type == "DragButtonControl") return std::to_string(c.value);
    if (c.type == "CustomPopupControl" && c.desc.d.popup.name) {
        const char *name = c.desc.d.popup.name(nullptr, c.value);
        return name ? name : "";
    }
    return "";
}

Picture panelPicture(const Panel &panel) {
    Picture p;
    for (const Control *c : panel.controls) {
        p.width = std::max(p.width, c->x + c->w + 5);
        p.height = std::max(p.height, c->y + c->h + 5);
    }
    p.height = std::max(p.height, panel.height);
    p.width = std::clamp(p.width, 1, 4096);
    p.height = std::clamp(p.height, 1, 4096);
    p.rgba.assign(static_cast<size_t>(p.width) * p.height * 4, 0);
    fill(p, 0, 0, p.width, p.height, PANEL);

    for (const Control *c : panel.controls) {
        const int ty = c->y + (c->h - 7) / 2;  // easy_font's capitals are 7 pixels high
        if (c->type == "OpenGLControl") {
            const int w = c->desc.d.area.width, h = c->desc.d.area.height;
            if (c->rendered && c->pixels.size() == static_cast<size_t>(w) * h * 4) {
                for (int y = 0; y < h; y++)
                    for (int x = 0; x < w; x++) {
                        const unsigned char *s = &c->pixels[(static_cast<size_t>(y) * w + x) * 4];
                        fill(p, c->x + x, c->y + y, 1, 1, {s[0], s[1], s[2]});
                    }
            } else {
                box(p, c->x, c->y, c->w, c->h, {60, 60, 60}, EDGE);
                text(p, c->x + 8, c->y + 8, "view not rendered", LIGHT);
            }
        } else if (c->type == "ChoiceControl") {
            int x = c->x;
            for (size_t i = 0; i < c->items.size(); i++) {
                const int w = 7 * static_cast<int>(c->items[i].size()) + 14;
                const bool chosen = static_cast<int>(i) == c->value;
                box(p, x, c->y, w, c->h, chosen ? Colour{200, 200, 120} : Colour{150, 150, 158}, EDGE);
                text(p, x + 7, ty, c->items[i], DARK);
                x += w;
            }
        } else if (c->type == "EditControl") {
            const std::string label = shownLabel(c->label);
            const int labelW = textWidth(label) + 6;
            text(p, c->x + 2, ty, label, LIGHT);
            box(p, c->x + labelW, c->y + 1, c->w - labelW, c->h - 2, {235, 235, 225}, EDGE);
            text(p, c->x + labelW + 3, ty, shownText(*c), DARK);
        } else {
            const bool drag = c->type == "DragButtonControl";
            box(p, c->x, c->y, c->w, c->h, drag ? Colour{128, 128, 150} : Colour{160, 160, 168}, EDGE);
            const std::string s = drag ? shownText(*c) : c->type == "CustomPopupControl" ? shownText(*c) + " v"
                                                                                         : shownLabel(c->label);
            text(p, c->x + 5, ty, s, DARK);
        }
    }
    return p;
}

}  // namespace standin
