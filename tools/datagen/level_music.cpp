// The level music: an upbeat chip tune in C major at 150 beats a minute,
// 32 bars in five sections (intro, theme, second theme, breakdown, theme
// again with a harmony and a turnaround). The game loops the decoded file
// end to start, so the whole piece is rendered as a circle: every note,
// echo and cymbal tail that runs past the end continues at the beginning,
// and the turnaround leads back into the intro.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/datagen/audio_files.h"
#include "tools/datagen/data_files.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/synth.h"

namespace fs = std::filesystem;
using synth::Samples;
using synth::Tone;
using synth::Wave;

namespace {

constexpr int kStepsPerBar = 16;
constexpr double kStep = 0.1;  // a sixteenth at 150 beats a minute, 4410 samples
constexpr double kPeak = 0.8;  // headroom for the encoder's overshoot

// The notes of a triad as pitch classes.
std::vector<int> PitchClasses(const synth::Chord& c) {
    return {c.root, (c.root + (c.minor ? 3 : 4)) % 12, (c.root + 7) % 12};
}

// Moves a note of C major by whole scale degrees (negative: down).
int Diatonic(int note, int degrees) {
    static const int kScale[] = {0, 2, 4, 5, 7, 9, 11};
    const int octave = note / 12, pc = note % 12;
    const int* found = std::find(std::begin(kScale), std::end(kScale), pc);
    if (found == std::end(kScale)) throw std::runtime_error("note outside the key");
    const int index = static_cast<int>(found - kScale) + degrees + 70;  // kept positive
    return (octave + index / 7 - 10) * 12 + kScale[index % 7];
}

// One drum pattern bar: a row per drum, '.' silent; in the extra row the
// letter names the drum, elsewhere 'X' is an accent and 'g' a ghost note.
struct Groove {
    const char* kick;
    const char* snare;
    const char* hats;   // 'x' closed, 'o' open
    const char* extra;  // toms: 't' 'm' 'T' low, middle and high
};

const Groove kIntroLight = {"x.......x.......", "................", "x.x.x.x.x.x.x.x.", "................"};
const Groove kMain = {"x...x...x.x.....", "....X.......X...", "x.x.x.x.x.x.x.o.", "................"};
const Groove kMainFill = {"x...x...x.x.....", "....X.......X.gX", "x.x.x.x.x.x.x...", "................"};
const Groove kMainToms = {"x.......x.......", "....X...........", "x.x.x.x.x.......", "............TTmt"};
const Groove kDrive = {"x...x...x...x...", "....X.......X...", "x.o.x.o.x.o.x.o.", "................"};
const Groove kDriveFill = {"x...x...x...x...", "....X.......XgXX", "x.o.x.o.x.o.....", "................"};
const Groove kBreak = {"x.........x.....", "................", "..x...x...x...x.", "................"};
const Groove kBuild = {"x.......x.......", "g.g.g.g.xgxgXXXX", "..x...x.........", "................"};
const Groove kTurn = {"x.......x.......", "....X...X.X.....", "x.x.x.x.........", "............TTmt"};

enum class Bass { kOctave, kDrive, kLong };
enum class Arp { kOffbeat, kSyncopated, kBroken };

struct Section {
    std::string chords;  // one per bar; "F-G" splits a bar
    std::string lead;    // bars separated by '|'
    double lead_volume;
    bool soft_lead;  // the breakdown's flute voice
    bool harmony;    // a second voice a third below the lead
    Bass bass;
    Arp arp;
    std::vector<const Groove*> drums;  // one per bar
    bool crash;                        // a crash on the first beat
};

const char* const kTheme =
    "e5:2 g5:2 c6:3 b5:1 c6:2 g5:2 e5:2 g5:2 | d6:3 c6:1 b5:2 g5:2 d5:4 r:2 g5:2 |"
    "c6:2 b5:2 a5:2 e5:2 a5:3 b5:1 c6:2 e6:2 | f6:4 e6:2 d6:2 c6:4 a5:2 c6:2 |"
    "e5:2 g5:2 c6:3 b5:1 c6:2 g5:2 e6:2 d6:2 | d6:3 e6:1 d6:2 b5:2 g5:4 a5:2 b5:2 |"
    "c6:2 a5:2 f5:2 a5:2 b5:2 d6:2 g6:2 f6:2 |";

std::vector<Section> Song() {
    return {
        {"C C F G",
         "r:16 | r:16 | c6:2 r:2 c6:2 r:2 a5:2 c6:2 r:2 f5:2 | g5:2 r:2 g5:2 r:2 b5:2 d6:2 r:2 g5:2",
         0.7,
         false,
         false,
         Bass::kOctave,
         Arp::kOffbeat,
         {&kIntroLight, &kIntroLight, &kMain, &kMainFill},
         true},
        {"C G Am F C G F-G C",
         std::string(kTheme) + "e6:3 d6:1 c6:2 g5:2 c6:8",
         1,
         false,
         false,
         Bass::kOctave,
         Arp::kOffbeat,
         {&kMain, &kMain, &kMain, &kMainFill, &kMain, &kMain, &kMain, &kMainToms},
         true},
        {"F G Em Am F G Am G",
         "a5:3 a5:3 g5:2 a5:2 c6:2 r:2 f5:2 | b5:3 b5:3 a5:2 b5:2 d6:2 r:2 g5:2 |"
         "g5:3 g5:3 e5:2 g5:2 b5:2 r:2 e6:2 | c6:6 b5:2 a5:4 e5:4 |"
         "a5:3 a5:3 g5:2 a5:2 c6:2 f6:2 e6:2 | d6:3 d6:3 c6:2 b5:2 g5:2 b5:2 d6:2 |"
         "e6:4 c6:2 a5:2 e6:2 f6:2 e6:2 c6:2 | d6:8 b5:2 c6:2 d6:2 g5:2",
         1,
         false,
         false,
         Bass::kDrive,
         Arp::kSyncopated,
         {&kDrive, &kDrive, &kDrive, &kDriveFill, &kDrive, &kDrive, &kDrive, &kDriveFill},
         true},
        {"Am F C G",
         "a5:6 e5:2 a5:4 c6:4 | c6:6 a5:2 f5:8 | g5:6 e5:2 g5:4 c6:4 | d6:8 b5:4 g5:4",
         0.9,
         true,
         false,
         Bass::kLong,
         Arp::kBroken,
         {&kBreak, &kBreak, &kBreak, &kBuild},
         true},
        {"C G Am F C G F-G G",
         std::string(kTheme) + "d6:2 b5:2 g5:2 b5:2 d6:2 g6:2 f6:2 d6:2",
         1,
         false,
         true,
         Bass::kOctave,
         Arp::kOffbeat,
         {&kMain, &kMain, &kMain, &kMainFill, &kMain, &kMain, &kMain, &kTurn},
         true},
    };
}

// The tracks of the mix, each a full loop of mono samples.
struct Tracks {
    explicit Tracks(std::size_t n)
        : lead(n), harmony(n), arp(n), bass(n), kick(n), snare(n), hats(n), cymbal(n), toms(n) {}
    Samples lead, harmony, arp, bass, kick, snare, hats, cymbal, toms;
};

void Put(Samples& track, int step, const Tone& tone, double gain = 1) {
    synth::Add(track, step * kStep, tone, gain, true);
}

void Melody(Tracks& t, const Section& s, int first_step) {
    const std::string& text = s.lead;
    int bar_start = first_step;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('|', at), text.size());
        const std::vector<synth::NoteEvent> bar = synth::ParseMelody(text.substr(at, end - at));
        at = end + 1;
        if (bar.empty()) continue;
        if (synth::MelodySteps(bar) != kStepsPerBar) throw std::runtime_error("a bar of the lead is not 16 steps");
        for (const synth::NoteEvent& e : bar) {
            if (e.note < 0) continue;
            Tone tone;
            tone.length = e.steps * kStep - 0.012;
            tone.attack = 0.004;
            tone.release = 0.03;
            if (s.soft_lead) {
                tone.wave = Wave::kTriangle;
                tone.decay = 0.5;
                tone.sustain = 0.5;
                tone.vibratoHz = 5;
                tone.vibratoCents = 12;
                tone.vibratoDelay = 0.15;
            } else {
                tone.wave = Wave::kPulse;
                tone.duty = 0.25;
                tone.decay = 0.3;
                tone.sustain = 0.65;
                tone.vibratoHz = 5.5;
                tone.vibratoCents = 15;
                tone.vibratoDelay = 0.2;
            }
            tone.note = e.note;
            Put(t.lead, bar_start + e.step, tone, s.lead_volume * (s.soft_lead ? 1.5 : 1.0));
            if (s.soft_lead) {
                // A breath of square on top, so the flute speaks in the mix.
                Tone edge = tone;
                edge.wave = Wave::kPulse;
                edge.duty = 0.5;
                Put(t.lead, bar_start + e.step, edge, s.lead_volume * 0.25);
            }
            if (s.harmony) {
                Tone under = tone;
                under.duty = 0.5;
                under.note = Diatonic(e.note, -2);
                Put(t.harmony, bar_start + e.step, under);
            }
        }
        bar_start += kStepsPerBar;
    }
}

