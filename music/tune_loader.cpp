// The player object, the start of a tune and the loader that reads a tune
// image and its instrument samples a few steps per rendered frame. The tune
// image is decoded by drawing each pattern into the back buffer and reading
// the pixels back, so loading only runs while a frame is being rendered.
#include "framework/app.h"
#include "music/qn_player.h"

namespace {

constexpr int kLoadSteps = 70;
constexpr int kFrameSize = 64;       // a pattern is one 64 x 64 frame
constexpr int kTuneFrames = 64;      // frames the tune image must hold
constexpr int kFirstDecodeStep = 5;  // loader step that decodes pattern 0
constexpr int kLastDecodeStep = 67;  // ... and pattern 62; frame 63 is never read
constexpr int kCellsPerStrip = 8;

// "inst/" + kind + variant [+ "-" + drum] + ".wav"; a missing file gives null.
c_Sound* LoadInstrument(const char* kind, int variant, int drum = 0) {
    String path = String("inst/") + String(kind) + String(variant);
    if (drum > 0) path += String("-") + String(drum);
    return orv_audio_LoadSound(path + String(".wav"));
}

}  // namespace

c_QnPlayer::c_QnPlayer() {
    gc_assign(m_InstCount, Array<int>(8));
    gc_assign(m_InstPick, Array<int>(8));
    gc_assign(m_DrumsA, Array<c_Sound*>(9));
    gc_assign(m_DrumsB, Array<c_Sound*>(9));
    gc_assign(m_Instruments, Array<c_Sound*>(8));
    gc_assign(m_Song, Array<int>(262145));
    gc_assign(m_MaxPattern, Array<int>(8));
    gc_assign(m_Channel, Array<int>(8));
    gc_assign(m_Sounding, Array<int>(8));
    gc_assign(m_Pattern, Array<int>(8));
    gc_assign(m_Mute, Array<int>(8));
    gc_assign(m_LeadIn, Array<int>(8));
    gc_assign(m_MuteNext, Array<int>(8));
    gc_assign(m_Rate, Array<float>(8));
    gc_assign(m_Envelope, Array<float>(8));
    gc_assign(m_LastVolume, Array<float>(8));
}

void c_QnPlayer::mark() {
    gc_mark_q(m_InstCount.rep);
    gc_mark_q(m_InstPick.rep);
    gc_mark_q(m_DrumsA.rep);
    gc_mark_q(m_DrumsB.rep);
    gc_mark_q(m_Instruments.rep);
    gc_mark_q(m_TuneImage);
    gc_mark_q(m_Song.rep);
    gc_mark_q(m_MaxPattern.rep);
    gc_mark_q(m_Channel.rep);
    gc_mark_q(m_Sounding.rep);
    gc_mark_q(m_Pattern.rep);
    gc_mark_q(m_Mute.rep);
    gc_mark_q(m_LeadIn.rep);
    gc_mark_q(m_MuteNext.rep);
    gc_mark_q(m_Rate.rep);
    gc_mark_q(m_Envelope.rep);
    gc_mark_q(m_LastVolume.rep);
}

int c_QnPlayer::p_Qn_Init(int baseChannel, int kits, int leads, int accompaniments, int basses) {
    m_BaseChannel = baseChannel;
    m_InstCount[1] = kits;
    m_InstCount[2] = leads;
    m_InstCount[3] = accompaniments;
    m_InstCount[4] = basses;
    return 0;
}

