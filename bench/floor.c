/* The floor: the least a dlopen-based client can do for one run, the same library calls as the
 * tool and nothing else (no output, no option parsing, no capability record).
 *
 * Usage: orvex_floor [-f] [info|help|list|version|clear-pick]
 *   info        the calls of an --info run (the default)
 *   help        those of a -h run: the session, then the device list
 *   list        those of a -L run: the device list, no session
 *   version     those of a -V run: the two settings values, no session
 *   clear-pick  those of a --pick-roller-clear run: the session, the reset and the EEPROM write
 *   -f          the session also fetches the firmware version, as the capability rules of some
 *               models do (bench/run sets it when the tool's own trace shows the fetch)
 */
#include <dlfcn.h>
#include <stdalign.h>
#include <string.h>

#ifndef FLOOR_ROOT
#error "FLOOR_ROOT must name the simulated installation root"
#endif

typedef int CountFn(void);
typedef const char* NameFn(int index);
typedef int DeviceFn(const char* deviceName);
typedef int FirmVersionFn(const char* deviceName, char* buffer, int size);
typedef const char* SettingsFn(const char* key, const char* defaultText, const char* path);
typedef int InitFn(const char* deviceName, int flags);
typedef int PlainFn(void);
typedef int TextFn(const char* text);
typedef int RecordFn(void* record);

/* The records the device-control library fills: consumables information, identification and
 * offsets (144, 656 and 44 bytes). */
static alignas(8) unsigned char s_abArdosa[144];
static alignas(8) unsigned char s_abDevice[656];
static alignas(8) unsigned char s_abOffsets[44];
static char s_szFirmVersion[16];

static void* s_pWatch;
static void* s_pControl;

typedef void (*AnyFn)(void);

/* dlsym's object pointer, turned into a function pointer the way POSIX allows. */
static AnyFn Bind(void* library, const char* symbol) {
    void* address = library != NULL ? dlsym(library, symbol) : NULL;
    AnyFn function;
    memcpy(&function, &address, sizeof function);
    return function;
}

/* Claim, initialise, firmware text, the three records: what opening the session does. */
static int OpenSession(const char* name, int fetchFirmware) {
    if (((DeviceFn*)Bind(s_pWatch, "korwc_StartExcusive"))(name) == 0) {
        return 0;
    }
    ((InitFn*)Bind(s_pControl, "initlibrary"))(name, 0);
    if (fetchFirmware) {
        ((FirmVersionFn*)Bind(s_pWatch, "korwc_GetFirmVersion"))(name, s_szFirmVersion, 16);
        s_szFirmVersion[4] = '\0';
    }
    ((TextFn*)Bind(s_pControl, "SetFirmVersion"))(s_szFirmVersion);
    memset(s_abArdosa, 0, sizeof s_abArdosa);
    if (((RecordFn*)Bind(s_pControl, "GetArdosaInfo"))(s_abArdosa) == 0) {
        return 0;
    }
    memset(s_abDevice, 0, sizeof s_abDevice);
    if (((RecordFn*)Bind(s_pControl, "OnInitDialog"))(s_abDevice) == 0) {
        return 0;
    }
    if (((PlainFn*)Bind(s_pControl, "GetEEPROMData"))() == 0) {
        return 0;
    }
    ((RecordFn*)Bind(s_pControl, "GetOffSetData"))(s_abOffsets);
    return 1;
}

/* The device list: the count is read again before every index. */
static void WalkDevices(void) {
    CountFn* count = (CountFn*)Bind(s_pWatch, "korwc_GetDeviceTotalNum");
    NameFn* name = (NameFn*)Bind(s_pWatch, "korwc_GetDeviceName");
    for (int index = 0; index < count(); ++index) {
        name(index);
    }
}

static void ReadSettings(void) {
    static const char kPath[] = FLOOR_ROOT "/opt/orvex/etc/consumablessettings.xml";
    SettingsFn* settings = (SettingsFn*)Bind(s_pWatch, "korwc_GetXMLSettings2");
    settings("Version", "2.0.200", kPath);
    settings("Copyright", "2020-2021", kPath);
}

static int RunMode(const char* mode, const char* name, int fetchFirmware) {
    if (strcmp(mode, "list") == 0) {
        WalkDevices();
        return 0;
    }
    if (strcmp(mode, "version") == 0) {
        ReadSettings();
        return 0;
    }
    if (!OpenSession(name, fetchFirmware)) {
        return 6;
    }
    if (strcmp(mode, "help") == 0) {
        WalkDevices();
    } else if (strcmp(mode, "clear-pick") == 0) {
        ((PlainFn*)Bind(s_pControl, "OnResetPick"))();
        if (((PlainFn*)Bind(s_pControl, "SetEEPROMData"))() == -1) {
            return 6;
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    int fetchFirmware = argc > 1 && strcmp(argv[1], "-f") == 0;
    const char* mode = argc > 1 + fetchFirmware ? argv[1 + fetchFirmware] : "info";
    int status = 10;
    s_pWatch = dlopen(FLOOR_ROOT "/opt/orvex/lib/libkorwatch.so", RTLD_LAZY);
    s_pControl = dlopen(FLOOR_ROOT "/opt/orvex/lib/libzevcontrol.so", RTLD_LAZY);
    if (s_pWatch != NULL && s_pControl != NULL) {
        const char* name = NULL;
        status = 6;
        if (((CountFn*)Bind(s_pWatch, "korwc_GetDeviceTotalNum"))() != 0) {
            name = ((NameFn*)Bind(s_pWatch, "korwc_GetDeviceName"))(0);
            status = RunMode(mode, name, fetchFirmware);
        }
        ((PlainFn*)Bind(s_pControl, "exitlibrary"))();
        ((DeviceFn*)Bind(s_pWatch, "korwc_EndExcusive"))(name);
    }
    if (s_pWatch != NULL) {
        dlclose(s_pWatch);
    }
    if (s_pControl != NULL) {
        dlclose(s_pControl);
    }
    return status;
}
