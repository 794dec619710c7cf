// One scanner brought to the policy: session open, report view, the policy's settings against
// it, the change operations for those that differ, session closed.
#include "apply/scanner_work.h"

#include "access/binding.h"
#include "apply/payload.h"
#include "consumables/command.h"
#include "consumables/power.h"
#include "consumables/report_view.h"
#include "consumables/sleep_timer.h"
#include "fleet/child.h"
#include "fleet/probe.h"
#include "fleet/settings_check.h"
#include "session/session.h"

namespace {

// How a setting is written: the field of the command record that carries the wanted value and the
// tool's operation that sends it (each ends with the EEPROM write).
struct setting_write {
    PolicySetting eSetting;
    int32_t velnor_command_info::*pField;
    bool (*pfnApply)(device_session* session, velnor_command_info record);
};

const setting_write kSettingWrites[] = {
    {PolicySetting::kSleepTimer, &velnor_command_info::iSleepMinutes, SetPowerSaveTime},
    {PolicySetting::kPowerOff, &velnor_command_info::iPowerOffCode, SetPowerOffTime},
};

const setting_write& WriteOf(PolicySetting setting) {
    for (const setting_write& write : kSettingWrites) {
        if (write.eSetting == setting) {
            return write;
        }
    }
    return kSettingWrites[0];  // not reached: every setting has its row
}

std::string SettingName(PolicySetting setting) {
    return PolicySettingRowOf(setting).cpName;
}

// The command record as the tool's parser leaves it for this scanner before it records a value:
// the device and the current settings.
velnor_command_info PresetRecord(const device_session& session, const std::string& name) {
    velnor_command_info record{};
    record.cpDeviceName = name.c_str();
    record.iSleepMinutes = SleepMinutesOfStep(session.stArdosaInfo.iSleepStep);
    record.iPowerOffCode = session.stArdosaInfo.iPowerOffSetting;
    return record;
}

// The notes on the comparison: settings the scanner does not offer, and wanted values that the
// scanner's step or range changed.
void AddNotes(const settings_check& check, std::vector<fleet_message>* messages) {
    for (PolicySetting setting : check.vNotOffered) {
        messages->push_back({Severity::kInfo, SettingName(setting) + " not offered; left out"});
    }
    for (const setting_check& c : check.vChecks) {
        if (c.iWanted != c.iRequested) {
            messages->push_back({Severity::kInfo, SettingName(c.eSetting) + " " +
                                                      SettingValueText(c.eSetting, c.iRequested) +
                                                      SettingUnit(c.eSetting) + " rounded to " +
                                                      SettingValueText(c.eSetting, c.iWanted)});
        }
    }
}

// Writes the changes in their order; the first refusal ends the writing, and what was written
// before it stays.
ApplyStatus WriteChanges(device_session* session, const std::string& name,
                         std::vector<setting_change>* changes,
                         std::vector<fleet_message>* messages) {
    EnterWritePhase();
    ApplyStatus status = ApplyStatus::kChanged;
    for (setting_change& change : *changes) {
        if (status == ApplyStatus::kRefused) {
            change.oApplied = false;
            continue;
        }
        const setting_write& write = WriteOf(change.eSetting);
        velnor_command_info record = PresetRecord(*session, name);
        record.*write.pField = change.iTo;
        change.oApplied = write.pfnApply(session, record);
        if (!*change.oApplied) {
            status = ApplyStatus::kRefused;
            messages->push_back(
                {Severity::kError, "the scanner refused the " + SettingName(change.eSetting)});
        }
    }
    return status;
}

apply_result BringToPolicy(device_session* session, const std::string& name,
                           const policy_settings& settings, bool check) {
    report_view view = BuildReportView(TakeSnapshot(*session));
    settings_check comparison = CheckSettings(settings, view);
    apply_result result{ApplyStatus::kCompliant, {}, {}};
    AddNotes(comparison, &result.vMessages);
    for (const setting_check& c : comparison.vChecks) {
        if (!c.bCompliant) {
            result.vChanges.push_back({c.eSetting, c.oActual, c.iWanted, std::nullopt});
        }
    }
    if (result.vChanges.empty()) {
        return result;
    }
    if (check) {
        result.eStatus = ApplyStatus::kWouldChange;
        return result;
    }
    result.eStatus = WriteChanges(session, name, &result.vChanges, &result.vMessages);
    return result;
}

apply_result WorkOnOpenedLibraries(const std::string& name, const policy_settings& settings,
                                   bool check) {
    device_session session{};
    apply_result result{ApplyStatus::kError, {}, {}};
    switch (OpenSession(&session, name.c_str())) {
        case SessionStatus::kOpen:
            result = BringToPolicy(&session, name, settings, check);
            break;
        case SessionStatus::kNotConnected:
            result.eStatus = ApplyStatus::kBusy;
            result.vMessages.push_back(
                {Severity::kWarning, "not connected, or in use by another application"});
            break;
        case SessionStatus::kStateUnreadable:
            result.vMessages.push_back({Severity::kError, "the scanner's state could not be read"});
            break;
    }
    CloseSession(&session);
    return result;
}

}  // namespace

std::string ApplyToScanner(const std::string& name, const policy_settings& settings, bool check) {
    if (!settings.oSleepTimerMinutes && !settings.oPowerOffCode) {
        return EncodeApplyResult({ApplyStatus::kCompliant,
                                  {{Severity::kInfo, "the policy sets nothing for this scanner"}},
                                  {}});
    }
    apply_result result{
        ApplyStatus::kError, {{Severity::kError, "the service libraries could not be loaded"}}, {}};
    if (OpenLib()) {
        result = WorkOnOpenedLibraries(name, settings, check);
    }
    CloseLib();
    return EncodeApplyResult(result);
}

apply_service ServiceApply() {
    return apply_service{EnumerateDevices, ApplyToScanner};
}
