// Checks the sounds in the data folder the build made, as the game's own
// loader decodes them: the effects and the looping level music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host_game.h"
#include "tools/datagen/data_files.h"

namespace fs = std::filesystem;

namespace {

constexpr double kFullScale = 32767;

// The samples of each channel; none unless it decodes as 16-bit audio.
std::vector<std::vector<double>> Load(const std::string& name, int* hertz) {
    int length = 0, channels = 0, format = 0;
    const std::string path = (fs::path(DATA_DIR) / name).string();
    unsigned char* data = OrvGlfwGame().LoadAudioData(String(path.c_str()), &length, &channels, &format, hertz);
    std::vector<std::vector<double>> out(data && format == 2 ? channels : 0);
    for (int i = 0; i < length * static_cast<int>(out.size()); ++i) {
        out[i % channels].push_back(reinterpret_cast<const short*>(data)[i]);
    }
    std::free(data);
    return out;
}

double Peak(const std::vector<double>& x) {
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    return std::max(-*low, *high);
}

// The RMS level of each window of `window` samples, windows `step` apart.
std::vector<double> Levels(const std::vector<double>& x, std::size_t window, std::size_t step) {
    window = std::min(window, x.size());
    std::vector<double> levels;
    for (std::size_t start = 0; start + window <= x.size(); start += step) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i) sum += x[i] * x[i];
        levels.push_back(std::sqrt(sum / static_cast<double>(window)));
    }
    return levels;
}

// Every sound effect: 16-bit mono, with headroom and something to hear
// (the loudest 50 ms), starting and stopping at rest (the first and last
// four samples), or it clicks. (The instrument samples are heard only in
// the build with the music player.)
TEST(Sounds, EffectsAre16BitMonoUnclippedAudibleAndClickFree) {
    for (int slot : kEffectSlots) {
        const std::string name = EffectFile(slot);
        int hertz = 0;
        const auto channels = Load(name, &hertz);
        ASSERT_EQ(channels.size(), 1u) << name << " is not 16-bit mono audio the game can load";
        const std::vector<double>& x = channels[0];
        ASSERT_GE(x.size(), 8u) << name;
        EXPECT_LT(Peak(x), 0.95 * kFullScale) << name << " has no headroom";
        const std::vector<double> levels = Levels(x, hertz / 20, hertz / 80 + 1);
        EXPECT_GT(*std::max_element(levels.begin(), levels.end()), 0.03 * kFullScale) << name << " is nearly silent";
        double edge = 0;
        for (std::size_t i = 0; i < 4; ++i) edge = std::max({edge, std::fabs(x[i]), std::fabs(x.end()[-1 - i])});
        EXPECT_LT(edge, 0.01 * kFullScale) << name << " clicks at its start or end";
    }
}

TEST(Sounds, MusicIsASeamlessLoopOfHalfAMinuteToAMinute) {
    int hertz = 0;
    const auto channels = Load(kLevelMusicFile, &hertz);
    ASSERT_FALSE(channels.empty());
    EXPECT_TRUE(channels[0].size() >= 30u * hertz && channels[0].size() <= 60u * hertz) << channels[0].size();
    for (const std::vector<double>& x : channels) {
        EXPECT_LT(Peak(x), kFullScale) << "clipped";
        // Something plays all the way through: no silent stretch of two seconds.
        const std::vector<double> levels = Levels(x, 2u * hertz, 2u * hertz);
        EXPECT_GT(*std::min_element(levels.begin(), levels.end()), 0.02 * kFullScale);
        // Played end to start, the jump from the last sample to the first is
        // no bigger than the ordinary steps of the music.
        std::vector<double> steps;
        for (std::size_t i = 1; i < x.size(); ++i) steps.push_back(std::fabs(x[i] - x[i - 1]));
        std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() * 99 / 100), steps.end());
        EXPECT_LE(std::fabs(x.back() - x.front()), steps[steps.size() * 99 / 100]) << "the loop clicks";
    }
}

}  // namespace
