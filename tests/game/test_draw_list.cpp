// The draw list as data: what the game records before anything is drawn.
#include <gtest/gtest.h>

#include <vector>

#include "game/my_app.h"

namespace {

// A game object on its own, outside any host: enough for the recording side.
// The font is slot 90 with the layout advance 7 and line height 10.
c_MyApp* NewGame() {
    gc_init();
    orvInit();
    auto* app = new c_MyApp();
    app->m_ImgInfo[90 * 3] = 7;
    app->m_ImgInfo[90 * 3 + 1] = 10;
    app->m_Font = 90;
    app->p_CLS2D();
    return app;
}

struct Command {
    float kind, x, y, rot, sizeX, sizeY, frame, alpha, f8, f9, red, green, blue, blend, f14;
};

Command At(c_MyApp* app, int index) {
    const float* f = &app->m_DrawList[index * 15];
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12], f[13], f[14]};
}

std::vector<Command> All(c_MyApp* app) {
    std::vector<Command> list;
    for (int i = 0; i < app->m_DrawCount / 15; ++i) list.push_back(At(app, i));
    return list;
}

TEST(DrawList, EachKindRecordsItsFieldsAndTheDrawState) {
    c_MyApp* app = NewGame();
    for (int i = 0; i < 45; ++i) app->m_DrawList[i] = 42;  // left over from an earlier picture
    app->p_SetSize(2, 3);
    app->p_SetRot(30);
    app->p_SetCol(10, 20, 30, 0.5f);
    app->m_DrawBlend = 3;
    app->p_DrawImg(7, 100, 50, 2.5f);
    app->p_SetCol(40, 50, 60);  // alpha omitted: kept
    app->p_Rect(1, 2, 30, 40);
    app->p_Alpha(0.25f);
    app->p_Oval(5, 6, 7, 8);
    ASSERT_EQ(app->m_DrawCount, 45);

    const Command image = At(app, 0), rect = At(app, 1), oval = At(app, 2);
    EXPECT_EQ(image.kind, 7);
    EXPECT_EQ(image.x, 100);
    EXPECT_EQ(image.y, 50);
    EXPECT_EQ(image.rot, -30);  // stored negated
    EXPECT_EQ(image.sizeX, 2);
    EXPECT_EQ(image.sizeY, 3);
    EXPECT_EQ(image.frame, 2.5f);  // truncated only at replay
    EXPECT_EQ(image.alpha, 0.5f);
    EXPECT_EQ(image.red, 10);
    EXPECT_EQ(image.green, 20);
    EXPECT_EQ(image.blue, 30);
    EXPECT_EQ(image.blend, 3);

    EXPECT_EQ(rect.kind, -3717);
    EXPECT_EQ(rect.x, 1);
    EXPECT_EQ(rect.y, 2);
    EXPECT_EQ(rect.rot, -30);
    EXPECT_EQ(rect.sizeX, 30);
    EXPECT_EQ(rect.sizeY, 40);
    EXPECT_EQ(rect.frame, 0);
    EXPECT_EQ(rect.alpha, 0.5f);
    EXPECT_EQ(rect.red, 40);

    EXPECT_EQ(oval.kind, -3716);
    EXPECT_EQ(oval.sizeX, 7);  // radii
    EXPECT_EQ(oval.sizeY, 8);
    EXPECT_EQ(oval.alpha, 0.25f);
    for (const Command& c : {image, rect, oval}) {
        EXPECT_EQ(c.f8, 42);
        EXPECT_EQ(c.f9, 42);
        EXPECT_EQ(c.f14, 42);
    }
}

TEST(DrawList, SettersAndANewPicture) {
    c_MyApp* app = NewGame();
    app->p_SetSize(2);
    EXPECT_EQ(app->m_DrawSizeX, 2);
    EXPECT_EQ(app->m_DrawSizeY, 2);
    app->p_SetSize(4, -3717);
    EXPECT_EQ(app->m_DrawSizeY, 4);
    app->p_SetSize(4, -3716.5f);  // only -3717 and below count as omitted
    EXPECT_EQ(app->m_DrawSizeY, -3716.5f);

    app->p_CLS2D(1, 2, 3, 0.5f);
    app->p_Rect(0, 0, 1, 1);
    orv_Kemp_jscrw = 320.5f;
    app->p_CLS2D();  // no colour given: the clear colour stays
    EXPECT_EQ(app->m_ClsR, 1);
    EXPECT_EQ(app->m_ClsB, 3);
    EXPECT_EQ(app->m_ClsA, 0.5f);
    EXPECT_EQ(app->m_DrawCount, 0);
    EXPECT_EQ(app->m_ViewW, 320);
    EXPECT_EQ(app->m_ViewH, 480);
    EXPECT_EQ(app->m_DrawSizeY, 1);
    EXPECT_EQ(app->m_DrawAlpha, 1);
    EXPECT_EQ(app->m_DrawBlend, 1);
    EXPECT_EQ(app->m_DrawR, 255);
}

TEST(DrawList, AFullListDropsFurtherCommands) {
    c_MyApp* app = NewGame();
    // Room is checked as "fewer than 37485 floats in use": 2499 commands.
    for (int i = 0; i < 2499; ++i) app->p_Rect(static_cast<float>(i), 0, 1, 1);
    EXPECT_EQ(app->m_DrawCount, 37485);
    app->p_DrawImg(1, 9, 9, 0);
    app->p_Oval(9, 9, 1, 1);
    app->p_Text(0, 0, String("dropped"), 0, 0);
    EXPECT_EQ(app->m_DrawCount, 37485);
    EXPECT_EQ(At(app, 2498).x, 2498);
    EXPECT_EQ(app->m_DrawList[37485], 0);  // nothing written past the end
}

