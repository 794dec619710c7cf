// Whole-program tests: orvexconsumables-status-sim against private fleet files, with a scanner held
// by another process, a hung one, hostile texts, another locale, unwritable outputs, a policy that
// is not valid and parallel reads.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "fleet/fleet_paths.h"
#include "tests/support/status_support.h"

namespace {

using Names = std::vector<std::string>;

Names Statuses(const nlohmann::json& document) {
    Names statuses;
    for (const auto& scanner : document["scanners"]) {
        statuses.push_back(scanner["device"].get<std::string>() + " " +
                           scanner["status"].get<std::string>());
    }
    return statuses;
}

TEST(StatusProgram, ReportsOkBusyHungAndAbsentScannersWithinTheDeadline) {
    nlohmann::json hang = {{"faults", {{"GetArdosaInfo", {{"delayMs", 600000}}}}}};
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1"), FleetScanner("ko-330xs:BUSY2", "BUSY2"),
                 FleetScanner("ko-330xs:HUNG3", "HUNG3", hang)});
    ScannerHolder holder(fleet.path, "ko-330xs:BUSY2");
    ASSERT_TRUE(holder.holds());

    RunResult run =
        RunStatusProgram(fleet.path, {"-t", "2", "-d", "ko-330xs:GONE4", "-d", "ko-330xs:HUNG3",
                                      "-d", "ko-330xs:BUSY2", "-d", "ko-330xs:OK1"});
    EXPECT_LT(run.seconds, 3.0);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(SchemaViolation(run.out, ORVEX_TEST_SCHEMA), "");
    nlohmann::json document = nlohmann::json::parse(run.out);
    EXPECT_EQ(Statuses(document), (Names{"ko-330xs:OK1 ok", "ko-330xs:BUSY2 busy",
                                         "ko-330xs:HUNG3 timeout", "ko-330xs:GONE4 absent"}));
    EXPECT_EQ(document["scanners"][2]["messages"][0]["text"], "no answer within 2 s");

    // The killed reader's claim ended with it: the next run claims the scanner again.
    fleet.Write({FleetScanner("ko-330xs:HUNG3", "HUNG3")});
    RunResult next = RunStatusProgram(fleet.path, {"-f", "nagios", "-d", "ko-330xs:HUNG3"});
    EXPECT_EQ(next.out,
              "ORVEXCONSUMABLES OK - 1 scanner: 1 ok | 'ko-330xs:HUNG3 pick_roller'=60;;;0\n"
              "ko-330xs:HUNG3: ok\n");
    EXPECT_EQ(next.exitCode, 0);
}

TEST(StatusProgram, ExitStatusFollowsTheFormat) {
    nlohmann::json marked = {
        {"counters", {{"pick", {{"label", "Pick Roller:"}, {"mark1", true}}}}}};
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1"), FleetScanner("ko-330xs:MARK2", "M", marked),
                 FleetScanner("ko-330xs:BUSY3", "BUSY3")});
    ScannerHolder holder(fleet.path, "ko-330xs:BUSY3");
    ASSERT_TRUE(holder.holds());
    TempDir out;
    const std::string missing = out.path() + "/missing/status.prom";
    struct ExitCase {
        Names args;
        int json, prometheus, nagios;
    };
    const std::vector<ExitCase> cases = {
        {{"-d", "ko-330xs:OK1"}, 0, 0, 0},
        {{"-d", "ko-330xs:MARK2"}, 0, 0, 1},
        {{"-d", "ko-330xs:BUSY3"}, 2, 2, 3},
        {{"-d", "ko-330xs:OK1", "-d", "nowhere"}, 2, 2, 2},
        {{"-d", "ko-330xs:OK1", "-o", missing}, 1, 1, 3},
        {{"-t", "0"}, 3, 3, 3},
    };
    for (const ExitCase& c : cases) {
        const std::vector<std::pair<std::string, int>> formats = {
            {"json", c.json}, {"prometheus", c.prometheus}, {"nagios", c.nagios}};
        for (const auto& [format, status] : formats) {
            Names args = c.args;
            args.insert(args.begin(), {"-f", format});
            EXPECT_EQ(RunStatusProgram(fleet.path, args).exitCode, status)
                << format << " " << testing::PrintToString(c.args);
        }
    }
    EXPECT_EQ(FolderEntries(out.path()), Names{});
}

