// The music player's tunes. A tune is a 512 x 512 image of 64 frames of
// 64 x 64 (an 8 x 8 grid, frames left to right, then down): frame f is
// pattern f, its rows are the 64 steps, and voice v owns columns 8v .. 8v+7,
// of which the first four are note, volume, effect and effect parameter.
// A cell's value is its pixel's blue channel shifted right by three, so
// pixels are opaque with blue = value * 8 (and grey, to be readable), and
// empty cells are left transparent.
//
// The player gives each voice a randomly chosen pattern every few bars and
// transposes the melodic voices by a chord letter per bar, so every pattern
// of a tune follows the same chord sequence (one chord per 16 steps) and
// fits every pattern of the other voices.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/datagen/data_files.h"
#include "tools/datagen/image.h"
#include "tools/datagen/player_pitch.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/synth.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSteps = 64;
constexpr int kMeasure = 16;  // steps a chord lasts
constexpr int kFrameSize = 64;
constexpr int kFramesPerRow = 8;
constexpr int kImageSize = kFrameSize * kFramesPerRow;

enum Voice { kDrumsA, kDrumsB, kLead, kAccompany, kBass };

// Cell values the player understands.
constexpr int kSilence = 31;  // volume: cut the voice at once

struct Cell {
    int note = 0, volume = 0;
};
using Pattern = std::vector<Cell>;  // 64 steps

// A drum pattern as letters, one a step: k kick, s snare, h closed hat,
// o open hat, t low tom, T high tom, c crash, x clap (or the kit's eighth
// drum); '.' nothing.
Pattern Drums(const std::string& text) {
    if (text.size() != kSteps) throw std::runtime_error("a drum pattern is not 64 steps");
    Pattern p(kSteps);
    for (int s = 0; s < kSteps; ++s) {
        Cell& c = p[s];
        switch (text[s]) {
            case '.':
                continue;
            case 'k':
                c = {13, 28};
                break;
            case 's':
                c = {15, 26};
                break;
            // Hats on the beat a little louder, for a lilt.
            case 'h':
                c = {17, s % 4 == 0 ? 19 : 14};
                break;
            case 'o':
                c = {18, 17};
                break;
            case 't':
                c = {20, 24};
                break;
            case 'T':
                c = {22, 24};
                break;
            case 'c':
                c = {24, 22};
                break;
            case 'x':
                c = {25, 22};
                break;
            default:
                throw std::runtime_error(std::string("unknown drum '") + text[s] + "'");
        }
    }
    return p;
}

// A note number of a melodic voice whose sample sounds `base` at note 13.
int PlayerNote(int note, int base) {
    const int n = note - base + kPlayerBaseNote;
    if (n < 1 || n > 31) throw std::runtime_error("note out of the player's range");
    return n;
}

// A melody line of 64 steps; every note carries its volume, and a rest cuts
// the note before it.
Pattern Melody(const std::string& text, int base, int volume) {
    std::string flat = text;
    std::replace(flat.begin(), flat.end(), '|', ' ');
    const std::vector<synth::NoteEvent> events = synth::ParseMelody(flat);
    if (synth::MelodySteps(events) != kSteps) throw std::runtime_error("a melody is not 64 steps");
    Pattern p(kSteps);
    for (const synth::NoteEvent& e : events) {
        p[e.step] = e.note < 0 ? Cell{0, kSilence} : Cell{PlayerNote(e.note, base), volume};
    }
    return p;
}

// Chord tones from `low` up: [0] root, [1] third, [2] fifth, [3] root an
// octave up.
std::vector<int> Tones(const synth::Chord& c, int low) {
    const int root = synth::NoteAtOrAbove(c.root, low);
    return {root, root + (c.minor ? 3 : 4), root + 7, root + 12};
}

// A line made from the chords: in every measure, at each step of `at`, the
// chord tone of the same index (0 root, 1 third, 2 fifth, 3 octave; -1 a
// rest). A note lasts until the next one.
struct Figure {
    std::vector<int> at, tone;
};

