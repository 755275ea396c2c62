// The program's start-up and shutdown order, in a file of its own so that
// only programs that supply orvInit and orvMain link it.
#include <cstdlib>

#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "runtime/diagnostics.h"

int OrvQuarloGame::Main(int argc_in, char** argv_in) {
    if (!GlfwLayer::current) GlfwLayer::current = GlfwLayer::CreateReal();
    if (!glfw().Init()) {
        orvPrint(String("glfwInit failed"));
        std::exit(-1);
    }
    OrvQuarloGame* game = new OrvQuarloGame();
    argc = argc_in;
    argv = argv_in;
    orvInstallSignalHandlers();
    StartProgram(game);
    if (game->Delegate()) game->Run();
    glfw().Terminate();
    return 0;
}
