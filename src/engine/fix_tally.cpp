#include "engine/fix_tally.h"

#include <string>

std::string RefusalText(LONG code) {
    switch (code) {
    case ERROR_SUCCESS:
        return std::string();
    case ERROR_ACCESS_DENIED:
        return "Access Denied";
    case kNotBackedUp:
        return "Not Backed Up";
    default:
        return "Failed (error " + std::to_string(code) + ")";
    }
}

void FixTally::Add(LONG code, LONG neither) {
    if (code == ERROR_SUCCESS) {
        ++m_removed;
        return;
    }
    // Gone before the fix reached it: nothing was left behind, and nothing was removed either.
    if (code == neither || code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
        return;
    }
    if (m_refused++ == 0) {
        m_firstRefusal = code;
    }
}

void FixTally::StoreIn(CScanError& row) const {
    row.m_nFixed = m_removed;
    row.m_nRefused = m_refused;
    row.m_lRefusal = m_firstRefusal;
}
