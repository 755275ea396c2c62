// The pitch the music player's melodic samples share. The player plays note
// 13 at a sample's own rate and transposes by rate, so every melodic sample
// holds the same pitch class, a C, each voice in its own octave. The period
// is a whole number of samples (84 at 44100 Hz, 525 Hz: a C a few cents
// sharp), so a sample of whole periods loops without a seam.
#pragma once

constexpr int kPlayerBaseNote = 13;
constexpr int kLeadNote = 72;       // C5: lead samples, 84-sample period
constexpr int kAccompanyNote = 60;  // C4: accompaniment, 168
constexpr int kBassNote = 48;       // C3: bass, 336

// Period in samples of a C at the given note number (C5 and below).
constexpr int CPeriodSamples(int note) { return 84 << ((kLeadNote - note) / 12); }
