#include "patch/PatchFile.h"

#include "framework/FileSystem.h"
#include "text/SjisText.h"

namespace zok2::patch {

namespace {

// The replacement file as a patch's target; remembers whether it failed, so a
// file error is told from a damaged patch.
class ReplacementTarget : public PatchTarget {
public:
    explicit ReplacementTarget(fs::ReplacementFile& file) : m_file(file) {}
    bool Write(std::string_view bytes, std::string* reason) override { return Check(m_file.Write(bytes), reason); }
    bool ReadBack(std::uint64_t offset, char* out, std::size_t n, std::string* reason) override
    {
        return Check(m_file.ReadAt(static_cast<std::int64_t>(offset), out, n), reason);
    }
    bool Failed() const { return m_failed; }

private:
    bool Check(bool done, std::string* reason)
    {
        if (!done) {
            m_failed = true;
            if (reason) *reason = m_file.Reason();
        }
        return done;
    }
    fs::ReplacementFile& m_file;
    bool m_failed = false;
};

FileApplyResult Failed(FileApplyResult::Failure failure, const std::string& path, const std::string& reason)
{
    FileApplyResult result;
    result.failure = failure;
    result.path = path;
    result.reason = reason;
    return result;
}

}  // namespace

FileApplyResult ApplyPatchToFile(std::string_view patch, std::string_view source, const std::string& out, bool backup, const PatchProgress& progress,
                                 const ResultFinish& finish)
{
    using Failure = FileApplyResult::Failure;
    std::string reason;
    // The patch first: a damaged one stops everything before a file is touched.
    std::string ipsResult;
    std::uint64_t size = 0;
    const PatchFormat format = FormatOf(patch);
    if (format == PatchFormat::Bps) {
        BpsHeader header;
        if (!CheckPatch(patch, source, &reason) || !ReadBpsHeader(patch, &header, &reason)) return Failed(Failure::Patch, std::string(), reason);
        size = header.targetSize;
    } else {
        if (!ApplyPatch(patch, source, &ipsResult, &reason)) return Failed(Failure::Patch, std::string(), reason);
        size = ipsResult.size();
    }
    // Then what a save checks: the output may be replaced, and its disk has room.
    const std::string target = fs::LinkTarget(out);
    const bool exists = fs::Exists(target);
    if (exists && !fs::CanWrite(target, &reason)) return Failed(Failure::File, out, reason);
    const std::int64_t available = fs::AvailableSpace(target);
    if (available >= 0 && size > static_cast<std::uint64_t>(available)) {
        return Failed(Failure::File, out,
                      "not enough free space: the result needs " + text::FormatDec(static_cast<std::int64_t>(size)) + " bytes, " +
                          text::FormatDec(available) + " are free");
    }
    fs::RemoveLeftoverTemporaries(target);
    fs::ReplacementFile file(target);
    if (!file.IsCreated()) return Failed(Failure::File, out, file.Reason());
    if (format == PatchFormat::Bps) {
        ReplacementTarget sink(file);
        bool cancelled = false;
        const PatchProgress watch = [&](std::uint64_t done, std::uint64_t total) {
            cancelled = progress && !progress(done, total);
            return !cancelled;
        };
        if (!ApplyBps(patch, source, sink, &reason, watch)) {
            if (cancelled) return Failed(Failure::Cancelled, out, reason);
            return Failed(sink.Failed() ? Failure::File : Failure::Patch, sink.Failed() ? out : std::string(), reason);
        }
    } else if (!file.Write(ipsResult)) {
        return Failed(Failure::File, out, file.Reason());
    }
    if (finish && !finish(file, static_cast<std::int64_t>(size), &reason)) return Failed(Failure::File, out, reason);
    // The result is whole: now the old file is kept, then replaced.
    if (backup && exists && !fs::CopyFileReplacing(target, out + ".bak", &reason, fs::Leftovers::Keep)) {
        return Failed(Failure::Backup, out + ".bak", reason);
    }
    if (!file.Commit(fs::ModeForReplacing(target))) return Failed(Failure::File, out, file.Reason());
    return FileApplyResult{};
}

}  // namespace zok2::patch
