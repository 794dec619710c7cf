// Running programs for tests: a program with its arguments and environment, or a function in a
// forked child of the test, with what they printed and how they ended. Part of the generic test
// support: no project layer here.
#pragma once

#include <functional>
#include <string>
#include <vector>

/// What a run printed and how it ended.
struct RunResult {
    std::string out;     // standard output
    std::string err;     // standard error
    int exitCode = -1;   // the exit status, or -1 when the process did not exit normally
    int signal = 0;      // the signal that ended it, if any
    double seconds = 0;  // from start to end (RunProgram only)
};

/// The test's environment without the variables whose names begin with dropPrefix (none when it
/// is empty) and without those that extra sets, followed by extra ("NAME=value" each).
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra,
                                          const std::string& dropPrefix);

/// Starts argv[0] with argv and the environment, its standard input on /dev/null and its
/// standard output and error written to outPath and errPath; returns its process id. Throws
/// std::runtime_error when it cannot be started.
int StartProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 const std::string& outPath, const std::string& errPath);

/// Waits for a program started by StartProgram and collects what it printed; the two files are
/// removed.
RunResult WaitForProgram(int pid, const std::string& outPath, const std::string& errPath);

/// Runs argv[0] to its end as StartProgram starts it, capturing its output in a temporary folder.
RunResult RunProgram(const std::vector<std::string>& argv,
                     const std::vector<std::string>& environment);

/// The argv (or envp) form of words, for a main-like function: pointers into words, then a null
/// pointer.
std::vector<char*> ArgumentVector(std::vector<std::string>& words);

/// Runs body in a forked child with standard output and error captured; the child exits with 0
/// when body returns (body may end the child itself with _exit).
RunResult RunInChild(const std::function<void()>& body);

/// Waits for the child process pid, retrying when interrupted; returns its wait status. Throws
/// std::runtime_error when there is no such child.
int WaitForChild(int pid);

/// A signal mask line of /proc/<pid>/status ("SigCgt:", "SigIgn:") as a number; 0 when absent.
unsigned long long ProcessSignalMask(int pid, const std::string& field);
