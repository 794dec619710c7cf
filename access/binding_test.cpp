// Binding the service libraries: all 26 entry points, a missing symbol or library (the whole
// runs whose binding fails are in tests/e2e_faults_test.cpp).
#include "access/binding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "access/paths.h"
#include "tests/support/fake_service.h"

namespace {

void* SlotValue(const EntryPointBinding& entry) {
    void* value = nullptr;
    std::memcpy(&value, entry.pSlot, sizeof value);
    return value;
}

std::string VariantLibrary(const std::string& symbol, const char* file) {
    return std::string(ORVEX_TEST_SIM_VARIANTS) + "/no-" + symbol + "/opt/orvex/lib/" + file;
}

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFakeService(); }
    void TearDown() override {
        CloseLib();
        ResetFakeService();
        g_cpKorWatchPath = savedWatch_;
        g_cpZevControlPath = savedControl_;
    }
    void UseLibraries(const std::string& watch, const std::string& control) {
        watch_ = watch;
        control_ = control;
        g_cpKorWatchPath = watch_.c_str();
        g_cpZevControlPath = control_.c_str();
    }

    const char* savedWatch_ = g_cpKorWatchPath;
    const char* savedControl_ = g_cpZevControlPath;
    std::string watch_;
    std::string control_;
};

TEST_F(BindingTest, BindsAllEntryPointsOfTheSimulatedInstallation) {
    ASSERT_TRUE(OpenLib());
    for (const EntryPointBinding& entry : g_stEntryPoints) {
        EXPECT_NE(SlotValue(entry), nullptr) << entry.cpSymbol;
    }
    CloseLib();
    EXPECT_EQ(g_pkorWatch, nullptr);
    EXPECT_EQ(g_pzevControl, nullptr);
}

TEST_F(BindingTest, StopsAtTheFirstMissingSymbol) {
    for (size_t missing = 0; missing < std::size(g_stEntryPoints); ++missing) {
        const std::string symbol = g_stEntryPoints[missing].cpSymbol;
        UseLibraries(VariantLibrary(symbol, "libkorwatch.so"),
                     VariantLibrary(symbol, "libzevcontrol.so"));
        EXPECT_FALSE(OpenLib()) << symbol;
        EXPECT_NE(g_pkorWatch, nullptr) << symbol;
        EXPECT_NE(g_pzevControl, nullptr) << symbol;
        for (size_t i = 0; i < std::size(g_stEntryPoints); ++i) {
            EXPECT_EQ(SlotValue(g_stEntryPoints[i]) != nullptr, i < missing)
                << "missing " << symbol << ", entry " << g_stEntryPoints[i].cpSymbol;
        }
        CloseLib();
        ResetFakeService();
    }
}

TEST_F(BindingTest, AMissingLibraryBindsNothingButTheOtherIsLoaded) {
    UseLibraries("/nonexistent/libkorwatch.so", g_cpZevControlPath);
    EXPECT_FALSE(OpenLib());
    EXPECT_EQ(g_pkorWatch, nullptr);
    EXPECT_NE(g_pzevControl, nullptr);
    for (const EntryPointBinding& entry : g_stEntryPoints) {
        EXPECT_EQ(SlotValue(entry), nullptr) << entry.cpSymbol;
    }
}

}  // namespace
