// Entry point of orvexconsumables.
#include "cli/driver.h"
#include "cli/output.h"

int main(int argc, char** argv) {
    // Before the libraries are loaded, so that none of their files becomes standard output.
    bool stdoutWasClosed = OpenStandardDescriptors();
    int exitCode = RunTool(argc, argv);
    return CloseStandardOutput(exitCode, stdoutWasClosed);
}