Pattern FromChords(const std::vector<synth::Chord>& chords, const Figure& f, int low, int base, int volume) {
    Pattern p(kSteps);
    for (int m = 0; m < kSteps / kMeasure; ++m) {
        const std::vector<int> tones = Tones(chords[m % chords.size()], low);
        for (std::size_t i = 0; i < f.at.size(); ++i) {
            Cell& c = p[m * kMeasure + f.at[i]];
            c = f.tone[i] < 0 ? Cell{0, kSilence} : Cell{PlayerNote(tones[f.tone[i]], base), volume};
        }
    }
    return p;
}

// Accompaniment figures, voiced from G3 up.
const Figure kBroken = {{0, 2, 4, 6, 8, 10, 12, 14}, {0, 1, 2, 1, 3, 2, 1, 2}};
const Figure kOffbeat = {{2, 4, 6, 8, 10, 12, 14}, {1, -1, 2, -1, 1, -1, 3}};
const Figure kRipple = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                        {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3}};
const Figure kStabs = {{0, 2, 3, 6, 8, 10, 11, 14}, {2, -1, 2, 3, -1, 1, 2, -1}};
// Bass figures, from E2 up.
const Figure kOctaves = {{0, 2, 4, 6, 8, 10, 12, 14}, {0, 3, 0, 3, 0, 3, 0, 3}};
const Figure kDrive = {{0, 3, 6, 8, 10, 12, 14}, {0, 0, 0, 2, 3, 2, 0}};
const Figure kWalk = {{0, 4, 8, 12}, {0, 1, 2, 3}};
const Figure kPedal = {{0, 6, 8, 12, 14}, {0, 0, 2, 3, -1}};

constexpr int kLowAccompany = 55;  // G3
constexpr int kLowBass = 40;       // E2

struct TuneDef {
    const char* file;
    std::vector<const char*> chords;  // one per measure
    std::vector<std::string> drums_a, drums_b, lead;
    std::vector<const Figure*> accompany, bass;
};

std::string Repeat(const std::string& measure, const std::string& last) { return measure + measure + measure + last; }

