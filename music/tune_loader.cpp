#include "music/qn_player.h"

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

// The loader and the tune start arrive with the music player's own work; the
// program keeps the player switched off until then.
int c_QnPlayer::p_Qn_Init(int, int, int, int, int) { return 0; }
int c_QnPlayer::p_Qn_StartTune(String, int, int) { return 0; }
int c_QnPlayer::p_Qn_LoadChunk() { return 0; }
int c_QnPlayer::p_Qn_Alive_R() { return 0; }
