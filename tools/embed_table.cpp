// embed_table IN.bin OUT.inc: turns the point table (little-endian float32 x, y, z
// per entry) into C++ initialisers, one entry a line, as exact hexadecimal floats.
#include <cstdint>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: embed_table IN.bin OUT.inc\n");
        return 1;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "embed_table: cannot read %s\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) {
        std::fprintf(stderr, "embed_table: cannot write %s\n", argv[2]);
        return 1;
    }
    unsigned char bytes[12];
    long entries = 0;
    std::size_t got;
    while ((got = std::fread(bytes, 1, sizeof bytes, in)) == sizeof bytes) {
        float v[3];
        for (int i = 0; i < 3; ++i) {
            const unsigned char* b = bytes + 4 * i;
            std::uint32_t bits = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                 std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
            std::memcpy(&v[i], &bits, sizeof bits);
        }
        std::fprintf(out, "{%af, %af, %af},\n", double(v[0]), double(v[1]), double(v[2]));
        ++entries;
    }
    if (got != 0 || entries == 0 || std::ferror(in) || std::fclose(out) != 0) {
        std::fprintf(stderr, "embed_table: %s is not a whole table of 12-byte entries\n", argv[1]);
        std::remove(argv[2]);
        return 1;
    }
    std::fclose(in);
    return 0;
}
