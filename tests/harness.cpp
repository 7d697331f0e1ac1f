// What the end-to-end tests on Linux and under Wine share.
#include "tests/harness.h"

#include "tools/projection.h"
#include "tools/table_files.h"

bool launchOnSoftwareGl(Child& program, const XServer& server, const std::vector<std::string>& argv,
                        const std::vector<std::string>& env)
{
    std::vector<std::string> settings = {"LIBGL_ALWAYS_SOFTWARE=1"};
    settings.insert(settings.end(), env.begin(), env.end());
    return launch(program, server, argv, settings);
}

std::vector<float> shippedTable()
{
    return readTable(KNOT_TABLE_PATH);
}

bool wouldShow(const std::vector<float>& table, const Image& now)
{
    return !compareWithProjection(now, table.data(), gridPoints, 0.0).none();
}

void ProgramRun::release(unsigned button)
{
    releaseButton(server.display, button);
}

std::string ProgramRun::keepPicture(const Image&, const std::string&)
{
    return "";
}

::testing::AssertionResult ProgramRun::awaitFirstFrame()
{
    if (!awaitCondition([&] { return grabClient(firstFrame) && hasRed(firstFrame); }, pictureLimit))
        return ::testing::AssertionFailure() << "no first frame";
    if (firstFrame.width != windowSize || firstFrame.height != windowSize)
        return ::testing::AssertionFailure()
               << "the client area is " << firstFrame.width << " x " << firstFrame.height;
    // The grid keeps clear of the right and bottom edges, so a frame drawn to the whole
    // client area is pure red there.
    int column = 0, row = 0;
    for (int i = 0; i < windowSize; ++i) {
        const unsigned char* right = firstFrame.at(windowSize - 1, i);
        const unsigned char* bottom = firstFrame.at(i, windowSize - 1);
        column += !(right[0] == 255 && right[1] == 0 && right[2] == 0);
        row += !(bottom[0] == 255 && bottom[1] == 0 && bottom[2] == 0);
    }
    if (column == 0 && row == 0)
        return ::testing::AssertionSuccess();
    const std::string kept = keepPicture(firstFrame, "first-frame");
    const unsigned char* corner = firstFrame.at(windowSize - 1, windowSize - 1);
    return ::testing::AssertionFailure()
           << kept << "the first frame is not drawn to the edges: " << column
           << " pixels of the last "
           << "column and " << row << " of the last row are not red; the last corner is "
           << int(corner[0]) << "," << int(corner[1]) << "," << int(corner[2]);
}

::testing::AssertionResult ProgramRun::awaitShowing(const std::vector<float>& table, double twist)
{
    return awaitShowing(table, twist, pictureLimit);
}

::testing::AssertionResult ProgramRun::awaitShowing(const std::vector<float>& table, double twist,
                                                    Seconds limit)
{
    Image seen;
    Mismatch last;
    bool shown = awaitCondition(
        [&] {
            if (!grabClient(seen))
                return false;
            last = compareWithProjection(seen, table.data(), gridPoints, twist);
            return last.none();
        },
        limit);
    if (shown)
        return ::testing::AssertionSuccess();
    const std::string kept = keepPicture(seen, "seen");
    return ::testing::AssertionFailure()
           << kept << "the window never showed the table at twist " << twist << ": "
           << last.darkCentres << " dark centres, " << last.strayPixels << " stray pixels; "
           << last.firstFaults;
}

bool ProgramRun::backAtFirstFrame()
{
    Image seen;
    return awaitCondition([&] { return grabClient(seen) && seen.rgb == firstFrame.rgb; },
                          pictureLimit);
}

void PrintTo(const ButtonCase& c, std::ostream* out)
{
    *out << c.name;
}

void PrintTo(const CommandLine& line, std::ostream* out)
{
    *out << ::testing::PrintToString(line.args);
}
