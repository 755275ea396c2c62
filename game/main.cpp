#include <malloc.h>

#include "host/host_game.h"
#include "host/program_folders.h"

int main(int argc, char** argv) {
    // Started from a menu or any other folder, the game still works in the
    // folder that holds its data.
    orvEnterProgramFolder();
    // Image pixels and decoded sounds are large blocks that come and go with
    // every load: mapped and unmapped on their own, they go straight back to
    // the system when freed instead of staying in the heap for later use.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    OrvQuarloGame::Main(argc, argv);
    return 0;
}
