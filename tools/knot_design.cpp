// Lays out the trefoil band, cuts the under-crossings and orders the points into the grid.
#include "tools/knot_design.h"

#include "tools/cross_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double windowPx = 800.0;   // window side the picture is laid out for, px
constexpr double boxX = 0.4325;      // final half extent in x, table units (limit 0.433)
constexpr double boxZ = 0.2665;      // final half extent in z, table units (limit 0.267)
constexpr double depthMax = 0.0885;  // final half extent in y, table units (limit 0.089)
constexpr double halfWidth = 19.0;   // band half width, px
constexpr double gapPx = 10.0;       // red gap left each side of an over-band, px
constexpr double pointPx = 5.0;      // drawn point size, px
constexpr double cutPx =
    halfWidth + gapPx +
    pointPx;  // under-band cleared to this distance from the over centre line, px
constexpr double stepPx = 0.35;      // candidate spacing along and across the band, px
constexpr int curveSamples = 24000;  // centre-line samples for the arc length table
constexpr double columnPx = 4.0;     // window pixels across one row's column (a press's cell)
constexpr double reachPx = 343.999;  // band's half extent across the window, px: columns 14 .. 185
constexpr double columnInsetPx = 1.05;  // points keep this far inside their column, px
constexpr double stretchPx = 0.5;       // height of the stretches a column's points spread over, px
constexpr int gridCount = knotSide * knotSide;

struct Vec {
    double x, z;
};

// Standard trefoil; the lobe at t = pi points up once the picture's z runs downward.
Vec trefoil(double t)
{
    return {std::sin(t) + 2.0 * std::sin(2.0 * t), std::cos(t) - 2.0 * std::cos(2.0 * t)};
}
Vec trefoilSlope(double t)
{
    return {std::cos(t) + 4.0 * std::cos(2.0 * t), -std::sin(t) + 4.0 * std::sin(2.0 * t)};
}
// Only decides which strand is over at a crossing; the drawn depth is smoothed below.
double trefoilDepth(double t)
{
    return std::sin(3.0 * t);
}

struct Candidate {
    double x, z;   // window px about the centre, z downward
    double depth;  // centre-line depth, -1 .. 1
};

struct Crossing {
    double overArc, underArc;   // arc positions of the two strands, px
    std::vector<Vec> overLine;  // over-band centre line around the crossing
};

// Cyclic distance between two arc positions on a loop of the given length.
double arcApart(double a, double b, double length)
{
    double d = std::fabs(a - b);
    return std::min(d, length - d);
}

}  // namespace

