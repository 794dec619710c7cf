// The fixture of the unit tests over the in-process fakes: every test starts on the plain fake
// scanner with the fakes bound, and ends with nothing bound.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/fake_service.h"

class FakeServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset();
        InstallFakeService();
    }
    void TearDown() override { Reset(); }

    /// What is cleared before and after each test; the command line's fixtures clear its run
    /// state as well (ToolFakeServiceTest).
    virtual void Reset() { ResetFakeService(); }
};
