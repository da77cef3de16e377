#include "scheduler/schedule_console.h"

#include "scheduler/schedule_page.h"
#include "scheduler/task_operations.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

namespace scheduler {
namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A decimal number of at most `maxDigits` digits.
bool ParseNumber(const std::string& text, size_t maxDigits, int& value) {
    if (!AllDigits(text) || text.size() > maxDigits) {
        return false;
    }
    value = std::stoi(text);
    return true;
}

std::string HresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

ConsoleResult Usage(const std::string& message) {
    return {ConsoleStatus::Usage, message};
}

ConsoleResult Failure(const std::string& message) {
    return {ConsoleStatus::Failure, message};
}

ConsoleResult List(const ScheduleTarget& target, std::string& out) {
    std::vector<ScheduleRow> rows;
    const HRESULT hr = ListScheduleRows(target.taskName, rows);
    if (hr == kNoWorkItem) {
        return {}; // nothing was ever scheduled
    }
    if (FAILED(hr)) {
        return Failure("cannot read the scheduled scans (" + HresultText(hr) + ")");
    }
    for (const ScheduleRow& row : rows) {
        out += row.number + "\t" + row.description + "\t" + row.lastRun + "\n";
    }
    return {};
}

ConsoleResult Add(const std::vector<std::string>& args, const ScheduleTarget& target,
                  base::MessageBoxes& boxes) {
    if (args.size() != 4) {
        return Usage("schedule add needs YYYY-MM-DD HH:MM once|daily|weekly|monthly");
    }
    ScheduleRequest request;
    if (!ParseScheduleDate(args[1], request.date)) {
        return Usage("'" + args[1] + "' is not a date (YYYY-MM-DD)");
    }
    if (!ParseScheduleTime(args[2], request.time)) {
        return Usage("'" + args[2] + "' is not a time (HH:MM)");
    }
    if (!ParseScheduleFrequency(args[3], request.frequency)) {
        return Usage("'" + args[3] + "' is not one of once, daily, weekly, monthly");
    }
    const AddScheduleResult result = AddScheduleAndReport(boxes, nullptr, request, target);
    switch (result.outcome) {
    case ScheduleOutcome::Created:
        return {};
    case ScheduleOutcome::AlreadyScheduled:
        return Failure(""); // the message said it all
    case ScheduleOutcome::Failed:
        break;
    }
    return Failure("the task scheduler refused the schedule (" + HresultText(result.error) + ")");
}

ConsoleResult Delete(const std::vector<std::string>& args, const ScheduleTarget& target) {
    int number = 0;
    if (args.size() != 2 || !ParseNumber(args[1], 5, number) || number < 1) {
        return Usage("schedule delete needs the number of a listed schedule (1, 2, ...)");
    }
    const HRESULT hr = DeleteScheduleRow(target.taskName, number - 1);
    if (hr == kNoWorkItem || hr == SCHED_E_TRIGGER_NOT_FOUND) {
        return Failure("there is no scheduled scan number " + args[1]);
    }
    if (FAILED(hr)) {
        return Failure("cannot delete the scheduled scan (" + HresultText(hr) + ")");
    }
    return {};
}

} // namespace

bool ParseScheduleDate(const std::string& text, SYSTEMTIME& date) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ParseNumber(text.substr(0, 4), 4, year) ||
        !ParseNumber(text.substr(5, 2), 2, month) || !ParseNumber(text.substr(8, 2), 2, day)) {
        return false;
    }
    const std::chrono::year_month_day ymd{std::chrono::year{year},
                                          std::chrono::month{static_cast<unsigned>(month)},
                                          std::chrono::day{static_cast<unsigned>(day)}};
    // Year 0 is "no start" to the scheduler; 1601 is the first year Windows times can hold.
    if (!ymd.ok() || year < 1601) {
        return false;
    }
    date = {};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    return true;
}

bool ParseScheduleTime(const std::string& text, SYSTEMTIME& time) {
    const size_t colon = text.find(':');
    int hour = 0;
    int minute = 0;
    if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 2, hour) ||
        text.size() - colon - 1 != 2 || !ParseNumber(text.substr(colon + 1), 2, minute) || hour > 23 ||
        minute > 59) {
        return false;
    }
    time = {};
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    return true;
}

bool ParseScheduleFrequency(const std::string& text, int& frequency) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::pair<const char*, int> names[] = {{"once", kFrequencyOnce},
                                                 {"daily", kFrequencyDaily},
                                                 {"weekly", kFrequencyWeekly},
                                                 {"monthly", kFrequencyMonthly}};
    for (const auto& [name, value] : names) {
        if (lower == name) {
            frequency = value;
            return true;
        }
    }
    return false;
}

ConsoleResult RunScheduleConsole(const std::vector<std::string>& args, const ScheduleTarget& target,
                                 std::string& out, base::MessageBoxes& boxes) {
    if (args.empty()) {
        return Usage("schedule needs list, add or delete");
    }
    if (args[0] == "list") {
        return args.size() == 1 ? List(target, out) : Usage("schedule list takes no arguments");
    }
    if (args[0] == "add") {
        return Add(args, target, boxes);
    }
    if (args[0] == "delete") {
        return Delete(args, target);
    }
    return Usage("unknown schedule command '" + args[0] + "'");
}

} // namespace scheduler
