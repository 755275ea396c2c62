// Every change of window size reloads every image and sound slot, and every
// level start (each new life, each new game) starts the level music again.
// What was replaced is given back at once: the collector counts only its own
// small objects, and play allocates almost none, so pixels and samples left
// to it piled up; a tune started again reuses the buffers it streams through.
#include "tests/game/game_test.h"

namespace {

TEST(Reload, WhatAReloadOrANewTuneReplacesIsReleasedAtOnce) {
    GameHost game;
    game.make_audio = [] { return new gxtkAudio(); };  // real buffers, on OpenAL's silent output
    game.Start();
    auto* app = static_cast<c_MyApp*>(orv_app__app);
    game.Frame(40);
    ASSERT_EQ(app->m_LoadStage, 0);

    // The sprite sheet and a sound stay reachable through slots the game
    // does not use, so that they can be looked at after the reload.
    c_Image* sheet = app->m_Images[1];
    c_Sound* sound = app->m_Sounds[7];
    gc_assign(app->m_Images[50], sheet);
    gc_assign(app->m_Sounds[50], sound);
    ASSERT_EQ(sheet->m_Surface->width, 512);  // the "-hd" sheet of a 640 × 480 window
    ASSERT_NE(sheet->m_Surface->pixels, nullptr);
    ASSERT_NE(sound->m_Sample->buffer, 0u);

    game.Press(122);  // F11: full screen, 1280 × 1024 on the fake desktop
    for (int i = 0; i < 45; ++i) game.Frame();  // the flip, then the loader at the new size
    ASSERT_EQ(app->m_LoadStage, 0);
    ASSERT_NE(app->m_Images[1], sheet);
    ASSERT_NE(app->m_Sounds[7], sound);
    EXPECT_EQ(app->m_Images[1]->m_Surface->width, 1024);
    EXPECT_EQ(sheet->m_Surface->pixels, nullptr);
    EXPECT_EQ(sound->m_Sample->buffer, 0u);
    EXPECT_NE(app->m_Sounds[7]->m_Sample->buffer, 0u);

    // Music started again releases the tune it replaces. Buffer names are
    // handed out again once deleted: count the live ones.
    const auto buffers = [] {
        int n = 0;
        for (unsigned name = 1; name < 1000; ++name) n += gxtkAudio::BufferExists(name) ? 1 : 0;
        return n;
    };
    app->p_PlayTune(String("Voduzozu"), 1);
    const int playing = buffers();
    for (int level = 0; level < 3; ++level) app->p_PlayTune(String("Voduzozu"), 1);  // as level intros do
    EXPECT_EQ(buffers(), playing);
    const gxtkAudio::SourceInfo music = game.audio->Inspect(gxtkAudio::kMusicChannel);
    EXPECT_EQ(Values(music.alState, game.audio->MusicState()), Values(gxtkAudio::SourceInfo::Playing, 1));
}

}  // namespace
