#pragma once
// File helpers for the user's files. Paths are the file system's own names
// (UTF-8 here); nothing here throws. Rules every writer follows:
// - only regular files are read or written, and nothing blocks;
// - a symbolic link is written through: its target is replaced, the link stays;
// - write protection is honoured from the permission bits as well as from the
//   system, so it holds for a user the system lets write anything;
// - temporary files get a short name of their own beside the target, are
//   flushed to the disk before they replace it, and are removed on failure;
// - a failure gives the system's reason ("Permission denied").
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zok2::fs {

class File;

enum class EntryKind { Missing, Regular, Folder, Other };

// What path names, links followed.
EntryKind KindOf(const std::string& path);
bool Exists(const std::string& path);
bool IsRegularFile(const std::string& path);
bool IsFolder(const std::string& path);
// Size of a regular file, or -1.
std::int64_t FileSize(const std::string& path);
// The path made absolute against the working folder, without "." parts (links
// are not resolved, so ".." stays); "" stays "".
std::string AbsolutePath(const std::string& path);
// Same file on disk (after resolving links); false when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

// Whole regular file into `out`; false (with the reason) otherwise.
bool ReadFile(const std::string& path, std::string& out, std::string* reason = nullptr);

// Whether the user may write the existing regular file at path (links followed).
bool CanWrite(const std::string& path, std::string* reason = nullptr);
// The file path finally names: every symbolic link resolved. A path that is no
// link, or whose link leads nowhere yet, is returned as far as it resolves.
std::string LinkTarget(const std::string& path);

// A new file that will replace `target` (through links): created empty with a
// short name beside the target, removed again unless committed.
class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool IsCreated() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    const std::string& Reason() const { return m_reason; }
    bool Write(std::string_view bytes);
    // Bytes already written, [offset, offset + n).
    bool ReadAt(std::int64_t offset, char* out, std::size_t n);
    // Bytes already written overwritten in place; all of them lie in what was written.
    bool WriteAt(std::int64_t offset, std::string_view bytes);
    // Copies the content of `from` into the file (data regions only: the holes
    // of a sparse file stay holes; where the file system shares blocks, it shares them).
    bool CopyFrom(const std::string& from);
    bool CopyFrom(const File& from);
    // Makes the file `size` bytes long (new bytes read as 0).
    bool Resize(std::int64_t size);
    // Flushes the file, gives it `mode` (permission bits), renames it over the
    // target and flushes the folder. False leaves the target as it was.
    bool Commit(unsigned mode);

private:
    bool Fail(const std::string& reason);

    std::string m_target;  // links resolved
    std::string m_path;
    std::string m_reason;
    int m_fd = -1;
    std::int64_t m_written = 0;  // where the next Write goes
};

// Whether a writer first removes the leftovers of interrupted saves in the
// target's folder; a save that writes many files there removes them once itself.
enum class Leftovers { Remove, Keep };
// Replaces the file at path with `content`. An existing target must be writable.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* reason = nullptr,
                         Leftovers leftovers = Leftovers::Remove);
// Copies `from` over `to` (through a replacement file). An existing `to` must be
// writable. The copy gets the permissions of `from` with the owner's write bit added.
bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* reason = nullptr,
                       Leftovers leftovers = Leftovers::Remove);
// Bytes free for this user on the file system that holds `path` (or, when it
// does not exist yet, its folder); -1 when the system cannot tell.
std::int64_t AvailableSpace(const std::string& path);
// The permission bits a new file gets, or the existing file's at path.
unsigned ModeForReplacing(const std::string& path);
// Permission bits of an existing file (links followed), or `fallback`.
unsigned PermissionsOf(const std::string& path, unsigned fallback);
constexpr unsigned kOwnerWrite = 0200;
// Removes replacement files that an interrupted save left in the folder of path.
// A replacement file holds a lock while its save runs, so saves running side by
// side (other windows, zok2-cli, batch jobs) keep theirs.
void RemoveLeftoverTemporaries(const std::string& path);

// Names (not paths) of the regular files in `folder` whose name ends with
// `extension` compared without regard to case, sorted case-insensitively.
std::vector<std::string> FindFilesWithExtension(const std::string& folder, const std::string& extension);
// Names of the sub-folders of `folder`, sorted case-insensitively.
std::vector<std::string> FindSubFolders(const std::string& folder);

// The entries of one folder, listed once, to find a file by name without
// regard to case (sets made on Windows spell names as they like).
class FolderIndex {
public:
    FolderIndex() = default;
    explicit FolderIndex(const std::string& folder);
    // `name` itself when it exists or nothing matches; otherwise the entry that
    // equals it without regard to case (the first in byte order).
    std::string Resolve(const std::string& name) const;
    // The regular files whose names end in `extension` without regard to case,
    // sorted as FindFilesWithExtension sorts them.
    std::vector<std::string> FilesWithExtension(const std::string& extension) const;

private:
    std::vector<std::string> m_files;  // regular files, sorted
    std::unordered_set<std::string> m_names;
    std::unordered_map<std::string, std::string> m_byFolded;  // folded name -> entry
};

}  // namespace zok2::fs
