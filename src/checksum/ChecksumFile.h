#pragma once
// A set's checksum rules read from its folder, and a file's checksums computed
// and fixed on disk: a ".bak" copy first, then the fixed file put in place whole
// (a copy beside it that replaces it when complete), as a save does.
#include <string>
#include <vector>

#include "checksum/Checksums.h"

namespace zok2::checksum {

// The rules of the set in `folder` (ends with the separator); none without a rules file.
struct SetRules {
    bool present = false;     // the folder has a rules file
    std::string path;         // where it is (or would be)
    std::string readProblem;  // it is there but cannot be read
    Rules rules;
};
SetRules ReadSetRules(const std::string& folder, std::uint32_t correction);

// Every rule over the file at `path` (read once).
std::vector<Outcome> ComputeFile(const std::string& path, const std::vector<Rule>& rules, std::string* reason);
// Writes every differing checksum: the backup, then the whole file replaced.
// False (with `reason`) leaves the file as it was; true when nothing differed too.
bool FixFile(const std::string& path, const std::vector<Outcome>& outcomes, std::string* reason);

}  // namespace zok2::checksum
