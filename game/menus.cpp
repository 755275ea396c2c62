// The screens around the game: title menu, return to it, quit prompt, and the
// options, credits and pause overlays.
#include "framework/app.h"
#include "framework/input.h"
#include "framework/random.h"
#include "game/my_app.h"
#include "runtime/numeric.h"

namespace {

const float kPanelWidth = 140;  // the title menu's score panel
const float kItemGap = 88;      // between the items of the title menu's strip
const int kCreditLines = 49;

// Actions whose being held keeps a key latch set.
bool Pressed(c_MyApp* app, int action) { return app->p_PlayKeyAll(action, 1) != 0; }

bool AnyActionHeld(c_MyApp* app) {
    for (int action : action::kAll) {
        if (Pressed(app, action)) return true;
    }
    return false;
}

bool AnyButtonPressed(c_MyApp* app) {
    for (int action = 10; action <= 15; ++action) {
        if (Pressed(app, action)) return true;
    }
    return false;
}

float Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The options cog: three layers of the button sheet turning at different
// speeds. Returns the hit test of the bottom layer.
int Cog(c_MyApp* app, float x, float y, float angle) {
    app->p_SetRot(-0.66f * angle);
    const int hit = app->p_Button(95, x, y, 8);
    app->p_SetRot(0.33f * angle);
    app->p_DrawImg(img::kButtons, x, y, 9);
    app->p_SetRot(angle);
    app->p_DrawImg(img::kButtons, x, y, 10);
    app->p_SetRot(0);
    return hit;
}

// The overscan slider, shown where the screen's safe area can be set.
void OverscanControl(c_MyApp* app, float y, int& keyLatch, int& touchLatch) {
    const float cx = 0.6f * orv_Kemp_jscrw;
    int& value = app->m_Settings[setting::kOverscan];
    app->p_SetSize(2);
    app->p_SetCol(255, 255, 255, 1);
    app->p_Text(cx, y, String("L1 <      Overscan      > R1"), 1, 1);
    app->p_SetSize(1);
    app->p_SetCol(0, 128, 255, 0.5f);
    if (app->p_Touch(cx - 128, y - 5, 256, 9) && touchLatch == 0) {
        value = value >= 32 ? 1 : 96;
        touchLatch = 1;
        app->p_PlaySFX2(sfx::kBlip, 1);
    }
    if (keyLatch == 0 && Pressed(app, action::kButtonE)) {
        value -= 16;
        keyLatch = 1;
    }
    if (keyLatch == 0 && Pressed(app, action::kButtonF)) {
        value += 16;
        keyLatch = 1;
    }
    if (value < 1) value = 1;
    if (value > 96) value = 96;
    orv_Kemp_overscan = static_cast<float>(value);
    app->p_SetCol(255, 255, 0, 0.75f);
    app->p_Rect(static_cast<float>(value) * 2.67f + cx - 132, y - 8, 8, 16);
}

// Corner marks of the safe area: an L of two bars in each corner.
void SafeAreaMarks(c_MyApp* app, float w, float h) {
    app->p_SetCol(255, 255, 255, 1);
    const float xs[2] = {0, w};
    const float ys[2] = {0, h};
    for (float x : xs) {
        for (float y : ys) {
            const float left = x == 0 ? 0 : x - 16, top = y == 0 ? 0 : y - 8;
            app->p_Rect(left, top, 16, 8);
            app->p_Rect(x == 0 ? 0 : x - 8, y == 0 ? 0 : y - 16, 8, 16);
        }
    }
}

// One row of the options box: its bar (the touch area) and its text.
// Returns 1 when the row is activated by a touch on it, or by a button while
// it is highlighted.
bool OptionRow(c_MyApp* app, int row, float textX, float y, float barWidth, const String& label) {
    const bool lit = app->m_OptSel == row;
    app->p_SetCol(0, lit ? 180.0f : 0.0f, lit ? 255.0f : 160.0f, 0.5f);
    const bool touched = app->p_Touch(textX - 16, y - 2, barWidth, 24) != 0;
    if (touched) app->m_OptSel = row;
    app->p_SetCol(255, 255, 255, 1);
    app->p_SetSize(2);
    app->p_Text(textX, y, label, 0, 0);
    const bool active = (touched && app->m_OptTouchLatch == 0) ||
                        (app->m_OptSel == row && app->m_OptKeyLatch == 0 && AnyButtonPressed(app));
    if (active) {
        app->m_OptKeyLatch = 1;
        app->m_OptTouchLatch = 1;
    }
    return active;
}

void CloseOptions(c_MyApp* app) {
    app->m_OptionsOpen = 0;
    app->m_OptKeyLatch = 1;
    app->m_OptTouchLatch = 1;
    app->p_PlaySFX2(sfx::kConfirm, 1);
    app->p_Save();
}

}  // namespace

