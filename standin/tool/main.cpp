// tallomira-host: runs the plug-in module the way the layout host does, on real image files,
// and shows what an artist would see: the view, the whole panel and the read-outs.
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "standin/host.h"
#include "standin/images/image_files.h"
#include "standin/module_loader.h"
#include "standin/offscreen_gl.h"
#include "standin/script.h"
#include "standin/tool/panel_picture.h"

using namespace standin;

namespace {

const char USAGE[] =
    "usage: tallomira-host [options] [IMAGE ...]\n"
    "\n"
    "Loads the Tallomira plug-in module as the layout host does, offers IMAGE files as the host's\n"
    "image list (in the order given, named by their file names), runs the user's actions and\n"
    "writes what the panel shows: view.png (the histogram view as the module draws it) and\n"
    "panel.png (the whole panel), then prints the read-outs and the panel's state.\n"
    "\n"
    "Images: OpenEXR (RGB or Y, half or float), PNG, JPEG, BMP, TGA and Radiance HDR. 8- and\n"
    "16-bit images enter as linear values v / 255 or v / 65535, with no gamma conversion, so 1.0\n"
    "is full intensity. Without IMAGE a built-in high-dynamic-range test chart is offered.\n"
    "\n"
    "Options:\n"
    "  --module PATH   the plug-in module (default: tallomira.so beside this program)\n"
    "  --do ACTION     one action; repeat for more (default, with no --do or --script: choose 1)\n"
    "  --script FILE   actions from a file, one a line ('#' starts a comment line)\n"
    "  --out DIR       where view.png and panel.png are written (default: the current folder)\n"
    "  --json          print the state as JSON\n"
    "  --help          this text\n"
    "\n"
    "Actions:\n"
    "  choose N                     the chooser's item N: 0 none, 1 the first image ...\n"
    "  channel BW|R|G|B             range HDR|LDR\n"
    "  option Info|Autoupdate|ReCalcZoom|QuickHisto\n"
    "  hzoom +N|-N   vzoom +N|-N   offset +N|-N      N steps of a drag button\n"
    "  reset   selection\n"
    "  mouse move|press|release X Y                 panel pixels\n"
    "  change                       the host reports an image change\n"
    "  paint                        the host repaints the view\n";

struct Options {
    std::string module, outDir = ".";
    std::vector<std::string> images;
    std::vector<std::string> actions;  // --do
    std::string scriptFile;
    bool json = false;
};

int fail(const std::string &message) {
    fprintf(stderr, "tallomira-host: %s\n", message.c_str());
    return 1;
}

std::string besideThisProgram(const char *name) {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return name;
    path[n] = '\0';
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('/') + 1) + name;
}

// Answers 0 when the options parse, else the exit status.
int parseOptions(int argc, char **argv, Options &o) {
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        auto value = [&](std::string &into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            fputs(USAGE, stdout);
            return -1;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--module" || a == "--out" || a == "--script" || a == "--do") {
            if (!value(v)) return fprintf(stderr, "tallomira-host: %s needs a value\n", a.c_str()), 2;
            if (a == "--module") o.module = v;
            else if (a == "--out") o.outDir = v;
            else if (a == "--script") o.scriptFile = v;
            else o.actions.push_back(v);
        } else if (a.size() > 1 && a[0] == '-') {
            return fprintf(stderr, "tallomira-host: unknown option %s (see --help)\n", a.c_str()), 2;
        } else {
            o.images.push_back(a);
        }
    }
    if (o.module.empty()) o.module = besideThisProgram("tallomira.so");
    return 0;
}

bool readActions(const Options &o, std::vector<Action> &actions, std::string &error) {
    if (!o.scriptFile.empty()) {
        std::ifstream in(o.scriptFile);
        if (!in) return error = "cannot read the script " + o.scriptFile, false;
        std::stringstream text;
        text << in.rdbuf();
        if (!parseScript(text.str(), actions, error)) return error = o.scriptFile + ": " + error, false;
    }
    for (size_t i = 0; i < o.actions.size(); i++) {
        Action action;
        if (!parseAction(o.actions[i], static_cast<int>(i) + 1, action, error)) return error = "--do " + error, false;
        actions.push_back(action);
    }
    if (actions.empty()) {
        Action action;
        parseAction("choose 1", 1, action, error);
        actions.push_back(action);
    }
    return true;
}

// Writes through a temporary file, so that a failure leaves no partial output behind.
bool writePicture(const std::string &path, int width, int height, const unsigned char *rgba) {
    const std::string partial = path + ".partial";
    if (!writePng(partial, width, height, rgba) || rename(partial.c_str(), path.c_str()) != 0) {
        remove(partial.c_str());
        return false;
    }
    return true;
}

std::string jsonString(const std::string &s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c < 0x20) {
            char esc[8];
            snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else out += static_cast<char>(c);
    }
    return out + "\"";
}

struct Report {
    std::string image;
    int imageIndex = 0;
    std::string channel, range;
    std::vector<std::pair<std::string, std::string>> readouts;  // label, text
    std::vector<std::pair<std::string, bool>> options;         // as the menu shows them
    std::string viewPng, panelPng, notRendered;
    long long pixelReads = 0;
};

