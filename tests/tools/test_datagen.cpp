// Runs the data generator as the build does: the data folder holds every file
// of the generator's list, and the same source gives the same bytes.
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
TEST(Datagen, OutputIsExactlyTheListAndByteIdenticalAcrossRuns) {
    const std::map<std::string, std::string> a = Files(DATA_DIR);
    const std::vector<std::string> listed = DataFiles();
    for (const std::string& name : listed) {
        EXPECT_TRUE(a.count(name) && !a.at(name).empty()) << name << " is missing or empty";
    }
    for (const auto& [name, bytes] : a) EXPECT_NE(fs::path(name).extension(), ".partial") << name << " is left behind";
#ifndef ORV_SANITIZE
    std::string dir = ::testing::TempDir() + "datagen_XXXXXX";
    ASSERT_TRUE(mkdtemp(dir.data()));
    ProcessOptions options;
    options.timeout_seconds = 180;  // a few seconds alone; a guard against a hang, not a speed test
    ASSERT_EQ(RunProcess({DATAGEN, dir + "/b/nested"}, options).status, 0);
    std::set<std::string> written;
    for (const auto& [name, bytes] : Files(dir + "/b/nested")) {
        written.insert(name);
        EXPECT_TRUE(a.count(name) && a.at(name) == bytes) << name << " differs between runs";
    }
    EXPECT_EQ(written, std::set<std::string>(listed.begin(), listed.end()));
    fs::remove_all(dir);
#endif
}

}  // namespace
