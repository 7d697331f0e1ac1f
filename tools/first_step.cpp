// first_step OUT.png PROGRAM X,Y [X,Y ...]: the figure of the solver's first step, for
// the guide to playing. The presses are a solution; each one's slice is a gap of the
// puzzle. Runs PROGRAM on a private X server and saves two of its frames, one above the
// other, marked in colour:
//   above, the puzzle as it starts: black, each gap (white when solved, red here, in a
//   scrambled slice's column), down every piece of band its slice crosses; an orange
//   ring about each gap where it crosses the wide lower band, the lowest piece of band
//   in its column, and a second ring about the gaps that are easy to miss, those showing
//   fewer than half the red pixels of the middle gap;
//   below, after a press in each gap at y = 392, halfway down the picture's 784 pixels
//   of slices (the first step): yellow, the scramble's stray points, the points its
//   presses kept, still mirrored; cyan, the halfway presses' own, ringed dashed where
//   the band hides them wholly or in part.
// It fails when there is nothing to mark: a scrambled slice without a gap, a gap that
// does not cross the lower band, no gap easy to miss, or a scramble's stray point not in
// sight.
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/marks.h"
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
constexpr int gapMarginPx = 6;  // between a gap and its ring, px
// A piece of band at least this tall, px: not the cut end of one passing under a crossing.
constexpr int bandPx = 20;

constexpr Colour gapColour = {0, 0, 0}, easyColour = {255, 140, 0}, scrambleColour = {255, 220, 0},
                 roughColour = {0, 230, 255};

using Table = std::unique_ptr<float[][3]>;

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

// The rows of the wide lower band in the 4-pixel column from `left`: the lowest piece of
// band the column crosses in the solved knot's frame, at least bandPx tall. {-1, -1} when
// the column crosses none.
std::pair<int, int> lowerBand(const Image& solvedFrame, int left)
{
    int top = -1, bottom = -1;
    for (int y = pictureSide - 1, end = -1; y >= -1; --y) {
        bool white = false;
        for (int x = left; y >= 0 && x < left + 4; ++x)
            white = white || isWhite(solvedFrame, x, y);
        if (white && end < 0)
            end = y;
        if (!white && end >= 0) {
            if (end - y >= bandPx) {
                top = y + 1, bottom = end;
                break;
            }
            end = -1;
        }
    }
    return {top, bottom};
}

// Marks the gaps of the puzzle's frame, and rings each where it crosses the lower band,
// twice for those easy to miss; false when a scrambled slice shows no gap there or no
// gap is easy to miss.
bool markGaps(Image& start, const Image& solvedFrame, const std::vector<Press>& solution)
{
    const Image shown = start;
    auto isGap = [&](int x, int y) { return isWhite(solvedFrame, x, y) && !isWhite(shown, x, y); };
    std::vector<int> counts;
    for (Press p : solution) {
        int count = 0;
        for (int y = 0; y < pictureSide; ++y)
            for (int x = 4 * (p.x / 4); x < 4 * (p.x / 4) + 4; ++x)
                if (isGap(x, y))
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
        const int slice = solution[i].x / 4, left = 4 * slice;
        const auto [bandTop, bandBottom] = lowerBand(solvedFrame, left);
        int top = -1, bottom = -1, rows = 0;
        for (int y = bandTop; bandTop >= 0 && y <= bandBottom; ++y) {
            bool gap = false;
            for (int x = left; x < left + 4; ++x)
                gap = gap || isGap(x, y);
            if (gap && top < 0)
                top = y;
            if (gap)
                bottom = y, ++rows;
        }
        if (rows == 0) {
            std::fprintf(stderr, "first_step: the gap of slice %d does not cross the lower band\n",
                         slice);
            return false;
        }
        const bool easyToMiss = 2 * counts[i] < middle;
        const int a = 2 + gapMarginPx, b = (bottom - top) / 2 + gapMarginPx;
        ellipse(start, left + 2, (top + bottom) / 2, a, b, easyColour);
        if (easyToMiss)
            ellipse(start, left + 2, (top + bottom) / 2, a + 5, b + 5, easyColour), ++easy;
        std::printf("slice %d: a gap of %d red pixels (the middle gap %d), crossing %d of the "
                    "lower band's %d rows%s\n",
                    slice, counts[i], middle, rows, bandBottom - bandTop + 1,
                    easyToMiss ? ": easy to miss" : "");
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
        const Pixel theirs = strayAt(solved.get(), scramble.row, scramble.cell);
        const Pixel yours = strayAt(solved.get(), rough.row, rough.cell);
        const int theirsShowing = showing(shown, solvedFrame, theirs);
        const int yoursShowing = showing(shown, solvedFrame, yours);
        for (const auto& [at, colour] : {std::pair{theirs, scrambleColour}, {yours, roughColour}})
            for (int y = at.y - pointReachPx; y <= at.y + pointReachPx; ++y)
                for (int x = at.x - pointReachPx; x <= at.x + pointReachPx; ++x)
                    if (x >= 0 && y >= 0 && x < pictureSide && y < pictureSide &&
                        isWhite(shown, x, y) && !isWhite(solvedFrame, x, y))
                        paint(after, x, y, colour);
        ring(after, theirs.x, theirs.y, scrambleColour);
        ring(after, yours.x, yours.y, roughColour, yoursShowing < 25);
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
