// The program's working folder and the state file's folder, chosen at start.
#include "host/program_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "host/files.h"

namespace fs = std::filesystem;

namespace {

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

std::string orvUserStateFolder(const char* xdg_data_home, const char* home) {
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (IsAbsolute(xdg_data_home)) return (fs::path(xdg_data_home) / "vellumby").lexically_normal().string();
    if (IsAbsolute(home)) return (fs::path(home) / ".local/share/vellumby").lexically_normal().string();
    return {};
}

ProgramFolders orvChooseProgramFolders(const std::string& program_folder, bool program_folder_writable,
                                       const std::string& installed_data, const std::string& user_state_folder) {
    const fs::path beside = fs::path(program_folder).lexically_normal();
    const fs::path installed = (beside / installed_data).lexically_normal();
    ProgramFolders folders;
    if (!IsFolder(beside / "data") && IsFolder(installed / "data")) {
        // An installed copy: its folders are shared by every user and belong
        // to the package, so each user's scores live in their own folder.
        folders.run = installed.string();
        folders.state = user_state_folder;
        return folders;
    }
    folders.run = beside.string();
    folders.state = program_folder_writable ? "." : user_state_folder;
    if (!IsFolder(beside / "data")) {
        folders.missing_data = (beside / "data").string() + " and " + (installed / "data").string();
    }
    return folders;
}

void orvEnterProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    // Without it the program stays where it was started, as it always could.
    if (error || !program.is_absolute()) return;
    const std::string program_folder = program.parent_path().string();

    const char* home = std::getenv("HOME");
    if (!IsAbsolute(home)) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    const ProgramFolders folders =
        orvChooseProgramFolders(program_folder, access(program_folder.c_str(), W_OK) == 0, ORV_INSTALLED_DATA,
                                orvUserStateFolder(std::getenv("XDG_DATA_HOME"), home));
    if (chdir(folders.run.c_str()) != 0) return;
    orvSetStateFolder(folders.state);
    if (!folders.missing_data.empty()) {
        // The folder names are the file system's bytes, written as they are.
        const std::string line = "The game's data folder is missing (looked for " + folders.missing_data +
                                 "): it runs without its pictures and sounds.\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    }
}
