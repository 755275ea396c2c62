// Runs the data generator once and checks its sounds, as the game's own
// loader decodes them: the effects, the looping level music, and the music
// player's tune images and instrument samples.
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host/host_game.h"

namespace fs = std::filesystem;

// The host library asks the program for these; the loader needs neither.
void orvInit() {}
int orvMain() { return 0; }

namespace {

constexpr double kFullScale = 32767;

struct Audio {
    bool loaded = false;
    int length = 0, channels = 0, format = 0, hertz = 0;
    std::vector<short> samples;  // interleaved

    double Seconds() const { return hertz ? static_cast<double>(length) / hertz : 0; }
    std::vector<double> Channel(int c) const {
        std::vector<double> out;
        for (int i = 0; i < length; ++i) out.push_back(samples[static_cast<std::size_t>(i * channels + c)]);
        return out;
    }
};

double Peak(const std::vector<double>& x) {
    double peak = 0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    return peak;
}

// RMS of the loudest 50 ms: how loud a short effect sounds.
double Loudness(const std::vector<double>& x, int hertz) {
    const std::size_t window = std::min<std::size_t>(x.size(), static_cast<std::size_t>(hertz / 20));
    double best = 0;
    for (std::size_t start = 0; start + window <= x.size(); start += window / 4 + 1) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i) sum += x[i] * x[i];
        best = std::max(best, sum / static_cast<double>(window));
    }
    return std::sqrt(best);
}

// The largest level among the first and last few samples: a sound that
// starts or stops away from rest clicks.
double EdgeLevel(const std::vector<double>& x) {
    double edge = 0;
    for (std::size_t i = 0; i < 4 && i < x.size(); ++i) {
        edge = std::max({edge, std::fabs(x[i]), std::fabs(x[x.size() - 1 - i])});
    }
    return edge;
}

double CrossingsPerSecond(const std::vector<double>& x, int hertz) {
    int crossings = 0;
    for (std::size_t i = 1; i < x.size(); ++i) crossings += (x[i - 1] < 0) != (x[i] < 0);
    return crossings * static_cast<double>(hertz) / static_cast<double>(x.size());
}

double LargestStep(const std::vector<double>& x) {
    double step = 0;
    for (std::size_t i = 1; i < x.size(); ++i) step = std::max(step, std::fabs(x[i] - x[i - 1]));
    return step;
}

// The shortest lag at which the wave repeats itself (normalised correlation
// above 0.9, at a peak), or 0.
int Period(const std::vector<double>& x) {
    auto correlation = [&](std::size_t lag) {
        double xy = 0, xx = 0, yy = 0;
        for (std::size_t i = 0; i + lag < x.size(); ++i) {
            xy += x[i] * x[i + lag];
            xx += x[i] * x[i];
            yy += x[i + lag] * x[i + lag];
        }
        return xy / std::sqrt(xx * yy);
    };
    double before = correlation(19), here = correlation(20);
    for (std::size_t lag = 20; lag < 2000 && lag < x.size() / 2; ++lag) {
        const double after = correlation(lag + 1);
        if (here > 0.9 && here >= before && here >= after) return static_cast<int>(lag);
        before = here;
        here = after;
    }
    return 0;
}

std::string Slot(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "sfx/%03d.wav", n);
    return name;
}

class SoundsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The data folder the build made is what the game loads: check that.
        dir_ = new fs::path(DATA_DIR);
    }
    static void TearDownTestSuite() { delete dir_; }

    static Audio Load(const std::string& name) {
        Audio a;
        OrvGlfwGame host;
        unsigned char* data =
            host.LoadAudioData(String((*dir_ / name).string().c_str()), &a.length, &a.channels, &a.format, &a.hertz);
        if (!data) return a;
        a.loaded = a.format == 2;
        if (a.loaded) {
            const short* s = reinterpret_cast<const short*>(data);
            a.samples.assign(s, s + static_cast<std::size_t>(a.length) * a.channels);
        }
        std::free(data);
        return a;
    }

    // A sound the game plays as a short mono effect: 16-bit PCM, starting
    // and ending at rest, with headroom and something to hear.
    static std::vector<double> LoadEffect(const std::string& name) {
        const Audio a = Load(name);
        EXPECT_TRUE(a.loaded) << name << " is not 16-bit audio the game can load";
        if (!a.loaded) return {};
        EXPECT_EQ(a.channels, 1) << name;
        EXPECT_TRUE(a.hertz == 44100 || a.hertz == 22050) << name << " at " << a.hertz;
        EXPECT_GT(a.Seconds(), 0.02) << name;
        EXPECT_LT(a.Seconds(), 2.0) << name;
        const std::vector<double> x = a.Channel(0);
        EXPECT_LT(Peak(x), 0.95 * kFullScale) << name << " has no headroom";
        EXPECT_GT(Loudness(x, a.hertz), 0.03 * kFullScale) << name << " is nearly silent";
        EXPECT_LT(EdgeLevel(x), 0.01 * kFullScale) << name << " clicks at its start or end";
        return x;
    }

    static fs::path* dir_;
};

