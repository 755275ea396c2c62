#include "tools/datagen/synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace synth {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Smooths the corner of a hard step that falls within one sample of the phase
// wrap, which keeps high notes from folding back as inharmonic whistles.
double Blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

double Clamp01(double x) { return std::min(1.0, std::max(0.0, x)); }

// The shift register of classic sound chips: 15 bits, fed back from bit 1,
// or from bit 6 for the short, tonal variant.
class Noise {
public:
    explicit Noise(bool metallic) : tap_(metallic ? 6 : 1) {}
    double Next(double dt) {
        phase_ += dt;
        while (phase_ >= 1) {
            phase_ -= 1;
            const unsigned bit = (reg_ ^ (reg_ >> tap_)) & 1u;
            reg_ = (reg_ >> 1) | (bit << 14);
        }
        return (reg_ & 1u) ? 1.0 : -1.0;
    }

private:
    unsigned tap_;
    unsigned reg_ = 1;
    double phase_ = 0;
};

class OnePole {
public:
    explicit OnePole(double hz) : a_(hz > 0 ? 1 - std::exp(-2 * kPi * hz / kRate) : 1) {}
    double Low(double x) { return y_ += a_ * (x - y_); }

private:
    double a_;
    double y_ = 0;
};

double Envelope(const Tone& t, double time) {
    double level = 1;
    if (t.attack > 0 && time < t.attack) {
        const double a = time / t.attack;
        level = std::sin(a * kPi / 2);
    }
    if (t.decay > 0 && time > t.attack) {
        level *= t.sustain + (1 - t.sustain) * std::exp(-(time - t.attack) / t.decay);
    }
    if (t.release > 0) {
        const double r = Clamp01((t.length - time) / t.release);
        level *= std::sin(r * kPi / 2);
    }
    return level;
}

}  // namespace

double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12); }

int ParseNote(const std::string& name) {
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    if (name.size() < 2) throw std::runtime_error("bad note '" + name + "'");
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    if (letter < 'a' || letter > 'g') throw std::runtime_error("bad note '" + name + "'");
    int semitone = kSemitone[letter - 'a'];
    std::size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b' && i + 1 < name.size()) {
        --semitone;
        ++i;
    }
    if (i >= name.size() || !std::all_of(name.begin() + static_cast<long>(i), name.end(),
                                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        throw std::runtime_error("bad note '" + name + "'");
    }
    return 12 * (std::stoi(name.substr(i)) + 1) + semitone;
}

Chord ParseChord(const std::string& name) {
    const bool accidental = name.size() > 1 && (name[1] == '#' || name[1] == 'b');
    return {ParseNote(name.substr(0, accidental ? 2 : 1) + "0") % 12, name.back() == 'm'};
}

int NoteAtOrAbove(int pc, int low) { return low + ((pc - low) % 12 + 12) % 12; }

std::vector<NoteEvent> ParseMelody(const std::string& text) {
    std::vector<NoteEvent> out;
    std::size_t at = 0;
    int step = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string token = text.substr(at, end - at);
        at = end;
        const std::size_t colon = token.find(':');
        if (colon == std::string::npos || colon + 1 == token.size()) {
            throw std::runtime_error("bad melody token '" + token + "'");
        }
        const std::string name = token.substr(0, colon);
        const int steps = std::stoi(token.substr(colon + 1));
        if (steps <= 0) throw std::runtime_error("bad melody token '" + token + "'");
        out.push_back({step, steps, name == "r" ? -1 : ParseNote(name)});
        step += steps;
    }
    return out;
}

int MelodySteps(const std::vector<NoteEvent>& melody) {
    return melody.empty() ? 0 : melody.back().step + melody.back().steps;
}

