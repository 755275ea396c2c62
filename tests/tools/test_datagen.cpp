// Runs the data generator as the build does: the same source must give the
// same bytes, and a run that cannot write must fail.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/support/subprocess.h"

namespace fs = std::filesystem;

namespace {

class DatagenTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "datagen_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    static ProcessResult Run(const std::vector<std::string>& args) {
        std::vector<std::string> argv{DATAGEN};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProcess(argv);
    }

    fs::path dir_;
};

// Every file by its path inside `root`.
std::map<std::string, std::string> Files(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        out[fs::relative(e.path(), root).string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return out;
}

TEST_F(DatagenTest, OutputIsByteIdenticalAcrossRunsAndFoldersAreCreated) {
    // The build's own run is the first; a second one goes to a new folder.
    const fs::path second = dir_ / "b" / "nested";
    ASSERT_EQ(Run({second.string()}).status, 0);
    const std::map<std::string, std::string> a = Files(DATA_DIR), b = Files(second);
    EXPECT_EQ(a.count("trel_font.png"), 1u);
    for (const auto& [name, bytes] : a) {
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_NE(fs::path(name).extension(), ".partial") << name << " is left behind";
        EXPECT_TRUE(b.count(name) && b.at(name) == bytes) << name << " differs between runs";
    }
    EXPECT_EQ(a.size(), b.size());
}

// The build relies on the exit status: a generator that cannot write must
// fail, not leave the data folder stale.
TEST_F(DatagenTest, FailsWithoutAUsableOutputFolder) {
    EXPECT_NE(Run({}).status, 0);
    const fs::path blocker = dir_ / "file";
    std::ofstream(blocker) << "x";
    const ProcessResult run = Run({(blocker / "data").string()});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("datagen"), std::string::npos) << run.err;
}

}  // namespace
