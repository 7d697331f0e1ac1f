// snap, as make run and make screenshots use it: it must end the program on ESCAPE and
// save the picture of the table after exactly the presses it was given, not after fewer
// of them, read back from the PNG it wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/png.h"
#include "tools/projection.h"
#include "tools/table_files.h"
#include "tools/xdrive.h"

namespace {

constexpr int windowSize = 800;
constexpr int gridPoints = knotSide * knotSide;
constexpr auto snapLimit = std::chrono::seconds(100);  // snap's own waits end sooner

struct SnapCase {
    const char* name;
    std::vector<Press> presses;
};

void PrintTo(const SnapCase& c, std::ostream* out)
{
    *out << c.name;
}

// The shipped table after the presses, by the model.
std::vector<float> modelAfter(const std::vector<Press>& presses)
{
    std::vector<float> table = readTable(KNOT_TABLE_PATH);
    playPresses(reinterpret_cast<float(*)[3]>(table.data()), presses, knotSide);
    return table;
}

bool shows(const Image& picture, const std::vector<float>& table)
{
    return compareWithProjection(picture, table.data(), gridPoints, 0.0).none();
}

// Runs snap with these presses into TEST_WORK_DIR/snap-NAME.png and reads what it saved.
::testing::AssertionResult snapAfter(const std::vector<Press>& presses, const std::string& name,
                                     Image& picture)
{
    const std::string out = std::string(TEST_WORK_DIR) + "/snap-" + name + ".png";
    std::remove(out.c_str());  // a picture left from an earlier run proves nothing
    std::vector<std::string> argv = {SNAP_PATH, out, KNOTWERRY_PATH};
    for (Press p : presses)
        argv.push_back(std::to_string(p.x) + "," + std::to_string(p.y));
    Child snap;
    if (!launch(snap, XServer{}, argv))  // snap starts an X server of its own
        return ::testing::AssertionFailure() << "cannot start snap";
    const bool ended = awaitExit(snap, snapLimit);
    endChild(snap);
    if (!ended || snap.status != 0)
        return ::testing::AssertionFailure() << "snap failed: " << snap.outText << snap.errText;
    if (!readPng(out, picture) || picture.width != windowSize || picture.height != windowSize)
        return ::testing::AssertionFailure()
               << "no " << windowSize << " x " << windowSize << " picture in " << out;
    return ::testing::AssertionSuccess();
}

class Snap : public ::testing::TestWithParam<SnapCase> {};

TEST_P(Snap, SavesThePictureAfterExactlyThosePressesAndEndsTheProgram)
{
    const SnapCase& c = GetParam();
    ASSERT_EQ(readTable(KNOT_TABLE_PATH).size(), std::size_t{knotEntries} * 3);
    Image picture;
    ASSERT_TRUE(snapAfter(c.presses, c.name, picture));
    const Mismatch m =
        compareWithProjection(picture, modelAfter(c.presses).data(), gridPoints, 0.0);
    EXPECT_TRUE(m.none()) << m.darkCentres << " dark centres, " << m.strayPixels
                          << " stray pixels: " << m.firstFaults;
    // The picture tells the presses apart: it is neither the first frame nor the picture
    // before the last press.
    if (!c.presses.empty()) {
        EXPECT_FALSE(shows(picture, modelAfter({}))) << "the first frame";
        const std::vector<Press> fewer(c.presses.begin(), c.presses.end() - 1);
        EXPECT_FALSE(shows(picture, modelAfter(fewer))) << "the picture before the last press";
    }
}

// make screenshots' solved knot: the solution's picture, held to the designed knot
// rather than to the model of a press.
TEST(SnapTheSolution, SavesTheDesignedKnot)
{
    const std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_FALSE(solution.empty());
    Image picture;
    ASSERT_TRUE(snapAfter(solution, "solved", picture));
    static float knot[knotEntries][3];
    designKnot(knot);
    const std::vector<float> solved(&knot[0][0], &knot[0][0] + knotEntries * 3);
    EXPECT_TRUE(shows(picture, solved));
    EXPECT_FALSE(shows(picture, modelAfter({}))) << "the first frame";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Snap,
    ::testing::Values(SnapCase{"FirstFrame", {}},
                      // The overview's press, then one in the bottom margin.
                      SnapCase{"TwoPresses", {{401, 37}, {8, 790}}},
                      // The right margin's column 0, then a press on the diagonal.
                      SnapCase{"MarginAndDiagonal", {{790, 100}, {300, 300}}}),
    [](const ::testing::TestParamInfo<SnapCase>& row) { return std::string(row.param.name); });

}  // namespace
