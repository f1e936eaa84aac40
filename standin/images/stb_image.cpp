// stb_image.cpp: PNG, JPEG, BMP, TGA and Radiance HDR through stb_image. HDR files are linear
// already; 8- and 16-bit files are taken as linear v / max, with no gamma conversion.
#include <stb_image.h>
#include <stdio.h>

#include "standin/images/image_files.h"

namespace standin {

static bool isPnm(const std::string &path) {
    FILE *file = fopen(path.c_str(), "rb");
    if (!file) return false;
    char magic[2] = {};
    const bool pnm = fread(magic, 1, 2, file) == 2 && magic[0] == 'P' && (magic[1] == '5' || magic[1] == '6');
    fclose(file);
    return pnm;
}

bool readWithStb(const std::string &path, RgbImage &image, std::string &error) {
    int width = 0, height = 0, channels = 0;
    if (!stbi_info(path.c_str(), &width, &height, &channels)) {
        error = path + ": not an image this tool reads (OpenEXR, PNG, JPEG, BMP, TGA, Radiance HDR)";
        return false;
    }
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > (int64_t{1} << 28)) {
        error = path + ": unsupported image size";
        return false;
    }
    const size_t count = static_cast<size_t>(width) * height * 3;
    image.pixels.resize(count);
    bool read = false;
    if (stbi_is_hdr(path.c_str())) {
        if (float *data = stbi_loadf(path.c_str(), &width, &height, &channels, 3)) {
            image.pixels.assign(data, data + count);
            stbi_image_free(data);
            read = true;
        }
    } else if (stbi_is_16_bit(path.c_str()) && isPnm(path)) {
        // This stb_image reads 16-bit PNM samples in the wrong byte order; refuse rather than
        // show wrong values.
        error = path + ": 16-bit PNM files are not supported (use a 16-bit PNG or an OpenEXR file)";
        return false;
    } else if (stbi_is_16_bit(path.c_str())) {
        if (stbi_us *data = stbi_load_16(path.c_str(), &width, &height, &channels, 3)) {
            for (size_t i = 0; i < count; i++) image.pixels[i] = data[i] / 65535.0f;
            stbi_image_free(data);
            read = true;
        }
    } else if (stbi_uc *data = stbi_load(path.c_str(), &width, &height, &channels, 3)) {
        for (size_t i = 0; i < count; i++) image.pixels[i] = data[i] / 255.0f;
        stbi_image_free(data);
        read = true;
    }
    if (!read) {
        const char *why = stbi_failure_reason();
        error = path + ": cannot read the image (" + (why ? why : "unknown error") + ")";
        return false;
    }
    image.width = width;
    image.height = height;
    return true;
}

}  // namespace standin
