// The standard descriptors of a run: open at the start, and standard output checked at the end.
#pragma once

/// Opens /dev/null onto each of descriptors 0, 1 and 2 that is closed, so that no file the run
/// opens later (a library's lock file) takes its place. Returns true when standard output was
/// closed: what the run prints then goes nowhere, which the end of the run reports.
bool OpenStandardDescriptors();

/// Flushes and closes standard output. When a write failed (or standard output was closed at the
/// start), prints "orvexconsumables: write error: <reason>" on standard error and returns 1;
/// otherwise returns exitCode. A reader that went away (broken pipe) is such a failure.
int CloseStandardOutput(int exitCode, bool stdoutWasClosed);
