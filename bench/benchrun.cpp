// benchrun [--quick] [--guard] OUT.md: times knotwerry's start-up (bare, and under
// metacity), frame, press and grid sizing against their floors on a private Xvfb, writes the table to OUT.md and prints
// it. The raw figures go beside it: OUT-startup.tsv and OUT-{frame,press,sizing}.json.
// --quick makes a short run; --guard makes it fail when a figure is grossly off.
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>

#include "tools/xdrive.h"

namespace {

constexpr auto windowLimit = std::chrono::seconds(20);
constexpr auto exitLimit = std::chrono::seconds(5);
constexpr auto benchmarkLimit = std::chrono::seconds(600);

// Runs of each program at start-up (after one of each to warm the caches, except in a
// quick run, whose guard is wide enough for a cold first run), and repetitions of each
// Google Benchmark, each of at least the minimum time.
constexpr int fullRuns = 21, quickRuns = 2;
constexpr int fullStampedRuns = 7, quickStampedRuns = 1;
constexpr int fullRepetitions = 9, quickRepetitions = 3;
constexpr char quickMinTime[] = "0.05";  // seconds
constexpr int grabsTimed = 3;            // window grabs timed after each first frame

// The goals, and for --guard the limits past which a figure counts as broken: wide
// enough that a loaded two-core machine never reaches them.
constexpr double startupGoal = 1.10;           // knotwerry / bare
constexpr double managedGoal = 1.05;           // knotwerry / the same points, under metacity
constexpr double pressGoalNs = 1000.0;         // median ns per press
constexpr double pressFloorGoal = 3.0;         // press / floor
constexpr double sizingGoal = 0.001;           // fraction of start-up
constexpr double startupGuard = 3.0;           // knotwerry / bare, and under metacity
constexpr double frameGuard = 300.0;           // display / clear + swap
constexpr double pressGuardNs = 20'000.0;      // ns per press
constexpr double pressFloorGuard = 20.0;       // press / floor
constexpr double sizingGuardNs = 1'000'000.0;  // ns

using Milliseconds = std::chrono::duration<double, std::milli>;

struct Settings {
    bool quick = false, guard = false;
    std::string out;  // the table; the raw figures are named after it
};

double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    std::size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// Start-up is timed from fork and exec to the first red pixel grabbed, as the tests and
// snap see it. A stage of it lies between two stamps: "start" is the launch, "seen" the
// first red pixel grabbed, and the rest the stages library writes at those calls.
struct Stage {
    const char* label;
    const char* from;
    const char* to;
};
constexpr Stage stages[] = {
    {"exec, and the program's libraries loaded", "start", "loaded"},
    {"glutInit: the X display, GLX, Mesa's driver loaded", "loaded", "glutInit"},
    {"glutCreateWindow: the window and its GL context", "glutInit", "glutCreateWindow"},
    {"the program's own code before glewInit", "glutCreateWindow", "glewInit-start"},
    {"glewInit", "glewInit-start", "glewInit"},
    {"the program's own code up to the main loop", "glewInit", "glutMainLoop"},
    {"the main loop up to the first display", "glutMainLoop", "display"},
    {"the first display, up to its swap", "display", "glutSwapBuffers-start"},
    {"of which the first glDrawArrays", "glDrawArrays-start", "glDrawArrays"},
    {"the first glutSwapBuffers", "glutSwapBuffers-start", "glutSwapBuffers"},
    {"exec to the end of the first swap", "start", "glutSwapBuffers"},
    {"the poll: swap to the first red pixel grabbed", "glutSwapBuffers", "seen"},
    {"exec to the first red pixel grabbed", "start", "seen"},
};

using Stamps = std::map<std::string, double>;  // ms since the launch

struct Program {
    const char* path;
    const char* argument;  // or none
    const char* title;
};
// The titles are the ones main and bare_window give their windows.
constexpr Program knotwerry = {KNOTWERRY_PATH, nullptr, "Tavrosk: Knotwerry"};
constexpr Program bareWindow = {BARE_WINDOW_PATH, nullptr, "Tavrosk: Bare window"};
constexpr Program onePoint = {BARE_WINDOW_PATH, "--one-point", "Tavrosk: Bare window"};
constexpr Program sameKnot = {BARE_WINDOW_PATH, "--knot", "Tavrosk: Bare window"};

// Exec to the first frame of each program, run by run; knotwerry's ratios to the bare
// window and to the bare window with one point, each run against the one after it.
struct Startup {
    std::vector<double> knotwerryMs, bareMs, onePointMs, ratios, onePointRatios, grabMs;
    std::vector<Stamps> knotwerryStamps, bareStamps, onePointStamps;
    // Under metacity: knotwerry against the bare window drawing the same points.
    std::vector<double> managedMs, managedKnotMs, managedRatios;
};

bool windowGone(Display* display, Window window)
{
    XWindowAttributes attributes;
    return !XGetWindowAttributes(display, window, &attributes);
}

// The stages library's lines, "stage NAME SECONDS" on the steady clock, as ms after `start`.
void readStamps(const std::string& text, Clock::time_point start, Stamps& stamps)
{
    double origin = Seconds(start.time_since_epoch()).count();
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string word, name;
        double seconds;
        if (fields >> word >> name >> seconds && word == "stage")
            stamps[name] = (seconds - origin) * 1000;
    }
}

