// Where bins, channel values and the pointer lie in the view, in both horizontal modes.
#include <limits.h>
#include <math.h>

#include "render/geometry.h"
#include "tests/fixture.h"

TEST(Geometry, QuantitiesInBothModes) {
    struct {
        const char *what;
        int recalc;
        float hZoom, hOffset, rangeScale;
        float marginX, binStep, valueSpan, zeroX, oneX, bar0, bar309;
    } cases[] = {
        {"after an image choice", 0, 1, 0, 1, 0.03125f, 0.00625f, 1.6f, -0.96875f, 0.63125f, -0.96875f, 0.9625f},
        {"normal, zoom 2", 0, 2, 0, 1, 0.0625f, 0.0125f, 3.2f, -0.9375f, 2.2625f, -0.9375f, 2.925f},
        {"normal, offset 0.5", 0, 1, 0.5f, 1, 0.03125f, 0.00625f, 1.6f, -0.46875f, 1.13125f, -0.46875f, 1.4625f},
        {"normal, HDR scale 0.605", 0, 1, 0, 0.605f, 0.03125f, 0.00625f, 0.968f, -0.96875f, -0.00075f, -0.96875f, 0.9625f},
        {"ReCalc Zoom, zoom 2, offset -0.5", 1, 2, -0.5f, 1, 0.0625f, 0.00625f, 3.2f, -2.5375f, 0.6625f, -0.9375f, 0.99375f},
        {"ReCalc Zoom, zoom 1", 1, 1, 0, 1, 0.03125f, 0.00625f, 1.6f, -0.96875f, 0.63125f, -0.96875f, 0.9625f},
        {"before any computation", 0, 1, 0, 0, 0.03125f, 0.00625f, 0.0f, -0.96875f, -0.96875f, -0.96875f, 0.9625f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        viewer = ViewerState{};
        viewer.recalcZoom = c.recalc;
        viewer.hZoom = c.hZoom;
        viewer.hOffset = c.hOffset;
        viewer.rangeScale = c.rangeScale;
        const ViewGeometry g = viewGeometry();
        EXPECT_NEAR(g.marginX, c.marginX, 1e-6);
        EXPECT_FLOAT_EQ(g.baseY, -0.9375f);
        EXPECT_NEAR(g.binStep, c.binStep, 1e-6);
        EXPECT_NEAR(g.valueSpan, c.valueSpan, 1e-6);
        EXPECT_NEAR(g.zeroX, c.zeroX, 1e-6);
        EXPECT_NEAR(g.oneX, c.oneX, 1e-6);
        EXPECT_NEAR(g.barX(0), c.bar0, 1e-6);
        EXPECT_NEAR(g.barX(309), c.bar309, 1e-6);
    }
}

TEST(Geometry, BarsStandOnWholePixelsAtZoomOneAndTwo) {
    for (float zoom : {1.0f, 2.0f}) {
        viewer = ViewerState{};
        viewer.hZoom = zoom;
        viewer.hOffset = 0.0f;
        viewer.rangeScale = 1.0f;
        const ViewGeometry g = viewGeometry();
        for (int i = 0; i < BIN_COUNT; i++) {
            const float pixelsFromLeft = (g.barX(i) + 1.0f) * 160.0f;
            EXPECT_NEAR(pixelsFromLeft, zoom * (5 + i), 1e-3) << "bar " << i << " at zoom " << zoom;
        }
    }
}

TEST(Geometry, PointerMapping) {
    viewer = ViewerState{};
    viewer.hOffset = 0.0f;
    viewer.rangeScale = 1.0f;
    EXPECT_EQ(mouseXFromPanel(5), -1.0f);
    EXPECT_EQ(mouseXFromPanel(165), 0.0f);
    EXPECT_EQ(mouseXFromPanel(325), 1.0f);
    EXPECT_EQ(mouseXFromPanel(-155), -2.0f);  // outside the view: no clamping
    EXPECT_TRUE(isfinite(mouseXFromPanel(INT_MIN)));
    EXPECT_TRUE(isfinite(mouseXFromPanel(INT_MAX)));

    const ViewGeometry g = viewGeometry();
    EXPECT_EQ(pointerValue(g, g.zeroX), 0.0f);
    EXPECT_NEAR(pointerValue(g, g.oneX), 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(pointerValue(g, mouseXFromPanel(138)), 0.5f);

    viewer.rangeScale = 0.0f;  // no value span: no finite value under the pointer
    EXPECT_FALSE(isfinite(pointerValue(viewGeometry(), 0.5f)));
}

TEST(Geometry, BarScales) {
    viewer = ViewerState{};
    viewer.vZoom = 2.0f;
    EXPECT_EQ(barScale(false), 1.0f / 160.0f * 2.0f);
    EXPECT_EQ(barScale(true), 0.333f / 160.0f * 2.0f);
}
