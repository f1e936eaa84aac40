// fuzz_host_events: libFuzzer turns its bytes into a host image list and a sequence of host
// events on the module, through the stand-in host, and checks the viewer state's invariants
// after every event. The stand-in host itself stops the process on any call into a destroyed
// control or panel, and on any pixel read outside an image.
#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "binding/binding.h"
#include "engine/viewer_state.h"
#include "standin/host.h"
#include "standin/script.h"
#include "tests/gl_recorder.h"

namespace {

struct Bytes {
    const uint8_t *data;
    size_t size, at = 0;
    bool more() const { return at < size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    int16_t word() { return static_cast<int16_t>(byte() | (byte() << 8)); }
};

const float VALUES[] = {NAN, INFINITY, -INFINITY, -0.0f, 1e-40f, FLT_MIN, -0.5f, -1e6f, 0.0f, 0.1f, 0.25f,
                        0.5f, 0.75f, 1.0f, 1.21f, 1.2109375f, 1.5f, 2.0f, 16777216.0f, FLT_MAX};
constexpr int VALUE_COUNT = sizeof VALUES / sizeof VALUES[0];

void addFuzzImage(Bytes &in, int serial) {
    const int w = in.byte() % 2 ? in.byte() % 8 : in.word() % 301;  // small ones more often
    const int h = in.byte() % 2 ? in.byte() % 8 : in.word() % 301;
    const int a = in.byte(), b = in.byte(), c = in.byte();
    standin::addGeneratedImage("fuzz" + std::to_string(serial), w, h, [a, b, c](int x, int y, float *rgb) {
        for (int k = 0; k < 3; k++) rgb[k] = VALUES[static_cast<unsigned>(x * a + y * b + c + k * 7) % VALUE_COUNT];
    });
}

[[noreturn]] void broken(const char *what) {
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
}

void checkInvariants(bool computed) {
    const ViewerState &s = viewer;
    const double samples = static_cast<double>(s.imageWidth > 0 ? s.imageWidth : 0) * (s.imageHeight > 0 ? s.imageHeight : 0);
    const float *bins[3] = {s.binsR, s.binsG, s.binsB};
    const float maxima[3] = {s.maxR, s.maxG, s.maxB};
    for (int c = 0; c < 3; c++) {
        double sum = 0;
        float largest = 0;
        for (int i = 0; i < BIN_COUNT; i++) {
            const float v = bins[c][i];
            if (!(v >= 0.0f) || v != floorf(v)) broken("a bin is not a whole number of at least 0");
            sum += v;
            largest = fmaxf(largest, v);
        }
        if (sum > samples) broken("a channel counts more samples than were read");
        if (maxima[c] != largest) broken("a maximum is not the largest bin");
    }
    if (s.maxAll != fmaxf(s.maxR, fmaxf(s.maxG, s.maxB))) broken("maxAll is not the largest maximum");
    for (int flag : {s.autoUpdate, s.quickHisto, s.recalcZoom, s.dragging, s.pendingRecompute})
        if (flag != 0 && flag != 1) broken("a flag is not 0 or 1");
    if (s.channel < 0 || s.channel > 3) broken("channel out of range");
    if (s.rangeMode < 0 || s.rangeMode > 1) broken("rangeMode out of range");
    if (computed && s.pendingRecompute) broken("pendingRecompute survived a computation");
    for (const auto &image : standin::host().imageStore)
        if (image->outOfRange) broken("a pixel was read outside its image");
}

// Panels that are still open, oldest first.
std::vector<standin::Panel *> livePanels() {
    std::vector<standin::Panel *> out;
    for (const auto &p : standin::host().panels)
        if (p->alive) out.push_back(p.get());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Bytes in{data, size};
    standin::resetHost();
    viewer = ViewerState{};
    glRecording = false;

    const int imageCount = in.byte() % 4;
    int serial = 0;
    for (int i = 0; i < imageCount; i++) addFuzzImage(in, serial++);

    InstanceFuncs inst = {};
    HandlerRecord handler = {&inst, nullptr, 0, nullptr, nullptr};
    handlerActivate(4, standin::globalLookup, &handler, nullptr);
    std::vector<void *> instances;

    for (int event = 0; event < 120 && in.more(); event++) {
        const uint8_t op = in.byte() % 18;
        std::vector<standin::Panel *> panels = livePanels();
        standin::Panel *panel = panels.empty() ? nullptr : panels[in.byte() % panels.size()];
        standin::PanelControls ui;
        std::string error;
        const bool haveUi = panel && standin::findPanelControls(panel, ui, error);
        const long long readsBefore = standin::pixelCalls();
        switch (op) {
        case 0:
            if (instances.size() < 4) instances.push_back(instanceCreate(nullptr, nullptr, nullptr));
            break;
        case 1:
            if (!instances.empty()) {
                const size_t k = in.byte() % instances.size();
                instanceDestroy(instances[k]);
                instances.erase(instances.begin() + static_cast<long>(k));
            }
            break;
        case 2:
            if (!instances.empty() && standin::host().panels.size() < 6) {
                InterfaceRecord record = {instances[in.byte() % instances.size()]};
                interfaceActivate(4, standin::globalLookup, &record, nullptr);
            }
            break;
        case 3:
            if (haveUi) standin::chooseItem(ui.chooser, static_cast<int8_t>(in.byte()) % 8);
            break;
        case 4:
            if (haveUi) {
                standin::Control *drag[3] = {ui.hZoom, ui.vZoom, ui.offset};
                standin::Control *button = drag[in.byte() % 3];
                standin::dragTo(button, button->value + static_cast<int8_t>(in.byte()));
            }
            break;
        case 5:
            if (haveUi) standin::press(ui.reset);
            break;
        case 6:
            if (haveUi) standin::press(ui.selection);
            break;
        case 7:
            if (haveUi) standin::pickMenuItem(ui.options, static_cast<int>(in.byte() % 7) - 1);
            break;
        case 8:
        case 9:
        case 10:
            if (panel) {
                const int x = in.byte() % 8 == 0 ? (in.byte() % 2 ? INT32_MAX : INT32_MIN) : in.word() % 700 - 100;
                const int y = in.word();
                if (op == 8) standin::mouseMove(panel, x, y);
                else if (op == 9) standin::mousePress(panel, x, y);
                else standin::mouseRelease(panel, x, y);
            }
            break;
        case 11:
            standin::fireImageChange();
            break;
        case 12:
            if (standin::host().images.size() < 6) addFuzzImage(in, serial++);
            break;
        case 13:
            if (!standin::host().images.empty())
                standin::removeImage(*standin::host().images[in.byte() % standin::host().images.size()]);
            break;
        case 14:
            if (haveUi) standin::paint(ui.view);
            break;
        case 15:
            if (haveUi) standin::chooseItem(ui.channel, in.byte() % 6);
            break;
        case 16:
            if (haveUi) standin::chooseItem(ui.range, in.byte() % 3);
            break;
        case 17:
            if (!instances.empty()) instanceDescribe(instances[in.byte() % instances.size()]);
            break;
        }
        checkInvariants(standin::pixelCalls() != readsBefore);
    }
    for (void *instance : instances) instanceDestroy(instance);
    return 0;
}
