// A whole file's text, read with read(2): the fleet front ends' writing process maps none of the
// C++ streams (their set-up alone costs it some 400 KiB).
#pragma once

#include <string>

/// Reads the whole file into *text. False with errno set when it cannot be opened or read.
bool ReadFileText(const std::string& path, std::string* text);
