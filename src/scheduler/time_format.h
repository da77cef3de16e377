#pragma once
// The Add Schedule dialog's time picker shows hours and minutes only: the user's time format
// with its seconds part taken out.
#include <string>

namespace scheduler {

// Removes the first separator + "ss", or failing that the first separator + "s":
// "h:mm:ss tt" with ":" gives "h:mm tt". A format without seconds comes back unchanged.
std::string TimeFormatWithoutSeconds(const std::string& format, const std::string& separator);

// The same for the user's own format and separator (LOCALE_STIMEFORMAT, LOCALE_STIME).
std::string UserTimeFormatWithoutSeconds();

} // namespace scheduler
