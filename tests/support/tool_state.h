// The command line's run state for tests: the part of the fakes' reset that belongs to cli/.
#pragma once

/// Clears the run state of the tool: the session (name copies freed), the exit code, then the
/// entry-point globals and library handles (ResetFakeService).
void ResetToolState();
