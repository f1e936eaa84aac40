// offscreen_gl.cpp: one EGL display and context for the process, a pbuffer per view size.
#include "standin/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <stb_image_write.h>

#include <map>
#include <utility>

namespace standin {

namespace {

struct Egl {
    bool tried = false;
    std::string failure;  // empty when a context was made
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    std::map<std::pair<int, int>, EGLSurface> surfaces;
};

Egl &egl() {
    static Egl e;
    return e;
}

bool initEgl() {
    Egl &e = egl();
    if (e.tried) return e.failure.empty();
    e.tried = true;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay) e.display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (e.display == EGL_NO_DISPLAY) return e.failure = "no EGL display (Mesa's surfaceless platform)", false;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(e.display, &major, &minor)) return e.failure = "eglInitialize failed", false;
    if (!eglBindAPI(EGL_OPENGL_API)) return e.failure = "EGL offers no desktop OpenGL", false;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                    EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                    EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(e.display, configAttribs, &e.config, 1, &count) || count < 1)
        return e.failure = "no EGL configuration with an RGBA pbuffer", false;
    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                     EGL_NONE};
    e.context = eglCreateContext(e.display, e.config, EGL_NO_CONTEXT, contextAttribs);
    if (e.context == EGL_NO_CONTEXT) return e.failure = "no OpenGL compatibility context", false;
    return true;
}

EGLSurface surfaceOf(int width, int height) {
    Egl &e = egl();
    auto at = e.surfaces.find({width, height});
    if (at != e.surfaces.end()) return at->second;
    const EGLint attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(e.display, e.config, attribs);
    e.surfaces[{width, height}] = surface;
    return surface;
}

void drawOffscreen(Control &view) {
    const int width = view.desc.d.area.width, height = view.desc.d.area.height;
    if (!makeOffscreenCurrent(width, height)) {
        view.rendered = false;
        view.event(&view, view.userData);
        return;
    }
    view.event(&view, view.userData);
    glFinish();
    std::vector<unsigned char> bottomUp(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    view.pixels.resize(bottomUp.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; y++)
        std::copy_n(&bottomUp[(height - 1 - y) * row], row, &view.pixels[y * row]);
    view.rendered = true;
    releaseOffscreen();
}

}  // namespace

bool makeOffscreenCurrent(int width, int height) {
    if (!initEgl() || width <= 0 || height <= 0 || width > 4096 || height > 4096) return false;
    EGLSurface surface = surfaceOf(width, height);
    if (surface == EGL_NO_SURFACE || !eglMakeCurrent(egl().display, surface, surface, egl().context)) return false;
    glViewport(0, 0, width, height);
    return true;
}

void releaseOffscreen() { eglMakeCurrent(egl().display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }

bool useOffscreenGL(std::string &why) {
    const bool ok = initEgl();
    why = egl().failure;
    if (ok) {
        host().drawOpenGL = drawOffscreen;
    } else {
        host().drawOpenGL = [](Control &view) {
            view.rendered = false;
            view.event(&view, view.userData);
        };
    }
    return ok;
}

bool writePng(const std::string &path, int width, int height, const unsigned char *rgba) {
    // The view's alpha is what blending left over a clear alpha of 0; a picture shows the colours.
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size() / 3; i++) std::copy_n(&rgba[i * 4], 3, &rgb[i * 3]);
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

}  // namespace standin
