// Runs a program without a shell and collects what it writes to standard output.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::test {

struct ProgramResult {
    int exitCode = -1;  // -1 when the program could not be started or did not exit normally
    std::string output;
};

// arguments[0] is the program, looked up on PATH. Standard error is passed through.
ProgramResult RunProgram(const std::vector<std::string>& arguments);

}  // namespace tarnwick::test
