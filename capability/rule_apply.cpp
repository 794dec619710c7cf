// Applying a capability rule row: profile lookups, constants, device step.
#include "capability/rule_table.h"

#include <cstring>

#include "capability/profile.h"

namespace {

bool IsLeftOut(const CapabilityRule& rule, const char* key) {
    for (const char* without : rule.apWithout) {
        if (without != nullptr && std::strcmp(without, key) == 0) {
            return true;
        }
    }
    return false;
}

void LookUpKeys(const CapabilityRule& rule, const char* path, CDevSet2Builder* record) {
    for (const KeyList* list : rule.apLists) {
        if (list == nullptr) {
            continue;
        }
        for (size_t i = 0; i < list->uiCount; ++i) {
            const ProfileKey& key = list->pKeys[i];
            if (!IsLeftOut(rule, key.cpKey)) {
                record->*key.pField =
                    GetPrivateProfileInt(rule.cpSection, key.cpKey, key.iDefault, path);
            }
        }
    }
}

void WriteConstants(const ConstantList& constants, CDevSet2Builder* record) {
    for (size_t i = 0; i < constants.uiCount; ++i) {
        record->*constants.pValues[i].pField = constants.pValues[i].iValue;
    }
}

}  // namespace

void ApplyRule(const CapabilityRule& rule, capability_context* context, CDevSet2Builder* record) {
    if (rule.cpSection != nullptr) {
        LookUpKeys(rule, context->cpProfilePath, record);
    }
    WriteConstants(rule.stConstants, record);
    RunDeviceStep(rule.eDeviceStep, context, record);
}
