// Google Benchmark of the launcher-profile reader (one lookup on generated profiles of growing
// size, in bytes per second) and of the model dispatch (the 59-row walk on a 64 KiB profile).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "access/binding.h"
#include "access/paths.h"
#include "capability/devset.h"
#include "capability/dispatch.h"
#include "capability/profile.h"

namespace {

// Every key that a capability rule reads, in record order; the last one is the one looked up.
const char* const kKeys[] = {
    "DEVSET_DOUBLEFEED",          "DEVSET_DELFRAME_ADF",
    "DEVSET_DELFRAME_FB",         "DEVSET_ENDORSER_ONOFF",
    "DEVSET_ENDORSER_DIGIT",      "DEVSET_ENDORSER_INITIAL",
    "DEVSET_ENDORSER_EMPTYRESET", "DEVSET_FB_FINE",
    "DEVSET_DROPOUTCOLOR",        "DEVSET_PREPICK",
    "DEVSET_THINPAPER",           "DEVSET_AUTOCROP",
    "DEVSET_AUTOCROP_FRAME",      "DEVSET_SENSOR_POSITION",
    "DEVSET_MF_IGNORE",           "DEVSET_MF_SCAN",
    "DEVSET_PICKRETRY",           "DEVSET_PANEL_SETTING",
    "DEVSET_MANUALFEED_MF",       "DEVSET_ADDR_SET",
    "DEVSET_ADDR_PICKROLLER",     "DEVSET_ADDR_BRAKEROLLER",
    "DEVSET_ADDR_SEPPAD",         "DEVSET_ADDR_SEPROLLER",
    "DEVSET_OVERSCANPLUS",        "DEVSET_TATESUJIDETECTION",
    "DEVSET_TATESUJILEVEL",       "DEVSET_TATESUJIJOKYO",
    "DEVSET_THINPAPER2",          "DEVSET_JAM_DETECTION",
    "DEVSET_SMALLPAPER_MODE",     "DEVSET_AUTOCROP_BOUNDARY",
    "DEVSET_INTERFACE",           "DEVSET_SCSI_BUS_WIDTH",
    "DEVSET_COLOER_DETECTION",    "DEVSET_STACKER",
    "DEVSET_SKEW_DETECTION",      "DEVSET_ALARM",
    "DEVSET_SKEW_JAM_DETECTION",  "DEVSET_SELECT_INPRINTER",
    "DEVSET_MANUAL_TIMEOUT",      "DEVSET_SOFTPICK",
    "DEVSET_CLEANING_TERMS",      "DEVSET_TABCROP",
    "DEVSET_TABCROP_VRS",         "DEVSET_DENSE_BACKGROUND",
    "DEVSET_OVERUNDERCROP",       "DEVSET_MAINTENANCE_TERMS",
    "DEVSET_PICKSPEED",           "DEVSET_KOUCHIMODE",
    "DEVSET_JPEGCOMPRESSION",
};
const char kLookedUpSection[] = "ko-230";
const char kLookedUpKey[] = "DEVSET_JPEGCOMPRESSION";

// The sections that the capability rules read, for the dispatch walk.
const char* const kRuleSections[] = {
    "ko-230",  "ko-330",  "ko-225",  "ko-325", "ko-220", "ko-320", "ko-210", "ko-120K2", "ko-230W",
    "ko-330W", "ko-225W", "ko-325W", "ko-550", "ko-650", "ko-540", "ko-640", "ko-530",   "ko-630",
    "ko-720",  "ko-510",  "ko-90G",  "VX52",   "VX63",   "VX63G",  "ko-140", "Ko-150",   "Ko-160",
    "Ko-440",  "Ko-430H", "Ko-410H", "ko-430", "ko-420", "ko-410",
};

// The designations of the dispatch table, in its order.
const char* const kDesignations[] = {
    "ko-130xs",    "ko-140xs",    "Ko-150xs",    "Ko-160xs",    "Ko-440xs",    "ko-440xs",
    "ko-230Wxs",   "ko-330Wxs",   "ko-225Wxs",   "ko-325Wxs",   "ko-230WMBxs", "ko-227WMBxs",
    "ko-225WMBxs", "ko-220WMBxs", "ko-215WMBxs", "ko-330WMBxs", "ko-327WMBxs", "ko-325WMBxs",
    "ko-320WMBxs", "ko-315WMBxs", "ko-230xs",    "ko-330xs",    "ko-225Exs",   "ko-325Exs",
    "ko-225xs",    "ko-325xs",    "Ko-430Hxs",   "ko-430xs",    "Ko-410Hxs",   "ko-410xs",
    "ko-420xs",    "ko-220xs",    "ko-320xs",    "ko-210xs",    "ko-550xs",    "ko-650xs",
    "ko-540xs",    "ko-640xs",    "ko-120K2xs",  "ko-110xs",    "VX52",        "VX63",
    "VX63G",       "ko-530",      "ko-527",      "ko-525",      "ko-520",      "ko-515",
    "ko-630",      "ko-627",      "ko-625",      "ko-620",      "ko-615",      "R800",
    "ko-720",      "ko-710",      "ko-90G",      "ko-510",      "VX-708",
};
static_assert(sizeof kDesignations / sizeof kDesignations[0] == 59, "the dispatch has 59 rows");

void AppendSection(std::string& text, const std::string& name, char value) {
    text += name;
    text += '\n';
    for (const char* key : kKeys) {
        text += key;
        text += value;
        text += '\n';
    }
}

// A profile of about size bytes: filler model sections (all switches off), then the named
// sections (all on), so a lookup in the last section reads the whole file.
std::string MakeProfile(size_t size, const std::vector<std::string>& lastSections) {
    std::string tail;
    for (const std::string& name : lastSections) {
        AppendSection(tail, name, '1');
    }
    std::string text;
    for (int model = 0; text.size() + tail.size() < size; ++model) {
        char name[32];
        std::snprintf(name, sizeof name, "ko-f%05d", model);
        AppendSection(text, name, '0');
    }
    return text + tail;
}

std::string WriteTemporary(const std::string& text) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir != nullptr ? dir : "/tmp") + "/orvex_profile_XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    close(fd);
    return path;
}

