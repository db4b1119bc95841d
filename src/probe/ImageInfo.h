#pragma once

#include <cstdint>

// Width, height and colour depth of a BMP, JPEG or GIF file, read from its headers.
struct TImageInfo {
    int32_t Width = 0;
    int32_t Height = 0; // as stored: a top-down BMP reports a negative height
    int32_t BitsPerPixel = 0;
};
