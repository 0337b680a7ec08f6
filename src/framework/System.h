#pragma once
// The calls this folder makes of the operating system, one place each, for
// POSIX and for Windows side by side. Paths are UTF-8 on Windows (converted to
// the wide calls here) and the system's bytes elsewhere. Descriptors are the C
// runtime's. Every failure gives the system's reason as the user reads it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "framework/File.h"

namespace zok2::fs::sys {

// A path for std::filesystem, and back (UTF-8 on Windows, where the narrow
// forms would use the ANSI code page).
std::filesystem::path PathOf(const std::string& path);
std::string TextOf(const std::filesystem::path& path);

struct Status {
    bool regular = false, folder = false;
    std::int64_t size = 0;
    unsigned mode = 0;              // permission bits (Windows: 0444 or 0666 from the read-only attribute)
    bool writeBitsAllow = false;    // the bits (or the read-only attribute) let this user write
    FileIdentity identity;
};
// Links followed. False when there is no entry (reason: the system's).
bool StatPath(const std::string& path, Status* status, std::string* reason = nullptr);
bool StatDescriptor(int descriptor, Status* status, std::string* reason = nullptr);

// An existing entry opened for reading (or reading and writing); -1 with the
// reason otherwise. A folder reads "Is a directory" everywhere.
int OpenExisting(const std::string& path, bool update, std::string* reason);
// A new file only this user may read and write; -1 when the name exists or fails.
int CreateExclusive(const std::string& path, std::string* reason);
int Duplicate(int descriptor, std::string* reason);
// One positioned read or write (short counts possible); -1 with the reason.
// Neither uses nor depends on the descriptor's position.
std::int64_t ReadAt(int descriptor, std::int64_t offset, void* buffer, std::size_t n, std::string* reason);
std::int64_t WriteAt(int descriptor, std::int64_t offset, const void* buffer, std::size_t n, std::string* reason);
bool Flush(int descriptor, std::string* reason);
bool Resize(int descriptor, std::int64_t size, std::string* reason);
bool Close(int descriptor, std::string* reason);
// Permission bits of an open file (Windows: the read-only attribute when the
// owner may not write), applied before the file takes its final name.
bool SetMode(int descriptor, const std::string& path, unsigned mode, std::string* reason);

// `from` takes the name `to` at once, replacing a file there; flushed through
// to the disk where the system offers it.
bool Replace(const std::string& from, const std::string& to, std::string* reason);
// The same for the file open at `descriptor` (made by CreateExclusive), renamed
// while still open, so no one can take it between its last write and its new name.
bool ReplaceOpen(int descriptor, const std::string& from, const std::string& to, std::string* reason);
bool Remove(const std::string& path);
// Makes what was renamed in the folder durable (nothing to do on Windows).
void SyncFolder(const std::string& folder);
// Whether this user may write the existing file: the system is asked (Windows:
// the file is opened for writing and closed, which access lists decide).
bool MayWrite(const std::string& path, std::string* reason);
// Whether new files may be made in the folder (Windows: a file is made and removed).
bool FolderMayBeWritten(const std::string& folder);
// The path the file finally has: every link (Windows: also junction) resolved.
// A path that does not exist is returned as it is.
std::string FinalPath(const std::string& path);
// Permission bits new files get (the process's umask applied).
unsigned DefaultMode();

// An environment variable as UTF-8 ("" when unset). On Windows the wide
// environment is read: the narrow one holds the ANSI code page's guesses.
std::string EnvironmentVariable(const char* name);

// The regions of a sparse file that hold data (offset, end), in order; false
// when the file is not sparse or the system cannot say (copy it whole then).
bool DataRegions(int descriptor, std::int64_t size, std::vector<std::pair<std::int64_t, std::int64_t>>* regions);
// Marks a new file sparse, so the regions not written stay holes (Windows;
// elsewhere every file may have holes).
bool MarkSparse(int descriptor);

// A character that separates a path's parts ("/"; on Windows "\\" too).
bool IsSeparator(char c);

// The system's text for a C runtime error number.
std::string ErrnoText(int error);

}  // namespace zok2::fs::sys
