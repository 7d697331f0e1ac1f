// The cross flip as a set: every entry a press touches, kept when touched an odd number
// of times. The program negates in place instead; the two must agree.
#include "tools/cross_model.h"

#include <algorithm>
#include <map>

std::vector<int> crossFlips(Press press, int side)
{
    if (press.x < 0 || press.y < 0)
        return {};
    const int row = std::min(press.x / 4, side);  // 4-pixel cells, clamped to the side
    const int cell = std::min(press.y / 4, side);

    std::map<int, int> touches;
    for (int i = 0; i < side; ++i) {
        ++touches[i * side + row];  // column `row`
        ++touches[row * side + i];  // row `row`
    }
    ++touches[row * side + cell];

    std::vector<int> flipped;
    for (const auto& [entry, count] : touches)
        if (count % 2 == 1)
            flipped.push_back(entry);
    return flipped;
}

void playPresses(float (*table)[3], const std::vector<Press>& presses, int side)
{
    for (Press press : presses)
        for (int entry : crossFlips(press, side))
            for (float& v : table[entry])
                v = -v;
}
