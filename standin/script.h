// script.h: the user's actions as a small script, one action a line, run against the panel the
// module built, finding each control by what the panel shows (its type, label and order).
//
//   choose N              the image chooser's item N (0 is "none")
//   channel BW|R|G|B      range HDR|LDR
//   option Info|Autoupdate|ReCalcZoom|QuickHisto
//   hzoom +N|-N           vzoom +N|-N           offset +N|-N      (N drag events of one step)
//   reset                 selection
//   mouse move|press|release X Y                (panel pixels)
//   change                the host reports an image change
//   paint                 the host repaints the view
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <string>
#include <vector>

#include "standin/host.h"

namespace standin {

struct Action {
    std::string text;  // as written
    int line = 0;
    std::string verb;
    std::string word;  // channel, range, option and mouse words
    int number = 0;    // choose's index, a drag's step count (signed)
    int x = 0, y = 0;
};

// Parses one action; on error answers false with "line L: 'TEXT': reason".
bool parseAction(const std::string &text, int line, Action &action, std::string &error);
bool parseScript(const std::string &script, std::vector<Action> &actions, std::string &error);

// The panel's controls, found as a user finds them.
struct PanelControls {
    Panel *panel = nullptr;
    Control *chooser = nullptr, *view = nullptr, *options = nullptr, *channel = nullptr, *range = nullptr;
    Control *hZoom = nullptr, *vZoom = nullptr, *offset = nullptr, *reset = nullptr, *selection = nullptr;
    Control *high = nullptr, *low = nullptr, *pos = nullptr, *val = nullptr;
};
bool findPanelControls(Panel *panel, PanelControls &controls, std::string &error);

void runAction(const Action &action, const PanelControls &controls);

// The state a user can read off the panel, one line: read-outs, choices and the counts the host
// observed (pixel reads, redraw requests, registered change callbacks, messages).
std::string describeState(const PanelControls &controls);

// Printable text: the host's icon code 0x03 becomes "\x03".
std::string printable(const std::string &text);

}  // namespace standin
