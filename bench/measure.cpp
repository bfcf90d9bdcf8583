// Runs a command with its standard input from /dev/null and reports its wall time and peak
// resident memory, so benchmarks need no other tool.
//
//   measure COMMAND [ARGUMENT...]     prints: SECONDS PEAK_KIB EXIT_STATUS
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: measure COMMAND [ARGUMENT...]\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int none = open("/dev/null", O_RDWR);
        dup2(none, 0);
        dup2(none, 1);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.4f %ld %d\n", seconds, usage.ru_maxrss,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
