#pragma once
// A patch applied into a file on disk: the result is written beside the output
// into a replacement file (a BPS result streamed, so memory stays bounded
// whatever size the patch claims) and takes the output's place only when it
// checked out whole. What would stop the write is checked before anything is
// made: the patch, whether the output may be replaced, the free space.
#include <functional>
#include <string>
#include <string_view>

#include "framework/FileSystem.h"

#include "patch/Patches.h"

namespace zok2::patch {

struct FileApplyResult {
    enum class Failure {
        None,
        Patch,      // the patch is damaged or made for another file: `reason`
        File,       // `path` could not be written: the system's `reason`
        Backup,     // the ".bak" at `path` could not be made
        Cancelled,  // the progress said stop
    };
    Failure failure = Failure::None;
    std::string path, reason;
    bool Succeeded() const { return failure == Failure::None; }
};

// Applies `patch` to `source` (the input file's bytes) into the file at `out`.
// With `backup`, an existing `out` is first copied to `out` + ".bak" (only once
// the result is complete, so a refused patch leaves no new ".bak").
// Called with the whole result (its `size` bytes) before the ".bak" is made and
// it takes the output's place: it may read and overwrite the result's bytes;
// false stops the apply with its reason, nothing replaced.
using ResultFinish = std::function<bool(fs::ReplacementFile& result, std::int64_t size, std::string* reason)>;
FileApplyResult ApplyPatchToFile(std::string_view patch, std::string_view source, const std::string& out, bool backup,
                                 const PatchProgress& progress = {}, const ResultFinish& finish = {});

}  // namespace zok2::patch
