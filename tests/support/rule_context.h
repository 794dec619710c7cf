// A scanner for calling the capability rules directly: the context they read and fill, and the
// capability record, as the session holds them.
#pragma once

#include <string>

#include "access/paths.h"
#include "capability/context.h"
#include "capability/devset.h"
#include "capability/dispatch.h"

inline capability_context testContext;
inline CDevSet2Builder testRecord;
inline std::string testDevice;
inline std::string testDesignation;

/// Clears the context (firmware texts, failures) and the record.
inline void ResetRuleScanner() {
    testContext = capability_context{};
    testRecord = CDevSet2Builder{};
}

/// Makes the designation active, with designation + ":SN0001" as the device name.
inline void SetActiveDesignation(const std::string& designation) {
    testDevice = designation + ":SN0001";
    testDesignation = designation;
    testContext.cpDeviceName = testDevice.c_str();
    testContext.cpDesignation = testDesignation.c_str();
}

/// The context with the launcher profile that the tests chose in g_cpProfilePath.
inline capability_context* ActiveRuleContext() {
    testContext.cpProfilePath = g_cpProfilePath;
    return &testContext;
}

/// Runs the dispatch into testRecord, as the session does.
inline void ArbitrateActive() {
    ArbitrateCapabilities(ActiveRuleContext(), &testRecord);
}
