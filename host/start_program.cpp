// The program's start on any host: module globals, roots and the app
// object, in a file of its own so that only programs that supply orvInit
// and orvMain link it.
#include <cstdlib>

#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "runtime/diagnostics.h"

void OrvQuarloGame::StartProgram(OrvGame* host) {
    gc_init();
    try {
        orvInit();
        gc_mark();
        orvMain();
    } catch (ThrowableObject* exception) {
        glfw().Terminate();
        host->Die(exception);
    }
}

void OrvQuarloGame::Launch(int argc_in, char** argv_in, OrvQuarloGame* (*make)()) {
    if (!GlfwLayer::current) GlfwLayer::current = GlfwLayer::CreateReal();
    if (!glfw().Init()) {
        orvPrint(String("glfwInit failed"));
        std::exit(-1);
    }
    OrvQuarloGame* game = make();
    argc = argc_in;
    argv = argv_in;
    orvInstallSignalHandlers();
    StartProgram(game);
    if (game->Delegate()) game->Run();
}
