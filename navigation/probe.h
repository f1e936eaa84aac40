// probe.h: the mouse probe (Pos and Val read-outs), the range drag and the Selection button.
#pragma once

// The panel's mouse callback, for button and move events alike; x is in panel pixels and bit
// 0x80 of the qualifiers means the button is held. The pointer's y is not used.
void onViewMouse(void *panel, void *userData, int qualifiers, int x, int y);

// Zooms and shifts the view to the range between the drag's start and the pointer's last x.
void onSelection(void *control, void *userData);

// The bin the probe reads for the pointer at `mouseX`, or -1 when it is outside 0..309.
int probeBin(float mouseX);
