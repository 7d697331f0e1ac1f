// figure OUT.png PROGRAM X,Y [X,Y ...]: the worked example of one press, for the README.
// Runs PROGRAM (knotwerry) on a private X server, makes the presses after the first (the
// solution) to reach the solved knot, then the first press, each time waiting for the
// frame that shows the model's picture after them, and saves the program's last frame
// with what that press did marked in colour, found by comparing the two frames:
//   blue ring     where the press was;
//   black         the gap the slice left in its column (white before, red after);
//   yellow        the slice's mirrored copy, where it lies off the band;
//   cyan          the slice's mirrored thread, where it lies off the band;
//   green ring    the point the press's height kept in the slice;
//   magenta ring  the point where the thread crosses the slice, which stays too;
// and beside the frame, the slice's part of it magnified, framed in white.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/model_run.h"
#include "tools/picture_model.h"

namespace {

struct Colour {
    unsigned char r, g, b;
};
constexpr Colour pressColour = {0, 64, 255}, gapColour = {0, 0, 0}, copyColour = {255, 220, 0},
                 threadColour = {0, 230, 255}, keptColour = {0, 170, 0},
                 crossingColour = {230, 0, 230};
constexpr int ringPx = 8;  // ring radius around a marked spot, window pixels

bool isWhite(const Image& image, int x, int y)
{
    const unsigned char* p = image.at(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

void paint(Image& image, int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return;
    unsigned char* p = &image.rgb[3 * (std::size_t(y) * image.width + x)];
    p[0] = c.r, p[1] = c.g, p[2] = c.b;
}

// A ring two pixels thick around (x, y).
void ring(Image& image, int x, int y, Colour c)
{
    for (int dy = -ringPx - 1; dy <= ringPx + 1; ++dy)
        for (int dx = -ringPx - 1; dx <= ringPx + 1; ++dx) {
            const double d = std::hypot(dx, dy);
            if (d >= ringPx - 1.0 && d <= ringPx + 1.0)
                paint(image, x + dx, y + dy, c);
        }
}

// Which mirrored points each pixel is near: 1 for the slice's copy, 2 for the thread.
std::vector<char> mirroredNear(const float (*solved)[3], Cell press)
{
    std::vector<char> near(pictureSide * pictureSide, 0);
    for (int k : cellFlips(press, knotSide)) {
        if (k >= knotSide * knotSide)
            continue;
        const float mirrored[3] = {-solved[k][0], -solved[k][1], -solved[k][2]};
        const Pixel at = pointPixel(mirrored);
        const char what = k / knotSide == press.row ? 1 : 2;
        for (int y = at.y - pointReachPx; y <= at.y + pointReachPx; ++y)
            for (int x = at.x - pointReachPx; x <= at.x + pointReachPx; ++x)
                if (x >= 0 && y >= 0 && x < pictureSide && y < pictureSide)
                    near[y * pictureSide + x] = what;
    }
    return near;
}

// Marks what the press did; false when the frames show no gap, copy or thread to mark.
bool mark(Image& frame, const Image& before, const float (*solved)[3], Press press)
{
    Cell picked;
    pressedCell(press, knotSide, picked);
    const std::vector<char> near = mirroredNear(solved, picked);
    const Image shown = frame;
    int gap = 0, copy = 0, thread = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const bool was = isWhite(before, x, y), is = isWhite(shown, x, y);
            const bool inSlice = x / 4 == picked.row;  // the slice's own column
            if (was && !is && inSlice)
                paint(frame, x, y, gapColour), ++gap;
            else if (!was && is && near[y * pictureSide + x] == 1)
                paint(frame, x, y, copyColour), ++copy;
            else if (!was && is && near[y * pictureSide + x] == 2)
                paint(frame, x, y, threadColour), ++thread;
        }
    const Pixel kept = pointPixel(solved[picked.row * knotSide + picked.cell]);
    const Pixel crossing = pointPixel(solved[picked.row * knotSide + picked.row]);
    if (picked.cell != picked.row) {
        ring(frame, kept.x, kept.y, keptColour);
        ring(frame, crossing.x, crossing.y, crossingColour);
    }
    ring(frame, press.x, press.y, pressColour);
    for (int d = -3; d <= 3; ++d) {
        paint(frame, press.x + d, press.y, pressColour);
        paint(frame, press.x, press.y + d, pressColour);
    }
    return gap > 0 && copy > 0 && thread > 0;
}

// The marked frame with, beside it, the slice's part of it magnified `zoom` times, and
// a frame around that part: the gap is two pixels wide and the kept point five.
Image withCloseUp(const Image& marked, const float (*solved)[3], Press press)
{
    constexpr int zoom = 3, halfWidth = 30, gutter = 10;
    constexpr Colour frameColour = {255, 255, 255}, gutterColour = {96, 0, 0};
    Cell picked;
    pressedCell(press, knotSide, picked);
    int top = pictureSide, bottom = 0;
    for (int c = 0; c < knotSide; ++c) {
        const Pixel at = pointPixel(solved[picked.row * knotSide + c]);
        top = std::min(top, at.y), bottom = std::max(bottom, at.y);
    }
    const int height = pictureSide / zoom;
    top = std::clamp((top + bottom) / 2 - height / 2, 0, pictureSide - height);
    const int left = std::clamp(4 * picked.row + 2 - halfWidth, 0, pictureSide - 2 * halfWidth);

    Image out;
    out.width = pictureSide + gutter + 2 * halfWidth * zoom;
    out.height = pictureSide;
    out.rgb.assign(std::size_t(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const unsigned char* from = nullptr;
            if (x < pictureSide)
                from = marked.at(x, y);
            else if (x >= pictureSide + gutter && y / zoom < height)
                from = marked.at(left + (x - pictureSide - gutter) / zoom, top + y / zoom);
            const Colour c = from ? Colour{from[0], from[1], from[2]} : gutterColour;
            paint(out, x, y, c);
        }
    for (int x = left - 1; x <= left + 2 * halfWidth; ++x)
        paint(out, x, top - 1, frameColour), paint(out, x, top + height, frameColour);
    for (int y = top - 1; y <= top + height; ++y)
        paint(out, left - 1, y, frameColour), paint(out, left + 2 * halfWidth, y, frameColour);
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Press> presses;
    auto inside = [](Press p) {
        return p.x >= 0 && p.y >= 0 && p.x < pictureSide && p.y < pictureSide;
    };
    if (argc < 4 || !parsePresses(argv + 3, argc - 3, presses) ||
        !std::all_of(presses.begin(), presses.end(), inside)) {
        std::fprintf(stderr, "usage: figure OUT.png PROGRAM X,Y [X,Y ...]\n");
        return 1;
    }
    const Press example = presses[0];
    const std::vector<Press> solution(presses.begin() + 1, presses.end());

    ModelRun run;
    std::string why;
    if (!startModelRun(run, argv[2], why))
        return failModelRun("figure", why, run);
    if (!solution.empty() && !playModelRun(run, solution, why))
        return failModelRun("figure", "after the solution: " + why, run);
    const Image solvedFrame = run.frame;
    if (!playModelRun(run, {example}, why))
        return failModelRun("figure", "after the press: " + why, run);
    Image frame = run.frame;
    if (!endModelRun(run, why))
        return failModelRun("figure", why, run);
    stopModelRun(run);

    const std::unique_ptr<float[][3]> solved = std::make_unique<float[][3]>(knotEntries);
    designKnot(solved.get());
    if (!mark(frame, solvedFrame, solved.get(), example)) {
        std::fprintf(stderr, "figure: the press shows no gap, copy or thread to mark\n");
        return 1;
    }
    if (!writePng(argv[1], withCloseUp(frame, solved.get(), example))) {
        std::fprintf(stderr, "figure: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("saved the press at (%d, %d) after %zu presses to %s\n", example.x, example.y,
                solution.size(), argv[1]);
    return 0;
}
