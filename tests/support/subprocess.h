// Runs a program to its end with given standard input and environment, and
// collects what it wrote and how it ended.
#pragma once
#include <string>
#include <vector>

struct ProcessResult {
    std::string out, err;
    int status = -1;      // exit status 0-255, or -1 when killed by a signal or timed out
    bool timed_out = false;
};

struct ProcessOptions {
    std::string input;                       // written to standard input, then closed
    std::vector<std::string> env;            // extra NAME=value entries
    std::string cwd;                         // working directory (empty: inherit)
    double timeout_seconds = 30;
    bool input_held_open = false;            // instead of the input: an empty pipe open to the end
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});
