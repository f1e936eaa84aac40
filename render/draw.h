// draw.h: paints the histogram view with OpenGL 1.1 immediate mode.
//
// The host calls drawView with the view's context current and its viewport covering the
// control; the drawing sets no matrix, viewport or line width and allocates nothing.
#pragma once

// The view's draw callback: clears, recomputes when the host reported an image change, draws
// the range bands and the four sets of bars (the chosen set last, highlighted), the selection
// rectangle while a drag is in progress, and flushes. Both arguments are ignored.
void drawView(void *control, void *userData);

void drawRangeBands();
void drawBarsBW(int highlight);
void drawBarsR(int highlight);
void drawBarsG(int highlight);
void drawBarsB(int highlight);
