#include "cli/scan_report.h"

#include "cli/cli_output.h"
#include "engine/finding_id.h"
#include "engine/registry_lib.h"

#include <cstdio>

namespace cli {
namespace {

constexpr char kShortcutDescription[] = "Missing ShortCuts";
constexpr char kShortcutRefusal[] = "Not Moved";

// The removed count, and beside it how many were refused and why.
std::string FixedText(int fixed, int refused, const std::string& refusal) {
    std::string text = std::to_string(fixed);
    if (refused > 0) {
        text += " (" + std::to_string(refused) + " " + refusal + ")";
    }
    return text;
}

std::string Columns(const std::string& description, const std::string& scanned, const std::string& found,
                    const std::string* fixed) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%-24s %9s %9s", description.c_str(), scanned.c_str(), found.c_str());
    std::string line = buf;
    if (fixed != nullptr) {
        std::snprintf(buf, sizeof buf, " %14s", fixed->c_str());
        line += buf;
    }
    return line + "\n";
}

std::string TableLine(const std::string& description, int scanned, int found, bool showFixed, int fixed,
                      int refused = 0, const std::string& refusal = std::string()) {
    const std::string fixedText = FixedText(fixed, refused, refusal);
    return Columns(description, std::to_string(scanned), std::to_string(found),
                   showFixed ? &fixedText : nullptr);
}

std::string JsonRow(const CScanError& row) {
    return "{\"description\":" + JsonString(row.m_strDescription) +
           ",\"scanned\":" + std::to_string(row.m_nScanned) + ",\"found\":" + std::to_string(row.m_nFound) +
           ",\"fixed\":" + std::to_string(row.m_nFixed) + ",\"refused\":" + std::to_string(row.m_nRefused) +
           ",\"noLongerBroken\":" + std::to_string(row.m_nNoLongerBroken) +
           ",\"family\":" + JsonString(FamilyName(row.m_strDescription)) + "}";
}

std::string JsonFinding(const CRegErrorLog& finding) {
    std::string out = "{\"category\":" + JsonString(finding.GetCategory()) +
                      ",\"kind\":" + JsonString(finding.GetKind()) +
                      ",\"keyPath\":" + JsonString(finding.GetKeyPath()) + ",\"value\":";
    if (const CRegValue* value = finding.GetValue()) {
        out += "{\"name\":" + JsonString(value->m_strName) + ",\"data\":" + JsonString(value->m_strData) +
               ",\"type\":" + std::to_string(value->m_dwType) + "}";
    } else {
        out += "null";
    }
    out += ",\"id\":" + JsonString(engine::FindingId(finding)) +
           ",\"missingFile\":" + JsonString(finding.GetMissingFile()) + "}";
    return out;
}

} // namespace

std::string FormatReportText(const ScanReport& report) {
    const std::string fixedHeader = "Fixed";
    std::string out = Columns("Description", "Scanned", "Found", report.showFixed ? &fixedHeader : nullptr);
    int scanned = 0;
    int found = 0;
    int fixed = 0;
    int noLongerBroken = 0;
    for (const auto& row : report.rows) {
        noLongerBroken += row->m_nNoLongerBroken;
        out += TableLine(row->m_strDescription, row->m_nScanned, row->m_nFound, report.showFixed,
                         row->m_nFixed, row->m_nRefused, RefusalText(row->m_lRefusal));
        scanned += row->m_nScanned;
        found += row->m_nFound;
        fixed += row->m_nFixed;
    }
    if (const ShortcutReport* s = report.shortcuts) {
        out += TableLine(kShortcutDescription, s->scanned, s->found, report.showFixed, s->fixed, s->refused,
                         kShortcutRefusal);
        scanned += s->scanned;
        found += s->found;
        fixed += s->fixed;
    }
    out += TableLine("Total", scanned, found, report.showFixed, fixed);
    if (report.showFixed && noLongerBroken > 0) {
        out += "No longer broken, left alone: " + std::to_string(noLongerBroken) + "\n";
    }

    if (report.ignored > 0) {
        out += "Ignored (on the ignore list): " + std::to_string(report.ignored) + "\n";
    }

    out += "\nFindings: " + std::to_string(report.findings.size()) + "\n";
    for (const auto& finding : report.findings) {
        char head[64];
        std::snprintf(head, sizeof head, "%-11s %-3s  ", finding->GetCategory().c_str(),
                      finding->GetKind().c_str());
        out += head + finding->GetKeyPath() + "\n";
        if (const CRegValue* value = finding->GetValue()) {
            out += "                  " + value->m_strName + " = " + value->m_strData + "\n";
        }
        out += "                  id " + engine::FindingId(*finding);
        if (!finding->GetMissingFile().empty()) {
            out += ", not found: " + finding->GetMissingFile();
        }
        out += "\n";
    }
    if (const ShortcutReport* s = report.shortcuts) {
        if (report.showFixed && s->noLongerBroken > 0) {
            out +=
                "\nShortcuts no longer broken (left in place): " + std::to_string(s->noLongerBroken) + "\n";
        }
        out += "\nMissing shortcuts: " + std::to_string(s->missing.size()) + "\n";
        for (const auto& path : s->missing) {
            out += "  " + path + "\n";
        }
    }
    if (report.backup) {
        out += "\nBackup: " + *report.backup + "\n";
    }
    return out;
}

std::string FormatReportJson(const ScanReport& report) {
    std::string out = "{\"rows\":[";
    const char* separator = "\n";
    for (const auto& row : report.rows) {
        out += separator + JsonRow(*row);
        separator = ",\n";
    }
    out += "\n],\"findings\":[";
    separator = "\n";
    for (const auto& finding : report.findings) {
        out += separator + JsonFinding(*finding);
        separator = ",\n";
    }
    out += "\n],\"ignored\":" + std::to_string(report.ignored);
    if (const ShortcutReport* s = report.shortcuts) {
        out += ",\"shortcuts\":{\"scanned\":" + std::to_string(s->scanned) +
               ",\"found\":" + std::to_string(s->found) + ",\"fixed\":" + std::to_string(s->fixed) +
               ",\"refused\":" + std::to_string(s->refused) + ",\"missing\":[";
        separator = "";
        for (const auto& path : s->missing) {
            out += separator + JsonString(path);
            separator = ",";
        }
        out += "]";
        if (s->noLongerBroken > 0) { // a fix that left shortcuts in place because they work again
            out += ",\"noLongerBroken\":" + std::to_string(s->noLongerBroken);
        }
        out += "}";
    }
    if (report.backup) {
        out += ",\"backup\":" + JsonString(*report.backup);
    }
    if (!report.complete) {
        out += ",\"complete\":false"; // only when cut short, so that a whole result keeps its shape
    }
    out += "}\n";
    return out;
}

bool WriteStdout(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return std::fflush(stdout) == 0 && written;
}

} // namespace cli
