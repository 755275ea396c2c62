// Play itself: starting a game, one update of play with its whole picture,
// pausing, and the small helpers of scoring.
#include "game/my_app.h"

int c_MyApp::p_LoadGame() { return 0; }
int c_MyApp::p_Game() { return 0; }
int c_MyApp::p_InGame() { return 0; }
int c_MyApp::p_GetBallPos() { return 0; }
int c_MyApp::p_Gimme(int, float, float) { return 0; }
int c_MyApp::p_Rand(float, float) { return 0; }
int c_MyApp::p_Ink(int, float) { return 0; }
