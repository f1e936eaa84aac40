// The image chooser, the tracking of host image changes, and the options menu.
#include "panel/image_chooser.h"
#include "panel/options_menu.h"
#include "tests/fixture.h"

using standin::host;

namespace {

std::vector<int> changeCodes() {
    std::vector<int> codes;
    for (const auto &event : host().changeEvents) {
        EXPECT_EQ(event.first, onImageListChange);
        codes.push_back(event.second);
    }
    return codes;
}

}  // namespace

class ChooserTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        openPanel();
    }
};

TEST_F(ChooserTest, CountNamesAndIndexWalk) {
    EXPECT_EQ(imagePopupCount(nullptr), 1);
    EXPECT_STREQ(imagePopupName(nullptr, 0), "none");
    EXPECT_EQ(imagePopupName(nullptr, 1), nullptr);
    EXPECT_EQ(imageByIndex(1), nullptr);

    standin::Image &a = standin::addImage("alpha", 1, 1), &b = standin::addImage("beta", 1, 1);
    standin::Image &c = standin::addImage("gamma", 1, 1);
    EXPECT_EQ(imagePopupCount(nullptr), 4);
    const struct {
        int index;
        const char *name;
        void *image;
    } cases[] = {{0, "none", nullptr}, {1, "alpha", &a}, {2, "beta", &b}, {3, "gamma", &c},
                 {4, nullptr, nullptr}, {-1, nullptr, nullptr}, {-7, nullptr, nullptr}};
    for (const auto &k : cases) {
        SCOPED_TRACE(k.index);
        if (k.name) EXPECT_STREQ(imagePopupName(nullptr, k.index), k.name);
        else EXPECT_EQ(imagePopupName(nullptr, k.index), nullptr);
        EXPECT_EQ(imageByIndex(k.index), k.image);
    }
}

TEST_F(ChooserTest, ChoosingResetsTheViewAndComputes) {
    uniformImage("u", 10, 10, 0.5f, 0.5f, 0.5f);
    viewer.hZoom = 2.5f, viewer.vZoom = 3.0f, viewer.hOffset = 0.3f;
    viewer.recalcZoom = viewer.quickHisto = 1;
    viewer.pendingRecompute = 1;
    viewer.lastVZoomDrag = 9;
    const int drawsBefore = ui.view->draws;
    standin::chooseItem(ui.chooser, 1);
    EXPECT_EQ(viewer.currentImage, host().images[0]);
    EXPECT_EQ(viewer.hZoom, 1.0f);
    EXPECT_EQ(viewer.hOffset, 0.0f);
    EXPECT_EQ(viewer.vZoom, 256.0f / 100.0f);  // the automatic scale
    EXPECT_EQ(viewer.savedHZoom, 1.0f);
    EXPECT_EQ(viewer.savedVZoom, 2.56f);
    EXPECT_EQ(viewer.lastHZoomDrag, 1);
    EXPECT_EQ(viewer.lastOffsetDrag, 1);
    EXPECT_EQ(viewer.lastVZoomDrag, 9);
    EXPECT_EQ(viewer.recalcZoom, 0);
    EXPECT_EQ(viewer.quickHisto, 0);
    EXPECT_EQ(viewer.pendingRecompute, 0);
    EXPECT_EQ(ui.view->draws, drawsBefore + 1);
}

TEST_F(ChooserTest, NoneOrAVanishedImageKeepsTheBinsAndSavedZooms) {
    uniformImage("u", 10, 10, 0.5f, 0.5f, 0.5f);
    standin::chooseItem(ui.chooser, 1);
    for (int index : {0, 5}) {
        SCOPED_TRACE(index);
        viewer.quickHisto = 1;
        standin::resetPixelCalls();
        standin::chooseItem(ui.chooser, index);
        EXPECT_EQ(viewer.currentImage, nullptr);
        EXPECT_EQ(viewer.binsR[128], 100.0f);
        EXPECT_EQ(viewer.savedVZoom, 2.56f);
        EXPECT_EQ(viewer.quickHisto, 0);
        EXPECT_EQ(viewer.vZoom, 1.0f);
        EXPECT_EQ(standin::pixelCalls(), 0);
    }
}

