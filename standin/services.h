// services.h: the stand-in host's service tables, shared by the files that implement them.
#pragma once

#include "host/host_api.h"

namespace standin {

extern ImageListFuncs imageListFuncs;
extern PanelFuncs panelFuncs;
extern ContextMenuFuncs contextMenuFuncs;
extern MessageFuncs messageFuncs;

}  // namespace standin
