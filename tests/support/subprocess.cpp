#include "tests/support/subprocess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

// Standard input, output and error are files of their own: the program
// never waits for the test to read, and its end is its own exit, whatever
// it left running behind it.
ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    ProcessResult result;
    std::FILE* files[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};
    if (files[0] && files[1] && files[2]) {
        std::fwrite(options.input.data(), 1, options.input.size(), files[0]);
        std::rewind(files[0]);  // also writes the input out
        std::fflush(nullptr);
        int held[2] = {-1, -1};
        if (options.input_held_open && pipe(held) != 0) held[0] = held[1] = -1;
        const pid_t pid = fork();
        if (pid == 0) {
            for (int fd = 0; fd < 3; ++fd) dup2(fileno(files[fd]), fd);
            if (held[0] >= 0) dup2(held[0], 0);
            for (const std::string& e : options.env) putenv(const_cast<char*>(e.c_str()));
            if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
            std::vector<char*> args;
            for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.timeout_seconds);
        int status = 0;
        while (pid > 0 && waitpid(pid, &status, WNOHANG) == 0) {
            const bool late = !result.timed_out && std::chrono::steady_clock::now() > deadline;
            if (late) result.timed_out = kill(pid, SIGKILL) == 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        for (int fd : held) if (fd >= 0) close(fd);
        if (pid > 0 && !result.timed_out && WIFEXITED(status)) result.status = WEXITSTATUS(status);
        for (int i : {1, 2}) {
            std::rewind(files[i]);
            for (int c; (c = std::fgetc(files[i])) != EOF;) (i == 1 ? result.out : result.err) += static_cast<char>(c);
        }
    }
    for (std::FILE* file : files) if (file) std::fclose(file);
    return result;
}
