// orvexconsumables-status: the consumables and settings of the attached scanners, for monitoring.
#include "status/driver.h"
#include "fleet/probe.h"

int main(int argc, char** argv) {
    return RunStatus(argc, argv, ServiceProbe());
}
