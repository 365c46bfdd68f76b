// Runs of the built tool and of the damaged-movie generator. Every run of the tool checks that it
// left its source exactly as it was: the source is the tool's one input and often the user's only
// copy.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace tarnwick::test {

struct Frame {
    std::uint64_t start;
    std::uint64_t end;
};

// Writes a damaged movie with make_damaged_movie and returns its frames in file order.
std::vector<Frame> GenerateDamagedMovie(const std::filesystem::path& movie,
                                        const std::vector<std::string>& options = {});

// Runs the tool from folder with the given arguments, started through launcher (a command that
// runs the rest of its command line, e.g. one that changes the user) when one is given. Reports a
// test failure when the source (the fourth argument, taken from folder) differs afterwards in
// kind, link, size, modification time or bytes.
ProgramResult RunTool(const std::filesystem::path& folder, std::vector<std::string> arguments,
                      const std::vector<std::string>& launcher = {});

}  // namespace tarnwick::test
