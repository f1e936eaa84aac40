// module.cpp: the module descriptor, the library's only export, and its server list.
#include "binding/binding.h"

#include <stdint.h>

const ServerEntry serverRecords[] = {
    {"MasterHandler", SERVER_NAME, handlerActivate, nullptr},
    {"MasterInterface", SERVER_NAME, interfaceActivate, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

extern "C" MODULE_EXPORT const ModuleDescriptor _mod_descrip = {
    MODULE_SYNC, MODULE_VERSION, MODULE_MACHINE, moduleStartup, moduleShutdown, serverRecords,
};

void *moduleStartup() { return reinterpret_cast<void *>(uintptr_t{4}); }

void moduleShutdown(void *) {}
