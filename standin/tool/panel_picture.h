// panel_picture.h: a picture of the whole panel as the host lays it out: every control at the
// position and size the module gave it, with its label and its current text or value, and the
// rendered view inset.
#pragma once

#include <vector>

#include "standin/host.h"

namespace standin {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;  // top row first
};

Picture panelPicture(const Panel &panel);

// What a control shows: an edit field's text, a choice's item, the chooser's item name, a drag
// button's value; the icon code of labels is shown as "[i]".
std::string shownText(const Control &control);
std::string shownLabel(const std::string &label);

}  // namespace standin
