#include "scheduler/scheduled_task.h"

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

std::string GetScheduleTaskName() {
    std::string name = "Orvalin";
    if (!IsWindows9xFamily()) {
        name += CurrentUserName();
    }
    return name;
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
