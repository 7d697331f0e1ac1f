// Reads a point table file (little-endian float32 x, y, z per entry) into floats.
#include "tests/table_file.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

std::vector<float> readTable(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<float> values(bytes.size() / 4);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const unsigned char* b = &bytes[4 * i];
        std::uint32_t bits = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                             std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
        std::memcpy(&values[i], &bits, sizeof bits);
    }
    return values;
}