Report makeReport(const PanelControls &ui) {
    Report r;
    r.imageIndex = ui.chooser->value;
    r.image = shownText(*ui.chooser);
    r.channel = shownText(*ui.channel);
    r.range = shownText(*ui.range);
    for (Control *field : {ui.high, ui.low, ui.pos, ui.val}) {
        std::string label = field->label;
        while (!label.empty() && (label.back() == ' ' || label.back() == ':')) label.pop_back();
        r.readouts.push_back({label, field->text});
    }
    // The options menu's items as the host would show them now.
    if (!host().menus.empty()) {
        const Menu &menu = *host().menus.back();
        const int count = menu.desc.d.popup.count ? menu.desc.d.popup.count(menu.userData) : 0;
        for (int i = 1; i < count && i < 64; i++) {
            const char *name = menu.desc.d.popup.name(menu.userData, i);
            const std::string shown = shownLabel(name ? name : "");
            if (shown.size() > 4) r.options.push_back({shown.substr(4), shown.compare(0, 3, "[x]") == 0});
        }
    }
    r.pixelReads = pixelCalls();
    return r;
}

void printReport(const Report &r, bool json) {
    if (json) {
        std::string s = "{\n  \"image\": " + jsonString(r.image) + ",\n  \"imageIndex\": " + std::to_string(r.imageIndex);
        s += ",\n  \"channel\": " + jsonString(r.channel) + ",\n  \"range\": " + jsonString(r.range);
        s += ",\n  \"readouts\": {";
        for (size_t i = 0; i < r.readouts.size(); i++)
            s += (i ? ", " : "") + jsonString(r.readouts[i].first) + ": " + jsonString(r.readouts[i].second);
        s += "},\n  \"options\": {";
        for (size_t i = 0; i < r.options.size(); i++)
            s += (i ? ", " : "") + jsonString(r.options[i].first) + ": " + (r.options[i].second ? "true" : "false");
        s += "},\n  \"pixelReads\": " + std::to_string(r.pixelReads);
        s += ",\n  \"view\": " + (r.viewPng.empty() ? std::string("null") : jsonString(r.viewPng));
        s += ",\n  \"panel\": " + jsonString(r.panelPng) + "\n}\n";
        fputs(s.c_str(), stdout);
        return;
    }
    printf("image:   %s (item %d)\n", r.image.c_str(), r.imageIndex);
    printf("channel: %s\nrange:   %s\n", r.channel.c_str(), r.range.c_str());
    for (const auto &readout : r.readouts) printf("%-5s %s\n", (readout.first + ":").c_str(), readout.second.c_str());
    printf("options:");
    for (const auto &option : r.options) printf(" %s %s;", option.first.c_str(), option.second ? "on" : "off");
    printf("\npixel reads: %lld\n", r.pixelReads);
    if (r.viewPng.empty()) printf("view:    not rendered (%s)\n", r.notRendered.c_str());
    else printf("view:    %s\n", r.viewPng.c_str());
    printf("panel:   %s\n", r.panelPng.c_str());
}

}  // namespace

int main(int argc, char **argv) {
    Options options;
    if (int status = parseOptions(argc, argv, options)) return status < 0 ? 0 : status;

    std::vector<RgbImage> images;
    std::string error;
    for (const std::string &path : options.images) {
        RgbImage image;
        if (!readImageFile(path, image, error)) return fail(error);
        images.push_back(std::move(image));
    }
    if (images.empty()) images.push_back(testChart());
    std::vector<Action> actions;
    if (!readActions(options, actions, error)) return fail(error);

    resetHost();
    for (RgbImage &image : images) addImage(image.name, image.width, image.height, std::move(image.pixels));
    std::string noGL;
    const bool canRender = useOffscreenGL(noGL);

    LoadedModule module;
    if (!loadModule(options.module, module, error)) return fail(error);
    Session session;
    if (!openSession(module, session, error)) {
        unloadModule(module);
        return fail(options.module + ": " + error);
    }
    PanelControls ui;
    if (!findPanelControls(lastPanel(), ui, error)) {
        closeSession(session);
        unloadModule(module);
        return fail(error);
    }
    resetPixelCalls();
    for (const Action &action : actions) runAction(action, ui);
    paint(ui.view);  // the picture shows the state after the last action

    Report report = makeReport(ui);
    const std::string viewPath = options.outDir + "/view.png", panelPath = options.outDir + "/panel.png";
    bool written = true;
    if (canRender && ui.view->rendered) {
        written = writePicture(viewPath, ui.view->desc.d.area.width, ui.view->desc.d.area.height, ui.view->pixels.data());
        report.viewPng = viewPath;
    } else {
        report.notRendered = canRender ? "the view was not drawn" : noGL;
    }
    const Picture picture = panelPicture(*ui.panel);
    written = written && writePicture(panelPath, picture.width, picture.height, picture.rgba.data());
    report.panelPng = panelPath;
    closeSession(session);
    unloadModule(module);
    if (!written) {
        remove(viewPath.c_str());
        return fail("cannot write the pictures into " + options.outDir);
    }
    if (!canRender) fprintf(stderr, "tallomira-host: nothing was rendered: %s\n", noGL.c_str());
    printReport(report, options.json);
    return 0;
}
