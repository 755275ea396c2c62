// The game's sound effects, one per sound slot. Each is a few synthesised
// voices; all are levelled to the same loudness so that none jumps out of
// the mix, and faded at both ends so that they start and stop without a
// click.
#include <cstdio>
#include <functional>
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

constexpr double kLoudness = 0.2;  // loudest 50 ms, RMS
constexpr double kMaxPeak = 0.89;  // about -1 dB: room for the resampler
constexpr double kEdgeFade = 0.003;

Tone Voice(Wave wave, double note, double length) {
    Tone t;
    t.wave = wave;
    t.note = note;
    t.length = length;
    return t;
}

Tone Pulse(double note, double length, double duty = 0.25) {
    Tone t = Voice(Wave::kPulse, note, length);
    t.duty = duty;
    return t;
}

// Plays a melody line with the given voice, `step` seconds a step, each note
// `overlap` times its written length (above 1 lets the releases ring).
void Line(Samples& out, double at, double step, const Tone& voice, const std::string& melody, double overlap = 1.0) {
    for (const synth::NoteEvent& e : synth::ParseMelody(melody)) {
        if (e.note < 0) continue;
        Tone t = voice;
        t.note = e.note;
        t.length = e.steps * step * overlap;
        synth::Add(out, at + e.step * step, t);
    }
}

// Spare: a crisp snip, like shears through a twig.
Samples Snip() {
    Samples s;
    Tone hiss = Voice(Wave::kNoise, 130, 0.07);
    hiss.decay = 0.014;
    hiss.sustain = 0;
    hiss.highpass = 2500;
    synth::Add(s, 0, hiss);
    Tone tick = Pulse(96, 0.05, 0.5);
    tick.glide = -12;
    tick.decay = 0.012;
    tick.sustain = 0;
    synth::Add(s, 0.004, tick, 0.5);
    return s;
}

// Spare: a quick rising "bonus" arpeggio.
Samples Bonus() {
    Samples s;
    Tone lead = Pulse(0, 0, 0.25);
    lead.release = 0.02;
    Line(s, 0, 0.045, lead, "c6:1 e6:1 g6:1 c7:1 e7:1");
    Tone tail = Pulse(96, 0.3, 0.25);
    tail.decay = 0.09;
    tail.sustain = 0;
    tail.release = 0.05;
    synth::Add(s, 0.225, tail);
    Tone low = Voice(Wave::kTriangle, 0, 0);
    Line(s, 0, 0.045, low, "c5:1 e5:1 g5:1 c6:1 e6:1", 1.4);
    return s;
}

// Slot 3: the ball against a hedge; played at random rates around 1.
Samples Bounce() {
    Samples s;
    Tone body = Voice(Wave::kTriangle, 79, 0.09);
    body.glide = -19;
    body.glideTime = 0.06;
    body.decay = 0.03;
    body.sustain = 0;
    synth::Add(s, 0, body);
    Tone edge = Pulse(67, 0.05, 0.5);
    edge.glide = -12;
    edge.decay = 0.015;
    edge.sustain = 0;
    synth::Add(s, 0, edge, 0.35);
    return s;
}

// Slot 4: the home opens; a bright fanfare ending on a shimmering held note.
Samples Fanfare() {
    Samples s;
    Tone lead = Pulse(0, 0, 0.25);
    lead.release = 0.015;
    Line(s, 0, 0.075, lead, "g5:1 c6:1 e6:1 g6:1");
    Tone top = Pulse(96, 0.5, 0.25);
    top.decay = 0.3;
    top.sustain = 0.55;
    top.release = 0.14;
    top.vibratoHz = 6;
    top.vibratoCents = 18;
    top.vibratoDelay = 0.1;
    synth::Add(s, 0.3, top);
    Tone shimmer = Pulse(84, 0.5, 0.125);
    shimmer.arp = {0, 4, 7, 12};
    shimmer.arpHz = 32;
    shimmer.decay = 0.2;
    shimmer.sustain = 0.2;
    shimmer.release = 0.14;
    synth::Add(s, 0.3, shimmer, 0.3);
    Tone bass = Voice(Wave::kTriangle, 0, 0);
    bass.release = 0.05;
    Line(s, 0, 0.075, bass, "c4:4 c5:7");
    return s;
}

