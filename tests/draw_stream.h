// draw_stream.h: the recorded GL calls grouped as the drawing issues them.
#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include "tests/gl_recorder.h"

struct GlBlock {
    int mode;                       // GL_LINE_STRIP or GL_QUADS
    std::array<double, 4> colour;   // the colour in force
    std::vector<std::array<double, 2>> vertices;
};

inline std::vector<GlBlock> glBlocks() {
    std::vector<GlBlock> blocks;
    std::array<double, 4> colour = {-1, -1, -1, -1};
    for (const GlCall &call : glCalls()) {
        if (call.name == "glColor4f") colour = {call.args[0], call.args[1], call.args[2], call.args[3]};
        if (call.name == "glBegin") blocks.push_back({static_cast<int>(call.args[0]), colour, {}});
        if (call.name == "glVertex2f") blocks.back().vertices.push_back({call.args[0], call.args[1]});
    }
    return blocks;
}

inline std::vector<std::array<double, 4>> glColours() {
    std::vector<std::array<double, 4>> colours;
    for (const GlCall &call : glCalls())
        if (call.name == "glColor4f") colours.push_back({call.args[0], call.args[1], call.args[2], call.args[3]});
    return colours;
}
