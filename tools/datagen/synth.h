// A small chip-style synthesiser for the generator's sounds and music:
// band-limited pulse, triangle, saw and sine waves and a shift-register noise,
// each shaped by an envelope, pitch glide, vibrato and arpeggio. Everything is
// plain arithmetic on a fixed sample rate, so the output is repeatable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int kRate = 44100;
using Samples = std::vector<float>;

// Equal temperament, A4 (note 69) = 440 Hz.
double NoteHz(double note);

// "c4", "f#5", "bb3" -> note number (C4 = 60). Throws on anything else.
int ParseNote(const std::string& name);

// A melody line as written in the generator's sources: "e5:2 g5:2 r:4 c6:8"
// is E5 for two steps, G5 for two, four steps of rest and C6 for eight.
struct NoteEvent {
    int step;  // start, counted from the line's first step
    int steps;
    int note;  // -1 for a rest
};
std::vector<NoteEvent> ParseMelody(const std::string& text);
int MelodySteps(const std::vector<NoteEvent>& melody);

// A chord symbol: "C", "Am", "Bb", "F#m" (major or minor triads).
struct Chord {
    int root;  // pitch class, C = 0
    bool minor;
};
Chord ParseChord(const std::string& name);

// The lowest note of pitch class `pc` at or above `low`.
int NoteAtOrAbove(int pc, int low);

enum class Wave { kPulse, kTriangle, kSaw, kSine, kNoise };

// One sounding voice. Times are in seconds; `length` includes the release.
struct Tone {
    Wave wave = Wave::kPulse;
    double note = 69;      // start pitch; for noise it sets the shift clock
    double glide = 0;      // semitones travelled over `glideTime`
    double glideTime = 0;  // 0: the whole length
    double duty = 0.5;     // pulse width at the start ...
    double dutyEnd = -1;   // ... and at the end (negative: unchanged)
    double length = 0.1;
    double attack = 0.002;
    double decay = 0;  // time constant of the fall to `sustain`; 0 keeps full level
    double sustain = 1;
    double release = 0.01;
    double volume = 1;
    double vibratoHz = 0, vibratoCents = 0, vibratoDelay = 0;
    std::vector<int> arp;  // semitone offsets stepped through at `arpHz`
    double arpHz = 0;
    double lowpass = 0;  // one-pole cut-offs in Hz; 0 leaves the band open
    double highpass = 0;
    bool metallic = false;  // short shift-register loop: pitched, buzzy noise
    int bits = 0;           // amplitude steps kept (2^bits); 0 keeps all
    double holdHz = 0;      // sample-and-hold rate for a grainy sound; 0 off
};

// Mixes the tone into `out` from `at` seconds on, scaled by `gain`. With
// `wrap` the part past the end continues at the start, for loops whose tails
// must flow into their own beginning; without it the buffer grows to fit.
void Add(Samples& out, double at, const Tone& tone, double gain = 1, bool wrap = false);

// The tone on its own, exactly `length` long.
Samples Render(const Tone& tone);

// Raised-cosine fade in and out over `seconds`, so a sound starts and ends
// at rest.
void FadeEdges(Samples& s, double seconds);

double Peak(const Samples& s);

// Root-mean-square level of the loudest 50 ms: what the ear compares between
// short effects better than the peak does.
double Loudness(const Samples& s);

// Scales to the given loudness, or less if the peak would pass `maxPeak`.
void Normalise(Samples& s, double loudness, double maxPeak);

// Scales so the peak is exactly `peak`.
void ScalePeak(Samples& s, double peak);

}  // namespace synth
