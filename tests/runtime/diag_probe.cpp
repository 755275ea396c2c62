// Exercises the runtime paths that end the process; the test suite runs it
// and checks its streams and exit status. Mode is the first argument.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/diagnostics.h"
#include "runtime/object.h"

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    gc_init();
    orvInstallSignalHandlers();
    if (mode == "quiet") orvError(String());
    if (mode == "error") orvError(String("Image frame outside surface"));
    if (mode == "print") {
        const char16_t text[] = {u'A', 0x00E9, 0x20AC, 0xFFFF};
        orvPrint(String(text, 4));
        dbg_print(String(text, 4));
        return 0;
    }
    if (mode == "signal") std::raise(std::atoi(argv[2]));  // the handler ends the program
    if (mode == "handler") sighandler(std::atoi(argv[2]));
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
