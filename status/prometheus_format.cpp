// Prometheus text: a table of metric families, each collecting its samples from the run.
#include "status/prometheus_format.h"

#include <charconv>
#include <functional>
#include <utility>
#include <vector>

#include "fleet/settings_check.h"

namespace {

using Labels = std::vector<std::pair<const char*, std::string>>;

struct sample {
    Labels vLabels;
    std::string strValue;
};

using Samples = std::vector<sample>;

char* ToChars(char* buffer, size_t size, double value) {
    return std::to_chars(buffer, buffer + size, value, std::chars_format::fixed).ptr;
}

template <typename Integer>
char* ToChars(char* buffer, size_t size, Integer value) {
    return std::to_chars(buffer, buffer + size, value).ptr;
}

// The shortest text that reads back as the same number, in plain notation ("0.0005"), with a
// point whatever the locale.
template <typename Number>
std::string Text(Number value) {
    char buffer[400];  // the longest double in plain notation fits
    return std::string(buffer, ToChars(buffer, sizeof buffer, value));
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

std::string EscapeLabelValue(const std::string& value) {
    std::string escaped;
    for (char c : value) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
            escaped += c;
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// Collects one family's samples for each scanner with data, read now or stored: a stored
// reading gives the same series as a fresh one.
Samples ForEachWithData(
    const run_outcome& run,
    const std::function<void(const scanner_outcome&, const Labels&, Samples*)>& add) {
    Samples samples;
    for (const scanner_outcome& scanner : run.vScanners) {
        if (HasData(scanner)) {
            add(scanner, {{"device", scanner.strDevice}}, &samples);
        }
    }
    return samples;
}

// The same, for the families that the report view alone gives.
Samples ForEachRead(const run_outcome& run,
                    const std::function<void(const report_view&, const Labels&, Samples*)>& add) {
    return ForEachWithData(run, [&](const scanner_outcome& scanner, const Labels& device,
                                    Samples* out) { add(scanner.stReport, device, out); });
}

Labels With(Labels labels, const char* name, std::string value) {
    labels.emplace_back(name, std::move(value));
    return labels;
}

Samples ProgramUp(const run_outcome& run, const program_info&) {
    return {{{}, Flag(run.eEnumeration == EnumerationStatus::kOk)}};
}

Samples ProgramScanners(const run_outcome& run, const program_info&) {
    return {{{}, Text(run.iAttached)}};
}

Samples ProgramDuration(const run_outcome& run, const program_info&) {
    return {{{}, Text(run.dSeconds)}};
}

Samples BuildInfo(const run_outcome&, const program_info& program) {
    return {{{{"version", program.cpVersion}}, "1"}};
}

Samples ScannerUp(const run_outcome& run, const program_info&) {
    Samples samples;
    for (const scanner_outcome& scanner : run.vScanners) {
        samples.push_back(
            {{{"device", scanner.strDevice}}, Flag(scanner.eStatus == ScannerStatus::kOk)});
    }
    return samples;
}

Samples ScannerStatusSeries(const run_outcome& run, const program_info&) {
    Samples samples;
    for (const scanner_outcome& scanner : run.vScanners) {
        for (ScannerStatus status : g_eScannerStatuses) {
            samples.push_back(
                {{{"device", scanner.strDevice}, {"status", ScannerStatusName(status)}},
                 Flag(scanner.eStatus == status)});
        }
    }
    return samples;
}

Samples ReadDuration(const run_outcome& run, const program_info&) {
    Samples samples;
    for (const scanner_outcome& scanner : run.vScanners) {
        samples.push_back({{{"device", scanner.strDevice}}, Text(scanner.dSeconds)});
    }
    return samples;
}

Samples LastRead(const run_outcome& run, const program_info&) {
    return ForEachWithData(run,
                           [](const scanner_outcome& scanner, const Labels& device, Samples* out) {
                               out->push_back({device, Text(scanner.llReadAt)});
                           });
}

Samples Info(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        Labels labels = device;
        labels.emplace_back("product", report.strProductId);
        labels.emplace_back("revision", report.strRevision);
        labels.emplace_back("serial", report.strSerialNumber);
        out->push_back({labels, "1"});
    });
}

Samples SheetTotals(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        out->push_back({With(device, "feeder", "adf"), Text(report.iAdfSheets)});
        if (report.oFlatbedSheets) {
            out->push_back({With(device, "feeder", "flatbed"), Text(*report.oFlatbedSheets)});
        }
    });
}

