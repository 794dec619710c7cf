// The functions the two stand-in libraries export (watch.cpp the device-watch ones, control.cpp
// the device-control ones), declared with the contract's types so that a changed signature breaks
// the build; the linker version scripts export these and nothing else.
#pragma once

#include "access/entry_points.h"

extern "C" {
#define ORVEX_ENTRY_POINT(library, symbol, global, result, params) symbol##_fn symbol;
#include "access/entry_points.def"
#undef ORVEX_ENTRY_POINT
}
