// The fixture of the command line's unit tests over the in-process fakes: as FakeServiceTest,
// with the tool's run state (its session, the exit code) cleared too.
#pragma once

#include "tests/support/fake_service_fixture.h"
#include "tests/support/tool_state.h"

class ToolFakeServiceTest : public FakeServiceTest {
protected:
    void Reset() override { ResetToolState(); }
};
