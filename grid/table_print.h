// A fingerprint of a point table's drawn entries: what the page compares after each
// press with the solved knot's, made at build time by tools/solved_print. Header only,
// so that the tool and the page hash alike; the desktop program does not use it.
#pragma once

#include <cstdint>
#include <cstring>

// FNV-1a over the 32-bit patterns of the first `entries` x, y, z floats, with -0.0
// taken as 0.0: two tables that draw the same picture from the same values match.
inline std::uint64_t tablePrint(const float* table, int entries)
{
    std::uint64_t print = 0xcbf29ce484222325ull;
    for (long i = 0; i < 3L * entries; ++i) {
        float value = table[i] + 0.0f;  // -0.0 + 0.0 is 0.0
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        print = (print ^ bits) * 0x100000001b3ull;
    }
    return print;
}
