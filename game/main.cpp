#include "host/host_game.h"

int main(int argc, char** argv) {
    OrvQuarloGame::Main(argc, argv);
    return 0;
}