// Bass and chords, half a bar at a time: (step, steps, interval above the
// root) in each half.
void Harmony(Tracks& t, const Section& s, int step, const synth::Chord& chord, bool second_half) {
    const int root = synth::NoteAtOrAbove(chord.root, 40);  // E2 .. D#3
    struct Hit {
        int at, steps, offset;
    };
    std::vector<Hit> bass;
    switch (s.bass) {
        case Bass::kOctave:
            bass = {{0, 2, 0}, {2, 2, 12}, {4, 2, 0}, {6, 2, 12}};
            break;
        case Bass::kDrive:
            bass = second_half ? std::vector<Hit>{{0, 2, 7}, {2, 2, 12}, {4, 2, 7}, {6, 2, 0}}
                               : std::vector<Hit>{{0, 3, 0}, {3, 3, 0}, {6, 2, 0}};
            break;
        case Bass::kLong:
            bass = second_half ? std::vector<Hit>{{0, 4, 7}, {4, 4, 12}} : std::vector<Hit>{{0, 6, 0}, {6, 2, 0}};
            break;
    }
    for (const Hit& h : bass) {
        Tone tri;
        tri.wave = Wave::kTriangle;
        tri.note = root + h.offset;
        tri.length = h.steps * kStep - 0.01;
        tri.attack = 0.003;
        tri.decay = 0.25;
        tri.sustain = 0.75;
        tri.release = 0.02;
        Put(t.bass, step + h.at, tri);
        Tone edge = tri;
        edge.wave = Wave::kPulse;
        edge.duty = 0.5;
        edge.lowpass = 1100;
        Put(t.bass, step + h.at, edge, 0.3);
    }

    // The chord, voiced between D4 and C#5.
    std::vector<int> voicing;
    for (int pc : PitchClasses(chord)) voicing.push_back(synth::NoteAtOrAbove(pc, 62));
    std::sort(voicing.begin(), voicing.end());
    std::vector<int> offsets;
    for (int n : voicing) offsets.push_back(n - voicing[0]);
    Tone arp;
    arp.wave = Wave::kPulse;
    arp.duty = 0.125;
    arp.note = voicing[0];
    arp.attack = 0.002;
    arp.release = 0.02;
    switch (s.arp) {
        case Arp::kOffbeat:  // a quick rolled chord on every off-beat
            arp.arp = offsets;
            arp.arp.push_back(12);
            arp.arpHz = 50;
            arp.decay = 0.07;
            arp.sustain = 0.3;
            arp.length = 0.17;
            Put(t.arp, step + 2, arp);
            Put(t.arp, step + 6, arp);
            break;
        case Arp::kSyncopated: {  // held rolled chords in a 3-3-2 rhythm
            arp.arp = offsets;
            arp.arpHz = 50;
            arp.decay = 0.15;
            arp.sustain = 0.45;
            const int at[] = {0, 3, 6}, len[] = {3, 3, 2};
            for (int i = 0; i < 3; ++i) {
                arp.length = len[i] * kStep - 0.015;
                Put(t.arp, step + at[i], arp);
            }
            break;
        }
        case Arp::kBroken: {  // a plain broken chord, one note a step
            const int order[] = {0, 1, 2, 3, 2, 1, 0, 1};
            arp.duty = 0.25;
            arp.decay = 0.08;
            arp.sustain = 0.35;
            arp.length = kStep * 1.6;
            for (int i = 0; i < 8; ++i) {
                arp.note = order[i] == 3 ? voicing[0] + 12 : voicing[static_cast<std::size_t>(order[i])];
                Put(t.arp, step + i, arp, 0.9);
            }
            break;
        }
    }
}

