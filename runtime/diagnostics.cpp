#include "runtime/diagnostics.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/object.h"

String dbg_exstack;
void (*orvOnWorkerThread)(const char* name) = nullptr;

namespace {

// Nothing in this program sets a source position, so it stays absent.
const char* dbg_location = nullptr;

std::string dbg_line_buffer;  // grows on demand and lives as long as the process

pthread_t main_thread;  // the one that installed the signal handlers
bool main_thread_known = false;

// A fault on another thread (the host's music stream or image decoder) ends
// the process at once with the same line, written by plain system calls:
// nothing there may build the program's strings, wait in the debugger
// conversation (the main thread's) or run the exit handlers (they wait for
// threads).
[[noreturn]] void die_off_main_thread(const char* message) {
    const char* parts[] = {"Quarlo Runtime Error : ", message, "\n\n"};
    for (const char* part : parts) {
        for (std::size_t left = std::strlen(part); left > 0;) {
            const ssize_t n = write(STDOUT_FILENO, part, left);
            if (n <= 0) break;
            part += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    _exit(-1);
}

void write_all(std::FILE* f, const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fflush(f);
}

// Only the address of an object in the collector's lists is followed; any
// other typed address gives an empty text.
String debug_text_at(const char* address_text) {
    void* address = nullptr;
    if (std::sscanf(address_text, "%p", &address) != 1 || !address) return String();
    if (!gc_is_live(address)) return String();
    Object* object = dynamic_cast<Object*>(static_cast<gc_object*>(address));
    return object ? object->debug() : String();
}

void dbg_stop() {
    std::fprintf(stderr, "{{~~%s~~}}\n", dbg_location ? dbg_location : "");
    std::fflush(stderr);
    dbg_print(String());
    for (;;) {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) std::exit(-1);
        char* newline = std::strchr(line, '\n');
        if (!newline) std::exit(-1);
        *newline = 0;
        switch (line[0]) {
            case '?':
                continue;
            case '@':
                dbg_print(debug_text_at(line + 1));
                continue;
            case 'e':
            case 'l':
            case 'r':
            case 's':
                return;
            case 'q':
                std::exit(0);
            default:
                std::printf("????? %s ?????", line);
                std::fflush(stdout);
                std::exit(-1);
        }
    }
}

}  // namespace

void orvPrint(const String& text) { write_all(stdout, text.ToUtf8() + "\n"); }

void orvDebugLog(const String& text) { orvPrint(text); }

void dbg_print(const String& text) {
    const std::size_t needed = static_cast<std::size_t>(text.Length()) + 100;
    if (dbg_line_buffer.capacity() < needed) dbg_line_buffer.reserve(needed);
    dbg_line_buffer = text.ToBytes();
    dbg_line_buffer += '\n';
    write_all(stderr, dbg_line_buffer);
}

String dbg_stacktrace() {
    if (!dbg_location) return String();
    return String("\n") + String(dbg_location);
}

void dbg_error(const char* message) {
    for (;;) {
        orvPrint(String("Quarlo Runtime Error : ") + String(message));
        orvPrint(dbg_stacktrace());
        dbg_stop();
    }
}

void orvError(const String& message) {
    if (!message.Length()) std::exit(0);
    dbg_error(message.ToBytes().c_str());
}

void sighandler(int signal) {
    const char* message = signal == SIGSEGV  ? "Memory access violation"
                          : signal == SIGILL ? "Illegal instruction"
                          : signal == SIGFPE ? "Floating point exception"
                                             : "Unknown signal";
    if (main_thread_known && !pthread_equal(pthread_self(), main_thread)) die_off_main_thread(message);
    dbg_error(message);
}

void orvInstallSignalHandlers() {
    main_thread = pthread_self();
    main_thread_known = true;
    std::signal(SIGSEGV, sighandler);
    std::signal(SIGILL, sighandler);
    std::signal(SIGFPE, sighandler);
}
