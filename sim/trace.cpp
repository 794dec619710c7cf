// Call-trace output: one line per entry-point call, appended so that concurrent runs interleave
// whole lines only.
#include "sim/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "sim/trace_format.h"

namespace sim {

void AppendTrace(const char* name, const std::string& arguments, const std::string& result) {
    const char* path = std::getenv("ORVEX_SIM_TRACE");
    if (path == nullptr || *path == '\0') {
        return;
    }
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    std::string line = trace::Line(name, arguments, result) + "\n";
    ssize_t written = -1;
    do {
        written = write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    close(fd);
}

}  // namespace sim
