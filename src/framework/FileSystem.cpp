#include "framework/FileSystem.h"

#include <fcntl.h>
#ifndef _WIN32
#include <sys/file.h>
#endif
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#ifndef _WIN32
#include <unistd.h>
#endif
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include "framework/File.h"
#include "framework/Permissions.h"
#include "text/SjisText.h"

namespace zok2::fs {

namespace stdfs = std::filesystem;

namespace {

constexpr const char* kTemporaryPrefix = ".zok2-tmp-";

bool SetReason(std::string* reason, const std::string& text)
{
    if (reason) *reason = text;
    return false;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void SyncFolder(const std::string& folder)
{
#ifndef _WIN32
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)folder;
#endif
}

unsigned DefaultMode()
{
#ifndef _WIN32
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
#else
    return 0666u;
#endif
}

}  // namespace

EntryKind KindOf(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return EntryKind::Missing;
    if (S_ISREG(st.st_mode)) return EntryKind::Regular;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

bool Exists(const std::string& path) { return KindOf(path) != EntryKind::Missing; }
bool IsRegularFile(const std::string& path) { return KindOf(path) == EntryKind::Regular; }
bool IsFolder(const std::string& path) { return KindOf(path) == EntryKind::Folder; }

std::int64_t FileSize(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::string AbsolutePath(const std::string& path)
{
    if (path.empty()) return path;
    std::error_code ec;
    const stdfs::path absolute = stdfs::absolute(path, ec);
    if (ec) return path;
    // "." parts go; ".." stays, since a link before it decides where it leads.
    stdfs::path folded;
    for (const stdfs::path& part : absolute) {
        if (part != ".") folded /= part;
    }
    return folded.string();
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    const bool same = stdfs::equivalent(a, b, ec);
    return !ec && same;
}

bool ReadFile(const std::string& path, std::string& out, std::string* reason)
{
    out.clear();
    File file;
    if (!file.Open(path, File::Mode::Read)) return SetReason(reason, file.Reason());
    out.resize(static_cast<std::size_t>(file.Size()));
    const std::int64_t got = file.ReadAt(0, out.data(), out.size());
    if (got < 0) {
        out.clear();
        return SetReason(reason, file.Reason());
    }
    out.resize(static_cast<std::size_t>(got));  // the file shrank meanwhile: keep what it holds
    return true;
}

bool CanWrite(const std::string& path, std::string* reason)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return SetReason(reason, ReasonText(errno));
    if (!S_ISREG(st.st_mode)) return SetReason(reason, ReasonText(S_ISDIR(st.st_mode) ? EISDIR : ENODEV));
    if (!BitsAllowWriting(st)) return SetReason(reason, ReasonText(EACCES));
#ifndef _WIN32
    if (::access(path.c_str(), W_OK) != 0) return SetReason(reason, ReasonText(errno));
#endif
    return true;
}

std::string LinkTarget(const std::string& path)
{
    stdfs::path p(path);
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!stdfs::is_symlink(p, ec)) break;
        const stdfs::path next = stdfs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.string();
}

unsigned PermissionsOf(const std::string& path, unsigned fallback)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return fallback;
    return static_cast<unsigned>(st.st_mode) & 07777u;
}

// ---- replacement files ----

namespace {

#ifndef _WIN32
// The path still names the file open at fd (no one removed or replaced it).
bool StillNames(const std::string& path, int fd)
{
    struct stat byName{}, byHandle{};
    return ::lstat(path.c_str(), &byName) == 0 && ::fstat(fd, &byHandle) == 0 && byName.st_dev == byHandle.st_dev &&
           byName.st_ino == byHandle.st_ino;
}
#endif

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) : m_target(LinkTarget(target))
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string pattern = FolderOf(m_target) + "/" + kTemporaryPrefix + "XXXXXX";
#ifndef _WIN32
        m_fd = ::mkstemp(pattern.data());
#else
        m_fd = _mktemp_s(pattern.data(), pattern.size() + 1) == 0 ? _open(pattern.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, 0600) : -1;
#endif
        if (m_fd < 0) {
            Fail(ReasonText(errno));
            return;
        }
#ifndef _WIN32
        // The lock tells other saves' clean-up that this file is in use. A clean-up
        // that came between the creation and the lock took the name: try another.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || !StillNames(pattern, m_fd)) {
            ::close(m_fd);
            m_fd = -1;
            continue;
        }