Samples ConsumableSheets(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        for (const consumable_view& counter : report.vConsumables) {
            out->push_back({With(device, "consumable", ConsumableRowOf(counter.eKind).cpId),
                            Text(counter.iSheets)});
        }
    });
}

Samples ConsumableLife(const run_outcome& run, const program_info&) {
    return ForEachWithData(run, [](const scanner_outcome& scanner, const Labels& device,
                                   Samples* out) {
        for (const consumable_view& counter : scanner.stReport.vConsumables) {
            const std::optional<int32_t>& life = scanner.aLife[static_cast<size_t>(counter.eKind)];
            if (life) {
                out->push_back(
                    {With(device, "consumable", ConsumableRowOf(counter.eKind).cpId), Text(*life)});
            }
        }
    });
}

Samples ConsumableReplaced(const run_outcome& run, const program_info&) {
    return ForEachWithData(
        run, [](const scanner_outcome& scanner, const Labels& device, Samples* out) {
            for (const consumable_view& counter : scanner.stReport.vConsumables) {
                const auto& replaced = scanner.aReplaced[static_cast<size_t>(counter.eKind)];
                if (replaced) {
                    out->push_back({With(device, "consumable", ConsumableRowOf(counter.eKind).cpId),
                                    Text(replaced->llAt)});
                }
            }
        });
}

Samples ConsumableMarks(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        for (const consumable_view& counter : report.vConsumables) {
            Labels consumable = With(device, "consumable", ConsumableRowOf(counter.eKind).cpId);
            out->push_back({With(consumable, "mark", "first"), Flag(HasFirstMark(counter.eMarks))});
            if (HasSecondMarkFlag(counter.eKind)) {
                out->push_back(
                    {With(consumable, "mark", "second"), Flag(HasSecondMark(counter.eMarks))});
            }
        }
    });
}

Samples SleepTimer(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        if (report.oSleepTimer) {
            out->push_back({device, Text(report.oSleepTimer->llMinutes * 60)});
        }
    });
}

Samples PowerOffEnabled(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        if (report.oPowerOff) {
            out->push_back({device, Flag(report.oPowerOff->bActive)});
        }
    });
}

Samples PowerOffDelay(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        if (report.oPowerOff && report.oPowerOff->oHours) {
            out->push_back({device, Text(*report.oPowerOff->oHours * 3600)});
        }
    });
}

Samples SettingCompliant(const run_outcome& run, const program_info&) {
    return ForEachWithData(run, [](const scanner_outcome& scanner, const Labels& device,
                                   Samples* out) {
        if (scanner.oPolicy) {
            for (const setting_check& check : scanner.oPolicy->vChecks) {
                out->push_back({With(device, "setting", PolicySettingRowOf(check.eSetting).cpLabel),
                                Flag(check.bCompliant)});
            }
        }
    });
}

// Prometheus counts lengths in its base unit, the meter.
std::string Meters(double millimetres) {
    return Text(millimetres / 1000.0);
}

void AddSide(const Labels& device, const char* position, const side_offsets_view& side,
             Samples* out) {
    Labels labels = With(device, "position", position);
    out->push_back({With(labels, "axis", "main"), Meters(side.dMain)});
    out->push_back({With(labels, "axis", "sub"), Meters(side.dSub)});
    if (side.oEndOfPage) {
        out->push_back({With(labels, "axis", "end_of_page"), Meters(*side.oEndOfPage)});
    }
}

Samples Offsets(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        if (report.oOffsets) {
            AddSide(device, "adf_front", report.oOffsets->stAdfFront, out);
            AddSide(device, "adf_back", report.oOffsets->stAdfBack, out);
            if (report.oOffsets->oFlatbed) {
                AddSide(device, "flatbed", *report.oOffsets->oFlatbed, out);
            }
        }
    });
}

