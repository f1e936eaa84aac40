// module_loader.cpp: dlopen on Linux, LoadLibrary on Windows.
#include "standin/module_loader.h"

#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "standin/host.h"

namespace standin {

namespace {

constexpr int MAX_SERVERS = 256;  // a list longer than this is taken as unterminated

void *openLibrary(const std::string &path, std::string &error) {
#ifdef _WIN32
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void *>(library);
#else
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char *why = dlerror();
        error = "cannot load " + path + ": " + (why ? why : "unknown error");
    }
    return library;
#endif
}

void *findSymbol(void *library, const char *name) {
#ifdef _WIN32
    return reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

void closeLibrary(void *library) {
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

std::string hex(uint32_t v) {
    char text[16];
    snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(v));
    return text;
}

}  // namespace

bool loadModule(const std::string &path, LoadedModule &module, std::string &error) {
    module = LoadedModule();
    void *library = openLibrary(path, error);
    if (!library) return false;

    auto fail = [&](const std::string &why) {
        error = path + ": " + why;
        closeLibrary(library);
        return false;
    };
    const auto *descriptor = static_cast<const ModuleDescriptor *>(findSymbol(library, "_mod_descrip"));
    if (!descriptor) return fail("not a plug-in module: no _mod_descrip symbol");
    if (descriptor->sync != MODULE_SYNC)
        return fail("not a plug-in module: synchronisation word " + hex(descriptor->sync) + ", expected 0x04121994");
    if (descriptor->version != MODULE_VERSION)
        return fail("unsupported module format version " + std::to_string(descriptor->version) + ", expected 3");
    if (!descriptor->servers) return fail("the module has no server list");

    const ServerEntry *handlerEntry = nullptr, *interfaceEntry = nullptr;
    int n = 0;
    for (const ServerEntry *s = descriptor->servers; s->className; s++) {
        if (++n > MAX_SERVERS) return fail("the server list has no end");
        if (!s->activate) continue;
        if (!handlerEntry && strcmp(s->className, "MasterHandler") == 0) handlerEntry = s;
        if (!interfaceEntry && strcmp(s->className, "MasterInterface") == 0) interfaceEntry = s;
    }
    if (!handlerEntry) return fail("the module has no server of class MasterHandler");
    if (!interfaceEntry) return fail("the module has no server of class MasterInterface");

    module.library = library;
    module.descriptor = descriptor;
    module.handlerServer = handlerEntry;
    module.interfaceServer = interfaceEntry;
    module.startupDatum = descriptor->startup ? descriptor->startup() : nullptr;
    return true;
}

void unloadModule(LoadedModule &module) {
    if (!module.library) return;
    if (module.descriptor->shutdown) module.descriptor->shutdown(module.startupDatum);
    closeLibrary(module.library);
    module = LoadedModule();
}

bool openSession(const LoadedModule &module, Session &session, std::string &error) {
    session = Session();
    session.handler.inst = &session.inst;
    session.handlerResult = module.handlerServer->activate(SERVER_VERSION, globalLookup, &session.handler, nullptr);
    if (session.handlerResult != AFUNC_OK || !session.inst.create) {
        error = "the MasterHandler server refused activation (answer " + std::to_string(session.handlerResult) + ")";
        return false;
    }
    const char *errorText = nullptr;
    session.instance = session.inst.create(session.inst.priv, nullptr, &errorText);
    if (!session.instance) {
        error = std::string("the module created no instance") + (errorText ? ": " + std::string(errorText) : "");
        return false;
    }
    InterfaceRecord record = {session.instance};
    session.interfaceResult = module.interfaceServer->activate(SERVER_VERSION, globalLookup, &record, nullptr);
    if (session.interfaceResult != AFUNC_OK) {
        error = "the MasterInterface server failed (answer " + std::to_string(session.interfaceResult) + ")";
        closeSession(session);
        return false;
    }
    return true;
}

void closeSession(Session &session) {
    if (session.instance && session.inst.destroy) session.inst.destroy(session.instance);
    session.instance = nullptr;
}

}  // namespace standin