int c_QnPlayer::p_Qn_StartTune(String name, int seedBase, int tempo) {
    const String path = String("tunes/") + name + String(".png");
    m_Section = 0;
    m_SeedBase = seedBase;
    m_NextTime = WrapAdd(orv_app_Millisecs(), 100);
    m_Step = 0;
    m_State = 2;
    m_Tempo = tempo;
    if (path != m_TunePath) {
        m_LoadStep = 1;
        m_TunePath = path;
        for (int i = 0; i < m_MaxPattern.Length(); ++i) {
            m_MaxPattern[i] = 0;
            m_Pattern[i] = 0;
        }
    }
    for (int i = 0; i < m_Voices; ++i) m_Channel[i] = m_BaseChannel - i;

    // The instruments depend only on the seed base.
    p_Reseed(WrapAdd(m_SeedBase, m_Section));
    m_InstPick[1] = p_Rand(1, static_cast<float>(m_InstCount[1]));
    m_InstPick[2] = p_Rand(1, static_cast<float>(m_InstCount[1]));
    m_InstPick[3] = p_Rand(1, static_cast<float>(m_InstCount[2]));
    m_InstPick[4] = p_Rand(1, static_cast<float>(m_InstCount[3]));
    m_InstPick[5] = p_Rand(1, static_cast<float>(m_InstCount[4]));

    for (int v = 0; v < m_Voices; ++v) {
        p_Reseed(WrapAdd(WrapAdd(WrapMul(m_Section, 9), m_SeedBase), WrapMul(7, v)));
        m_Pattern[v] = p_Rand(0, static_cast<float>(m_MaxPattern[v]));
        m_MuteNext[v] = p_Rand(0, 1);
        m_LeadIn[v] = p_Rand(0, 1);
        m_Mute[v] = p_Rand(0, 1);
    }
    // Some drums always play.
    if (m_Mute[0] == 1 && m_Mute[1] == 1) m_Mute[0] = 0;
    m_BarsLeft = p_Rand(1, 2) * 2;
    m_Chords = String("qqjj");
    return 0;
}

int c_QnPlayer::p_Qn_LoadChunk() {
    const int s = m_LoadStep;
    if (s == 1) gc_assign(m_TuneImage, orv_graphics_LoadImage2(m_TunePath, kFrameSize, kFrameSize, kTuneFrames, 1));

    if (s >= 2 && s <= 9) gc_assign(m_DrumsA[s - 1], LoadInstrument("d", m_InstPick[1], s - 1));
    if (s >= 12 && s <= 19) gc_assign(m_DrumsB[s - 11], LoadInstrument("d", m_InstPick[2], s - 11));
    if (s == 21) gc_assign(m_Instruments[2], LoadInstrument("lead", m_InstPick[3]));
    if (s == 22) gc_assign(m_Instruments[3], LoadInstrument("accompany", m_InstPick[4]));
    if (s == 23) gc_assign(m_Instruments[4], LoadInstrument("bass", m_InstPick[5]));

    if (m_TuneImage && s >= kFirstDecodeStep && s <= kLastDecodeStep) p_Qn_DecodePattern(s - kFirstDecodeStep);

    m_LoadStep += 1;
    // Playback starts a little after the last loader step.
    m_NextTime = WrapAdd(orv_app_Millisecs(), 100);
    if (m_LoadStep > kLoadSteps) m_LoadStep = 0;
    return 0;
}

int c_QnPlayer::p_Qn_DecodePattern(int f) {
    Array<int> pixels(kFrameSize * kFrameSize);
    // A background of blue 0, so a cell reads as its pixel drawn opaque.
    orv_graphics_Cls(1, 0, 0);
    orv_graphics_SetAlpha(1);
    orv_graphics_SetColor(1, 0, 0);
    orv_graphics_DrawRect(0, 0, kFrameSize, kFrameSize);
    orv_graphics_SetColor(255, 255, 255);
    // The handle is the frame's centre: the frame covers pixels 0..63.
    orv_graphics_DrawImage(m_TuneImage, kFrameSize / 2, kFrameSize / 2, f);
    orv_graphics_ReadPixels(pixels, 0, 0, kFrameSize, kFrameSize, 0, kFrameSize);
    for (int y = 0; y < kFrameSize; ++y) {
        for (int g = 0; g < kFrameSize / kCellsPerStrip; ++g) {
            for (int k = 0; k < kCellsPerStrip; ++k) {
                const int blue = pixels[y * kFrameSize + g * kCellsPerStrip + k] & 0xff;
                const int value = blue >> 3;
                m_Song[f * 4096 + g * 512 + y * kCellsPerStrip + k] = value;
                if (value != 0) m_MaxPattern[g] = f;
            }
        }
    }
    return 0;
}

int c_QnPlayer::p_Qn_Alive_R() {
    if (m_LoadStep > 0) {
        for (int i = 0; i < 3 && m_LoadStep != 0; ++i) p_Qn_LoadChunk();
    }
    // Nothing the loader drew stays visible.
    orv_graphics_Cls(0, 0, 0);
    return 0;
}
