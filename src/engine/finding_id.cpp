#include "engine/finding_id.h"

#include <cctype>
#include <cstdint>
#include <unordered_set>

namespace engine {
namespace {

// FNV-1a, 64 bits: fast, stable across builds and platforms, and enough bits that a list of a hundred
// thousand ids meets no collision in practice.
void Mix(std::uint64_t& hash, const std::string& text) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
        hash *= 0x100000001b3ULL;
    }
    hash ^= 0x1f; // ends the part, so that "ab" + "c" differs from "a" + "bc"
    hash *= 0x100000001b3ULL;
}

} // namespace

FindingName NameOf(const CRegErrorLog& finding) {
    FindingName name{finding.GetCategory(), finding.GetKeyPath(), std::string()};
    if (finding.GetKind() == kKindValue && finding.GetValue() != nullptr) {
        name.valueName = finding.GetValue()->m_strName;
    }
    return name;
}

std::string FindingId(const FindingName& name) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    Mix(hash, name.category);
    Mix(hash, name.keyPath);
    Mix(hash, name.valueName);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string id(kFindingIdLength, '0');
    for (std::size_t i = kFindingIdLength; i-- > 0; hash >>= 4) {
        id[i] = kDigits[hash & 0xf];
    }
    return id;
}

std::string FindingId(const CRegErrorLog& finding) {
    return FindingId(NameOf(finding));
}

bool IsFindingId(const std::string& text) {
    if (text.size() != kFindingIdLength) {
        return false;
    }
    for (const char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return true;
}

std::string CanonicalId(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::vector<bool> ChooseFindings(const RegErrorLogList& findings, const std::vector<std::string>& only,
                                 const std::vector<std::string>& exclude, std::vector<std::string>& unknown) {
    std::vector<std::string> ids;
    ids.reserve(findings.size());
    for (const auto& finding : findings) {
        ids.push_back(FindingId(*finding));
    }
    const std::unordered_set<std::string> present(ids.begin(), ids.end());
    const auto canonicalSet = [&](const std::vector<std::string>& given) {
        std::unordered_set<std::string> set;
        for (const std::string& id : given) {
            const std::string canonical = CanonicalId(id);
            if (present.count(canonical) == 0) {
                unknown.push_back(id);
            }
            set.insert(canonical);
        }
        return set;
    };
    const std::unordered_set<std::string> chosen = canonicalSet(only);
    const std::unordered_set<std::string> left = canonicalSet(exclude);
    std::vector<bool> selection(findings.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        selection[i] = (only.empty() || chosen.count(ids[i]) != 0) && left.count(ids[i]) == 0;
    }
    return selection;
}

} // namespace engine
