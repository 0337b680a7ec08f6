// zok2-cli sums [--fix] FILE: the checksums the set's rules describe, stored and
// computed, and with --fix written where they differ (".bak" first, like a save).
#include <string>

#include "CliCommands.h"
#include "checksum/ChecksumFile.h"
#include "document/CZOKDoc.h"
#include "qt/SjisCodec.h"

namespace zok2 {

CliResult RunSums(const CZOKDoc& doc, const std::string& file, bool fix)
{
    CliResult result;
    const checksum::SetRules set = checksum::ReadSetRules(doc.definitionFolder, doc.addressCorrection);
    if (!set.present) {
        result.status = 2;
        result.err = set.path + ": no checksum rules in the set\n";
        return result;
    }
    if (!set.readProblem.empty()) {
        result.status = 2;
        result.err = set.path + ": " + set.readProblem + "\n";
        return result;
    }
    // A rule the reader cannot use is named, never passed over in silence.
    for (const checksum::RuleProblem& p : set.rules.problems) {
        result.err += set.path + ":" + std::to_string(p.line) + ": " + p.what + ": " + SjisToUtf8(p.text) + "\n";
    }
    std::string reason;
    const std::vector<checksum::Rule>& rules = set.rules.rules;
    std::vector<checksum::Outcome> outcomes = checksum::ComputeFile(file, rules, &reason);
    if (outcomes.size() != rules.size()) {
        result.status = 2;
        result.err += file + ": " + reason + "\n";
        return result;
    }
    if (fix) {
        if (!checksum::FixFile(file, outcomes, &reason)) {
            result.status = 2;
            result.err += file + ": " + reason + "; nothing was written\n";
            return result;
        }
    }
    bool differs = false, unknown = false;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const checksum::Rule& rule = rules[i];
        const checksum::Outcome& o = outcomes[i];
        result.out += SjisToUtf8(rule.name) + "\t";
        if (!o.computable) {
            unknown = true;
            result.out += "\t\t" + o.why + "\n";
            continue;
        }
        // Fixed: the stored value is the computed one now.
        const bool fixed = fix && !o.matches;
        result.out += checksum::HexOf(rule, fixed ? o.computed : o.stored) + "\t" + checksum::HexOf(rule, o.computed) + "\t" +
                      (o.matches ? "ok" : fixed ? "fixed" : "differs") + "\n";
        differs = differs || (!o.matches && !fix);
    }
    result.status = unknown || !set.rules.problems.empty() ? 2 : differs ? 1 : 0;
    return result;
}

}  // namespace zok2
