// module_loader.h: loads a plug-in module the way the layout host does: the library, its
// `_mod_descrip` by name, the synchronisation word and format version checked, the server list
// walked, and each server found by class name.
#pragma once

#include <string>

#include "host/host_api.h"

namespace standin {

struct LoadedModule {
    void *library = nullptr;
    const ModuleDescriptor *descriptor = nullptr;
    const ServerEntry *handlerServer = nullptr;    // class "MasterHandler"
    const ServerEntry *interfaceServer = nullptr;  // class "MasterInterface"
    void *startupDatum = nullptr;
};

// Loads `path`. On failure answers false with a one-line reason in `error`, and nothing stays
// loaded.
bool loadModule(const std::string &path, LoadedModule &module, std::string &error);

// Calls the module's shutdown function and unloads the library.
void unloadModule(LoadedModule &module);

// A handler instance created and opened through the module's two servers.
struct Session {
    InstanceFuncs inst = {};
    HandlerRecord handler = {};
    void *instance = nullptr;
    int handlerResult = -1, interfaceResult = -1;
};

// Activates the handler (version 4), creates an instance and opens its interface with the
// stand-in host's global function. Answers false with a reason when a step fails.
bool openSession(const LoadedModule &module, Session &session, std::string &error);

// Destroys the session's instance.
void closeSession(Session &session);

}  // namespace standin
