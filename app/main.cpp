// Tarnwick: rescues the frames of a damaged QuickTime movie into a reference movie beside it.
#include <cstdio>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/movie_repair.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        std::printf(
            "Usage: Tarnwick.exe 2048 1152 25000 c:path\\bad_movie.mov (width height fps path)\n");
        return 0;
    }
    std::int32_t width = ParseLenientNumber(argv[1]);
    std::int32_t height = ParseLenientNumber(argv[2]);
    std::int32_t frameRate = ParseLenientNumber(argv[3]);
    const char* sourcePath = argv[4];
    std::string outputPath = MakeOutputPath(sourcePath);

    auto job = std::make_unique<CMovieRepair>();
    job->ProcessQT(sourcePath, outputPath.c_str(), width, height, frameRate);
    return job->ReportedError() ? 1 : 0;
}
