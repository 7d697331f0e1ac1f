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
//
// figure --near-miss OUT.png PROGRAM X,Y [X,Y ...]: what the last step looks like, for the
// guide to playing. The presses are a solution. For the first of its slices off the
// diagonal where, of the presses one point either side of the answer, one leaves its
// stray point a pixel or two beside the scramble's and the other exactly on it, saves
// three close-ups of the scramble's stray point, magnified eight times, side by side:
// after the near miss, after the press exactly on it, and after the answer. Fails when
// no slice's frames show a block a pixel or two wider or taller than a point, a point's
// clean square with nothing stray elsewhere, and red where the point was.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/marks.h"
#include "tools/model_run.h"
#include "tools/picture_model.h"

namespace {

constexpr Colour pressColour = {0, 64, 255}, gapColour = {0, 0, 0}, copyColour = {255, 220, 0},
                 threadColour = {0, 230, 255}, keptColour = {0, 170, 0},
                 crossingColour = {230, 0, 230};
constexpr int pointPx = 2 * pointReachPx + 1;  // a point's square, window pixels a side

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
    constexpr int zoom = 3, halfWidth = 30;
    constexpr Colour frameColour = {255, 255, 255};
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
    out.width = pictureSide + gutterPx + 2 * halfWidth * zoom;
    out.height = pictureSide;
    out.rgb.assign(std::size_t(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const unsigned char* from = nullptr;
            if (x < pictureSide)
                from = marked.at(x, y);
            else if (x >= pictureSide + gutterPx && y / zoom < height)
                from = marked.at(left + (x - pictureSide - gutterPx) / zoom, top + y / zoom);
            const Colour c = from ? Colour{from[0], from[1], from[2]} : gutterColour;
            paint(out, x, y, c);
        }
    for (int x = left - 1; x <= left + 2 * halfWidth; ++x)
        paint(out, x, top - 1, frameColour), paint(out, x, top + height, frameColour);
    for (int y = top - 1; y <= top + height; ++y)
        paint(out, left - 1, y, frameColour), paint(out, left + 2 * halfWidth, y, frameColour);
    return out;
}

// The white block the pixel at `at` lies in, within `reach` pixels of it: its width and
// height; false when the pixel is red or the block reaches that far.
bool whiteBlock(const Image& frame, Pixel at, int reach, int& width, int& height)
{
    std::vector<Pixel> todo = {at};
    std::vector<char> seen((2 * reach + 1) * (2 * reach + 1), 0);
    int left = at.x, right = at.x, top = at.y, bottom = at.y;
    while (!todo.empty()) {
        const Pixel p = todo.back();
        todo.pop_back();
        const int dx = p.x - at.x, dy = p.y - at.y;
        if (std::abs(dx) > reach || std::abs(dy) > reach || p.x < 0 || p.y < 0 ||
            p.x >= frame.width || p.y >= frame.height)
            return false;
        char& was = seen[(dy + reach) * (2 * reach + 1) + dx + reach];
        if (was || !isWhite(frame, p.x, p.y))
            continue;
        was = 1;
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        for (Pixel next : {Pixel{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}})
            todo.push_back(next);
    }
    width = right - left + 1, height = bottom - top + 1;
    return seen[reach * (2 * reach + 1) + reach] != 0;
}

// Close-ups of the frames about `at`, magnified, side by side, each magnified pixel's
// right and bottom edge darkened so that single pixels can be counted.
Image closeUps(const std::vector<const Image*>& frames, Pixel at)
{
    constexpr int zoom = 8, side = 30;
    const int panel = side * zoom;
    Image out;
    out.width = int(frames.size()) * (panel + gutterPx) - gutterPx;
    out.height = panel;
    out.rgb.assign(std::size_t(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int which = x / (panel + gutterPx), within = x % (panel + gutterPx);
            if (within >= panel) {
                paint(out, x, y, gutterColour);
                continue;
            }
            const int fromX = at.x - side / 2 + within / zoom, fromY = at.y - side / 2 + y / zoom;
            const unsigned char* c = frames[which]->at(std::clamp(fromX, 0, pictureSide - 1),
                                                       std::clamp(fromY, 0, pictureSide - 1));
            const bool edge = within % zoom == zoom - 1 || y % zoom == zoom - 1;
            const auto shade = [edge](unsigned char v) {
                return static_cast<unsigned char>(edge ? v * 3 / 4 : v);
            };
            paint(out, x, y, {shade(c[0]), shade(c[1]), shade(c[2])});
        }
    return out;
}

// What a frame shows about a slice's scramble's stray point, against the frame of the
// solved knot: the width and height of the white block there, and whether the frame
// adds white anywhere else.
struct Look {
    bool block = false;
    int width = 0, height = 0;
    bool elsewhere = false;
};

Look look(const Image& frame, const Image& solvedFrame, Pixel stray)
{
    Look seen;
    seen.block = whiteBlock(frame, stray, 2 * pointPx, seen.width, seen.height);
    for (int y = 0; y < pictureSide; ++y)
        for (int x = 0; x < pictureSide; ++x)
            if (isWhite(frame, x, y) && !isWhite(solvedFrame, x, y) &&
                (std::abs(x - stray.x) > 2 * pointPx || std::abs(y - stray.y) > 2 * pointPx))
                seen.elsewhere = true;
    return seen;
}

// The --near-miss figure: see the top of this file.
int nearMissFigure(int argc, char** argv)
{
    std::vector<Press> solution;
    if (argc < 5 || !parsePresses(argv + 4, argc - 4, solution)) {
        std::fprintf(stderr, "usage: figure --near-miss OUT.png PROGRAM X,Y [X,Y ...]\n");
        return 1;
    }
    const std::unique_ptr<float[][3]> solved = std::make_unique<float[][3]>(knotEntries);
    designKnot(solved.get());

    ModelRun run;
    std::string why;
    if (!startModelRun(run, argv[3], why))
        return failModelRun("figure", why, run);
    if (!playModelRun(run, solution, why))
        return failModelRun("figure", "after the solution: " + why, run);
    const Image answered = run.frame;
    Image beside, onTop;
    Pixel stray{};
    int slice = -1;
    for (Press answer : solution) {
        Cell picked;
        pressedCell(answer, knotSide, picked);
        if (picked.cell == picked.row || picked.cell >= knotSide)
            continue;
        stray = strayAt(solved.get(), picked.row, picked.cell);
        bool besideShown = false, onTopShown = false;
        Press last = answer;  // the press to take back before the next
        for (int cell : {picked.cell - 1, picked.cell + 1}) {
            if (cell < 0 || cell >= knotSide || cell == picked.row)
                continue;
            const Press tried = {answer.x, 4 * cell + answer.y % 4};
            // One press a wait: the model cannot tell a try from the one before it,
            // a pixel or so apart, but each differs widely from the slice scrambled.
            if (!playModelRun(run, {last}, why) || !playModelRun(run, {tried}, why))
                return failModelRun("figure", "near an answer: " + why, run);
            last = tried;
            // Where the model puts the try's stray point: on the scramble's or beside it,
            // not hiding on the band elsewhere.
            const Pixel yours = strayAt(solved.get(), picked.row, cell);
            const bool close = std::abs(yours.x - stray.x) <= pointReachPx &&
                               std::abs(yours.y - stray.y) <= pointReachPx;
            const Look seen = look(run.frame, answered, stray);
            std::printf("slice %d, %+d point from its answer: its stray point (%d, %d) from the "
                        "scramble's; the frame shows ",
                        picked.row, cell - picked.cell, yours.x - stray.x, yours.y - stray.y);
            if (seen.block)
                std::printf("a block of %d x %d pixels there%s\n", seen.width, seen.height,
                            seen.elsewhere ? ", and white elsewhere" : "");
            else
                std::printf("no block of its own there\n");
            if (!close || !seen.block || seen.elsewhere)
                continue;
            if (!onTopShown && seen.width == pointPx && seen.height == pointPx)
                onTop = run.frame, onTopShown = true;
            else if (!besideShown && seen.width <= pointPx + 2 && seen.height <= pointPx + 2 &&
                     seen.width * seen.height > pointPx * pointPx)
                beside = run.frame, besideShown = true;
        }
        if (!playModelRun(run, {last}, why) || !playModelRun(run, {answer}, why))
            return failModelRun("figure", "back at the answer: " + why, run);
        if (besideShown && onTopShown) {
            slice = picked.row;
            break;
        }
    }
    if (!endModelRun(run, why))
        return failModelRun("figure", why, run);
    stopModelRun(run);

    int answeredWhite = 0;
    for (int y = stray.y - pointReachPx; y <= stray.y + pointReachPx; ++y)
        for (int x = stray.x - pointReachPx; x <= stray.x + pointReachPx; ++x)
            answeredWhite += isWhite(answered, x, y);
    if (slice < 0 || answeredWhite > 0) {
        std::fprintf(stderr, "figure: no slice shows a near miss and a press exactly on its "
                             "stray point beside its answer\n");
        return 1;
    }
    if (!writePng(argv[2], closeUps({&beside, &onTop, &answered}, stray))) {
        std::fprintf(stderr, "figure: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("saved slice %d's near miss, press exactly on its stray point and answer to %s\n",
                slice, argv[2]);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--near-miss")
        return nearMissFigure(argc, argv);
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
