// A planted wrong include for the layering check's own test: the engine may not use the scan window.
#include "engine/registry_lib.h"
#include "scan_dialog/summary.h"
