#pragma once
// The stop test of the scan loops, which run it before every key and value. Under Wine a zero-time-out wait
// on the named event is a round trip to the server that costs as much as reading a registry key, so the event
// itself is read at most once every few milliseconds: a stop set by another process is seen that much later.
// A stop asked for in this process (RequestStop, from the window, Ctrl+C or a progress callback) changes a
// counter that costs nothing to read, and the next test reads the event at once.
#include "engine/scan_events.h"

class StopPoller {
public:
    // True once the stop event has been seen signalled; stays true.
    bool operator()() {
        if (m_stopped) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        const unsigned requests = StopRequestCount();
        if (m_firstTest || requests != m_seenRequests || now - m_lastPoll >= kIntervalMs) {
            m_firstTest = false;
            m_seenRequests = requests;
            m_lastPoll = now;
            m_stopped = StopRequested();
        }
        return m_stopped;
    }

private:
    static constexpr ULONGLONG kIntervalMs = 10;

    ULONGLONG m_lastPoll = 0;
    unsigned m_seenRequests = StopRequestCount();
    bool m_firstTest = true;
    bool m_stopped = false;
};
