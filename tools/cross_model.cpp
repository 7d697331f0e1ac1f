// The cross flip as a set: every entry a press touches, kept when touched an odd number
// of times. The program negates in place instead; the two must agree.
#include "tools/cross_model.h"

#include <algorithm>
#include <cstdio>
#include <map>

bool pressedCell(Press press, int side, Cell& picked)
{
    if (press.x < 0 || press.y < 0)
        return false;
    picked.row = std::min(press.x / 4, side);  // 4-pixel cells, clamped to the side
    picked.cell = std::min(press.y / 4, side);
    return true;
}

std::vector<int> cellFlips(Cell picked, int side)
{
    std::map<int, int> touches;
    for (int i = 0; i < side; ++i) {
        ++touches[i * side + picked.row];  // column `row`
        ++touches[picked.row * side + i];  // row `row`
    }
    ++touches[picked.row * side + picked.cell];

    std::vector<int> flipped;
    for (const auto& [entry, count] : touches)
        if (count % 2 == 1)
            flipped.push_back(entry);
    return flipped;
}

std::vector<int> crossFlips(Press press, int side)
{
    Cell picked;
    if (!pressedCell(press, side, picked))
        return {};
    return cellFlips(picked, side);
}

int gridSideOf(std::size_t entries)
{
    int side = 0;
    while (std::size_t(side + 1) * std::size_t(side + 1) <= entries)
        ++side;
    return side;
}

void playPresses(float (*table)[3], const std::vector<Press>& presses, int side)
{
    for (Press press : presses)
        for (int entry : crossFlips(press, side))
            for (float& v : table[entry])
                v = -v;
}

bool parsePress(const char* text, Press& press)
{
    char after = 0;
    return std::sscanf(text, "%d,%d%c", &press.x, &press.y, &after) == 2;
}

bool parsePresses(char* const* args, int count, std::vector<Press>& presses)
{
    presses.clear();
    for (int i = 0; i < count; ++i) {
        Press press{};
        if (!parsePress(args[i], press))
            return false;
        presses.push_back(press);
    }
    return true;
}
