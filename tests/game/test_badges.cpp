// Game over, highscore lists and ranks, and the badge pop-ups.
#include "tests/game/game_test.h"

namespace {

using GameOver = GameTest;
using Highscores = GameTest;
using Badges = GameTest;

TEST_F(Highscores, EqualScoreIsAnnouncedAtItsPlaceButStoredBelowIt) {
    const auto list = [&](int from) { return std::vector<double>(&app->m_Scores[from], &app->m_Scores[from] + 10); };
    const auto rank = [&](int score) {
        app->m_Score = score;
        const std::string text = app->p_MyNth().ToUtf8();
        return text + "/" + std::to_string(app->m_Rank);
    };
    // With empty lists any score is first, but zero is not stored.
    app->m_GameType = 1;
    EXPECT_EQ((std::vector<std::string>{rank(0), rank(1), rank(99999)}), std::vector<std::string>(3, "1st!/1"));
    app->m_Scores[30] = 17;
    rank(0);
    app->p_LoadMenu();
    EXPECT_EQ(list(0), std::vector<double>(10, 0));
    EXPECT_EQ(list(30), Values(0, 17, 0, 0, 0, 0, 0, 0, 0, 0));

    app->m_GameType = 3;
    for (int k = 0; k < 10; ++k) {
        app->m_Scores[20 + k] = 1000 - 100 * k;  // 1000 ... 100
        app->m_Scores[50 + k] = k + 1;
    }
    EXPECT_EQ(rank(100), "10th/10");
    app->p_LoadMenu();
    EXPECT_EQ(list(20), Values(1000, 900, 800, 700, 600, 500, 400, 300, 200, 100));
    EXPECT_EQ(list(50), Values(100, 1, 2, 3, 4, 5, 6, 7, 8, 9));  // newest first
    EXPECT_EQ(host.saves, 2);

    // A higher score goes in above the first lower entry; the tenth drops out.
    EXPECT_EQ(rank(650), "5th/5");
    app->p_LoadMenu();
    EXPECT_EQ(list(20), Values(1000, 900, 800, 700, 650, 600, 500, 400, 300, 200));
    EXPECT_EQ(rank(150), "/0");
    EXPECT_EQ(list(10), std::vector<double>(10, 0));  // other game types untouched
}

TEST_F(GameOver, BarsAndWordsSweepInThenTheMenuComesBackBeneathAsTheyFade) {
    app->m_Mode = 10;
    app->m_GameOver = 1;
    app->m_Score = 10;  // first place in the empty list
    app->m_StreamPlaying = 1;
    app->m_Music->m_State = 2;
    for (int t = 0; t < 90; ++t) {
        ASSERT_EQ(Values(app->m_GameOverTime, app->m_Mode, app->m_StreamPlaying), Values(t, 10, 1));
        app->p_CLS2D();
        app->p_GameOver();
        EXPECT_TRUE(t > 0 || app->m_DrawCount == 0) << "nothing drawn before the first step";
        if (t == 0 || t > 30) continue;
        const auto yellow = Rects(255, 255, 0), orange = Rects(255, 128, 0);
        ASSERT_TRUE(yellow.size() == 1 && orange.size() == 1 && Rects(0, 0, 0).size() == 1) << t;
        const float bar = t < 18 ? 12.0f * t : 216;
        EXPECT_EQ(Values(yellow[0].sx, orange[0].x, orange[0].sx, Drawn()[0].alpha),
                  Values(2 * bar, 640 - 2 * bar, 2 * bar + 1, t < 28 ? t / 40.0f : 0.7f))
            << t;
        // The words stand on the bars' tips; the notice under "OVER".
        ASSERT_EQ(TextLines(), (std::vector<std::string>{"GAME", "OVER", "NewHighscore", "1st!"}));
        EXPECT_EQ(Values(Drawn(90)[0].y, Drawn(90)[4].y), Values(bar, 480 - bar));
    }
    // 90 ends the screen: back to the menu, music off, and already 73.
    EXPECT_EQ(Values(app->m_Mode, app->m_GameOverTime, app->m_StreamPlaying, app->m_Music->m_State),
              Values(2, 73, 0, 0));
    EXPECT_EQ(MusicCalls(*audio), std::vector<std::string>{"StopMusic"});
    app->m_Mode = 1;
    for (int expected = 71; expected >= 1; expected -= 2) ASSERT_EQ((app->p_GameOver(), app->m_GameOverTime), expected);
    // No rank: no notice.
    app->m_GameType = 1;
    for (int k = 0; k < 10; ++k) app->m_Scores[k] = 11;
    app->p_CLS2D();
    app->p_GameOver();
    EXPECT_EQ(TextLines(), (std::vector<std::string>{"GAME", "OVER"}));
    EXPECT_TRUE(Rects(0, 125, 255).empty());
    app->p_CLS2D();
    app->p_GameOver();
    EXPECT_EQ(Values(app->m_GameOverTime, app->m_DrawCount), Values(0, 0));
}

TEST_F(Badges, PopUpSlidesInStaysAndSlidesOutOverItsLife) {
    app->m_BadgePopTime[2] = 1;   // badge 0, in the third row
    app->m_BadgePopTime[13] = 1;  // beyond the shown rows: never drawn or aged
    std::vector<double> xs;  // where the box was, 1 when none was drawn
    for (int update = 0; update < 241; ++update) {
        app->p_CLS2D();
        app->p_ShowBadges();
        const auto boxes = Rects(0, 0, 80);
        xs.push_back(boxes.size() == 1 && boxes[0].y == 480 - 34 * 3 && boxes[0].sx == 160 ? boxes[0].x : 1);
    }
    // Times 2, 9, 10, 230, 231 and 241 (drawn once more, then freed); then nothing.
    EXPECT_EQ(Values(xs[0], xs[7], xs[8], xs[228], xs[229], xs[239], xs[240]), Values(-128, -16, 0, 0, -16, -176, 1));
    EXPECT_EQ(Values(app->m_BadgePopTime[2], app->m_BadgePopTime[13]), Values(0, 1));
    app->m_BadgePopTime[2] = 100;
    app->p_ShowBadges();
    EXPECT_EQ(TextLines(), std::vector<std::string>{"TestBadge"});  // the name part of the entry
}

}  // namespace
