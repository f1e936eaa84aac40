// image_chooser.cpp: the chooser keeps no list of its own; count, names and the image behind an
// index are worked out from the host's list at each call, in the order imageFirst/imageNext walk.
#include "panel/image_chooser.h"

#include "engine/histogram.h"
#include "engine/viewer_state.h"

int imagePopupCount(void *) {
    const ImageListFuncs *images = viewer.imageList;
    int n = 0;
    if (images)
        for (void *image = images->imageFirst(); image; image = images->imageNext(image)) n++;
    return n + 1;  // the images and "none"
}

const char *imagePopupName(void *, int index) {
    if (index == 0) return "none";
    const ImageListFuncs *images = viewer.imageList;
    if (!images) return nullptr;
    int n = 0;
    for (void *image = images->imageFirst(); image; image = images->imageNext(image))
        if (++n == index) return images->imageName(image);
    return nullptr;  // past the end, or a negative index
}

void *imageByIndex(int index) {
    const ImageListFuncs *images = viewer.imageList;
    if (index <= 0 || !images) return nullptr;
    void *image = images->imageFirst();
    for (int i = 1; i < index && image; i++) image = images->imageNext(image);
    return image;
}

void watchImageChanges(int code) {
    if (viewer.imageList) viewer.imageList->imageChangeEvent(onImageListChange, code);
}

void onImageChosen(void *control, void *) {
    ViewerState &s = viewer;
    const int index = controlGetInt(control, CTL_VALUE);
    s.pendingRecompute = 0;
    if (s.currentImage && s.autoUpdate == 1) watchImageChanges(IMAGE_CHANGE_UNREGISTER);
    s.hZoom = 1.0f;
    s.vZoom = 1.0f;
    s.hOffset = 0.0f;
    s.lastHZoomDrag = s.lastOffsetDrag = 1;  // the truncated hZoom
    s.recalcZoom = 0;
    s.quickHisto = 0;
    if (index > 0) {
        s.currentImage = imageByIndex(index);
        if (s.currentImage) {
            computeHistogram();  // sets the automatic vertical scale
            s.savedHZoom = s.hZoom;
            s.savedVZoom = s.vZoom;
            if (s.autoUpdate == 1) watchImageChanges(IMAGE_CHANGE_REGISTER);
        }
    } else {
        s.currentImage = nullptr;
    }
    redrawView();
}

void onImageListChange(int, void *) {
    viewer.pendingRecompute = 1;
    redrawView();
}
