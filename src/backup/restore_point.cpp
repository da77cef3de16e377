#include "backup/restore_point.h"

#include <srrestoreptapi.h>

#include "base/program_folder.h"

namespace backup {
namespace {

using SetRestorePointFn = BOOL(WINAPI*)(PRESTOREPOINTINFOA, PSTATEMGRSTATUS);

} // namespace

std::string RestorePointProblem(DWORD status) {
    switch (status) {
    case ERROR_SUCCESS:
        return {};
    case ERROR_INVALID_FUNCTION: // Wine's srclient.dll, and systems without System Restore
        return "System Restore is not available on this system";
    case ERROR_SERVICE_DISABLED:
        return "System Protection is off";
    case ERROR_ACCESS_DENIED:
        return "it needs an administrator";
    case ERROR_TIMEOUT:
        return "System Restore did not answer in time";
    default:
        return "System Restore answered with code " + std::to_string(status);
    }
}

RestorePoint::RestorePoint(const std::string& description) {
    m_hLibrary = base::LoadSystemLibrary("srclient.dll");
    if (!m_hLibrary) {
        m_strProblem = "System Restore is not available on this system";
        return;
    }
    m_pSet = reinterpret_cast<void*>(GetProcAddress(m_hLibrary, "SRSetRestorePointA"));
    if (!m_pSet) {
        m_strProblem = "System Restore is not available on this system";
        return;
    }
    RESTOREPOINTINFOA info{};
    info.dwEventType = BEGIN_SYSTEM_CHANGE;
    info.dwRestorePtType = MODIFY_SETTINGS;
    lstrcpynA(info.szDescription, description.c_str(), MAX_DESC);
    STATEMGRSTATUS status{};
    if (reinterpret_cast<SetRestorePointFn>(m_pSet)(&info, &status)) {
        m_llSequence = status.llSequenceNumber;
        m_bMade = true;
        return;
    }
    m_strProblem =
        RestorePointProblem(status.nStatus == ERROR_SUCCESS ? ERROR_INVALID_FUNCTION : status.nStatus);
}

RestorePoint::~RestorePoint() {
    if (m_bMade) {
        RESTOREPOINTINFOA info{};
        info.dwEventType = END_SYSTEM_CHANGE;
        info.dwRestorePtType = m_bCancel ? CANCELLED_OPERATION : MODIFY_SETTINGS;
        info.llSequenceNumber = m_llSequence;
        STATEMGRSTATUS status{};
        reinterpret_cast<SetRestorePointFn>(m_pSet)(&info, &status);
    }
    if (m_hLibrary) {
        FreeLibrary(m_hLibrary);
    }
}

} // namespace backup
