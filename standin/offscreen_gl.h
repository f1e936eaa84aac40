// offscreen_gl.h: the stand-in host's OpenGL control, rendered offscreen through EGL (Mesa's
// surfaceless platform, a desktop OpenGL compatibility context; llvmpipe without a GPU).
#pragma once

#include <string>

#include "standin/host.h"

namespace standin {

// Makes the host draw its OpenGL controls offscreen: each draw makes a context of the control's
// size current, sets the viewport to the whole control, calls the draw callback and reads the
// pixels back into the control. Without an EGL display the callback is still called, nothing
// is rendered, and `why` says so. Answers whether rendering is possible.
bool useOffscreenGL(std::string &why);

// Makes the offscreen context current on a surface of that size, its viewport covering it, as
// the host does before it calls a view's draw callback; answers false when that cannot be had.
bool makeOffscreenCurrent(int width, int height);
void releaseOffscreen();

// Writes RGBA pixels (top row first) as an RGB PNG; answers false when the file cannot be written.
bool writePng(const std::string &path, int width, int height, const unsigned char *rgba);

}  // namespace standin
