// solved_print TABLE.bin SOLUTION.txt OUT.inc: plays the solution's presses on the table
// with the model of a press and writes the fingerprint of the drawn entries then, the
// solved knot's, as a C++ initialiser for the web page.
#include <cstdio>

#include "grid/table_print.h"
#include "tools/cross_model.h"
#include "tools/table_files.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: solved_print TABLE.bin SOLUTION.txt OUT.inc\n");
        return 1;
    }
    std::vector<float> table = readTable(argv[1]);
    std::vector<Press> solution = readPresses(argv[2]);
    if (table.empty() || table.size() % 3 != 0 || solution.empty()) {
        std::fprintf(stderr, "solved_print: %s or %s cannot be read\n", argv[1], argv[2]);
        return 1;
    }
    const int side = gridSideOf(table.size() / 3);
    playPresses(reinterpret_cast<float(*)[3]>(table.data()), solution, side);
    std::FILE* out = std::fopen(argv[3], "w");
    if (!out) {
        std::fprintf(stderr, "solved_print: cannot write %s\n", argv[3]);
        return 1;
    }
    std::fprintf(out, "0x%016llxull\n",
                 static_cast<unsigned long long>(tablePrint(table.data(), side * side)));
    return std::fclose(out) == 0 ? 0 : 1;
}
