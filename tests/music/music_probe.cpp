// Plays one tune with the music player on the real host (a window for the
// loader, the real audio device), as the game does with its music switch
// on, so tests can capture and measure the sound, or see a fatal load.
// Usage: music_probe TUNE SECONDS [all|drums|melodic], run from a folder
// that holds "data". After the load it plays SECONDS of the tune (only the
// drum or only the melodic voices when asked) and closes the audio device,
// which completes a WAV capture. It prints the instruments the tune picked.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/app.h"
#include "framework/audio.h"
#include "music/qn_player.h"
#include "runtime/diagnostics.h"

namespace {

std::string tune;
int play_ms = 0;
std::string voices = "all";

class ProbeApp : public c_App {
public:
    ProbeApp* m_new() {
        c_App::m_new();
        gc_assign(player, (new c_QnPlayer())->m_new());
        return this;
    }
    void mark() override { gc_mark_q(player); }

    int p_OnCreate() override {
        orv_app_SetUpdateRate(60);
        player->p_Qn_Init(32, 4, 3, 3, 4);
        player->p_Qn_StartTune(String(tune.c_str()), 37171650, 100);
        return 0;
    }
    int p_OnUpdate() override {
        if (player->m_LoadStep == 0 && start < 0) Loaded();
        player->p_Qn_Alive_U(0, 1);
        if (start >= 0 && orv_app_Millisecs() - start >= play_ms) Finish();
        return 0;
    }
    int p_OnRender() override {
        player->p_Qn_Alive_R();
        return 0;
    }

private:
    void Loaded() {
        start = orv_app_Millisecs();
        // Leaving out a group of voices: their samples are dropped.
        if (voices == "melodic") {
            for (int k = 1; k <= 8; ++k) {
                gc_assign(player->m_DrumsA[k], nullptr);
                gc_assign(player->m_DrumsB[k], nullptr);
            }
        }
        if (voices == "drums") {
            for (int v = 2; v <= 4; ++v) gc_assign(player->m_Instruments[v], nullptr);
        }
        std::printf("loaded picks %d %d %d %d %d\n", player->m_InstPick[1], player->m_InstPick[2],
                    player->m_InstPick[3], player->m_InstPick[4], player->m_InstPick[5]);
    }
    void Finish() {
        std::fflush(stdout);
        player->p_Qn_Stop(1);
        orv_audio_device->Close();
        orv_app_EndApp();
    }

    c_QnPlayer* player = nullptr;
    int start = -1;
};

}  // namespace

void orvInit() {
    orvInitFramework();
    gc_roots = orvMarkFrameworkRoots;
}

int orvMain() {
    (new ProbeApp())->m_new();
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: music_probe TUNE SECONDS [all|drums|melodic]\n");
        return 2;
    }
    tune = argv[1];
    play_ms = static_cast<int>(std::atof(argv[2]) * 1000);
    if (argc > 3) voices = argv[3];
    OrvQuarloGame::Main(argc, argv);
    return 0;
}