std::vector<TuneDef> Tunes() {
    return {
        {"Pasture Run/Tune_12.png",
         {"C", "Am", "F", "G"},
         {Repeat("k...s...k.k.s...", "k...s...k.k.s.ss"), Repeat("k.....k.s.......", "k.....k.s...s.ss"),
          Repeat("k...x...k...x...", "k...x...k.x.xxxx")},
         {Repeat("h.h.h.h.h.h.h.h.", "h.h.h.h.h.h.h.o."), Repeat("h.o.h.o.h.o.h.o.", "h.o.h.o.h.o.o.o."),
          "chhhhhhhhhhhhhhh" + Repeat("hhhhhhhhhhhhhhhh", "hhhhhhhhhhhho...").substr(16)},
         {"e5:2 g5:2 c6:4 b5:2 c6:2 g5:4 | a5:2 c6:2 e6:4 d6:2 c6:2 a5:4 |"
          "f5:2 a5:2 c6:4 d6:2 c6:2 a5:2 f5:2 | g5:2 b5:2 d6:2 f6:2 e6:2 d6:2 b5:2 r:2",
          "c6:6 b5:2 g5:4 e5:4 | e5:6 a5:2 c6:4 r:4 | a5:6 g5:2 f5:4 a5:4 | g5:6 a5:2 b5:2 d6:2 r:4",
          "c5:1 d5:1 e5:2 g5:2 e5:2 c5:2 d5:2 e5:2 g5:2 | a4:2 c5:2 e5:2 a5:2 g5:2 e5:2 c5:2 e5:2 |"
          "f5:2 e5:2 c5:2 a4:2 c5:2 f5:2 a5:4 | g5:2 f5:2 d5:2 b4:2 d5:1 e5:1 d5:2 b4:2 g4:2",
          "g5:3 g5:3 e5:2 g5:2 c6:2 r:4 | a5:3 a5:3 e5:2 a5:2 c6:2 r:4 |"
          "c6:3 c6:3 a5:2 c6:2 f6:2 e6:2 c6:2 | d6:3 b5:3 g5:2 b5:2 d6:2 f6:4"},
         {&kBroken, &kOffbeat, &kRipple},
         {&kOctaves, &kDrive, &kWalk}},
        {"Retro/Cavern Digger.png",
         {"Cm", "Ab", "Eb", "Bb"},
         {Repeat("k.k...s...k...s.", "k.k...s...k.s.ss"), Repeat("k.......s.......", "k.......s...t.TT"),
          Repeat("k...s...k...s...", "k...s...k.ssTTtt")},
         {Repeat("h.h.h.h.h.h.h.h.", "h.h.h.h.h.h.o..."), Repeat("..o...o...o...o.", "..o...o...o.o.o."),
          Repeat("h.hhh.hhh.hhh.hh", "h.hhh.hhh.hhc...")},
         {"c5:2 eb5:2 g5:2 c6:4 bb5:2 g5:2 eb5:2 | ab5:2 c6:2 eb6:4 c6:2 ab5:2 g5:2 ab5:2 |"
          "g5:2 bb5:2 eb6:4 d6:2 bb5:2 g5:4 | f5:2 bb5:2 d6:4 c6:2 bb5:2 f5:4",
          "g5:8 f5:4 eb5:4 | c5:8 eb5:4 f5:4 | g5:8 bb5:4 g5:4 | f5:8 d5:4 bb4:4",
          "g4:1 c5:1 eb5:1 g5:1 c6:2 g5:2 eb5:2 c5:2 eb5:2 g5:2 |"
          "ab4:1 c5:1 eb5:1 ab5:1 c6:2 ab5:2 eb5:2 c5:2 eb5:2 ab5:2 |"
          "g4:1 bb4:1 eb5:1 g5:1 bb5:2 g5:2 eb5:2 bb4:2 eb5:2 g5:2 |"
          "f4:1 bb4:1 d5:1 f5:1 bb5:2 f5:2 d5:2 bb4:2 d5:2 f5:2",
          "c6:2 c6:1 c6:1 bb5:2 c6:2 r:2 g5:2 bb5:2 c6:2 | c6:2 c6:1 c6:1 bb5:2 ab5:2 r:2 eb5:2 ab5:2 c6:2 |"
          "bb5:2 bb5:1 bb5:1 g5:2 bb5:2 r:2 eb6:2 d6:2 bb5:2 | d6:2 d6:1 d6:1 c6:2 bb5:2 r:2 f5:2 g5:2 bb5:2"},
         {&kStabs, &kBroken, &kRipple},
         {&kDrive, &kOctaves, &kPedal}},
        {"Retro/Hopper.png",
         {"C", "F", "C", "G"},
         {Repeat("k...s..kk...s...", "k...s..kk...ssss"), Repeat("k..k..s.k..k..s.", "k..k..s.k.s.s.ss"),
          Repeat("k.s.k.s.k.s.k.s.", "k.s.k.s.k.s.ssss")},
         {Repeat("h.h.h.h.h.h.h.h.", "h.h.h.h.h.h.o.o."), Repeat("hhh.hhh.hhh.hhh.", "hhh.hhh.hhh.o..."),
          "c...o.h.o.h.o.h." + Repeat("o.h.o.h.o.h.o.h.", "o.h.o.h.o.h.o.h.").substr(16)},
         {"c5:1 r:1 c6:1 r:1 g5:2 e5:2 c5:1 r:1 c6:1 r:1 g5:2 e6:2 |"
          "f5:1 r:1 f6:1 r:1 c6:2 a5:2 f5:1 r:1 a5:1 r:1 c6:2 f6:2 |"
          "e5:1 r:1 e6:1 r:1 c6:2 g5:2 e5:1 r:1 g5:1 r:1 c6:2 e6:2 |"
          "d6:2 b5:2 g5:2 b5:2 d6:2 f6:2 d6:2 b5:2",
          "e6:4 d6:2 c6:2 g5:4 c6:4 | a5:4 c6:2 f6:2 f6:4 c6:4 | g5:4 e6:2 d6:2 c6:4 e6:4 |"
          "d6:4 b5:2 g5:2 a5:2 b5:2 d6:4",
          "g5:1 e5:1 c5:2 r:2 g5:1 e5:1 c5:2 r:2 e5:2 g5:2 | a5:1 f5:1 c5:2 r:2 a5:1 f5:1 c5:2 r:2 f5:2 a5:2 |"
          "g5:1 e5:1 c5:2 r:2 g5:1 e5:1 c5:2 r:2 c6:2 g5:2 | b5:1 g5:1 d5:2 r:2 b5:1 g5:1 d5:2 r:2 f5:2 b5:2",
          "c6:2 r:2 c6:2 d6:2 e6:2 r:2 c6:4 | f6:2 r:2 f6:2 e6:2 c6:2 r:2 a5:4 |"
          "e6:2 r:2 e6:2 d6:2 c6:2 r:2 g5:4 | d6:2 r:2 b5:2 c6:2 d6:2 f6:2 d6:4"},
         {&kOffbeat, &kBroken, &kStabs},
         {&kOctaves, &kWalk, &kDrive}},
    };
}

