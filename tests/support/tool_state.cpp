// Clearing the command line's run state between tests.
#include "tests/support/tool_state.h"

#include "cli/exit_codes.h"
#include "cli/state.h"
#include "tests/support/fake_service.h"

void ResetToolState() {
    ForgetSession(&g_stSession);
    g_iErrCode = 0;
    ResetFakeService();
}
