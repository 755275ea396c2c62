#include "tests/support/subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    ProcessResult result;
    int in[2], out[2], err[2];
    if (pipe(in) || pipe(out) || pipe(err)) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        for (const std::string& e : options.env) putenv(const_cast<char*>(e.c_str()));
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    signal(SIGPIPE, SIG_IGN);
    if (!options.input.empty()) {
        ssize_t ignored = write(in[1], options.input.data(), options.input.size());
        (void)ignored;
    }
    close(in[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.timeout_seconds);
    bool out_open = true, err_open = true;
    while (out_open || err_open) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            result.timed_out = true;
            break;
        }
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count() < 100 ? left.count() : 100)) < 0) break;
        char buf[4096];
        if (out_open && (fds[0].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = read(out[0], buf, sizeof buf);
            if (n <= 0) {
                out_open = false;
            } else {
                result.out.append(buf, static_cast<std::size_t>(n));
            }
        }
        if (err_open && (fds[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = read(err[0], buf, sizeof buf);
            if (n <= 0) err_open = false;
            else result.err.append(buf, static_cast<std::size_t>(n));
        }
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!result.timed_out && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}
