// The program's start on any host: module globals, roots and the app
// object, in a file of its own so that only programs that supply orvInit
// and orvMain link it.
#include "host/glfw_layer.h"
#include "host/host_game.h"

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
