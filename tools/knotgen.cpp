// knotgen OUT.bin: writes the built-in puzzle, the scrambled knot, as little-endian
// float32 triples.
#include "tools/knot_design.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int bytesPerEntry = 12;  // three float32 values

// Byte order is fixed here rather than taken from the host, so the file is the same everywhere.
void putLittleEndian(float value, unsigned char* out)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>((bits >> (8 * i)) & 0xFFu);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: knotgen OUT.bin\n");
        return 1;
    }
    const std::unique_ptr<float[][3]> table = std::make_unique<float[][3]>(knotEntries);
    designPuzzle(table.get());

    std::vector<unsigned char> bytes(static_cast<std::size_t>(knotEntries) * bytesPerEntry);
    for (int e = 0; e < knotEntries; ++e) {
        for (int c = 0; c < 3; ++c)
            putLittleEndian(table[e][c],
                            &bytes[static_cast<std::size_t>(e) * bytesPerEntry + 4 * c]);
    }

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::fprintf(stderr, "knotgen: cannot open %s for writing\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "knotgen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