// One start-up: the program launched, its window found, its pixels grabbed until one is
// red; then ESCAPE, and it must end with status 0 and its window go. With `stamped` the
// stages library is preloaded and its stamps kept. False on failure, with the reason.
bool startOnce(XServer& server, const Program& program, bool stamped, Stamps& stamps,
               std::vector<double>& grabMs, std::string& why)
{
    std::vector<std::string> env = {"LIBGL_ALWAYS_SOFTWARE=1"};
    if (stamped)
        env.push_back(std::string("LD_PRELOAD=") + STAGES_PATH);
    std::vector<std::string> argv = {program.path};
    if (program.argument)
        argv.push_back(program.argument);
    Child child;
    auto start = Clock::now();
    if (!launch(child, server, argv, env)) {
        why = std::string("cannot start ") + program.path;
        return false;
    }
    Window window = awaitWindow(server.display, program.title, windowLimit);
    Image frame;
    if (window == None || !awaitPicture(server.display, window, frame, windowLimit, hasRed)) {
        endChild(child);
        why = std::string(program.path) + " drew no frame";
        return false;
    }
    stamps["start"] = 0;
    stamps["seen"] = Milliseconds(Clock::now() - start).count();

    // What one poll costs, which is part of every figure here.
    for (int i = 0; i < grabsTimed; ++i) {
        auto before = Clock::now();
        grabWindow(server.display, window, frame);
        grabMs.push_back(Milliseconds(Clock::now() - before).count());
    }

    tapKeyOver(server.display, window, XK_Escape);
    bool ended = awaitExit(child, exitLimit) && child.status == 0;
    endChild(child);
    if (!ended || !awaitCondition([&] { return windowGone(server.display, window); }, exitLimit)) {
        why = std::string(program.path) + " did not end with status 0 on ESCAPE";
        return false;
    }
    if (stamped)
        readStamps(child.errText, start, stamps);
    return true;
}

// One run of each to warm the page cache and Mesa's caches, then the three in turn, so
// that drift in the machine's load falls on all alike; then, apart from those, runs with
// the stages stamped.
bool measureStartup(XServer& server, bool warmUp, int runs, int stampedRuns, Startup& f,
                    std::string& why)
{
    const Program* programs[] = {&knotwerry, &bareWindow, &onePoint};
    Stamps stamps[3];
    std::vector<double> unused;
    for (const Program* program : programs)
        if (warmUp && !startOnce(server, *program, false, stamps[0], unused, why))
            return false;
    for (int i = 0; i < runs; ++i) {
        for (int p = 0; p < 3; ++p)
            if (!startOnce(server, *programs[p], false, stamps[p], f.grabMs, why))
                return false;
        f.knotwerryMs.push_back(stamps[0]["seen"]);
        f.bareMs.push_back(stamps[1]["seen"]);
        f.onePointMs.push_back(stamps[2]["seen"]);
        f.ratios.push_back(stamps[0]["seen"] / stamps[1]["seen"]);
        f.onePointRatios.push_back(stamps[0]["seen"] / stamps[2]["seen"]);
    }
    std::vector<Stamps>* stamped[] = {&f.knotwerryStamps, &f.bareStamps, &f.onePointStamps};
    for (int i = 0; i < stampedRuns; ++i)
        for (int p = 0; p < 3; ++p) {
            stamped[p]->emplace_back();
            if (!startOnce(server, *programs[p], true, stamped[p]->back(), unused, why))
                return false;
        }
    return true;
}

