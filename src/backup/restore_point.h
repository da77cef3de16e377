#pragma once
// A System Restore point around a fix, as Windows' own installers make one: begun before the first
// removal, ended (or cancelled when nothing was removed) afterwards. Where System Protection is off, the
// service is missing or srclient.dll is absent (under Wine), none is made and the fix goes on; the XML
// backup stays the undo either way.
#include <windows.h>

#include <string>

namespace backup {

class RestorePoint {
public:
    // Begins the restore point named `description` (at most 63 characters are kept).
    explicit RestorePoint(const std::string& description);
    // Ends it; cancels it instead when Cancel() was called.
    ~RestorePoint();
    RestorePoint(const RestorePoint&) = delete;
    RestorePoint& operator=(const RestorePoint&) = delete;

    bool Made() const { return m_bMade; }
    // Why none was made, for "no restore point was made (...)"; empty when one was.
    const std::string& Problem() const { return m_strProblem; }
    // Nothing was changed after all: the point is cancelled rather than kept.
    void Cancel() { m_bCancel = true; }

private:
    HMODULE m_hLibrary = nullptr;
    void* m_pSet = nullptr;
    INT64 m_llSequence = 0;
    bool m_bMade = false;
    bool m_bCancel = false;
    std::string m_strProblem;
};

// The text of a restore-point status code (ERROR_SERVICE_DISABLED: System Protection is off).
std::string RestorePointProblem(DWORD status);

} // namespace backup
