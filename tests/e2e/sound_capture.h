// What the program played, as OpenAL's WAV writer captured it, and where
// in it a given sound effect can be heard.
#pragma once
#include <string>
#include <vector>

namespace capture {

constexpr int kRate = 44100;

// The first channel of a 16-bit WAV file of `channels` channels (the
// capture, configured as stereo at 44100 Hz, or one of the game's sound
// effects), read from the header's "data" tag to the end of the file: the
// sizes in a capture's header are only filled in when the program closes
// its device, so a capture taken while it runs has none. Empty when the
// file has no WAV header.
std::vector<float> ReadWav(const std::string& path, int channels);

struct Match {
    double score = 0;  // normalised correlation, 1 for the very waveform
    long at = -1;      // sample position in the capture
};

// Every place between samples `from` and `to` where `sound` (its first
// quarter second at most) correlates with the capture above `threshold`,
// at least the sound's length apart, best first within each stretch.
std::vector<Match> FindSound(const std::vector<float>& signal, const std::vector<float>& sound, long from, long to,
                             double threshold);

// The median loudness (root mean square) of 50 ms pieces between two sample
// positions: the level of a steady sound such as music, which a short
// effect in the stretch does not change.
double MedianLevel(const std::vector<float>& signal, long from, long to);

}  // namespace capture