TEST_F(ChooserTest, RegistrationFollowsAutoupdate) {
    struct {
        const char *what;
        int autoUpdate;
        int firstChoice, secondChoice;  // firstChoice -1: none made
        std::vector<int> codes;         // imageChangeEvent codes of the second choice
        size_t registered;
    } cases[] = {
        {"Autoupdate off", 0, -1, 1, {}, 0},
        {"Autoupdate on, nothing shown", 1, -1, 1, {0}, 1},
        {"Autoupdate on, the same image again", 1, 1, 1, {1, 0}, 1},
        {"Autoupdate on, another image", 1, 1, 2, {1, 0}, 1},
        {"Autoupdate on, none", 1, 1, 0, {1}, 0},
        {"Autoupdate on, an index past the end", 1, 1, 9, {1}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (instance) instanceDestroy(instance);
        standin::resetHost();
        viewer = ViewerState{};
        openPanel();
        uniformImage("a", 4, 4, 0.5f, 0.5f, 0.5f);
        uniformImage("b", 4, 4, 0.2f, 0.2f, 0.2f);
        viewer.autoUpdate = c.autoUpdate;
        if (c.firstChoice >= 0) standin::chooseItem(ui.chooser, c.firstChoice);
        host().changeEvents.clear();
        standin::chooseItem(ui.chooser, c.secondChoice);
        EXPECT_EQ(changeCodes(), c.codes);
        EXPECT_EQ(host().changeCallbacks.size(), c.registered);
    }
}

TEST_F(ChooserTest, HostChangeRecomputesAtTheNextPaintWithTheUsersZoom) {
    float level = 0.5f;
    standin::addGeneratedImage("live", 8, 8, [&level](int, int, float *rgb) { rgb[0] = rgb[1] = rgb[2] = level; });
    viewer.autoUpdate = 1;
    standin::chooseItem(ui.chooser, 1);
    standin::dragTo(ui.hZoom, 2);
    standin::dragTo(ui.vZoom, 5);
    standin::dragTo(ui.offset, 3);
    const float hZoom = viewer.hZoom, vZoom = viewer.vZoom, hOffset = viewer.hOffset;
    level = 0.25f;
    const int draws = ui.view->draws;
    standin::fireImageChange();  // the draw runs the recomputation
    EXPECT_EQ(ui.view->draws, draws + 1);
    EXPECT_EQ(viewer.pendingRecompute, 0);
    // The new level, with the zoom of this moment folded into the scale: 0.25 x 1.1 x 256.
    EXPECT_EQ(viewer.rangeScale, hZoom);
    EXPECT_EQ(viewer.binsR[70], 64.0f);
    EXPECT_EQ(viewer.binsR[128], 0.0f);
    EXPECT_EQ(viewer.hZoom, hZoom);
    EXPECT_EQ(viewer.vZoom, vZoom);
    EXPECT_EQ(viewer.hOffset, hOffset);
}

class OptionsTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        openPanel();
    }
    void pick(int item) { standin::pickMenuItem(ui.options, item); }
    const standin::Menu &menu() const { return *host().menus.back(); }
};

TEST_F(OptionsTest, NamesShowEachOptionsState) {
    viewer.autoUpdate = 1, viewer.recalcZoom = 0, viewer.quickHisto = 1;
    void *list = const_cast<OptionsList *>(&optionsList);
    EXPECT_EQ(optionsMenuCount(list), 4);
    EXPECT_STREQ(optionsMenuName(list, 0), "Info");
    EXPECT_STREQ(optionsMenuName(list, 1), "\003(i:4) Autoupdate");
    EXPECT_STREQ(optionsMenuName(list, 2), "\003(i:11) ReCalc Zoom");
    EXPECT_STREQ(optionsMenuName(list, 3), "\003(i:4) Quickhisto");
    EXPECT_EQ(optionsMenuName(list, 4), nullptr);
    EXPECT_EQ(optionsMenuName(list, -1), nullptr);
    // The host shows what the callbacks answer when the menu opens.
    pick(-1);
    EXPECT_EQ(menu().shownNames, (std::vector<std::string>{"Info", "\003(i:4) Autoupdate", "\003(i:11) ReCalc Zoom",
                                                          "\003(i:4) Quickhisto"}));
}

