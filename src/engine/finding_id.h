#pragma once
// A finding's id: a short hash of what names its entry (category, full key path with its hive, and the value
// name of a value finding). The same entry gets the same id in every scan and on every run, so scripts and
// the ignore list can name it. Findings that remove the same key (a class with two dead servers) share it.
#include "engine/records.h"

#include <string>
#include <vector>

namespace engine {

inline constexpr std::size_t kFindingIdLength = 16;

// What an id is made of; valueName is empty for a finding that removes a whole key.
struct FindingName {
    std::string category;
    std::string keyPath;
    std::string valueName;
};

FindingName NameOf(const CRegErrorLog& finding);

// Sixteen lower-case hex digits. Registry names are compared without case, so the hash is of the upper-cased
// text: the same key spelled in another case is the same entry.
std::string FindingId(const FindingName& name);
std::string FindingId(const CRegErrorLog& finding);

// True for text of an id's form (sixteen hex digits, any case).
bool IsFindingId(const std::string& text);

// The id in its canonical lower-case form.
std::string CanonicalId(std::string text);

// Which findings a fix removes, by position: those whose id `only` names (all when it is empty) and that
// `exclude` does not name. Ids that name no finding go to `unknown`, so the caller can refuse the whole fix.
std::vector<bool> ChooseFindings(const RegErrorLogList& findings, const std::vector<std::string>& only,
                                 const std::vector<std::string>& exclude, std::vector<std::string>& unknown);

} // namespace engine
