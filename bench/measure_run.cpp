// Runs a command with its standard output sent to /dev/null and prints "SECONDS PEAK_KIB": its
// wall time and its peak resident memory, as the benchmark scripts record them.
//
//   measure_run COMMAND [ARGUMENT...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: measure_run COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        std::perror("measure_run");
        return 1;
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    std::printf("%.4f %ld\n", seconds.count(), usage.ru_maxrss);  // ru_maxrss is in KiB on Linux
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
