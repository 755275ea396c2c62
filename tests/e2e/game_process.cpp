#include "tests/e2e/game_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

GameProcess::GameProcess(const std::string& folder, const std::string& program, const std::vector<std::string>& env,
                         const std::string& log_path) {
    started_ = Now();
    pid_ = fork();
    if (pid_ == 0) {
        const int log = open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
            close(log);
        }
        for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
        if (chdir(folder.c_str()) != 0) _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

GameProcess::~GameProcess() {
    if (Running()) {
        kill(pid_, SIGKILL);
        Wait(10);
    }
}

bool GameProcess::Running() { return Wait(0) == -2; }

int GameProcess::Wait(double seconds) {
    if (pid_ <= 0) return -1;
    const double deadline = Now() + seconds;
    while (status_ == -2) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (r < 0) {
            status_ = -1;
        } else if (Now() >= deadline) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return status_;
}

double GameProcess::Age() const { return Now() - started_; }
