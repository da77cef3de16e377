#pragma once
// The settings of the scheduled-scan work item, and the work item's name for the current user.
#include <windows.h>

#include <string>

namespace scheduler {

// How often a schedule repeats (the settings' frequency; 0 = not set).
enum ScheduleFrequency : int {
    kFrequencyOnce = 1,
    kFrequencyDaily = 2,
    kFrequencyWeekly = 3,
    kFrequencyMonthly = 4
};

// True on the Windows 9x family (high bit of GetVersion set): no per-user name, no account.
bool IsWindows9xFamily();

// "Orvalin" followed by the logon name ("OrvalinAdministrator"); only "Orvalin" on the 9x family.
// Computed afresh on every call.
std::string GetScheduleTaskName();

// "Orvalin" + the user name, with characters a work-item name cannot hold ('.' and those not
// allowed in file names, as in "john.smith") replaced by '_'.
std::string ScheduleTaskNameFor(const std::string& userName);

// The current user's logon name (empty when it cannot be read).
std::string CurrentUserName();

// The account a work item runs as, as the scheduler resolves it: "DOMAIN\user" (GetUserNameExA,
// NameSamCompatible); the logon name alone when that cannot be read.
std::string SchedulerAccountName();

class CScheduledTask {
public:
    CScheduledTask();
    virtual ~CScheduledTask() = default;

    // Clears both times, the frequency and every string.
    void Reset();

    // Seconds and milliseconds are dropped: the scheduler starts on whole minutes.
    void SetStartTime(const SYSTEMTIME& start);
    void SetFrequency(int frequency) { m_nFrequency = frequency; }
    void SetProgramPath(const std::string& path) { m_strProgramPath = path; }
    void SetParameters(const std::string& parameters) { m_strParameters = parameters; }
    void SetStartingDir(const std::string& dir) { m_strStartingDir = dir; }
    void SetAccount(const std::string& account) { m_strAccount = account; }
    void SetComment(const std::string& comment) { m_strComment = comment; }
    // Normally taken from the system at construction; tests of the 9x behaviour set it.
    void SetAccountWanted(bool wanted) { m_bSetAccount = wanted; }

    const SYSTEMTIME& StartTime() const { return m_timeStart; }
    const SYSTEMTIME& EndTime() const { return m_timeEnd; }
    int Frequency() const { return m_nFrequency; }
    const std::string& ProgramPath() const { return m_strProgramPath; }
    const std::string& Parameters() const { return m_strParameters; }
    const std::string& StartingDir() const { return m_strStartingDir; }
    const std::string& Account() const { return m_strAccount; }
    const std::string& Comment() const { return m_strComment; }
    bool AccountWanted() const { return m_bSetAccount; }

    // A year of 0 means the start was never set.
    bool HasStartTime() const { return m_timeStart.wYear != 0; }

private:
    SYSTEMTIME m_timeStart{};
    SYSTEMTIME m_timeEnd{}; // always zero: schedules have no end date
    int m_nFrequency = 0;
    std::string m_strProgramPath;
    std::string m_strParameters;
    std::string m_strStartingDir;
    std::string m_strAccount;
    std::string m_strComment;
    bool m_bSetAccount;
};

} // namespace scheduler
