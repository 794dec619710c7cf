// Record filling for GetArdosaInfo, OnInitDialog and GetOffSetData.
#include "sim/fill.h"

#include <cstring>
#include <string>

#include "sim/service.h"

namespace sim {

namespace {

const char* Label(const Counter& counter) {
    return counter.bHasLabel ? KeepText(counter.label) : nullptr;
}

template <size_t N>
void CutInto(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

}  // namespace

void FillArdosaInfo(const Scanner& s, ardosa_info& info) {
    info.bHasFlatbed = s.bHasFlatbed;
    info.cpRollerLabel = Label(s.roller);
    info.cpPickLabel = Label(s.pick);
    info.cpCleaningLabel = Label(s.cleaning);
    info.iAdfTotal = s.iAdfTotal;
    info.iFbTotal = s.iFbTotal;
    info.iRollerCount = s.roller.iCount;
    info.iPickCount = s.pick.iCount;
    info.iCleaningCount = s.cleaning.iCount;
    info.iSleepMinStep = s.iSleepMinStep;
    info.iSleepMaxStep = s.iSleepMaxStep;
    info.iSleepStep = s.iSleepStep;
    info.bPowerOffSupported = s.bPowerOffSupported;
    info.bPowerSaveSupported = s.bSleepSupported;
    info.bPowerOffActive = s.bPowerOffActive;
    info.iPowerOffSetting = s.iPowerOffSetting;
    info.bRollerMark1 = s.roller.bMark1;
    info.bRollerMark2 = s.roller.bMark2;
    info.bPickMark1 = s.pick.bMark1;
    info.bPickMark2 = s.pick.bMark2;
    info.bCleaningMark1 = s.cleaning.bMark1;
}

void FillDeviceInfo(const Scanner& s, device_info& info) {
    CutInto(info.szProductId, s.productId);
    CutInto(info.szRevision, s.revision);
    CutInto(info.szInitialUse, s.initialUse);
    CutInto(info.szSerialNumber, s.serialNumber);
}

void FillOffsetData(const Scanner& s, offset_data& data) {
    const Offsets& o = s.offsets;
    data.iFbMain = o.iFbMain;
    data.iFbSub = o.iFbSub;
    data.iAdfFrontMain = o.iAdfFrontMain;
    data.iAdfFrontSub = o.iAdfFrontSub;
    data.iAdfBackMain = o.iAdfBackMain;
    data.iAdfBackSub = o.iAdfBackSub;
    data.iAdfFrontEndOfPage = o.iAdfFrontEndOfPage;
    data.iAdfBackEndOfPage = o.iAdfBackEndOfPage;
    data.iFbMagnification = o.iFbMagnification;
    data.iAdfMagnification = o.iAdfMagnification;
    data.bFlatbed = o.bFlatbed ? 1 : 0;
    data.bLibrary41 = static_cast<unsigned char>(o.iByte41);
    data.bEndOfPage = o.bEndOfPage ? 1 : 0;
    data.bOffsetSupported = o.bSupported ? 1 : 0;
}

}  // namespace sim
