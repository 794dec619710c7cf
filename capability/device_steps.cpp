// The device steps of the capability rules: firmware fetches with their version gates, and the
// inquiries whose bits switch single fields.
#include "capability/rule_table.h"

#include <cstring>

#include "access/binding.h"
#include "access/names.h"
#include "capability/rules.h"

namespace {

// Firmware below this turns bAutoCropBoundary off for the designations below.
const char kTarvo3Threshold[] = "0C30";
const char* const kTarvo3GatedDesignations[] = {"ko-230xs", "ko-330xs", "ko-225Exs", "ko-325Exs"};
// The library gives four characters of meaning; the rest of the text is cut off.
constexpr size_t kTarvo3VersionLength = 4;

// Firmware below this turns bFlag70 and bPickRetry off; compared over its five bytes with the NUL.
const char kVelisa2Threshold[] = "0D10";
static_assert(sizeof kVelisa2Threshold == 5, "the comparison covers the terminating NUL");

// How an inquiry bit acts on its field.
enum class InquiryEffect {
    kClearWhenSet,  // bit set: field = 0
    kCopyBit,       // field = 1 if the bit is set, else 0
    kSetWhenSet,    // bit set: field = 1
};

// One inquiry: buffer size, bytes asked for, where the bit is, and what it does.
struct InquiryCheck {
    size_t uiBufferSize;
    int iLength;
    size_t uiByte;
    unsigned char ucMask;
    bool bNeedsSuccess;  // false: the buffer is read whatever the call returned
    DevSetField pField;
    InquiryEffect eEffect;
};

constexpr InquiryCheck kInquiryBusWidth = {
    368, 112, 109, 0x01, true, &CDevSet2Builder::bScsiBusWidth, InquiryEffect::kClearWhenSet};
constexpr InquiryCheck kInquiryFlag72 = {
    144, 144, 114, 0x80, true, &CDevSet2Builder::bFlag72, InquiryEffect::kCopyBit};
constexpr InquiryCheck kInquiryFlag75 = {
    117, 117, 116, 0x18, false, &CDevSet2Builder::bFlag75, InquiryEffect::kSetWhenSet};

constexpr size_t kInquiryBufferMax = 368;

constexpr bool Fits(const InquiryCheck& check) {
    return check.uiBufferSize <= kInquiryBufferMax &&
           static_cast<size_t>(check.iLength) <= check.uiBufferSize &&
           check.uiByte < static_cast<size_t>(check.iLength);
}
static_assert(Fits(kInquiryBusWidth) && Fits(kInquiryFlag72) && Fits(kInquiryFlag75));

// Fetches the firmware text into a 16-byte buffer; a failure is counted and the rule goes on.
void FetchFirmware(capability_context* context, char* buffer) {
    if (!IsLibraryTrue(
            g_fcpkorwc_GetFirmVersion(context->cpDeviceName, buffer, kFirmwareTextSize))) {
        ++context->iFirmwareFetchFailures;
    }
}

void FetchTarvo3(capability_context* context) {
    FetchFirmware(context, context->szTarvo3FirmVer);
    context->szTarvo3FirmVer[kTarvo3VersionLength] = '\0';
}

void StepNone(capability_context*, CDevSet2Builder*) {}

void StepTarvo3Fetch(capability_context* context, CDevSet2Builder*) {
    FetchTarvo3(context);
}

void StepTarvo3FetchGated(capability_context* context, CDevSet2Builder* record) {
    FetchTarvo3(context);
    if (IsOneOfNames(context->cpDesignation, kTarvo3GatedDesignations) &&
        std::strcmp(context->szTarvo3FirmVer, kTarvo3Threshold) < 0) {
        record->bAutoCropBoundary = 0;
    }
}

void StepVelisa2FetchGated(capability_context* context, CDevSet2Builder* record) {
    FetchFirmware(context, context->szVelisa2FirmVer);
    // memcmp orders by unsigned bytes and stops at the first difference.
    if (std::memcmp(context->szVelisa2FirmVer, kVelisa2Threshold, sizeof kVelisa2Threshold) < 0) {
        record->bFlag70 = 0;
        record->bPickRetry = 0;
    }
}

void RunInquiry(const InquiryCheck& check, const capability_context* context,
                CDevSet2Builder* record) {
    unsigned char buffer[kInquiryBufferMax];
    std::memset(buffer, 0, check.uiBufferSize);
    bool ok = IsLibraryTrue(g_fcpkorwc_InquiryVPD(context->cpDeviceName, buffer, check.iLength, 0));
    if (check.bNeedsSuccess && !ok) {
        return;
    }
    bool bitSet = (buffer[check.uiByte] & check.ucMask) != 0;
    switch (check.eEffect) {
        case InquiryEffect::kClearWhenSet:
            if (bitSet) {
                record->*check.pField = 0;
            }
            break;
        case InquiryEffect::kCopyBit:
            record->*check.pField = bitSet ? 1 : 0;
            break;
        case InquiryEffect::kSetWhenSet:
            if (bitSet) {
                record->*check.pField = 1;
            }
            break;
    }
}

void StepInquiryBusWidth(capability_context* context, CDevSet2Builder* record) {
    RunInquiry(kInquiryBusWidth, context, record);
}

void StepInquiryFlag72(capability_context* context, CDevSet2Builder* record) {
    RunInquiry(kInquiryFlag72, context, record);
}

void StepInquiryFlag75(capability_context* context, CDevSet2Builder* record) {
    RunInquiry(kInquiryFlag75, context, record);
}

// Indexed by DeviceStep.
void (*const kStepHandlers[])(capability_context*, CDevSet2Builder*) = {
    StepNone,
    StepTarvo3Fetch,
    StepTarvo3FetchGated,
    StepVelisa2FetchGated,
    StepInquiryBusWidth,
    StepInquiryFlag72,
    StepInquiryFlag75,
};
static_assert(sizeof kStepHandlers / sizeof kStepHandlers[0] ==
                  static_cast<size_t>(DeviceStep::kInquiryFlag75) + 1,
              "one handler per device step");

}  // namespace

void RunDeviceStep(DeviceStep step, capability_context* context, CDevSet2Builder* record) {
    kStepHandlers[static_cast<size_t>(step)](context, record);
}
