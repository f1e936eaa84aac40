// view_controls.h: the drag buttons for horizontal zoom, vertical scale and offset, Reset, and
// the channel and range choices.
#pragma once

// Each drag event moves its variable one step in the direction the button's value changed.
void onHZoomDrag(void *control, void *userData);
void onVZoomDrag(void *control, void *userData);
void onOffsetDrag(void *control, void *userData);

// Returns to the zooms saved at the last image choice, with no offset.
void onReset(void *control, void *userData);

// The channel the view highlights and the probe reads: 0 BW, 1 R, 2 G, 3 B.
void onChannelChosen(void *control, void *userData);

// HDR (0, normalise to the image's peak) or LDR (1); recomputes.
void onRangeChosen(void *control, void *userData);