// ---------------------------------------------------------------- title menu

namespace {

void SelectItem(c_MyApp* app, int item) {
    app->m_MenuSel = item;
    app->m_MenuScroll = static_cast<float>(1 - item) * kItemGap;
}

void StartItem(c_MyApp* app, int item) {
    if (item <= 3) {
        app->m_GameType = item;
        app->m_Mode = screen::kGameStart;
    } else {
        app->m_OptionsOpen = 1;
        app->m_OptSel = 0;
    }
    app->m_KeyLatch = 1;
    app->m_TouchLatch = 1;
    app->p_PlaySFX2(sfx::kBlip, 1);
}

// A tap on an item: a side item comes to the centre, the centre one starts.
void TapItem(c_MyApp* app, int item) {
    if (item != app->m_MenuSel) {
        SelectItem(app, item);
        app->m_MenuFling = 0;
        app->m_MenuDrag = 0;
        app->m_MenuSnap = item;
        app->m_KeyLatch = 1;
        app->m_TouchLatch = 1;
        app->p_PlaySFX2(sfx::kConfirm, 1);
    } else {
        StartItem(app, item);
    }
}

void StepByKey(c_MyApp* app, int item) {
    SelectItem(app, item);
    app->m_MenuSnap = item;
    app->m_KeyLatch = 1;
    app->p_PlaySFX2(sfx::kConfirm, 1);
}

}  // namespace

