#include "engine/scan_events.h"

namespace {

HANDLE KeepNamedEvent(const char* name) {
    // Created once and never closed: the event must outlive every scan window of the process.
    return CreateEventA(nullptr, TRUE, FALSE, name);
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
