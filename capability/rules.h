// Per-model capability rules: each fills the capability record for one model family.
#pragma once

#include "capability/devset.h"

/// Firmware version (four characters) left for the device-control library by some rules.
extern char g_Tarvo3FirmVer[16];
/// Firmware version used only inside the rules of the ko-410/420/430 families.
extern char g_Velisa2FirmVer[16];

// Each rule fills the record for its model family from the launcher profile, its constants and,
// for some families, the scanner's firmware version or inquiry data. None clears the record
// first; a failed firmware fetch prints " ERROR: Firmware Version 取得に失敗" and goes on.
void Ko230Arbitrate(CDevSet2Builder* record);
void Ko330Arbitrate(CDevSet2Builder* record);
void Ko225Arbitrate(CDevSet2Builder* record);
void Ko325Arbitrate(CDevSet2Builder* record);
void Ko220Arbitrate(CDevSet2Builder* record);
void Ko320Arbitrate(CDevSet2Builder* record);
void Ko210Arbitrate(CDevSet2Builder* record);
void Ko120K2Arbitrate(CDevSet2Builder* record);
void Ko230WArbitrate(CDevSet2Builder* record);
void Ko330WArbitrate(CDevSet2Builder* record);
void Ko225WArbitrate(CDevSet2Builder* record);
void Ko325WArbitrate(CDevSet2Builder* record);
void Ko550Arbitrate(CDevSet2Builder* record);
void Ko650Arbitrate(CDevSet2Builder* record);
void Ko540Arbitrate(CDevSet2Builder* record);
void Ko640Arbitrate(CDevSet2Builder* record);
void Ko530Arbitrate(CDevSet2Builder* record);
void Ko630Arbitrate(CDevSet2Builder* record);
void Ko720Arbitrate(CDevSet2Builder* record);
void Ko510Arbitrate(CDevSet2Builder* record);
void Ko90GArbitrate(CDevSet2Builder* record);
void VX52Arbitrate(CDevSet2Builder* record);
void VX63Arbitrate(CDevSet2Builder* record);
void VX63GArbitrate(CDevSet2Builder* record);
void Ko130Arbitrate(CDevSet2Builder* record);
/// The ko-140 family's rule: exactly what Ko130Arbitrate does (same section "ko-140").
void Ko140Arbitrate(CDevSet2Builder* record);
void Ko150Arbitrate(CDevSet2Builder* record);
void Ko160Arbitrate(CDevSet2Builder* record);
void Ko440Arbitrate(CDevSet2Builder* record);
void Ko430HArbitrate(CDevSet2Builder* record);
void Ko410HArbitrate(CDevSet2Builder* record);
void Ko430Arbitrate(CDevSet2Builder* record);
void Ko420Arbitrate(CDevSet2Builder* record);
void Ko410Arbitrate(CDevSet2Builder* record);
void TARVO4MB_Arbitrate(CDevSet2Builder* record);
void TARVO4MB_FB_Arbitrate(CDevSet2Builder* record);
void R800Arbitrate(CDevSet2Builder* record);
void Ko110Arbitrate(CDevSet2Builder* record);
void VX708Arbitrate(CDevSet2Builder* record);
