#pragma once
// A file handle with positioned reads and writes. It opens regular files only:
// a folder, a FIFO or a device is refused at once (the open never blocks), so
// no reader can wait forever or read without bound. Every failure keeps the
// system's reason for the user's message.
#include <cstddef>
#include <cstdint>
#include <string>

namespace zok2::fs {

// What tells one state of a file from another: the file itself (device and
// inode), its size and its modification time.
struct FileIdentity {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool SameFile(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file at path (links followed); false when there is none.
bool IdentityOf(const std::string& path, FileIdentity* identity);

class File {
public:
    enum class Mode { Read, Update };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing regular file. Update also requires that the permission
    // bits let the user write it (so a write-protected file stays untouched even
    // for a user the system lets write anything).
    bool Open(const std::string& path, Mode mode);
    // A second handle on the file another handle has open (the same file even if
    // its name has changed meanwhile), for reads from another thread.
    bool OpenSame(const File& other);
    // The identity of the open file now.
    bool Identity(FileIdentity* identity) const;
    bool IsOpen() const { return m_fd >= 0; }
    // The size at the open; reads never go past it.
    std::int64_t Size() const { return m_size; }
    // Reads up to n bytes at offset; the count read, or -1 on an error.
    std::int64_t ReadAt(std::int64_t offset, void* buffer, std::size_t n);
    bool WriteAt(std::int64_t offset, const void* buffer, std::size_t n);
    // Flushes what was written to the disk.
    bool Sync();
    bool Close();
    // The system's descriptor, for copies that the system does itself.
    int Descriptor() const { return m_fd; }
    // The system's reason for the last failure ("Permission denied").
    const std::string& Reason() const { return m_reason; }

private:
    bool Fail(int error);

    int m_fd = -1;
    std::int64_t m_size = 0;
    std::string m_reason;
};

// The system's text for an error number.
std::string ReasonText(int error);

// Writes all n bytes at offset of an open descriptor (the position of the
// descriptor is not used, so threads sharing a file do not disturb each other).
bool WriteAllAt(int descriptor, std::int64_t offset, const void* buffer, std::size_t n, std::string* reason);
// Reads up to n bytes at offset; the count read (short only at the end of the file), or -1.
std::int64_t ReadAllAt(int descriptor, std::int64_t offset, void* buffer, std::size_t n, std::string* reason);

// For tests: while set (>= 0), a write that would reach past that many bytes of
// a file writes up to there and fails as a file too large does, whoever the
// user is; -1 clears it. Copies made by the system are made by hand meanwhile.
void SetWriteLimitForTests(std::int64_t bytes);
std::int64_t WriteLimitForTests();
// For tests: while set, flushing a file after it took its new name fails.
void SetFlushAfterRenameFailsForTests(bool fails);
bool FlushAfterRenameFailsForTests();

}  // namespace zok2::fs
