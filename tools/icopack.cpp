// icopack OUT.ico IN.png...: packs square PNG icons into one Windows .ico. Icons of
// 256 pixels go in as the PNG file itself, as Windows wants them; smaller ones as
// 32-bit bitmaps (bottom-up rows, blue-green-red-alpha, an all-clear AND mask), which
// every reader of .ico files takes. The icons are opaque, as iconify draws them: every
// alpha is full.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/png.h"

namespace {

constexpr int pngFromSize = 256;
constexpr int maxSize = 256;
constexpr std::size_t directoryEntryBytes = 16, bitmapHeaderBytes = 40;

void put16(std::string& out, unsigned v)
{
    out += char(v & 0xFF);
    out += char(v >> 8 & 0xFF);
}

void put32(std::string& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The icon's image data as it goes into the file; empty when the PNG is unusable.
std::string iconData(const char* path, int& size)
{
    Image icon;
    if (!readPng(path, icon) || icon.width != icon.height || icon.width == 0 ||
        icon.width > maxSize)
        return {};
    size = icon.width;
    if (size >= pngFromSize) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string data;
    put32(data, bitmapHeaderBytes);
    put32(data, std::uint32_t(size));
    put32(data, std::uint32_t(2 * size));  // the colour rows and the mask's
    put16(data, 1);                        // planes
    put16(data, 32);                       // bits a pixel
    for (int i = 0; i < 6; ++i)            // no compression, sizes and palette unused
        put32(data, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const unsigned char* rgb = icon.at(x, y);
            data += {char(rgb[2]), char(rgb[1]), char(rgb[0]), char(0xFF)};
        }
    const std::size_t maskRow = (std::size_t(size) + 31) / 32 * 4;
    data.append(maskRow * std::size_t(size), '\0');
    return data;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: icopack OUT.ico IN.png...\n");
        return 1;
    }
    const int count = argc - 2;
    std::string directory, images;
    put16(directory, 0);
    put16(directory, 1);  // an icon
    put16(directory, unsigned(count));
    std::size_t offset = 6 + directoryEntryBytes * std::size_t(count);
    for (int i = 0; i < count; ++i) {
        int size = 0;
        std::string data = iconData(argv[2 + i], size);
        if (data.empty()) {
            std::fprintf(stderr, "icopack: %s is not a square PNG of at most %d pixels\n",
                         argv[2 + i], maxSize);
            return 1;
        }
        directory += char(size % 256);  // 0 stands for 256
        directory += char(size % 256);
        directory += '\0';  // no palette
        directory += '\0';
        put16(directory, 1);  // planes
        put16(directory, 32);
        put32(directory, std::uint32_t(data.size()));
        put32(directory, std::uint32_t(offset));
        offset += data.size();
        images += data;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << directory << images;
    out.close();
    if (!out) {
        std::fprintf(stderr, "icopack: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
