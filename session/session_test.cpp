// The device session as a value: devices opened and closed in turn in one process, each with its
// own name; a close undoes exactly what the open did, also after a failed open.
#include "session/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_service.h"

namespace {

using Names = std::vector<std::string>;

const Names kOpenCalls = {"korwc_StartExcusive", "initlibrary",   "SetFirmVersion", "GetArdosaInfo",
                          "OnInitDialog",        "GetEEPROMData", "GetOffSetData"};

TEST(DeviceSessionTest, OpenAndCloseUndoWhatWasDone) {
    struct Row {
        const char* name;
        const char* failing;  // entry point made to fail, or null
        SessionStatus status;
        Names closeCalls;
    };
    const Row rows[] = {
        {"ko-999:A", nullptr, SessionStatus::kOpen, {"exitlibrary", "korwc_EndExcusive"}},
        {"ko-999:A", "korwc_StartExcusive", SessionStatus::kNotConnected, {}},
        {"ko-999:A",
         "GetArdosaInfo",
         SessionStatus::kStateUnreadable,
         {"exitlibrary", "korwc_EndExcusive"}},
        {"VX-905R",
         nullptr,
         SessionStatus::kOpen,
         {"korwc_UnlockScanner", "exitlibrary", "korwc_EndExcusive"}},
        // Boot mode: claimed, never initialised.
        {"ko-550:A", nullptr, SessionStatus::kNotConnected, {"korwc_EndExcusive"}},
    };
    for (const Row& row : rows) {
        ResetFakeService();
        InstallFakeService();
        g_fake.deviceNames = {row.name};
        g_fake.firmware = "0099";
        if (row.failing != nullptr) {
            g_fake.results[row.failing] = 0;
        }
        device_session session{};
        EXPECT_EQ(OpenSession(&session, row.name), row.status) << row.name;
        g_fake.calls.clear();
        CloseSession(&session);
        EXPECT_EQ(CalledEntryPoints(), row.closeCalls) << row.name << " " << row.failing;
        EXPECT_EQ(session.cpActiveScanner, nullptr);
        EXPECT_FALSE(session.bOpened);
    }
    ResetFakeService();
}

TEST(DeviceSessionTest, DevicesInTurnEachWithItsOwnName) {
    const Names failedOpen = {"korwc_StartExcusive", "initlibrary", "SetFirmVersion",
                              "GetArdosaInfo", "korwc_GetLastErrorInfo"};
    const Names release = {"exitlibrary", "korwc_EndExcusive"};
    // Whatever A's open came to, A is released before B is claimed, and B is B throughout.
    const Names deviceCalls = {
        "korwc_StartExcusive(\"ko-999:A\")", "initlibrary(\"ko-999:A\", 0)",
        "korwc_EndExcusive(\"ko-999:A\")",   "korwc_StartExcusive(\"ko-998:B\")",
        "initlibrary(\"ko-998:B\", 0)",      "korwc_EndExcusive(\"ko-998:B\")"};
    struct Row {
        bool firstFails;  // the open of A fails reading its state
        bool closeFirst;  // the caller closes A before opening B
    };
    for (const Row row : {Row{false, true}, Row{true, true}, Row{true, false}}) {
        ResetFakeService();
        InstallFakeService();
        g_fake.deviceNames = {"ko-999:A", "ko-998:B"};
        g_fake.failOnce["GetArdosaInfo"] = row.firstFails ? 0 : 1;
        device_session session{};
        OpenSession(&session, "ko-999:A");
        if (row.closeFirst) {
            CloseSession(&session);
        }
        g_fake.ardosa.iPickCount = 42;
        ASSERT_EQ(OpenSession(&session, "ko-998:B"), SessionStatus::kOpen);
        EXPECT_EQ(TakeSnapshot(session).stArdosaInfo.iPickCount, 42);
        EXPECT_STREQ(session.cpActiveScannerName, "ko-998");
        CloseSession(&session);
        Names expected = row.firstFails ? failedOpen : kOpenCalls;
        for (const Names& part : {release, kOpenCalls, release}) {
            expected.insert(expected.end(), part.begin(), part.end());
        }
        EXPECT_EQ(CalledEntryPoints(), expected) << row.firstFails << row.closeFirst;
        Names withDevice;
        for (const std::string& line : g_fake.calls) {
            if (line.find("\"ko-99") != std::string::npos) {
                withDevice.push_back(line.substr(0, line.rfind(" = ")));
            }
        }
        EXPECT_EQ(withDevice, deviceCalls) << row.firstFails << row.closeFirst;
    }
    ResetFakeService();
}

}  // namespace
