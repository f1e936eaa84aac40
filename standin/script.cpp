// script.cpp: parsing and running the user's actions.
#include "standin/script.h"

#include <stdlib.h>

#include <sstream>

namespace standin {

namespace {

bool parseInt(const std::string &word, int &value, bool needSign) {
    if (word.empty() || (needSign && word[0] != '+' && word[0] != '-')) return false;
    char *end = nullptr;
    long v = strtol(word.c_str(), &end, 10);
    if (*end != '\0' || v < -1000000 || v > 1000000) return false;
    value = static_cast<int>(v);
    return true;
}

int indexOf(const std::vector<std::string> &words, const std::string &word) {
    for (size_t i = 0; i < words.size(); i++)
        if (words[i] == word) return static_cast<int>(i);
    return -1;
}

const std::vector<std::string> CHANNELS = {"BW", "R", "G", "B"};
const std::vector<std::string> RANGES = {"HDR", "LDR"};
const std::vector<std::string> OPTIONS = {"Info", "Autoupdate", "ReCalcZoom", "QuickHisto"};

}  // namespace

bool parseAction(const std::string &text, int line, Action &action, std::string &error) {
    std::istringstream in(text);
    std::vector<std::string> w;
    for (std::string word; in >> word;) w.push_back(word);
    action = Action();
    action.text = text;
    action.line = line;
    auto fail = [&](const std::string &why) {
        error = "line " + std::to_string(line) + ": '" + text + "': " + why;
        return false;
    };
    if (w.empty()) return fail("empty action");
    action.verb = w[0];
    const std::string &v = w[0];
    auto words = [&](size_t n) { return w.size() == n + 1; };
    if (v == "choose") {
        if (!words(1) || !parseInt(w[1], action.number, false) || action.number < 0)
            return fail("expected 'choose N' with N = 0 for none, 1 for the first image");
    } else if (v == "channel" || v == "range" || v == "option") {
        const std::vector<std::string> &choices = v == "channel" ? CHANNELS : v == "range" ? RANGES : OPTIONS;
        if (!words(1) || indexOf(choices, w[1]) < 0) {
            std::string list;
            for (const std::string &c : choices) list += (list.empty() ? "" : "|") + c;
            return fail("expected '" + v + " " + list + "'");
        }
        action.word = w[1];
        action.number = indexOf(choices, w[1]);
    } else if (v == "hzoom" || v == "vzoom" || v == "offset") {
        if (!words(1) || !parseInt(w[1], action.number, true))
            return fail("expected '" + v + " +N' or '" + v + " -N'");
    } else if (v == "reset" || v == "selection" || v == "change" || v == "paint") {
        if (!words(0)) return fail("'" + v + "' takes no arguments");
    } else if (v == "mouse") {
        if (!words(3) || (w[1] != "move" && w[1] != "press" && w[1] != "release") ||
            !parseInt(w[2], action.x, false) || !parseInt(w[3], action.y, false))
            return fail("expected 'mouse move|press|release X Y'");
        action.word = w[1];
    } else {
        return fail("unknown action '" + v + "'");
    }
    return true;
}

bool parseScript(const std::string &script, std::vector<Action> &actions, std::string &error) {
    std::istringstream in(script);
    int line = 0;
    for (std::string text; std::getline(in, text);) {
        line++;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') continue;
        Action action;
        if (!parseAction(text.substr(first), line, action, error)) return false;
        actions.push_back(action);
    }
    return true;
}

bool findPanelControls(Panel *panel, PanelControls &c, std::string &error) {
    c = PanelControls();
    c.panel = panel;
    if (!panel) {
        error = "the module opened no panel";
        return false;
    }
    c.chooser = findControl(panel, "CustomPopupControl", "");
    c.view = findControl(panel, "OpenGLControl", "");
    c.options = findControl(panel, "ButtonControl", "\003(i:16) Options");
    c.channel = findControl(panel, "ChoiceControl", "", 0);
    c.range = findControl(panel, "ChoiceControl", "", 1);
    c.hZoom = findControl(panel, "DragButtonControl", "", 0);
    c.vZoom = findControl(panel, "DragButtonControl", "", 1);
    c.offset = findControl(panel, "DragButtonControl", "", 2);
    c.reset = findControl(panel, "ButtonControl", "Reset");
    c.selection = findControl(panel, "ButtonControl", "Selection");
    c.high = findControl(panel, "EditControl", "High: ");
    c.low = findControl(panel, "EditControl", "Low : ");
    c.pos = findControl(panel, "EditControl", "Pos: ");
    c.val = findControl(panel, "EditControl", "Val: ");
    for (Control *control : {c.chooser, c.view, c.options, c.channel, c.range, c.hZoom, c.vZoom, c.offset, c.reset,
                             c.selection, c.high, c.low, c.pos, c.val})
        if (!control) {
            error = "the module's panel lacks one of its controls";
            return false;
        }
    return true;
}

void runAction(const Action &a, const PanelControls &c) {
    const std::string &v = a.verb;
    if (v == "choose") chooseItem(c.chooser, a.number);
    else if (v == "channel") chooseItem(c.channel, a.number);
    else if (v == "range") chooseItem(c.range, a.number);
    else if (v == "option") pickMenuItem(c.options, a.number);
    else if (v == "hzoom" || v == "vzoom" || v == "offset") {
        Control *button = v == "hzoom" ? c.hZoom : v == "vzoom" ? c.vZoom : c.offset;
        const int step = a.number < 0 ? -1 : 1;
        for (int i = 0; i != a.number; i += step) dragTo(button, button->value + step);
    } else if (v == "reset") press(c.reset);
    else if (v == "selection") press(c.selection);
    else if (v == "change") fireImageChange();
    else if (v == "paint") paint(c.view);
    else if (v == "mouse") {
        if (a.word == "move") mouseMove(c.panel, a.x, a.y);
        else if (a.word == "press") mousePress(c.panel, a.x, a.y);
        else mouseRelease(c.panel, a.x, a.y);
    }
}

std::string printable(const std::string &text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\003') out += "\\x03";
        else if (ch == '\n') out += "\\n";
        else out += ch;
    }
    return out;
}

std::string describeState(const PanelControls &c) {
    const Host &h = host();
    std::string s;
    for (Control *field : {c.high, c.low, c.pos, c.val}) s += field->label + field->text + " | ";
    s += "channel " + CHANNELS[static_cast<size_t>(c.channel->value) % 4];
    s += " | range " + RANGES[static_cast<size_t>(c.range->value) % 2];
    s += " | pixel reads " + std::to_string(pixelCalls());
    s += " | redraws " + std::to_string(c.view->draws);
    s += " | change callbacks " + std::to_string(h.changeCallbacks.size());
    s += " | messages " + std::to_string(h.infoMessages.size());
    return s;
}

}  // namespace standin
