// host.h: the stand-in host: an in-memory implementation of the host services a plug-in module
// looks up ("LWPanelServices", "ContextMenuServices", "Info Messages 2", "LW Image List 4",
// "Image Utility", "File Request 2"), written from the same contract as the module.
//
// Everything the module asks of it is recorded, so a test, the scenario runner or the tool can
// see what the module did; and it offers calls that act as the user does. There is one host
// state per process (host callbacks carry no context), reset with resetHost().
//
// Size model: every control reports a deterministic size (see defaultSize in panels.cpp):
//   CustomPopupControl  width = described width + 20, height 20
//   OpenGLControl       the described width and height
//   ButtonControl       7 px per visible label character + 16 (an icon counts 16), height 20
//   ChoiceControl       7 px per item character + 14 per item, height 20
//   DragButtonControl   24 x 20 for a horizontal one (width -1), 20 x 24 for a vertical one
//                       (height -1), else the described size
//   EditControl         7 px per label character + 7 px per described character + 8, height 20
// A test may replace any control's size by its creation index (sizeOverrides).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/host_api.h"

namespace standin {

struct Panel;

struct Control {
    ControlFuncs ops;  // first: a control handle points to its operation slots
    Panel *panel = nullptr;
    int index = 0;  // creation order within its panel
    std::string type, label;
    ControlDesc desc = {};
    std::vector<std::string> items;  // a choice's items, copied at creation
    int x = 0, y = 0, w = 0, h = 0;
    int value = 0;
    std::string text;  // an edit field's text
    std::vector<std::string> texts;  // every text written, in order
    ControlEvent event = nullptr;
    void *userData = nullptr;
    int draws = 0;  // controlDraw requests
    bool alive = true;
    // OpenGL control: the last rendering (RGBA rows, top row first), when a context was had.
    std::vector<unsigned char> pixels;
    bool rendered = false;
};

struct Panel {
    std::string title;
    std::vector<Control *> controls;
    int height = -1;
    bool open = false;
    int openFlags = 0;
    PanelMouse mouseButton = nullptr, mouseMove = nullptr;
    bool buttonHeld = false;
    bool alive = true;
};

struct Image {
    std::string name;
    int width = 0, height = 0;  // as imageSize reports them
    std::vector<float> pixels;  // width x height x RGB, row by row; empty: `generate` is used
    std::function<void(int x, int y, float rgb[3])> generate;
    long long pixelCalls = 0;
    long long outOfRange = 0;  // requests outside 0 <= x < width, 0 <= y < height
    bool listed = true;  // false once removed from the list (the handle stays valid)
};

struct Menu {
    ControlDesc desc = {};
    void *userData = nullptr;
    int deployments = 0;
    int lastInitialItem = -2;
    std::vector<std::string> shownNames;  // the names the menu showed at its last deployment
};

struct CallRecord {
    std::string what;  // "set", "get", "draw", "add", "panelSet", "lookup", "imageChange" ...
    int control = -1;  // creation index, or -1
    int tag = -1;
    std::string detail;
};

struct Host {
    // Image list, in list order.
    std::vector<std::unique_ptr<Image>> imageStore;
    std::vector<Image *> images;
    std::vector<ImageChange> changeCallbacks;  // registered now
    std::vector<std::pair<ImageChange, int>> changeEvents;  // every imageChangeEvent call

    std::deque<std::unique_ptr<Panel>> panels;
    std::deque<std::unique_ptr<Control>> controls;
    std::deque<std::unique_ptr<Menu>> menus;
    std::vector<std::pair<std::string, std::string>> infoMessages;
    std::vector<std::string> lookups;
    std::vector<CallRecord> calls;  // panel and control calls, when recordCalls is on
    bool recordCalls = false;
    bool keepTexts = true;  // keep every text written into Control::texts (a benchmark turns it off)

    // Failures a test can ask for.
    std::set<std::string> missingServices;
    int panelServicesAnswers = -1;  // how many "LWPanelServices" lookups answer; -1: all
    bool failMenuCreate = false, failPanelCreate = false;
    std::map<int, std::pair<int, int>> sizeOverrides;  // creation index -> width, height

    // Menu answers, taken in order by menuDeploy; -1 (closed without a choice) when none is left.
    std::deque<int> menuAnswers;

    // How an OpenGL control's draw callback is run; by default with no context current.
    std::function<void(Control &)> drawOpenGL;
};

Host &host();
void resetHost();

// The host's global function, handed to the module's activations.
void *globalLookup(const char *serviceName, int useMode);

// Image list.
Image &addImage(const std::string &name, int width, int height, std::vector<float> pixels = {});
Image &addGeneratedImage(const std::string &name, int width, int height,
                         std::function<void(int, int, float *)> generate);
void removeImage(Image &image);
void fireImageChange();  // the host's images changed: call every registered callback
long long pixelCalls();  // over all images, while counting is on
// Whether imagePixelRGB counts its calls in Image::pixelCalls: on by default and after
// resetHost; a benchmark turns it off, so that its floor is what a lean host costs.
void countPixelCalls(bool on);
void resetPixelCalls();

// Panels and controls.
Panel *lastPanel();
Control *controlOf(void *handle);
Control *findControl(Panel *panel, const std::string &type, const std::string &label, int nth = 0);

// Acting as the user does.
void chooseItem(Control *control, int index);  // a chooser or choice item
void dragTo(Control *control, int value);      // a drag button moved to a value
void press(Control *control);                  // a button
void pickMenuItem(Control *optionsButton, int answer);  // open the menu on the button, pick
void mouseMove(Panel *panel, int x, int y);
void mousePress(Panel *panel, int x, int y);
void mouseRelease(Panel *panel, int x, int y);
void paint(Control *view);  // the host repaints the view by itself

}  // namespace standin
