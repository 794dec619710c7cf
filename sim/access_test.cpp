// Tests of exclusive access between processes and of the last error after a refused claim.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim/test_support.h"

namespace {

const char kFirst[] = "ko-330xs:KV33A0001";
const char kSecond[] = "ko-225Wxs:KV22W0002";

// A child process that claims a scanner, reports, then ends the claim or exits on request.
struct Holder {
    pid_t pid = -1;
    int toChild = -1;
    int fromChild = -1;
};

Holder StartHolder(const char* name) {
    int down[2], up[2];
    EXPECT_EQ(pipe(down), 0);
    EXPECT_EQ(pipe(up), 0);
    Holder holder;
    holder.pid = fork();
    if (holder.pid == 0) {
        char result = static_cast<char>(korwc_StartExcusive(name));
        char order = 0;
        if (write(up[1], &result, 1) != 1 || read(down[0], &order, 1) != 1) {
            _exit(2);
        }
        if (order == 'e') {
            korwc_EndExcusive(name);
            result = 1;
            if (write(up[1], &result, 1) != 1 || read(down[0], &order, 1) != 1) {
                _exit(2);
            }
        }
        _exit(0);
    }
    close(down[0]);
    close(up[1]);
    holder.toChild = down[1];
    holder.fromChild = up[0];
    return holder;
}

char Hear(const Holder& holder) {
    char answer = 0;
    EXPECT_EQ(read(holder.fromChild, &answer, 1), 1);
    return answer;
}

void Tell(const Holder& holder, char order) {
    EXPECT_EQ(write(holder.toChild, &order, 1), 1);
}

void Finish(Holder& holder) {
    Tell(holder, 'x');
    int status = 0;
    EXPECT_EQ(waitpid(holder.pid, &status, 0), holder.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(holder.toChild);
    close(holder.fromChild);
}

TEST(AccessTest, AClaimHoldsOffOtherProcessesUntilItEnds) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    Holder holder = StartHolder(kFirst);
    ASSERT_EQ(Hear(holder), 1);
    EXPECT_EQ(korwc_StartExcusive(kFirst), 0);
    EXPECT_EQ(korwc_GetLastErrorInfo(), kLastErrorNotConnected);
    EXPECT_EQ(korwc_StartExcusive(kSecond), 1) << "another scanner is free";
    Tell(holder, 'e');
    ASSERT_EQ(Hear(holder), 1);
    EXPECT_EQ(korwc_StartExcusive(kFirst), 1);
    EXPECT_EQ(korwc_GetLastErrorInfo(), 3) << "the scanner's own last error again";
    Finish(holder);
    EXPECT_EQ(korwc_EndExcusive(kFirst), 1);
    EXPECT_EQ(korwc_EndExcusive(kSecond), 1);
}

TEST(AccessTest, AClaimEndsWithItsProcess) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    Holder holder = StartHolder(kFirst);
    ASSERT_EQ(Hear(holder), 1);
    EXPECT_EQ(korwc_StartExcusive(kFirst), 0);
    Finish(holder);
    EXPECT_EQ(korwc_StartExcusive(kFirst), 1);
}

TEST(AccessTest, ClaimsWithinOneProcess) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    EXPECT_EQ(korwc_StartExcusive(kFirst), 1);
    EXPECT_EQ(korwc_StartExcusive(kFirst), 1) << "a second claim of the holder succeeds";
    Holder holder = StartHolder(kFirst);
    EXPECT_EQ(Hear(holder), 0) << "a child process does not get it";
    Finish(holder);
    EXPECT_EQ(korwc_EndExcusive(kFirst), 1);
    EXPECT_EQ(korwc_EndExcusive(kFirst), 0) << "nothing left to end";
}

TEST(AccessTest, AClaimBelongsToTheScannerNotToItsPlaceOrPath) {
    struct Row {
        bool bReorder;  // the claimed scanner moves to the end of the fleet
        bool bLink;     // this process reaches the fleet file through a link
    } rows[] = {{true, false}, {false, true}, {true, true}};
    for (const Row& row : rows) {
        simtest::TempFleet fleet(simtest::SampleFleet());
        Holder holder = StartHolder(kFirst);
        ASSERT_EQ(Hear(holder), 1);
        if (row.bReorder) {
            nlohmann::json document = fleet.Read();
            nlohmann::json& scanners = document["scanners"];
            scanners.push_back(scanners[0]);
            scanners.erase(0);
            WriteWholeFile(fleet.path(), document.dump());
        }
        if (row.bLink) {
            std::string link = fleet.dir() + "/link.json";
            ASSERT_EQ(symlink(fleet.path().c_str(), link.c_str()), 0);
            setenv("ORVEX_SIM_FLEET", link.c_str(), 1);
        }
        EXPECT_EQ(korwc_StartExcusive(kFirst), 0) << row.bReorder << row.bLink;
        EXPECT_EQ(korwc_StartExcusive(kSecond), 1) << row.bReorder << row.bLink;
        Finish(holder);
    }
}

TEST(AccessTest, UnknownAbsentAndDetachedNamesAreNotClaimed) {
    simtest::TempFleet fleet(simtest::SampleFleet());
    for (const char* name :
         {"ko-330xs", "ko-230xs:KV23A0005", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(korwc_StartExcusive(name), 0) << (name ? name : "NULL");
        EXPECT_EQ(korwc_GetLastErrorInfo(), kLastErrorNotConnected);
    }
    EXPECT_EQ(korwc_EndExcusive(nullptr), 0);
    EXPECT_EQ(korwc_UnlockScanner(nullptr), 0);
    EXPECT_EQ(korwc_UnlockScanner(kFirst), 1);
    EXPECT_EQ(fleet.Trace().back(), "korwc_UnlockScanner(\"ko-330xs:KV33A0001\") = 1");
}

}  // namespace
