// Texts from the libraries or the command line made fit for every output format.
#pragma once

#include <string>

/// The text with each invalid UTF-8 byte sequence replaced by U+FFFD; valid text is unchanged.
std::string ValidUtf8(const std::string& text);
