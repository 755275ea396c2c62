// The music player's samples: four drum kits of eight one-shot drums, and
// the looping melodic instruments (three leads, three accompaniments, four
// basses). The player loops a melodic sample for as long as a note lasts and
// ends the note with its own volume envelope, so each melodic sample is a
// whole number of periods built from harmonics, starts on a rising zero
// crossing, and its last sample leads smoothly back into its first.
#include <cmath>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/datagen/audio_files.h"
#include "tools/datagen/data_files.h"
#include "tools/datagen/player_pitch.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/synth.h"

namespace fs = std::filesystem;
using synth::Samples;
using synth::Tone;
using synth::Wave;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

// ---------------------------------------------------------------- melodic

// Harmonics stop here, so that notes played up to about three times the
// sample's rate stay mostly below the output's Nyquist frequency.
constexpr double kTopHarmonicHz = 7000;
// Every melodic loop lasts this many lead periods (about a quarter second),
// the cycle of the slow movements (chorus, pulse-width sweep, vibrato) that
// some instruments carry.
constexpr int kLoopLeadPeriods = 128;
constexpr int kLoopSamples = kLoopLeadPeriods * CPeriodSamples(kLeadNote);

// A periodic waveform as a sum of harmonics of a fundamental; `phase` is in
// radians, one turn per period.
class Harmonics {
public:
    Harmonics(double fundamentalHz, double cutoffHz = 0) : count_(static_cast<int>(kTopHarmonicHz / fundamentalHz)) {
        for (int h = 1; h <= count_; ++h) {
            // Lanczos smoothing against overshoot at the steps of the wave.
            const double x = kPi * h / (count_ + 1);
            double w = std::sin(x) / x;
            if (cutoffHz > 0) w /= 1 + std::pow(h * fundamentalHz / cutoffHz, 2);
            weight_.push_back(w);
        }
    }
    double Saw(double phase) const {
        double v = 0;
        for (int h = 1; h <= count_; ++h) v += weight_[h - 1] * std::sin(h * phase) / h;
        return v * 2 / kPi;
    }
    // A pulse of the given width as the difference of two saws.
    double Pulse(double phase, double duty) const { return Saw(phase) - Saw(phase - kTwoPi * duty); }
    double Triangle(double phase) const {
        double v = 0;
        for (int h = 1; h <= count_; h += 2) {
            v += ((h / 2) % 2 ? -1 : 1) * weight_[h - 1] * std::sin(h * phase) / (h * h);
        }
        return v * 8 / (kPi * kPi);
    }

private:
    int count_;
    std::vector<double> weight_;
};

// A melodic voice: its octave and its waveform at time t (in samples).
struct Melodic {
    std::string name;
    int note;
    std::function<double(double t, double turn)> wave;  // turn: radians per sample of the fundamental
};

// Samples the waveform over one loop, starting where it crosses zero going
// up, and levels it.
Samples RenderLoop(const Melodic& m) {
    const double period = CPeriodSamples(m.note);
    const double turn = kTwoPi / period;
    auto at = [&](double t) { return m.wave(t, turn); };
    double start = -1;
    for (double t = 0.125; t < period + 0.125 && start < 0; t += 0.25) {
        if (at(t) < 0 && at(t + 0.25) >= 0) {
            double lo = t, hi = t + 0.25;
            for (int i = 0; i < 60; ++i) {
                const double mid = (lo + hi) / 2;
                (at(mid) < 0 ? lo : hi) = mid;
            }
            start = hi;
        }
    }
    if (start < 0) throw std::runtime_error(m.name + " never crosses zero");
    Samples s(kLoopSamples);
    for (int n = 0; n < kLoopSamples; ++n) s[n] = static_cast<float>(at(start + n));
    s[0] = 0;
    synth::Normalise(s, 0.25, 0.9);
    return s;
}

