// Printing, fatal run-time errors and the debugger conversation on the
// standard streams. Every error path ends the process.
#pragma once
#include "runtime/string.h"

extern String dbg_exstack;

void orvPrint(const String& text);
void orvDebugLog(const String& text);
void dbg_print(const String& text);
[[noreturn]] void dbg_error(const char* message);
void orvError(const String& message);  // empty: quiet end with status 0
String dbg_stacktrace();
// Reports the signal as a run-time error; on any thread but the one that
// installed it, without the debugger conversation.
void sighandler(int signal);
void orvInstallSignalHandlers();

// Test seam: when set, the host's worker threads call it with their name
// ("music", "images") before each piece of work, so that a test can make a
// fault happen on one.
extern void (*orvOnWorkerThread)(const char* name);
