// Includes the layering check must accept: the scan window uses the layers below it.
#include "engine/registry_lib.h"
#include "scan_dialog/summary.h"
#include "skin/skin_dialog.h"