Samples Render(const Tone& t) {
    // Pitch and envelope move at a control rate of one value per block, the
    // envelope interpolated in between: far faster, and no ear can tell.
    constexpr std::size_t kBlock = 16;
    const auto count = static_cast<std::size_t>(std::lround(t.length * kRate));
    Samples out(count);
    Noise noise(t.metallic);
    OnePole low(t.lowpass), high(t.highpass);
    double phase = 0, hold_phase = 1, held = 0;
    const double glide_time = t.glideTime > 0 ? t.glideTime : t.length;
    for (std::size_t block = 0; block < count; block += kBlock) {
        const double time = static_cast<double>(block) / kRate;
        double pitch = t.note + t.glide * Clamp01(time / glide_time);
        if (!t.arp.empty() && t.arpHz > 0) {
            pitch += t.arp[static_cast<std::size_t>(time * t.arpHz) % t.arp.size()];
        }
        if (t.vibratoCents > 0 && time > t.vibratoDelay) {
            const double since = time - t.vibratoDelay;
            pitch += t.vibratoCents / 100 * Clamp01(since / 0.08) * std::sin(2 * kPi * t.vibratoHz * since);
        }
        const double dt = NoteHz(pitch) / kRate;
        double d = t.duty;
        if (t.dutyEnd >= 0) d += (t.dutyEnd - t.duty) * time / t.length;
        const double env0 = Envelope(t, time) * t.volume;
        const double env1 = Envelope(t, static_cast<double>(block + kBlock) / kRate) * t.volume;
        const std::size_t block_end = std::min(count, block + kBlock);
        for (std::size_t n = block; n < block_end; ++n) {
            double v = 0;
            switch (t.wave) {
                case Wave::kPulse:
                    v = phase < d ? 1 : -1;
                    v += Blep(phase, dt);
                    v -= Blep(std::fmod(phase - d + 1, 1.0), dt);
                    v -= 2 * d - 1;  // no offset, so the envelope cannot thump
                    break;
                case Wave::kTriangle:
                    v = 1 - 4 * std::fabs(std::fmod(phase + 0.25, 1.0) - 0.5);
                    break;
                case Wave::kSaw:
                    v = 2 * phase - 1 - Blep(phase, dt);
                    break;
                case Wave::kSine:
                    v = std::sin(2 * kPi * phase);
                    break;
                case Wave::kNoise:
                    v = noise.Next(dt);
                    break;
            }
            phase += dt;
            if (phase >= 1) phase -= std::floor(phase);
            if (t.lowpass > 0) v = low.Low(v);
            if (t.highpass > 0) v -= high.Low(v);
            v *= env0 + (env1 - env0) * static_cast<double>(n - block) / kBlock;
            if (t.holdHz > 0) {
                hold_phase += t.holdHz / kRate;
                if (hold_phase >= 1) {
                    hold_phase -= std::floor(hold_phase);
                    held = v;
                }
                v = held;
            }
            if (t.bits > 0) {
                const double steps = std::ldexp(1.0, t.bits - 1);
                v = std::round(v * steps) / steps;
            }
            out[n] = static_cast<float>(v);
        }
    }
    return out;
}

void Add(Samples& out, double at, const Tone& tone, double gain, bool wrap) {
    const Samples s = Render(tone);
    const auto start = static_cast<std::size_t>(std::lround(at * kRate));
    if (wrap) {
        if (out.empty()) throw std::runtime_error("cannot wrap into an empty buffer");
        for (std::size_t i = 0; i < s.size(); ++i) out[(start + i) % out.size()] += static_cast<float>(s[i] * gain);
        return;
    }
    if (out.size() < start + s.size()) out.resize(start + s.size());
    for (std::size_t i = 0; i < s.size(); ++i) out[start + i] += static_cast<float>(s[i] * gain);
}

void FadeEdges(Samples& s, double seconds) {
    const std::size_t n = std::min(s.size() / 2, static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < n; ++i) {
        const double w = std::sin(static_cast<double>(i) / static_cast<double>(n) * kPi / 2);
        const auto g = static_cast<float>(w * w);
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
}

double Peak(const Samples& s) {
    double peak = 0;
    for (float v : s) peak = std::max(peak, static_cast<double>(std::fabs(v)));
    return peak;
}

double Loudness(const Samples& s) {
    const std::size_t window = std::min<std::size_t>(s.size(), kRate / 20);
    if (window == 0) return 0;
    const std::size_t hop = kRate / 100;
    double best = 0;
    for (std::size_t start = 0; start + window <= s.size(); start += hop) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i) sum += static_cast<double>(s[i]) * s[i];
        best = std::max(best, sum);
    }
    return std::sqrt(best / static_cast<double>(window));
}

void Normalise(Samples& s, double loudness, double maxPeak) {
    const double now = Loudness(s), peak = Peak(s);
    if (now <= 0 || peak <= 0) throw std::runtime_error("cannot level a silent sound");
    const double gain = std::min(loudness / now, maxPeak / peak);
    for (float& v : s) v = static_cast<float>(v * gain);
}

void ScalePeak(Samples& s, double peak) {
    const double now = Peak(s);
    if (now <= 0) throw std::runtime_error("cannot level a silent sound");
    for (float& v : s) v = static_cast<float>(v * peak / now);
}

}  // namespace synth
