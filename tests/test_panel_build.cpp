// Building the panel: controls, descriptions, texts, layout, callbacks and height.
#include "navigation/probe.h"
#include "navigation/view_controls.h"
#include "panel/image_chooser.h"
#include "panel/options_menu.h"
#include "render/draw.h"
#include "tests/fixture.h"

using standin::Control;

namespace {

template <typename F>
void *fn(F *f) {
    return reinterpret_cast<void *>(f);
}

}  // namespace

TEST_F(ModuleTest, PanelHasItsFourteenControlsInCreationOrder) {
    openPanel();
    struct {
        const char *type, *label;
        int desc;
    } want[] = {
        {"CustomPopupControl", "", 18}, {"OpenGLControl", "", 19},   {"ButtonControl", "\003(i:16) Options", 2},
        {"ChoiceControl", "", 9},       {"ChoiceControl", "", 9},    {"DragButtonControl", "", 19},
        {"DragButtonControl", "", 19},  {"DragButtonControl", "", 19}, {"ButtonControl", "Reset", 2},
        {"ButtonControl", "Selection", 2}, {"EditControl", "High: ", 1}, {"EditControl", "Low : ", 1},
        {"EditControl", "Pos: ", 1},    {"EditControl", "Val: ", 1},
    };
    const std::vector<Control *> &controls = ui.panel->controls;
    ASSERT_EQ(controls.size(), 14u);
    EXPECT_EQ(ui.panel->title, "Tallomira v3.0");
    for (size_t i = 0; i < 14; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(controls[i]->type, want[i].type);
        EXPECT_EQ(controls[i]->label, want[i].label);
        EXPECT_EQ(controls[i]->desc.type, want[i].desc);
    }
    const ControlDesc &popup = controls[0]->desc;
    EXPECT_EQ(popup.d.popup.width, 100);
    EXPECT_EQ(fn(popup.d.popup.count), fn(imagePopupCount));
    EXPECT_EQ(fn(popup.d.popup.name), fn(imagePopupName));
    EXPECT_EQ(controls[1]->desc.d.area.width, 320);
    EXPECT_EQ(controls[1]->desc.d.area.height, 160);
    EXPECT_EQ(controls[3]->items, (std::vector<std::string>{"BW", "R", "G", "B"}));
    EXPECT_EQ(controls[4]->items, (std::vector<std::string>{"HDR", "LDR"}));
    EXPECT_EQ(controls[3]->desc.d.choice.reserved, 0);
    EXPECT_EQ(controls[5]->desc.d.area.width, -1);
    EXPECT_EQ(controls[5]->desc.d.area.height, 0);
    EXPECT_EQ(controls[6]->desc.d.area.width, 0);
    EXPECT_EQ(controls[6]->desc.d.area.height, -1);
    EXPECT_EQ(controls[7]->desc.d.area.width, controls[5]->w);  // the horizontal button's size
    EXPECT_EQ(controls[7]->desc.d.area.height, controls[5]->h);
    EXPECT_EQ(controls[10]->desc.d.edit.width, 10);
    // One description record serves all: a button leaves the words before it as they were.
    EXPECT_EQ(controls[2]->desc.d.area.width, 320);
}

TEST_F(ModuleTest, LayoutFollowsTheSizesTheHostReports) {
    // Every control a size of its own, so that each term of the layout shows in the result.
    const std::pair<int, int> sizes[14] = {{111, 23}, {331, 171}, {67, 21}, {90, 20}, {61, 19}, {29, 17}, {31, 18},
                                           {37, 16},  {47, 22},   {53, 26}, {71, 24}, {73, 25}, {79, 27}, {83, 28}};
    for (int i = 0; i < 14; i++) standin::host().sizeOverrides[i] = sizes[i];
    openPanel();
    const std::pair<int, int> at[14] = {
        {0, 0},     {5, 24},   {269, 0},   {113, 0},  {275, 190}, {5, 190}, {29, 190},
        {55, 190},  {135, 190}, {87, 190}, {5, 216},  {5, 240},   {78, 216}, {159, 216},
    };
    for (int i = 0; i < 14; i++) {
        SCOPED_TRACE(ui.panel->controls[i]->type + " " + std::to_string(i));
        EXPECT_EQ(ui.panel->controls[i]->x, at[i].first);
        EXPECT_EQ(ui.panel->controls[i]->y, at[i].second);
    }
    EXPECT_EQ(viewer.viewTop, 24);
    EXPECT_EQ(ui.panel->height, 24 + 171 + 22 + 45);
    EXPECT_EQ(ui.panel->controls[7]->desc.d.area.width, 29);
    EXPECT_EQ(ui.panel->controls[7]->desc.d.area.height, 17);
}

