// The output formats, one row each: the -f value and the renderer. The options, the help and the
// driver read this table; adding a format is a row and its renderer.
#pragma once

#include <string>

#include "apply/json_format.h"
#include "apply/outcome.h"
#include "apply/text_format.h"

/// One output format.
struct apply_format {
    const char* cpName;  // the value of -f
    std::string (*pRender)(const apply_run& run, const program_info& program);
};

/// The formats; the first is the default.
inline constexpr apply_format kApplyFormats[] = {
    {"text", RenderApplyText},
    {"json", RenderApplyJson},
};
