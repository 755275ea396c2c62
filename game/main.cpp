#include "host/host_game.h"
#include "host/process_memory.h"
#include "host/program_folders.h"

int main(int argc, char** argv) {
    orvSetUpProcessMemory(argv);
    // Started from a menu or any other folder, the game still works in the
    // folder that holds its data.
    orvEnterProgramFolder();
    OrvQuarloGame::Main(argc, argv);
    return 0;
}
