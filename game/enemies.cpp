// The enemies: release from the home, walking the cut paths, catching the
// player and being struck by the ball.
#include "game/my_app.h"

int c_MyApp::p_ReleaseEnemy() { return 0; }
int c_MyApp::p_EnemyUpdate(int) { return 0; }
