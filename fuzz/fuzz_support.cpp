// Helpers shared by the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

void SilenceStandardOutput() {
    std::fflush(stdout);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0) {
        std::perror("fuzz: /dev/null");
        std::abort();
    }
    close(null);
}

void FuzzCheck(bool ok, const char* invariant) {
    if (!ok) {
        std::fprintf(stderr, "fuzz: invariant broken: %s\n", invariant);
        std::abort();
    }
}
