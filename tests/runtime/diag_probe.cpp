// Exercises the runtime paths that end the process; the test suite runs it
// and checks its streams and exit status. Mode is the first argument.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    if (mode == "debug-addresses") {
        // Plays the debugger: asks for a live object, null, a stray address,
        // an interior pointer and a collected object, then quits.
        static Object* live = new Object();
        gc_roots = [] { gc_mark_q(live); };
        gc_mark();
        Object* dead = new Object();
        gc_stress = true;  // destroy the unreachable one now
        gc_collect_step(nullptr);
        char line[512];
        std::snprintf(line, sizeof line, "@%p\n@0\n@%p\n@%p\n@%p\nq\n", static_cast<void*>(live),
                      static_cast<void*>(line), static_cast<void*>(reinterpret_cast<char*>(live) + 8),
                      static_cast<void*>(dead));
        int fds[2];
        if (pipe(fds) != 0) return 2;
        if (write(fds[1], line, std::strlen(line)) < 0) return 2;
        close(fds[1]);
        dup2(fds[0], 0);
        orvError(String("probe"));
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
