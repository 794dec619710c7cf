// The parent's termination handlers and what they know: plain static storage, since a signal
// handler may touch nothing else.
#include "fleet/termination.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace {

const int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Every child a fleet run may have at once (the most parallel children, and the enumeration).
constexpr int kMaxWatched = 128;

// A watched child's pid, its negative while it is spared, 0 for a free place.
volatile sig_atomic_t g_aiChildren[kMaxWatched];

char g_szRemove[PATH_MAX + 1];
volatile sig_atomic_t g_bRemove = 0;

void OnTermination(int signal) {
    for (volatile sig_atomic_t& child : g_aiChildren) {
        if (child > 0) {
            kill(static_cast<pid_t>(child), SIGKILL);
        }
    }
    if (g_bRemove != 0) {
        unlink(g_szRemove);
    }
    raise(signal);  // the handler was reset: the default action ends the process
}

volatile sig_atomic_t* Find(sig_atomic_t value) {
    for (volatile sig_atomic_t& child : g_aiChildren) {
        if (child == value) {
            return &child;
        }
    }
    return nullptr;
}

}  // namespace

void InstallTerminationHandlers() {
    struct sigaction action {};
    action.sa_handler = OnTermination;
    action.sa_flags = SA_RESETHAND;
    sigfillset(&action.sa_mask);
    for (int signal : kTerminationSignals) {
        sigaction(signal, &action, nullptr);
    }
}

void RestoreTerminationDefaults() {
    for (int signal : kTerminationSignals) {
        ::signal(signal, SIG_DFL);
    }
}

bool WatchChild(pid_t pid) {
    volatile sig_atomic_t* free = Find(0);
    if (free != nullptr) {
        *free = pid;
    }
    return free != nullptr;
}

void SpareChild(pid_t pid) {
    if (volatile sig_atomic_t* child = Find(pid)) {
        *child = -pid;
    }
}

void ForgetChild(pid_t pid) {
    volatile sig_atomic_t* child = Find(pid);
    if (child == nullptr) {
        child = Find(-pid);
    }
    if (child != nullptr) {
        *child = 0;
    }
}

void RemoveOnTermination(const char* path) {
    g_bRemove = 0;
    size_t length = path != nullptr ? std::strlen(path) : sizeof g_szRemove;
    if (length < sizeof g_szRemove) {
        std::memcpy(g_szRemove, path, length + 1);
        g_bRemove = 1;
    }
}
