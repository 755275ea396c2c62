// The draw list as data: what the game records before anything is drawn.
#include "tests/game/game_test.h"

namespace {

using DrawList = GameTest;

// Fields 0-7 and 10-13 of command i, and field 8 (never written).
std::vector<double> Fields(c_MyApp* app, int i) {
    const float* f = &app->m_DrawList[i * 15];
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[10], f[11], f[12], f[13], f[8]};
}

// The x and y of every command.
std::vector<double> Pen(c_MyApp* app) {
    std::vector<double> xy;
    for (int i = 0; i < app->m_DrawCount; i += 15) {
        xy.insert(xy.end(), {app->m_DrawList[i + 1], app->m_DrawList[i + 2]});
    }
    return xy;
}

TEST_F(DrawList, EachKindRecordsItsFieldsAndTheDrawState) {
    app->m_DrawList[8] = 42;  // left over from an earlier picture
    app->p_SetSize(2, 3);
    app->p_SetRot(30);  // stored negated
    app->p_SetCol(10, 20, 30, 0.5f);
    app->m_DrawBlend = 3;
    app->p_DrawImg(7, 100, 50, 2.5f);
    app->p_SetCol(40, 50, 60);  // alpha omitted: kept
    app->p_Rect(1, 2, 30, 40);
    app->p_SetSize(4);  // both scales
    app->p_Alpha(0.25f);
    app->p_Oval(5, 6, 7, 8);
    EXPECT_EQ(Fields(app, 0), Values(7, 100, 50, -30, 2, 3, 2.5f, 0.5f, 10, 20, 30, 3, 42));
    EXPECT_EQ(Fields(app, 1), Values(-3717, 1, 2, -30, 30, 40, 0, 0.5f, 40, 50, 60, 3, 0));
    EXPECT_EQ(Fields(app, 2), Values(-3716, 5, 6, -30, 7, 8, 0, 0.25f, 40, 50, 60, 3, 0));
    EXPECT_EQ(app->m_DrawSizeY, 4);
    app->p_SetSize(2, -3717);
    EXPECT_EQ(app->m_DrawSizeY, 2);

    // A new picture empties the list and resets the state; the clear colour
    // changes only when one is given.
    app->p_CLS2D(1, 2, 3, 0.5f);
    app->p_CLS2D();
    EXPECT_EQ(Values(app->m_DrawCount, app->m_ClsR, app->m_ClsB, app->m_ClsA, app->m_DrawRot, app->m_DrawAlpha,
                     app->m_DrawBlend),
              Values(0, 1, 3, 0.5f, 0, 1, 1));
}

TEST_F(DrawList, AFullListDropsFurtherCommands) {
    // Room is checked as "fewer than 37485 floats in use": 2499 commands.
    for (int i = 0; i < 2499; ++i) app->p_Rect(static_cast<float>(i), 0, 1, 1);
    app->p_DrawImg(1, 9, 9, 0);
    app->p_Text(0, 0, String("dropped"), 0, 0);
    EXPECT_EQ(Values(app->m_DrawCount, app->m_DrawList[37484 - 13], app->m_DrawList[37485]), Values(37485, 2498, 0));
}

TEST_F(DrawList, TextLayout) {
    // Right-aligned, the first glyph sits at x minus the width.
    for (auto [text, x] : {std::pair{"aaa", 300 - 21}, {"iii", 300 - 21 + 9}, {"www", 300 - 21 - 6}}) {
        app->p_CLS2D();
        app->p_Text(300, 100, String(text), 2, 1);
        EXPECT_EQ(app->m_DrawList[1], x) << text;
    }

    // Centred on the point (alignY 1 centres the line on y); glyph frame =
    // code - 32; a space advances without drawing; the backslash-n pair
    // breaks the line, the next one starting at X0 one line height lower.
    app->p_CLS2D();
    app->p_SetSize(2);
    app->p_Text(320, 240, String("Wi t\\nm"), 1, 1);
    const float x0 = 320 - (8 + 4 + 7 + 6 + 7 + 6 + 9);
    ASSERT_EQ(app->m_DrawCount, 4 * 15);
    EXPECT_EQ(Fields(app, 0)[6], 'W' - 32);
    EXPECT_EQ(Pen(app), Values(x0, 240, x0 + 16, 240, x0 + 16 + 8 + 14, 240, x0, 240 + 20));

    // Turned by 90 degrees: the pen walks down, the next line lies to the
    // left, and alignY 0's half line moves the start left too.
    app->p_CLS2D();
    app->p_SetRot(90);
    app->p_Text(100, 100, String("ab\\nc"), 0, 0);
    ASSERT_EQ(app->m_DrawCount, 3 * 15);
    const std::vector<double> expected = {95, 100, 95, 107, 85, 100}, pen = Pen(app);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(pen[i], expected[i], 1e-4) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Fields(app, i)[3], -90);
}

TEST_F(DrawList, RstrPadsAndCutsFromTheLeft) {
    for (auto [width, value, pad, out] : {std::tuple{3, 7, "0", "007"}, {3, 12345, " ", "345"}, {4, -5, "0", "00-5"},
                                          {0, 5, "0", ""}}) {
        EXPECT_EQ(app->p_rstr(width, value, String(pad)).ToUtf8(), out);
    }
}

}  // namespace
