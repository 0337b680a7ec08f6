#include "framework/File.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "framework/Permissions.h"

namespace zok2::fs {

std::string ReasonText(int error) { return std::strerror(error); }

namespace {

FileIdentity IdentityFromStat(const struct stat& st)
{
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
#if defined(_WIN32)
    identity.modifiedNs = static_cast<std::int64_t>(st.st_mtime) * 1000000000;
#elif defined(__APPLE__)
    identity.modifiedNs = static_cast<std::int64_t>(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
    identity.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    return identity;
}

}  // namespace

bool IdentityOf(const std::string& path, FileIdentity* identity)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *identity = IdentityFromStat(st);
    return true;
}

bool File::Identity(FileIdentity* identity) const
{
    struct stat st{};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return false;
    *identity = IdentityFromStat(st);
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
#ifdef _WIN32
    int flags = (mode == Mode::Update ? _O_RDWR : _O_RDONLY) | _O_BINARY;
    m_fd = _open(path.c_str(), flags);
#else
    // Non-blocking, so that opening a FIFO returns at once; regular files ignore the flag.
    int flags = (mode == Mode::Update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    m_fd = ::open(path.c_str(), flags);
#endif
    if (m_fd < 0) return Fail(errno);
    struct stat st{};
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        Close();
        return Fail(error);
    }
    if (!S_ISREG(st.st_mode)) {
        Close();
        return Fail(S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
    }
    if (mode == Mode::Update && !BitsAllowWriting(st)) {
        Close();
        return Fail(EACCES);
    }
    m_size = static_cast<std::int64_t>(st.st_size);
    return true;
}

std::int64_t File::ReadAt(std::int64_t offset, void* buffer, std::size_t n)
{
    if (m_fd < 0 || offset < 0) return -1;
    std::size_t done = 0;
    while (done < n) {
#ifdef _WIN32
        if (_lseeki64(m_fd, offset + static_cast<std::int64_t>(done), SEEK_SET) < 0) return -1;
        const int got = _read(m_fd, static_cast<char*>(buffer) + done, static_cast<unsigned>(n - done));
#else
        const ssize_t got = ::pread(m_fd, static_cast<char*>(buffer) + done, n - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
#endif
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

bool File::WriteAt(std::int64_t offset, const void* buffer, std::size_t n)
{
    if (m_fd < 0 || offset < 0) return Fail(EBADF);
    std::size_t done = 0;
    while (done < n) {
#ifdef _WIN32
        if (_lseeki64(m_fd, offset + static_cast<std::int64_t>(done), SEEK_SET) < 0) return Fail(errno);
        const int put = _write(m_fd, static_cast<const char*>(buffer) + done, static_cast<unsigned>(n - done));
#else
        const ssize_t put = ::pwrite(m_fd, static_cast<const char*>(buffer) + done, n - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
#endif
        if (put < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        if (put == 0) return Fail(EIO);
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool File::Sync()
{
    if (m_fd < 0) return Fail(EBADF);
#ifdef _WIN32
    if (_commit(m_fd) != 0) return Fail(errno);
#else
    if (::fsync(m_fd) != 0) return Fail(errno);
#endif
    return true;
}

bool File::OpenSame(const File& other)
{
    Close();
    m_reason.clear();
    if (other.m_fd < 0) return Fail(EBADF);
#ifdef _WIN32
    m_fd = _dup(other.m_fd);
#else
    m_fd = ::fcntl(other.m_fd, F_DUPFD_CLOEXEC, 0);
#endif
    if (m_fd < 0) return Fail(errno);
    m_size = other.m_size;
    return true;
}

bool File::Close()
{
    if (m_fd < 0) return true;
#ifdef _WIN32
    const int result = _close(m_fd);
#else
    const int result = ::close(m_fd);
#endif
    m_fd = -1;
    m_size = 0;
    return result == 0 || Fail(errno);
}

}  // namespace zok2::fs
