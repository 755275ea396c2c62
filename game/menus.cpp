// The screens around the game: title menu, return to it, quit prompt, and the
// options, credits and pause overlays.
#include "game/my_app.h"

int c_MyApp::p_Menu() {
    p_CLS2D(0, 0, 80, 1);
    return 0;
}
int c_MyApp::p_LoadMenu() { return 0; }
int c_MyApp::p_OuyaQuit() { return 0; }
int c_MyApp::p_OptionBox() { return 0; }
int c_MyApp::p_CreditBox() { return 0; }
int c_MyApp::p_PauseMenu() { return 0; }
