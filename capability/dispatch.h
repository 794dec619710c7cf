// Model dispatch: from the active model designation to the capability rule that fills the record.
#pragma once

#include "capability/context.h"
#include "capability/devset.h"

/// Clears every field of the record, then applies the rule of the context's model designation,
/// if it is set and known. Prints nothing; failed firmware fetches are counted in the context.
void ArbitrateCapabilities(capability_context* context, CDevSet2Builder* record);

/// Applies the rule of the first dispatch-table row whose designation equals name exactly;
/// an unknown designation leaves the record untouched. Does not clear the record.
void FunctionArbitratorFactory(const char* name, capability_context* context,
                               CDevSet2Builder* record);
