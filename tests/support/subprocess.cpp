#include "tests/support/subprocess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

std::string ReadAll(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

}  // namespace

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
        const pid_t pid = fork();
        if (pid == 0) {
            for (int fd = 0; fd < 3; ++fd) dup2(fileno(files[fd]), fd);
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
        if (pid > 0 && !result.timed_out && WIFEXITED(status)) result.status = WEXITSTATUS(status);
        result.out = ReadAll(files[1]);
        result.err = ReadAll(files[2]);
    }
    for (std::FILE* file : files) {
        if (file) std::fclose(file);
    }
    return result;
}
