// Runs the data generator as the build does: the data folder holds every file
// of the generator's list, the same source gives the same bytes, and a run
// that cannot write must fail.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/subprocess.h"
#include "tools/datagen/data_files.h"

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
        ProcessOptions options;
        options.timeout_seconds = 180;  // a few seconds alone; a guard against a hang, not a speed test
        return RunProcess(argv, options);
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

// The build's run wrote every listed file and left nothing half-written; a
// second run into a new folder writes exactly the list, byte for byte the
// same. (Determinism is a property of the generator's source, which the
// normal build proves; under the sanitizers a second run takes most of half
// a minute and proves nothing more.)
TEST_F(DatagenTest, OutputIsExactlyTheListAndByteIdenticalAcrossRuns) {
    const std::map<std::string, std::string> a = Files(DATA_DIR);
    const std::vector<std::string> listed = DataFiles();
    for (const std::string& name : listed) {
        EXPECT_TRUE(a.count(name) && !a.at(name).empty()) << name << " is missing or empty";
    }
    for (const auto& [name, bytes] : a) EXPECT_NE(fs::path(name).extension(), ".partial") << name << " is left behind";
#ifndef ORV_SANITIZE
    const fs::path second = dir_ / "b" / "nested";
    ASSERT_EQ(Run({second.string()}).status, 0);
    std::set<std::string> written;
    for (const auto& [name, bytes] : Files(second)) {
        written.insert(name);
        EXPECT_TRUE(a.count(name) && a.at(name) == bytes) << name << " differs between runs";
    }
    EXPECT_EQ(written, std::set<std::string>(listed.begin(), listed.end()));
#endif
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