int c_MyApp::p_Menu() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    p_CLS2D(0, 0, 80, 1);
    if (m_MenuSlide < 0) ++m_MenuSlide;
    const float slide = static_cast<float>(m_MenuSlide);
    const bool boxOpen = m_CreditsOpen == 1 || m_OptionsOpen == 1 || m_BadgesOpen == 1;

    // Back leaves the program (on the console, through the quit prompt).
    if (m_KeyLatch == 0 && m_TouchLatch == 0) {
        const bool back = Pressed(this, action::kBack) || (orv_Kemp_isOuya == 1 && orv_input_KeyDown(KEY_ESCAPE));
        if (back && orv_Kemp_isOuya == 0) orv_app_EndApp();
        if (back && orv_Kemp_isOuya == 1) {
            m_Mode = screen::kQuitPrompt;
            m_KeyLatch = 1;
            m_TouchLatch = 1;
        }
    }

    p_SetSize(3);
    p_DrawImg(img::kMenu, 0.4f * w, 0.25f * h + 16 * slide, 0);
    p_SetSize(1);
    p_DrawImg(img::kLogo, 0.4f * w, 0.25f * h + 12 * slide, 0);

    // Score panel: as many rows as fit above the second list, which starts
    // half-way down.
    const float panelX = w - kPanelWidth - 4 * slide;
    p_SetCol(0, 0, 0, 0.4f);
    p_Rect(panelX, 0, kPanelWidth, h);
    p_SetSize(1.5f);
    p_SetCol(200, 255, 100, 1);
    int rows = orvTrunc(orv_math_Floor((h - 90 - h / 2) / 15));
    if (rows < 1) rows = 1;
    if (rows > 10) rows = 10;
    if (!boxOpen && m_MenuSel >= 1 && m_MenuSel <= 3) {
        const int top = 10 * (m_MenuSel - 1);
        String best = rows == 1 ? String("Highscore") : String("Top ") + String(rows);
        String last = rows == 1 ? String("Last") : String("Last ") + String(rows);
        for (int k = 0; k < rows; ++k) {
            best += String("\\n") + p_rstr2(m_Scores[top + k], String(" "));
            last += String("\\n") + p_rstr2(m_Scores[30 + top + k], String(" "));
        }
        p_Text(panelX + 20, 60, best, 0, 0);
        p_Text(panelX + 20, h / 2 + 20, last, 0, 0);
    }

    if (m_MenuSel < 1 || m_MenuSel > 4) m_MenuSel = 1;
    if (m_MenuSel <= 3) {
        m_GameType = m_MenuSel;
    } else {
        m_CogAngle += 0.5f;
    }

    m_MenuScroll += m_MenuFling;
    m_MenuShown += (m_MenuScroll - m_MenuShown) * 0.125f;
    m_MenuFling *= 0.2f;
    if (orv_math_Abs2(m_MenuFling) < 3) m_MenuFling = 0;
    if (m_MouseDown == 0) m_MenuDrag = 0;

    // The item strip: portrait runs it down the screen, landscape across.
    const bool landscape = m_Landscape != 0;
    const float centreX = (w - kPanelWidth) / 2, centreY = (landscape ? 0.65f : 0.6f) * h;
    int nearest = 0, pressedItem = 0;
    if (!boxOpen) {
        float nearestDistance = 0;
        for (int i = 1; i <= 4; ++i) {
            const float along = m_MenuShown + static_cast<float>(i - 1) * kItemGap;
            const float x = landscape ? centreX + along : centreX;
            const float y = landscape ? centreY : centreY + along;
            const float distance = orv_math_Abs2(along);
            const bool selected = i == m_MenuSel;
            p_SetSize(selected ? 1.75f : 1);
            p_SetCol(255, 255, 255, selected ? 1 : Clamp(1 - distance / 480, 0.5f, 1));
            const int hit = i < 4 ? p_Button(95, x, y, static_cast<float>(i - 1)) : Cog(this, x, y, m_CogAngle);
            if (hit) pressedItem = i;
            if (nearest == 0 || distance < nearestDistance) {
                nearest = i;
                nearestDistance = distance;
            }
            // Past either end the end item is selected and the strip bounces
            // back a little beyond it.
            if (i == 1 && (landscape ? x > 0.75f * (w - kPanelWidth) : y > 0.75f * h)) {
                SelectItem(this, 1);
                m_MenuScroll -= 8;
            }
            if (i == 4 && (landscape ? x < 0.25f * w : y < 0.45f * h)) {
                SelectItem(this, 4);
                m_MenuScroll += 8;
            }
        }
        if (m_MenuSel <= 3) {
            p_SetSize(3, 2.5f);
            p_SetCol(100, 255, 100, 0.3f);
            if (p_Button2(w - 70, h - 48 - 4 * slide, 3)) pressedItem = m_MenuSel;
        }
    }

    // A press arms the item under it; the item acts when the press ends on
    // it, unless it turned into a drag of the strip or was used by something
    // else.
    if (boxOpen) {
        m_MenuPress = m_MouseDown ? -1 : 0;
    } else if (m_MouseDown) {
        if (m_MenuPress == 0) m_MenuPress = m_TouchLatch == 0 && m_KeyLatch == 0 && pressedItem > 0 ? pressedItem : -1;
        m_MenuPressOn = pressedItem == m_MenuPress ? 1 : 0;
    } else {
        if (m_MenuPress > 0 && m_MenuPressOn == 1 && m_TouchLatch == 0 && m_KeyLatch == 0) TapItem(this, m_MenuPress);
        m_MenuPress = 0;
    }

    // During a fling the selection follows the item nearest the centre; once
    // the strip has nearly come to rest, released, it settles on that item.
    if (!boxOpen) {
        if (nearest != m_MenuSel && m_MenuSnap == 0) {
            m_MenuSel = nearest;
            p_PlaySFX2(sfx::kConfirm, 1);
        }
        const bool arriving = orv_math_Abs2(m_MenuShown - m_MenuScroll) < 32;
        if (arriving) m_MenuSnap = 0;
        if (arriving && m_MenuFling == 0 && m_MouseDown == 0) SelectItem(this, m_MenuSel);
    }

    if (m_KeyLatch == 0 && !boxOpen) {
        if (Pressed(this, action::kUp) || Pressed(this, action::kLeft)) {
            if (m_MenuSel > 1) StepByKey(this, m_MenuSel - 1);
        } else if (Pressed(this, action::kDown) || Pressed(this, action::kRight)) {
            if (m_MenuSel < 4) StepByKey(this, m_MenuSel + 1);
        }
        if (m_KeyLatch == 0 && (Pressed(this, action::kButtonA) || Pressed(this, action::kButtonB) ||
                                Pressed(this, action::kButtonC) || Pressed(this, action::kButtonD))) {
            StartItem(this, m_MenuSel);
        }
        if (m_KeyLatch == 0 && Pressed(this, action::kButtonF)) {
            m_CreditsOpen = 1;
            m_KeyLatch = 1;
            p_PlaySFX2(sfx::kConfirm, 1);
        }
    }

    p_SetSize(0.35f);
    p_SetCol(255, 255, 255, 1);
    if (p_Button(93, w - 70, 32 + 4 * slide, 0) && m_TouchLatch == 0 && !boxOpen) {
        m_CreditsOpen = 1;
        m_TouchLatch = 1;
        m_MenuPress = -1;
        p_PlaySFX2(sfx::kConfirm, 1);
    }

    // Dragging moves the strip; a real drag is not a tap on the item below.
    if (m_MouseDown && !boxOpen) {
        const int moved = landscape ? m_MouseX - m_MouseLastX : m_MouseY - m_MouseLastY;
        m_MenuDrag = 1.5f * static_cast<float>(moved);
        if (orv_math_Abs2(m_MenuDrag) > 2) {
            m_TouchLatch = 2;
            m_MenuPress = -1;
            m_MenuFling += m_MenuDrag;
        }
    }
    return 0;
}

