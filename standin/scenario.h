// scenario.h: a fixed session with the module, the same on every platform: generated images
// (high dynamic range among them), options toggled, drags, probes and selections. Its report
// holds every read-out text and every count the host can observe, so two builds of the module
// can be compared byte for byte.
#pragma once

#include <string>

namespace standin {

// Adds the scenario's generated images to the host's list.
void addScenarioImages();

// The scenario's actions, one a line.
extern const char scenarioScript[];

// Loads the module at `modulePath`, runs the scenario and answers its report; on failure
// answers false with a one-line reason.
bool runScenario(const std::string &modulePath, std::string &report, std::string &error);

}  // namespace standin
