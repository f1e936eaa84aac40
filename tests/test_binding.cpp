// The module's descriptor, servers, handler instances and interface activation.
#include <string.h>

#include "navigation/probe.h"
#include "tests/fixture.h"

using standin::host;

TEST(Descriptor, NamesTheFormatAndTheTwoServers) {
    EXPECT_EQ(_mod_descrip.sync, 0x04121994u);
    EXPECT_EQ(_mod_descrip.version, 3u);
    EXPECT_EQ(_mod_descrip.machine, 0x300u);
    EXPECT_EQ(_mod_descrip.startup(), reinterpret_cast<void *>(4));
    EXPECT_EQ(_mod_descrip.startup(), reinterpret_cast<void *>(4));
    _mod_descrip.shutdown(nullptr);
    _mod_descrip.shutdown(const_cast<ModuleDescriptor *>(&_mod_descrip));

    const ServerEntry *s = _mod_descrip.servers;
    ASSERT_EQ(s, serverRecords);
    EXPECT_STREQ(s[0].className, "MasterHandler");
    EXPECT_STREQ(s[0].name, "zarv3_tallomira3");
    EXPECT_EQ(s[0].activate, handlerActivate);
    EXPECT_EQ(s[0].tagInfo, nullptr);
    EXPECT_STREQ(s[1].className, "MasterInterface");
    EXPECT_STREQ(s[1].name, "zarv3_tallomira3");
    EXPECT_EQ(s[1].activate, interfaceActivate);
    EXPECT_EQ(s[2].className, nullptr);
    EXPECT_EQ(s[2].name, nullptr);
    EXPECT_EQ(s[2].activate, nullptr);
    EXPECT_EQ(s[2].tagInfo, nullptr);
}

TEST_F(ModuleTest, WrongVersionsLeaveTheHostsRecordsUntouched) {
    for (int version : {0, 3, 5, -4, 1 << 30}) {
        SCOPED_TRACE(version);
        unsigned char handler[sizeof(HandlerRecord)], instFuncs[sizeof(InstanceFuncs)], iface[64];
        memset(handler, 0xA5, sizeof handler);
        memset(instFuncs, 0x5A, sizeof instFuncs);
        memset(iface, 0x3C, sizeof iface);
        InstanceFuncs *inst = reinterpret_cast<InstanceFuncs *>(instFuncs);
        memcpy(handler, &inst, sizeof inst);  // the first field points to the instance functions
        unsigned char handlerBefore[sizeof handler], instBefore[sizeof instFuncs], ifaceBefore[sizeof iface];
        memcpy(handlerBefore, handler, sizeof handler);
        memcpy(instBefore, instFuncs, sizeof instFuncs);
        memcpy(ifaceBefore, iface, sizeof iface);
        EXPECT_EQ(handlerActivate(version, standin::globalLookup, handler, nullptr), 1);
        EXPECT_EQ(interfaceActivate(version, standin::globalLookup, iface, nullptr), 1);
        EXPECT_EQ(memcmp(handler, handlerBefore, sizeof handler), 0);
        EXPECT_EQ(memcmp(instFuncs, instBefore, sizeof instFuncs), 0);
        EXPECT_EQ(memcmp(iface, ifaceBefore, sizeof iface), 0);
        EXPECT_TRUE(host().lookups.empty());
    }
}

TEST_F(ModuleTest, HandlerActivationFillsTheRecords) {
    InstanceFuncs inst;
    memset(&inst, 0x77, sizeof inst);
    const InstanceFuncs before = inst;
    int item = 0;
    HandlerRecord handler = {&inst, &item, 99, nullptr, nullptr};
    ASSERT_EQ(handlerActivate(4, nullptr, &handler, nullptr), 0);
    EXPECT_EQ(handler.inst, &inst);
    EXPECT_EQ(handler.item, &item);
    EXPECT_EQ(handler.type, 0);
    EXPECT_EQ(handler.event, handlerEvent);
    EXPECT_EQ(handler.flags, handlerFlags);
    EXPECT_EQ(inst.create, instanceCreate);
    EXPECT_EQ(inst.destroy, instanceDestroy);
    EXPECT_EQ(inst.copy, instanceCopy);
    EXPECT_EQ(inst.describe, instanceDescribe);
    EXPECT_EQ(memcmp(&inst.priv, &before.priv, sizeof inst.priv), 0);
    EXPECT_EQ(memcmp(&inst.load, &before.load, sizeof inst.load), 0);
    EXPECT_EQ(memcmp(&inst.save, &before.save, sizeof inst.save), 0);
    EXPECT_TRUE(host().lookups.empty());
}

