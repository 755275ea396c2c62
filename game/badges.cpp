// Game over, highscore ranks, and the badge facility.
#include "game/my_app.h"
#include "runtime/numeric.h"

namespace {

const char* const kRankTexts[11] = {"", "1st!", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th"};

bool ValidGameType(int t) { return t >= 1 && t <= 3; }

}  // namespace

String c_MyApp::p_MyNth() {
    m_Rank = 0;
    if (ValidGameType(m_GameType)) {
        const int top = 10 * (m_GameType - 1);
        // An equal score is announced at that entry's place (it is stored below it).
        for (int k = 1; k <= 10; ++k) {
            if (m_Score >= m_Scores[top + k - 1]) {
                m_Rank = k;
                break;
            }
        }
    }
    return String(kRankTexts[m_Rank]);
}

int c_MyApp::p_GameOver() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    if (m_GameOverTime >= 1) {
        const int t = m_GameOverTime;
        // The screen beneath may have left any rotation or blend behind.
        p_SetRot(0);
        m_DrawBlend = 1;
        p_SetCol(0, 0, 0);
        const float fade = static_cast<float>(t) / 40;
        p_Alpha(fade < 0.7f ? fade : 0.7f);
        p_Rect(-1, -1, w + 2, h + 2);

        const int fullBar = orvTrunc(0.45f * h);
        const int b = 12 * t < fullBar ? 12 * t : fullBar;
        const float bf = static_cast<float>(b);
        p_SetSize(1);
        p_Alpha(0.5f);
        p_SetCol(255, 255, 0);
        p_Rect(-1, 0.45f * h - 8, 2 * bf, 16);
        p_SetCol(255, 128, 0);
        p_Rect(w - 2 * bf, 0.55f * h - 8, 2 * bf + 1, 16);

        p_SetSize(4);
        p_SetCol(255, 180, 180);
        p_Alpha(1);
        p_Text(0.35f * w, bf, String("GAME"), 1, 1);
        p_Text(0.65f * w, h - bf, String("OVER"), 1, 1);

        const String rank = p_MyNth();
        if (m_Rank > 0) {
            p_SetSize(1);
            p_SetCol(0, 125, 255);
            p_Alpha(0.5f);
            p_Rect(0.35f * w, h - bf / 1.5f - 16, 0.3f * w, 32);
            p_SetSize(2);
            p_SetCol(100, 255, 100);
            p_Alpha(1);
            // A backslash and an n: the text layout's line break.
            p_Text(0.5f * w, h - bf / 1.5f, String("New Highscore\\n           ") + rank, 0.5f, 2);
        }
    }

    if (m_Mode == screen::kGame) {
        ++m_GameOverTime;
        if (m_GameOverTime >= 90) {
            m_Mode = screen::kBackToTitle;
            m_GameOverTime = 75;
            m_Music->p_Qn_Stop(1);
            if (orv_Kemp_HasMusic == 1) m_Music->p_Qn_Stop(1);
            if (orv_Kemp_HasMusicStream == 1) p_StopTune();
        }
    }
    if (m_Mode < screen::kGame) m_GameOverTime = m_GameOverTime > 2 ? m_GameOverTime - 2 : 0;
    return 0;
}

String c_MyApp::p_BadgeID(int id) {
    if (id == 0) return String("Test Badge|This is a Test Badge which has no purpose.");
    return String();
}

String c_MyApp::p_BadgeName(int id) {
    const String entry = p_BadgeID(id);
    const int bar = entry.Find(String("|"));
    return bar < 0 ? entry : entry.Slice(0, bar);
}

String c_MyApp::p_BadgeDetail(int id) {
    const String entry = p_BadgeID(id);
    const int bar = entry.Find(String("|"));
    return bar < 0 ? String() : entry.Slice(bar + 1);
}

int c_MyApp::p_ShowBadges() {
    p_ResetDraw();
    const float h = orv_Kemp_jscrh;
    const int boxWidth = 160;
    for (int i = 0; i <= 12; ++i) {
        if (m_BadgePopTime[i] <= 0) continue;
        const int t = ++m_BadgePopTime[i];
        // Slides in from the left over 10 updates, out over the last 10 of 240.
        int x = 16 * t - boxWidth;
        if (t > 240 - boxWidth / 16) x = 16 * (240 - t) - boxWidth;
        if (x > 0) x = 0;
        if (t > 240) m_BadgePopTime[i] = 0;  // still drawn this once
        const float y = h - static_cast<float>(34 * (i + 1));
        const int id = m_BadgePopId[i];
        p_SetCol(0, 0, 80);
        p_Alpha(0.8f);
        p_Rect(static_cast<float>(x), y, static_cast<float>(boxWidth), 32);
        p_SetCol(255, 255, 255);
        p_Alpha(1);
        p_Text(static_cast<float>(x + 16), y + 4, p_BadgeName(id), 0, 0);
        // The icon sheet has 64 frames.
        if (id >= 0 && id < 64) {
            p_SetSize(0.5f);
            p_DrawImg(img::kBadges, static_cast<float>(x + 144), y + 16, static_cast<float>(id));
            p_SetSize(1);
        }
    }
    return 0;
}

int c_MyApp::p_BadgesBox() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    p_SetSize(1);
    p_SetRot(0);
    m_DrawBlend = 1;
    p_Alpha(0.8f);
    p_SetCol(255, 125, 0);
    p_Rect(0.1f * w, -1, 0.8f * w, h + 2);
    p_SetCol(100, 0, 0);
    p_Rect(0.12f * w, -1, 0.76f * w, h + 2);
    p_SetCol(255, 255, 255);
    p_Alpha(1);

    bool down = false, up = false;
    for (int player = 0; player < 4; ++player) {
        if (p_PlayKey(action::kDown, 1, player)) down = true;
        if (p_PlayKey(action::kUp, 1, player)) up = true;
    }
    if (down) m_BadgeScrollTarget -= 16;
    if (up) m_BadgeScrollTarget += 16;
    if (m_MouseWasDown != 0 && static_cast<float>(m_MouseX) > 0.12f * w) {
        m_BadgeScrollTarget += 1.5f * static_cast<float>(m_MouseY - m_MouseLastY);
    }
    if (m_BadgeScrollTarget > 0) m_BadgeScrollTarget = 0;
    m_BadgeScroll -= (m_BadgeScroll - m_BadgeScrollTarget) / 6;
    const float gap = m_BadgeScroll - m_BadgeScrollTarget;
    if (gap <= 6 && gap >= -6) m_BadgeScroll = m_BadgeScrollTarget;
    return 0;
}

// The online score and achievement service is not part of this program.
int c_MyApp::p_GC_PostScore(int, int) { return 0; }
int c_MyApp::p_GC_Badges() { return 0; }
