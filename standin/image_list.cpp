// image_list.cpp: the stand-in "LW Image List 4": images held in memory, in list order.
#include <algorithm>

#include "standin/host.h"
#include "standin/services.h"

namespace standin {

namespace {

Image *asImage(void *handle) { return static_cast<Image *>(handle); }

void *imageFirst() { return host().images.empty() ? nullptr : host().images.front(); }

void *imageNext(void *image) {
    std::vector<Image *> &list = host().images;
    auto at = std::find(list.begin(), list.end(), asImage(image));
    if (at == list.end() || ++at == list.end()) return nullptr;
    return *at;
}

const char *imageName(void *image) { return asImage(image)->name.c_str(); }

void imageSize(void *image, int *width, int *height) {
    *width = asImage(image)->width;
    *height = asImage(image)->height;
}

// An indexed read of three floats, so that this is what a lean host costs.
void imagePixelRGB(void *handle, int x, int y, float rgb[3]) {
    Image *image = asImage(handle);
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) {
        image->outOfRange++;
        rgb[0] = rgb[1] = rgb[2] = 0.0f;
        return;
    }
    if (image->pixels.empty()) {
        image->generate(x, y, rgb);
        return;
    }
    const float *p = &image->pixels[(static_cast<size_t>(y) * image->width + x) * 3];
    rgb[0] = p[0];
    rgb[1] = p[1];
    rgb[2] = p[2];
}

// The same, counting the calls for the tests. The count is a read and a write of one place in
// every call, which alone makes a call about a fifth slower here: a benchmark turns it off.
void imagePixelRGBCounted(void *handle, int x, int y, float rgb[3]) {
    asImage(handle)->pixelCalls++;
    imagePixelRGB(handle, x, y, rgb);
}

int imageChangeEvent(ImageChange callback, int code) {
    Host &h = host();
    h.changeEvents.push_back({callback, code});
    auto at = std::find(h.changeCallbacks.begin(), h.changeCallbacks.end(), callback);
    if (code == IMAGE_CHANGE_REGISTER && at == h.changeCallbacks.end()) h.changeCallbacks.push_back(callback);
    if (code == IMAGE_CHANGE_UNREGISTER && at != h.changeCallbacks.end()) h.changeCallbacks.erase(at);
    return 1;
}

}  // namespace

ImageListFuncs imageListFuncs = {
    imageFirst, imageNext, nullptr, imageName, nullptr, nullptr, nullptr, imageSize, nullptr, imagePixelRGBCounted,
    nullptr,    nullptr,   nullptr, nullptr,   nullptr, nullptr, nullptr, nullptr,   nullptr, imageChangeEvent,
};

Image &addImage(const std::string &name, int width, int height, std::vector<float> pixels) {
    auto image = std::make_unique<Image>();
    image->name = name;
    image->width = width;
    image->height = height;
    const size_t wanted = width > 0 && height > 0 ? static_cast<size_t>(width) * height * 3 : 0;
    pixels.resize(wanted, 0.0f);
    image->pixels = std::move(pixels);
    if (image->pixels.empty()) image->generate = [](int, int, float *rgb) { rgb[0] = rgb[1] = rgb[2] = 0.0f; };
    Host &h = host();
    h.images.push_back(image.get());
    h.imageStore.push_back(std::move(image));
    return *h.images.back();
}

Image &addGeneratedImage(const std::string &name, int width, int height, std::function<void(int, int, float *)> generate) {
    Image &image = addImage(name, 0, 0);
    image.width = width;
    image.height = height;
    image.generate = std::move(generate);
    return image;
}

void removeImage(Image &image) {
    std::vector<Image *> &list = host().images;
    list.erase(std::remove(list.begin(), list.end(), &image), list.end());
    image.listed = false;
}

void fireImageChange() {
    const std::vector<ImageChange> callbacks = host().changeCallbacks;  // a callback may unregister
    for (ImageChange callback : callbacks) callback(0, nullptr);
}

void countPixelCalls(bool on) { imageListFuncs.imagePixelRGB = on ? imagePixelRGBCounted : imagePixelRGB; }

long long pixelCalls() {
    long long n = 0;
    for (const auto &image : host().imageStore) n += image->pixelCalls;
    return n;
}

void resetPixelCalls() {
    for (const auto &image : host().imageStore) image->pixelCalls = 0;
}

}  // namespace standin