void Drums(Tracks& t, const Groove& g, int step) {
    auto gain = [](char c) { return c == 'X' ? 1.0 : c == 'g' ? 0.4 : 0.8; };
    for (int i = 0; i < kStepsPerBar; ++i) {
        if (g.kick[i] != '.') {
            Tone body;
            body.wave = Wave::kSine;
            body.note = 50;
            body.glide = -26;
            body.glideTime = 0.07;
            body.length = 0.26;
            body.attack = 0.0005;
            body.decay = 0.1;
            body.sustain = 0;
            Put(t.kick, step + i, body, gain(g.kick[i]));
            Tone click;
            click.wave = Wave::kNoise;
            click.note = 120;
            click.length = 0.012;
            click.attack = 0.0005;
            click.decay = 0.004;
            click.sustain = 0;
            click.highpass = 1500;
            Put(t.kick, step + i, click, 0.25 * gain(g.kick[i]));
        }
        if (g.snare[i] != '.') {
            Tone noise;
            noise.wave = Wave::kNoise;
            noise.note = 124;
            noise.length = 0.2;
            noise.attack = 0.0005;
            noise.decay = 0.065;
            noise.sustain = 0;
            noise.highpass = 400;
            Put(t.snare, step + i, noise, gain(g.snare[i]));
            Tone body;
            body.wave = Wave::kTriangle;
            body.note = 55;
            body.glide = -6;
            body.length = 0.12;
            body.attack = 0.0005;
            body.decay = 0.045;
            body.sustain = 0;
            Put(t.snare, step + i, body, 0.7 * gain(g.snare[i]));
        }
        if (g.hats[i] != '.') {
            const bool open = g.hats[i] == 'o';
            Tone hat;
            hat.wave = Wave::kNoise;
            hat.note = 136;
            hat.length = open ? 0.3 : 0.05;
            hat.attack = 0.0005;
            hat.decay = open ? 0.11 : 0.015;
            hat.sustain = 0;
            hat.highpass = open ? 6500 : 7000;
            // Off-beats a little softer than beats, for a lilt.
            Put(t.hats, step + i, hat, open ? 0.9 : (i % 4 == 0 ? 1.0 : 0.7));
        }
        const char x = g.extra[i];
        if (x == 't' || x == 'm' || x == 'T') {
            Tone tom;
            tom.wave = Wave::kTriangle;
            tom.note = x == 't' ? 45 : x == 'm' ? 50 : 55;
            tom.glide = -8;
            tom.length = 0.3;
            tom.attack = 0.0005;
            tom.decay = 0.11;
            tom.sustain = 0;
            Put(t.toms, step + i, tom);
        }
    }
}