Samples Magnification(const run_outcome& run, const program_info&) {
    return ForEachRead(run, [](const report_view& report, const Labels& device, Samples* out) {
        if (report.oMagnification) {
            const magnification_view& magnification = *report.oMagnification;
            out->push_back(
                {With(device, "feeder", "adf"), Text(MagnificationRatio(magnification.iAdf))});
            if (magnification.oFlatbed) {
                out->push_back({With(device, "feeder", "flatbed"),
                                Text(MagnificationRatio(*magnification.oFlatbed))});
            }
        }
    });
}

/// One metric family: its name, type, help text, and the function that collects its samples.
struct metric_family {
    const char* cpName;
    const char* cpType;
    const char* cpHelp;
    Samples (*pCollect)(const run_outcome&, const program_info&);
};

const metric_family kFamilies[] = {
    {"orvex_status_up", "gauge",
     "1 when the service libraries were loaded and the scanners enumerated", ProgramUp},
    {"orvex_status_scanners_enumerated", "gauge",
     "Scanners that the enumeration listed, each listing counted", ProgramScanners},
    {"orvex_status_duration_seconds", "gauge", "Duration of the whole run", ProgramDuration},
    {"orvex_status_build_info", "gauge", "Version of orvexconsumables-status", BuildInfo},
    {"orvex_scanner_up", "gauge", "1 when the scanner was read", ScannerUp},
    {"orvex_scanner_status", "gauge", "1 for the status of the scanner's reading, 0 for the others",
     ScannerStatusSeries},
    {"orvex_scanner_read_duration_seconds", "gauge", "Duration of the scanner's reading",
     ReadDuration},
    {"orvex_scanner_last_read_timestamp_seconds", "gauge",
     "Unix time of the reading that the scanner's data comes from", LastRead},
    {"orvex_scanner_info", "gauge", "Identification of the scanner", Info},
    {"orvex_scanner_sheets_total", "counter",
     "Sheets fed through the ADF or scanned on the flatbed", SheetTotals},
    {"orvex_scanner_consumable_sheets_total", "counter",
     "Sheets counted since the consumable was last replaced or cleaned", ConsumableSheets},
    {"orvex_scanner_consumable_life_sheets", "gauge",
     "Sheets that the site's policy gives the consumable", ConsumableLife},
    {"orvex_scanner_consumable_replaced_timestamp_seconds", "gauge",
     "Unix time of the reading that found the consumable's counter lower than before",
     ConsumableReplaced},
    {"orvex_scanner_consumable_mark", "gauge", "1 when the scanner marks the consumable's counter",
     ConsumableMarks},
    {"orvex_scanner_sleep_timer_seconds", "gauge", "Idle time before the scanner sleeps",
     SleepTimer},
    {"orvex_scanner_power_off_enabled", "gauge", "1 when automatic power-off is on",
     PowerOffEnabled},
    {"orvex_scanner_power_off_delay_seconds", "gauge", "Idle time before automatic power-off",
     PowerOffDelay},
    {"orvex_scanner_setting_compliant", "gauge",
     "1 when the setting is as the site's policy wants it, else 0", SettingCompliant},
    {"orvex_scanner_offset_meters", "gauge", "Image offset", Offsets},
    {"orvex_scanner_magnification_ratio", "gauge", "Vertical magnification adjustment",
     Magnification},
};

void AppendSample(const char* name, const sample& item, std::string* out) {
    *out += name;
    const char* separator = "{";
    for (const auto& [label, value] : item.vLabels) {
        *out += separator;
        *out += label;
        *out += "=\"" + EscapeLabelValue(value) + "\"";
        separator = ",";
    }
    *out += item.vLabels.empty() ? " " : "} ";
    *out += item.strValue + "\n";
}

}  // namespace

std::string RenderPrometheus(const run_outcome& run, const program_info& program) {
    std::string out;
    for (const metric_family& family : kFamilies) {
        out += std::string("# HELP ") + family.cpName + " " + family.cpHelp + "\n";
        out += std::string("# TYPE ") + family.cpName + " " + family.cpType + "\n";
        for (const sample& item : family.pCollect(run, program)) {
            AppendSample(family.cpName, item, &out);
        }
    }
    return out;
}