// Generated profiles by size, written once and removed at exit.
struct ProfileFile {
    std::string path;
    size_t size;
};
std::map<size_t, ProfileFile>& Profiles() {
    static std::map<size_t, ProfileFile> profiles;
    return profiles;
}

const ProfileFile& LookupProfile(size_t size, bool allRuleSections) {
    size_t key = size * 2 + (allRuleSections ? 1 : 0);
    auto found = Profiles().find(key);
    if (found != Profiles().end()) {
        return found->second;
    }
    std::vector<std::string> sections{kLookedUpSection};
    if (allRuleSections) {
        sections.assign(std::begin(kRuleSections), std::end(kRuleSections));
    }
    std::string text = MakeProfile(size, sections);
    return Profiles()[key] = ProfileFile{WriteTemporary(text), text.size()};
}

void BM_ProfileLookup(benchmark::State& state) {
    const ProfileFile& profile = LookupProfile(static_cast<size_t>(state.range(0)), false);
    for (auto _ : state) {
        ForgetProfiles();  // so that every lookup reads the file, as the first of a process does
        int value = GetPrivateProfileInt(kLookedUpSection, kLookedUpKey, 0, profile.path.c_str());
        if (value != 1) {
            state.SkipWithError("the lookup did not find the key in the last section");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(profile.size));
    state.counters["file_bytes"] = static_cast<double>(profile.size);
}
BENCHMARK(BM_ProfileLookup)->Arg(4 << 10)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);

// Fakes that answer the firmware version and the inquiry at once.
int FakeGetFirmVersion(const char*, char* buffer, int size) {
    std::snprintf(buffer, static_cast<size_t>(size), "%s", "0D20");
    return 1;
}
int FakeInquiryVPD(const char*, unsigned char* buffer, int length, int) {
    std::memset(buffer, 0, static_cast<size_t>(length));
    return 1;
}

void BM_DispatchWalk(benchmark::State& state) {
    const ProfileFile& profile = LookupProfile(64 << 10, true);
    g_cpProfilePath = profile.path.c_str();
    g_fcpkorwc_GetFirmVersion = FakeGetFirmVersion;
    g_fcpkorwc_InquiryVPD = FakeInquiryVPD;
    capability_context context{};
    context.cpDeviceName = "bench:0";
    context.cpProfilePath = profile.path.c_str();
    CDevSet2Builder record;
    for (auto _ : state) {
        for (const char* designation : kDesignations) {
            context.cpDesignation = designation;
            ArbitrateCapabilities(&context, &record);
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 59);
    state.counters["file_bytes"] = static_cast<double>(profile.size);
}
BENCHMARK(BM_DispatchWalk)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& entry : Profiles()) {
        std::remove(entry.second.path.c_str());
    }
    return 0;
}
