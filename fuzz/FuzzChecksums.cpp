// A set's checksum rules and a file, as a user or another program may leave
// them: the rules text and the file's bytes (split at the first NUL). Every
// line is either a rule or a problem with its number; a rule's result fits its
// stored size; a byte sum agrees with a plain loop; and a rule that does not
// cover its own checksum matches once its fix is written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "checksum/Checksums.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zok2::checksum;
    if (size > 1 << 16) return 0;
    const std::vector<std::string> parts = zok2::fuzz::Parts(std::string(reinterpret_cast<const char*>(data), size), 2);
    const Rules rules = ReadRules(parts[0], static_cast<std::uint32_t>(parts[1].size() % 7));
    int lines = 1;
    for (const char ch : parts[0]) lines += ch == '\n';
    for (const RuleProblem& p : rules.problems) {
        if (p.line < 1 || p.line > lines || p.what.empty()) std::abort();
    }
    const std::string& file = parts[1];
    const std::vector<Outcome> outcomes = Compute(rules.rules, file);
    if (outcomes.size() != rules.rules.size()) std::abort();
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const Rule& rule = rules.rules[i];
        const Outcome& o = outcomes[i];
        if (rule.line < 1 || rule.line > lines || rule.stores.empty()) std::abort();
        if (!o.computable) {
            if (o.why.empty()) std::abort();
            continue;
        }
        const int bytes = rule.stores[0].size;
        if (bytes < 1 || bytes > 4 || (bytes < 4 && o.computed >> (8 * bytes) != 0)) std::abort();
        // The same rule alone, against a plain loop and against its own fix.
        const std::vector<Outcome> alone = Compute({rule}, file);
        bool coversItself = false;
        std::uint64_t sum = rule.init;
        for (const Range& r : rule.ranges) {
            const std::int64_t last = r.toEnd ? static_cast<std::int64_t>(file.size()) - 1 : r.last;
            for (std::int64_t at = r.first; at <= last; ++at) sum += static_cast<unsigned char>(file[static_cast<std::size_t>(at)]);
            for (const Store& s : rule.stores) coversItself = coversItself || (s.offset <= last && s.offset + s.size > r.first);
        }
        if (rule.algorithm == Algorithm::Sum8 && rule.finish == Finish::None && rule.preset.empty() &&
            alone[0].computed != (static_cast<std::uint32_t>(sum) & (bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1))) {
            std::abort();
        }
        if (coversItself || rule.stores.size() > 1) continue;
        std::string fixed = file;
        for (const Outcome::Write& w : alone[0].writes) fixed.replace(static_cast<std::size_t>(w.offset), w.bytes.size(), w.bytes);
        if (!Compute({rule}, fixed)[0].matches) std::abort();
    }
    return 0;
}
