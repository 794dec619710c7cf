// Tests of the help, version and device-list output against the in-process fake service.
#include "cli/help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/paths.h"
#include "cli/exit_codes.h"
#include "tests/support/expected.h"
#include "tests/support/process.h"
#include "tests/support/tool_fixture.h"

namespace {

const char kInfoEntry[] = "--info\n  show the current scanner's information\n";
const char kCleaningEntry[] = "--after-cleaning-clear\n  clear the after cleaning counter\n";
const char kBrakeEntry[] = "--brake-roller-clear\n  clear the brake roller counter\n";
const char kRollerSetEntry[] = "--roller-set-clear\n  clear the roller set counter\n";
const char kPadEntry[] = "--pad-clear\n  clear the pad counter\n";
const char kPickEntry[] = "--pick-roller-clear\n  clear the pick roller counter\n";
const char kSleepDescription[] =
    "  time in minutes until the internal power supply switches to sleep mode\n";
const char kPowerOffEntry[] =
    "--power-off inactive | 1-hour | 2-hours | 4-hours | 8-hours\n"
    "  time in hours until the power turn off automatically\n";
const char kAdfFrontEntries[] =
    "--adf-front-offset-main -4..4(in steps of 1)\n  set main offset of adf front\n"
    "--adf-front-offset-sub -4..4(in steps of 1)\n  set sub offset of adf front\n";
const char kAdfFrontEndOfPageEntry[] =
    "--adf-front-offset-end-of-page -4..4(in steps of 1)\n  set end of page of adf front\n";
const char kAdfBackEntries[] =
    "--adf-back-offset-main -4..4(in steps of 1)\n  set main offset of adf back\n"
    "--adf-back-offset-sub -4..4(in steps of 1)\n  set sub offset of adf back\n";
const char kAdfBackEndOfPageEntry[] =
    "--adf-back-offset-end-of-page -4..4(in steps of 1)\n  set end of page of adf back\n";
const char kFlatbedEntries[] =
    "--flatbed-offset-main -4..4(in steps of 1)\n  set main offset of flatbed\n"
    "--flatbed-offset-sub -4..4(in steps of 1)\n  set sub offset of flatbed\n";
const char kAdfMagnificationEntry[] =
    "--adf-magnification-adjustment -3.1..3.1(in steps of 0.1)\n"
    "  set magnification adjustment of adf\n";
const char kFlatbedMagnificationEntry[] =
    "--flatbed-magnification-adjustment -3.1..3.1(in steps of 0.1)\n"
    "  set magnification adjustment of flatbed\n";

std::string SleepEntry(int lo, int hi) {
    return "--sleeptimer " + std::to_string(lo) + ".." + std::to_string(hi) + "(in steps of 5)\n" +
           kSleepDescription;
}

std::string Heading() {
    return std::string(kHelpCommonPart) + "Options specific to device '" + g_fake.deviceNames[0] +
           "'\n";
}

std::string DeviceList() {
    std::string list = "List of available devices:\n";
    for (const std::string& name : g_fake.deviceNames) {
        list += "    " + name + "\n";
    }
    return list;
}

std::string HelpOutput() {
    return RunInChild([] {
               velnor_command_info record{};
               record.cpDeviceName = g_fake.deviceNames[0].c_str();
               ShowHelpList(&record);
           })
        .out;
}

class HelpTest : public ToolFakeServiceTest {};

TEST_F(HelpTest, PlainScannerOffersEveryEntryThenAnEmptyLineAndTheDeviceList) {
    g_fake.deviceNames = {"ko-330xs:FAKE0001", "ko-550:SECOND"};
    std::string expected = Heading() + kInfoEntry + kCleaningEntry + kBrakeEntry + kPickEntry +
                           SleepEntry(5, 60) + kPowerOffEntry + kAdfFrontEntries +
                           kAdfFrontEndOfPageEntry + kAdfBackEntries + kAdfBackEndOfPageEntry +
                           kFlatbedEntries + kAdfMagnificationEntry + kFlatbedMagnificationEntry +
                           "\n" + DeviceList();
    EXPECT_EQ(HelpOutput(), expected);
}

// One device part on a configured scanner: the entries printed between the heading and the list.
struct DevicePartCase {
    const char* name;
    void (*configure)(FakeService& fake);
    std::string entries;
};

TEST_F(HelpTest, DevicePartFollowsTheLabelsAndFlags) {
    const std::string offsetsBare =
        std::string(kAdfFrontEntries) + kAdfBackEntries + kAdfMagnificationEntry;
    const DevicePartCase cases[] = {
        {"pad, no offsets",
         [](FakeService& f) {
             f.ardosa.cpRollerLabel = "Pad:";
             f.offsets.bOffsetSupported = 0;
         },
         std::string(kInfoEntry) + kCleaningEntry + kPadEntry + kPickEntry + SleepEntry(5, 60) +
             kPowerOffEntry},
        {"roller set",
         [](FakeService& f) {
             f.ardosa.cpRollerLabel = "Roller Set:";
             f.offsets.bOffsetSupported = 0;
         },
         std::string(kInfoEntry) + kCleaningEntry + kRollerSetEntry + kPickEntry +
             SleepEntry(5, 60) + kPowerOffEntry},
        {"label with a trailing blank, lower case, absent labels",
         [](FakeService& f) {
             f.ardosa.cpRollerLabel = "Pad: ";
             f.ardosa.cpCleaningLabel = "after cleaning:";
             f.ardosa.cpPickLabel = nullptr;
             f.offsets.bOffsetSupported = 0;
         },
         std::string(kInfoEntry) + SleepEntry(5, 60) + kPowerOffEntry},
        {"offsets without end of page and flatbed",
         [](FakeService& f) {
             f.offsets.bEndOfPage = 0;
             f.offsets.bFlatbed = 0;
         },
         std::string(kInfoEntry) + kCleaningEntry + kBrakeEntry + kPickEntry + SleepEntry(5, 60) +
             kPowerOffEntry + offsetsBare},
        {"offsets unsupported whatever the other flags say",
         [](FakeService& f) { f.offsets.bOffsetSupported = 0; },
         std::string(kInfoEntry) + kCleaningEntry + kBrakeEntry + kPickEntry + SleepEntry(5, 60) +
             kPowerOffEntry},
        {"flatbed without end of page", [](FakeService& f) { f.offsets.bEndOfPage = 0; },
         std::string(kInfoEntry) + kCleaningEntry + kBrakeEntry + kPickEntry + SleepEntry(5, 60) +
             kPowerOffEntry + kAdfFrontEntries + kAdfBackEntries + kFlatbedEntries +
             kAdfMagnificationEntry + kFlatbedMagnificationEntry},
        {"no power settings, a sleep range of other steps",
         [](FakeService& f) {
             f.ardosa.bPowerSaveSupported = 0;
             f.ardosa.bPowerOffSupported = 0;
             f.offsets.bOffsetSupported = 0;
         },
         std::string(kInfoEntry) + kCleaningEntry + kBrakeEntry + kPickEntry},
        {"sleep range from the steps",
         [](FakeService& f) {
             f.ardosa.iSleepMinStep = 3;
             f.ardosa.iSleepMaxStep = 48;
             f.ardosa.bPowerOffSupported = 0;
             f.offsets.bOffsetSupported = 0;
         },
         std::string(kInfoEntry) + kCleaningEntry + kBrakeEntry + kPickEntry + SleepEntry(15, 240)},
        {"sleep steps at the ends of the 32-bit range are multiplied without overflow",
         [](FakeService& f) {
             f.ardosa.iSleepMinStep = -2147483647 - 1;
             f.ardosa.iSleepMaxStep = 2147483647;
             f.ardosa.bPowerOffSupported = 0;
             f.offsets.bOffsetSupported = 0;
         },
         std::string(kInfoEntry) + kCleaningEntry + kBrakeEntry + kPickEntry +
             "--sleeptimer -10737418240..10737418235(in steps of 5)\n" + kSleepDescription},
    };
    for (const DevicePartCase& c : cases) {
        ResetToolState();
        InstallFakeService();
        c.configure(g_fake);
        EXPECT_EQ(HelpOutput(), Heading() + c.entries + "\n" + DeviceList()) << c.name;
    }
}

TEST_F(HelpTest, AFailedSessionLeavesTheCommonPartAndTheSessionsMessageOnly) {
    const struct {
        const char* name;
        const char* failing;
        std::string out;
        int code;
    } cases[] = {
        {"claim refused", "korwc_StartExcusive",
         std::string(kHelpCommonPart) + "orvexconsumables: " + kMsgNotConnected + "\n", 6},
        {"state unreadable", "GetArdosaInfo",
         std::string(kHelpCommonPart) + "orvexconsumables: " + kMsgEepromUnreadable + "\n", 7},
    };
    for (const auto& c : cases) {
        ResetToolState();
        InstallFakeService();
        g_fake.results[c.failing] = 0;
        RunResult run = RunInChild([] {
            velnor_command_info record{};
            record.cpDeviceName = g_fake.deviceNames[0].c_str();
            ShowHelpList(&record);
            printf("code=%d", g_iErrCode);
        });
        EXPECT_EQ(run.out, c.out + "code=" + std::to_string(c.code)) << c.name;
    }
}

TEST_F(HelpTest, VersionTakesValidSettingsAndDefaultsOtherwise) {
    const struct {
        std::vector<std::pair<std::string, std::string>> settings;
        const char* version;
        const char* copyright;
    } cases[] = {
        {{}, "2.0.200", "2020-2021"},
        {{{"Version", "10.12.3"}, {"Copyright", "2019-2026 Kavisto"}},
         "10.12.3",
         "2019-2026 Kavisto"},
        {{{"Version", "2.0"}}, "2.0.200", "2020-2021"},
        {{{"Version", "2.0.1a"}}, "2.0.200", "2020-2021"},
        {{{"Version", "x2.0.1"}}, "2.0.200", "2020-2021"},
        {{{"Version", ""}, {"Copyright", ""}}, "2.0.200", "2020-2021"},
        {{{"Copyright", "100%s"}}, "2.0.200", "100%s"},
        // Only the first line, with controls shown as "?".
        {{{"Copyright", "2024 K\tV\r\x1b[2J\x7f\nVersion 9.9"}}, "2.0.200", "2024 K?V??[2J?"},
        {{{"Copyright", "\nsecond"}}, "2.0.200", "2020-2021"},
    };
    for (const auto& c : cases) {
        ResetToolState();
        InstallFakeService();
        for (const auto& setting : c.settings) {
            g_fake.settings[setting.first] = setting.second;
        }
        RunResult run = RunInChild([] { ShowVerInfo(); });
        EXPECT_EQ(run.out, std::string("Consumable tool for Kavisto Series scanner\nVersion ") +
                               c.version + "\nCopyright " + c.copyright + "\n");
    }
}

TEST_F(HelpTest, VersionReadsBothKeysFromTheSettingsFile) {
    RunResult run = RunInChild([] {
        ShowVerInfo();
        fflush(stdout);
        for (const std::string& call : g_fake.calls) {
            fprintf(stderr, "%s\n", call.c_str());
        }
    });
    std::string path = g_cpSettingsPath;
    EXPECT_EQ(run.err, "korwc_GetXMLSettings2(\"Version\", \"2.0.200\", \"" + path +
                           "\") = \"2.0.200\"\n"
                           "korwc_GetXMLSettings2(\"Copyright\", \"2020-2021\", \"" +
                           path + "\") = \"2020-2021\"\n");
}

TEST_F(HelpTest, DeviceListReadsTheCountBeforeEveryName) {
    const struct {
        std::vector<std::string> names;
        int count;  // -1000: the number of names
        std::string out;
        int countReads;
    } cases[] = {
        {{"ko-330xs:A", "ko-550:B"},
         -1000,
         "List of available devices:\n    ko-330xs:A\n    ko-550:B\n",
         3},
        {{}, -1000, "List of available devices:\n", 1},
        {{"ko-330xs:A"}, -1, "List of available devices:\n", 1},
        // A name the library cannot give is printed empty, never through a null pointer.
        {{"ko-330xs:A"}, 2, "List of available devices:\n    ko-330xs:A\n    \n", 3},
    };
    for (const auto& c : cases) {
        ResetToolState();
        InstallFakeService();
        g_fake.deviceNames = c.names;
        g_fake.iDeviceCountOverride = c.count;
        RunResult run = RunInChild([] {
            ShowScannerList();
            fflush(stdout);
            int reads = 0;
            for (const std::string& name : CalledEntryPoints()) {
                reads += name == "korwc_GetDeviceTotalNum" ? 1 : 0;
            }
            fprintf(stderr, "%d", reads);
        });
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, std::to_string(c.countReads));
    }
}

}  // namespace
