// test_chart.cpp: the built-in high-dynamic-range test chart, 512 x 256 pixels:
//   rows   0.. 63  a ramp 0..1 in each channel: red rising, green falling, blue down and up
//   rows  64..127  a grey ramp 0..1
//   rows 128..191  over-range: a warm ramp from 1.0 up to 2.0
//   rows 192..255  left: a dark region (0.0 .. 0.2) with a few bright spots of 2.0;
//                  right: mid tones (0.2 .. 0.8), bluish
#include "standin/images/image_files.h"

namespace standin {

RgbImage testChart() {
    RgbImage chart;
    chart.name = "hdr-test-chart";
    chart.width = 512;
    chart.height = 256;
    chart.pixels.resize(512 * 256 * 3);
    for (int y = 0; y < 256; y++) {
        for (int x = 0; x < 512; x++) {
            float *p = &chart.pixels[(static_cast<size_t>(y) * 512 + x) * 3];
            const float t = static_cast<float>(x) / 511.0f;
            if (y < 64) {
                p[0] = t;
                p[1] = 1.0f - t;
                p[2] = t < 0.5f ? 1.0f - 2.0f * t : 2.0f * t - 1.0f;
            } else if (y < 128) {
                p[0] = p[1] = p[2] = t;
            } else if (y < 192) {
                p[0] = 1.0f + t;
                p[1] = 1.0f + 0.8f * t;
                p[2] = 1.0f + 0.5f * t;
            } else if (x < 256) {
                const bool spot = (x % 128 < 4) && (y % 32 < 4);
                p[0] = p[1] = p[2] = spot ? 2.0f : 0.2f * static_cast<float>((x + y) % 64) / 63.0f;
            } else {
                const float u = static_cast<float>(x - 256) / 255.0f, v = static_cast<float>(y - 192) / 63.0f;
                p[0] = 0.2f + 0.4f * u;
                p[1] = 0.3f + 0.3f * v;
                p[2] = 0.4f + 0.4f * u * v;
            }
        }
    }
    return chart;
}

}  // namespace standin
