// Whole-program tests: orvexconsumables-status-sim against private fleet files, with a scanner held
// by another process, a hung one, hostile texts, another locale, unwritable outputs, a policy that
// is not valid and parallel reads.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <iterator>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <thread>

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

// The exit status of each kind of run in each kind of format, and a fleet of every kind read
// within the deadline.
TEST(StatusProgram, ReportsOkBusyHungAndAbsentScannersWithinTheDeadlineExitingAsTheFormatSays) {
    nlohmann::json hang = {{"faults", {{"GetArdosaInfo", {{"delayMs", 600000}}}}}};
    nlohmann::json marked = {
        {"counters", {{"pick", {{"label", "Pick Roller:"}, {"mark1", true}}}}}};
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1"), FleetScanner("ko-330xs:MARK2", "M", marked),
                 FleetScanner("ko-330xs:BUSY3", "BUSY3"),
                 FleetScanner("ko-330xs:HUNG4", "HUNG4", hang)});
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

    RunResult run =
        RunStatusProgram(fleet.path, {"-t", "2", "-d", "ko-330xs:GONE5", "-d", "ko-330xs:HUNG4",
                                      "-d", "ko-330xs:BUSY3", "-d", "ko-330xs:OK1"});
    EXPECT_LT(run.seconds, 3.0);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(SchemaViolation(run.out, ORVEX_TEST_SCHEMA), "");
    nlohmann::json document = nlohmann::json::parse(run.out);
    EXPECT_EQ(Statuses(document), (Names{"ko-330xs:OK1 ok", "ko-330xs:BUSY3 busy",
                                         "ko-330xs:HUNG4 timeout", "ko-330xs:GONE5 absent"}));
    EXPECT_EQ(document["scanners"][2]["messages"][0]["text"], "no answer within 2 s");

    // The killed reader's claim ended with it: the next run claims the scanner again.
    fleet.Write({FleetScanner("ko-330xs:HUNG4", "HUNG4")});
    RunResult next = RunStatusProgram(fleet.path, {"-f", "nagios", "-d", "ko-330xs:HUNG4"});
    EXPECT_EQ(next.out,
              "ORVEXCONSUMABLES OK - 1 scanner: 1 ok | 'ko-330xs:HUNG4 pick_roller'=60;;;0\n"
              "ko-330xs:HUNG4: ok\n");
    EXPECT_EQ(next.exitCode, 0);
}