// Slot 5: caught by an enemy; a drooping "wah, wah, wah, waaah".
Samples Caught() {
    Samples s;
    Tone thud = Voice(Wave::kNoise, 100, 0.12);
    thud.decay = 0.03;
    thud.sustain = 0;
    thud.lowpass = 2500;
    synth::Add(s, 0, thud, 0.8);
    Tone wah = Pulse(0, 0, 0.5);
    wah.dutyEnd = 0.2;
    wah.glide = -0.6;
    wah.attack = 0.015;
    wah.decay = 0.12;
    wah.sustain = 0.6;
    wah.release = 0.04;
    const double step = 0.24;
    Line(s, 0.02, step, wah, "b4:1 bb4:1 a4:1");
    Tone last = wah;
    last.note = synth::ParseNote("ab4");
    last.length = 0.7;
    last.glide = -14;
    last.glideTime = 0.7;
    last.decay = 0.45;
    last.sustain = 0.3;
    last.release = 0.15;
    last.vibratoHz = 7;
    last.vibratoCents = 40;
    synth::Add(s, 0.02 + 3 * step, last);
    Tone under = Voice(Wave::kTriangle, 0, 0);
    under.attack = 0.015;
    under.glide = -0.6;
    under.release = 0.04;
    Line(s, 0.02, step, under, "b3:1 bb3:1 a3:1");
    under.note = synth::ParseNote("ab3");
    under.length = 0.7;
    under.glide = -14;
    under.glideTime = 0.7;
    under.decay = 0.45;
    under.sustain = 0.3;
    under.release = 0.15;
    synth::Add(s, 0.02 + 3 * step, under, 0.8);
    return s;
}

// Slot 6: into the open home, the level is done; a cheerful closing phrase.
Samples LevelDone() {
    Samples s;
    const double step = 0.085;
    Tone lead = Pulse(0, 0, 0.25);
    lead.release = 0.015;
    Line(s, 0, step, lead, "c5:1 e5:1 g5:1 c6:1 r:1 b5:1 c6:1 d6:1");
    Tone end = Pulse(88, 0.55, 0.25);
    end.decay = 0.35;
    end.sustain = 0.5;
    end.release = 0.15;
    end.vibratoHz = 6;
    end.vibratoCents = 15;
    end.vibratoDelay = 0.12;
    synth::Add(s, 8 * step, end);
    Tone third = Pulse(84, 0.55, 0.5);
    third.decay = 0.35;
    third.sustain = 0.4;
    third.release = 0.15;
    synth::Add(s, 8 * step, third, 0.35);
    Tone bass = Voice(Wave::kTriangle, 0, 0);
    bass.release = 0.03;
    Line(s, 0, step, bass, "c4:4 g3:4 c4:7");
    return s;
}

// Slot 7: picking up or catching the ball; a round "bloop" with a tick on top.
Samples Catch() {
    Samples s;
    Tone bloop = Pulse(72, 0.07, 0.5);
    bloop.glide = 12;
    bloop.release = 0.02;
    synth::Add(s, 0, bloop);
    Tone tick = Pulse(88, 0.07, 0.25);
    tick.decay = 0.025;
    tick.sustain = 0;
    synth::Add(s, 0.06, tick, 0.7);
    return s;
}

// Slot 8: a throw; a rising swish of air with a quick upward zip.
Samples Throw() {
    Samples s;
    Tone air = Voice(Wave::kNoise, 118, 0.2);
    air.glide = 16;
    air.attack = 0.03;
    air.decay = 0.07;
    air.sustain = 0;
    air.lowpass = 6000;
    air.highpass = 700;
    synth::Add(s, 0, air);
    Tone zip = Pulse(62, 0.14, 0.125);
    zip.glide = 24;
    zip.glideTime = 0.11;
    zip.decay = 0.05;
    zip.sustain = 0;
    synth::Add(s, 0, zip, 0.45);
    return s;
}

// Slot 9: the ball strikes an enemy; a crunchy "pow" that falls away.
Samples Hit() {
    Samples s;
    Tone crunch = Voice(Wave::kNoise, 112, 0.26);
    crunch.glide = -24;
    crunch.decay = 0.07;
    crunch.sustain = 0;
    synth::Add(s, 0, crunch);
    Tone fall = Pulse(84, 0.24, 0.5);
    fall.glide = -36;
    fall.glideTime = 0.2;
    fall.decay = 0.08;
    fall.sustain = 0;
    fall.bits = 4;
    synth::Add(s, 0, fall, 0.6);
    Tone thump = Voice(Wave::kTriangle, 52, 0.16);
    thump.glide = -14;
    thump.decay = 0.05;
    thump.sustain = 0;
    synth::Add(s, 0, thump, 0.8);
    return s;
}

// Slots 10-21: the item chimes. The same "bl-ing", a grace note and the
// fourth above it, climbs a major pentatonic scale, so a combo of items
// rings higher and higher. The top stays moderate: long combos replay the
// last chime at up to twice its rate.
Samples ItemChime(int index) {
    static const int kScale[] = {67, 69, 72, 74, 76, 79, 81, 84, 86, 88, 91, 93};
    const int note = kScale[index];
    Samples s;
    Tone grace = Pulse(note, 0.05, 0.25);
    grace.release = 0.008;
    synth::Add(s, 0, grace, 0.8);
    Tone ring = Pulse(note + 5, 0.19, 0.25);
    ring.decay = 0.06;
    ring.sustain = 0.1;
    ring.release = 0.05;
    synth::Add(s, 0.045, ring);
    Tone body = Voice(Wave::kTriangle, note + 17, 0.19);
    body.decay = 0.08;
    body.sustain = 0.1;
    body.release = 0.05;
    synth::Add(s, 0.045, body, 0.5);
    return s;
}

