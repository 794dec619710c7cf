// Whole files by read(2), going on after interruptions.
#include "fleet/file_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool ReadFileText(const std::string& path, std::string* text) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    text->clear();
    char buffer[16384];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text->append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            int error = errno;
            close(fd);
            errno = error;
            return got == 0;
        }
    }
}
