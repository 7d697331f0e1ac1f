// picture_check TABLE.bin PICTURE.png TWIST [X,Y ...]: does the picture show the table
// after these presses, turned by TWIST degrees? The page's tests ask it of every
// screenshot, so that the browser is held to the same model of a press and the same
// projection as the desktop. The picture must be 800 x 800 pixels, one a canvas pixel,
// and hold nothing but the picture's own pure red and pure white: no pixel smoothed.
// Prints what differs; exit status 0 when the picture matches, 1 when it does not, 2
// when it cannot tell.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/cross_model.h"
#include "tools/png.h"
#include "tools/projection.h"
#include "tools/table_files.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: picture_check TABLE.bin PICTURE.png TWIST [X,Y ...]\n");
        return 2;
    }
    std::vector<float> table = readTable(argv[1]);
    Image picture;
    if (table.empty() || table.size() % 3 != 0) {
        std::fprintf(stderr, "picture_check: %s is not a table\n", argv[1]);
        return 2;
    }
    if (!readPng(argv[2], picture)) {
        std::fprintf(stderr, "picture_check: cannot read %s\n", argv[2]);
        return 2;
    }
    char* end = nullptr;
    double twist = std::strtod(argv[3], &end);
    if (*end != '\0') {
        std::fprintf(stderr, "picture_check: %s is not a twist in degrees\n", argv[3]);
        return 2;
    }
    std::vector<Press> presses;
    for (int i = 4; i < argc; ++i) {
        Press press;
        if (!parsePress(argv[i], press)) {
            std::fprintf(stderr, "picture_check: %s is not a press X,Y\n", argv[i]);
            return 2;
        }
        presses.push_back(press);
    }

    if (picture.width != 800 || picture.height != 800) {
        std::printf("the picture is %d x %d pixels, not 800 x 800\n", picture.width,
                    picture.height);
        return 1;
    }
    int blended = 0;  // neither pure red nor pure white
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
        const unsigned char* p = &picture.rgb[i];
        if (!(p[0] == 255 && ((p[1] == 0 && p[2] == 0) || (p[1] == 255 && p[2] == 255))))
            ++blended;
    }
    if (blended != 0) {
        std::printf("%d pixels are neither pure red nor pure white\n", blended);
        return 1;
    }

    const int side = gridSideOf(table.size() / 3);
    playPresses(reinterpret_cast<float(*)[3]>(table.data()), presses, side);
    Mismatch mismatch = compareWithProjection(picture, table.data(), side * side, twist);
    if (mismatch.none()) {
        std::printf("matches: %d pure red pixels away from the points\n", mismatch.redPixels);
        return 0;
    }
    std::printf("%d point centres not white, %d pixels away from the points not red: %s\n",
                mismatch.darkCentres, mismatch.strayPixels, mismatch.firstFaults.c_str());
    return 1;
}
