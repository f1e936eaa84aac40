// scenario.cpp: the fixed cross-platform scenario.
#include "standin/scenario.h"

#include <math.h>

#include <vector>

#include "standin/host.h"
#include "standin/module_loader.h"
#include "standin/script.h"

namespace standin {

const char scenarioScript[] =
    "choose 1\n"
    "mouse move 10 60\n"
    "mouse move 138 60\n"
    "mouse move 266 60\n"
    "choose 2\n"
    "channel R\n"
    "mouse move 200 60\n"
    "option QuickHisto\n"
    "option Autoupdate\n"
    "change\n"
    "paint\n"
    "hzoom +3\n"
    "vzoom -2\n"
    "offset +4\n"
    "mouse move 90 60\n"
    "mouse press 60 60\n"
    "mouse move 140 60\n"
    "mouse release 140 60\n"
    "selection\n"
    "reset\n"
    "option ReCalcZoom\n"
    "offset -5\n"
    "hzoom +2\n"
    "mouse press 40 60\n"
    "mouse move 120 60\n"
    "mouse release 120 60\n"
    "selection\n"
    "option Info\n"
    "choose 3\n"
    "channel G\n"
    "mouse move 30 60\n"
    "range LDR\n"
    "channel BW\n"
    "mouse move 150 60\n"
    "choose 4\n"
    "option Autoupdate\n"
    "choose 0\n";

void addScenarioImages() {
    // A ramp over 0..1 in red, 1..0 in green and a constant blue.
    addGeneratedImage("ramp", 64, 32, [](int x, int y, float *rgb) {
        rgb[0] = static_cast<float>(x) / 63.0f;
        rgb[1] = 1.0f - static_cast<float>(x) / 63.0f;
        rgb[2] = 0.25f + static_cast<float>(y) / 256.0f;
    });
    // A sky with a sun: smooth values with a peak of 3.5, so it is normalised.
    addGeneratedImage("hdr-sky", 300, 140, [](int x, int y, float *rgb) {
        const float dx = static_cast<float>(x - 220), dy = static_cast<float>(y - 30);
        const float sun = 3.5f / (1.0f + (dx * dx + dy * dy) / 40.0f);
        rgb[0] = 0.2f + 0.3f * static_cast<float>(y) / 140.0f + sun;
        rgb[1] = 0.3f + 0.3f * static_cast<float>(y) / 140.0f + sun * 0.9f;
        rgb[2] = 0.6f + 0.2f * static_cast<float>(y) / 140.0f + sun * 0.7f;
    });
    // Negatives, over-range values and a dark region.
    addGeneratedImage("mixed", 130, 257, [](int x, int y, float *rgb) {
        const float t = static_cast<float>((x * 7 + y * 13) % 101) / 50.0f - 0.4f;
        rgb[0] = t;
        rgb[1] = x < 40 ? 0.01f : t * 0.5f;
        rgb[2] = y < 30 ? -0.2f : 1.5f - t;
    });
    // An image that reports no pixels.
    addImage("empty", 0, 0);
}

namespace {

void appendLayout(std::string &report, const Panel &panel) {
    report += "panel \"" + panel.title + "\" height " + std::to_string(panel.height) + " open flags " +
              std::to_string(panel.openFlags) + "\n";
    for (const Control *c : panel.controls)
        report += "  " + c->type + " \"" + printable(c->label) + "\" at " + std::to_string(c->x) + "," +
                  std::to_string(c->y) + " size " + std::to_string(c->w) + "x" + std::to_string(c->h) + "\n";
}

}  // namespace

bool runScenario(const std::string &modulePath, std::string &report, std::string &error) {
    resetHost();
    addScenarioImages();
    std::vector<Action> actions;
    if (!parseScript(scenarioScript, actions, error)) return false;

    LoadedModule module;
    if (!loadModule(modulePath, module, error)) return false;
    Session session;
    if (!openSession(module, session, error)) {
        unloadModule(module);
        return false;
    }
    PanelControls controls;
    if (!findPanelControls(lastPanel(), controls, error)) {
        closeSession(session);
        unloadModule(module);
        return false;
    }
    report = "module " + std::string(session.inst.describe ? session.inst.describe(session.instance) : "?") + "\n";
    appendLayout(report, *controls.panel);
    report += "start | " + describeState(controls) + "\n";
    for (const Action &action : actions) {
        resetPixelCalls();
        const size_t deploys = host().menus.empty() ? 0 : static_cast<size_t>(host().menus.back()->deployments);
        runAction(action, controls);
        report += action.text + " | " + describeState(controls) + "\n";
        if (!host().menus.empty() && static_cast<size_t>(host().menus.back()->deployments) != deploys) {
            report += "  menu opened on item " + std::to_string(host().menus.back()->lastInitialItem) + ":";
            for (const std::string &name : host().menus.back()->shownNames) report += " \"" + printable(name) + "\"";
            report += "\n";
        }
    }
    for (const auto &message : host().infoMessages)
        report += "message \"" + printable(message.first) + "\" \"" + message.second + "\"\n";
    report += "image change calls " + std::to_string(host().changeEvents.size()) + "\n";
    closeSession(session);
    report += "after destroy: panel alive " + std::to_string(controls.panel->alive) + ", change callbacks " +
              std::to_string(host().changeCallbacks.size()) + "\n";
    unloadModule(module);
    return true;
}

}  // namespace standin