// Under metacity, which takes each window as it maps and frames it: knotwerry, which
// gives its window a fixed frame, against the bare window drawing the same points, which
// leaves its frame to the manager, in turn.
bool measureManaged(XServer& server, int runs, Startup& f, std::string& why)
{
    Child manager;
    if (!launch(manager, server,
                {"/usr/bin/dbus-run-session", "--", "metacity", "--replace", "--sm-disable"},
                {"NO_AT_BRIDGE=1"})) {
        why = "cannot start metacity";
        return false;
    }
    bool taken = awaitCondition(
        [&] {
            return !windowProperty(server.display, DefaultRootWindow(server.display),
                                   "_NET_SUPPORTING_WM_CHECK")
                        .empty();
        },
        windowLimit);
    if (!taken) {
        endChild(manager);
        why = "metacity did not take the screen: " + manager.errText;
        return false;
    }
    Stamps stamps[2];
    std::vector<double> unused;
    // The first window metacity frames makes it load the font for its title bar, and
    // where fontconfig's cache is cold (a fresh machine) that scan alone takes about
    // 1.5 s. One window first, not measured, so that neither program pays for it.
    bool ok = startOnce(server, sameKnot, false, stamps[1], unused, why);
    for (int i = 0; ok && i < runs; ++i) {
        ok = startOnce(server, knotwerry, false, stamps[0], unused, why) &&
             startOnce(server, sameKnot, false, stamps[1], unused, why);
        if (ok) {
            f.managedMs.push_back(stamps[0]["seen"]);
            f.managedKnotMs.push_back(stamps[1]["seen"]);
            f.managedRatios.push_back(stamps[0]["seen"] / stamps[1]["seen"]);
        }
    }
    // Killed outright, it leaves the root naming its check window, gone now, and
    // freeglut would end every later program on reading it.
    endChild(manager);
    XDeleteProperty(server.display, DefaultRootWindow(server.display),
                    XInternAtom(server.display, "_NET_SUPPORTING_WM_CHECK", False));
    XSync(server.display, False);
    return ok;
}

