// Lays out the trefoil band, cuts the under-crossings and orders the points into the grid.
#include "tools/knot_design.h"

#include "tools/cross_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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
constexpr int ditherSide = 16;       // ordered-dither matrix side
constexpr double binPx = 0.25;       // x histogram bin, px
constexpr int smoothBins = 8;        // histogram smoothing half window, bins
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
    int along, across;
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

// Ordered-dither threshold for lattice cell (i, j), in [0, 1): spreads any density evenly.
double ditherThreshold(int i, int j)
{
    int value = 0;
    // The lowest index bits pick the coarsest threshold steps, so neighbours differ most.
    for (int bit = 1; bit < ditherSide; bit *= 2) {
        const int bi = (i & bit) != 0, bj = (j & bit) != 0;
        value = value * 4 + ((bi ^ bj) ? (bi ? 3 : 2) : (bi ? 1 : 0));
    }
    return (value + 0.5) / (ditherSide * ditherSide);
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
    const int along = ditherSide * static_cast<int>(std::lround(length / (ditherSide * stepPx)));
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
                cands.push_back({q.x, q.z, depth, i, j});
        }
    }

    // Keep-chance per point so every x column gets the same share of points:
    // the game's rows are x slices, so even x density keeps them narrow.
    double loX = 1e9, hiX = -1e9;
    for (const Candidate& c : cands) {
        loX = std::min(loX, c.x);
        hiX = std::max(hiX, c.x);
    }
    const int bins = static_cast<int>((hiX - loX) / binPx) + 1;
    std::vector<double> hist(bins, 0.0), smooth(bins, 0.0);
    auto binOf = [&](double x) { return std::min(bins - 1, static_cast<int>((x - loX) / binPx)); };
    for (const Candidate& c : cands)
        hist[binOf(c.x)] += 1.0;
    for (int b = 0; b < bins; ++b) {
        double sum = 0.0;
        int n = 0;
        for (int k = std::max(0, b - smoothBins); k <= std::min(bins - 1, b + smoothBins); ++k) {
            sum += hist[k];
            ++n;
        }
        smooth[b] = sum / n;
    }
    const double perBin = static_cast<double>(knotEntries) / bins;
    std::vector<double> chance(cands.size());
    for (std::size_t i = 0; i < cands.size(); ++i)
        chance[i] = perBin / smooth[binOf(cands[i].x)];

    // Ordered dither, with the overall scale found by bisection to give at least the count needed.
    auto keeps = [&](std::size_t i, double scale) {
        return ditherThreshold(cands[i].along % ditherSide, cands[i].across % ditherSide) <
               scale * chance[i];
    };
    auto countAt = [&](double scale) {
        int n = 0;
        for (std::size_t i = 0; i < cands.size(); ++i)
            n += keeps(i, scale);
        return n;
    };
    double lo = 0.0, hi = 1.0;
    while (countAt(hi) < knotEntries)
        hi *= 2.0;
    for (int it = 0; it < 60; ++it) {
        const double mid = (lo + hi) / 2.0;
        if (countAt(mid) >= knotEntries)
            hi = mid;
        else
            lo = mid;
    }
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < cands.size(); ++i)
        if (keeps(i, hi))
            kept.push_back(i);

    // Drop the excess evenly along the band, then set aside evenly spaced spares.
    auto evenPicks = [](std::size_t total, std::size_t picks) {
        std::vector<char> mark(total, 0);
        for (std::size_t k = 0; k < picks; ++k)
            mark[(2 * k + 1) * total / (2 * picks)] = 1;
        return mark;
    };
    std::vector<std::size_t> chosen;
    const std::vector<char> excess = evenPicks(kept.size(), kept.size() - knotEntries);
    for (std::size_t k = 0; k < kept.size(); ++k)
        if (!excess[k])
            chosen.push_back(kept[k]);
    const std::vector<char> spare = evenPicks(chosen.size(), knotEntries - gridCount);

    // Fit the chosen points exactly to the box, centred.
    double bx0 = 1e9, bx1 = -1e9, bz0 = 1e9, bz1 = -1e9, depthPeak = 0.0;
    for (std::size_t i : chosen) {
        bx0 = std::min(bx0, cands[i].x);
        bx1 = std::max(bx1, cands[i].x);
        bz0 = std::min(bz0, cands[i].z);
        bz1 = std::max(bz1, cands[i].z);
        depthPeak = std::max(depthPeak, std::fabs(cands[i].depth));
    }
    struct Point {
        double x, y, z;
    };
    std::vector<Point> grid, spares;
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        const Candidate& c = cands[chosen[k]];
        const Point p{(c.x - (bx0 + bx1) / 2.0) * (2.0 * boxX / (bx1 - bx0)),
                      c.depth * (depthMax / depthPeak),
                      (c.z - (bz0 + bz1) / 2.0) * (2.0 * boxZ / (bz1 - bz0))};
        (spare[k] ? spares : grid).push_back(p);
    }

    // Rows are consecutive x slices; within a row, top to bottom on screen.
    auto byX = [](const Point& a, const Point& b) {
        if (a.x != b.x)
            return a.x < b.x;
        if (a.z != b.z)
            return a.z < b.z;
        return a.y < b.y;
    };
    auto byZ = [](const Point& a, const Point& b) {
        if (a.z != b.z)
            return a.z < b.z;
        if (a.x != b.x)
            return a.x < b.x;
        return a.y < b.y;
    };
    std::sort(grid.begin(), grid.end(), byX);
    for (int r = 0; r < knotSide; ++r)
        std::sort(grid.begin() + r * knotSide, grid.begin() + (r + 1) * knotSide, byZ);
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
    // All inside the grid (x, y < 784), on twelve different rows, so that every press
    // shows: a slice of the band and a thread across it land mirrored through the centre.
    const std::vector<Press> scramble = {
        {101, 37},  {302, 501}, {503, 203}, {622, 707}, {181, 182}, {702, 61},
        {401, 402}, {62, 651},  {250, 330}, {455, 90},  {560, 560}, {350, 770},
    };
    designKnot(table);
    playPresses(table, scramble, knotSide);
}
