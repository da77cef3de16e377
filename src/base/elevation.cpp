#include "base/elevation.h"

#include <windows.h>

#include <wtsapi32.h>

#include <vector>

#include "base/unique_handle.h"

namespace base {
namespace {

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string UserPart(const std::string& account) {
    const size_t slash = account.find('\\');
    return slash == std::string::npos ? account : account.substr(slash + 1);
}

std::string SessionText(WTS_INFO_CLASS what) {
    char* text = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationA(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, what, &text, &bytes) ||
        !text) {
        return {};
    }
    std::string result = text;
    WTSFreeMemory(text);
    return result;
}

} // namespace

bool IsElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return false;
    }
    const KernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

std::string ProcessAccount() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return {};
    }
    const KernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    char name[256] = {};
    char domain[256] = {};
    DWORD nameSize = sizeof name;
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use{};
    if (!LookupAccountSidA(nullptr, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, name, &nameSize,
                           domain, &domainSize, &use)) {
        return {};
    }
    return *domain ? std::string(domain) + "\\" + name : std::string(name);
}

std::string SessionAccount() {
    const std::string user = SessionText(WTSUserName);
    if (user.empty()) {
        return {};
    }
    const std::string domain = SessionText(WTSDomainName);
    return domain.empty() ? user : domain + "\\" + user;
}

bool IsOtherAccount(const std::string& process, const std::string& session) {
    if (process.empty() || session.empty()) {
        return false; // not certain: say nothing
    }
    const bool bothDomains =
        process.find('\\') != std::string::npos && session.find('\\') != std::string::npos;
    return bothDomains ? Lower(process) != Lower(session)
                       : Lower(UserPart(process)) != Lower(UserPart(session));
}

} // namespace base
