#pragma once
// Small file helpers on the standard library. Paths are the file system's
// own names (UTF-8 here); nothing in this file throws.
#include <cstdint>
#include <string>
#include <vector>

namespace zok2::fs {

// Whole file into `out`; false when it cannot be opened or read.
bool ReadFile(const std::string& path, std::string& out);
// Writes `content` to a temporary file beside `path`, then replaces `path` with it,
// so a failure half-way never loses the old file. `error` receives a reason.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* error = nullptr);
// Copies `from` to `to` through a temporary file beside `to` (replacing `to`).
bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* error = nullptr);
bool Exists(const std::string& path);
bool IsRegularFile(const std::string& path);
// Size of a regular file, or -1.
std::int64_t FileSize(const std::string& path);
// Same file on disk (after resolving links); false when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

// Names (not paths) of the regular files in `folder` whose name ends with
// `extension` compared without regard to case, sorted case-insensitively.
std::vector<std::string> FindFilesWithExtension(const std::string& folder, const std::string& extension);
// Names of the sub-folders of `folder`, sorted case-insensitively.
std::vector<std::string> FindSubFolders(const std::string& folder);
// The name of the entry in `folder` that equals `name` without regard to case;
// `name` itself when the exact name exists or none matches.
std::string ResolveNameNoCase(const std::string& folder, const std::string& name);

}  // namespace zok2::fs
