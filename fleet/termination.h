// What the parent does when it is told to end (SIGTERM, SIGINT, SIGHUP): the children that only
// read die with it, and a half-written output file is removed.
#pragma once

#include <sys/types.h>

/// Installs handlers for SIGTERM, SIGINT and SIGHUP: each kills the watched children that have
/// not begun a write, removes the file registered with RemoveOnTermination, and then ends the
/// process by the signal's default action.
void InstallTerminationHandlers();

/// Puts the default action back for those signals (in a child, which must not act as its parent).
void RestoreTerminationDefaults();

/// Watches a child, to be killed on termination. False when too many are watched at once.
bool WatchChild(pid_t pid);

/// Spares a watched child, which writes to a scanner: it is not killed on termination.
void SpareChild(pid_t pid);

/// Stops watching a child that has been reaped.
void ForgetChild(pid_t pid);

/// The file to remove on termination (the temporary output file); null for none. The path is
/// copied; one longer than PATH_MAX is not registered.
void RemoveOnTermination(const char* path);