void PutPattern(Image& image, int frame, int voice, const Pattern& p) {
    const int x0 = (frame % kFramesPerRow) * kFrameSize + voice * 8;
    const int y0 = (frame / kFramesPerRow) * kFrameSize;
    for (int s = 0; s < kSteps; ++s) {
        const int values[] = {p[s].note, p[s].volume};
        for (int k = 0; k < 2; ++k) {
            if (values[k] == 0) continue;
            const auto v = static_cast<std::uint8_t>(values[k] << 3);
            image.Set(x0 + k, y0 + s, {v, v, v, 255});
        }
    }
}

}  // namespace

void WriteTunes(const fs::path& dir) {
    const std::vector<TuneDef> tunes = Tunes();
    for (const TuneDef* listed : ListedRecipes(tunes, kTuneFiles, [](const TuneDef& t) { return std::string(t.file); })) {
        const TuneDef& tune = *listed;
        std::vector<synth::Chord> chords;
        for (const char* c : tune.chords) chords.push_back(synth::ParseChord(c));
        Image image(kImageSize, kImageSize);
        for (std::size_t i = 0; i < tune.drums_a.size(); ++i) {
            PutPattern(image, static_cast<int>(i), kDrumsA, Drums(tune.drums_a[i]));
        }
        for (std::size_t i = 0; i < tune.drums_b.size(); ++i) {
            PutPattern(image, static_cast<int>(i), kDrumsB, Drums(tune.drums_b[i]));
        }
        for (std::size_t i = 0; i < tune.lead.size(); ++i) {
            PutPattern(image, static_cast<int>(i), kLead, Melody(tune.lead[i], kLeadNote, 24));
        }
        for (std::size_t i = 0; i < tune.accompany.size(); ++i) {
            // The running figure is busier, so it sits lower.
            const int volume = tune.accompany[i] == &kRipple ? 13 : 16;
            PutPattern(image, static_cast<int>(i), kAccompany,
                       FromChords(chords, *tune.accompany[i], kLowAccompany, kAccompanyNote, volume));
        }
        for (std::size_t i = 0; i < tune.bass.size(); ++i) {
            PutPattern(image, static_cast<int>(i), kBass, FromChords(chords, *tune.bass[i], kLowBass, kBassNote, 26));
        }
        const fs::path path = dir / TuneFile(tune.file);
        fs::create_directories(path.parent_path());
        WritePng(path, image);
    }
}
