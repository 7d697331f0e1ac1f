// Reads the point table and the lists of presses.
#include "tools/table_files.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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

std::vector<Press> readPresses(const char* path)
{
    std::ifstream file(path);
    std::vector<Press> presses;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Press press{};
        if (!(fields >> press.x >> press.y))
            return {};  // a line that is not a press spoils the whole list
        presses.push_back(press);
    }
    return presses;
}
