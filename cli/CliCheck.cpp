// zok2-cli check [FILE]: the set of --mode or the profile, checked whole.
#include <optional>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "qt/SjisCodec.h"
#include "sets/SetCheck.h"
#include "text/SjisText.h"

namespace zok2 {

// The set of --mode or the profile, checked whole; with FILE also against its
// size and with its address correction. Runs on sets too broken to open.
CliResult RunCheck(CZOKDoc& doc, const std::optional<std::string>& mode, const std::vector<std::string>& rest, CliResult result)
{
    const std::string name = mode ? *mode : doc.FileNames().ToFileSystem(doc.Profile().GetString("Setting", "mode"));
    sets::SetCheckInput input;
    input.folder = SettingsFolder() + name + "/";
    if (name.empty() || !fs::IsFolder(input.folder)) {
        return CliResult{2, "", input.folder + ": no definition set there\n"};
    }
    input.toSjis = [&doc](const std::string& file) { return doc.FileNames().ToSjis(file); };
    if (!rest.empty()) {
        const std::string& file = rest[0];
        const std::int64_t size = fs::FileSize(file);
        if (size < 0) return CliResult{1, "", file + ": " + (fs::IsFolder(file) ? "Is a directory" : "No such file") + "\n"};
        input.fileSize = size;
        const std::string extension = fs::sys::TextOf(fs::sys::PathOf(file).extension());
        if (extension.size() > 1) {
            if (std::optional<std::string> key = doc.FileNames().ToSjis(extension.substr(1))) {
                const std::string correction = doc.Profile().GetString("File Address Correction", *key);
                if (!correction.empty()) input.addressCorrection = text::ReadHex(correction);
            }
        }
    }
    bool errors = false, warnings = false;
    for (const sets::SetProblem& problem : sets::CheckSet(input)) {
        result.out += sets::DescribeProblem(problem, SjisToUtf8) + "\n";
        (problem.severity == sets::Severity::Error ? errors : warnings) = true;
    }
    result.status = errors ? 2 : warnings ? 1 : 0;
    return result;
}

}  // namespace zok2