fs::path* SoundsTest::dir_ = nullptr;

TEST_F(SoundsTest, EffectsAreCleanAndEquallyLoud) {
    std::vector<int> slots;
    for (int n = 1; n <= 21; ++n) slots.push_back(n);
    slots.insert(slots.end(), {95, 96, 98, 99});
    std::vector<double> loudness;
    for (int n : slots) {
        const std::vector<double> x = LoadEffect(Slot(n));
        loudness.push_back(x.empty() ? 0 : Loudness(x, 44100));
    }
    std::vector<double> sorted = loudness;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_LT(loudness[i], 2 * median) << Slot(slots[i]) << " is much louder than the others";
        EXPECT_GT(loudness[i], median / 2) << Slot(slots[i]) << " is much quieter than the others";
    }
}

// A run of items plays sounds 10, 11, 12 ...: each must ring higher than the
// one before, and the run must climb well over an octave.
TEST_F(SoundsTest, ItemSoundsClimbInPitch) {
    std::vector<double> pitch;
    for (int n = 10; n <= 21; ++n) pitch.push_back(CrossingsPerSecond(LoadEffect(Slot(n)), 44100));
    for (std::size_t i = 1; i < pitch.size(); ++i) EXPECT_GT(pitch[i], pitch[i - 1]) << Slot(10 + int(i));
    EXPECT_GT(pitch.back(), 2 * pitch.front());
}

TEST_F(SoundsTest, MusicIsASeamlessLoopOfHalfAMinuteToAMinute) {
    const Audio a = Load("sfx/Voduzozu.ogg");
    ASSERT_TRUE(a.loaded);
    EXPECT_TRUE(a.channels == 1 || a.channels == 2);
    EXPECT_GE(a.Seconds(), 30);
    EXPECT_LE(a.Seconds(), 60);
    for (int c = 0; c < a.channels; ++c) {
        const std::vector<double> x = a.Channel(c);
        EXPECT_LT(Peak(x), kFullScale) << "clipped, channel " << c;
        // Something plays all the way through: no silent stretch of two seconds.
        const std::size_t window = static_cast<std::size_t>(a.hertz) * 2;
        for (std::size_t start = 0; start + window <= x.size(); start += window) {
            double sum = 0;
            for (std::size_t i = start; i < start + window; ++i) sum += x[i] * x[i];
            EXPECT_GT(std::sqrt(sum / window), 0.02 * kFullScale) << "quiet at " << start / a.hertz << " s";
        }
        // Played end to start, the jump from the last sample to the first is
        // no bigger than the ordinary steps of the music.
        std::vector<double> steps;
        for (std::size_t i = 1; i < x.size(); ++i) steps.push_back(std::fabs(x[i] - x[i - 1]));
        std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() * 99 / 100), steps.end());
        const double usual = steps[steps.size() * 99 / 100];
        EXPECT_LE(std::fabs(x.back() - x.front()), usual) << "the loop clicks, channel " << c;
    }
}

// Melodic samples loop for as long as a note lasts: each must start on a
// zero crossing, hold whole periods of one pitch class shared by all (so
// that note 13 is the same note on every instrument), and lead from its
// last sample smoothly back to its first.
TEST_F(SoundsTest, InstrumentsLoopCleanlyAtOneSharedPitch) {
    const Audio lead = Load("inst/lead1.wav");
    ASSERT_TRUE(lead.loaded);
    const int base = Period(lead.Channel(0));
    ASSERT_GT(base, 0);
    for (const char* name :
         {"lead1", "lead2", "lead3", "accompany1", "accompany2", "accompany3", "bass1", "bass2", "bass3", "bass4"}) {
        const std::string file = std::string("inst/") + name + ".wav";
        const Audio a = Load(file);
        ASSERT_TRUE(a.loaded) << file;
        EXPECT_EQ(a.channels, 1) << file;
        const std::vector<double> x = a.Channel(0);
        EXPECT_GT(a.Seconds(), 0.05) << file;
        EXPECT_LT(Peak(x), 0.95 * kFullScale) << file;
        EXPECT_GT(Loudness(x, a.hertz), 0.1 * kFullScale) << file;
        EXPECT_LT(std::fabs(x.front()), 0.01 * kFullScale) << file << " does not start at a zero crossing";
        EXPECT_LE(std::fabs(x.back() - x.front()), LargestStep(x)) << file << " jumps where it loops";
        const int period = Period(x);
        ASSERT_GT(period, 0) << file << " has no steady pitch";
        EXPECT_TRUE(period == base || period == 2 * base || period == 4 * base)
            << file << " repeats every " << period << " samples, lead1 every " << base;
        EXPECT_EQ(a.length % period, 0) << file << " does not hold whole periods";
    }
}

