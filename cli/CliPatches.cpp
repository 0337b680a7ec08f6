// zok2-cli patch and apply: patches made and applied byte for byte; a patch
// applied with a set named gets the set's checksums written into its result.
#include <string>
#include <vector>

#include "CliCommands.h"
#include "checksum/ChecksumFile.h"
#include "framework/FileSystem.h"
#include "patch/PatchFile.h"
#include "patch/Patches.h"
#include "qt/SjisCodec.h"

namespace zok2 {

CliResult RunPatch(const std::vector<std::string>& args)
{
    if (args.size() != 5 || args[0] != "--format" || (args[1] != "ips" && args[1] != "bps")) {
        return UsageError("patch takes --format ips|bps REFERENCE FILE OUT");
    }
    std::string reference, file, patch, reason;
    if (!fs::ReadFile(args[2], reference, &reason)) return FileError(args[2], reason);
    if (!fs::ReadFile(args[3], file, &reason)) return FileError(args[3], reason);
    if (args[1] == "ips") {
        if (!patch::CreateIps(reference, file, &patch, &reason)) return UsageError(reason + "; nothing was written", false);
    } else {
        patch::CreateBps(reference, file, &patch);
    }
    if (!fs::WriteFileAtomically(args[4], patch, &reason)) return FileError(args[4], reason);
    return CliResult{};
}

// A patch applied byte for byte into OUT, or into FILE itself (OUT naming FILE
// too) after a ".bak" as a save does. With `set`, the set's checksums are
// computed over the result and written where they differ before it replaces
// anything, so the file is the old one or the new one with right checksums.
// (`set` is read by the caller with FILE opened for the set's address correction.)
CliResult RunApply(const std::vector<std::string>& args, const checksum::SetRules* set, CliResult result)
{
    if (args.size() != 2 && args.size() != 3) return UsageError("apply takes PATCH FILE [OUT]");
    std::string patchBytes, file, reason;
    if (!fs::ReadFile(args[0], patchBytes, &reason)) return FileError(args[0], reason);
    if (!fs::ReadFile(args[1], file, &reason)) return FileError(args[1], reason);
    const std::string& out = args.size() == 3 ? args[2] : args[1];
    const bool inPlace = args.size() == 2 || out == args[1] || fs::SameFile(out, args[1]);
    const checksum::SetRules rules = set ? *set : checksum::SetRules{};
    // A rules file that cannot be used would leave the result's checksums unknown: nothing is written.
    if (!rules.readProblem.empty()) return FileError(rules.path, rules.readProblem + "; nothing was written");
    if (!rules.rules.problems.empty()) {
        const checksum::RuleProblem& p = rules.rules.problems.front();
        return FileError(rules.path + ":" + std::to_string(p.line), p.what + ": " + SjisToUtf8(p.text) + "; nothing was written");
    }
    std::vector<std::string> updated;
    const patch::ResultFinish finish = [&](fs::ReplacementFile& written, std::int64_t size, std::string* why) {
        const std::vector<checksum::Outcome> outcomes =
            checksum::Compute(rules.rules.rules, size, [&written](std::int64_t offset, char* buffer, std::size_t count) {
                return written.ReadAt(offset, buffer, count) ? static_cast<std::int64_t>(count) : std::int64_t{-1};
            });
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            for (const checksum::Outcome::Write& w : outcomes[i].writes) {
                if (!written.WriteAt(w.offset, w.bytes)) {
                    *why = written.Reason();
                    return false;
                }
            }
            if (!outcomes[i].writes.empty()) updated.push_back(SjisToUtf8(rules.rules.rules[i].name));
        }
        return true;
    };
    const patch::FileApplyResult applied =
        patch::ApplyPatchToFile(patchBytes, file, out, inPlace, {}, rules.rules.rules.empty() ? patch::ResultFinish() : finish);
    switch (applied.failure) {
    case patch::FileApplyResult::Failure::None: break;
    case patch::FileApplyResult::Failure::Patch: return UsageError(args[0] + ": " + applied.reason + "; nothing was written", false);
    default: return FileError(applied.path, applied.reason + "; nothing was written");
    }
    std::string names;
    for (const std::string& name : updated) names += (names.empty() ? "" : ", ") + name;
    if (!names.empty()) result.err += "checksums updated: " + names + "\n";
    return result;
}

}  // namespace zok2
