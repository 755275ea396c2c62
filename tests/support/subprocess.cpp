#include "tests/support/subprocess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

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
    int fds_open[2] = {out[0], err[0]};
    std::string* into[2] = {&result.out, &result.err};
    while (fds_open[0] >= 0 || fds_open[1] >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            result.timed_out = true;
            break;
        }
        pollfd fds[2] = {{fds_open[0], POLLIN, 0}, {fds_open[1], POLLIN, 0}};  // negative: ignored
        if (poll(fds, 2, static_cast<int>(std::min<long>(left.count(), 100))) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds_open[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[4096];
            const ssize_t n = read(fds_open[i], buf, sizeof buf);
            if (n > 0) into[i]->append(buf, static_cast<std::size_t>(n));
            else fds_open[i] = -1;
        }
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!result.timed_out && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}