// Spare: a warp-in sweep with a fast arpeggio, for starting something.
Samples Warp() {
    Samples s;
    Tone sweep = Pulse(60, 0.45, 0.5);
    sweep.dutyEnd = 0.125;
    sweep.glide = 24;
    sweep.glideTime = 0.4;
    sweep.arp = {0, 7, 12};
    sweep.arpHz = 25;
    sweep.attack = 0.02;
    sweep.release = 0.1;
    synth::Add(s, 0, sweep);
    Tone under = Voice(Wave::kTriangle, 48, 0.45);
    under.glide = 24;
    under.glideTime = 0.4;
    under.attack = 0.02;
    under.release = 0.1;
    synth::Add(s, 0, under, 0.6);
    return s;
}

// Slot 96: the logo jingle, also heard on the way back to the title.
Samples Jingle() {
    Samples s;
    const double step = 0.1;
    Tone lead = Pulse(0, 0, 0.25);
    lead.release = 0.02;
    lead.decay = 0.15;
    lead.sustain = 0.7;
    Line(s, 0, step, lead, "g5:1 c6:1 e6:1 g6:2 e6:1 g6:1");
    Tone top = Pulse(96, 0.6, 0.25);
    top.decay = 0.35;
    top.sustain = 0.5;
    top.release = 0.2;
    top.vibratoHz = 5.5;
    top.vibratoCents = 16;
    top.vibratoDelay = 0.12;
    synth::Add(s, 7 * step, top);
    Tone sparkle = Pulse(84, 0.6, 0.125);
    sparkle.arp = {0, 4, 7, 12};
    sparkle.arpHz = 40;
    sparkle.decay = 0.25;
    sparkle.sustain = 0.15;
    sparkle.release = 0.2;
    synth::Add(s, 7 * step, sparkle, 0.25);
    Tone bass = Voice(Wave::kTriangle, 0, 0);
    bass.release = 0.03;
    Line(s, 0, step, bass, "c4:3 e4:2 g3:2", 0.95);
    Tone root = Voice(Wave::kTriangle, 48, 0.6);
    root.decay = 0.4;
    root.sustain = 0.4;
    root.release = 0.2;
    synth::Add(s, 7 * step, root);
    return s;
}

// Slot 98: the menu cursor; soft and short, and still pleasant at half rate.
Samples Blip() {
    Samples s;
    Tone tone = Voice(Wave::kTriangle, 84, 0.055);
    tone.decay = 0.018;
    tone.sustain = 0;
    synth::Add(s, 0, tone);
    Tone air = Voice(Wave::kSine, 96, 0.04);
    air.decay = 0.01;
    air.sustain = 0;
    synth::Add(s, 0, air, 0.3);
    return s;
}

// Slot 99: confirm; a clear two-note chime up a fifth.
Samples Confirm() {
    Samples s;
    Tone first = Pulse(84, 0.065, 0.25);
    first.release = 0.01;
    synth::Add(s, 0, first);
    Tone second = Pulse(91, 0.17, 0.25);
    second.decay = 0.06;
    second.sustain = 0.1;
    second.release = 0.04;
    synth::Add(s, 0.06, second);
    Tone body = Voice(Wave::kTriangle, 0, 0);
    body.release = 0.03;
    Line(s, 0, 0.06, body, "c5:1 g5:3", 1.0);
    return s;
}

struct Effect {
    int slot;
    std::function<Samples()> make;
    double level = 1;  // against the common loudness
};

}  // namespace

void WriteSoundEffects(const fs::path& dir) {
    std::vector<Effect> effects = {
        {1, Snip},     {2, Bonus}, {3, Bounce}, {4, Fanfare}, {5, Caught},      {6, LevelDone}, {7, Catch},
        {8, Throw},    {9, Hit},   {95, Warp},  {96, Jingle}, {98, Blip, 0.75},  // the cursor sound comes often: keep
                                                                                 // it in the background
        {99, Confirm},
    };
    for (int i = 0; i < 12; ++i) effects.push_back({10 + i, [i] { return ItemChime(i); }, 1});
    for (const Effect* effect : ListedRecipes(effects, kEffectSlots, [](const Effect& e) { return e.slot; })) {
        Samples s = effect->make();
        synth::FadeEdges(s, kEdgeFade);
        synth::Normalise(s, kLoudness * effect->level, kMaxPeak);
        WriteWav(dir / EffectFile(effect->slot), s);
    }
}
