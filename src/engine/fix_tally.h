#pragma once
// What one pass of the fix did with its findings: how many it removed and how many it could not.
#include "engine/records.h"

#include <windows.h>

// The code of a finding that was left in place because its backup entry could not be written whole.
inline constexpr LONG kNotBackedUp = ERROR_CANNOT_COPY;

class FixTally {
public:
    // One finding's outcome. ERROR_SUCCESS: removed. A key or value that is already gone, or the code
    // `neither`: not counted. Anything else: refused.
    void Add(LONG code, LONG neither);
    // Puts the counts into the row (replacing those of an earlier fix).
    void StoreIn(CScanError& row) const;

    int Removed() const { return m_removed; }
    int Refused() const { return m_refused; }

private:
    int m_removed = 0;
    int m_refused = 0;
    LONG m_firstRefusal = ERROR_SUCCESS;
};