std::vector<Melodic> MelodicInstruments() {
    const double lead_hz = synth::kRate / static_cast<double>(CPeriodSamples(kLeadNote));
    const double acc_hz = lead_hz / 2, bass_hz = lead_hz / 4;
    // Slow movements complete whole cycles over the loop.
    const double loop_turn = kTwoPi / kLoopSamples;
    // The phase of a second voice that drifts a few cents either side of the
    // first and back once per loop: a gentle chorus that keeps the pitch.
    auto detuned = [loop_turn](double t, double turn, int note) {
        const double periods = static_cast<double>(kLoopSamples) / CPeriodSamples(note);
        return t * turn + 0.005 * periods * std::sin(t * loop_turn);
    };
    const Harmonics lead(lead_hz), acc(acc_hz), acc_soft(acc_hz, 3000), bass(bass_hz), bass_round(bass_hz, 700),
        bass_buzz(bass_hz, 1400);

    std::vector<Melodic> out;
    // A classic quarter-width pulse: bright and vocal.
    out.push_back({"lead1", kLeadNote, [lead](double t, double turn) { return lead.Pulse(t * turn, 0.25); }});
    // A thin eighth-width pulse doubled by a wavering twin.
    out.push_back({"lead2", kLeadNote, [lead, detuned](double t, double turn) {
                       return 0.6 * lead.Pulse(t * turn, 0.125) + 0.4 * lead.Pulse(detuned(t, turn, kLeadNote), 0.125);
                   }});
    // A soft, flute-like blend of triangle and square with a slight vibrato.
    out.push_back({"lead3", kLeadNote, [lead, loop_turn](double t, double turn) {
                       const double phase = t * turn + 0.6 * std::sin(t * loop_turn);
                       return lead.Triangle(phase) + 0.3 * lead.Pulse(phase, 0.5);
                   }});
    // A hollow square wave with its top rounded off.
    out.push_back(
        {"accompany1", kAccompanyNote, [acc_soft](double t, double turn) { return acc_soft.Pulse(t * turn, 0.5); }});
    // A pulse whose width sweeps slowly between narrow and square.
    out.push_back({"accompany2", kAccompanyNote, [acc, loop_turn](double t, double turn) {
                       return acc.Pulse(t * turn, 0.3 + 0.18 * std::sin(t * loop_turn));
                   }});
    // A little organ: a few pure partials, chorused.
    out.push_back({"accompany3", kAccompanyNote, [detuned](double t, double turn) {
                       auto organ = [](double p) {
                           return std::sin(p) + 0.5 * std::sin(2 * p) + 0.3 * std::sin(3 * p) + 0.2 * std::sin(4 * p) +
                                  0.1 * std::sin(6 * p);
                       };
                       return organ(t * turn) + 0.5 * organ(detuned(t, turn, kAccompanyNote));
                   }});
    // The chip triangle bass.
    out.push_back({"bass1", kBassNote, [bass](double t, double turn) { return bass.Triangle(t * turn); }});
    // A round, muted square.
    out.push_back(
        {"bass2", kBassNote, [bass_round](double t, double turn) { return bass_round.Pulse(t * turn, 0.5); }});
    // A buzzy, softened saw with its fundamental reinforced.
    out.push_back({"bass3", kBassNote,
                   [bass_buzz](double t, double turn) { return bass_buzz.Saw(t * turn) + 0.5 * std::sin(t * turn); }});
    // A plucked-string-like body of low partials.
    out.push_back({"bass4", kBassNote, [](double t, double turn) {
                       const double p = t * turn;
                       return std::sin(p) + 0.35 * std::sin(2 * p) + 0.15 * std::sin(3 * p) + 0.05 * std::sin(5 * p);
                   }});
    return out;
}

// ---------------------------------------------------------------- drums

// What makes one kit differ from another.
struct Kit {
    double kick_note, kick_drop, kick_length;
    Wave kick_wave;
    double snare_tone, snare_noise, snare_length;
    double hat_cut, hat_noise;
    bool metallic;   // ringing, pitched cymbals
    double decay;    // scales every decay and length
    int bits;        // amplitude steps, for the crushed kit
    double hold_hz;  // sample-and-hold rate, for the crushed kit
    int eighth;      // 0 clap, 1 cowbell, 2 rim click
};

const Kit kKits[4] = {
    // Clean chip kit.
    {50, -26, 0.26, Wave::kTriangle, 55, 124, 0.2, 7000, 136, false, 1.0, 0, 0, 0},
    // Heavy: deep long kick, fat snare, darker cymbals, a cowbell.
    {45, -30, 0.38, Wave::kSine, 51, 118, 0.28, 5000, 132, false, 1.35, 0, 0, 1},
    // Tight and bright: short kick, snappy snare, ringing metal hats, rim.
    {56, -24, 0.15, Wave::kTriangle, 59, 130, 0.15, 9000, 138, true, 0.7, 0, 0, 2},
    // Crushed eight-bit: few amplitude steps at a low sample rate.
    {50, -28, 0.24, Wave::kTriangle, 56, 120, 0.2, 4000, 134, false, 1.0, 4, 22050, 0},
};

Tone KitTone(const Kit& kit, Wave wave, double note, double length, double decay) {
    Tone t;
    t.wave = wave;
    t.note = note;
    t.length = length * kit.decay;
    t.attack = 0.0005;
    t.decay = decay * kit.decay;
    t.sustain = 0;
    t.release = 0.004;
    t.bits = kit.bits;
    t.holdHz = kit.hold_hz;
    t.metallic = kit.metallic;
    return t;
}