int c_MyApp::p_LoadMenu() {
    const int t = m_GameType, s = m_Score;
    if (t >= 1 && t <= 3) {
        const int top = 10 * (t - 1), last = 30 + top;
        // An equal score stays below the entry it equals.
        for (int k = 0; k < 10; ++k) {
            if (m_Scores[top + k] < s) {
                for (int j = 9; j > k; --j) m_Scores[top + j] = m_Scores[top + j - 1];
                m_Scores[top + k] = s;
                break;
            }
        }
        for (int j = 9; j > 0; --j) m_Scores[last + j] = m_Scores[last + j - 1];
        m_Scores[last] = s;
    }
    p_Save();
    return 0;
}

// ---------------------------------------------------------------- quit prompt

int c_MyApp::p_OuyaQuit() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    p_CLS2D(180, 180, 180, -1);
    p_SetSize(3);
    p_DrawImg(img::kTestCard, w / 2, h / 2, 0);
    const struct {
        int before;
        float size;
        const char* text;
    } lines[] = {
        {0, 3, "It looks like you're"},
        {32, 3, "trying to QUIT!"},
        {36, 2, "Are you absolutely sure"},
        {20, 2, "you want to quit the game?"},
        {28, 2, "Isn't this fun?"},
        {38, 2, "It'll be a shame to see you go."},
        {38, 2, "Press (A) to Quit"},
        {20, 2, "or (O) to return to the fun!"},
    };
    const float x = static_cast<float>(orvTrunc(0.65f * w));
    int y = orvTrunc(0.3f * h);
    for (const auto& line : lines) {
        y += line.before;
        p_SetSize(line.size);
        p_Text(x, static_cast<float>(y), String(line.text), 1, 1);
    }
    if (m_KeyLatch == 0 && m_TouchLatch == 0) {
        if (Pressed(this, action::kButtonA)) {
            m_Mode = screen::kTitle;
            m_KeyLatch = 1;
            m_TouchLatch = 1;
        } else if (Pressed(this, action::kButtonB) || Pressed(this, action::kButtonC) || Pressed(this, action::kBack)) {
            orv_app_EndApp();
        }
    }
    return 0;
}

// ---------------------------------------------------------------- options box

