// Helpers shared by the fuzz targets: quiet output and invariant checks that stop the fuzzer.
#pragma once

/// Sends standard output to /dev/null for the rest of the process; the tool's reports and
/// messages would only slow the fuzzer down. libFuzzer and the sanitizers write to the error
/// stream, which stays.
void SilenceStandardOutput();

/// Stops the fuzzer with the text of the broken invariant when ok is false.
void FuzzCheck(bool ok, const char* invariant);
