#include "host/process_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kHugePages = "glibc.malloc.hugetlb=1";

}  // namespace

void orvSetUpProcessMemory(char** argv) {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::strstr(tunables, kHugePages)) return;  // set, by this program or its caller
    const std::string wanted = tunables && *tunables ? std::string(tunables) + ":" + kHugePages : kHugePages;
    if (setenv("GLIBC_TUNABLES", wanted.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Not started again: the program goes on without huge pages, and the
    // setting is not passed on to anything it starts.
    if (tunables) {
        setenv("GLIBC_TUNABLES", tunables, 1);
    } else {
        unsetenv("GLIBC_TUNABLES");
    }
}
