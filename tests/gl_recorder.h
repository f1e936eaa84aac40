// gl_recorder.h: a stand-in for the eleven OpenGL entry points the view drawing uses. The
// drawing's test build links this instead of libGL, and every call is recorded.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;  // enums as numbers, floats widened exactly
};

std::vector<GlCall> &glCalls();
void clearGlCalls();

// With recording off the calls are only counted, which allocates nothing.
extern bool glRecording;
extern long long glCallCount;
