/* Preloaded into a measured program: at its exit, appends the peak resident memory (VmHWM) of the
 * process that was started to the file named by BENCH_VMHWM_FILE. Forked children that end with
 * _exit never run it; a child that exits normally is skipped by its process id. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static pid_t started_pid;

__attribute__((constructor)) static void remember_pid(void) {
    started_pid = getpid();
}

__attribute__((destructor)) static void report_peak(void) {
    const char* path = getenv("BENCH_VMHWM_FILE");
    if (path == NULL || getpid() != started_pid) {
        return;
    }
    FILE* status = fopen("/proc/self/status", "r");
    FILE* out = fopen(path, "a");
    char line[256];
    while (status != NULL && out != NULL && fgets(line, sizeof line, status) != NULL) {
        if (strncmp(line, "VmHWM:", 6) == 0) {
            fputs(line, out);
        }
    }
    if (status != NULL) {
        fclose(status);
    }
    if (out != NULL) {
        fclose(out);
    }
}
