#pragma once
// zok2-cli: the document headless. Arguments and texts are UTF-8.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zok2 {

namespace checksum {
struct SetRules;
}

struct CliResult {
    int status = 0;
    std::string out;  // UTF-8
    std::string err;  // UTF-8
};

// args excludes the program name. defaultRoot is the folder of the executable.
// readInput is called only by the paste command, for its standard input.
CliResult RunCli(const std::vector<std::string>& args, const std::string& defaultRoot,
                 const std::function<std::string()>& readInput);
// zok2-cli journal list | show FILE (the arguments after "journal").
CliResult RunJournal(const std::vector<std::string>& args);
class CZOKDoc;
// zok2-cli check [FILE] (the arguments after "check"), with the document's profile.
CliResult RunCheck(CZOKDoc& doc, const std::optional<std::string>& mode, const std::vector<std::string>& rest, CliResult result);
// zok2-cli sums [--fix] FILE, with FILE opened as `doc`.
CliResult RunSums(const CZOKDoc& doc, const std::string& file, bool fix);
// zok2-cli patch --format ips|bps REFERENCE FILE OUT.
CliResult RunPatch(const std::vector<std::string>& args);
// zok2-cli apply PATCH FILE [OUT]: with `rules` (those of the set named), the
// result's checksums are written by them before it takes OUT's place.
CliResult RunApply(const std::vector<std::string>& args, const checksum::SetRules* rules, CliResult result);
// Exit status 2 with the reason (and the usage); 1 naming a file and why.
CliResult UsageError(const std::string& reason, bool withUsage = true);
CliResult FileError(const std::string& path, const std::string& reason);

}  // namespace zok2