TEST(StatusProgram, UsageErrorsHelpAndVersion) {
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1")});
    const std::string tryHelp = "Try 'orvexconsumables-status --help'.\n";
    struct UsageCase {
        Names args;
        std::string out;
        std::string err;
        int exitCode;
    };
    const std::vector<UsageCase> cases = {
        {{"-V"}, "orvexconsumables-status " ORVEX_TEST_VERSION "\n", "", 0},
        {{"--bogus"}, "", "orvexconsumables-status: unknown option '--bogus'\n" + tryHelp, 3},
        {{"-t", "x", "-f", "nagios"},
         "ORVEXCONSUMABLES UNKNOWN - the timeout 'x' is not a whole number of seconds from 1 to "
         "3600\n",
         "orvexconsumables-status: the timeout 'x' is not a whole number of seconds from 1 to "
         "3600\n" +
             tryHelp,
         3},
    };
    for (const UsageCase& c : cases) {
        RunResult run = RunStatusProgram(fleet.path, c.args);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.exitCode, c.exitCode);
    }
    RunResult help = RunStatusProgram(fleet.path, {"--help", "-f", "nagios"});
    // The -sim program's default paths are inside the build tree.
    EXPECT_EQ(
        help.out,
        std::string(
            "Usage: orvexconsumables-status [-f json|prometheus|nagios|table] [-o FILE]\n"
            "                               [-d NAME]... [-t SECONDS] [-j JOBS] [-p FILE]\n"
            "                               [--state-dir DIR] [--no-state] [-w PERCENT]\n"
            "                               [-c PERCENT] [-h] [-V]\n"
            "Reports the consumables and settings of the attached scanners without changing "
            "them.\n"
            "\n"
            "  -f, --format FORMAT      json (default), prometheus, nagios or table\n"
            "  -o, --output FILE        replace FILE atomically instead of writing to standard "
            "output\n"
            "  -d, --device-name NAME   only this scanner (repeatable)\n"
            "  -t, --timeout SECONDS    deadline for the enumeration and for each scanner\n"
            "                           (1 to 3600, default 10)\n"
            "  -j, --jobs JOBS          scanners read at once (1 to 64, default 1)\n"
            "  -p, --policy FILE        the site's wanted settings and consumables' life; "
            "default,\n"
            "                           if it exists: ") +
            g_cpDefaultPolicyPath +
            "\n"
            "      --state-dir DIR      the folder of each scanner's last reading; default\n"
            "                           " +
            g_cpDefaultStateDir +
            "\n"
            "      --no-state           neither use nor keep the last readings\n"
            "  -w, --warning PERCENT    nagios: WARNING at or below this share of a life "
            "left\n"
            "                           (0 to 100, default 10)\n"
            "  -c, --critical PERCENT   nagios: CRITICAL likewise (0 to 100, default 0)\n"
            "  -h, --help               show this help\n"
            "  -V, --version            show the version\n"
            "\n"
            "Exit status with json, prometheus and table: 0 everything read; 2 written, but "
            "the\n"
            "libraries, the enumeration or a scanner could not be read; 1 the output could "
            "not be\n"
            "written; 3 usage error, or a policy file that is not valid.\n"
            "With nagios: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.\n");
    EXPECT_EQ(help.exitCode, 0);
}

// Texts the libraries give: quotes, backslashes and line ends, and fields cut inside a character.
TEST(StatusProgram, HostileTextsGiveValidOutputInEveryFormat) {
    const std::string name = "ko-330xs:a\"b\\c\nd";
    nlohmann::json identification = {{"identification",
                                      {{"productId", std::string(31, 'P') + "\xc3\xa9"},
                                       {"revision", "1.0\xe2\x82\xac"},
                                       {"serialNumber", "S\"1\\2\n3"}}}};
    Fleet fleet({FleetScanner(name, "", identification)});

    RunResult json = RunStatusProgram(fleet.path, {});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(SchemaViolation(json.out, ORVEX_TEST_SCHEMA), "");
    nlohmann::json scanner = nlohmann::json::parse(json.out)["scanners"][0];
    EXPECT_EQ(scanner["device"], name);
    EXPECT_EQ(scanner["identification"].dump(),
              "{\"product_id\":\"" + std::string(31, 'P') +
                  "\xef\xbf\xbd\",\"revision\":\"1.0\xef\xbf\xbd\","
                  "\"serial_number\":\"S\\\"1\\\\2\\n3\"}");

    RunResult prometheus = RunStatusProgram(fleet.path, {"-f", "prometheus"});
    EXPECT_EQ(prometheus.exitCode, 0);
    Names info;
    for (const std::string& line : SplitIntoLines(prometheus.out)) {
        if (line.rfind("orvex_scanner_info{", 0) == 0) {
            info.push_back(line);
        }
    }
    EXPECT_EQ(info, Names{"orvex_scanner_info{device=\"ko-330xs:a\\\"b\\\\c\\nd\",product=\"" +
                          std::string(31, 'P') +
                          "\xef\xbf\xbd\",revision=\"1.0\xef\xbf\xbd\","
                          "serial=\"S\\\"1\\\\2\\n3\"} 1"});

    RunResult nagios = RunStatusProgram(fleet.path, {"-f", "nagios"});
    EXPECT_EQ(nagios.out,
              "ORVEXCONSUMABLES OK - 1 scanner: 1 ok | 'ko-330xs:a\"b\\c d pick_roller'=60;;;0\n"
              "ko-330xs:a\"b\\c d: ok\n");
}

