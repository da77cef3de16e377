// ConfigureWorkItem against a recording work item: the order of the calls matters on Windows
// (flags before an account without password), and Wine accepts any order, so the real scheduler
// cannot show it.
#include "scheduler/task_operations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace scheduler;

namespace {

#define NOT_USED(signature)                                                                                  \
    HRESULT WINAPI signature override {                                                                      \
        return E_NOTIMPL;                                                                                    \
    }

// Records the setters it receives; `failing` names a setter that fails with E_ACCESSDENIED.
class RecordingTask final : public ITask {
public:
    std::vector<std::string> calls;
    std::string failing;
    DWORD flags = 0;
    std::wstring account = L"(not set)";
    bool nullPassword = false;

    HRESULT WINAPI QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 1; }
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI SetApplicationName(LPCWSTR) override { return Record("SetApplicationName"); }
    HRESULT WINAPI SetParameters(LPCWSTR) override { return Record("SetParameters"); }
    HRESULT WINAPI SetWorkingDirectory(LPCWSTR) override { return Record("SetWorkingDirectory"); }
    HRESULT WINAPI SetComment(LPCWSTR) override { return Record("SetComment"); }
    HRESULT WINAPI SetFlags(DWORD value) override {
        flags = value;
        return Record("SetFlags");
    }
    HRESULT WINAPI SetAccountInformation(LPCWSTR name, LPCWSTR password) override {
        account = name != nullptr ? name : L"(null)";
        nullPassword = password == nullptr;
        return Record("SetAccountInformation");
    }

    NOT_USED(CreateTrigger(WORD*, ITaskTrigger**))
    NOT_USED(DeleteTrigger(WORD))
    NOT_USED(GetTriggerCount(WORD*))
    NOT_USED(GetTrigger(WORD, ITaskTrigger**))
    NOT_USED(GetTriggerString(WORD, LPWSTR*))
    NOT_USED(GetRunTimes(const LPSYSTEMTIME, const LPSYSTEMTIME, WORD*, LPSYSTEMTIME*))
    NOT_USED(GetNextRunTime(SYSTEMTIME*))
    NOT_USED(SetIdleWait(WORD, WORD))
    NOT_USED(GetIdleWait(WORD*, WORD*))
    NOT_USED(Run())
    NOT_USED(Terminate())
    NOT_USED(EditWorkItem(HWND, DWORD))
    NOT_USED(GetMostRecentRunTime(SYSTEMTIME*))
    NOT_USED(GetStatus(HRESULT*))
    NOT_USED(GetExitCode(DWORD*))
    NOT_USED(GetComment(LPWSTR*))
    NOT_USED(SetCreator(LPCWSTR))
    NOT_USED(GetCreator(LPWSTR*))
    NOT_USED(SetWorkItemData(WORD, BYTE[]))
    NOT_USED(GetWorkItemData(WORD*, BYTE**))
    NOT_USED(SetErrorRetryCount(WORD))
    NOT_USED(GetErrorRetryCount(WORD*))
    NOT_USED(SetErrorRetryInterval(WORD))
    NOT_USED(GetErrorRetryInterval(WORD*))
    NOT_USED(GetFlags(DWORD*))
    NOT_USED(GetAccountInformation(LPWSTR*))
    NOT_USED(GetApplicationName(LPWSTR*))
    NOT_USED(GetParameters(LPWSTR*))
    NOT_USED(GetWorkingDirectory(LPWSTR*))
    NOT_USED(SetPriority(DWORD))
    NOT_USED(GetPriority(DWORD*))
    NOT_USED(SetTaskFlags(DWORD))
    NOT_USED(GetTaskFlags(DWORD*))
    NOT_USED(SetMaxRunTime(DWORD))
    NOT_USED(GetMaxRunTime(DWORD*))

private:
    HRESULT Record(const std::string& call) {
        calls.push_back(call);
        return call == failing ? E_ACCESSDENIED : S_OK;
    }
};

#undef NOT_USED

CScheduledTask FullSettings() {
    CScheduledTask settings;
    settings.SetProgramPath("C:\\Program Files\\Orvalin\\orvalin.exe");
    settings.SetParameters("scan");
    settings.SetStartingDir("C:\\Program Files\\Orvalin");
    settings.SetAccount("alice");
    settings.SetComment("scheduled scan");
    return settings;
}

} // namespace

TEST(ConfigureWorkItem, SetsTheFlagsBeforeTheAccountWithoutPassword) {
    RecordingTask task;
    ASSERT_EQ(ConfigureWorkItem(task, FullSettings()), S_OK);
    const std::vector<std::string> expected = {"SetApplicationName",    "SetParameters",
                                               "SetWorkingDirectory",   "SetFlags",
                                               "SetAccountInformation", "SetComment"};
    EXPECT_EQ(task.calls, expected);
    EXPECT_EQ(task.flags, 0x2001u);
    EXPECT_EQ(task.account, L"alice");
    EXPECT_TRUE(task.nullPassword);
}

TEST(ConfigureWorkItem, LeavesOutEmptySettingsAndTheAccountWhenNotWanted) {
    CScheduledTask settings;
    settings.SetProgramPath("C:\\orvalin.exe");
    settings.SetAccountWanted(false); // as on the 9x family
    RecordingTask task;
    ASSERT_EQ(ConfigureWorkItem(task, settings), S_OK);
    const std::vector<std::string> expected = {"SetApplicationName", "SetFlags"};
    EXPECT_EQ(task.calls, expected);
}

TEST(ConfigureWorkItem, StopsAtTheFirstFailingCall) {
    RecordingTask task;
    task.failing = "SetFlags";
    EXPECT_EQ(ConfigureWorkItem(task, FullSettings()), E_ACCESSDENIED);
    EXPECT_EQ(task.calls.back(), "SetFlags");
    EXPECT_EQ(task.account, L"(not set)");
}

TEST(TaskFlags, NtFamilyRunsInteractivelyWhileLoggedOnNeitherMindsBatteries) {
    EXPECT_EQ(TaskFlags(true), 0x2001u);
    EXPECT_EQ(TaskFlags(false), 0x0u);
}