TEST(DrawList, TextWidthFollowsTheLetterAdjustments) {
    c_MyApp* app = NewGame();
    // Right-aligned (alignX 2): the first glyph sits at x - width + its own offset 0.
    auto firstX = [&](const char* text) {
        app->p_CLS2D();
        app->p_Text(300, 100, String(text), 2, 1);
        return At(app, 0).x;
    };
    const float plain = firstX("aaa");
    EXPECT_EQ(plain, 300 - 21);
    EXPECT_EQ(firstX("iii"), plain + 9);
    EXPECT_EQ(firstX("www"), plain - 6);

    // Centred on the point, glyphs on the pen in order, frame = code - 32.
    app->p_CLS2D();
    app->p_SetSize(2);
    app->p_Text(320, 240, String("Wi t"), 1, 1);
    const std::vector<Command> glyphs = All(app);
    ASSERT_EQ(glyphs.size(), 3u);  // the space draws nothing
    const float width = (8 + 4 + 7 + 6) * 2;
    EXPECT_EQ(glyphs[0].x, 320 - width / 2);
    EXPECT_EQ(glyphs[0].y, 240);  // alignY 1 centres the line on y
    EXPECT_EQ(glyphs[1].x, glyphs[0].x + 16);
    EXPECT_EQ(glyphs[2].x, glyphs[1].x + 8 + 14);
    EXPECT_EQ(glyphs[0].frame, 'W' - 32);
    EXPECT_EQ(glyphs[2].frame, 't' - 32);
    EXPECT_EQ(glyphs[2].sizeX, 2);
    EXPECT_EQ(glyphs[0].kind, 90);

    // The width is truncated after each letter, the pen is not.
    app->p_CLS2D();
    app->p_SetSize(0.5f);
    app->p_Text(0, 0, String("aaa"), 2, 1);  // 3.5 → 3, 6.5 → 6, 9.5 → 9
    EXPECT_EQ(At(app, 0).x, -9);
    EXPECT_EQ(At(app, 2).x, -9 + 7);
}

TEST(DrawList, TextBreaksLinesAtBackslashN) {
    c_MyApp* app = NewGame();
    app->p_Text(100, 50, String("ab\\ncd"), 0, 0);
    const std::vector<Command> glyphs = All(app);
    ASSERT_EQ(glyphs.size(), 4u);
    // alignY 0 puts the top half a line lower.
    EXPECT_EQ(glyphs[0].x, 100);
    EXPECT_EQ(glyphs[0].y, 55);
    EXPECT_EQ(glyphs[1].x, 107);
    EXPECT_EQ(glyphs[2].x, 100);  // the second line starts at X0
    EXPECT_EQ(glyphs[2].y, 65);
    EXPECT_EQ(glyphs[3].x, 107);

    // Centred: both lines start at the same X0, the width counting every
    // character of the text (the break's two as well).
    app->p_CLS2D();
    app->p_Text(100, 50, String("a\\na"), 1, 1);
    const float x0 = 100 - static_cast<float>(7 + 7 + 6 + 7) / 2;
    EXPECT_EQ(At(app, 0).x, x0);
    EXPECT_EQ(At(app, 1).x, x0);
    EXPECT_EQ(At(app, 1).y, 60);

    // A backslash not followed by n is an ordinary character; one at the end
    // looks ahead at the appended space.
    app->p_CLS2D();
    app->p_Text(0, 0, String("\\x\\"), 0, 1);
    EXPECT_EQ(app->m_DrawCount, 45);
}

TEST(DrawList, RotatedTextRunsAlongItsAngle) {
    c_MyApp* app = NewGame();
    app->p_SetRot(90);
    app->p_Text(100, 100, String("ab\\nc"), 0, 0);
    const std::vector<Command> glyphs = All(app);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].rot, -90);
    // Line offset (half a line, alignY 0) turns into -x; the pen walks down.
    EXPECT_NEAR(glyphs[0].x, 95, 1e-4);
    EXPECT_NEAR(glyphs[0].y, 100, 1e-4);
    EXPECT_NEAR(glyphs[1].x, 95, 1e-4);
    EXPECT_NEAR(glyphs[1].y, 107, 1e-4);
    EXPECT_NEAR(glyphs[2].x, 85, 1e-4);  // next line: one line height further left
    EXPECT_NEAR(glyphs[2].y, 100, 1e-4);
}

TEST(DrawList, RstrPadsAndCutsFromTheLeft) {
    c_MyApp* app = NewGame();
    EXPECT_TRUE(app->p_rstr(3, 7, String("0")) == String("007"));
    EXPECT_TRUE(app->p_rstr(3, 12345, String(" ")) == String("345"));
    EXPECT_TRUE(app->p_rstr(8, 125, String("0")) == String("00000125"));
    EXPECT_TRUE(app->p_rstr(4, -5, String("0")) == String("00-5"));
    EXPECT_TRUE(app->p_rstr2(42, String(" ")) == String("         42"));
    EXPECT_TRUE(app->p_rstr(3, 7, String()) == String("7"));  // shorter than the width: all of it
    EXPECT_EQ(app->p_rstr(0, 5, String("0")).Length(), 0);
    EXPECT_EQ(app->p_rstr(-2, 5, String("0")).Length(), 0);
}

}  // namespace
