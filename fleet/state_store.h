// The last reading of each scanner, kept between runs in one JSON file of a state folder: the data
// that a scanner busy in a later run is reported with, and what a replacement is seen against.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fleet/outcome.h"

/// One scanner's stored reading.
struct stored_reading {
    std::string strDevice;  // made valid UTF-8, for people reading the file
    long long llReadAt;     // Unix time of the reading
    report_view stReport;
    consumable_replacements aReplaced;
};

/// The stored readings by StoreKey of their device names.
using reading_store = std::map<std::string, stored_reading>;

/// Readings older than this are dropped from the store: a scanner not seen for 90 days.
inline constexpr long long kStoredReadingLifeSeconds = 90LL * 24 * 60 * 60;

/// The store's key of a device name: the name itself when it is valid UTF-8 without U+FFFD;
/// else the name made valid UTF-8, a space and the name's bytes in hex. Two names never share a
/// key, also when they read the same once made valid.
std::string StoreKey(const std::string& name);

/// The store file's text.
std::string EncodeStore(const reading_store& store);

/// Reads what EncodeStore wrote; false with *why for anything else (not JSON, a key missing,
/// added or of the wrong type, a report that does not decode exactly, a time out of range).
bool DecodeStore(const std::string& text, reading_store* store, std::string* why);

/// Makes the state folder ready: creates it (and its parents) when it is missing. False with a
/// warning in *messages when it cannot be created or written: the run keeps no state.
bool PrepareStateFolder(const std::string& folder, std::vector<fleet_message>* messages);

/// What a run takes from the store, the run's readings made at `now`: a scanner read now gets
/// that time and, for each consumable with fewer sheets than its stored reading counted, the
/// replacement (else the stored one); a busy, timeout or error scanner with a stored reading gets
/// its data, time and replacements, marked cached. A reading older than 90 days is not used.
void CombineWithStore(const reading_store& store, long long now, run_outcome* run);

/// At the end of a run, under an flock of the folder's lock file: reads the store (one that is not
/// valid is renamed with the suffix ".corrupt" first), gives the run what CombineWithStore gives
/// it, puts in each scanner read now (unless the store holds a later reading of it, stored by a run
/// that ended meanwhile), drops the readings older than 90 days and, when something changed,
/// replaces the file atomically. Each problem is one warning in *messages, and the run then goes
/// on as CombineWithStore with what could be read (nothing when the lock could not be had); none
/// fails the run.
void UseAndStoreReadings(const std::string& folder, long long now, run_outcome* run,
                         std::vector<fleet_message>* messages);