#endif
        m_path = pattern;
        return;
    }
    Fail(ReasonText(EEXIST));
}

ReplacementFile::~ReplacementFile()
{
    if (m_fd >= 0) ::close(m_fd);
    if (!m_path.empty()) std::remove(m_path.c_str());
}

bool ReplacementFile::Fail(const std::string& reason)
{
    m_reason = reason;
    return false;
}

bool ReplacementFile::Write(std::string_view bytes)
{
    if (m_fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto put = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return Fail(ReasonText(errno));
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool ReplacementFile::CopyFrom(const std::string& from)
{
    File in;
    if (!in.Open(from, File::Mode::Read)) return Fail(in.Reason());
    return CopyFrom(in);
}

namespace {

#ifdef __linux__
// Copies bytes [offset, end) of `in` to the same offsets of `out`, by the system
// where it can (without passing through this program's memory).
bool CopyRange(int in, int out, std::int64_t offset, std::int64_t end, std::string* reason)
{
#ifdef __linux__
    while (offset < end) {
        loff_t from = offset, to = offset;
        const ssize_t done = ::copy_file_range(in, &from, out, &to, static_cast<std::size_t>(end - offset), 0);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) break;  // not supported here (or the source shrank): the plain way below
        offset += done;
    }
#endif
    std::string buffer(std::size_t{1} << 20, '\0');
    while (offset < end) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(end - offset, static_cast<std::int64_t>(buffer.size())));
        const ssize_t got = ::pread(in, buffer.data(), want, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return SetReason(reason, ReasonText(errno));
        if (got == 0) return true;  // the source shrank meanwhile
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::pwrite(out, buffer.data() + put, static_cast<std::size_t>(got - put), static_cast<off_t>(offset + put));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return SetReason(reason, ReasonText(n < 0 ? errno : EIO));
            put += n;
        }
        offset += got;
    }
    return true;
}
#endif

}  // namespace

bool ReplacementFile::CopyFrom(const File& from)
{
    if (m_fd < 0) return false;
    const int in = from.Descriptor();
    struct stat st{};
    if (in < 0 || ::fstat(in, &st) != 0) return Fail(ReasonText(in < 0 ? EBADF : errno));
    const std::int64_t size = static_cast<std::int64_t>(st.st_size);
    std::string reason;
#ifdef __linux__
    // A file system that shares blocks makes the copy at once, holes and all.
    if (::ioctl(m_fd, FICLONE, in) == 0) return true;
    // Otherwise only the data regions are copied, so a sparse file keeps its holes.
    std::int64_t position = 0;
    while (position < size) {
        const off_t data = ::lseek(in, static_cast<off_t>(position), SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break;  // only a hole remains
            if (!CopyRange(in, m_fd, position, size, &reason)) return Fail(reason);
            break;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || hole > size) hole = static_cast<off_t>(size);
        if (!CopyRange(in, m_fd, data, hole, &reason)) return Fail(reason);
        position = hole;
    }
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0) return Fail(ReasonText(errno));
    return true;
#else
    File source;
    if (!source.OpenSame(from)) return Fail(source.Reason());
    std::string buffer(std::size_t{1} << 20, '\0');
    for (std::int64_t offset = 0; offset < size;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(size - offset, static_cast<std::int64_t>(buffer.size())));
        const std::int64_t got = source.ReadAt(offset, buffer.data(), want);
        if (got < 0) return Fail(source.Reason());
        if (got == 0) break;  // the source shrank meanwhile
        if (!Write(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) return false;
        offset += got;
    }
    (void)reason;
    return true;
#endif
}

bool ReplacementFile::Resize(std::int64_t size)
{
    if (m_fd < 0) return false;
#ifndef _WIN32
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0) return Fail(ReasonText(errno));
#else
    if (_chsize_s(m_fd, size) != 0) return Fail(ReasonText(errno));
#endif
    return true;
}

