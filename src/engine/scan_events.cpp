#include "engine/scan_events.h"

#include <atomic>

namespace {

HANDLE KeepNamedEvent(const char* name) {
    // Created once and never closed: the event must outlive every scan window of the process.
    return CreateEventA(nullptr, TRUE, FALSE, name);
}

// Only ever increases; read by the scan loops on every stop test, so it must cost no server call.
std::atomic<unsigned>& StopRequests() {
    static std::atomic<unsigned> count{0};
    return count;
}

// The run in progress and the last run this process asked to stop, by number: a stop of an earlier run
// never matches a later one, and reading both costs no server call.
std::atomic<unsigned> g_currentRun{1};
std::atomic<unsigned> g_stoppedRun{0};

// Set with a stop asked for here, so that a pause can wait on it; reset when a run begins.
HANDLE WakeEvent() {
    static const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return event;
}

bool Signalled(HANDLE event) {
    return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

} // namespace

HANDLE StopEvent() {
    static const HANDLE event = KeepNamedEvent(kStopEventName);
    return event;
}

HANDLE AbortEvent() {
    static const HANDLE event = KeepNamedEvent(kAbortEventName);
    return event;
}

void BeginRun() {
    g_currentRun.fetch_add(1);
    if (const HANDLE wake = WakeEvent()) {
        ResetEvent(wake);
    }
    // Left set by a process that asked an earlier run to stop (or by one that closed without a run).
    if (const HANDLE event = StopEvent()) {
        ResetEvent(event);
    }
}

bool StopAskedHere() {
    return g_stoppedRun.load() == g_currentRun.load();
}

bool StopRequested() {
    return StopAskedHere() || Signalled(StopEvent());
}

void RequestStop() {
    // Recorded before it is counted: a loop that sees the new count reads a stop that is already there.
    g_stoppedRun.store(g_currentRun.load());
    if (const HANDLE wake = WakeEvent()) {
        SetEvent(wake);
    }
    StopRequests().fetch_add(1);
}

unsigned StopRequestCount() {
    return StopRequests().load();
}

bool WaitForStop(DWORD ms) {
    if (StopAskedHere()) {
        return true;
    }
    const HANDLE events[2] = {WakeEvent(), StopEvent()};
    return WaitForMultipleObjects(2, events, FALSE, ms) != WAIT_TIMEOUT;
}
