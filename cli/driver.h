// The program driver: one run from start-up through the apply phase to the teardown.
#pragma once

#include "consumables/command.h"

/// The whole life of one run; returns its exit code (g_iErrCode).
int RunTool(int argc, char** argv);

/// The handler for the terminal signals: does nothing, so a run cannot be interrupted.
void SignalProcess(int signal);

/// Installs SignalProcess for SIGHUP, SIGINT, SIGQUIT, SIGTERM and SIGTSTP.
void IgnoreTerminalSignals();

/// The run once both libraries are bound: the attached-scanner check, device selection, parsing,
/// then the apply phase or the report, and the teardown. Returns the exit code.
int RunWithLibraries(int argc, char** argv, velnor_command_info& record);

/// Applies the changes of the record in their fixed order. True when all succeeded; false after
/// the first failure (message printed, exit code 6 stored). Prints "Set successfully" on success.
bool ApplyChanges(const velnor_command_info& record);

/// Ends the session, releases the libraries and returns g_iErrCode.
int TearDown(const velnor_command_info& record);
