// The stored state as the game reads it at start: any bytes in the state
// file load without harm, leave the options usable, and whatever was taken
// is saved again as a text that loads back to the very same values.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/my_app.h"
#include "host/host_game.h"
#include "tests/fuzz/input_file.h"

namespace {

// Reads the state file as the desktop host does; a save stays in memory
// (the real one waits for the disk).
struct StateHost : OrvGame {
    std::string saved;
    int SaveState(String state) override { saved = state.ToUtf8(); return 0; }
};

template <class T>
std::vector<T> Copy(const Array<T>& a) { return std::vector<T>(a.begin(), a.end()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static StateHost* host = nullptr;
    static c_MyApp* const app = [] {
        if (chdir(fuzz::InputFolder().c_str()) != 0) __builtin_trap();
        gc_init();
        host = new StateHost();  // before the framework takes the host
        orvInit();
        return new c_MyApp();
    }();

    // Loads the bytes as the state file into the values creation leaves.
    const auto load = [&](const void* bytes, std::size_t n) {
        std::fill(app->m_Settings.begin(), app->m_Settings.end(), 0);
        std::fill(app->m_BadgeGot.begin(), app->m_BadgeGot.end(), false);
        std::fill(app->m_Scores.begin(), app->m_Scores.end(), 0);
        app->m_Settings[5] = 1;
        fuzz::WriteInput(".quarlostate", static_cast<const std::uint8_t*>(bytes), n);  // in the working folder
        app->p_Load();
        return std::tuple(Copy(app->m_Settings), Copy(app->m_Scores), Copy(app->m_BadgeGot));
    };
    const auto loaded = load(data, size);
    // The option values the pad and the screen rely on.
    if (app->m_Settings[10] < 64 || app->m_Settings[11] < 64 || app->m_Settings[12] < 8) __builtin_trap();
    if (app->m_Settings[14] != 1 || orv_Kemp_overscan != 0) __builtin_trap();

    app->p_Save();
    const std::string text = std::exchange(host->saved, "");
    if (load(text.data(), text.size()) != loaded) __builtin_trap();
    gc_collect_step(app);
    return 0;
}
