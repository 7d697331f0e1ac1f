// A fingerprint of a point table's drawn entries: what the page compares after each
// press with the solved knot's, made at build time by tools/solved_print. Header only,
// so that the tool and the page hash alike; the desktop program does not use it.
#pragma once

#include <cstdint>
#include <cstring>

// FNV-1a over the first `entries` x, y, z floats, two at a time as 64-bit words (one
// multiplication for every two floats), each with -0.0 taken as 0.0: two tables that
// draw the same picture from the same values match.
inline std::uint64_t tablePrint(const float* table, int entries)
{
    const long floats = 3L * entries;
    std::uint64_t print = 0xcbf29ce484222325ull;
    for (long i = 0; i < floats; i += 2) {
        float pair[2] = {table[i] + 0.0f, i + 1 < floats ? table[i + 1] + 0.0f : 0.0f};
        std::uint64_t bits;
        std::memcpy(&bits, pair, sizeof bits);
        print = (print ^ bits) * 0x100000001b3ull;
    }
    return print;
}
