// Model dispatch: from the active model designation to the capability rule that fills the record.
#pragma once

#include "capability/devset.h"

/// Clears every field of the record, then applies the rule of the active model designation
/// (g_cpActiveScannerName), if it is set and known.
void GetAvailableFunction(CDevSet2Builder* record);

/// Applies the rule of the first dispatch-table row whose designation equals name exactly;
/// an unknown designation leaves the record untouched. Does not clear the record.
void FunctionArbitratorFactory(const char* name, CDevSet2Builder* record);
