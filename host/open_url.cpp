// Opening a link on the desktop: the desktop's own opener, started as a
// child process.
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "host/host_game.h"

extern char** environ;

namespace {

// Children started by OpenUrl that have not been reaped yet; each call
// collects those that have ended, without waiting for the others.
std::vector<pid_t> g_url_children;

void ReapUrlChildren() {
    std::size_t kept = 0;
    for (pid_t pid : g_url_children) {
        const pid_t r = waitpid(pid, nullptr, WNOHANG);
        if (r == 0) g_url_children[kept++] = pid;  // still running
    }
    g_url_children.resize(kept);
}

}  // namespace

void OrvGlfwGame::OpenUrl(String url) {
    ReapUrlChildren();
    // Started directly, not through a shell, so nothing in the URL is ever
    // interpreted as a command; a missing opener is ignored like any failure.
    std::string bytes = url.ToBytes();
    char program[] = "xdg-open";
    char* child_argv[] = {program, bytes.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, child_argv, environ) == 0) g_url_children.push_back(pid);
}
