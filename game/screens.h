// The screens m_Mode selects. The menus' screens come before the game's.
#pragma once

namespace screen {

enum : int {
    kTitle = 1,
    kBackToTitle = 2,  // the title menu's pictures loaded again, then the title
    kQuitPrompt = 4,   // the console's "quit?" prompt
    kGame = 10,
    kGameStart = 11  // the next game's garden and tune, then the game
};

}  // namespace screen
