// The shape of a capability rule as data: profile lookups, then constants, then a device step.
#pragma once

#include <cstddef>
#include <cstdint>

#include "capability/context.h"
#include "capability/devset.h"

/// A field of the capability record.
using DevSetField = int32_t CDevSet2Builder::*;

/// One profile lookup: the key's value (0 or 1), or the default, goes into the field.
struct ProfileKey {
    const char* cpKey;
    DevSetField pField;
    int32_t iDefault;
};

/// A list of lookups, in the order they are made.
struct KeyList {
    const ProfileKey* pKeys;
    size_t uiCount;
};

/// One constant written after the lookups (over a value just read, if any).
struct FieldValue {
    DevSetField pField;
    int32_t iValue;
};

/// A list of constants, in the order they are written.
struct ConstantList {
    const FieldValue* pValues;
    size_t uiCount;
};

/// What a rule fetches from the scanner after its constants.
enum class DeviceStep {
    kNone,
    kTarvo3Fetch,        // firmware into szTarvo3FirmVer, cut to four characters
    kTarvo3FetchGated,   // the same, then the "0C30" gate on bAutoCropBoundary (four designations)
    kVelisa2FetchGated,  // firmware into szVelisa2FirmVer, the "0D10" gate on bFlag70, bPickRetry
    kInquiryBusWidth,    // 368-byte buffer, 112 bytes asked; byte 109 bit 0x01 clears bScsiBusWidth
    kInquiryFlag72,      // 144 bytes; on success bFlag72 is bit 0x80 of byte 114
    kInquiryFlag75,      // 117 bytes, result not looked at; byte 116 & 0x18 sets bFlag75
};

/// Most key lists a rule concatenates (a shared list and the rule's own additions).
constexpr size_t kRuleListsMax = 3;
/// Most keys a rule leaves out of the lists it takes.
constexpr size_t kRuleWithoutMax = 7;

/// One capability rule. Lookups are made in list order, skipping the keys named in apWithout;
/// a rule without section makes none.
struct CapabilityRule {
    const char* cpName;     // the rule function that applies this row
    const char* cpSection;  // profile section, null for rules without lookups
    const KeyList* apLists[kRuleListsMax];
    const char* apWithout[kRuleWithoutMax];
    ConstantList stConstants;
    DeviceStep eDeviceStep;
};

/// Applies a rule to the record: lookups in the context's launcher profile, constants, then the
/// device step on the context's device. The record is not cleared first.
void ApplyRule(const CapabilityRule& rule, capability_context* context, CDevSet2Builder* record);

/// The step of a rule that fetches or inquires, on its own (used by ApplyRule).
void RunDeviceStep(DeviceStep step, capability_context* context, CDevSet2Builder* record);