int c_MyApp::p_OptionBox() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    const int slide = m_OptionsSlide;
    if (m_OptionsOpen == 1) {
        m_KeyLatch = 1;
        m_TouchLatch = 1;
    }
    // Nothing in the box reacts before it is fully in.
    if (slide < 30) {
        m_OptKeyLatch = 1;
        m_OptTouchLatch = 1;
    }
    p_ResetDraw();
    if (orv_Kemp_isOuya == 1) SafeAreaMarks(this, w, h);
    const float top = static_cast<float>((30 - slide) * 24);
    p_SetCol(150, 75, 0, 0.85f);
    p_Rect(50, top, w - 100, h);

    // Row 0: back.
    m_CogAngle += 0.2f;
    const float cogX = static_cast<float>((3 * slide - 90) * 4 + 100);
    p_SetCol(255, 255, 255, 1);
    p_SetSize(m_OptSel == 0 ? 2 : 1.5f);
    const int cogHit = Cog(this, cogX, 60, m_CogAngle);
    p_SetSize(2);
    p_Text(cogX + 76, 60, String("<[BACK]"), 0, 1);
    bool close = (cogHit && m_OptTouchLatch == 0) || (m_OptKeyLatch == 0 && Pressed(this, action::kBack));

    float y = top + 130;
    if (orv_Kemp_isOuya == 1) {
        OverscanControl(this, y, m_OptKeyLatch, m_OptTouchLatch);
        y += 40;
    }
    const bool music = orv_Kemp_HasMusic == 1 || orv_Kemp_HasMusicStream == 1;
    const int soundModes = music ? 4 : 2;
    int& soundMode = m_Settings[setting::kSoundMode];
    if (soundMode < 0 || soundMode >= soundModes) soundMode = 0;
    const char* const musicLabels[4] = {"Sound : Off", "Sound : SFX + Music", "Sound : SFX", "Sound : Music"};
    const char* const plainLabels[2] = {"Sound : Off", "Sound : On"};
    const float barWidth = w - 168;
    int row = 1;
    const String soundLabel(music ? musicLabels[soundMode] : plainLabels[soundMode]);
    if (OptionRow(this, row, 100, y, barWidth, soundLabel)) {
        m_Settings[setting::kSoundMode] = (m_Settings[setting::kSoundMode] + 1) % soundModes;
        if (music && (m_Settings[setting::kSoundMode] == 0 || m_Settings[setting::kSoundMode] == 2)) p_StopTune();
        p_PlaySFX2(sfx::kConfirm, 1);
    }
    float rowY = y;
    if (orv_Kemp_isOuya == 0) {
        rowY += 40;
        ++row;
        if (OptionRow(this, row, 100, rowY, barWidth,
                      String(orv_Kemp_iCadeControls == 1 ? "iCade : On" : "iCade : Off"))) {
            p_iCade(orv_Kemp_iCadeControls == 1 ? 0 : 1);
            p_PlaySFX2(sfx::kConfirm, 1);
            for (int i = 0; i < 20; ++i) m_VPad[i] = 0;
        }
        rowY += 40;
        ++row;
        if (OptionRow(this, row, 100, rowY, barWidth, String(m_Fullscreen == 1 ? "Windowed" : "Fullscreen"))) {
            p_PlaySFX2(sfx::kConfirm, 1);
            p_FullscreenFlip();
        }
    }
    if (m_Paused == 0) {
        rowY += 50;
        ++row;
        if (OptionRow(this, row, w - 264, rowY, 180, String("Credits"))) {
            CloseOptions(this);
            m_CreditsOpen = 1;
        }
    }
    const int lastRow = row;
    if (m_OptSel > lastRow) m_OptSel = lastRow;

    if (m_OptKeyLatch == 0) {
        if (m_OptSel == 0 && (Pressed(this, action::kButtonA) || Pressed(this, action::kButtonB) ||
                              Pressed(this, action::kButtonF))) {
            close = true;
        }
        if (Pressed(this, action::kUp) || Pressed(this, action::kLeft)) {
            if (m_OptSel > 0) {
                --m_OptSel;
                m_OptKeyLatch = 1;
                p_PlaySFX2(sfx::kConfirm, 1);
            }
        } else if (Pressed(this, action::kDown) || Pressed(this, action::kRight)) {
            if (m_OptSel < lastRow) {
                ++m_OptSel;
                m_OptKeyLatch = 1;
                p_PlaySFX2(sfx::kConfirm, 1);
            }
        }
    }
    if (close && m_OptionsOpen == 1) CloseOptions(this);

    if (m_MouseDown == 0) m_OptTouchLatch = 0;
    if (!AnyActionHeld(this)) m_OptKeyLatch = 0;
    return 0;
}

