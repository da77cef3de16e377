#pragma once
// The channels between a scan or fix run and whoever started it: the stop and abort events and the
// progress callback. The window messages live with the windows that send and answer them.
//
// A stop belongs to one run. Whoever starts a run calls BeginRun first, on its own thread and before any
// worker begins, so a stop asked for from then on (even before the worker reads its first key) reaches that
// run, and a stop asked for earlier reaches no later run. The named event is how another process asks the
// run in progress to stop; this process never sets it, and a run that begins forgets a state left on it.
#include <windows.h>

#include <string>

inline constexpr char kStopEventName[] = "ORVALINSTOPSCANNING";
inline constexpr char kAbortEventName[] = "ORVALIN_ABORTED";

// Progress of a scan or fix: current item, status text, items scanned, errors found.
using ScanProgressProc = void (*)(std::string item, std::string status, int scanned, int found);

// The named, manual-reset stop event other processes set. The first call creates it and keeps one handle
// open for the life of the process; the handle is shared.
HANDLE StopEvent();
// The named abort event, set when a run ended because of a stop.
HANDLE AbortEvent();
// Starts a new run: stops asked for before it, here or through the named event, no longer apply.
void BeginRun();
// True when the run in progress was asked to stop, here (RequestStop) or through the named event.
bool StopRequested();
// True when the run in progress was asked to stop by this process (not only through the named event).
bool StopAskedHere();
// Asks the run in progress (or the one being started) to stop. Stops asked for in this process are counted
// as well, so that a scan loop, which reads the named event only every few milliseconds, sees them at its
// very next stop test.
void RequestStop();
// How many stops this process has asked for; a change means the stop must be read now.
unsigned StopRequestCount();
// Waits up to `ms` milliseconds; returns early, true, when the run in progress is asked to stop.
bool WaitForStop(DWORD ms);
