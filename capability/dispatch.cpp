// Model dispatch table and its walk.
#include "capability/dispatch.h"

#include <cstring>

#include "capability/rules.h"

namespace {

// One designation and the rule it selects. Designations are compared as whole strings, exactly,
// letter case significant; the first equal row wins (all rows are distinct).
struct DispatchRow {
    const char* cpDesignation;
    void (*pfnRule)(CDevSet2Builder* record, capability_context* context);
};

constexpr DispatchRow kDispatchTable[] = {
    {"ko-130xs", Ko130Arbitrate},            // 1
    {"ko-140xs", Ko130Arbitrate},            // 2
    {"Ko-150xs", Ko150Arbitrate},            // 3
    {"Ko-160xs", Ko160Arbitrate},            // 4
    {"Ko-440xs", Ko440Arbitrate},            // 5
    {"ko-440xs", Ko440Arbitrate},            // 6
    {"ko-230Wxs", Ko230WArbitrate},          // 7
    {"ko-330Wxs", Ko330WArbitrate},          // 8
    {"ko-225Wxs", Ko225WArbitrate},          // 9
    {"ko-325Wxs", Ko325WArbitrate},          // 10
    {"ko-230WMBxs", TARVO4MB_Arbitrate},     // 11
    {"ko-227WMBxs", TARVO4MB_Arbitrate},     // 12
    {"ko-225WMBxs", TARVO4MB_Arbitrate},     // 13
    {"ko-220WMBxs", TARVO4MB_Arbitrate},     // 14
    {"ko-215WMBxs", TARVO4MB_Arbitrate},     // 15
    {"ko-330WMBxs", TARVO4MB_FB_Arbitrate},  // 16
    {"ko-327WMBxs", TARVO4MB_FB_Arbitrate},  // 17
    {"ko-325WMBxs", TARVO4MB_FB_Arbitrate},  // 18
    {"ko-320WMBxs", TARVO4MB_FB_Arbitrate},  // 19
    {"ko-315WMBxs", TARVO4MB_FB_Arbitrate},  // 20
    {"ko-230xs", Ko230Arbitrate},            // 21
    {"ko-330xs", Ko330Arbitrate},            // 22
    {"ko-225Exs", Ko230Arbitrate},           // 23
    {"ko-325Exs", Ko330Arbitrate},           // 24
    {"ko-225xs", Ko225Arbitrate},            // 25
    {"ko-325xs", Ko325Arbitrate},            // 26
    {"Ko-430Hxs", Ko430HArbitrate},          // 27
    {"ko-430xs", Ko430Arbitrate},            // 28
    {"Ko-410Hxs", Ko410HArbitrate},          // 29
    {"ko-410xs", Ko410Arbitrate},            // 30
    {"ko-420xs", Ko420Arbitrate},            // 31
    {"ko-220xs", Ko220Arbitrate},            // 32
    {"ko-320xs", Ko320Arbitrate},            // 33
    {"ko-210xs", Ko210Arbitrate},            // 34
    {"ko-550xs", Ko550Arbitrate},            // 35
    {"ko-650xs", Ko650Arbitrate},            // 36
    {"ko-540xs", Ko540Arbitrate},            // 37
    {"ko-640xs", Ko640Arbitrate},            // 38
    {"ko-120K2xs", Ko120K2Arbitrate},        // 39
    {"ko-110xs", Ko110Arbitrate},            // 40
    {"VX52", VX52Arbitrate},                 // 41
    {"VX63", VX63Arbitrate},                 // 42
    {"VX63G", VX63GArbitrate},               // 43
    {"ko-530", Ko530Arbitrate},              // 44
    {"ko-527", Ko530Arbitrate},              // 45
    {"ko-525", Ko530Arbitrate},              // 46
    {"ko-520", Ko530Arbitrate},              // 47
    {"ko-515", Ko530Arbitrate},              // 48
    {"ko-630", Ko630Arbitrate},              // 49
    {"ko-627", Ko630Arbitrate},              // 50
    {"ko-625", Ko630Arbitrate},              // 51
    {"ko-620", Ko630Arbitrate},              // 52
    {"ko-615", Ko630Arbitrate},              // 53
    {"R800", R800Arbitrate},                 // 54
    {"ko-720", Ko720Arbitrate},              // 55
    {"ko-710", Ko720Arbitrate},              // 56
    {"ko-90G", Ko90GArbitrate},              // 57
    {"ko-510", Ko510Arbitrate},              // 58
    {"VX-708", VX708Arbitrate},              // 59
};
static_assert(sizeof kDispatchTable / sizeof kDispatchTable[0] == 59, "59 designations");

}  // namespace

void ArbitrateCapabilities(capability_context* context, CDevSet2Builder* record) {
    std::memset(record, 0, sizeof *record);
    if (context->cpDesignation != nullptr) {
        FunctionArbitratorFactory(context->cpDesignation, context, record);
    }
}

void FunctionArbitratorFactory(const char* name, capability_context* context,
                               CDevSet2Builder* record) {
    if (name == nullptr) {
        return;
    }
    for (const DispatchRow& row : kDispatchTable) {
        if (std::strcmp(row.cpDesignation, name) == 0) {
            row.pfnRule(record, context);
            return;
        }
    }
}