TEST(StatusProgram, AGermanLocaleGivesTheSameBytes) {
    TempDir locales;
    std::string compile = "localedef -i de_DE -f UTF-8 " + locales.path() + "/de_DE.UTF-8";
    ASSERT_EQ(std::system(compile.c_str()), 0) << "needs the locales package";
    const Names german = {"LOCPATH=" + locales.path(), "LC_ALL=de_DE.UTF-8"};
    std::string probe = "LOCPATH=" + locales.path() +
                        " LC_ALL=de_DE.UTF-8 /usr/bin/printf %.1f 1.5 > " + locales.path() + "/p";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    ASSERT_EQ(ReadWholeFile(locales.path() + "/p"), "1,5") << "the locale is in force";

    nlohmann::json offsets = {{"offsets",
                               {{"supported", true},
                                {"flatbed", true},
                                {"adfFront", {{"main", -3}}},
                                {"adfMagnification", 15},
                                {"flatbedMagnification", -31}}},
                              {"sleepTimer", {{"supported", true}, {"maxStep", 12}, {"step", 3}}}};
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1", offsets)});
    const std::vector<std::pair<std::string, bool>> formats = {
        {"json", true}, {"prometheus", true}, {"nagios", false}};
    for (const auto& [format, hasTimes] : formats) {
        RunResult plain = RunStatusProgram(fleet.path, {"-f", format}, {"LC_ALL=C"});
        RunResult local = RunStatusProgram(fleet.path, {"-f", format}, german);
        EXPECT_EQ(plain.exitCode, 0) << format;
        EXPECT_EQ(WithoutTimes(plain.out) != plain.out, hasTimes) << format;
        EXPECT_EQ(WithoutTimes(local.out), WithoutTimes(plain.out)) << format;
    }
}

TEST(StatusProgram, APolicyThatIsNotValidEndsTheRunBeforeAnythingIsReadOrWritten) {
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1")});
    const std::string bad = fleet.dir.path() + "/bad.toml";
    WriteWholeFile(bad, "[settings]\nsleep_timer_minutes = 0\n");
    const std::string missing = fleet.dir.path() + "/missing.toml";
    const std::string fault =
        bad + ":2:23: settings.sleep_timer_minutes: not a whole number from 1 to 1440";
    struct Case {
        Names args;
        std::string out;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"-p", bad}, "", fault},
        {{"-f", "nagios", "--policy", bad}, "ORVEXCONSUMABLES UNKNOWN - " + fault + "\n", fault},
        {{"-p", missing, "-o", fleet.dir.path() + "/out.prom", "-f", "prometheus"},
         "",
         missing + ": No such file or directory"},
    };
    const std::string trace = "ORVEX_SIM_TRACE=" + fleet.dir.path() + "/trace";
    for (const Case& c : cases) {
        RunResult run = RunStatusProgram(fleet.path, c.args, {trace});
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "orvexconsumables-status: " + c.error + "\n");
    }
    // No library was loaded (no trace), no state folder made, no output file written.
    EXPECT_EQ(FolderEntries(fleet.dir.path()), (Names{"bad.toml", "fleet.json"}));
}

TEST(StatusProgram, ParallelReadsGiveTheSameOutputInEnumerationOrder) {
    // The first scanner is the slowest, so that the children of -j 8 end in the reverse order.
    std::vector<nlohmann::json> scanners;
    Names names;
    for (int i = 0; i < 8; ++i) {
        names.push_back("ko-330xs:P" + std::to_string(i) + " ok");
        nlohmann::json delay = {{"faults", {{"GetArdosaInfo", {{"delayMs", (7 - i) * 20}}}}}};
        scanners.push_back(FleetScanner("ko-330xs:P" + std::to_string(i), "P", delay));
    }
    Fleet fleet({});
    fleet.Write(scanners);
    for (const char* format : {"json", "prometheus", "nagios", "table"}) {
        RunResult one = RunStatusProgram(fleet.path, {"-f", format, "-j", "1"});
        RunResult eight = RunStatusProgram(fleet.path, {"-f", format, "-j", "8"});
        EXPECT_EQ(one.exitCode, 0) << format;
        EXPECT_EQ(eight.exitCode, one.exitCode) << format;
        EXPECT_EQ(WithoutTimes(eight.out), WithoutTimes(one.out)) << format;
        if (format == std::string("json")) {
            EXPECT_EQ(Statuses(nlohmann::json::parse(eight.out)), names);
        }
    }
}

}  // namespace
