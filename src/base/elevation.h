#pragma once
// Whose rights the process has: elevated or not, and whether its account is the one logged on to its
// session (an administrator's password typed by a standard user gives the administrator's account, and
// with it the administrator's HKEY_CURRENT_USER).
#include <string>

namespace base {

// True when the process token is elevated (a full administrator token); false when not or unknown.
bool IsElevated();

// The account of the process token, "DOMAIN\user"; empty when it cannot be read.
std::string ProcessAccount();

// The account logged on to the process's session (WTSQuerySessionInformation), "DOMAIN\user"; empty when
// unknown (a service session has none).
std::string SessionAccount();

// True only when both accounts are known and differ (names compare without regard to case; a side that
// names no domain matches the other's user name alone).
bool IsOtherAccount(const std::string& process, const std::string& session);

} // namespace base
