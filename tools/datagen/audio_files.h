// Sound file output for the generator: 16-bit PCM WAV for effects and
// instrument samples, Ogg Vorbis for the level music. Like the PNG writer,
// each file is replaced in one step and its folder is created on the way.
#pragma once
#include <filesystem>

#include "tools/datagen/synth.h"

// Mono, 16 bits, at the synthesiser's rate. Samples are clamped to full
// scale. Throws std::runtime_error on failure.
void WriteWav(const std::filesystem::path& path, const synth::Samples& mono);

// Stereo Ogg Vorbis of the two channels (equal lengths), at the
// synthesiser's rate. The stream serial number is fixed and nothing in the
// file depends on the time or the machine's state, so the same samples
// always give the same bytes. Throws std::runtime_error on failure.
void WriteOgg(const std::filesystem::path& path, const synth::Samples& left, const synth::Samples& right);