void designKnot(float (*table)[3])
{
    // Scale the curve into the window box less the band half width and the point size.
    double minX = 1e9, maxX = -1e9, minZ = 1e9, maxZ = -1e9;
    for (int i = 0; i < curveSamples; ++i) {
        const Vec p = trefoil(2.0 * pi * i / curveSamples);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.z);
        maxZ = std::max(maxZ, p.z);
    }
    const double edge = halfWidth + pointPx / 2.0;
    const double kx = (boxX * windowPx - edge) / ((maxX - minX) / 2.0);
    const double kz = (boxZ * windowPx - edge) / ((maxZ - minZ) / 2.0);
    const double cx = (maxX + minX) / 2.0, cz = (maxZ + minZ) / 2.0;
    auto place = [&](double t) {
        const Vec p = trefoil(t);
        return Vec{kx * (p.x - cx), kz * (p.z - cz)};
    };

    // Arc length table of the scaled centre line.
    std::vector<double> arc(curveSamples + 1, 0.0);
    Vec prev = place(0.0);
    for (int i = 1; i <= curveSamples; ++i) {
        const Vec p = place(2.0 * pi * i / curveSamples);
        arc[i] = arc[i - 1] + std::hypot(p.x - prev.x, p.z - prev.z);
        prev = p;
    }
    const double length = arc[curveSamples];
    auto paramAt = [&](double s) {
        const std::size_t i = std::upper_bound(arc.begin(), arc.end(), s) - arc.begin();
        const std::size_t j = std::min<std::size_t>(std::max<std::size_t>(i, 1), curveSamples);
        const double f = (s - arc[j - 1]) / (arc[j] - arc[j - 1]);
        return 2.0 * pi * ((j - 1) + f) / curveSamples;
    };

    // Crossings of the centre line, found on a coarse polyline.
    constexpr int coarse = 3000;
    std::vector<Vec> line(coarse + 1);
    for (int i = 0; i <= coarse; ++i)
        line[i] = place(2.0 * pi * i / coarse);
    std::vector<Crossing> crossings;
    for (int i = 0; i < coarse; ++i) {
        for (int j = i + 2; j < coarse; ++j) {
            const Vec a = line[i], b = line[i + 1], c = line[j], d = line[j + 1];
            const double den = (b.x - a.x) * (d.z - c.z) - (b.z - a.z) * (d.x - c.x);
            if (den == 0.0)
                continue;
            const double u = ((c.x - a.x) * (d.z - c.z) - (c.z - a.z) * (d.x - c.x)) / den;
            const double v = ((c.x - a.x) * (b.z - a.z) - (c.z - a.z) * (b.x - a.x)) / den;
            if (u < 0.0 || u >= 1.0 || v < 0.0 || v >= 1.0)
                continue;
            const double ti = 2.0 * pi * (i + u) / coarse, tj = 2.0 * pi * (j + v) / coarse;
            const bool iOver = trefoilDepth(ti) > trefoilDepth(tj);
            const double tOver = iOver ? ti : tj, tUnder = iOver ? tj : ti;
            Crossing x;
            x.overArc = arc[static_cast<std::size_t>(tOver / (2.0 * pi) * curveSamples)];
            x.underArc = arc[static_cast<std::size_t>(tUnder / (2.0 * pi) * curveSamples)];
            for (double s = -3.0 * cutPx; s <= 3.0 * cutPx; s += 0.25) {
                x.overLine.push_back(place(paramAt(std::fmod(x.overArc + s + length, length))));
            }
            crossings.push_back(x);
        }
    }

    // Depth: +1 on every over pass, -1 on every under pass, eased in between and flat at
    // the passes, so the strands at a crossing are as far apart in depth as they can be.
    std::vector<std::pair<double, double>> passes;
    for (const Crossing& x : crossings) {
        passes.push_back({x.overArc, 1.0});
        passes.push_back({x.underArc, -1.0});
    }
    std::sort(passes.begin(), passes.end());
    auto depthAt = [&](double s) {
        std::size_t k = 0;
        while (k < passes.size() && passes[k].first <= s)
            ++k;
        const auto& a = k == 0 ? passes.back() : passes[k - 1];
        const auto& b = k == passes.size() ? passes.front() : passes[k];
        const double from = a.first <= s ? a.first : a.first - length;
        const double to = b.first > s ? b.first : b.first + length;
        const double f = (s - from) / (to - from);
        return a.second + (b.second - a.second) * (1.0 - std::cos(pi * f)) / 2.0;
    };

    // Dense lattice over the band; drop under-band points too near an over-band.
    const int along = static_cast<int>(std::lround(length / stepPx));
    const int across = static_cast<int>(std::lround(2.0 * halfWidth / stepPx)) + 1;
    std::vector<Candidate> cands;
    for (int i = 0; i < along; ++i) {
        const double s = length * i / along;
        const double t = paramAt(s);
        const Vec p = place(t), dp = trefoilSlope(t);
        const double nx = -kz * dp.z, nz = kx * dp.x, nl = std::hypot(nx, nz);
        const double depth = depthAt(s);
        const Crossing* nearby[8];
        int nearCount = 0;
        for (const Crossing& x : crossings) {
            if (arcApart(s, x.underArc, length) < 2.0 * cutPx && nearCount < 8)
                nearby[nearCount++] = &x;
        }
        for (int j = 0; j < across; ++j) {
            const double off = -halfWidth + 2.0 * halfWidth * j / (across - 1);
            const Vec q{p.x + off * nx / nl, p.z + off * nz / nl};
            bool hidden = false;
            for (int k = 0; k < nearCount && !hidden; ++k) {
                for (const Vec& o : nearby[k]->overLine) {
                    if (std::hypot(q.x - o.x, q.z - o.z) < cutPx) {
                        hidden = true;
                        break;
                    }
                }
            }
            if (!hidden)
                cands.push_back({q.x, q.z, depth});
        }
    }

    // A press picks the row under the pointer: x / 4 in window pixels. So the band is
    // stretched across the window to whole 4-pixel columns, and column c holds row c.
    // The rows whose column lies beyond the band go to its nearest end column.
    double loX = 1e9, hiX = -1e9, loZ = 1e9, hiZ = -1e9, depthPeak = 0.0;
    for (const Candidate& c : cands) {
        loX = std::min(loX, c.x);
        hiX = std::max(hiX, c.x);
        loZ = std::min(loZ, c.z);
        hiZ = std::max(hiZ, c.z);
        depthPeak = std::max(depthPeak, std::fabs(c.depth));
    }
    auto windowX = [&](const Candidate& c) {
        return windowPx / 2.0 + reachPx * (2.0 * (c.x - loX) / (hiX - loX) - 1.0);
    };
    auto columnOf = [&](const Candidate& c) {
        return static_cast<int>(std::floor(windowX(c) / columnPx));
    };
    int firstColumn = knotSide, lastColumn = -1;
    for (const Candidate& c : cands) {
        firstColumn = std::min(firstColumn, columnOf(c));
        lastColumn = std::max(lastColumn, columnOf(c));
    }
    std::vector<std::vector<std::size_t>> inColumn(knotSide);
    for (std::size_t i = 0; i < cands.size(); ++i)
        inColumn[columnOf(cands[i])].push_back(i);

    // Each column keeps as many points as it holds rows, evenly spaced down the length
    // of band it crosses, so that a point's number in its row tells how far along the
    // slice's pieces of band it lies; an end column too narrow for all its rows uses
    // its points more than once.
    std::vector<char> used(cands.size(), 0);
    std::vector<std::vector<std::size_t>> picked(knotSide);
    for (int col = firstColumn; col <= lastColumn; ++col) {
        std::vector<std::size_t>& pool = inColumn[col];
        std::sort(pool.begin(), pool.end(), [&](std::size_t a, std::size_t b) {
            if (cands[a].z != cands[b].z)
                return cands[a].z < cands[b].z;
            return cands[a].x < cands[b].x;
        });
        // The stretches of height that hold candidates, each its first one in the pool.
        std::vector<std::size_t> stretch;
        long lastStretch = 0;
        for (std::size_t k = 0; k < pool.size(); ++k) {
            const long at = std::lround(std::floor(cands[pool[k]].z / stretchPx));
            if (k == 0 || at != lastStretch)
                stretch.push_back(k);
            lastStretch = at;
        }
        stretch.push_back(pool.size());
        const std::size_t stretches = stretch.size() - 1;
        const std::size_t rows = static_cast<std::size_t>((col == lastColumn ? knotSide - 1 : col) -
                                                          (col == firstColumn ? 0 : col) + 1);
        const std::size_t need = rows * knotSide;
        for (std::size_t k = 0; k < need; ++k) {
            const std::size_t h = (2 * k + 1) * stretches / (2 * need);
            const std::size_t i = pool[stretch[h] + k % (stretch[h + 1] - stretch[h])];
            picked[col].push_back(i);
            used[i] = 1;
        }
    }

    // Inside its column a point keeps to the middle pixels, so that the neighbours'
    // 5-pixel points leave a red gap where a row is mirrored away.
    struct Point {
        double x, y, z;
    };
    auto pointOf = [&](const Candidate& c) {
        const double wx = windowX(c), left = columnPx * std::floor(wx / columnPx);
        const double inner =
            left + columnInsetPx + (wx - left) * (columnPx - 2.0 * columnInsetPx) / columnPx;
        return Point{inner / windowPx - 0.5, c.depth * (depthMax / depthPeak),
                     (c.z - (loZ + hiZ) / 2.0) * (2.0 * boxZ / (hiZ - loZ))};
    };

    // Rows left to right; within a row, top to bottom on screen.
    auto byX = [](const Point& a, const Point& b) {
        return std::tie(a.x, a.z, a.y) < std::tie(b.x, b.z, b.y);
    };
    auto byZ = [](const Point& a, const Point& b) {
        return std::tie(a.z, a.x, a.y) < std::tie(b.z, b.x, b.y);
    };
    std::vector<Point> grid;
    for (int col = firstColumn; col <= lastColumn; ++col) {
        const std::size_t from = grid.size();
        for (std::size_t i : picked[col])
            grid.push_back(pointOf(cands[i]));
        std::sort(grid.begin() + from, grid.end(), byX);
    }
    for (int r = 0; r < knotSide; ++r)
        std::sort(grid.begin() + r * knotSide, grid.begin() + (r + 1) * knotSide, byZ);

    // The spare entries, never drawn: points of the band left over, evenly along it.
    std::vector<std::size_t> unused;
    for (std::size_t i = 0; i < cands.size(); ++i)
        if (!used[i])
            unused.push_back(i);
    constexpr std::size_t spareCount = knotEntries - gridCount;
    std::vector<Point> spares;
    for (std::size_t k = 0; k < spareCount; ++k)
        spares.push_back(pointOf(cands[unused[(2 * k + 1) * unused.size() / (2 * spareCount)]]));
    std::sort(spares.begin(), spares.end(), byX);

    int e = 0;
    for (const std::vector<Point>* part : {&grid, &spares}) {
        for (const Point& p : *part) {
            table[e][0] = static_cast<float>(p.x);
            table[e][1] = static_cast<float>(p.y);
            table[e][2] = static_cast<float>(p.z);
            ++e;
        }
    }
}

void designPuzzle(float (*table)[3])
{
    // Twelve presses, on rows well inside the band and apart from each other's mirrored
    // copies (row r's copy lands in column 199 - r). Each height keeps a point whose
    // mirrored place is red, so a press made at any other height leaves a point astray.
    const std::vector<Press> scramble = {
        {81, 162}, {133, 482}, {189, 642}, {241, 122}, {297, 298}, {353, 402},
        {417, 82}, {469, 470}, {525, 722}, {577, 202}, {633, 522}, {689, 362},
    };
    designKnot(table);
    playPresses(table, scramble, knotSide);
}