TEST_F(ModuleTest, InstanceFunctions) {
    void *a = instanceCreate(nullptr, nullptr, nullptr);
    ASSERT_NE(a, nullptr);
    const char *first = instanceDescribe(a);
    EXPECT_STREQ(first, "zarv3_tallomira3");
    EXPECT_EQ(instanceDescribe(a), first);
    EXPECT_EQ(first, static_cast<HistInstance *>(a)->description);

    void *b = instanceCreate(nullptr, nullptr, nullptr);
    EXPECT_STREQ(static_cast<HistInstance *>(b)->description, "");  // empty until described
    EXPECT_EQ(instanceCopy(b, a), nullptr);
    EXPECT_STREQ(static_cast<HistInstance *>(b)->description, "");
    EXPECT_EQ(static_cast<HistInstance *>(b)->panel, nullptr);
    EXPECT_EQ(handlerEvent(a, nullptr), 0.0);
    EXPECT_EQ(handlerEvent(nullptr, &first), 0.0);
    EXPECT_EQ(handlerFlags(a), 0u);
    EXPECT_EQ(handlerFlags(nullptr), 0u);
    instanceDestroy(a);  // never opened: no image list yet, so nothing to unregister
    instanceDestroy(b);
    EXPECT_TRUE(host().changeEvents.empty());
    EXPECT_TRUE(host().panels.empty());
}

TEST_F(ModuleTest, CreatingAnInstanceSwitchesTheOptionsOffForEveryPanel) {
    uniformImage("u", 4, 4, 0.5f, 0.5f, 0.5f);
    openPanel();
    standin::chooseItem(ui.chooser, 1);
    standin::pickMenuItem(ui.options, 1);  // Autoupdate on: registers, QuickHisto on
    standin::pickMenuItem(ui.options, 2);  // ReCalc Zoom on
    ASSERT_EQ(host().changeCallbacks.size(), 1u);
    const size_t events = host().changeEvents.size();
    void *other = instanceCreate(nullptr, nullptr, nullptr);
    EXPECT_EQ(viewer.autoUpdate, 0);
    EXPECT_EQ(viewer.recalcZoom, 0);
    EXPECT_EQ(viewer.quickHisto, 0);
    EXPECT_EQ(host().changeCallbacks.size(), 1u);  // the registration stays
    EXPECT_EQ(host().changeEvents.size(), events);
    instanceDestroy(other);  // and destroying any instance removes it for the whole module
    EXPECT_TRUE(host().changeCallbacks.empty());
}

TEST_F(ModuleTest, InterfaceLooksUpItsServicesInOrderAndStoresTheGlobal) {
    host().recordCalls = true;
    openPanel();
    EXPECT_EQ(host().lookups, (std::vector<std::string>{"LWPanelServices", "Info Messages 2", "Image Utility",
                                                        "LW Image List 4", "File Request 2", "ContextMenuServices",
                                                        "LWPanelServices"}));
    EXPECT_EQ(viewer.panelFuncs->globalFun, standin::globalLookup);
    EXPECT_TRUE(ui.panel->open);
    EXPECT_EQ(ui.panel->openFlags, 0xD0);
    EXPECT_EQ(reinterpret_cast<void *>(ui.panel->mouseButton), reinterpret_cast<void *>(onViewMouse));
    EXPECT_EQ(reinterpret_cast<void *>(ui.panel->mouseMove), reinterpret_cast<void *>(onViewMouse));
    EXPECT_EQ(static_cast<HistInstance *>(instance)->panel, ui.panel);
    // The mouse callback is installed after the panel is open.
    std::vector<std::pair<std::string, int>> tail;
    for (const standin::CallRecord &c : host().calls)
        if (c.what == "panelOpen" || (c.what == "panelSet" && c.tag != PAN_H)) tail.push_back({c.what, c.tag});
    EXPECT_EQ(tail, (std::vector<std::pair<std::string, int>>{{"panelOpen", 0xD0}, {"panelSet", 16}, {"panelSet", 15}}));
}

TEST_F(ModuleTest, EachMissingServiceAnswersTwoAndBuildsNothing) {
    for (const char *service : {"LWPanelServices", "Info Messages 2", "Image Utility", "LW Image List 4",
                                "File Request 2", "ContextMenuServices"}) {
        SCOPED_TRACE(service);
        standin::resetHost();
        viewer = ViewerState{};
        host().missingServices.insert(service);
        void *inst = instanceCreate(nullptr, nullptr, nullptr);
        InterfaceRecord record = {inst};
        EXPECT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 2);
        EXPECT_EQ(host().lookups.size(), 6u);  // all six are still looked up
        EXPECT_TRUE(host().panels.empty());
        EXPECT_TRUE(host().menus.empty());
        EXPECT_EQ(static_cast<HistInstance *>(inst)->panel, nullptr);
        instanceDestroy(inst);
    }
}