// The eight drums of every kit are clean one-shots, and each note value
// picks the drum it names: kick below snare below hat, low tom below high.
TEST_F(SoundsTest, DrumKitsHoldTheEightDrumsInOrder) {
    for (int kit = 1; kit <= 4; ++kit) {
        std::vector<double> brightness(9);
        for (int drum = 1; drum <= 8; ++drum) {
            const std::string file = "inst/d" + std::to_string(kit) + "-" + std::to_string(drum) + ".wav";
            brightness[static_cast<std::size_t>(drum)] = CrossingsPerSecond(LoadEffect(file), 44100);
        }
        EXPECT_LT(brightness[1], brightness[2]) << "kit " << kit << ": kick and snare";
        EXPECT_LT(brightness[2], brightness[3]) << "kit " << kit << ": snare and hat";
        EXPECT_LT(brightness[5], brightness[6]) << "kit " << kit << ": low and high tom";
    }
}

// The tunes as the player decodes them: 64 frames of 64 x 64, a cell being
// the blue channel over black shifted right by three.
TEST_F(SoundsTest, TuneImagesScoreEveryVoiceInKey) {
    const std::set<int> drums = {13, 15, 17, 18, 20, 22, 24, 25};
    for (const char* tune :
         {"tunes/Pasture Run/Tune_12.png", "tunes/Retro/Cavern Digger.png", "tunes/Retro/Hopper.png"}) {
        int w = 0, h = 0, channels = 0;
        unsigned char* rgba = stbi_load((*dir_ / tune).string().c_str(), &w, &h, &channels, 4);
        ASSERT_NE(rgba, nullptr) << tune;
        const std::vector<unsigned char> px(rgba, rgba + w * h * 4);
        stbi_image_free(rgba);
        ASSERT_EQ(w, 512) << tune;
        ASSERT_EQ(h, 512) << tune;
        auto cell = [&](int frame, int voice, int step, int k) {
            const int x = frame % 8 * 64 + voice * 8 + k, y = frame / 8 * 64 + step;
            const unsigned char* p = &px[static_cast<std::size_t>((y * w + x) * 4)];
            return p[2] * p[3] / 255 >> 3;
        };
        for (std::size_t i = 0; i < px.size(); i += 4) {
            // Opaque or clear, on the value grid: nothing blends into a neighbouring value.
            ASSERT_TRUE(px[i + 3] == 0 || px[i + 3] == 255) << tune;
            ASSERT_EQ(px[i + 2] % 8, 0) << tune;
        }

        std::set<int> pitch_classes;
        for (int voice = 0; voice < 8; ++voice) {
            int patterns = 0;  // leading patterns with notes
            for (int frame = 0; frame < 64; ++frame) {
                bool notes = false, any = false;
                for (int step = 0; step < 64; ++step) {
                    for (int k = 0; k < 8; ++k) any |= cell(frame, voice, step, k) != 0;
                    const int note = cell(frame, voice, step, 0), volume = cell(frame, voice, step, 1);
                    if (note == 0) continue;
                    notes = true;
                    EXPECT_TRUE(volume >= 1 && volume <= 30)
                        << tune << " voice " << voice << " frame " << frame << " step " << step << ": no volume";
                    if (voice < 2) {
                        EXPECT_EQ(drums.count(note), 1u) << tune << " voice " << voice << ": no drum " << note;
                    } else {
                        pitch_classes.insert((note - 13 + 120) % 12);
                    }
                }
                if (notes && patterns == frame) ++patterns;
                if (voice >= 5 || frame == 63) {
                    EXPECT_FALSE(any) << tune << " voice " << voice << " frame " << frame;
                }
                // The player picks any pattern up to the last one with data: none may be a hole.
                if (voice < 5 && any) {
                    EXPECT_EQ(patterns, frame + 1) << tune << " voice " << voice;
                }
            }
            if (voice < 5) {
                EXPECT_GE(patterns, 2) << tune << " voice " << voice << " needs several patterns";
            }
        }
        // In key: all melodic notes fit one major scale.
        bool in_key = false;
        for (int tonic = 0; tonic < 12 && !in_key; ++tonic) {
            in_key = std::all_of(pitch_classes.begin(), pitch_classes.end(), [&](int pc) {
                const int degree = (pc - tonic + 12) % 12;
                return degree != 1 && degree != 3 && degree != 6 && degree != 8 && degree != 10;
            });
        }
        EXPECT_TRUE(in_key) << tune;
    }
}

}  // namespace