bool ReplacementFile::Commit(unsigned mode)
{
    if (m_fd < 0) return false;
#ifndef _WIN32
    if (::fchmod(m_fd, static_cast<mode_t>(mode)) != 0) return Fail(ReasonText(errno));
    if (::fsync(m_fd) != 0) return Fail(ReasonText(errno));
    // Renamed while still open and locked, so no other save's clean-up can take
    // the file between the last write and the rename.
    if (std::rename(m_path.c_str(), m_target.c_str()) != 0) return Fail(ReasonText(errno));
    m_path.clear();
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0) return Fail(ReasonText(errno));
#else
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0) return Fail(ReasonText(errno));
    if (std::rename(m_path.c_str(), m_target.c_str()) != 0) return Fail(ReasonText(errno));
    m_path.clear();
#endif
    SyncFolder(FolderOf(m_target));
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* reason, Leftovers leftovers)
{
    const std::string target = LinkTarget(path);
    const bool exists = Exists(target);
    if (exists && !CanWrite(target, reason)) return false;
    if (leftovers == Leftovers::Remove) RemoveLeftoverTemporaries(target);
    ReplacementFile file(target);
    if (!file.IsCreated() || !file.Write(content) || !file.Commit(exists ? PermissionsOf(target, DefaultMode()) : DefaultMode())) {
        return SetReason(reason, file.Reason());
    }
    return true;
}

bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* reason, Leftovers leftovers)
{
    const std::string target = LinkTarget(to);
    if (Exists(target) && !CanWrite(target, reason)) return false;
    if (leftovers == Leftovers::Remove) RemoveLeftoverTemporaries(target);
    ReplacementFile file(target);
    if (!file.IsCreated() || !file.CopyFrom(from) || !file.Commit(PermissionsOf(from, DefaultMode()) | kOwnerWrite)) {
        return SetReason(reason, file.Reason());
    }
    return true;
}

void RemoveLeftoverTemporaries(const std::string& path)
{
    const std::string prefix = kTemporaryPrefix;
    std::error_code ec;
    stdfs::directory_iterator it(FolderOf(LinkTarget(path)), ec);
    std::vector<stdfs::path> leftovers;
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 && it->is_regular_file(ec)) {
            leftovers.push_back(it->path());
        }
    }
    for (const auto& leftover : leftovers) {
#ifndef _WIN32
        // Only a file no running save holds: its lock is free, and the name still names it.
        const int fd = ::open(leftover.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNames(leftover.string(), fd)) ::unlink(leftover.c_str());
        ::close(fd);
#else
        stdfs::remove(leftover, ec);  // a file open in another save cannot be removed here
#endif
    }
}

// ---- folder listings ----

namespace {

bool LessNoCase(const std::string& a, const std::string& b)
{
    const int c = text::CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

template <typename Accept>
std::vector<std::string> ListFolder(const std::string& folder, Accept accept)
{
    std::vector<std::string> names;
    std::error_code ec;
    stdfs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        if (accept(*it)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

bool EndsWithNoCase(const std::string& name, const std::string& extension)
{
    return name.size() >= extension.size() && text::CompareNoCase(std::string_view(name).substr(name.size() - extension.size()), extension) == 0;
}

}  // namespace

std::vector<std::string> FindFilesWithExtension(const std::string& folder, const std::string& extension)
{
    return FolderIndex(folder).FilesWithExtension(extension);
}

std::vector<std::string> FindSubFolders(const std::string& folder)
{
    return ListFolder(folder, [](const stdfs::directory_entry& entry) {
        std::error_code ec;
        return entry.is_directory(ec);
    });
}

FolderIndex::FolderIndex(const std::string& folder)
{
    std::error_code ec;
    stdfs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code kind;
        if (it->is_regular_file(kind)) m_files.push_back(name);
        auto [entry, added] = m_byFolded.emplace(text::ToUpperAscii(name), name);
        if (!added && name < entry->second) entry->second = name;
        m_names.insert(std::move(name));
    }
    std::sort(m_files.begin(), m_files.end(), LessNoCase);
}

std::vector<std::string> FolderIndex::FilesWithExtension(const std::string& extension) const
{
    std::vector<std::string> found;
    for (const std::string& name : m_files) {
        if (EndsWithNoCase(name, extension)) found.push_back(name);
    }
    return found;
}

std::string FolderIndex::Resolve(const std::string& name) const
{
    if (m_names.count(name)) return name;
    auto folded = m_byFolded.find(text::ToUpperAscii(name));
    return folded == m_byFolded.end() ? name : folded->second;
}

}  // namespace zok2::fs
