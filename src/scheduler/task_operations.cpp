#include "scheduler/task_operations.h"

#include "base/com.h"
#include "base/wide_text.h"
#include "scheduler/trigger.h"
#include "scheduler/trigger_text.h"

namespace scheduler {
namespace {

HRESULT OpenScheduler(base::ComPtr<ITaskScheduler>& scheduler) {
    return CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                            scheduler.PutVoid());
}

// Opens an existing work item.
HRESULT OpenWorkItem(const std::string& name, base::ComPtr<ITask>& task) {
    base::ComPtr<ITaskScheduler> scheduler;
    HRESULT hr = OpenScheduler(scheduler);
    if (FAILED(hr)) {
        return hr;
    }
    hr = scheduler->Activate(base::Widen(name).c_str(), IID_ITask, task.PutUnknown());
    if (SUCCEEDED(hr) && !task) {
        hr = E_FAIL;
    }
    return hr;
}

// Stores the work item under its own name.
HRESULT SaveWorkItem(ITask& task) {
    base::ComPtr<IPersistFile> file;
    const HRESULT hr = task.QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    return file->Save(nullptr, FALSE);
}

HRESULT ReadTrigger(ITask& task, WORD index, TASK_TRIGGER& trigger) {
    base::ComPtr<ITaskTrigger> taskTrigger;
    const HRESULT hr = task.GetTrigger(index, taskTrigger.Put());
    if (FAILED(hr)) {
        return hr;
    }
    trigger = {};
    trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
    return taskTrigger->GetTrigger(&trigger);
}

// The scheduler's own words for a trigger, or ours where it has none (Wine: E_NOTIMPL).
std::string TriggerDescription(ITask& task, WORD index, const TASK_TRIGGER& trigger) {
    base::CoTaskString text;
    if (SUCCEEDED(task.GetTriggerString(index, text.Put())) && *text.Get() != L'\0') {
        return base::Narrow(text.Get());
    }
    return DescribeTrigger(trigger);
}

// An existing work item and how many triggers it has; an empty name names none.
HRESULT OpenWithTriggerCount(const std::string& name, base::ComPtr<ITask>& task, WORD& count) {
    count = 0;
    if (name.empty()) {
        return E_FAIL;
    }
    const HRESULT hr = OpenWorkItem(name, task);
    if (FAILED(hr)) {
        return hr;
    }
    return task->GetTriggerCount(&count);
}

// visit(index, trigger) for each of the program's schedule triggers in order, until it returns false. A
// trigger that cannot be read ends the walk with its error.
template <typename Visit> HRESULT VisitScheduleTriggers(ITask& task, WORD count, Visit visit) {
    for (WORD i = 0; i < count; ++i) {
        TASK_TRIGGER trigger{};
        const HRESULT hr = ReadTrigger(task, i, trigger);
        if (FAILED(hr)) {
            return hr;
        }
        if (IsScheduleTrigger(trigger) && !visit(i, trigger)) {
            break;
        }
    }
    return S_OK;
}

bool SettingsComplete(const CScheduledTask& settings, const std::string& name) {
    return settings.HasStartTime() && !name.empty() && !settings.ProgramPath().empty();
}

} // namespace

DWORD TaskFlags(bool ntFamily) {
    DWORD flags = 0;
    if (ntFamily) {
        flags |= TASK_FLAG_INTERACTIVE | TASK_FLAG_RUN_ONLY_IF_LOGGED_ON;
    }
    return flags;
}

HRESULT ConfigureWorkItem(ITask& task, const CScheduledTask& settings) {
    HRESULT hr = task.SetApplicationName(base::Widen(settings.ProgramPath()).c_str());
    if (SUCCEEDED(hr) && !settings.Parameters().empty()) {
        hr = task.SetParameters(base::Widen(settings.Parameters()).c_str());
    }
    if (SUCCEEDED(hr) && !settings.StartingDir().empty()) {
        hr = task.SetWorkingDirectory(base::Widen(settings.StartingDir()).c_str());
    }
    if (SUCCEEDED(hr)) {
        hr = task.SetFlags(TaskFlags(!IsWindows9xFamily()));
    }
    if (SUCCEEDED(hr) && settings.AccountWanted()) {
        hr = task.SetAccountInformation(base::Widen(settings.Account()).c_str(), nullptr);
    }
    if (SUCCEEDED(hr) && !settings.Comment().empty()) {
        hr = task.SetComment(base::Widen(settings.Comment()).c_str());
    }
    return hr;
}

