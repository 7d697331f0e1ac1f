// Pictures as RGB images, read from and written to PNG files with libpng's simple API.
// Defined here, in the header, so that every build that reads or saves a picture (the
// tests of each platform, the page's checker, the tools) has it by including it; each
// links libpng.
#pragma once

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

// An RGB image, 3 bytes a pixel, rows top to bottom.
struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[3 * (std::size_t(y) * width + x)]; }
};

// Reads a PNG as RGB; false when the file is missing or not a PNG.
inline bool readPng(const std::string& path, Image& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    png.format = PNG_FORMAT_RGB;
    image.width = int(png.width);
    image.height = int(png.height);
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr) != 0;
}

inline bool writePng(const std::string& path, const Image& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr) != 0;
}