Samples Drum(const Kit& kit, int drum) {
    Samples s;
    switch (drum) {
        case 1: {  // kick
            Tone body = KitTone(kit, kit.kick_wave, kit.kick_note, kit.kick_length, 0.09);
            body.glide = kit.kick_drop;
            body.glideTime = 0.09 * kit.decay;
            synth::Add(s, 0, body);
            Tone click = KitTone(kit, Wave::kNoise, 120, 0.012, 0.004);
            click.highpass = 1500;
            click.metallic = false;
            synth::Add(s, 0, click, 0.35);
            synth::ScalePeak(s, 0.9);
            break;
        }
        case 2: {  // snare
            Tone noise = KitTone(kit, Wave::kNoise, kit.snare_noise, kit.snare_length, 0.06);
            noise.highpass = 400;
            noise.metallic = false;
            synth::Add(s, 0, noise);
            Tone body = KitTone(kit, Wave::kTriangle, kit.snare_tone, 0.12, 0.04);
            body.glide = -6;
            synth::Add(s, 0, body, 0.7);
            synth::ScalePeak(s, 0.8);
            break;
        }
        case 3:    // closed hat
        case 4: {  // open hat
            const bool open = drum == 4;
            Tone hat = KitTone(kit, Wave::kNoise, kit.hat_noise, open ? 0.32 : 0.05, open ? 0.1 : 0.012);
            hat.highpass = kit.hat_cut;
            synth::Add(s, 0, hat);
            synth::ScalePeak(s, 0.45);
            break;
        }
        case 5:    // low tom
        case 6: {  // high tom
            Tone body = KitTone(kit, Wave::kTriangle, drum == 5 ? 45 : 52, 0.32, 0.11);
            body.glide = -8;
            synth::Add(s, 0, body);
            Tone skin = KitTone(kit, Wave::kNoise, 110, 0.05, 0.015);
            skin.lowpass = 2500;
            skin.metallic = false;
            synth::Add(s, 0, skin, 0.25);
            synth::ScalePeak(s, 0.8);
            break;
        }
        case 7: {  // crash
            Tone wash = KitTone(kit, Wave::kNoise, kit.hat_noise - 2, 1.0, 0.32);
            wash.highpass = kit.hat_cut * 0.5;
            wash.metallic = false;
            synth::Add(s, 0, wash);
            Tone ring = KitTone(kit, Wave::kNoise, kit.hat_noise, 0.7, 0.2);
            ring.highpass = kit.hat_cut;
            ring.metallic = true;
            synth::Add(s, 0, ring, 0.35);
            synth::ScalePeak(s, 0.5);
            break;
        }
        case 8: {
            if (kit.eighth == 1) {  // cowbell: two detuned squares
                for (double note : {73.3, 79.4}) {
                    Tone bell = KitTone(kit, Wave::kPulse, note, 0.25, 0.07);
                    bell.duty = 0.5;
                    bell.lowpass = 4000;
                    synth::Add(s, 0, bell, 0.5);
                }
            } else if (kit.eighth == 2) {  // rim click
                Tone knock = KitTone(kit, Wave::kPulse, 86, 0.05, 0.01);
                knock.duty = 0.5;
                synth::Add(s, 0, knock);
                Tone tick = KitTone(kit, Wave::kNoise, 130, 0.02, 0.004);
                tick.highpass = 3000;
                tick.metallic = false;
                synth::Add(s, 0, tick, 0.6);
            } else {  // clap: three quick bursts, then the room
                for (int i = 0; i < 3; ++i) {
                    Tone burst = KitTone(kit, Wave::kNoise, 122, 0.02, 0.006);
                    burst.highpass = 900;
                    burst.lowpass = 6000;
                    burst.metallic = false;
                    synth::Add(s, 0.011 * i, burst);
                }
                Tone room = KitTone(kit, Wave::kNoise, 122, 0.2, 0.05);
                room.highpass = 900;
                room.lowpass = 5000;
                room.metallic = false;
                synth::Add(s, 0.033, room, 0.8);
            }
            synth::ScalePeak(s, 0.7);
            break;
        }
        default:
            throw std::runtime_error("no drum " + std::to_string(drum));
    }
    synth::FadeEdges(s, 0.002);
    return s;
}

}  // namespace

void WriteInstruments(const fs::path& dir) {
    static_assert(std::size(kKits) == kDrumKits, "every kit has its files");
    for (int kit = 1; kit <= kDrumKits; ++kit) {
        for (int drum = 1; drum <= kDrumsPerKit; ++drum) {
            WriteWav(dir / DrumFile(kit, drum), Drum(kKits[kit - 1], drum));
        }
    }
    const std::vector<Melodic> melodic = MelodicInstruments();
    for (const Melodic* m : ListedRecipes(melodic, kMelodicInstruments, [](const Melodic& m) { return m.name; })) {
        WriteWav(dir / InstrumentFile(m->name.c_str()), RenderLoop(*m));
    }
}
