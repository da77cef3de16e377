#include "backup/value_text.h"
