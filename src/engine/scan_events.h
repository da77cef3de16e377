#pragma once
// The channels between a scan or fix run and whoever started it: the stop and abort events and the
// progress callback. The window messages live with the windows that send and answer them.
#include <windows.h>

#include <string>

inline constexpr char kStopEventName[] = "ORVALINSTOPSCANNING";
inline constexpr char kAbortEventName[] = "ORVALIN_ABORTED";

// Progress of a scan or fix: current item, status text, items scanned, errors found.
using ScanProgressProc = void (*)(std::string item, std::string status, int scanned, int found);

// The named, manual-reset stop event. The first call creates it and keeps one handle open for the life of
// the process, so that a state set by one scan window is still seen by the next; the handle is shared.
HANDLE StopEvent();
// The named abort event, set when a run ended because of a stop.
HANDLE AbortEvent();
// True when the stop event is signalled (zero time-out).
bool StopRequested();
// Sets the stop event. Stops asked for in this process are counted as well, so that a scan loop, which reads
// the event itself only every few milliseconds, sees them at its very next stop test.
void RequestStop();
// How many stops this process has asked for; a change means the event must be read now.
unsigned StopRequestCount();
