#pragma once
// The stop test of the scan loops, which run it before every key and value. Under Wine a zero-time-out wait
// on the named event is a round trip to the server that costs as much as reading a registry key, so the event
// itself is read at most once every few milliseconds; a stop set from another thread is seen that much later.
// After a progress callback (which may have set the event on this thread) the next test reads it at once.
#include "engine/scan_events.h"

class StopPoller {
public:
    // True once the stop event has been seen signalled; stays true.
    bool operator()() {
        if (m_stopped) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (m_pollNow || now - m_lastPoll >= kIntervalMs) {
            m_pollNow = false;
            m_lastPoll = now;
            m_stopped = StopRequested();
        }
        return m_stopped;
    }
    // The next test reads the event itself.
    void PollNextTime() { m_pollNow = true; }

private:
    static constexpr ULONGLONG kIntervalMs = 10;

    ULONGLONG m_lastPoll = 0;
    bool m_pollNow = true;
    bool m_stopped = false;
};
