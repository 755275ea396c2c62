// The generator's sound products. Each writes its files under the given data
// folder, creating the sub-folders it needs.
#pragma once
#include <filesystem>

// sfx/001.wav ... sfx/021.wav, sfx/095.wav, sfx/096.wav, sfx/098.wav,
// sfx/099.wav: the game's sound effects by slot number.
void WriteSoundEffects(const std::filesystem::path& dir);

// sfx/Voduzozu.ogg: the looping level music.
void WriteLevelMusic(const std::filesystem::path& dir);

// inst/: the music player's drum kits and melodic instruments.
void WriteInstruments(const std::filesystem::path& dir);

// tunes/: the music player's scores, one image per tune.
void WriteTunes(const std::filesystem::path& dir);
