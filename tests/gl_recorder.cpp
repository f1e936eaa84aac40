// gl_recorder.cpp: records the OpenGL 1.1 calls of the drawing.
#include "tests/gl_recorder.h"

#include <GL/gl.h>

std::vector<GlCall> &glCalls() {
    static std::vector<GlCall> calls;
    return calls;
}

void clearGlCalls() { glCalls().clear(); }

bool glRecording = true;
long long glCallCount = 0;

static void add(const char *name, std::initializer_list<double> args) {
    glCallCount++;
    if (glRecording) glCalls().push_back({name, args});
}

extern "C" {
void glDisable(GLenum cap) { add("glDisable", {double(cap)}); }
void glEnable(GLenum cap) { add("glEnable", {double(cap)}); }
void glBlendFunc(GLenum s, GLenum d) { add("glBlendFunc", {double(s), double(d)}); }
void glShadeModel(GLenum mode) { add("glShadeModel", {double(mode)}); }
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { add("glClearColor", {r, g, b, a}); }
void glClear(GLbitfield mask) { add("glClear", {double(mask)}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { add("glColor4f", {r, g, b, a}); }
void glBegin(GLenum mode) { add("glBegin", {double(mode)}); }
void glVertex2f(GLfloat x, GLfloat y) { add("glVertex2f", {x, y}); }
void glEnd() { add("glEnd", {}); }
void glFlush() { add("glFlush", {}); }
}
