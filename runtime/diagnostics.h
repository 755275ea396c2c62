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
void sighandler(int signal);
void orvInstallSignalHandlers();
