#include "tests/support/tool_runs.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/file_snapshot.h"
#include "tests/support/temp_files.h"

namespace tarnwick::test {

namespace fs = std::filesystem;

std::vector<Frame> GenerateDamagedMovie(const fs::path& movie,
                                        const std::vector<std::string>& options) {
    const fs::path manifest = movie.string() + ".frames";
    std::vector<std::string> command = {TARNWICK_GENERATOR, movie.string(), "--manifest",
                                        manifest.string()};
    command.insert(command.end(), options.begin(), options.end());
    EXPECT_EQ(RunProgram(command).exitCode, 0);
    std::vector<Frame> frames;
    std::ifstream in(manifest);
    for (Frame f{}; in >> f.start >> f.end;) {
        frames.push_back(f);
    }
    fs::remove(manifest);
    return frames;
}

ProgramResult RunTool(const fs::path& folder, std::vector<std::string> arguments,
                      const std::vector<std::string>& launcher) {
    const fs::path source =
        arguments.size() >= 4 ? folder / PathFromUtf8(arguments[3]) : fs::path();
    const FileSnapshot before = TakeSnapshot(source);

    const fs::path previousFolder = fs::current_path();
    fs::current_path(folder);
    arguments.insert(arguments.begin(), TARNWICK_TOOL);
    arguments.insert(arguments.begin(), launcher.begin(), launcher.end());
    const ProgramResult result = RunProgram(arguments);
    fs::current_path(previousFolder);

    const FileSnapshot after = TakeSnapshot(source);
    EXPECT_TRUE(before == after) << "the tool changed its source " << source
                                 << "\nbefore: " << before.Describe()
                                 << "\nafter:  " << after.Describe();
    return result;
}

}  // namespace tarnwick::test
