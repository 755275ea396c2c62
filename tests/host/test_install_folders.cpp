// Where the program works and keeps its state: in its build folder, as an
// installed copy, or with no data folder at all; and the state file in the
// user's data folder, made on the first save.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/files.h"
#include "host/host_game.h"
#include "host/program_folders.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Folders : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vellumby-folders-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override {
        orvSetStateFolder(".");
        fs::remove_all(dir_);
    }
    fs::path dir_;
};

const char kInstalled[] = "../share/vellumby";

TEST_F(Folders, UserStateFolderFollowsTheDesktopsRules) {
    EXPECT_EQ(orvUserStateFolder("/x/data", "/home/p"), "/x/data/vellumby");
    EXPECT_EQ(orvUserStateFolder("/x/data/", "/home/p"), "/x/data/vellumby");
    // Unset, empty or relative: the default under the home folder.
    EXPECT_EQ(orvUserStateFolder(nullptr, "/home/p"), "/home/p/.local/share/vellumby");
    EXPECT_EQ(orvUserStateFolder("", "/home/p"), "/home/p/.local/share/vellumby");
    EXPECT_EQ(orvUserStateFolder("rel/data", "/home/p"), "/home/p/.local/share/vellumby");
    EXPECT_EQ(orvUserStateFolder(nullptr, nullptr), "");
    EXPECT_EQ(orvUserStateFolder("rel", "also/rel"), "");
}

TEST_F(Folders, BuildFolderWorksBesideTheProgramAndKeepsItsStateThere) {
    const fs::path build = dir_ / "build";
    fs::create_directories(build / "data");
    ProgramFolders f = orvChooseProgramFolders(build.string(), true, kInstalled, "/u/vellumby");
    EXPECT_EQ(f.run, build.string());
    EXPECT_EQ(f.state, ".");
    EXPECT_EQ(f.missing_data, "");
    // A build folder the player can't write to keeps the state in theirs.
    f = orvChooseProgramFolders(build.string(), false, kInstalled, "/u/vellumby");
    EXPECT_EQ(f.run, build.string());
    EXPECT_EQ(f.state, "/u/vellumby");
}

TEST_F(Folders, InstalledCopyWorksInItsSharedDataAndKeepsStateInTheUsersFolder) {
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "share/vellumby/data");
    // Even where the player could write into it (their own prefix, or root).
    const ProgramFolders f = orvChooseProgramFolders((dir_ / "bin").string(), true, kInstalled, "/u/vellumby");
    EXPECT_EQ(f.run, (dir_ / "share/vellumby").string());
    EXPECT_EQ(f.state, "/u/vellumby");
    EXPECT_EQ(f.missing_data, "");
    // A data folder beside the program comes first.
    fs::create_directories(dir_ / "bin/data");
    EXPECT_EQ(orvChooseProgramFolders((dir_ / "bin").string(), true, kInstalled, "/u").run, (dir_ / "bin").string());
}

TEST_F(Folders, WithoutADataFolderTheProgramNamesTheFoldersItLookedFor) {
    fs::create_directories(dir_ / "bin");
    // A file of that name is no folder.
    std::ofstream(dir_ / "bin/data") << "x";
    const ProgramFolders f = orvChooseProgramFolders((dir_ / "bin").string(), true, kInstalled, "/u/vellumby");
    EXPECT_EQ(f.run, (dir_ / "bin").string());
    EXPECT_EQ(f.state, ".");
    EXPECT_EQ(f.missing_data, (dir_ / "bin/data").string() + " and " + (dir_ / "share/vellumby/data").string());
}

TEST_F(Folders, FirstSaveMakesThePrivateUserFolderAndLoadReadsItBack) {
    const fs::path folder = dir_ / "xdg home/vellumby";
    orvSetStateFolder(folder.string());
    OrvGlfwGame host;
    EXPECT_EQ(host.LoadState().Length(), 0);
    EXPECT_FALSE(fs::exists(dir_ / "xdg home"));  // nothing is made before a save

    ASSERT_EQ(host.SaveState(String("1|2|3|")), 0);
    EXPECT_EQ(ReadFile(folder / ".quarlostate"), "1|2|3|");
    EXPECT_EQ(host.LoadState(), String("1|2|3|"));
    for (const fs::path& made : {dir_ / "xdg home", folder}) {
        struct stat info {};
        ASSERT_EQ(stat(made.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    EXPECT_FALSE(fs::exists(folder / ".quarlostate.tmp"));
    EXPECT_FALSE(fs::exists(".quarlostate.tmp"));
}

TEST_F(Folders, UnusableStateFolderFailsTheSaveAndKeepsWhatWasSaved) {
    OrvGlfwGame host;
    // A file where a folder of the path should be.
    std::ofstream(dir_ / "blocked") << "x";
    orvSetStateFolder((dir_ / "blocked/vellumby").string());
    EXPECT_EQ(host.SaveState(String("new")), -1);
    EXPECT_EQ(host.LoadState().Length(), 0);

    // No folder known at all.
    orvSetStateFolder("");
    EXPECT_EQ(host.SaveState(String("new")), -1);
    EXPECT_EQ(host.LoadState().Length(), 0);

    // A save that cannot complete leaves the earlier one as it was.
    const fs::path folder = dir_ / "vellumby";
    orvSetStateFolder(folder.string());
    ASSERT_EQ(host.SaveState(String("old")), 0);
    fs::create_directory(folder / ".quarlostate.tmp");
    EXPECT_EQ(host.SaveState(String("new")), -1);
    EXPECT_EQ(host.LoadState(), String("old"));
}

}  // namespace
