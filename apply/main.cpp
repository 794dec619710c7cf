// orvexconsumables-apply: the sleep timer and power-off of the attached scanners brought to the
// site's policy.
#include "apply/driver.h"

int main(int argc, char** argv) {
    return RunApply(argc, argv, ServiceApply());
}
