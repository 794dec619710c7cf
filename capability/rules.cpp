// The capability rules of the model families, one table row each, and the rule functions that the
// model dispatch calls.
#include "capability/rules.h"

#include "capability/rule_keys.h"
#include "capability/rule_table.h"

namespace {

using namespace rule_data;

constexpr ConstantList kNoConstants = {nullptr, 0};

// Short names of the device steps, for the table.
constexpr DeviceStep kNoStep = DeviceStep::kNone;
constexpr DeviceStep kFetch = DeviceStep::kTarvo3Fetch;
constexpr DeviceStep kFetch0C30 = DeviceStep::kTarvo3FetchGated;
constexpr DeviceStep kFetch0D10 = DeviceStep::kVelisa2FetchGated;
constexpr DeviceStep kInquiry112 = DeviceStep::kInquiryBusWidth;
constexpr DeviceStep kInquiry144 = DeviceStep::kInquiryFlag72;
constexpr DeviceStep kInquiry117 = DeviceStep::kInquiryFlag75;

// Columns: rule function, profile section, key lists looked up in order, keys left out of those
// lists, constants written after the lookups, device step. Ko140Arbitrate has no row: it calls
// Ko130Arbitrate.
// clang-format off
constexpr CapabilityRule kRules[] = {
    {"Ko230Arbitrate", "ko-230", {&kBaseList, &kDelFrameFb0, &kAutoCropBoundary}, {},
     Constants(kFlags33_46_47_48), kFetch0C30},
    {"Ko330Arbitrate", "ko-330", {&kBaseList, &kDelFrameFb1, &kAutoCropBoundary}, {},
     Constants(kFlags33_46_47_48), kFetch0C30},
    {"Ko225Arbitrate", "ko-225", {&kBaseList, &kDelFrameFb0}, {},
     Constants(kFlags46_47), kFetch},
    {"Ko325Arbitrate", "ko-325", {&kBaseList, &kDelFrameFb1}, {},
     Constants(kFlags46_47), kFetch},
    {"Ko220Arbitrate", "ko-220", {&kBaseList, &kDelFrameFb0}, {},
     Constants(kFlags46_47), kFetch},
    {"Ko320Arbitrate", "ko-320", {&kBaseList, &kDelFrameFb1}, {},
     Constants(kFlags46_47), kFetch},
    {"Ko210Arbitrate", "ko-210", {&kBaseList}, {"DEVSET_PREPICK"},
     Constants(kFlag47), kFetch},
    {"Ko120K2Arbitrate", "ko-120K2", {&kKo120K2List}, {},
     Constants(kFlag47), kFetch},
    {"Ko230WArbitrate", "ko-230W", {&kBaseList, &kDelFrameFb0, &kAutoCropBoundary}, {},
     Constants(kFlags33_46_47_48_73), kNoStep},
    {"Ko330WArbitrate", "ko-330W", {&kBaseList, &kDelFrameFb1, &kAutoCropBoundary}, {},
     Constants(kFlags33_46_47_48_73), kNoStep},
    {"Ko225WArbitrate", "ko-225W", {&kBaseList, &kDelFrameFb0, &kAutoCropBoundary}, {},
     Constants(kFlags33_46_47_48), kNoStep},
    {"Ko325WArbitrate", "ko-325W", {&kBaseList, &kDelFrameFb1, &kAutoCropBoundary}, {},
     Constants(kFlags33_46_47_48), kNoStep},
    {"Ko550Arbitrate", "ko-550", {&kBaseList, &kDelFrameFb0, &kKo550Added}, {},
     Constants(kFlags34_46_47_49_73), kInquiry117},
    {"Ko650Arbitrate", "ko-650", {&kBaseList, &kDelFrameFb1, &kKo550Added}, {},
     Constants(kFlags34_46_47_49_73), kInquiry117},
    {"Ko540Arbitrate", "ko-540", {&kBaseList, &kDelFrameFb0, &kKo550Added}, {},
     Constants(kFlags34_46_47_49), kInquiry117},
    {"Ko640Arbitrate", "ko-640", {&kBaseList, &kDelFrameFb1, &kKo550Added}, {},
     Constants(kFlags34_46_47_49), kInquiry117},
    {"Ko530Arbitrate", "ko-530", {&kBaseList, &kDelFrameFb0, &kKo530Added}, {},
     Constants(kFlags33_46_47_48), kInquiry117},
    {"Ko630Arbitrate", "ko-630", {&kBaseList, &kDelFrameFb1, &kKo530Added}, {},
     Constants(kFlags33_46_47_48), kInquiry117},
    {"Ko720Arbitrate", "ko-720", {&kBaseList, &kKo550Added}, {},
     Constants(kKo720Constants), kNoStep},
    {"Ko510Arbitrate", "ko-510", {&kBaseList, &kKo510Added}, {"DEVSET_PREPICK"},
     Constants(kFlags46_47_75), kNoStep},
    {"Ko90GArbitrate", "ko-90G", {&kKo90GList}, {},
     Constants(kFlag47), kNoStep},
    {"VX52Arbitrate", "VX52", {&kBaseList, &kDelFrameFb0, &kKouchiMode}, {"DEVSET_MF_IGNORE"},
     Constants(kFlags46_47), kNoStep},
    {"VX63Arbitrate", "VX63", {&kBaseList, &kDelFrameFb0, &kKouchiMode}, {"DEVSET_MF_IGNORE"},
     Constants(kFlags46_47), kNoStep},
    {"VX63GArbitrate", "VX63G", {&kBaseList, &kDelFrameFb1, &kKouchiMode}, {"DEVSET_MF_IGNORE"},
     Constants(kFlags46_47), kNoStep},
    {"Ko130Arbitrate", "ko-140", {&kKo130List}, {},
     kNoConstants, kNoStep},
    {"Ko150Arbitrate", "Ko-150", {&kLongList}, {},
     Constants(kKo150Constants), kInquiry112},
    {"Ko160Arbitrate", "Ko-160", {&kLongList, &kJpegCompression0}, {},
     Constants(kKo160Constants), kInquiry112},
    {"Ko440Arbitrate", "Ko-440", {&kLongList, &kJpegCompression0},
     {"DEVSET_MF_SCAN", "DEVSET_THINPAPER2", "DEVSET_JAM_DETECTION", "DEVSET_SCSI_BUS_WIDTH",
      "DEVSET_TABCROP_VRS", "DEVSET_DENSE_BACKGROUND", "DEVSET_OVERUNDERCROP"},
     Constants(kKo440Constants), kInquiry144},
    {"Ko430HArbitrate", "Ko-430H", {&kKo430HList}, {},
     Constants(kKo430HConstants), kFetch0D10},
    {"Ko410HArbitrate", "Ko-410H", {&kKo430HList}, {},
     Constants(kKo430HConstants), kFetch0D10},
    {"Ko430Arbitrate", "ko-430", {&kKo430List}, {},
     Constants(kKo430Constants), kFetch0D10},
    {"Ko420Arbitrate", "ko-420", {&kKo430List}, {},
     Constants(kKo430Constants), kFetch0D10},
    {"Ko410Arbitrate", "ko-410", {&kKo430List}, {"DEVSET_DELFRAME_FB"},
     Constants(kKo430Constants), kFetch0D10},
    {"TARVO4MB_Arbitrate", nullptr, {}, {},
     Constants(kTarvo4MbConstants), kNoStep},
    {"TARVO4MB_FB_Arbitrate", nullptr, {}, {},
     Constants(kTarvo4MbFbConstants), kNoStep},
    {"R800Arbitrate", nullptr, {}, {},
     Constants(kR800Constants), kNoStep},
    {"Ko110Arbitrate", nullptr, {}, {},
     Constants(kFlag47), kNoStep},
    {"VX708Arbitrate", nullptr, {}, {},
     Constants(kFlag75), kNoStep},
};
// clang-format on

constexpr size_t kRuleCount = sizeof kRules / sizeof kRules[0];
static_assert(kRuleCount == 38,
              "38 rows for the 39 rule functions, Ko140Arbitrate being Ko130Arbitrate");

constexpr bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The row of a rule function, found while compiling; kRuleCount when there is none.
constexpr size_t RuleIndex(const char* name) {
    for (size_t i = 0; i < kRuleCount; ++i) {
        if (SameText(kRules[i].cpName, name)) {
            return i;
        }
    }
    return kRuleCount;
}

constexpr bool RuleNamesDistinct() {
    for (size_t i = 0; i < kRuleCount; ++i) {
        if (RuleIndex(kRules[i].cpName) != i) {
            return false;
        }
    }
    return true;
}
static_assert(RuleNamesDistinct(), "each rule function has one row");

template <size_t kIndex>
void ApplyRow(CDevSet2Builder* record, capability_context* context) {
    static_assert(kIndex < kRuleCount, "rule function without a row");
    ApplyRule(kRules[kIndex], context, record);
}

}  // namespace

