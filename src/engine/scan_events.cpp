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

} // namespace

HANDLE StopEvent() {
    static const HANDLE event = KeepNamedEvent(kStopEventName);
    return event;
}

HANDLE AbortEvent() {
    static const HANDLE event = KeepNamedEvent(kAbortEventName);
    return event;
}

bool StopRequested() {
    const HANDLE event = StopEvent();
    return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

void RequestStop() {
    // Set before it is counted: a loop that sees the new count reads an event that is already set.
    if (const HANDLE event = StopEvent()) {
        SetEvent(event);
    }
    StopRequests().fetch_add(1);
}

unsigned StopRequestCount() {
    return StopRequests().load();
}