// A usage error, a policy file that is not valid or missing, the help and the version end the run
// before any library is loaded (no trace), a state folder is made or an output file written.
TEST(StatusProgram, UsageErrorsPolicyErrorsHelpAndVersion) {
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1")});
    const std::string tryHelp = "Try 'orvexconsumables-status --help'.\n";
    const std::string bad = fleet.dir.path() + "/bad.toml";
    WriteWholeFile(bad, "[settings]\nsleep_timer_minutes = 0\n");
    const std::string missing = fleet.dir.path() + "/missing.toml";
    const std::string fault =
        bad + ":2:23: settings.sleep_timer_minutes: not a whole number from 1 to 1440";
    // The -sim program's default paths are inside the build tree.
    const std::string help =
        std::string(
            "Usage: orvexconsumables-status [-f json|prometheus|nagios|table] [-o FILE]\n"
            "                               [-d NAME]... [-t SECONDS] [--total-timeout SECONDS]\n"
            "                               [-j JOBS] [-p FILE] [--state-dir DIR] [--no-state]\n"
            "                               [-w PERCENT] [-c PERCENT] [-h] [-V]\n"
            "Reports the consumables and settings of the attached scanners without changing "
            "them.\n"
            "\n"
            "  -f, --format FORMAT      json (default), prometheus, nagios or table\n"
            "  -o, --output FILE        replace FILE atomically instead of writing to standard "
            "output\n"
            "  -d, --device-name NAME   only this scanner (repeatable)\n"
            "  -t, --timeout SECONDS    deadline for the enumeration and for each scanner\n"
            "                           (1 to 3600, default 10)\n"
            "      --total-timeout SECONDS\n"
            "                           deadline for the whole run, after which the scanners\n"
            "                           not read are timeout (0 to 86400, 0 for none;\n"
            "                           default 50 with nagios, else none)\n"
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
        "With nagios: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.\n";
    struct UsageCase {
        Names args;
        std::string out;
        std::string err;
        int exitCode;
    };
    const std::vector<UsageCase> cases = {
        {{"-V"}, "orvexconsumables-status " ORVEX_TEST_VERSION "\n", "", 0},
        {{"--help", "-f", "nagios"}, help, "", 0},
        {{"--bogus"}, "", "orvexconsumables-status: unknown option '--bogus'\n" + tryHelp, 3},
        {{"-t", "x", "-f", "nagios"},
         "ORVEXCONSUMABLES UNKNOWN - the timeout 'x' is not a whole number of seconds from 1 to "
         "3600\n",
         "orvexconsumables-status: the timeout 'x' is not a whole number of seconds from 1 to "
         "3600\n" +
             tryHelp,
         3},
        {{"-p", bad}, "", "orvexconsumables-status: " + fault + "\n", 3},
        {{"-f", "nagios", "--policy", bad},
         "ORVEXCONSUMABLES UNKNOWN - " + fault + "\n",
         "orvexconsumables-status: " + fault + "\n",
         3},
        {{"-p", missing, "-o", fleet.dir.path() + "/out.prom", "-f", "prometheus"},
         "",
         "orvexconsumables-status: " + missing + ": No such file or directory\n",
         3},
    };
    const std::string trace = "ORVEX_SIM_TRACE=" + fleet.dir.path() + "/trace";
    for (const UsageCase& c : cases) {
        RunResult run = RunStatusProgram(fleet.path, c.args, {trace});
        EXPECT_EQ(run.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(run.err, c.err) << testing::PrintToString(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << testing::PrintToString(c.args);
    }
    EXPECT_EQ(FolderEntries(fleet.dir.path()), (Names{"bad.toml", "fleet.json"}));
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

TEST(StatusProgram, ParallelReadsGiveTheSameOutputInEnumerationOrder) {
    // The first scanner is the slowest, so that the children of -j 8 end in the reverse order:
    // the same output as -j 1's is in the order of the enumeration.
    std::vector<nlohmann::json> scanners;
    for (int i = 0; i < 8; ++i) {
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
    }
}

// With a deadline for the whole run, the scanners not read by then are timeout, the one read
// when it came cut short, and the output is written all the same. Indices that the device-watch
// library gives no name for (one it returns null for, one beyond its names that its count
// promises) are errors of the enumeration.
TEST(StatusProgram, TheRunsDeadlineAndIndicesWithoutANameInThePluginOutput) {
    nlohmann::json hang = {{"faults", {{"GetArdosaInfo", {{"delayMs", 600000}}}}}};
    nlohmann::json unnamed = {{"faults", {{"korwc_GetDeviceName", {{"result", 0}}}}}};
    struct Case {
        nlohmann::json fleet;
        Names args;      // after -f nagios
        double seconds;  // at least
        std::string out;
    };
    const Case cases[] = {
        {{{"scanners",
           {FleetScanner("ko-330xs:H1", "H1", hang), FleetScanner("ko-330xs:H2", "H2", hang),
            FleetScanner("ko-330xs:H3", "H3", hang)}}},
         {"-t", "2", "--total-timeout", "3"},
         3.0,
         "ORVEXCONSUMABLES CRITICAL - 3 scanners: 3 timeout\n"
         "ko-330xs:H1: timeout - no answer within 2 s\n"
         "ko-330xs:H2: timeout - no answer before the run's time was up\n"
         "ko-330xs:H3: timeout - not read: the run's time was up\n"},
        {{{"faults", {{"korwc_GetDeviceTotalNum", {{"result", 3}}}}},
          {"scanners",
           {FleetScanner("ko-330xs:OK1", "OK1"), FleetScanner("ko-330xs:NONAME", "N", unnamed)}}},
         {},
         0,
         "ORVEXCONSUMABLES CRITICAL - 1 scanner: 1 ok | 'ko-330xs:OK1 pick_roller'=60;;;0\n"
         "ko-330xs:OK1: ok\n"
         "the enumeration gave no name for the scanner at index 1\n"
         "the enumeration gave no name for the scanner at index 2\n"},
    };
    for (const Case& c : cases) {
        Fleet fleet({});
        WriteWholeFile(fleet.path, c.fleet.dump());
        Names args = c.args;
        args.insert(args.begin(), {"-f", "nagios"});
        RunResult run = RunStatusProgram(fleet.path, args);
        EXPECT_GE(run.seconds, c.seconds);
        EXPECT_LT(run.seconds, 4.0);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.exitCode, 2);
    }
}

// The processes whose parent is pid (which has one thread), from /proc.
std::vector<int> ChildrenOf(int pid) {
    std::istringstream listed(ReadWholeFile("/proc/" + std::to_string(pid) + "/task/" +
                                            std::to_string(pid) + "/children"));
    return {std::istream_iterator<int>(listed), std::istream_iterator<int>()};
}

// True when the process has ended (reaped, or a zombie that nobody has reaped yet), within
// seconds.
bool EndsWithin(int pid, int seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
        std::string stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
        size_t end = stat.rfind(')');
        if (end == std::string::npos || stat.compare(end + 1, 2, " Z") == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The program ended by a signal while its child reads or enumerates: the child ends with it
// (whose claim then ends, as the first test shows), and no output or temporary file is left.
TEST(StatusProgram, ChildrenEndWithTheProgram) {
    // The entry point that hangs and the call traced before it: in the reading, in the enumeration.
    const std::pair<const char*, const char*> hangs[] = {
        {"GetArdosaInfo", "SetFirmVersion"}, {"korwc_GetDeviceName", "korwc_GetDeviceTotalNum"}};
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
        for (const auto& [hung, before] : hangs) {
            const std::string what = std::string(strsignal(signal)) + " in " + hung;
            Fleet fleet(
                {FleetScanner("ko-330xs:H1", "H1", {{"faults", {{hung, {{"delayMs", 600000}}}}}})});
            TempDir out;
            const std::string trace = out.path() + "/trace";
            int pid = StartStatusProgram(fleet.path, {"-o", out.path() + "/status.json"},
                                         {"ORVEX_SIM_TRACE=" + trace}, out.path() + "/out",
                                         out.path() + "/err");
            for (int i = 0; i < 1000 && ReadWholeFile(trace).find(before) == std::string::npos;
                 ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            std::vector<int> children = ChildrenOf(pid);
            EXPECT_EQ(children.size(), 1u) << what;
            kill(pid, signal);
            RunResult run = WaitForProgram(pid, out.path() + "/out", out.path() + "/err");
            EXPECT_EQ(run.signal, signal) << what;
            for (int child : children) {
                EXPECT_TRUE(EndsWithin(child, 5)) << what;
            }
            EXPECT_EQ(FolderEntries(out.path()), Names{"trace"}) << what;
        }
    }
}

// The table is coloured on a terminal only, and not even there with NO_COLOR set.
TEST(StatusProgram, TheTableIsColouredOnATerminalWithoutNoColorOnly) {
    Fleet fleet({FleetScanner("ko-330xs:OK1", "OK1")});
    struct Case {
        const char* what;
        RunResult run;
        bool coloured;
    };
    const Case cases[] = {
        {"terminal", RunStatusProgramOnTerminal(fleet.path, {"-f", "table"}), true},
        {"terminal, NO_COLOR",
         RunStatusProgramOnTerminal(fleet.path, {"-f", "table"}, {"NO_COLOR=1"}), false},
        {"pipe", RunStatusProgram(fleet.path, {"-f", "table"}), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.run.exitCode, 0) << c.what;
        EXPECT_NE(c.run.out.find("ko-330xs:OK1"), std::string::npos) << c.what;
        EXPECT_EQ(c.run.out.find("\x1b[") != std::string::npos, c.coloured) << c.what;
    }
}

}  // namespace
