// The game started the way a player starts it, running beside the test: its
// output goes to a log file, and it is killed should the test end first.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

class GameProcess {
public:
    // Runs `program` (a path relative to `folder`) with `folder` as its
    // working directory and `env` (NAME=value) added to the environment.
    GameProcess(const std::string& folder, const std::string& program, const std::vector<std::string>& env,
                const std::string& log_path);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool Running();
    // The exit status (0-255) once the program has ended within `seconds`;
    // -1 when a signal ended it, -2 when it is still running.
    int Wait(double seconds);
    // Seconds since the start.
    double Age() const;

private:
    pid_t pid_ = -1;
    int status_ = -2;
    double started_ = 0;
};

// Seconds on a monotonic clock.
double Now();
