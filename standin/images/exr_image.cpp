// exr_image.cpp: OpenEXR files through the OpenEXR library: R, G, B (a missing one reads 0)
// or Y (grey), half or float, read as floats over the file's data window.
#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>

#include <exception>

#include "standin/images/image_files.h"

namespace standin {

bool readExr(const std::string &path, RgbImage &image, std::string &error) {
    try {
        Imf::InputFile file(path.c_str());
        const Imath::Box2i window = file.header().dataWindow();
        const int64_t width = int64_t{window.max.x} - window.min.x + 1;
        const int64_t height = int64_t{window.max.y} - window.min.y + 1;
        if (width <= 0 || height <= 0 || width > 65536 || height > 65536 || width * height > (int64_t{1} << 28)) {
            error = path + ": unsupported image size " + std::to_string(width) + " x " + std::to_string(height);
            return false;
        }
        const Imf::ChannelList &channels = file.header().channels();
        const bool rgb = channels.findChannel("R") || channels.findChannel("G") || channels.findChannel("B");
        const bool grey = channels.findChannel("Y") != nullptr;
        if (!rgb && !grey) {
            error = path + ": no colour channels (an OpenEXR file needs R, G, B or Y)";
            return false;
        }
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.pixels.assign(static_cast<size_t>(width * height * 3), 0.0f);
        Imf::FrameBuffer frame;
        const size_t xStride = 3 * sizeof(float), yStride = xStride * static_cast<size_t>(width);
        const char *names[3] = {"R", "G", "B"};
        for (int c = 0; c < 3; c++) {
            const char *name = rgb ? names[c] : "Y";
            frame.insert(name, Imf::Slice::Make(Imf::FLOAT, &image.pixels[c], window, xStride, yStride));
            if (!rgb) break;  // one slice per channel name: grey is copied below
        }
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);
        if (!rgb)
            for (size_t i = 0; i < image.pixels.size(); i += 3) image.pixels[i + 1] = image.pixels[i + 2] = image.pixels[i];
        return true;
    } catch (const std::exception &e) {
        error = path + ": " + e.what();
        return false;
    }
}

}  // namespace standin