void Crash(Tracks& t, int step) {
    Tone wash;
    wash.wave = Wave::kNoise;
    wash.note = 133;
    wash.length = 1.5;
    wash.attack = 0.0005;
    wash.decay = 0.45;
    wash.sustain = 0;
    wash.highpass = 3500;
    Put(t.cymbal, step, wash);
    Tone ring = wash;
    ring.note = 136;
    ring.metallic = true;
    ring.decay = 0.25;
    ring.length = 0.9;
    ring.highpass = 7000;
    Put(t.cymbal, step, ring, 0.3);
}

// Delayed copies of the signal, read around the circle so the echo of the
// last bars sounds over the first.
Samples Echo(const Samples& dry, int delay_steps, double gain) {
    const auto delay = static_cast<std::size_t>(std::lround(delay_steps * kStep * synth::kRate));
    Samples wet(dry.size());
    for (std::size_t i = 0; i < dry.size(); ++i) {
        wet[(i + delay) % dry.size()] = static_cast<float>(dry[i] * gain);
    }
    return wet;
}

// Adds a mono track into the stereo pair at a pan position (-1 left .. +1
// right; the middle keeps full level on both sides).
void Pan(Samples& left, Samples& right, const Samples& track, double gain, double pan) {
    const double l = gain * std::min(1.0, 1 - pan), r = gain * std::min(1.0, 1 + pan);
    for (std::size_t i = 0; i < track.size(); ++i) {
        left[i] += static_cast<float>(track[i] * l);
        right[i] += static_cast<float>(track[i] * r);
    }
}

}  // namespace