TEST_F(ModuleTest, SecondPanelServicesLookupFailing) {
    host().panelServicesAnswers = 1;
    void *inst = instanceCreate(nullptr, nullptr, nullptr);
    InterfaceRecord record = {inst};
    EXPECT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 2);
    EXPECT_EQ(viewer.panelFuncs, nullptr);
    EXPECT_TRUE(host().panels.empty());
    instanceDestroy(inst);  // no panel services: nothing to destroy, and nothing crashes
}

TEST_F(ModuleTest, TwoActivationsForOneInstanceLeaveTwoPanelsOnOneHistogram) {
    uniformImage("u", 4, 4, 0.5f, 0.5f, 0.5f);
    openPanel();
    standin::Panel *first = ui.panel;
    standin::chooseItem(ui.chooser, 1);
    InterfaceRecord record = {instance};
    ASSERT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 0);
    standin::Panel *second = standin::lastPanel();
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->open);
    EXPECT_TRUE(second->open);
    EXPECT_EQ(static_cast<HistInstance *>(instance)->panel, second);
    EXPECT_EQ(viewer.histView, second->controls[1]);
    // The first panel's chooser still works; its read-outs go to the panel built last.
    standin::chooseItem(first->controls[0], 1);
    EXPECT_EQ(second->controls[10]->text, "0.500000");
    instanceDestroy(instance);  // destroys the second panel only
    instance = nullptr;
    EXPECT_FALSE(second->alive);
    EXPECT_TRUE(first->alive);
}

TEST_F(ModuleTest, DestroyUnregistersThenDestroysThePanelThenFrees) {
    openPanel();
    host().recordCalls = true;
    host().calls.clear();
    host().changeEvents.clear();
    standin::Panel *panel = ui.panel;
    instanceDestroy(instance);
    instance = nullptr;
    ASSERT_EQ(host().changeEvents.size(), 1u);
    EXPECT_EQ(host().changeEvents[0].second, 1);
    ASSERT_EQ(host().calls.size(), 1u);
    EXPECT_EQ(host().calls[0].what, "panelDestroy");
    EXPECT_FALSE(panel->alive);
    EXPECT_EQ(viewer.histView, nullptr);  // the handles of the destroyed panel are forgotten
}

// The stand-in host aborts on any call into a destroyed control, so this test fails by crashing.
TEST_F(ModuleTest, AnEarlierPanelKeepsWorkingAfterTheLastOneIsDestroyed) {
    uniformImage("u", 40, 40, 0.5f, 0.25f, 1.0f);
    uniformImage("v", 8, 8, 0.1f, 0.2f, 0.3f);
    openPanel();
    standin::PanelControls a = ui;
    void *instanceA = instance;
    void *instanceB = instanceCreate(nullptr, nullptr, nullptr);
    InterfaceRecord record = {instanceB};
    ASSERT_EQ(interfaceActivate(4, standin::globalLookup, &record, nullptr), 0);
    standin::Panel *panelB = standin::lastPanel();
    instanceDestroy(instanceB);
    ASSERT_FALSE(panelB->alive);

    standin::chooseItem(a.chooser, 1);
    EXPECT_EQ(viewer.binsR[128], 1600.0f);
    standin::pickMenuItem(a.options, 1);
    standin::fireImageChange();
    standin::paint(a.view);
    for (standin::Control *button : {a.hZoom, a.vZoom, a.offset}) standin::dragTo(button, 3);
    standin::pickMenuItem(a.options, 2);
    standin::dragTo(a.hZoom, 5);
    standin::mousePress(a.panel, 50, 10);
    standin::mouseMove(a.panel, 90, 10);
    standin::mouseRelease(a.panel, 90, 10);
    standin::press(a.selection);
    standin::press(a.reset);
    standin::chooseItem(a.channel, 2);
    standin::chooseItem(a.range, 1);
    standin::chooseItem(a.chooser, 2);
    EXPECT_EQ(viewer.binsB[76], 64.0f);
    EXPECT_EQ(a.view->draws, 0);  // redraws went to the handle that is gone, so nowhere
    instanceDestroy(instanceA);
    instance = nullptr;
}