// The median length of a stage over the stamped runs; NaN when a run lacks its stamps.
double stageMs(const std::vector<Stamps>& runs, const Stage& stage)
{
    std::vector<double> lengths;
    for (const Stamps& stamps : runs) {
        auto from = stamps.find(stage.from), to = stamps.find(stage.to);
        if (from == stamps.end() || to == stamps.end())
            return NAN;
        lengths.push_back(to->second - from->second);
    }
    return median(lengths);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a benchmark program on the X server to its end; its JSON report, or "" on failure.
std::string runBenchmarks(XServer& server, const char* path, const std::string& json,
                          const Settings& settings, std::string& why)
{
    int repetitions = settings.quick ? quickRepetitions : fullRepetitions;
    std::vector<std::string> argv = {path,
                                     "--benchmark_out=" + json,
                                     "--benchmark_out_format=json",
                                     "--benchmark_repetitions=" + std::to_string(repetitions),
                                     "--benchmark_report_aggregates_only=true",
                                     "--benchmark_enable_random_interleaving=true"};
    if (settings.quick)
        argv.push_back(std::string("--benchmark_min_time=") + quickMinTime);
    std::remove(json.c_str());
    Child child;
    if (!launch(child, server, argv, {"LIBGL_ALWAYS_SOFTWARE=1"})) {
        why = std::string("cannot start ") + path;
        return "";
    }
    bool ended = awaitExit(child, benchmarkLimit) && child.status == 0;
    endChild(child);
    if (!ended) {
        why = std::string(path) + " failed:\n" + child.errText;
        return "";
    }
    return readFile(json);
}

// The string value of the first "key" at or after `from`; "" when there is none.
std::string stringAfter(const std::string& json, const std::string& key, std::size_t from = 0)
{
    std::string quoted = "\"" + key + "\": \"";
    std::size_t at = json.find(quoted, from);
    if (at == std::string::npos)
        return "";
    at += quoted.size();
    return json.substr(at, json.find('"', at) - at);
}

// The median real time of one benchmark in nanoseconds; NaN when the report lacks it.
// Google Benchmark names the aggregate "NAME[/real_time]_median".
double medianNs(const std::string& json, const std::string& name)
{
    const std::string key = "\"name\": \"" + name;
    const std::string suffix = "_median";
    for (std::size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + 1)) {
        std::string full = stringAfter(json, "name", at);
        if (full.size() < suffix.size() ||
            full.compare(full.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::size_t time = json.find("\"real_time\": ", at);
        if (time == std::string::npos)
            return NAN;
        double value = std::strtod(json.c_str() + time + std::strlen("\"real_time\": "), nullptr);
        std::string unit = stringAfter(json, "time_unit", at);
        double scale = unit == "ns"   ? 1.0
                       : unit == "us" ? 1e3
                       : unit == "ms" ? 1e6
                       : unit == "s"  ? 1e9
                                      : NAN;
        return value * scale;
    }
    return NAN;
}

std::string cpuModel()
{
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

std::string loadAverage()
{
    std::string one, five, fifteen;
    std::ifstream("/proc/loadavg") >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string utcNow()
{
    char text[32];
    std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    return text;
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string verdict(bool met)
{
    return met ? "met" : "**missed**";
}

struct Figures {
    Startup startup;
    double displayNs = NAN, clearSwapNs = NAN, pressNs = NAN, floorNs = NAN, sizingNs = NAN;
    std::string renderer, glVersion, loadBefore, loadAfter;
    int runs = 0, stampedRuns = 0, repetitions = 0;
};

std::string table(const Figures& f)
{
    double knotwerryMs = median(f.startup.knotwerryMs), bareMs = median(f.startup.bareMs);
    double startupRatio = median(f.startup.ratios);
    double frameRatio = f.displayNs / f.clearSwapNs;
    double pressRatio = f.pressNs / f.floorNs;
    double sizingShare = f.sizingNs / (knotwerryMs * 1e6);
    std::string reps = std::to_string(f.repetitions);

    std::ostringstream md;
    md << "# Knotwerry: figures against their floors\n\n"
       << utcNow() << "; " << cpuModel() << ", " << sysconf(_SC_NPROCESSORS_ONLN) << " CPUs; "
       << f.renderer << ", " << f.glVersion << "; load average " << f.loadBefore << " before, "
       << f.loadAfter << " after.\n\n"
       << "| Figure | Knotwerry | Floor | Ratio | Goal | Result |\n"
       << "|---|---|---|---|---|---|\n";
    md << "| Start-up, exec to first frame (median of " << f.runs << " interleaved runs) | "
       << format("%.1f ms", knotwerryMs) << " | " << format("%.1f ms", bareMs)
       << ", bare freeglut + GLEW window | " << format("%.3f", startupRatio) << " | ≤ "
       << format("%.2f", startupGoal) << " | " << verdict(startupRatio <= startupGoal) << " |\n";
    md << "| Start-up, against a floor that draws one point too | "
       << format("%.1f ms", knotwerryMs) << " | " << format("%.1f ms", median(f.startup.onePointMs))
       << ", bare window with one point | " << format("%.3f", median(f.startup.onePointRatios))
       << " | none | reported |\n";
    double managedRatio = median(f.startup.managedRatios);
    md << "| Start-up under metacity, exec to first frame (median of " << f.runs
       << " interleaved runs) | " << format("%.1f ms", median(f.startup.managedMs)) << " | "
       << format("%.1f ms", median(f.startup.managedKnotMs))
       << ", bare window drawing the same points under metacity | "
       << format("%.3f", managedRatio) << " | ≤ " << format("%.2f", managedGoal) << " | "
       << verdict(managedRatio <= managedGoal) << " |\n";
    md << "| Frame, display() to glFinish (median of " << reps << ") | "
       << format("%.2f ms", f.displayNs / 1e6) << format(" (%.0f fps)", 1e9 / f.displayNs) << " | "
       << format("%.3f ms", f.clearSwapNs / 1e6) << format(" (%.0f fps)", 1e9 / f.clearSwapNs)
       << ", clear + swap alone | " << format("%.1f", frameRatio) << " | none | reported |\n";
    md << "| Press, flipCross over grid and margins (median of " << reps << ") | "
       << format("%.0f ns", f.pressNs) << " | " << format("%.0f ns", f.floorNs)
       << ", negating its 391 entries | " << format("%.2f", pressRatio) << " | ≤ "
       << format("%.0f ns", pressGoalNs) << ", ≤ " << format("%.0f×", pressFloorGoal) << " | "
       << verdict(f.pressNs <= pressGoalNs && pressRatio <= pressFloorGoal) << " |\n";
    md << "| Grid sizing, initPointGrid (median of " << reps << ") | "
       << format("%.1f ns", f.sizingNs) << " | " << format("%.1f ms", knotwerryMs)
       << ", start-up | " << format("%.1e", sizingShare) << " | ≤ " << format("%g", sizingGoal)
       << " of start-up | " << verdict(sizingShare <= sizingGoal) << " |\n\n";
    md << "Start-up ratios: the median over the runs of each knotwerry run against the floor's "
          "run after it. Every start-up figure includes the poll that sees the frame: one grab "
          "of the 800 × 800 window and a scan for red, "
       << format("%.1f ms", median(f.startup.grabMs))
       << " here, then a 2 ms sleep. All times are wall-clock.\n\n";

    md << "## Where start-up goes\n\n"
       << "Median of " << f.stampedRuns
       << " further runs of each, with the stages stamped by a library preloaded into all "
          "three; the medians of the stages need not add up to the median of the whole.\n\n"
       << "| Stage | Knotwerry | Bare window | Bare window, one point | Knotwerry − bare |\n"
       << "|---|---|---|---|---|\n";
    auto ms = [](double value) {
        return std::isnan(value) ? std::string("—") : format("%.1f ms", value);
    };
    for (const Stage& stage : stages) {
        double k = stageMs(f.startup.knotwerryStamps, stage);
        double b = stageMs(f.startup.bareStamps, stage);
        double p = stageMs(f.startup.onePointStamps, stage);
        md << "| " << stage.label << " | " << ms(k) << " | " << ms(b) << " | " << ms(p) << " | "
           << (std::isnan(b) ? std::string("—") : format("%+.1f ms", k - b)) << " |\n";
    }
    return md.str();
}

// With --guard: the figures that are missing or grossly off, one line each.
std::string grossFaults(const Figures& f)
{
    std::ostringstream faults;
    auto check = [&](const char* what, double value, double limit) {
        if (!(std::isfinite(value) && value > 0 && value <= limit))
            faults << what << " is " << value << ", limit " << limit << "\n";
    };
    check("start-up ratio", median(f.startup.ratios), startupGuard);
    check("start-up ratio under metacity", median(f.startup.managedRatios), startupGuard);
    check("frame ratio", f.displayNs / f.clearSwapNs, frameGuard);
    check("press ns", f.pressNs, pressGuardNs);
    check("press ratio", f.pressNs / f.floorNs, pressFloorGuard);
    check("grid sizing ns", f.sizingNs, sizingGuardNs);
    // Every stage is stamped in all three programs, but the bare window draws nothing.
    for (const Stage& stage : stages) {
        if (std::isnan(stageMs(f.startup.knotwerryStamps, stage)))
            faults << "knotwerry has no stamps for " << stage.label << "\n";
        if (std::isnan(stageMs(f.startup.bareStamps, stage)) &&
            std::string(stage.to) != "glDrawArrays")
            faults << "the bare window has no stamps for " << stage.label << "\n";
        if (std::isnan(stageMs(f.startup.onePointStamps, stage)))
            faults << "the bare window with one point has no stamps for " << stage.label << "\n";
    }
    return faults.str();
}

bool parseArguments(int argc, char** argv, Settings& settings)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quick")
            settings.quick = true;
        else if (arg == "--guard")
            settings.guard = true;
        else if (settings.out.empty() && arg.rfind("--", 0) != 0)
            settings.out = arg;
        else
            return false;
    }
    return !settings.out.empty();
}

int fail(const std::string& why, XServer& server)
{
    std::fprintf(stderr, "benchrun: %s\n", why.c_str());
    stopXServer(server);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!parseArguments(argc, argv, settings)) {
        std::fprintf(stderr, "usage: benchrun [--quick] [--guard] OUT.md\n");
        return 1;
    }
    std::string stem = settings.out;
    if (stem.size() > 3 && stem.compare(stem.size() - 3, 3, ".md") == 0)
        stem.resize(stem.size() - 3);

    Figures f;
    f.runs = settings.quick ? quickRuns : fullRuns;
    f.stampedRuns = settings.quick ? quickStampedRuns : fullStampedRuns;
    f.repetitions = settings.quick ? quickRepetitions : fullRepetitions;
    f.loadBefore = loadAverage();
    XServer server;
    std::string why;
    if (!startXServer(server))
        return fail("cannot start Xvfb", server);

    std::printf("start-up: %d runs each of knotwerry, the bare window and the bare window "
                "with one point, in turn, then %d each with the stages stamped\n",
                f.runs, f.stampedRuns);
    std::fflush(stdout);
    if (!measureStartup(server, !settings.quick, f.runs, f.stampedRuns, f.startup, why))
        return fail(why, server);
    std::printf("start-up under metacity: %d runs each of knotwerry and the bare window "
                "drawing the same points, in turn\n",
                f.runs);
    std::fflush(stdout);
    if (!measureManaged(server, f.runs, f.startup, why))
        return fail(why, server);
    std::ofstream tsv(stem + "-startup.tsv");
    tsv << "run\tknotwerry_ms\tbare_ms\tone_point_ms\tratio\tone_point_ratio"
           "\tmetacity_knotwerry_ms\tmetacity_same_points_ms\tmetacity_ratio\n";
    for (std::size_t i = 0; i < f.startup.ratios.size(); ++i)
        tsv << i + 1 << '\t' << f.startup.knotwerryMs[i] << '\t' << f.startup.bareMs[i] << '\t'
            << f.startup.onePointMs[i] << '\t' << f.startup.ratios[i] << '\t'
            << f.startup.onePointRatios[i] << '\t' << f.startup.managedMs[i] << '\t'
            << f.startup.managedKnotMs[i] << '\t' << f.startup.managedRatios[i] << '\n';

    std::printf("frame, press and grid sizing: Google Benchmark, %d repetitions each\n",
                f.repetitions);
    std::fflush(stdout);
    std::string frame =
        runBenchmarks(server, FRAME_BENCH_PATH, stem + "-frame.json", settings, why);
    std::string press = frame.empty() ? ""
                                      : runBenchmarks(server, PRESS_BENCH_PATH,
                                                      stem + "-press.json", settings, why);
    std::string sizing = press.empty() ? ""
                                       : runBenchmarks(server, SIZING_BENCH_PATH,
                                                       stem + "-sizing.json", settings, why);
    if (sizing.empty())
        return fail(why, server);
    stopXServer(server);
    f.loadAfter = loadAverage();

    f.displayNs = medianNs(frame, "BM_Display");
    f.clearSwapNs = medianNs(frame, "BM_ClearSwap");
    f.renderer = stringAfter(frame, "gl_renderer");
    f.glVersion = stringAfter(frame, "gl_version");
    f.pressNs = medianNs(press, "BM_FlipCross");
    f.floorNs = medianNs(press, "BM_TouchFloor");
    f.sizingNs = medianNs(sizing, "BM_InitPointGrid");

    std::string md = table(f);
    std::ofstream(settings.out) << md;
    std::printf("\n%s\nwritten to %s\n", md.c_str(), settings.out.c_str());
    if (settings.guard) {
        std::string faults = grossFaults(f);
        if (!faults.empty()) {
            std::fprintf(stderr, "benchrun: figures grossly off:\n%s", faults.c_str());
            return 1;
        }
    }
    return 0;
}
