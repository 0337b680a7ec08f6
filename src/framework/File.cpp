#include "framework/File.h"

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "framework/System.h"

namespace zok2::fs {

namespace {
std::atomic<std::int64_t> g_writeLimit{-1};
std::atomic<bool> g_flushAfterRenameFails{false};
}  // namespace

std::string ReasonText(int error) { return sys::ErrnoText(error); }

void SetWriteLimitForTests(std::int64_t bytes) { g_writeLimit = bytes; }
std::int64_t WriteLimitForTests() { return g_writeLimit; }
void SetFlushAfterRenameFailsForTests(bool fails) { g_flushAfterRenameFails = fails; }
bool FlushAfterRenameFailsForTests() { return g_flushAfterRenameFails; }

bool IdentityOf(const std::string& path, FileIdentity* identity)
{
    sys::Status status;
    if (!sys::StatPath(path, &status) || !status.regular) return false;
    *identity = status.identity;
    return true;
}

bool WriteAllAt(int descriptor, std::int64_t offset, const void* buffer, std::size_t n, std::string* reason)
{
    std::size_t allowed = n;
    const std::int64_t limit = g_writeLimit;
    if (limit >= 0) allowed = static_cast<std::size_t>(std::clamp<std::int64_t>(limit - offset, 0, static_cast<std::int64_t>(n)));
    std::size_t done = 0;
    while (done < allowed) {
        const std::int64_t put = sys::WriteAt(descriptor, offset + static_cast<std::int64_t>(done), static_cast<const char*>(buffer) + done,
                                              allowed - done, reason);
        if (put < 0) return false;
        if (put == 0) {
            if (reason) *reason = ReasonText(EIO);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    if (allowed < n) {
        if (reason) *reason = ReasonText(EFBIG);
        return false;
    }
    return true;
}

std::int64_t ReadAllAt(int descriptor, std::int64_t offset, void* buffer, std::size_t n, std::string* reason)
{
    if (descriptor < 0 || offset < 0) return -1;
    std::size_t done = 0;
    while (done < n) {
        const std::int64_t got = sys::ReadAt(descriptor, offset + static_cast<std::int64_t>(done), static_cast<char*>(buffer) + done,
                                             n - done, reason);
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

bool File::Identity(FileIdentity* identity) const
{
    sys::Status status;
    if (m_fd < 0 || !sys::StatDescriptor(m_fd, &status)) return false;
    *identity = status.identity;
    return true;
}

File::~File() { Close(); }

bool File::Fail(int error)
{
    m_reason = ReasonText(error);
    return false;
}

bool File::Open(const std::string& path, Mode mode)
{
    Close();
    m_reason.clear();
    m_fd = sys::OpenExisting(path, mode == Mode::Update, &m_reason);
    if (m_fd < 0) return false;
    sys::Status status;
    if (!sys::StatDescriptor(m_fd, &status, &m_reason)) {
        Close();
        return false;
    }
    if (!status.regular) {
        Close();
        return Fail(status.folder ? EISDIR : ENODEV);
    }
    if (mode == Mode::Update && !status.writeBitsAllow) {
        Close();
        return Fail(EACCES);
    }
    m_size = status.size;
    return true;
}

std::int64_t File::ReadAt(std::int64_t offset, void* buffer, std::size_t n) { return ReadAllAt(m_fd, offset, buffer, n, &m_reason); }

bool File::WriteAt(std::int64_t offset, const void* buffer, std::size_t n)
{
    if (m_fd < 0 || offset < 0) return Fail(EBADF);
    return WriteAllAt(m_fd, offset, buffer, n, &m_reason);
}

bool File::Sync()
{
    if (m_fd < 0) return Fail(EBADF);
    return sys::Flush(m_fd, &m_reason);
}

bool File::OpenSame(const File& other)
{
    Close();
    m_reason.clear();
    if (other.m_fd < 0) return Fail(EBADF);
    // Reads are positioned, so the copy may share the original's file position.
    m_fd = sys::Duplicate(other.m_fd, &m_reason);
    if (m_fd < 0) return false;
    m_size = other.m_size;
    return true;
}

bool File::Close()
{
    if (m_fd < 0) return true;
    const int descriptor = m_fd;
    m_fd = -1;
    m_size = 0;
    return sys::Close(descriptor, &m_reason);
}

}  // namespace zok2::fs
