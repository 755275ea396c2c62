// The save string: its layout, its three checksums and what loading takes
// from a damaged or foreign text.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/game/game_test.h"

namespace {

std::string Repeat(const std::string& s, int n) { return n > 0 ? s + Repeat(s, n - 1) : ""; }

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1) {
        out.push_back(text.substr(start, bar - start));
    }
    EXPECT_EQ(start, text.size()) << "every field ends with |";
    return out;
}

std::string Join(const std::vector<std::string>& fields) {
    std::string out;
    for (const std::string& f : fields) out += f + "|";
    return out;
}

const std::string kAllLoaded =
    "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n";

class SaveData : public GameTest {
protected:
    // Loads the stored text into a game whose arrays hold other values, and
    // returns what it printed.
    std::string Load() {
        for (int i = 0; i < 25; ++i) app->m_Settings[i] = 777;
        for (int i = 0; i < 256; ++i) app->m_BadgeGot[i] = (i % 3) == 0;
        for (int i = 0; i < 150; ++i) app->m_Scores[i] = 555;
        testing::internal::CaptureStdout();
        app->p_Load();
        return testing::internal::GetCapturedStdout();
    }

    // A varied state the option repair leaves alone.
    void FillState() {
        for (int i = 0; i < 25; ++i) app->m_Settings[i] = 3 * i - 20;
        for (auto [k, v] : {std::pair{10, 300}, {11, 90}, {12, 12}, {14, 1}}) app->m_Settings[k] = v;
        for (int i = 0; i < 256; ++i) app->m_BadgeGot[i] = (i * 7) % 5 == 1;
        app->m_BadgeGot[31] = true;  // the sign bit of the first word
        for (int i = 0; i < 30; ++i) {
            app->m_Scores[i] = 10000 * (i / 10 + 1) - 900 * (i % 10);
            app->m_Scores[30 + i] = 37 * (i % 10 + 1) + i / 10;
        }
    }
    // The saved text of FillState, as fields.
    std::vector<std::string> Saved() {
        FillState();
        app->p_Save();
        return Fields(host.stored);
    }
};

TEST_F(SaveData, DefaultStateIsTheDocumentedExampleAndAFreshStartSavesRepairedOptions) {
    app->p_Save();
    EXPECT_EQ(host.stored, "0|0|0|0|0|1|" + Repeat("0|", 19) + "5|" + Repeat("0|", 9) + Repeat("0|", 63));

    // Nothing stored yet: nothing is reported, and the repaired options are
    // what the first save writes.
    host.stored.clear();
    testing::internal::CaptureStdout();
    app->p_Load();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    app->p_Save();
    const std::vector<std::string> f = Fields(host.stored);
    ASSERT_EQ(f.size(), 98u);
    EXPECT_EQ((std::vector<std::string>{f[10], f[11], f[12], f[14], f[25]}),
              (std::vector<std::string>{"64", "64", "10", "1", std::to_string(5 + 10 * 64 + 11 * 64 + 12 * 10 + 14)}));
}

// The sums wrap at 32 bits; bit 31 of a badge word makes it negative.
TEST_F(SaveData, RoundTripRestoresEverythingAndChecksumsWrap) {
    FillState();
    app->m_Settings[24] = 2147483647;
    for (int k = 0; k < 10; ++k) app->m_Scores[10 + k] = app->m_Scores[40 + k] = 2000000000;  // list 1
    for (int b = 0; b < 8; ++b) app->m_BadgeGot[32 * b + 31] = true;
    const std::vector<int> settings(app->m_Settings.begin(), app->m_Settings.end());
    const std::vector<int> scores(app->m_Scores.begin(), app->m_Scores.begin() + 60);
    const std::vector<bool> badges(app->m_BadgeGot.begin(), app->m_BadgeGot.end());
    app->p_Save();
    const std::vector<std::string> f = Fields(host.stored);
    EXPECT_EQ((std::vector<std::string>{f[25], f[26], f[34], f[55], f[76], f[97]}),
              (std::vector<std::string>{"10833", "-1870388984", "-1246925991", "449815", "697583616", "2154075"}));

    EXPECT_EQ(Load(), kAllLoaded);
    EXPECT_EQ(std::vector<int>(app->m_Settings.begin(), app->m_Settings.end()), settings);
    EXPECT_EQ(std::vector<int>(app->m_Scores.begin(), app->m_Scores.begin() + 60), scores);
    EXPECT_EQ(std::vector<bool>(app->m_BadgeGot.begin(), app->m_BadgeGot.end()), badges);
}

