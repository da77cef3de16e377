#include "scheduler/scheduled_task.h"

#include <cstring>

#define SECURITY_WIN32
#include <secext.h>

namespace scheduler {

bool IsWindows9xFamily() {
    return (GetVersion() & 0x80000000u) != 0;
}

std::string CurrentUserName() {
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) {
        return {};
    }
    return name;
}

std::string SchedulerAccountName() {
    char name[512] = {};
    ULONG size = sizeof name;
    if (GetUserNameExA(NameSamCompatible, name, &size) && *name) {
        return name;
    }
    return CurrentUserName();
}

std::string ScheduleTaskNameFor(const std::string& userName) {
    std::string name = "Orvalin" + userName;
    for (char& c : name) {
        // The scheduler stores the work item as "<name>.job" and refuses any other dot.
        if (c == '.' || std::strchr("\\/:*?\"<>|", c) != nullptr || static_cast<unsigned char>(c) < 32) {
            c = '_';
        }
    }
    return name;
}

std::string GetScheduleTaskName() {
    return IsWindows9xFamily() ? std::string("Orvalin") : ScheduleTaskNameFor(CurrentUserName());
}

CScheduledTask::CScheduledTask() : m_bSetAccount(!IsWindows9xFamily()) {}

void CScheduledTask::Reset() {
    m_timeStart = {};
    m_timeEnd = {};
    m_nFrequency = 0;
    m_strProgramPath.clear();
    m_strParameters.clear();
    m_strStartingDir.clear();
    m_strAccount.clear();
    m_strComment.clear();
}

void CScheduledTask::SetStartTime(const SYSTEMTIME& start) {
    m_timeStart = start;
    m_timeStart.wSecond = 0;
    m_timeStart.wMilliseconds = 0;
}

} // namespace scheduler