HRESULT SaveTask(const CScheduledTask& settings, const std::string& name) {
    if (!SettingsComplete(settings, name)) {
        return E_FAIL;
    }
    base::ComScope com;
    base::ComPtr<ITaskScheduler> scheduler;
    HRESULT hr = OpenScheduler(scheduler);
    if (FAILED(hr)) {
        return hr;
    }
    const std::wstring wideName = base::Widen(name);
    {
        // Wine's NewWorkItem silently replaces an existing work item, so look first.
        base::ComPtr<ITask> existing;
        if (SUCCEEDED(scheduler->Activate(wideName.c_str(), IID_ITask, existing.PutUnknown())) && existing) {
            return kWorkItemExists;
        }
    }
    base::ComPtr<IUnknown> created;
    hr = scheduler->NewWorkItem(wideName.c_str(), CLSID_CTask, IID_ITask, created.Put());
    if (FAILED(hr)) {
        return hr;
    }
    base::ComPtr<ITask> task;
    hr = created->QueryInterface(IID_ITask, task.PutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    hr = ConfigureWorkItem(*task.Get(), settings);
    if (FAILED(hr)) {
        return hr;
    }
    return SaveWorkItem(*task.Get());
}

HRESULT AddTrigger(const CScheduledTask& settings, const std::string& name) {
    if (!SettingsComplete(settings, name)) {
        return E_FAIL;
    }
    base::ComScope com;
    base::ComPtr<ITask> task;
    HRESULT hr = OpenWorkItem(name, task);
    if (FAILED(hr)) {
        return hr;
    }
    WORD newIndex = 0;
    base::ComPtr<ITaskTrigger> taskTrigger;
    hr = task->CreateTrigger(&newIndex, taskTrigger.Put());
    if (FAILED(hr)) {
        return hr;
    }
    TASK_TRIGGER trigger = BuildTrigger(settings);
    hr = taskTrigger->SetTrigger(&trigger);
    if (FAILED(hr)) {
        return hr;
    }
    return SaveWorkItem(*task.Get());
}

HRESULT FindTrigger(const CScheduledTask& settings, const std::string& name, int& index) {
    index = -1;
    base::ComScope com;
    base::ComPtr<ITask> task;
    WORD count = 0;
    const HRESULT hr = OpenWithTriggerCount(name, task, count);
    if (FAILED(hr)) {
        return hr;
    }
    return VisitScheduleTriggers(*task.Get(), count, [&](WORD i, const TASK_TRIGGER& trigger) {
        if (!StartsAt(trigger, settings.StartTime())) {
            return true;
        }
        index = i;
        return false;
    });
}

HRESULT ListSchedule(const std::string& name, std::vector<ScheduleEntry>& entries, std::time_t& lastRun) {
    entries.clear();
    lastRun = 0;
    base::ComScope com;
    base::ComPtr<ITask> task;
    WORD count = 0;
    const HRESULT countResult = OpenWithTriggerCount(name, task, count);
    if (FAILED(countResult)) {
        return countResult;
    }
    SYSTEMTIME lastRunLocal{};
    HRESULT hr = task->GetMostRecentRunTime(&lastRunLocal);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<ScheduleEntry> found;
    hr = VisitScheduleTriggers(*task.Get(), count, [&](WORD i, const TASK_TRIGGER& trigger) {
        found.push_back({TriggerDescription(*task.Get(), i, trigger), i});
        return true;
    });
    if (FAILED(hr)) {
        return hr;
    }
    entries = std::move(found);
    lastRun = LocalSystemTimeToTime(lastRunLocal);
    return countResult;
}

HRESULT DeleteTrigger(const std::string& name, int index) {
    base::ComScope com;
    base::ComPtr<ITask> task;
    WORD count = 0;
    HRESULT hr = OpenWithTriggerCount(name, task, count);
    if (FAILED(hr)) {
        return hr;
    }
    if (index < 0 || index >= count) {
        return SCHED_E_TRIGGER_NOT_FOUND;
    }
    const WORD at = static_cast<WORD>(index);
    TASK_TRIGGER trigger{};
    hr = ReadTrigger(*task.Get(), at, trigger);
    if (FAILED(hr)) {
        return hr;
    }
    if (!IsScheduleTrigger(trigger)) {
        return SCHED_E_TRIGGER_NOT_FOUND;
    }
    hr = task->DeleteTrigger(at);
    if (FAILED(hr)) {
        return hr;
    }
    return SaveWorkItem(*task.Get());
}

std::time_t LocalSystemTimeToTime(const SYSTEMTIME& local) {
    if (local.wYear == 0) {
        return 0;
    }
    std::tm parts{};
    parts.tm_year = local.wYear - 1900;
    parts.tm_mon = local.wMonth - 1;
    parts.tm_mday = local.wDay;
    parts.tm_hour = local.wHour;
    parts.tm_min = local.wMinute;
    parts.tm_sec = local.wSecond;
    parts.tm_isdst = -1;
    const std::time_t time = std::mktime(&parts);
    return time == static_cast<std::time_t>(-1) ? 0 : time;
}

} // namespace scheduler
