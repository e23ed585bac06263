// Runs commands round by round, one after the other within each round, and prints
// each one's median processor time (user + system) and median wall time. Taking
// turns keeps a machine whose speed drifts from favouring one of them.
//
//   vesnor-cputime ROUNDS COMMAND [ARG...] [-- COMMAND [ARG...]]...
//
// Standard output of the commands is discarded; one line per command:
//   <median cpu ms> <median wall ms>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Times {
    double cpu = 0;
    double wall = 0;
};

bool run(const std::vector<char *> &argv, Times &times)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, STDOUT_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    // Status 1 is iconv -c's "some characters were left out", which real text
    // always has; anything else means the command did not do its work.
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return false;
    times.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    times.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: vesnor-cputime ROUNDS COMMAND [ARG...] [-- COMMAND...]\n");
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<std::vector<char *>> commands(1);
    for (int k = 2; k < argc; ++k) {
        if (std::string(argv[k]) == "--")
            commands.emplace_back();
        else
            commands.back().push_back(argv[k]);
    }
    for (auto &command : commands) {
        if (command.empty()) {
            std::fprintf(stderr, "vesnor-cputime: empty command\n");
            return 2;
        }
        command.push_back(nullptr);
    }

    std::vector<std::vector<double>> cpu(commands.size());
    std::vector<std::vector<double>> wall(commands.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            Times times;
            if (!run(commands[c], times)) {
                std::fprintf(stderr, "vesnor-cputime: '%s' failed\n", commands[c][0]);
                return 1;
            }
            cpu[c].push_back(times.cpu);
            wall[c].push_back(times.wall);
        }
    }
    for (std::size_t c = 0; c < commands.size(); ++c)
        std::printf("%.2f %.2f\n", median(cpu[c]) * 1000, median(wall[c]) * 1000);
    return 0;
}