void WriteLevelMusic(const fs::path& dir) {
    const std::vector<Section> song = Song();
    int bars = 0;
    for (const Section& s : song) bars += static_cast<int>(s.drums.size());
    const auto length = static_cast<std::size_t>(std::lround(bars * kStepsPerBar * kStep * synth::kRate));
    Tracks t(length);

    int step = 0;
    for (const Section& s : song) {
        Melody(t, s, step);
        std::vector<std::string> chords;
        for (std::size_t at = 0; at < s.chords.size();) {
            const std::size_t end = std::min(s.chords.find(' ', at), s.chords.size());
            chords.push_back(s.chords.substr(at, end - at));
            at = end + 1;
        }
        if (chords.size() != s.drums.size()) throw std::runtime_error("chords and drums disagree in length");
        if (s.crash) Crash(t, step);
        for (std::size_t bar = 0; bar < chords.size(); ++bar) {
            const std::string& c = chords[bar];
            const std::size_t split = c.find('-');
            const synth::Chord first = synth::ParseChord(c.substr(0, split));
            const synth::Chord second = split == std::string::npos ? first : synth::ParseChord(c.substr(split + 1));
            Harmony(t, s, step, first, false);
            Harmony(t, s, step + kStepsPerBar / 2, second, true);
            Drums(t, *s.drums[bar], step);
            step += kStepsPerBar;
        }
    }

    Samples left(length), right(length);
    Pan(left, right, t.lead, 0.26, 0.0);
    Pan(left, right, Echo(t.lead, 3, 0.3), 0.26, 0.6);
    Pan(left, right, Echo(t.lead, 6, 0.15), 0.26, -0.6);
    Pan(left, right, t.harmony, 0.15, -0.35);
    Pan(left, right, t.arp, 0.14, 0.4);
    Pan(left, right, Echo(t.arp, 3, 0.35), 0.14, -0.4);
    Pan(left, right, t.bass, 0.3, 0.0);
    Pan(left, right, t.kick, 0.55, 0.0);
    Pan(left, right, t.snare, 0.28, -0.1);
    Pan(left, right, t.hats, 0.22, 0.35);
    Pan(left, right, t.cymbal, 0.16, -0.3);
    Pan(left, right, t.toms, 0.35, 0.15);

    const double peak = std::max(synth::Peak(left), synth::Peak(right));
    for (std::size_t i = 0; i < length; ++i) {
        left[i] = static_cast<float>(left[i] * kPeak / peak);
        right[i] = static_cast<float>(right[i] * kPeak / peak);
    }
    WriteOgg(dir / kLevelMusicFile, left, right);
}