// ---------------------------------------------------------------- credits box

int c_MyApp::p_CreditBox() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    const float fade = static_cast<float>(m_CreditsSlide) / 30;
    p_ResetDraw();
    p_SetCol(0, 0, 40, 0.6f * fade);
    p_Rect(-1, -1, w + 2, h + 2);
    p_SetCol(255, 255, 255, fade);
    p_SetSize(1.5f);
    p_DrawImg(img::kTestCard, w / 2, h / 2, 0);
    p_SetSize(1);
    p_DrawImg(img::kLogo, w / 2, h / 2 - 150, 0);

    // A dark band keeps the lines readable over the card.
    p_SetCol(0, 0, 40, 0.75f * fade);
    p_Rect(w / 2 - 140, h / 2 - 58, 280, 124);

    m_CreditScroll -= Pressed(this, action::kUp) || Pressed(this, action::kDown) ? 1.8f : 0.3f;
    while (m_CreditScroll < -16) {
        m_CreditScroll += 16;
        m_CreditLine = (m_CreditLine + 1) % kCreditLines;
    }
    p_SetSize(1.5f);
    for (int k = -3; k <= 4; ++k) {
        const int line = ((m_CreditLine + k) % kCreditLines + kCreditLines) % kCreditLines;
        const float offset = static_cast<float>(16 * k) + m_CreditScroll;
        // Solid in the middle, fading towards the top and bottom.
        const float alpha = Clamp(1 - (orv_math_Abs2(offset) / 40 - 0.3f), 0, 1);
        p_SetCol(255, 255, 255, alpha * fade);
        p_Text(w / 2 + 24, h / 2 + offset, orv_Kemp_CreditText[line], 0.8f, 0.8f);
    }

    // Badges pinned around the text: an oval in an oval, some with a picture.
    const struct {
        float dx, dy;
        int slot;  // 0: none
    } badges[] = {{-210, -110, 95}, {210, -110, 93}, {-225, 40, 0}, {225, 40, 95}, {-180, 170, 93}, {180, 170, 0}};
    for (const auto& badge : badges) {
        const float x = w / 2 + badge.dx, y = h / 2 + badge.dy;
        p_SetSize(1);
        p_SetCol(255, 200, 60, 0.9f * fade);
        p_Oval(x, y, 34, 34);
        p_SetCol(170, 110, 20, 0.9f * fade);
        p_Oval(x, y, 26, 26);
        p_SetCol(255, 255, 255, fade);
        p_SetSize(0.3f);
        if (badge.slot == 95) p_DrawImg(img::kButtons, x, y, 12);
        if (badge.slot == 93) p_DrawImg(img::kLoaderLogo, x, y, 0);
    }
    p_ResetDraw();

    if (m_CreditsOpen == 1) {
        const bool click = m_TouchLatch == 0 && m_MouseDown != 0;
        const bool key = m_KeyLatch == 0 && (Pressed(this, action::kButtonF) || Pressed(this, action::kButtonA) ||
                                             Pressed(this, action::kButtonB));
        if (click || key) {
            m_CreditsOpen = 0;
            if (click) m_TouchLatch = 1;
            if (key) m_KeyLatch = 1;
            p_PlaySFX2(sfx::kConfirm, 1);
        }
    }
    return 0;
}

// ---------------------------------------------------------------- pause panel

