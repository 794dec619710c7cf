// Entry point of orvexconsumables.
#include "cli/driver.h"

int main(int argc, char** argv) {
    RunTool(argc, argv);
}
