// The playing half of the music player: one step of the tune at a time on
// the host's millisecond clock, five voices with chords, drums, envelopes
// and slides, and a new arrangement at the start of every section.
#include "framework/app.h"
#include "framework/random.h"
#include "music/qn_player.h"
#include "runtime/numeric.h"

namespace {

constexpr int kStepsPerBar = 64;
constexpr int kClockJump = 123456;   // a due time this far ahead means the clock went back
constexpr int kPauseResumeMs = 150;  // the tune resumes this long after a pause ends
constexpr int kLeadInStep = 55;      // a lead-in voice comes in after this step of the last bar
constexpr float kDrumPan = 0.35f;
constexpr float kEnvelopeStep = 0.1f;
constexpr float kRateMax = 4.0f;
constexpr float kRateMin = 0.25f;

enum Effect : int { kSlideUp = 1, kSlideDown = 2, kBendUp = 3, kBendDown = 4, kEndBar = 8, kJump = 27 };

// Rates of notes 1..32, close to equal-tempered semitones around note 13.
constexpr float kPitch[32] = {0.5f,   0.5295f, 0.561f, 0.5945f, 0.63f,  0.6675f, 0.707f, 0.749f,
                              0.7935f, 0.841f,  0.891f, 0.944f,  1.0f,   1.059f,  1.122f, 1.189f,
                              1.26f,   1.335f,  1.414f, 1.498f,  1.587f, 1.682f,  1.782f, 1.888f,
                              2.0f,    2.118f,  2.244f, 2.378f,  2.52f,  2.67f,   2.828f, 2.996f};

// The chord letters: a two-row keyboard, one letter per note 1..32.
constexpr char kKeyboard[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

// The drum played for each note value of a drum voice, 0 for none.
int DrumFor(int note) {
    switch (note) {
        case 13: return 1;
        case 15: return 2;
        case 17: return 3;
        case 18: return 4;
        case 20: return 5;
        case 22: return 6;
        case 24: return 7;
        case 25: return 8;
        default: return 0;
    }
}

// Index of a cell: cell k of voice v at step s of pattern p.
int CellIndex(int p, int v, int s) { return ((p * 512) + v * 64 + s) * 8; }

}  // namespace

int c_QnPlayer::p_Rand(float lo, float hi) {
    return orvTrunc(orv_math_Floor(orv_random_Rnd() * (hi + 0.99f - lo) + lo));
}

int c_QnPlayer::p_Reseed(int seed) {
    orv_random_Seed = seed;
    for (int i = 0; i < 11; ++i) orv_random_Rnd();
    return 0;
}

int c_QnPlayer::p_StopVoices() {
    for (int i = 0; i < m_Voices; ++i) {
        if (m_Channel[i] >= 1 && m_Sounding[i] == 1) {
            orv_audio_StopChannel(m_Channel[i]);
            m_Sounding[i] = 0;
        }
    }
    return 0;
}

int c_QnPlayer::p_Qn_Stop(int full) {
    p_StopVoices();
    if (full == 1) m_State = 0;
    return 0;
}

int c_QnPlayer::p_Qn_Alive_U(int paused, int musicOn) {
    const int now = orv_app_Millisecs();
    if (m_State == 0) {
        p_StopVoices();
        if (paused == 1) m_NextTime = WrapAdd(now, kPauseResumeMs);
        return 0;
    }
    if (m_State == 2 && paused == 0 && m_LoadStep == 0) {
        if (musicOn == 1) {
            p_Qn_MusicPlay();
        } else if (musicOn == 0) {
            p_StopVoices();
        }
        return 0;
    }
    // Paused or still loading: hold the place.
    if (paused == 1) m_NextTime = WrapAdd(now, kPauseResumeMs);
    if (m_State == 2 && (paused == 1 || musicOn == 0)) p_StopVoices();
    return 0;
}

int c_QnPlayer::p_Qn_MusicPlay() {
    const int now = orv_app_Millisecs();
    if (!(m_NextTime < now || m_NextTime > WrapAdd(now, kClockJump))) return 0;

    for (int v = 0; v < m_Voices; ++v) {
        const int p = m_Pattern[v];
        const int s = m_Step;
        int at = CellIndex(p, v, s);
        const int fx = m_Song[at + 2];
        const int param = m_Song[at + 3];
        // A jump never leaves the decoded patterns: at the first or the last
        // one the voice stays where it is.
        int target = p;
        if (fx == kJump && param == 1 && m_BarsLeft % 2 == 1 && p < 63) target = p + 1;
        if (fx == kJump && param == 2 && m_BarsLeft % 2 == 0 && p > 0) target = p - 1;
        if (target != p) {
            m_Pattern[v] = target;
            at = CellIndex(target, v, s);
        }
        p_Qn_PlayNote(v, m_Song[at], m_Song[at + 1], m_Song[at + 2], m_Song[at + 3]);
        if (m_Song[at + 2] == kEndBar) m_Step = kStepsPerBar - 1;
    }

    // From the previous due time, so the tempo does not drift.
    m_NextTime = orvTrunc(static_cast<float>(m_NextTime) + 8000.0f / static_cast<float>(m_Tempo));
    m_Step = (m_Step + 1) % kStepsPerBar;
    if (m_Step != 0) return 0;

    // A new bar: its chord, and maybe a new section.
    orv_random_Seed = WrapAdd(WrapMul(m_Section, 9), m_SeedBase);
    for (int i = 0; i < 16; ++i) orv_random_Rnd();
    if (m_Chords.Length() == 1) m_Chords = String(" ") + p_Qn_GetChord(p_Rand(0, 4));
    if (m_Chords.Length() > 1) m_Chords = m_Chords.Slice(1);

    m_BarsLeft -= 1;
    if (m_BarsLeft >= 1) return 0;
    orv_random_Seed = WrapAdd(WrapMul(m_Section, 9), m_SeedBase);
    for (int i = 0; i < 11; ++i) p_Rand(1, 5);
    m_BarsLeft = p_Rand(1, 2) * 2;
    m_Section += 1;
    for (int v = 0; v < m_Voices; ++v) {
        p_Reseed(WrapAdd(WrapAdd(WrapMul(7, v), WrapMul(9, m_Section)), m_SeedBase));
        m_Pattern[v] = p_Rand(0, static_cast<float>(m_MaxPattern[v]));
        // The mute chosen a section ago takes effect now.
        if (m_State > 1) m_Mute[v] = m_MuteNext[v];
        m_MuteNext[v] = p_Rand(0, 1);
        m_LeadIn[v] = p_Rand(0, 1);
    }
    if (m_State > 1 && m_Mute[0] == 1 && m_Mute[1] == 1) m_Mute[0] = 0;
    return 0;
}

int c_QnPlayer::p_Qn_PlayNote(int v, int note, int volume, int fx, int param) {
    // 1. Mute, with the lead-in of the last eight steps of a section.
    int mute = m_Mute[v];
    if (m_State >= 2 && m_BarsLeft <= 1 && m_Step > kLeadInStep && m_LeadIn[v] == 1) {
        mute = m_MuteNext[v] != 0 ? m_Mute[v] : 0;
    }

    // 2. The chord of this bar.
    m_ChordMul = 1.0f;
    if (m_State >= 2 && m_Chords.Length() > 0) m_ChordMul = p_GetPitch_Alpha(m_Chords[0]);

    // 3. Channels.
    for (int i = 0; i < m_Voices; ++i) m_Channel[i] = m_BaseChannel - 1 - i;
    const int channel = m_Channel[v];

    // 4. Drum hit.
    if ((v == 0 || v == 1) && note >= 1 && mute == 0 && channel >= 1) {
        orv_audio_StopChannel(channel);
        const int drum = DrumFor(note);
        c_Sound* sound = drum == 0 ? nullptr : (v == 0 ? m_DrumsA : m_DrumsB)[drum];
        if (sound) {
            m_Sounding[v] = 1;
            orv_audio_PlaySound(sound, channel, 0);
            orv_audio_SetChannelPan(channel, v == 0 ? -kDrumPan : kDrumPan);
        }
        m_Rate[v] = 1.0f;
        m_Envelope[v] = 4.0f;
    }

    // 5. Volume and envelope.
    float g = static_cast<float>(volume - 1) / 29.0f;
    if (g > 1) {
        m_Envelope[v] = 0;
        g = 0;
    } else if (g < 0) {
        g = 0;
    }
    if (volume >= 1 && channel >= 1 && mute == 0) {
        m_Envelope[v] = 1.5f;
        orv_audio_SetChannelVolume(channel, g * m_MasterVolume);
        m_LastVolume[v] = g;
    } else {
        g = m_LastVolume[v];
    }
    m_Envelope[v] = m_Envelope[v] - kEnvelopeStep;
    if (m_Envelope[v] < 0) m_Envelope[v] = 0;
    if (m_Envelope[v] < 1) {
        g = m_Envelope[v] * g;
        if (channel >= 1) {
            orv_audio_SetChannelVolume(channel, g * m_MasterVolume);
            m_LastVolume[v] = g;
        }
    }

    // 6. Melodic note: the sample loops until the envelope ends it.
    if (v >= 2 && v <= 4 && note >= 1 && mute == 0 && channel >= 1) {
        orv_audio_StopChannel(channel);
        const float rate = p_GetPitch(note) * m_ChordMul;
        m_Rate[v] = rate;
        m_Envelope[v] = 1.5f;
        orv_audio_SetChannelRate(channel, rate);
        if (m_Instruments[v]) {
            m_Sounding[v] = 1;
            orv_audio_PlaySound(m_Instruments[v], channel, m_LoopFlag);
        }
    }

    // 7. A muted voice takes no effects.
    if (mute != 0) return 0;

    // 8. Pitch effects, also on rows without a note.
    if (channel >= 1 && fx >= kSlideUp && fx <= kBendDown) {
        const float amount = static_cast<float>(param) / (fx <= kSlideDown ? 180.0f : 15.0f);
        if (fx == kSlideUp || fx == kBendUp) {
            const float rate = m_Rate[v] + amount;
            m_Rate[v] = rate > kRateMax ? kRateMax : rate;
        } else {
            const float rate = m_Rate[v] - amount;
            m_Rate[v] = rate < kRateMin ? kRateMin : rate;
        }
        orv_audio_SetChannelRate(channel, m_Rate[v]);
    }
    return 0;
}

String c_QnPlayer::p_Qn_GetChord(int n) {
    switch (n) {
        case 0: return String("qqqq");
        case 2: return String("qqbb");
        case 3: return String("qbqb");
        case 4: return String("qqqj");
        case 5: return String("qqzz");
        default: return String("qqjj");
    }
}

float c_QnPlayer::p_GetPitch(int note) {
    if (note < 1 || note > 32) return 0;
    return kPitch[note - 1];
}

float c_QnPlayer::p_GetPitch_Alpha(int letter) {
    for (int i = 0; i < 32; ++i) {
        if (kKeyboard[i] == letter) return kPitch[i];
    }
    return 0;
}
