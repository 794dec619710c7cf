// Output lines that many tests expect whole: the tool's fixed messages and help texts.
#pragma once

inline constexpr char kNotConnectedLine[] =
    "orvexconsumables: The scanner is not connected, or may be in use by another application\n";
inline constexpr char kEepromLines[] =
    "orvexconsumables: Can not get the EEPROM data. \nThe setting of the function key can not "
    "change. \nCheck the connection of the scanner\n";
inline constexpr char kFileNotFoundLine[] = "orvexconsumables: The specified file was not found\n";
inline constexpr char kSetSuccessfullyLine[] = "orvexconsumables: Set successfully\n";
inline constexpr char kFirmwareErrorLine[] =
    " ERROR: Firmware Version \xE5\x8F\x96\xE5\xBE\x97\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97\n";
inline constexpr char kHelpCommonPart[] =
    "Usage: orvexconsumables [OPTION]...\n"
    "\n"
    "-d, --device-name DEVICE      use a given scanner device\n"
    "-L, --list-devices            show available scanner devices\n"
    "-h, --help                    display this help message and exit\n"
    "-V, --version                 print version information\n"
    "\n";
inline constexpr char kDeviceListHead[] = "List of available devices:\n";
