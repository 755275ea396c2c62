// The particle, star and player-record pools and the per-update particle step.
#include "game/my_app.h"

int c_MyApp::p_FreeParticle() { return -1; }
int c_MyApp::p_ThrowParticle(float, float, int, int, float, float) { return 0; }
int c_MyApp::p_AddParticle(int, float, float, float, float, int, int, int) { return 0; }
int c_MyApp::p_ResetParticles(int) { return 0; }
int c_MyApp::p_ResetStars(int) { return 0; }
int c_MyApp::p_ResetPlayers() { return 0; }
int c_MyApp::p_DoParticles() { return 0; }
