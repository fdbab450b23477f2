// Runs a command several times, one run after the other, and prints per
// run its wall time on the monotonic clock, its peak resident memory as the
// kernel kept it for the process (wait4's rusage: every page counted, none
// missed between two samples) and its exit code. The command's output is
// dropped; what it says on stderr stays visible.
//
//   skarn-bench-exec RUNS COMMAND [ARGUMENTS...]
//
// One line per run: "<ms> <max RSS in KiB> <exit code>" (exit code 128 + n
// when signal n ended it, 127 when it could not be started).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: %s RUNS COMMAND [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    for (int run = 0; run < runs; ++run) {
        const double start = nowMs();
        const pid_t pid = fork();
        if (pid < 0) {
            std::perror("fork");
            return 1;
        }
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0)
                dup2(null, STDOUT_FILENO);
            execvp(argv[2], argv + 2);
            std::perror(argv[2]);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        pid_t ended;
        while ((ended = wait4(pid, &status, 0, &usage)) < 0 && errno == EINTR) {
        }
        const double wall = nowMs() - start;
        if (ended < 0) {
            std::perror("wait4");
            return 1;
        }
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        // ru_maxrss is in KiB on Linux.
        std::printf("%.2f %ld %d\n", wall, usage.ru_maxrss, code);
        std::fflush(stdout);
    }
    return 0;
}
