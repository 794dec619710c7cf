// Program runs and forked children of the tests.
#include "tests/support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/files.h"

extern char** environ;

namespace {

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

RunResult Collect(int status, const std::string& outPath, const std::string& errPath) {
    RunResult result;
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

}  // namespace

std::vector<char*> ArgumentVector(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra,
                                          const std::string& dropPrefix) {
    std::vector<std::string> entries;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string name = NameOf(*e);
        bool replaced = std::any_of(extra.begin(), extra.end(),
                                    [&](const std::string& x) { return NameOf(x) == name; });
        bool dropped = !dropPrefix.empty() && name.rfind(dropPrefix, 0) == 0;
        if (!replaced && !dropped) {
            entries.emplace_back(*e);
        }
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

int StartProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 const std::string& outPath, const std::string& errPath) {
    std::vector<std::string> words = argv;
    std::vector<std::string> entries = environment;
    std::vector<char*> argvPointers = ArgumentVector(words);
    std::vector<char*> envPointers = ArgumentVector(entries);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                             envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

RunResult WaitForProgram(int pid, const std::string& outPath, const std::string& errPath) {
    return Collect(WaitForChild(pid), outPath, errPath);
}

RunResult RunProgram(const std::vector<std::string>& argv,
                     const std::vector<std::string>& environment) {
    TempDir capture;
    const std::string outPath = capture.path() + "/out";
    const std::string errPath = capture.path() + "/err";
    auto start = std::chrono::steady_clock::now();
    RunResult result =
        WaitForProgram(StartProgram(argv, environment, outPath, errPath), outPath, errPath);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

RunResult RunInChild(const std::function<void()>& body) {
    TempDir capture;
    const std::string outPath = capture.path() + "/out";
    const std::string errPath = capture.path() + "/err";
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        close(out);
        close(err);
        body();
        std::fflush(stdout);
        _exit(0);
    }
    return WaitForProgram(pid, outPath, errPath);
}

int WaitForChild(int pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
    return status;
}

unsigned long long ProcessSignalMask(int pid, const std::string& field) {
    for (const std::string& line :
         SplitIntoLines(ReadWholeFile("/proc/" + std::to_string(pid) + "/status"))) {
        if (line.rfind(field, 0) == 0) {
            return std::stoull(line.substr(field.size()), nullptr, 16);
        }
    }
    return 0;
}
