// Every file the data generator writes, by its path inside the data folder.
// The generator names its files from these tables, the build takes its list
// of outputs from them (list_files.cpp), and the data tests check the folder
// against them: adding or renaming a file happens here and nowhere else.
#pragma once
#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/datagen/image_table.h"

// The framework's default font: one strip at one resolution.
inline constexpr ImageEntry kDefaultFont = {"trel_font", 10, 16, 96, 96};

// Sound effects by slot number, "sfx/001.wav" and so on.
inline constexpr int kEffectSlots[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                       14, 15, 16, 17, 18, 19, 20, 21, 95, 96, 98, 99};

inline constexpr const char* kLevelMusicFile = "sfx/Voduzozu.ogg";

// The music player's drum kits, "inst/d<kit>-<drum>.wav" from 1, and its
// looped melodic instruments, "inst/<name>.wav".
inline constexpr int kDrumKits = 4;
inline constexpr int kDrumsPerKit = 8;
inline constexpr const char* kMelodicInstruments[] = {"lead1",      "lead2", "lead3", "accompany1", "accompany2",
                                                      "accompany3", "bass1", "bass2", "bass3",      "bass4"};

// The music player's scores, one image each, under "tunes/".
inline constexpr const char* kTuneFiles[] = {"Pasture Run/Tune_12.png", "Retro/Cavern Digger.png",
                                             "Retro/Hopper.png"};

inline std::string ImageFile(const ImageEntry& entry, const char* suffix) {
    return std::string(entry.name) + suffix + ".png";
}

inline std::string EffectFile(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "sfx/%03d.wav", slot);
    return name;
}

inline std::string DrumFile(int kit, int drum) {
    return "inst/d" + std::to_string(kit) + "-" + std::to_string(drum) + ".wav";
}

inline std::string InstrumentFile(const char* name) { return std::string("inst/") + name + ".wav"; }

inline std::string TuneFile(const char* name) { return std::string("tunes/") + name; }

inline std::string NameText(int slot) { return std::to_string(slot); }
inline std::string NameText(const char* name) { return name; }

// The generator's recipe for each listed name, in the list's order. Throws
// when a name has no recipe or a recipe is not listed, so that the list and
// the recipes cannot drift apart.
template <class Recipe, class Name, std::size_t N, class NameOf>
std::vector<const Recipe*> ListedRecipes(const std::vector<Recipe>& recipes, const Name (&listed)[N], NameOf name_of) {
    if (recipes.size() != N) throw std::logic_error("the generator's recipes and its file list differ");
    std::vector<const Recipe*> out;
    for (const Name& name : listed) {
        const Recipe* found = nullptr;
        for (const Recipe& r : recipes) {
            if (name_of(r) == name) found = &r;
        }
        if (!found) throw std::logic_error("no recipe for the listed " + NameText(name));
        out.push_back(found);
    }
    return out;
}

inline std::vector<std::string> DataFiles() {
    std::vector<std::string> files{ImageFile(kDefaultFont, "")};
    for (int slot : kEffectSlots) files.push_back(EffectFile(slot));
    files.push_back(kLevelMusicFile);
    for (int kit = 1; kit <= kDrumKits; ++kit) {
        for (int drum = 1; drum <= kDrumsPerKit; ++drum) files.push_back(DrumFile(kit, drum));
    }
    for (const char* name : kMelodicInstruments) files.push_back(InstrumentFile(name));
    for (const char* name : kTuneFiles) files.push_back(TuneFile(name));
    for (const ImageEntry& entry : kImageEntrys) {
        for (const auto& res : kResolutions) files.push_back(ImageFile(entry, res.suffix));
    }
    return files;
}