TEST_F(OptionsTest, EachItemSwitchesItsFlags) {
    struct {
        const char *what;
        int autoUpdate, recalcZoom, quickHisto;
        bool image;
        int item;
        int wantAuto, wantRecalc, wantQuick;
        std::vector<int> codes;
    } cases[] = {
        {"Autoupdate on with an image", 0, 0, 0, true, 1, 1, 0, 1, {0}},
        {"Autoupdate on without an image", 0, 0, 0, false, 1, 1, 0, 1, {}},
        {"Autoupdate off without an image", 1, 0, 1, false, 1, 0, 0, 1, {1}},
        {"Autoupdate off with an image", 1, 0, 0, true, 1, 0, 0, 0, {1}},
        {"ReCalc Zoom on", 0, 0, 0, true, 2, 0, 1, 1, {}},
        {"ReCalc Zoom off keeps QuickHisto", 0, 1, 1, true, 2, 0, 0, 1, {}},
        {"QuickHisto on", 1, 1, 0, true, 3, 1, 1, 1, {}},
        {"QuickHisto off alone", 1, 1, 1, true, 3, 1, 1, 0, {}},
        {"closed without a choice", 1, 0, 1, true, -1, 1, 0, 1, {}},
        {"Info changes no flag", 0, 1, 0, true, 0, 0, 1, 0, {}},
    };
    uniformImage("u", 4, 4, 0.5f, 0.5f, 0.5f);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        viewer.currentImage = c.image ? host().images[0] : nullptr;
        viewer.autoUpdate = c.autoUpdate, viewer.recalcZoom = c.recalcZoom, viewer.quickHisto = c.quickHisto;
        host().changeEvents.clear();
        standin::resetPixelCalls();
        const int draws = ui.view->draws;
        pick(c.item);
        EXPECT_EQ(viewer.autoUpdate, c.wantAuto);
        EXPECT_EQ(viewer.recalcZoom, c.wantRecalc);
        EXPECT_EQ(viewer.quickHisto, c.wantQuick);
        EXPECT_EQ(changeCodes(), c.codes);
        EXPECT_EQ(standin::pixelCalls(), c.image ? 32 : 0);  // recomputed after every use
        EXPECT_EQ(ui.view->draws, draws + 1);
    }
}

TEST_F(OptionsTest, MenuOpensOnTheItemChosenLast) {
    std::vector<int> initial;
    for (int answer : {2, -1, 3, 0}) {
        pick(answer);
        initial.push_back(menu().lastInitialItem);
    }
    pick(-1);
    initial.push_back(menu().lastInitialItem);
    EXPECT_EQ(initial, (std::vector<int>{0, 2, 2, 3, 0}));
}

TEST_F(OptionsTest, InfoShowsTheMessageAndRestoresTheAutomaticScale) {
    uniformImage("u", 10, 10, 0.5f, 0.5f, 0.5f);
    standin::chooseItem(ui.chooser, 1);
    standin::dragTo(ui.vZoom, 4);
    EXPECT_NE(viewer.vZoom, 2.56f);
    pick(0);
    EXPECT_EQ(viewer.vZoom, 2.56f);
    ASSERT_EQ(host().infoMessages.size(), 1u);
    EXPECT_EQ(host().infoMessages[0].second, "Info");
    const std::string &text = host().infoMessages[0].first;
    EXPECT_EQ(text.rfind("tallomira\n\n", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "use at own risk, and have fun.");
}

TEST_F(OptionsTest, ChoosingAnImageSwitchesReCalcZoomOffInTheMenu) {
    uniformImage("u", 4, 4, 0.5f, 0.5f, 0.5f);
    pick(2);
    EXPECT_EQ(viewer.recalcZoom, 1);
    standin::chooseItem(ui.chooser, 1);
    pick(-1);
    EXPECT_EQ(menu().shownNames[2], "\003(i:11) ReCalc Zoom");
}
