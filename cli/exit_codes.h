// The exit codes of the tool, held in g_iErrCode and returned as the process status.
#pragma once

constexpr int kExitSuccess = 0;           // done; also every run that only reports
constexpr int kExitWriteError = 1;        // standard output could not be written (whatever else)
constexpr int kExitInvalidValue = 2;      // a setting option's value is missing or not convertible
constexpr int kExitUnknownOption = 3;     // unknown option, missing value, or not offered
constexpr int kExitRounded = 5;           // a value was rounded or clamped (never ends a run alone)
constexpr int kExitNotConnected = 6;      // no scanner, unknown device, session or change failed
constexpr int kExitEepromUnreadable = 7;  // session granted but the scanner's state unreadable
constexpr int kExitStrayArgument = 9;     // a word that is neither option nor value
constexpr int kExitLibraryMissing = 10;   // a service library or entry point cannot be loaded

/// The exit code of the run; a later failure overwrites an earlier one.
extern int g_iErrCode;

// The messages that go with the codes.
constexpr const char* kMsgSetSuccessfully = "Set successfully";
constexpr const char* kMsgNotConnected =
    "The scanner is not connected, or may be in use by another application";
constexpr const char* kMsgEepromUnreadable =
    "Can not get the EEPROM data. \nThe setting of the function key can not change. \n"
    "Check the connection of the scanner";
constexpr const char* kMsgLibraryMissing = "The specified file was not found";
