// Per-model capability rules: each fills the capability record for one model family.
#pragma once

#include "capability/context.h"
#include "capability/devset.h"

// Each rule fills the record for its model family from the launcher profile at the context's
// path, its constants and, for some families, the firmware version or inquiry data of the
// context's device. None clears the record first; a failed firmware fetch is counted in the
// context and the rule goes on. None prints.
void Ko230Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko330Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko225Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko325Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko220Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko320Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko210Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko120K2Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko230WArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko330WArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko225WArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko325WArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko550Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko650Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko540Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko640Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko530Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko630Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko720Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko510Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko90GArbitrate(CDevSet2Builder* record, capability_context* context);
void VX52Arbitrate(CDevSet2Builder* record, capability_context* context);
void VX63Arbitrate(CDevSet2Builder* record, capability_context* context);
void VX63GArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko130Arbitrate(CDevSet2Builder* record, capability_context* context);
/// The ko-140 family's rule: exactly what Ko130Arbitrate does (same section "ko-140").
void Ko140Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko150Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko160Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko440Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko430HArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko410HArbitrate(CDevSet2Builder* record, capability_context* context);
void Ko430Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko420Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko410Arbitrate(CDevSet2Builder* record, capability_context* context);
void TARVO4MB_Arbitrate(CDevSet2Builder* record, capability_context* context);
void TARVO4MB_FB_Arbitrate(CDevSet2Builder* record, capability_context* context);
void R800Arbitrate(CDevSet2Builder* record, capability_context* context);
void Ko110Arbitrate(CDevSet2Builder* record, capability_context* context);
void VX708Arbitrate(CDevSet2Builder* record, capability_context* context);
