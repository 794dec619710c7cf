// Times one command of the tool against the floor as whole processes, alternating the two over
// repeated runs, and prints one table row: median wall times, the median of the pair-by-pair
// ratios, and the peak resident memory of both.
//
// Usage: orvex_bench_runner LABEL REPS FLEET_TEMPLATE WORK_DIR TOOL [ARG...] --vs FLOOR [ARG...]
//        orvex_bench_runner --header
// Every run gets a fresh copy of FLEET_TEMPLATE as WORK_DIR/fleet.json (ORVEX_SIM_FLEET), made
// outside the timed span. Standard output goes to WORK_DIR/out.txt, standard error to
// WORK_DIR/err.txt. A run that does not exit with 0 ends the runner with status 1 and says why.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double dSeconds;     // wall time from start to reaped
    double dCpuSeconds;  // user and system time of the process
    long lMaxRssKiB;
};

struct Command {
    std::vector<char*> argv;  // null-terminated
};

std::string ReadWhole(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, n);
        }
        std::fclose(file);
    }
    return text;
}

void CopyFile(const std::string& from, const std::string& to) {
    std::string text = ReadWhole(from);
    FILE* file = std::fopen(to.c_str(), "wb");
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "runner: cannot write %s\n", to.c_str());
        std::exit(1);
    }
}

double Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

[[noreturn]] void FailRun(const char* label, const Command& command, int status,
                          const std::string& workDir) {
    std::fprintf(stderr, "\nbench: FAILED: %s: '%s", label, command.argv[0]);
    for (size_t i = 1; command.argv[i] != nullptr; ++i) {
        std::fprintf(stderr, " %s", command.argv[i]);
    }
    if (WIFEXITED(status)) {
        std::fprintf(stderr, "' exited with %d\n", WEXITSTATUS(status));
    } else {
        std::fprintf(stderr, "' ended by signal %d\n", WTERMSIG(status));
    }
    std::fprintf(stderr, "--- stdout ---\n%s--- stderr ---\n%s",
                 ReadWhole(workDir + "/out.txt").c_str(), ReadWhole(workDir + "/err.txt").c_str());
    std::exit(1);
}

Sample RunOnce(const char* label, const Command& command, const std::string& fleetTemplate,
               const std::string& workDir) {
    std::string fleet = workDir + "/fleet.json";
    CopyFile(fleetTemplate, fleet);
    std::string out = workDir + "/out.txt";
    std::string err = workDir + "/err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    double start = Now();
    pid_t pid;
    if (posix_spawn(&pid, command.argv[0], &actions, nullptr, command.argv.data(), environ) != 0) {
        std::fprintf(stderr, "runner: cannot start %s\n", command.argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage;
    wait4(pid, &status, 0, &usage);
    double seconds = Now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        FailRun(label, command, status, workDir);
    }
    double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return {seconds, cpu, usage.ru_maxrss};
}

template <typename T>
T Quantile(std::vector<T> values, double q) {
    std::sort(values.begin(), values.end());
    double position = q * static_cast<double>(values.size() - 1);
    size_t low = static_cast<size_t>(position);
    size_t high = std::min(low + 1, values.size() - 1);
    double weight = position - static_cast<double>(low);
    return static_cast<T>(static_cast<double>(values[low]) * (1 - weight) +
                          static_cast<double>(values[high]) * weight);
}

void PrintHeader() {
    std::printf("%-20s %8s %8s %6s %14s %9s %9s %9s %8s\n", "command", "tool ms", "floor ms",
                "ratio", "ratio p25..p75", "cpu ratio", "tool KiB", "floor KiB", "RSS +KiB");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--header") == 0) {
        PrintHeader();
        return 0;
    }
    int vs = 0;
    for (int i = 6; i < argc; ++i) {
        if (std::strcmp(argv[i], "--vs") == 0) {
            vs = i;
        }
    }
    if (argc < 8 || vs == 0 || vs + 1 >= argc) {
        std::fprintf(stderr,
                     "usage: %s LABEL REPS FLEET WORK_DIR TOOL [ARG...] --vs FLOOR [ARG...]\n",
                     argv[0]);
        return 2;
    }
    const char* label = argv[1];
    int reps = std::atoi(argv[2]);
    std::string fleetTemplate = argv[3];
    std::string workDir = argv[4];
    setenv("ORVEX_SIM_FLEET", (workDir + "/fleet.json").c_str(), 1);
    Command tool{{argv + 5, argv + vs}};
    tool.argv.push_back(nullptr);
    Command floor{{argv + vs + 1, argv + argc}};
    floor.argv.push_back(nullptr);

    // One untimed run of each warms the page cache and the loader's caches.
    RunOnce(label, tool, fleetTemplate, workDir);
    RunOnce(label, floor, fleetTemplate, workDir);
    std::vector<double> toolSeconds, floorSeconds, ratios, cpuRatios;
    std::vector<long> toolRss, floorRss;
    for (int rep = 0; rep < reps; ++rep) {
        // Alternate which of the pair goes first, so neither always runs on a warmer machine.
        bool toolFirst = rep % 2 == 0;
        Sample first = RunOnce(label, toolFirst ? tool : floor, fleetTemplate, workDir);
        Sample second = RunOnce(label, toolFirst ? floor : tool, fleetTemplate, workDir);
        const Sample& t = toolFirst ? first : second;
        const Sample& f = toolFirst ? second : first;
        toolSeconds.push_back(t.dSeconds);
        floorSeconds.push_back(f.dSeconds);
        ratios.push_back(t.dSeconds / f.dSeconds);
        if (f.dCpuSeconds > 0) {
            cpuRatios.push_back(t.dCpuSeconds / f.dCpuSeconds);
        }
        toolRss.push_back(t.lMaxRssKiB);
        floorRss.push_back(f.lMaxRssKiB);
    }
    long toolKiB = *std::max_element(toolRss.begin(), toolRss.end());
    long floorKiB = *std::max_element(floorRss.begin(), floorRss.end());
    double cpuRatio = cpuRatios.empty() ? 0.0 : Quantile(cpuRatios, 0.5);
    std::printf("%-20s %8.3f %8.3f %6.3f %6.3f..%-6.3f %9.3f %9ld %9ld %8ld\n", label,
                Quantile(toolSeconds, 0.5) * 1e3, Quantile(floorSeconds, 0.5) * 1e3,
                Quantile(ratios, 0.5), Quantile(ratios, 0.25), Quantile(ratios, 0.75), cpuRatio,
                toolKiB, floorKiB, toolKiB - floorKiB);
    std::fflush(stdout);
    return 0;
}
