// The game's window: the desktop's video mode and re-creating the window
// (windowed or full screen) from inside the game.
#pragma once
#include "host/host_game.h"

// The desktop mode; a 640 × 480 mode with 8-bit channels when no window
// system is there.
OrvGlfwVideoMode* orv_app_GetDesktopMode();
// 0 when the window asked for is open, -1 when it could not be opened and
// the one before stays.
int orv_app_SetWindow(int width, int height, int red, int green, int blue, int alpha, int depth, int stencil,
                      bool fullscreen);
