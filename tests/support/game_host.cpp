#include "tests/support/game_host.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "framework/app.h"
#include "tests/support/null_audio.h"

namespace fs = std::filesystem;

namespace {

// The directory of the game running now. A game that ends the process
// (the close box, quitting) leaves no destructor to run: it goes at exit.
std::string current_dir;

void RemoveCurrentDir() {
    std::error_code ignored;
    if (!current_dir.empty()) fs::remove_all(current_dir, ignored);
}

// The first key of the window system's numbering that stands for a
// framework code, or -1 when no keyboard key does.
int WindowKeyFor(int code) {
    for (int key = 0; key <= glfw27::KEY_LAST; ++key) if (OrvGlfwGame::TransKey(key) == code) return key;
    return -1;
}

}  // namespace

GameHost::GameHost() {
    char name[] = "/tmp/vellumby-game-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    dir = name;
    [[maybe_unused]] static const bool cleanup_registered = std::atexit(RemoveCurrentDir) == 0;
    current_dir = dir;
    previous_dir_ = fs::current_path().string();
    fs::create_directory_symlink(GAME_DATA_DIR, dir + "/data");
    fs::current_path(dir);

    previous_layer_ = GlfwLayer::current;
    GlfwLayer::current = &fake;
    previous_roots_ = gc_roots;
    // Should a test choose the real device: one that plays to nowhere,
    // whatever the machine has.
    setenv("ALSOFT_DRIVERS", "null", 1);
    make_audio = [] { return new NullAudio(); };
}

GameHost::~GameHost() {
    if (audio) audio->Close();
    orvGraphicsDeviceFactory = nullptr;
    orvAudioDeviceFactory = nullptr;
    gc_roots = previous_roots_;
    GlfwLayer::current = previous_layer_;
    delete host;
    std::error_code ignored;
    fs::current_path(previous_dir_, ignored);
    fs::remove_all(dir, ignored);
    current_dir.clear();
}

void GameHost::Start() {
    host = new OrvGlfwGame();
    orvGraphicsDeviceFactory = [this] { return graphics = new RecordingGraphics(); };
    orvAudioDeviceFactory = [this] { return audio = make_audio(); };
    OrvQuarloGame::StartProgram(host);
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    host->StartGame();
    host->RenderGame();
}

void GameHost::Update(int count) {
    for (int i = 0; i < count; ++i) {
        const int rate = host->UpdateRate();
        fake.now += 1.0 / (rate > 0 ? rate : 60);
        host->UpdateGame();
    }
}

void GameHost::KeyDown(int code) {
    const int key = WindowKeyFor(code);
    if (key < 0) return host->KeyEvent(OrvGameEvent::KeyDown, code);
    if (!std::count(fake.pressed_keys.begin(), fake.pressed_keys.end(), key)) fake.pressed_keys.push_back(key);
    fake.callbacks().key(key, glfw27::PRESS);
}

void GameHost::KeyUp(int code) {
    const int key = WindowKeyFor(code);
    if (key < 0) return host->KeyEvent(OrvGameEvent::KeyUp, code);
    auto& keys = fake.pressed_keys;
    keys.erase(std::remove(keys.begin(), keys.end(), key), keys.end());
    fake.callbacks().key(key, glfw27::RELEASE);
}
