#pragma once
// A work item of the test prefix's real scheduler under a name of its own, deleted at the end of
// the test, and what the scheduler stored for it.
#include "base/com.h"
#include "base/wide_text.h"
#include "support/test_paths.h"

#include <windows.h>
#include <mstask.h>

#include <string>
#include <vector>

namespace testsupport {

struct StoredWorkItem {
    std::string application;
    std::string parameters;
    std::string workingDirectory;
    DWORD flags = 0;
    std::vector<TASK_TRIGGER> triggers; // all of them, disabled ones included
};

inline HRESULT OpenTestScheduler(base::ComPtr<ITaskScheduler>& taskScheduler) {
    return CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                            taskScheduler.PutVoid());
}

inline HRESULT OpenTestTask(const std::string& name, base::ComPtr<ITask>& task) {
    base::ComPtr<ITaskScheduler> taskScheduler;
    const HRESULT hr = OpenTestScheduler(taskScheduler);
    return FAILED(hr) ? hr : taskScheduler->Activate(base::Widen(name).c_str(), IID_ITask, task.PutUnknown());
}

// Reads the stored work item back; the HRESULT of opening it.
inline HRESULT ReadStoredWorkItem(const std::string& name, StoredWorkItem& item) {
    base::ComPtr<ITask> task;
    const HRESULT hr = OpenTestTask(name, task);
    if (FAILED(hr)) {
        return hr;
    }
    base::CoTaskString text;
    task->GetApplicationName(text.Put());
    item.application = base::Narrow(text.Get());
    task->GetParameters(text.Put());
    item.parameters = base::Narrow(text.Get());
    task->GetWorkingDirectory(text.Put());
    item.workingDirectory = base::Narrow(text.Get());
    task->GetFlags(&item.flags);
    WORD count = 0;
    task->GetTriggerCount(&count);
    for (WORD i = 0; i < count; ++i) {
        base::ComPtr<ITaskTrigger> trigger;
        TASK_TRIGGER data{};
        data.cbTriggerSize = sizeof data;
        if (SUCCEEDED(task->GetTrigger(i, trigger.Put())) && SUCCEEDED(trigger->GetTrigger(&data))) {
            item.triggers.push_back(data);
        }
    }
    return hr;
}

// Appends a trigger as another program might have written it (for example a disabled one).
inline HRESULT AppendRawTrigger(const std::string& name, TASK_TRIGGER data) {
    base::ComPtr<ITask> task;
    HRESULT hr = OpenTestTask(name, task);
    WORD index = 0;
    base::ComPtr<ITaskTrigger> trigger;
    base::ComPtr<IPersistFile> file;
    if (SUCCEEDED(hr)) {
        hr = task->CreateTrigger(&index, trigger.Put());
    }
    if (SUCCEEDED(hr)) {
        data.cbTriggerSize = sizeof data;
        hr = trigger->SetTrigger(&data);
    }
    if (SUCCEEDED(hr)) {
        hr = task->QueryInterface(IID_IPersistFile, file.PutVoid());
    }
    return SUCCEEDED(hr) ? file->Save(nullptr, FALSE) : hr;
}

class TestWorkItem {
public:
    // Process ids repeat under Wine, so the counter of the moment makes the name unique across runs.
    TestWorkItem() : name_(UniqueName("sched") + "_" + Counter()) {}
    TestWorkItem(const TestWorkItem&) = delete;
    TestWorkItem& operator=(const TestWorkItem&) = delete;
    ~TestWorkItem() {
        base::ComPtr<ITaskScheduler> taskScheduler;
        if (FAILED(OpenTestScheduler(taskScheduler))) {
            return;
        }
        // The scheduler's service may be reading the file just now; try again for a moment.
        for (int attempt = 0; attempt < 20; ++attempt) {
            const HRESULT hr = taskScheduler->Delete(base::Widen(name_).c_str());
            if (SUCCEEDED(hr) || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
                break;
            }
            Sleep(50);
        }
    }
    const std::string& Name() const { return name_; }
    bool Exists() const {
        base::ComPtr<ITask> task;
        return SUCCEEDED(OpenTestTask(name_, task));
    }

private:
    static std::string Counter() {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return std::to_string(now.QuadPart);
    }
    std::string name_;
};

} // namespace testsupport
