// image_chooser.h: the image chooser ("none" and the host's images, in list order) and the
// tracking of the host's image changes.
#pragma once

int imagePopupCount(void *userData);
const char *imagePopupName(void *userData, int index);
void *imageByIndex(int index);

// The chooser's event: makes the chosen image current, resets the view, computes its
// histogram, remembers the zooms for Reset and, with Autoupdate on, watches for changes.
void onImageChosen(void *control, void *userData);

// The host's image-change notification: the bins are stale; the next paint recomputes them.
void onImageListChange(int eventCode, void *image);

// Registers (IMAGE_CHANGE_REGISTER) or unregisters onImageListChange with the host.
void watchImageChanges(int code);
