// Where the program works and keeps its state (in its build folder, as an
// installed copy, or with no data folder at all), and the state file in the
// user's data folder, made by the first save.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/host_game.h"
#include "host/program_folders.h"
#include "tests/host/temp_files.h"

namespace {

namespace fs = std::filesystem;

class Folders : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }
    void TearDown() override { orvSetStateFolder("."); }
    TempDir dir_;
};

TEST_F(Folders, UserStateFolderFollowsTheDesktopsRules) {
    EXPECT_EQ(orvUserStateFolder("/x/data/", "/home/p"), "/x/data/vellumby");
    // Unset, empty or relative: the default under the home folder.
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "rel/data"}) {
        EXPECT_EQ(orvUserStateFolder(unusable, "/home/p"), "/home/p/.local/share/vellumby");
    }
    EXPECT_EQ(orvUserStateFolder("rel", nullptr), "");
}

// The choices as (working folder, state folder, data folders looked for),
// for the layouts of a build and of an installed copy (PREFIX/games and
// PREFIX/share/games/vellumby).
TEST_F(Folders, BuildFolderInstalledCopyAndMissingData) {
    fs::create_directories(dir_ / "build/data");
    fs::create_directories(dir_ / "games");
    fs::create_directories(dir_ / "share/games/vellumby/data");
    const std::string d = dir_.string();
    using Choice = std::vector<std::string>;
    const auto choose = [&](const char* program, bool writable) {
        const ProgramFolders f =
            orvChooseProgramFolders(d + "/" + program, writable, "../share/games/vellumby", "/u/vellumby");
        return Choice{f.run, f.state, f.missing_data};
    };

    // The build folder: beside the program, and so is its state, unless the
    // player can't write there.
    EXPECT_EQ(choose("build", true), (Choice{d + "/build", ".", ""}));
    EXPECT_EQ(choose("build", false), (Choice{d + "/build", "/u/vellumby", ""}));
    // An installed copy: its shared data folder, and the user's state even
    // where the installed folders could be written (a home prefix, or root).
    EXPECT_EQ(choose("games", true), (Choice{d + "/share/games/vellumby", "/u/vellumby", ""}));
    EXPECT_EQ(choose("games", false), (Choice{d + "/share/games/vellumby", "/u/vellumby", ""}));

    // Neither (a file named data is no folder): the folders looked for.
    fs::remove_all(dir_ / "share");
    std::ofstream(dir_ / "games/data") << "x";
    EXPECT_EQ(choose("games", true),
              (Choice{d + "/games", ".", d + "/games/data and " + d + "/share/games/vellumby/data"}));
}

TEST_F(Folders, FirstSaveMakesThePrivateUserFolderAndUnusableOnesFailTheSave) {
    const fs::path folder = dir_ / "xdg home/vellumby";
    orvSetStateFolder(folder.string());
    OrvGlfwGame host;
    EXPECT_EQ(host.LoadState().Length(), 0);
    EXPECT_FALSE(fs::exists(dir_ / "xdg home"));  // nothing is made before a save
    ASSERT_EQ(host.SaveState(String("1|2|")), 0);
    EXPECT_EQ(host.LoadState(), String("1|2|"));
    EXPECT_TRUE(fs::exists(folder / ".quarlostate"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);  // nothing left over
    for (const fs::path& made : {dir_ / "xdg home", folder}) {
        struct stat info {};
        ASSERT_EQ(stat(made.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }

    // A save that can't complete keeps the earlier one.
    {
        const ProcessLimit no_files(RLIMIT_NOFILE, 3);
        EXPECT_EQ(host.SaveState(String("new")), -1);
    }
    EXPECT_EQ(host.LoadState(), String("1|2|"));

    // A file where a folder should be, or no folder known at all.
    std::ofstream(dir_ / "blocked") << "x";
    for (const std::string& unusable : {(dir_ / "blocked/vellumby").string(), std::string()}) {
        orvSetStateFolder(unusable);
        EXPECT_EQ(host.SaveState(String("new")), -1);
        EXPECT_EQ(host.LoadState().Length(), 0);
    }
}

}  // namespace
