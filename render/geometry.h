// geometry.h: where bins, channel values and the pointer lie in the view.
//
// The view spans -1..1 in x (left to right) and y (bottom to top). Everything here is computed
// afresh from `viewer` at each use, in single precision, for the current horizontal mode:
// normal (zoom and offset stretch and shift the drawing) or ReCalc Zoom (zoom and offset went
// into the bins, so the bars keep a fixed spacing).
#pragma once

struct ViewGeometry {
    bool recalc;      // ReCalc Zoom mode
    float hOffset;    // view units in normal mode, channel units in ReCalc Zoom mode
    float marginX;    // inset of bar 0 from the left edge before any offset
    float marginY;    // inset at the bottom and the top
    float baseY;      // baseline of the bars
    float binStep;    // x distance between neighbouring bars
    float valueSpan;  // x width of the channel values 0 to 1.0
    float zeroX;      // x of channel value 0
    float oneX;       // x of channel value 1.0

    float barX(int bin) const;
};

ViewGeometry viewGeometry();

// Height in view units per count: `bw` for the BW bars, which show 0.333 x the summed counts.
float barScale(bool bw);

// The pointer's x in view units for a panel x, without clamping.
float mouseXFromPanel(int panelX);

// The channel value under a pointer at `mouseX`; not finite while the value span is 0.
float pointerValue(const ViewGeometry &g, float mouseX);
