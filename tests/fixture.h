// fixture.h: a fresh module and stand-in host for every test, with the panel opened the way
// the host opens it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "binding/binding.h"
#include "engine/histogram.h"
#include "engine/viewer_state.h"
#include "standin/host.h"
#include "standin/script.h"

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        standin::resetHost();
        viewer = ViewerState{};
    }
    void TearDown() override {
        if (instance) instanceDestroy(instance);
        instance = nullptr;
    }

    // Creates a handler instance and opens its interface; `ui` then names the panel's controls.
    void openPanel() {
        InstanceFuncs inst = {};
        HandlerRecord handler = {&inst, nullptr, 0, nullptr, nullptr};
        ASSERT_EQ(handlerActivate(4, standin::globalLookup, &handler, nullptr), 0);
        instance = instanceCreate(nullptr, nullptr, nullptr);
        InterfaceRecord record = {instance};
        ASSERT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 0);
        std::string error;
        ASSERT_TRUE(standin::findPanelControls(standin::lastPanel(), ui, error)) << error;
    }

    // An image whose pixels all hold the same RGB values.
    static standin::Image &uniformImage(const char *name, int w, int h, float r, float g, float b) {
        std::vector<float> px;
        for (long i = 0; i < static_cast<long>(w) * h; i++) px.insert(px.end(), {r, g, b});
        return standin::addImage(name, w, h, px);
    }

    // An image of one row holding the given values, the same in all three channels.
    static standin::Image &rowImage(const char *name, const std::vector<float> &values) {
        std::vector<float> px;
        for (float v : values) px.insert(px.end(), {v, v, v});
        return standin::addImage(name, static_cast<int>(values.size()), 1, px);
    }

    // Makes `image` current and computes, as a choice would, without the choice's resets.
    static void computeFor(standin::Image &image) {
        viewer.currentImage = &image;
        computeHistogram();
    }

    void *instance = nullptr;
    standin::PanelControls ui;
};

// The indexes of the non-empty bins of one channel.
inline std::vector<int> filledBins(const float *bins) {
    std::vector<int> out;
    for (int i = 0; i < BIN_COUNT; i++)
        if (bins[i] != 0.0f) out.push_back(i);
    return out;
}

inline double binSum(const float *bins) {
    double sum = 0;
    for (int i = 0; i < BIN_COUNT; i++) sum += bins[i];
    return sum;
}
