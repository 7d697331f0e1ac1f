// What a Windows player gets: the program with the shipped table in it, its icon and
// version, the portable zip and the installer, each tried under Wine.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/windows/wine_run.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tools/projection.h"

namespace {

namespace fs = std::filesystem;

std::string contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The table is compiled in as the Linux build compiles it: its file's bytes, in order,
// are somewhere in the program.
TEST(Exe, HoldsTheShippedTableByteForByte)
{
    const std::string table = contents(KNOT_TABLE_PATH), exe = contents(KNOTWERRY_EXE);
    ASSERT_FALSE(table.empty());
    ASSERT_FALSE(exe.empty());
    EXPECT_NE(exe.find(table), std::string::npos);
}

using Resources = WineRun;

// As Windows reads them: an icon of 16, 32, 48 and 256 pixels, and the version.
TEST_F(Resources, IconAtFourSizesAndTheVersion)
{
    Facts facts;
    ASSERT_TRUE(probe({"resources", windowsPath(KNOTWERRY_EXE)}, facts));
    EXPECT_EQ(facts["icons"], "16x16 32x32 48x48 256x256");
    EXPECT_EQ(facts["fixed"], std::string(VERSION) + ".0");
    EXPECT_EQ(facts["FileVersion"], VERSION);
    EXPECT_EQ(facts["ProductVersion"], VERSION);
    EXPECT_EQ(facts["ProductName"], "Tavrosk: Knotwerry");
    EXPECT_EQ(facts["OriginalFilename"], "knotwerry.exe");
}

class Packages : public WineRun {
  protected:
    // Started from where a player put it, the program shows the shipped table and ends
    // on ESCAPE with status 0.
    void playsItsFirstFrame(const std::string& exe)
    {
        ASSERT_TRUE(start(exe)) << exe;
        const std::vector<float> table = shippedTable();
        Mismatch first = compareWithProjection(firstFrame, table.data(), gridPoints, 0.0);
        EXPECT_TRUE(first.none()) << first.firstFaults;
        tapKey(XK_Escape);
        ASSERT_TRUE(awaitExit(program, exitLimit));
        EXPECT_EQ(program.status, 0);
    }

    // Runs a Windows command to its end under Wine; its standard output.
    std::string run(const std::vector<std::string>& command)
    {
        Child child;
        std::vector<std::string> argv = {WINE};
        argv.insert(argv.end(), command.begin(), command.end());
        EXPECT_TRUE(launch(child, server, argv));
        EXPECT_TRUE(awaitExit(child, windowLimit)) << command[0];
        endChild(child);
        return child.outText;
    }
};

// Every file below the folders an install may touch, as paths from the prefix's C:.
// The installer and the uninstaller work while we look: a listing that a file's coming
// or going cuts short is made again.
std::set<std::string> installedFiles()
{
    const fs::path drive = fs::path(WINE_PREFIX) / "drive_c";
    for (;;) {
        std::set<std::string> files;
        std::error_code changed;
        for (const char* folder : {"Program Files", "ProgramData/Microsoft/Windows/Start Menu",
                                   "users/root/AppData/Roaming/Microsoft/Windows/Start Menu"}) {
            std::error_code missing;  // a folder that is not there holds nothing
            fs::recursive_directory_iterator it(drive / folder, missing), end;
            for (; !changed && it != end; it.increment(changed))
                files.insert(it->path().lexically_relative(drive).string());
        }
        if (!changed)
            return files;
    }
}

TEST_F(Packages, TheZipHoldsTheProgramAndHowToPlayAndThePlayerCanStartIt)
{
    const fs::path unpacked = fs::path(TEST_WORK_DIR) / "zip";
    fs::remove_all(unpacked);
    fs::create_directories(unpacked);
    const std::string unpack =
        "cd '" + unpacked.string() + "' && cmake -E tar xf '" + ZIP_PATH + "'";
    ASSERT_EQ(std::system(unpack.c_str()), 0);
    const fs::path folder = unpacked / (std::string("knotwerry-") + VERSION + "-windows");
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"how-to-play.txt", "knotwerry.exe"}));
    const std::string text = contents((folder / "how-to-play.txt").string());
    EXPECT_NE(text.find("How to play\r\n"), std::string::npos);
    EXPECT_NE(text.find("ESCAPE"), std::string::npos);
    playsItsFirstFrame((folder / "knotwerry.exe").string());
}

// A silent install puts the program, its uninstaller, a Start-menu shortcut and an
// entry among the installed programs in place; the installed program plays; a silent
// uninstall takes every one of them away again.
TEST_F(Packages, TheInstallerInstallsSilentlyAndTheUninstallerLeavesNothing)
{
    const std::string uninstallKey =
        "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Knotwerry";
    const std::set<std::string> before = installedFiles();
    const fs::path folder = fs::path(WINE_PREFIX) / "drive_c/Program Files/Knotwerry";
    ASSERT_FALSE(fs::exists(folder));

    run({INSTALLER_PATH, "/S"});
    ASSERT_TRUE(awaitCondition([&] { return fs::exists(folder / "Uninstall.exe"); }, windowLimit));
    EXPECT_TRUE(fs::exists(folder / "knotwerry.exe"));
    std::set<std::string> added;
    for (const std::string& file : installedFiles())
        if (!before.count(file))
            added.insert(file);
    EXPECT_EQ(std::count_if(added.begin(), added.end(),
                            [](const std::string& f) {
                                return f.find("Start Menu") != std::string::npos &&
                                       f.size() > 13 && f.compare(f.size() - 13, 13, "Knotwerry.lnk") == 0;
                            }),
              1)
        << "no Start-menu shortcut among " << ::testing::PrintToString(added);
    const std::string entry = run({"reg", "query", uninstallKey});
    EXPECT_NE(entry.find("Tavrosk: Knotwerry"), std::string::npos) << entry;

    playsItsFirstFrame((folder / "knotwerry.exe").string());

    // The uninstaller copies itself away and returns at once; its copy does the work.
    run({(folder / "Uninstall.exe").string(), "/S"});
    std::set<std::string> after;
    EXPECT_TRUE(awaitCondition([&] { return (after = installedFiles()) == before; }, windowLimit));
    for (const std::string& file : after)
        EXPECT_TRUE(before.count(file)) << "left behind: " << file;
    EXPECT_FALSE(fs::exists(folder));
    const std::string gone = run({"reg", "query", uninstallKey});
    EXPECT_EQ(gone.find("Tavrosk: Knotwerry"), std::string::npos) << gone;
}

}  // namespace