namespace {

void ResumeGame(c_MyApp* app) {
    app->m_PauseOpen = -1;
    app->p_PlaySFX(sfx::kBlip, 1, 0.5f, 0);
}

void PauseChoose(c_MyApp* app, int choice) {
    if (choice == 0) {
        ResumeGame(app);
    } else if (choice == -1) {
        app->m_Paused = 0;
        app->m_PauseOpen = -1;
        app->m_PauseY = -64;
        app->m_GameOver = 1;
        app->p_PlaySFX(sfx::kBlip, 0.5f, 0.5f, 0);
    } else {
        app->m_OptionsOpen = 1;
        app->p_PlaySFX2(sfx::kConfirm, 1);
    }
}

void PauseMove(c_MyApp* app, int choice, float rate) {
    app->m_PauseChoice = choice;
    app->m_KeyLatch = 1;
    app->p_PlaySFX(sfx::kBlip, rate, 0.5f, 0);
}

}  // namespace

int c_MyApp::p_PauseMenu() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    p_SetRot(0);
    p_SetSize(1);
    m_DrawBlend = 1;
    p_SetCol(0, 0, 0, static_cast<float>(orv_math_Abs(m_PauseY)) / (0.8f * h));
    p_Rect(0, 0, w, h);

    const int middle = orvTrunc(h / 2);
    if (m_PauseOpen == 1 && m_PauseY < middle) {
        m_PauseY = m_PauseY + 24 < middle ? m_PauseY + 24 : middle;
    } else if (m_PauseOpen == -1) {
        if (m_PauseY >= -63) m_PauseY -= 24;
        if (m_PauseY < -32) m_Paused = 0;
    }

    const bool landscape = m_Landscape != 0;
    const float py = static_cast<float>(m_PauseY);
    if (landscape) {
        p_SetCol(255, 255, 10, 0.6f);
        p_Rect(w / 2 - 128, py - 64, 256, 8);
    }
    if (orv_Kemp_isOuya == 1) OverscanControl(this, py + 64, m_KeyLatch, m_TouchLatch);

    const float sideX = landscape ? 140.0f : 96.0f, sideY = py - (landscape ? 64.0f : 96.0f);
    const float xs[3] = {w / 2 - sideX, w / 2, w / 2 + sideX};  // quit, resume, options
    const float ys[3] = {sideY, py, sideY};
    p_SetSize(2);
    p_SetCol(50, 50, 250, 1);
    const int resumeHit = p_Button2(xs[1], ys[1], 3);
    p_SetCol(255, 50, 50, 1);
    const int quitHit = p_Button2(xs[0], ys[0], 1);
    // The cog is drawn at the icons' size: its frames are twice as large.
    p_SetSize(1);
    p_SetCol(255, 255, 255, 1);
    if (m_OptionsOpen == 0) m_CogAngle += 0.5f;
    const int optionsHit = Cog(this, xs[2], ys[2], m_CogAngle);
    if (m_PauseChoice < -1 || m_PauseChoice > 1) m_PauseChoice = 0;
    p_SetSize(2.5f);
    p_SetCol(255, 255, 100, 1);
    p_DrawImg(img::kIcons, xs[m_PauseChoice + 1], ys[m_PauseChoice + 1], 6);
    p_ResetDraw();

    if (m_TouchLatch == 0 && (resumeHit || quitHit || optionsHit)) {
        m_TouchLatch = 1;
        m_PauseChoice = resumeHit ? 0 : (quitHit ? -1 : 1);
        PauseChoose(this, m_PauseChoice);
    }
    if (m_KeyLatch == 0) {
        if (Pressed(this, action::kButtonA)) {
            m_KeyLatch = 1;
            PauseChoose(this, m_PauseChoice);
        } else if (Pressed(this, action::kBack)) {
            m_KeyLatch = 1;
            ResumeGame(this);
        } else if (m_PauseChoice == 0) {
            if (Pressed(this, action::kLeft) || Pressed(this, action::kUp)) {
                PauseMove(this, -1, 0.8f);
            } else if (Pressed(this, action::kRight)) {
                PauseMove(this, 1, 1.2f);
            }
        } else if (m_PauseChoice == -1) {
            if (Pressed(this, action::kRight) || Pressed(this, action::kDown)) PauseMove(this, 0, 0.8f);
        } else if (Pressed(this, action::kLeft) || Pressed(this, action::kDown)) {
            PauseMove(this, 0, 0.8f);
        }
    }
    return 0;
}
