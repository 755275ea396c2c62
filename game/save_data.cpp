// Settings, badges and highscores kept as one checksummed save string.
#include "game/my_app.h"

int c_MyApp::p_Save() { return 0; }
int c_MyApp::p_Load() { return 0; }
