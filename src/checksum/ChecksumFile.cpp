#include "checksum/ChecksumFile.h"

#include "framework/File.h"
#include "framework/FileSystem.h"

namespace zok2::checksum {

SetRules ReadSetRules(const std::string& folder, std::uint32_t correction)
{
    SetRules set;
    set.path = folder + kRulesFile;
    if (!fs::Exists(set.path)) return set;
    set.present = true;
    std::string text;
    if (!fs::ReadFile(set.path, text, &set.readProblem)) {
        if (set.readProblem.empty()) set.readProblem = "cannot be read";
        return set;
    }
    set.rules = ReadRules(text, correction);
    return set;
}

std::vector<Outcome> ComputeFile(const std::string& path, const std::vector<Rule>& rules, std::string* reason)
{
    fs::File file;
    if (!file.Open(path, fs::File::Mode::Read)) {
        if (reason) *reason = file.Reason();
        return {};
    }
    return Compute(rules, file.Size(), [&file](std::int64_t offset, char* buffer, std::size_t count) { return file.ReadAt(offset, buffer, count); });
}

bool FixFile(const std::string& path, const std::vector<Outcome>& outcomes, std::string* reason)
{
    bool differs = false;
    for (const Outcome& o : outcomes) differs = differs || !o.writes.empty();
    if (!differs) return true;
    std::string why;
    if (!fs::CanWrite(path, &why) || !fs::CopyFileReplacing(path, path + ".bak", &why)) {
        if (reason) *reason = why;
        return false;
    }
#ifdef _WIN32
    // Windows refuses to replace a file another handle holds (the command's
    // document holds it): the checksums are written in place, after the backup.
    fs::File file;
    bool written = file.Open(path, fs::File::Mode::Update);
    for (const Outcome& o : outcomes) {
        for (const Outcome::Write& w : o.writes) written = written && file.WriteAt(w.offset, w.bytes.data(), w.bytes.size());
    }
    written = written && file.Sync() && file.Close();
    if (!written && reason) *reason = file.Reason();
    return written;
#else
    fs::ReplacementFile copy(path);
    bool ok = copy.IsCreated() && copy.CopyFrom(path);
    if (ok) {
        fs::File patched;
        ok = patched.Open(copy.Path(), fs::File::Mode::Update);
        for (const Outcome& o : outcomes) {
            for (const Outcome::Write& w : o.writes) ok = ok && patched.WriteAt(w.offset, w.bytes.data(), w.bytes.size());
        }
        ok = ok && patched.Sync();
        if (!ok && why.empty()) why = patched.Reason();
        patched.Close();
    } else {
        why = copy.Reason();
    }
    if (ok && !copy.Commit(fs::PermissionsOf(path, 0644))) {
        ok = false;
        why = copy.Reason();
    }
    if (!ok && reason) *reason = why;
    return ok;
#endif
}

}  // namespace zok2::checksum
