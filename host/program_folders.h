// Where the game finds its data and keeps its stored state, wherever it was
// started from. The program works in the folder that holds its "data"
// folder, so every "./data/..." path resolves there: beside the program in
// its build folder, or in the shared data folder of an installed copy
// (PREFIX/games/vellumby with PREFIX/share/games/vellumby/data). A build
// folder that can be written keeps the state file beside the program; an
// installed game keeps one per user, in the user's data folder.
#pragma once
#include <string>

struct ProgramFolders {
    std::string run;           // the working folder: the one that holds "data"
    std::string state;         // the state file's folder; "." is the working folder, empty is none
    std::string missing_data;  // the data folders looked for, when there is none
};

// "$XDG_DATA_HOME/vellumby", or "$HOME/.local/share/vellumby" when that is
// unset or not an absolute path; empty when neither is known.
std::string orvUserStateFolder(const char* xdg_data_home, const char* home);

// The choice for a program in program_folder (an absolute path).
// installed_data is the installed data's folder relative to the program's.
ProgramFolders orvChooseProgramFolders(const std::string& program_folder, bool program_folder_writable,
                                       const std::string& installed_data, const std::string& user_state_folder);

// Run first in the game's program: finds the program's own folder, changes
// into the chosen working folder, points the state file at its folder and,
// when there is no data folder, says so once on standard output.
void orvEnterProgramFolder();
