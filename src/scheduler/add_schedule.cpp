#include "scheduler/add_schedule.h"

#include "scheduler/task_operations.h"

namespace scheduler {

std::string RunningProgramPath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

ScheduleTarget TargetForProgram(const std::string& programPath) {
    ScheduleTarget target;
    target.taskName = GetScheduleTaskName();
    target.programPath = programPath;
    const size_t slash = programPath.find_last_of('\\');
    target.startingDir = slash == std::string::npos ? std::string() : programPath.substr(0, slash);
    target.account = SchedulerAccountName();
    return target;
}

CScheduledTask MakeScanSettings(const ScheduleRequest& request, const ScheduleTarget& target) {
    CScheduledTask settings;
    settings.SetProgramPath(target.programPath);
    settings.SetStartingDir(target.startingDir);
    settings.SetAccount(target.account);
    SYSTEMTIME start = request.date;
    start.wHour = request.time.wHour;
    start.wMinute = request.time.wMinute;
    settings.SetStartTime(start);
    settings.SetParameters("scan");
    settings.SetFrequency(request.frequency);
    return settings;
}

AddScheduleResult AddSchedule(const ScheduleRequest& request, const ScheduleTarget& target) {
    const CScheduledTask settings = MakeScanSettings(request, target);
    const auto addTrigger = [&]() -> AddScheduleResult {
        const HRESULT hr = AddTrigger(settings, target.taskName);
        if (hr == S_OK) {
            return {ScheduleOutcome::Created, S_OK};
        }
        return {ScheduleOutcome::Failed, hr};
    };
    if (SaveTask(settings, target.taskName) == S_OK) {
        return addTrigger(); // the work item is new
    }
    // Normally the work item exists already. If the scheduler cannot be searched either, the
    // schedule was not created, and the user is told so rather than left without an answer.
    int index = -1;
    const HRESULT found = FindTrigger(settings, target.taskName, index);
    if (FAILED(found)) {
        return {ScheduleOutcome::Failed, found};
    }
    if (index != -1) {
        return {ScheduleOutcome::AlreadyScheduled, S_OK};
    }
    return addTrigger();
}

namespace {

// Year to minute as one comparable number.
long long MinuteKey(const SYSTEMTIME& date, WORD hour, WORD minute) {
    return ((((date.wYear * 13LL + date.wMonth) * 32 + date.wDay) * 24 + hour) * 60) + minute;
}

} // namespace

const char* RefusalOf(const ScheduleRequest& request, const SYSTEMTIME& now) {
    if (request.date.wYear < 1980) {
        return kDateTooEarly;
    }
    if (request.frequency == kFrequencyOnce &&
        MinuteKey(request.date, request.time.wHour, request.time.wMinute) <=
            MinuteKey(now, now.wHour, now.wMinute)) {
        return kTimeHasPassed;
    }
    return nullptr;
}

const char* OutcomeMessage(ScheduleOutcome outcome) {
    switch (outcome) {
    case ScheduleOutcome::Created:
        return kScheduleCreated;
    case ScheduleOutcome::AlreadyScheduled:
        return kAlreadyScheduled;
    case ScheduleOutcome::Failed:
    case ScheduleOutcome::Refused:
        break;
    }
    return kScheduleFailed;
}

void ReportOutcome(base::MessageBoxes& boxes, HWND owner, ScheduleOutcome outcome) {
    const UINT icon = outcome == ScheduleOutcome::Created ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    boxes.Show(owner, OutcomeMessage(outcome), kScheduleCaption, MB_OK | icon);
}

AddScheduleResult AddScheduleAndReport(base::MessageBoxes& boxes, HWND owner, const ScheduleRequest& request,
                                       const ScheduleTarget& target) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (const char* refusal = RefusalOf(request, now)) {
        boxes.Show(owner, refusal, kScheduleCaption, MB_OK | MB_ICONEXCLAMATION);
        return {ScheduleOutcome::Refused, S_OK};
    }
    const AddScheduleResult result = AddSchedule(request, target);
    ReportOutcome(boxes, owner, result.outcome);
    return result;
}

} // namespace scheduler
