// Loading the built module the way the host does, and refusing files that are not modules.
#include <gtest/gtest.h>

#include <fstream>

#include "standin/host.h"
#include "standin/module_loader.h"
#include "standin/script.h"

using namespace standin;

TEST(Loader, RefusesFilesThatAreNotModules) {
    const std::string text = std::string(FIXTURE_DIR) + "/not-a-module.so";
    std::ofstream(text) << "just text\n";
    struct {
        std::string path, reason;
    } cases[] = {
        {std::string(FIXTURE_DIR) + "/missing.so", "cannot load"},
        {text, "cannot load"},
        {NO_DESCRIPTOR, "no _mod_descrip symbol"},
        {BAD_SYNC, "synchronisation word 0x12345678"},
        {NO_INTERFACE, "no server of class MasterInterface"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        LoadedModule module;
        std::string error;
        EXPECT_FALSE(loadModule(c.path, module, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(module.library, nullptr);
    }
}

TEST(Loader, RunsTheBuiltModuleThroughItsDescriptor) {
    resetHost();
    std::vector<float> px = {0.25f, 0.5f, 1.0f, 2.0f, 0.0f, 0.5f};
    addImage("two pixels", 2, 1, px);
    LoadedModule module;
    std::string error;
    ASSERT_TRUE(loadModule(MODULE_PATH, module, error)) << error;
    EXPECT_EQ(module.startupDatum, reinterpret_cast<void *>(4));
    EXPECT_STREQ(module.handlerServer->name, "zarv3_tallomira3");
    Session session;
    ASSERT_TRUE(openSession(module, session, error)) << error;
    EXPECT_STREQ(session.inst.describe(session.instance), "zarv3_tallomira3");
    PanelControls ui;
    ASSERT_TRUE(findPanelControls(lastPanel(), ui, error)) << error;
    EXPECT_EQ(ui.panel->title, "Tallomira v3.0");
    chooseItem(ui.chooser, 1);
    EXPECT_EQ(ui.high->text, "0.833333");  // the brightest pixel mean, (2.0 + 0.0 + 0.5) / 3
    EXPECT_EQ(ui.low->text, "0.583333");
    EXPECT_EQ(host().images[0]->pixelCalls, 4);
    mouseMove(ui.panel, 266, 40);
    EXPECT_FALSE(ui.pos->text.empty());
    closeSession(session);
    EXPECT_FALSE(ui.panel->alive);
    unloadModule(module);
    EXPECT_EQ(module.library, nullptr);
}
