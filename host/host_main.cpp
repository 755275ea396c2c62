// The program's start-up and shutdown order, in a file of its own so that
// only programs that supply orvInit and orvMain link it.
#include "host/glfw_layer.h"
#include "host/host_game.h"

int OrvQuarloGame::Main(int argc_in, char** argv_in) {
    Launch(argc_in, argv_in, [] { return new OrvQuarloGame(); });
    glfw().Terminate();
    return 0;
}
