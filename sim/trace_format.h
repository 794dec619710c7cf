// The call-trace line format shared by the simulated scanner service and the tests' in-process
// fakes: one line per entry-point call, `name(arguments) = result`.
//   texts: in double quotes, with \" \\ and \xNN for other non-printable bytes; null: NULL
//   output buffers: buffer; records filled by the library: &ardosa_info, &device_info,
//   &offset_data; a record handed to the library: {field=value ...} (see DescribeOffsetData);
//   a pointer to a 16-bit minute count: the count itself.
#pragma once

#include <cstdio>
#include <string>

#include "access/records.h"

namespace trace {

inline std::string Text(const char* text) {
    if (text == nullptr) {
        return "NULL";
    }
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p == '"' || *p == '\\') {
            out += '\\';
            out += static_cast<char>(*p);
        } else if (*p < 0x20 || *p == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", *p);
            out += hex;
        } else {
            out += static_cast<char>(*p);
        }
    }
    return out + "\"";
}

inline std::string Int(long long value) {
    return std::to_string(value);
}

inline std::string DescribeOffsetData(const offset_data& d) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "{fbMain=%d fbSub=%d adfFrontMain=%d adfFrontSub=%d adfBackMain=%d "
                  "adfBackSub=%d adfFrontEndOfPage=%d adfBackEndOfPage=%d fbMagnification=%d "
                  "adfMagnification=%d flatbed=%u byte41=%u endOfPage=%u offsetSupported=%u}",
                  d.iFbMain, d.iFbSub, d.iAdfFrontMain, d.iAdfFrontSub, d.iAdfBackMain,
                  d.iAdfBackSub, d.iAdfFrontEndOfPage, d.iAdfBackEndOfPage, d.iFbMagnification,
                  d.iAdfMagnification, d.bFlatbed, d.bLibrary41, d.bEndOfPage, d.bOffsetSupported);
    return line;
}

/// One trace line: name(arg, arg, ...) = result.
inline std::string Line(const char* name, const std::string& arguments, const std::string& result) {
    return std::string(name) + "(" + arguments + ") = " + result;
}

}  // namespace trace