TEST_F(SaveData, OneChangedSettingFailsOnlyTheSettingsExceptIndexZero) {
    const std::vector<std::string> saved = Saved();
    std::vector<int> repaired(25, 0);  // the defaults, repaired
    repaired[5] = repaired[14] = 1;
    repaired[10] = repaired[11] = 64;
    repaired[12] = 10;
    for (std::size_t i = 0; i < 25; ++i) {
        std::vector<std::string> f = saved;
        f[i] = std::to_string(std::stoi(f[i]) + 1);
        host.stored = Join(f);
        // Index 0 weighs nothing in the sum.
        EXPECT_EQ(Load(), i == 0 ? kAllLoaded : "Settings Checksum Invalid" + kAllLoaded.substr(15)) << i;
        EXPECT_EQ(Values(app->m_Settings[0], app->m_Scores[0]), Values(i == 0 ? -19 : 0, 10000)) << i;
        if (i > 0) {
            EXPECT_EQ(std::vector<int>(app->m_Settings.begin(), app->m_Settings.end()), repaired) << i;
        }
    }
}

TEST_F(SaveData, SwappedTopAndLastIsCaughtInListsZeroAndTwoOnly) {
    const std::vector<std::string> saved = Saved();
    for (int t = 0; t < 3; ++t) {
        std::vector<std::string> f = saved;
        const std::size_t k = static_cast<std::size_t>(35 + 21 * t + 2 * 3);  // Top(t, 3)
        std::swap(f[k], f[k + 1]);
        ASSERT_NE(f[k], f[k + 1]);
        host.stored = Join(f);
        std::string want = kAllLoaded, list = "Highscore " + std::to_string(t);
        if (t != 1) want.replace(want.find(list), list.size() + 7, list + " Checksum Invalid");
        EXPECT_EQ(Load(), want);
        // The failing list is emptied; in list 1 the swap goes unnoticed; the
        // other lists are untouched by one list's failure.
        const int other = t == 0 ? 2 : 0;
        EXPECT_EQ(Values(app->m_Scores[10 * t + 3], app->m_Scores[30 + 10 * t + 3], app->m_Scores[10 * other]),
                  Values(t == 1 ? 37 * 4 + 1 : 0, t == 1 ? 17300 : 0, 10000 * (other + 1)));
        for (int e = 0; e < 10 && t != 1; ++e) {
            EXPECT_EQ(app->m_Scores[10 * t + e] | app->m_Scores[30 + 10 * t + e], 0) << e;
        }
    }
}

TEST_F(SaveData, ShortTextsAreReadAsBadgesAndTwentyFivePartsFailTheSettings) {
    // 9 to 24 parts: the settings are skipped and the badge block comes first.
    for (int parts : {9, 10, 24}) {
        std::vector<std::string> f(static_cast<std::size_t>(parts), "0");
        f[0] = "5";            // badges 0 and 2
        f[7] = "-2147483648";  // badge 255
        f[8] = "-2147483643";  // their sum
        host.stored = Join(f);
        host.stored.pop_back();  // no final bar: exactly that many parts
        EXPECT_EQ(Load(), "Badges Loaded\n") << parts;
        for (int i = 0; i < 256; ++i) EXPECT_EQ(app->m_BadgeGot[i], i == 0 || i == 2 || i == 255) << parts << " " << i;
        EXPECT_EQ(Values(app->m_Settings[5], app->m_Scores[0]), Values(777, 555));  // not read: the loaded values stay
    }
    // 8 parts are too few for anything.
    host.stored = Repeat("1|", 7);
    EXPECT_EQ(Load(), "");

    // 25 parts hold the settings without their checksum: treated as failing.
    host.stored = Repeat("3|", 24) + "3";
    EXPECT_EQ(Load(), "Settings Checksum Invalid\n");
    EXPECT_EQ(Values(app->m_Settings[5], app->m_Settings[3], app->m_BadgeGot[0], app->m_Scores[0]),
              Values(1, 0, true, 555));  // nothing more was read
}

// ---------------------------------------------------------------- the state file

namespace fs = std::filesystem;

// Saves through the host's own state file, in a folder of the test's own.
class StateFile : public SaveData {
protected:
    GameHost folder;  // not started: only its folder is used
};

TEST_F(StateFile, AnUnwritableStateFileIsReportedOnceAndTheGameGoesOn) {
    host.onDisk = true;
    const auto save = [&] {
        testing::internal::CaptureStdout();
        app->p_Save();
        return testing::internal::GetCapturedStdout();
    };
    fs::create_directory(".quarlostate");  // can't be replaced by a file
    app->m_Score = 500;
    app->m_GameType = 1;
    // The message names the file, wherever the game keeps it.
    EXPECT_EQ(save(), "Settings and scores could not be saved: the state file " +
                          (fs::current_path() / ".quarlostate").string() + " can't be written\n");
    app->p_LoadMenu();
    EXPECT_EQ(Values(save() == "", app->m_Scores[0]), Values(true, 500));  // the game keeps its lists

    // Once saving works again, and fails anew, the player hears of it again.
    fs::remove(".quarlostate");
    EXPECT_EQ(save(), "");
    std::ifstream in(".quarlostate", std::ios::binary);
    const std::vector<std::string> saved = Fields(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_EQ(saved.size(), 98u);
    EXPECT_EQ(saved[35], "500");
    fs::remove(".quarlostate");
    fs::create_directory(".quarlostate");
    EXPECT_NE(save(), "");
}

}  // namespace
