#include "scheduler/add_schedule_dlg.h"

#include "scheduler/add_schedule.h"
#include "scheduler/scheduled_task.h"
#include "scheduler/time_format.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

#include "resource.h"

namespace scheduler {
namespace {

constexpr int kFrequencyButtons[] = {IDC_ONCE, IDC_DAILY, IDC_WEEKLY, IDC_MONTHLY};

} // namespace

CAddScheduleDlg::CAddScheduleDlg(base::MessageBoxes& boxes, std::string taskName)
    : Dialog(IDD_ADDSCHEDULE), m_boxes(boxes), m_strWorkItem(std::move(taskName)) {
    // The pickers' window class must exist before the template is made.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
}

bool CAddScheduleDlg::OnInitDialog() {
    // An hour from now: a one-time scan must start later than the current minute, so the opening values
    // are ones that OK accepts.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME time{};
    if (SystemTimeToFileTime(&now, &time)) {
        ULARGE_INTEGER ticks{};
        ticks.LowPart = time.dwLowDateTime;
        ticks.HighPart = time.dwHighDateTime;
        ticks.QuadPart += 60ULL * 60 * 10000000; // 100-ns units
        time.dwLowDateTime = ticks.LowPart;
        time.dwHighDateTime = ticks.HighPart;
        FileTimeToSystemTime(&time, &now);
    }

    const ScheduleTarget target = TargetForProgram(RunningProgramPath());
    m_strAccount = target.account;
    m_strProgramPath = target.programPath;
    m_strStartingDir = target.startingDir;

    m_timeDate = now;
    m_timeTime = now;
    m_nFrequency = 0; // Once
    WriteControls();

    // The scheduler starts on whole minutes, so the time picker offers no seconds.
    const std::string format = UserTimeFormatWithoutSeconds();
    SendDlgItemMessageA(Hwnd(), IDC_TIME, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format.c_str()));
    return true;
}

void CAddScheduleDlg::OnOK() {
    ReadControls();
    m_strTaskName = m_strWorkItem.empty() ? GetScheduleTaskName() : m_strWorkItem;

    ScheduleRequest request;
    request.date = m_timeDate;
    request.time = m_timeTime;
    request.frequency = m_nFrequency + 1; // Once 1 ... Monthly 4
    const ScheduleTarget target{m_strTaskName, m_strProgramPath, m_strStartingDir, m_strAccount};
    // A time that can never run keeps the dialog open so that another can be picked.
    if (AddScheduleAndReport(m_boxes, Hwnd(), request, target).outcome == ScheduleOutcome::Refused) {
        return;
    }
    End(IDOK);
}

void CAddScheduleDlg::ReadControls() {
    // A picker that cannot give a value keeps the one it was given.
    SYSTEMTIME value{};
    if (SendDlgItemMessageA(Hwnd(), IDC_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) ==
        GDT_VALID) {
        m_timeDate = value;
    }
    if (SendDlgItemMessageA(Hwnd(), IDC_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) ==
        GDT_VALID) {
        m_timeTime = value;
    }
    // The auto radio buttons always keep one checked; should none be, the last choice stays.
    for (int i = 0; i < static_cast<int>(std::size(kFrequencyButtons)); ++i) {
        if (IsDlgButtonChecked(Hwnd(), kFrequencyButtons[i]) == BST_CHECKED) {
            m_nFrequency = i;
            break;
        }
    }
}

void CAddScheduleDlg::WriteControls() const {
    SendDlgItemMessageA(Hwnd(), IDC_DATE, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&m_timeDate));
    SendDlgItemMessageA(Hwnd(), IDC_TIME, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&m_timeTime));
    CheckRadioButton(Hwnd(), IDC_ONCE, IDC_MONTHLY, kFrequencyButtons[m_nFrequency]);
}

} // namespace scheduler
