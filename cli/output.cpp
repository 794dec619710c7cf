// Standard descriptors at the start of a run and the check of standard output at its end.
#include "cli/output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/exit_codes.h"

bool OpenStandardDescriptors() {
    bool stdoutWasClosed = false;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        stdoutWasClosed = stdoutWasClosed || fd == STDOUT_FILENO;
        int null = open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
    return stdoutWasClosed;
}

int CloseStandardOutput(int exitCode, bool stdoutWasClosed) {
    errno = 0;
    bool failed = std::ferror(stdout) != 0;
    // A failed flush leaves its reason in errno; an earlier failure may have left none.
    if (std::fflush(stdout) != 0) {
        failed = true;
    }
    int reason = errno;
    if (std::fclose(stdout) != 0 && !failed) {
        failed = true;
        reason = errno;
    }
    if (stdoutWasClosed) {
        failed = true;
        reason = EBADF;
    }
    if (!failed) {
        return exitCode;
    }
    std::fprintf(stderr, "orvexconsumables: write error: %s\n",
                 std::strerror(reason != 0 ? reason : EIO));
    return kExitWriteError;
}
