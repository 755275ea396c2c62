#include "music/qn_player.h"

int c_QnPlayer::p_Qn_Alive_U(int, int) { return 0; }
int c_QnPlayer::p_Qn_MusicPlay() { return 0; }
int c_QnPlayer::p_Qn_PlayNote(int, int, int, int, int) { return 0; }
int c_QnPlayer::p_Qn_Stop(int full) {
    if (full == 1) m_State = 0;
    return 0;
}
String c_QnPlayer::p_Qn_GetChord(int) { return String(); }
float c_QnPlayer::p_GetPitch(int) { return 0; }
float c_QnPlayer::p_GetPitch_Alpha(int) { return 0; }
int c_QnPlayer::p_Rand(float, float) { return 0; }
