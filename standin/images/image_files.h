// image_files.h: images read from files for the stand-in host's image list, one reader per
// format family, and the built-in test chart.
//
// Every image arrives as linear float RGB with 1.0 as full intensity: OpenEXR and Radiance HDR
// as stored, 8- and 16-bit images as v / 255 and v / 65535 without any gamma conversion.
#pragma once

#include <string>
#include <vector>

namespace standin {

struct RgbImage {
    std::string name;
    int width = 0, height = 0;
    std::vector<float> pixels;  // width x height x RGB, top row first
};

// Reads `path` (OpenEXR, PNG, JPEG, BMP, TGA or Radiance HDR); on failure answers false with a
// one-line reason that names the file.
bool readImageFile(const std::string &path, RgbImage &image, std::string &error);

bool readExr(const std::string &path, RgbImage &image, std::string &error);
bool readWithStb(const std::string &path, RgbImage &image, std::string &error);

// A high-dynamic-range test chart: a ramp in each channel, over-range values up to 2.0 and a
// dark region.
RgbImage testChart();

}  // namespace standin
