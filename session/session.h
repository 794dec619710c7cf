// The device session: one scanner claimed, initialised and read, held in a value that its caller
// owns, so that scanners can be opened and closed one after another in one process.
#pragma once

#include "access/records.h"
#include "capability/context.h"
#include "capability/devset.h"

/// What opening a session came to.
enum class SessionStatus {
    kOpen,             // claimed, initialised, the three records read
    kNotConnected,     // not attached, in use by another application, or in boot mode
    kStateUnreadable,  // claimed and initialised, but the scanner's state could not be read
};

/// One scanner's session. Zero-initialise it (`device_session session{};`) before the first open.
struct device_session {
    bool bOpened;                     // OpenSession completed
    bool bClaimed;                    // exclusive access was granted: the close ends it
    bool bInitialised;                // initlibrary was called: the close calls exitlibrary
    char* cpActiveScanner;            // heap copy of the device name; null before an open
    char* cpActiveScannerName;        // heap copy of the model designation; may be null
    capability_context stCapability;  // firmware texts and fetch failures of the capability rule
    CDevSet2Builder stDevFunc;        // the capability record
    ardosa_info stArdosaInfo;
    device_info stDeviceInfo;
    offset_data stOffSetData;        // the working copy that the offset change writes
    offset_data stOffSetBackupData;  // the offsets before the last change, for the roll-back
};

/// The three records of an open session, copied. The label texts in stArdosaInfo belong to the
/// device-control library: they stay valid while it is loaded.
struct device_snapshot {
    ardosa_info stArdosaInfo;
    device_info stDeviceInfo;
    offset_data stOffSetData;
};

/// Opens the session on the named device: claim, boot-mode check, initialisation, capability
/// record (launcher profile at g_cpProfilePath), firmware text, then the three records. An open
/// session is left as it is (kOpen). Whatever the result, CloseSession undoes what was done.
/// Prints nothing.
SessionStatus OpenSession(device_session* session, const char* name);

/// Undoes what OpenSession did, in the order of the tool's teardown: unlock (three models),
/// exitlibrary, end of exclusive access; then frees the copies and clears the session.
void CloseSession(device_session* session);

/// Frees the copies and clears the session without calling the libraries (for a caller that makes
/// the release calls itself).
void ForgetSession(device_session* session);

/// The session's capability context, pointed at its device, its model designation and the
/// launcher profile at g_cpProfilePath, for the capability rules.
capability_context* PrepareCapabilityContext(device_session* session);

/// The three records of the session.
device_snapshot TakeSnapshot(const device_session& session);

/// True when the device reports a firmware version below "0100" (first four characters).
bool IsBootMode(const char* deviceName);

/// True when the device-watch library must unlock the device of this name at the teardown.
bool NeedsUnlock(const char* deviceName);

/// The model designation of a device name: its first non-empty ":"-separated field, as a new heap
/// text (free with free); null when the name has no non-empty field.
char* CopyModelDesignation(const char* deviceName);
