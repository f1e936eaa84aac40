// binding.h: the module's face to the host: the descriptor, the two servers, the handler
// instances and the interface activation.
#pragma once

#include "host/host_api.h"

#ifdef _WIN32
#define MODULE_EXPORT __declspec(dllexport)
#else
#define MODULE_EXPORT __attribute__((visibility("default")))
#endif

// The name both servers carry, and every instance's description line.
inline constexpr char SERVER_NAME[] = "zarv3_tallomira3";

extern "C" MODULE_EXPORT const ModuleDescriptor _mod_descrip;
extern const ServerEntry serverRecords[];

void *moduleStartup();
void moduleShutdown(void *);

// The instance record the host holds between create and destroy.
struct HistInstance {
    char description[80];
    void *panel;  // the panel built for this instance; null until its interface is opened
};

int handlerActivate(int version, GlobalLookup global, void *local, void *serverData);
void *instanceCreate(void *priv, void *context, const char **errorText);
void instanceDestroy(void *instance);
const char *instanceCopy(void *to, void *from);
const char *instanceDescribe(void *instance);
double handlerEvent(void *instance, const void *access);
unsigned int handlerFlags(void *instance);

int interfaceActivate(int version, GlobalLookup global, void *local, void *serverData);
