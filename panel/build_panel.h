// build_panel.h: makes the plug-in's panel, "Tallomira v3.0", with its options menu and its
// fourteen controls, laid out from the sizes the host reports.
#pragma once

// Builds a new panel (and a new options menu), points the module-wide control handles at its
// controls, resets the view's zoom and offset and installs every callback. Answers the panel,
// or null when the options menu or the panel cannot be created. The instance is not read.
void *buildPanel(void *instance);
