// The procedural music player: a tune stored as an image of tracker patterns,
// played step by step with short instrument samples, its arrangement varied
// section by section with seeded random choices.
#pragma once
#include <cstdint>

#include "framework/audio.h"
#include "framework/graphics.h"
#include "runtime/array.h"
#include "runtime/string.h"

class c_QnPlayer : public Object {
public:
    c_QnPlayer();
    c_QnPlayer* m_new() { return this; }
    void mark() override;

    // ---- tune loading (tune_loader.cpp)
    int p_Qn_Init(int baseChannel, int kits, int leads, int accompaniments, int basses);
    int p_Qn_StartTune(String name, int seedBase, int tempo);
    int p_Qn_LoadChunk();
    int p_Qn_Alive_R();
    // Draws pattern f of the tune image and reads its cells back.
    int p_Qn_DecodePattern(int f);

    // ---- sequencer and note playback (sequencer.cpp)
    int p_Qn_Alive_U(int paused, int musicOn);
    int p_Qn_MusicPlay();
    int p_Qn_PlayNote(int voice, int note, int volume, int fx, int param);
    int p_Qn_Stop(int full);
    String p_Qn_GetChord(int n);
    float p_GetPitch(int note);
    float p_GetPitch_Alpha(int letter);
    int p_Rand(float lo, float hi);
    // Seeds the shared generator and throws the first eleven draws away.
    int p_Reseed(int seed);

    int m_BaseChannel = 0;
    Array<int> m_InstCount;  // [1] kits, [2] leads, [3] accompaniments, [4] basses
    int m_LoadStep = 0;
    Array<int> m_InstPick;
    Array<c_Sound*> m_DrumsA;
    Array<c_Sound*> m_DrumsB;
    Array<c_Sound*> m_Instruments;
    String m_TunePath;
    c_Image* m_TuneImage = nullptr;
    Array<int> m_Song;
    Array<int> m_MaxPattern;
    int m_NextTime = 0;
    int m_State = 0;  // 0 stopped, 2 playing
    int m_Voices = 5;
    Array<int> m_Channel;
    Array<int> m_Sounding;
    Array<int> m_Pattern;
    int m_Step = 0;
    int m_BarsLeft = 0;
    Array<int> m_Mute;
    Array<int> m_LeadIn;
    Array<int> m_MuteNext;
    float m_ChordMul = 0;
    String m_Chords;
    Array<float> m_Rate;
    Array<float> m_Envelope;
    float m_MasterVolume = 0.5f;
    Array<float> m_LastVolume;
    int m_LoopFlag = 1;
    int m_Tempo = 95;
    int m_SeedBase = 0;
    int m_Section = 0;

private:
    // Seeds and clock values wrap at 32 bits.
    static int WrapAdd(int a, int b) {
        return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
    }
    static int WrapMul(int a, int b) {
        return static_cast<int>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
    }
    int p_StopVoices();
};
