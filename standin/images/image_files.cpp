// image_files.cpp: picks the reader by the file's first bytes, not by its name.
#include "standin/images/image_files.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

namespace standin {

bool readImageFile(const std::string &path, RgbImage &image, std::string &error) {
    FILE *file = fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + strerror(errno);
        return false;
    }
    unsigned char magic[4] = {};
    const size_t got = fread(magic, 1, sizeof magic, file);
    fclose(file);
    const size_t slash = path.find_last_of('/');
    image.name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (got == 4 && magic[0] == 0x76 && magic[1] == 0x2f && magic[2] == 0x31 && magic[3] == 0x01)
        return readExr(path, image, error);
    return readWithStb(path, image, error);
}

}  // namespace standin