void Ko230Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko230Arbitrate")>(record, context);
}
void Ko330Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko330Arbitrate")>(record, context);
}
void Ko225Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko225Arbitrate")>(record, context);
}
void Ko325Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko325Arbitrate")>(record, context);
}
void Ko220Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko220Arbitrate")>(record, context);
}
void Ko320Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko320Arbitrate")>(record, context);
}
void Ko210Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko210Arbitrate")>(record, context);
}
void Ko120K2Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko120K2Arbitrate")>(record, context);
}
void Ko230WArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko230WArbitrate")>(record, context);
}
void Ko330WArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko330WArbitrate")>(record, context);
}
void Ko225WArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko225WArbitrate")>(record, context);
}
void Ko325WArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko325WArbitrate")>(record, context);
}
void Ko550Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko550Arbitrate")>(record, context);
}
void Ko650Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko650Arbitrate")>(record, context);
}
void Ko540Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko540Arbitrate")>(record, context);
}
void Ko640Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko640Arbitrate")>(record, context);
}
void Ko530Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko530Arbitrate")>(record, context);
}
void Ko630Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko630Arbitrate")>(record, context);
}
void Ko720Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko720Arbitrate")>(record, context);
}
void Ko510Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko510Arbitrate")>(record, context);
}
void Ko90GArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko90GArbitrate")>(record, context);
}
void VX52Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("VX52Arbitrate")>(record, context);
}
void VX63Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("VX63Arbitrate")>(record, context);
}
void VX63GArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("VX63GArbitrate")>(record, context);
}
void Ko130Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko130Arbitrate")>(record, context);
}
void Ko140Arbitrate(CDevSet2Builder* record, capability_context* context) {
    Ko130Arbitrate(record, context);
}
void Ko150Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko150Arbitrate")>(record, context);
}
void Ko160Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko160Arbitrate")>(record, context);
}
void Ko440Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko440Arbitrate")>(record, context);
}
void Ko430HArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko430HArbitrate")>(record, context);
}
void Ko410HArbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko410HArbitrate")>(record, context);
}
void Ko430Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko430Arbitrate")>(record, context);
}
void Ko420Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko420Arbitrate")>(record, context);
}
void Ko410Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko410Arbitrate")>(record, context);
}
void TARVO4MB_Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("TARVO4MB_Arbitrate")>(record, context);
}
void TARVO4MB_FB_Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("TARVO4MB_FB_Arbitrate")>(record, context);
}
void R800Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("R800Arbitrate")>(record, context);
}
void Ko110Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("Ko110Arbitrate")>(record, context);
}
void VX708Arbitrate(CDevSet2Builder* record, capability_context* context) {
    ApplyRow<RuleIndex("VX708Arbitrate")>(record, context);
}
