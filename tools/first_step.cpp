// first_step OUT.png PROGRAM X,Y [X,Y ...]: the figure of the solver's first step, for
// the guide to playing. The presses are a solution; each one's slice is a gap of the
// puzzle. Runs PROGRAM on a private X server and saves two of its frames, one above the
// other, marked in colour:
//   above, the puzzle as it starts: black, each gap (white when solved, red here, in a
//   scrambled slice's column); orange rings, the gaps that are easy to miss, those
//   showing fewer than half the red pixels of the middle gap;
//   below, after a press halfway down each gap (the first step): yellow, the scramble's
//   stray points, the points its presses kept, still mirrored; cyan, the halfway
//   presses' own, ringed dashed where the band hides them wholly or in part.
// It fails when there is nothing to mark: a scrambled slice without a gap, a scramble's
// stray point not in sight, or no gap easy to miss.
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/picture_model.h"
#include "tools/xdrive.h"

namespace {

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr auto windowLimit = std::chrono::seconds(20);
constexpr auto exitLimit = std::chrono::seconds(5);
constexpr int roughHeight = 392;  // px down the window: halfway down the grid's 784
// A frame is the model's picture but for the few pixels where a point's centre lies
// within rounding of a pixel's edge (as the end-to-end tests hold the first frame).
constexpr int mostDiffering = 64;
constexpr int gutterPx = 10;    // between the two frames
constexpr int ringPx = 8;       // a stray point's ring, radius in px
constexpr int gapMarginPx = 6;  // between a gap and its ring, px
constexpr double pi = 3.14159265358979323846;

struct Colour {
    unsigned char r, g, b;
};
constexpr Colour gapColour = {0, 0, 0}, easyColour = {255, 140, 0}, scrambleColour = {255, 220, 0},
                 roughColour = {0, 230, 255}, gutterColour = {96, 0, 0};

using Table = std::unique_ptr<float[][3]>;

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

// An ellipse two pixels thick about (x, y) with half axes a and b; dashed leaves every
// other stretch of it out.
void ellipse(Image& image, int x, int y, int a, int b, Colour c, bool dashed = false)
{
    for (int dy = -b - 2; dy <= b + 2; ++dy)
        for (int dx = -a - 2; dx <= a + 2; ++dx) {
            const double inner = std::hypot(double(dx) / (a - 1), double(dy) / (b - 1));
            const double outer = std::hypot(double(dx) / (a + 1), double(dy) / (b + 1));
            const double turn = std::atan2(dy, dx) + pi;  // 0 .. 2 pi
            if (inner >= 1.0 && outer <= 1.0 && !(dashed && int(turn * 8 / pi) % 2))
                paint(image, x + dx, y + dy, c);
        }
}

// The model's picture of a table: white where a point covers the pixel.
std::vector<int> modelPicture(const Table& table)
{
    return coverPicture(table.get(), knotSide * knotSide);
}

int differing(const Image& frame, const std::vector<int>& picture)
{
    int n = 0;
    for (int y = 0; y < pictureSide; ++y)
        for (int x = 0; x < pictureSide; ++x)
            n += isWhite(frame, x, y) != (picture[y * pictureSide + x] != 0);
    return n;
}

// Waits for the program's frame to show the model's picture; false when it does not
// in time.
bool awaitShowing(XServer& server, Window window, const std::vector<int>& picture, Image& frame)
{
    return awaitCondition(
        [&] {
            return grabWindow(server.display, window, frame) && frame.width == pictureSide &&
                   frame.height == pictureSide && differing(frame, picture) <= mostDiffering;
        },
        windowLimit);
}

void press(XServer& server, Window window, const std::vector<Press>& presses)
{
    for (Press p : presses) {
        pressButtonAt(server.display, window, p.x, p.y, 1);
        releaseButton(server.display, 1);
    }
}

// The mirrored place of point `cell` of slice `row`: where a stray point of it shows.
Pixel strayAt(const Table& solved, int row, int cell)
{
    const float* point = solved[row * knotSide + cell];
    const float mirrored[3] = {-point[0], -point[1], -point[2]};
    return pointPixel(mirrored);
}

// Pixels of a point's 5 x 5 square that are white in one frame and red in the other.
int showing(const Image& with, const Image& without, Pixel at)
{
    int n = 0;
    for (int y = at.y - pointReachPx; y <= at.y + pointReachPx; ++y)
        for (int x = at.x - pointReachPx; x <= at.x + pointReachPx; ++x)
            if (x >= 0 && y >= 0 && x < pictureSide && y < pictureSide)
                n += isWhite(with, x, y) && !isWhite(without, x, y);
    return n;
}

// Marks the gaps of the puzzle's frame; false when a scrambled slice shows none or no
// gap is easy to miss.
bool markGaps(Image& start, const Image& solvedFrame, const std::vector<Press>& solution)
{
    const Image shown = start;
    std::vector<int> counts;
    for (Press p : solution) {
        int count = 0;
        for (int y = 0; y < pictureSide; ++y)
            for (int x = 4 * (p.x / 4); x < 4 * (p.x / 4) + 4; ++x)
                if (isWhite(solvedFrame, x, y) && !isWhite(shown, x, y))
                    paint(start, x, y, gapColour), ++count;
        if (count == 0) {
            std::fprintf(stderr, "first_step: slice %d shows no gap\n", p.x / 4);
            return false;
        }
        counts.push_back(count);
    }
    std::vector<int> sorted = counts;
    std::sort(sorted.begin(), sorted.end());
    const int middle = sorted[sorted.size() / 2];
    int easy = 0;
    for (std::size_t i = 0; i < solution.size(); ++i) {
        if (2 * counts[i] >= middle)
            continue;
        // A ring about each stretch of the gap, stretches more than a ring apart.
        const int left = 4 * (solution[i].x / 4);
        int top = -1, bottom = -1;
        for (int y = 0; y <= pictureSide; ++y) {
            bool black = false;
            for (int x = left; y < pictureSide && x < left + 4; ++x) {
                const unsigned char* c = start.at(x, y);
                black = black || (c[0] == 0 && c[1] == 0 && c[2] == 0);
            }
            if (black && top < 0)
                top = y;
            if (black)
                bottom = y;
            if (top >= 0 && (y == pictureSide || y - bottom > 4 * gapMarginPx)) {
                ellipse(start, left + 2, (top + bottom) / 2, 2 + gapMarginPx + 4,
                        (bottom - top) / 2 + gapMarginPx + 4, easyColour);
                top = bottom = -1;
            }
        }
        ++easy;
        std::printf("easy to miss: the gap of slice %d, %d red pixels against %d\n",
                    solution[i].x / 4, counts[i], middle);
    }
    if (easy == 0)
        std::fprintf(stderr, "first_step: no gap is easy to miss\n");
    return easy > 0;
}

// Marks the stray points after the first step; false when a scramble's stray point is
// not in sight.
bool markStrays(Image& after, const Image& solvedFrame, const Table& solved,
                const std::vector<Press>& solution)
{
    const Image shown = after;
    bool allShow = true;
    int marked = 0;
    for (Press p : solution) {
        Cell scramble, rough;
        pressedCell(p, knotSide, scramble);
        pressedCell({p.x, roughHeight}, knotSide, rough);
        if (scramble.cell == rough.cell)
            continue;  // the halfway press was the answer: nothing stray
        const Pixel theirs = strayAt(solved, scramble.row, scramble.cell);
        const Pixel yours = strayAt(solved, rough.row, rough.cell);
        const int theirsShowing = showing(shown, solvedFrame, theirs);
        const int yoursShowing = showing(shown, solvedFrame, yours);
        for (const auto& [at, colour] : {std::pair{theirs, scrambleColour}, {yours, roughColour}})
            for (int y = at.y - pointReachPx; y <= at.y + pointReachPx; ++y)
                for (int x = at.x - pointReachPx; x <= at.x + pointReachPx; ++x)
                    if (x >= 0 && y >= 0 && x < pictureSide && y < pictureSide &&
                        isWhite(shown, x, y) && !isWhite(solvedFrame, x, y))
                        paint(after, x, y, colour);
        ellipse(after, theirs.x, theirs.y, ringPx, ringPx, scrambleColour);
        ellipse(after, yours.x, yours.y, ringPx, ringPx, roughColour, yoursShowing < 25);
        std::printf("slice %d: the scramble's stray point at (%d, %d), %d pixels in sight; "
                    "the halfway press's at (%d, %d), %d\n",
                    scramble.row, theirs.x, theirs.y, theirsShowing, yours.x, yours.y,
                    yoursShowing);
        ++marked;
        if (theirsShowing == 0) {
            std::fprintf(stderr,
                         "first_step: the scramble's stray point of slice %d is not in sight\n",
                         scramble.row);
            allShow = false;
        }
    }
    if (marked == 0)
        std::fprintf(stderr, "first_step: no press halfway down leaves a stray point\n");
    return allShow && marked > 0;
}

int fail(const char* what, XServer& server, Child& child)
{
    std::fprintf(stderr, "first_step: %s\n", what);
    endChild(child);
    stopXServer(server);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Press> solution, rough;
    for (int i = 3; i < argc; ++i) {
        Press p{};
        char end = 0;
        if (std::sscanf(argv[i], "%d,%d%c", &p.x, &p.y, &end) != 2 || p.x < 0 || p.y < 0 ||
            p.x >= pictureSide || p.y >= pictureSide) {
            argc = 0;  // not a press inside the window: show the usage
            break;
        }
        solution.push_back(p);
        rough.push_back({p.x, roughHeight});
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: first_step OUT.png PROGRAM X,Y [X,Y ...]\n");
        return 1;
    }

    // The model's pictures of the three states the program is taken through.
    Table puzzle = std::make_unique<float[][3]>(knotEntries);
    Table solved = std::make_unique<float[][3]>(knotEntries);
    Table stepped = std::make_unique<float[][3]>(knotEntries);
    designPuzzle(puzzle.get());
    designKnot(solved.get());
    designPuzzle(stepped.get());
    playPresses(stepped.get(), rough, knotSide);
    const std::vector<int> startPicture = modelPicture(puzzle),
                           steppedPicture = modelPicture(stepped),
                           solvedPicture = modelPicture(solved);
    // Each wait must tell its state from the one before it.
    for (const auto& [a, b] :
         {std::pair{&startPicture, &steppedPicture}, {&steppedPicture, &solvedPicture}})
        if (differingPixels(*a, *b) <= 4 * mostDiffering) {
            std::fprintf(stderr, "first_step: the presses change too little to see\n");
            return 1;
        }

    XServer server;
    Child child;
    if (!startXServer(server))
        return fail("cannot start Xvfb", server, child);
    if (!launch(child, server, {argv[2]}, {"LIBGL_ALWAYS_SOFTWARE=1"}))
        return fail("cannot start the program", server, child);
    Window window = awaitWindow(server.display, windowTitle, windowLimit);
    Image start, after, solvedFrame;
    if (window == None || !awaitShowing(server, window, startPicture, start))
        return fail("the first frame is not the puzzle", server, child);
    press(server, window, rough);
    if (!awaitShowing(server, window, steppedPicture, after))
        return fail("the frame never showed the first step", server, child);
    press(server, window, rough);  // taken back
    press(server, window, solution);
    if (!awaitShowing(server, window, solvedPicture, solvedFrame))
        return fail("the frame never showed the solved knot", server, child);
    tapKeyOver(server.display, window, XK_Escape);
    if (!awaitExit(child, exitLimit))
        return fail("the program did not end on ESCAPE", server, child);
    stopXServer(server);

    if (!markGaps(start, solvedFrame, solution) ||
        !markStrays(after, solvedFrame, solved, solution))
        return 1;
    Image out;
    out.width = pictureSide;
    out.height = 2 * pictureSide + gutterPx;
    out.rgb.assign(std::size_t(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const Image* from = y < pictureSide               ? &start
                                : y >= pictureSide + gutterPx ? &after
                                                              : nullptr;
            const int fromY = y < pictureSide ? y : y - pictureSide - gutterPx;
            if (!from) {
                paint(out, x, y, gutterColour);
                continue;
            }
            const unsigned char* c = from->at(x, fromY);
            paint(out, x, y, {c[0], c[1], c[2]});
        }
    if (!writePng(argv[1], out)) {
        std::fprintf(stderr, "first_step: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("saved the puzzle and its first step, %zu presses halfway down, to %s\n",
                rough.size(), argv[1]);
    return child.status == 0 ? 0 : 1;
}