TEST_F(ModuleTest, BuildWritesTheStartingTextsAndValues) {
    viewer.channel = 3;  // chosen on an earlier panel
    EXPECT_EQ(viewer.hOffset, 1.0f);
    EXPECT_EQ(viewer.viewTop, 30);
    viewer.pendingRecompute = 1;
    openPanel();
    for (Control *field : {ui.high, ui.low, ui.pos, ui.val}) EXPECT_EQ(field->texts, std::vector<std::string>{"-"});
    EXPECT_EQ(ui.channel->value, 3);
    EXPECT_EQ(ui.range->value, 0);
    EXPECT_EQ(ui.vZoom->value, 0);
    EXPECT_EQ(viewer.hZoom, 1.0f);
    EXPECT_EQ(viewer.vZoom, 1.0f);
    EXPECT_EQ(viewer.hOffset, 0.0f);
    EXPECT_EQ(viewer.viewTop, 21);  // the chooser's 20 + 1
    EXPECT_EQ(viewer.pendingRecompute, 0);
}

TEST_F(ModuleTest, CallbacksAreInstalledUserDataFirst) {
    standin::host().recordCalls = true;
    openPanel();
    std::vector<std::pair<int, int>> installs;  // control index, tag
    for (const standin::CallRecord &call : standin::host().calls)
        if (call.what == "set" && (call.tag == CTL_USERDATA || call.tag == CTL_EVENT)) installs.push_back({call.control, call.tag});
    std::vector<std::pair<int, int>> want;
    for (int control : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) want.insert(want.end(), {{control, CTL_USERDATA}, {control, CTL_EVENT}});
    EXPECT_EQ(installs, want);
    const std::vector<Control *> &c = ui.panel->controls;
    const std::pair<Control *, void *> events[] = {
        {c[0], fn(onImageChosen)}, {c[1], fn(drawView)},    {c[2], fn(onOptionsButton)},
        {c[3], fn(onChannelChosen)}, {c[4], fn(onRangeChosen)}, {c[5], fn(onHZoomDrag)},
        {c[6], fn(onVZoomDrag)},   {c[7], fn(onOffsetDrag)},  {c[8], fn(onReset)},
        {c[9], fn(onSelection)},
    };
    for (const auto &e : events) EXPECT_EQ(fn(e.first->event), e.second) << e.first->label;
    EXPECT_EQ(c[1]->userData, nullptr);
    for (int i = 10; i < 14; i++) EXPECT_EQ(c[i]->event, nullptr);
}

TEST_F(ModuleTest, MenuCreationFailingBuildsNothing) {
    standin::host().failMenuCreate = true;
    void *inst = instanceCreate(nullptr, nullptr, nullptr);
    InterfaceRecord record = {inst};
    EXPECT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 2);
    EXPECT_TRUE(standin::host().panels.empty());
    EXPECT_TRUE(standin::host().controls.empty());
    EXPECT_EQ(static_cast<HistInstance *>(inst)->panel, nullptr);
    instanceDestroy(inst);
}

TEST_F(ModuleTest, PanelCreationFailingKeepsTheMenu) {
    standin::host().failPanelCreate = true;
    void *inst = instanceCreate(nullptr, nullptr, nullptr);
    InterfaceRecord record = {inst};
    EXPECT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 2);
    EXPECT_EQ(standin::host().menus.size(), 1u);
    EXPECT_EQ(viewer.optionsMenu, standin::host().menus[0].get());
    EXPECT_TRUE(standin::host().controls.empty());
    instanceDestroy(inst);
}

TEST_F(ModuleTest, ReopeningKeepsTheImageAndItsBins) {
    uniformImage("u", 10, 10, 0.5f, 0.5f, 0.5f);
    openPanel();
    standin::chooseItem(ui.chooser, 1);
    standin::dragTo(ui.hZoom, 3);
    InterfaceRecord record = {instance};
    ASSERT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 0);
    EXPECT_EQ(standin::host().panels.size(), 2u);
    EXPECT_TRUE(standin::host().panels[0]->open);  // the first panel stays open
    EXPECT_NE(viewer.currentImage, nullptr);
    EXPECT_EQ(viewer.binsR[128], 100.0f);
    EXPECT_EQ(viewer.hZoom, 1.0f);
    EXPECT_EQ(viewer.vZoom, 1.0f);
    EXPECT_EQ(standin::lastPanel()->controls[0]->value, 0);  // the new chooser is not set
}
