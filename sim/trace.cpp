// Call-trace output: one line per entry-point call, appended so that concurrent runs interleave
// whole lines only.
#include "sim/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/diagnose.h"
#include "sim/trace_format.h"

namespace sim {

namespace {

// Marks the process that has warned about its trace file. Each library has its own copy of this
// code, so the mark lives in the environment they share; it holds the process id, so that a child
// process warns for itself.
const char kWarnedVariable[] = "ORVEX_SIM_TRACE_WARNED";

// A run that asked for a trace learns that it gets none from one line, not one per call.
void WarnOnce(const char* path, int error) {
    std::string self = std::to_string(getpid());
    const char* warned = std::getenv(kWarnedVariable);
    if (warned != nullptr && self == warned) {
        return;
    }
    setenv(kWarnedVariable, self.c_str(), 1);
    Diagnose(std::string("cannot write the trace file ") + path + ": " + std::strerror(error));
}

}  // namespace

void AppendTrace(const char* name, const std::string& arguments, const std::string& result) {
    const char* path = std::getenv("ORVEX_SIM_TRACE");
    if (path == nullptr || *path == '\0') {
        return;
    }
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        WarnOnce(path, errno);
        return;
    }
    std::string line = trace::Line(name, arguments, result) + "\n";
    ssize_t written = -1;
    do {
        written = write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        WarnOnce(path, errno);
    }
    close(fd);
}

void ResetTraceWarning() {
    unsetenv(kWarnedVariable);
}

}  // namespace sim
