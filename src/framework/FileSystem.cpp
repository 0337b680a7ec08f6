#include "framework/FileSystem.h"

#include <fcntl.h>
#ifndef _WIN32
#include <sys/file.h>
#endif
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <random>
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
#include "framework/System.h"
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

// The folder a file lies in, to make its temporary beside it: "a/b" for
// "a/b/c"; on Windows also "C:\\d" for "C:\\d\\f", "C:\\" for "C:\\f" and
// "C:" (that drive's current folder) for "C:f".
std::string FolderOf(const std::string& path)
{
    std::size_t root = 0;
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') root = 2;
#endif
    std::size_t slash = std::string::npos;
    for (std::size_t i = root; i < path.size(); ++i) {
        if (sys::IsSeparator(path[i])) slash = i;
    }
    if (slash == std::string::npos) return root ? path.substr(0, root) : std::string(".");
    return slash == root ? path.substr(0, root + 1) : path.substr(0, slash);
}

// The path of `name` inside `folder` (as FolderOf gives it).
std::string InFolder(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && (sys::IsSeparator(folder.back()) || (folder.size() == 2 && folder[1] == ':'))) return folder + name;
    return folder + "/" + name;
}

}  // namespace

EntryKind KindOf(const std::string& path)
{
    sys::Status status;
    if (!sys::StatPath(path, &status)) return EntryKind::Missing;
    if (status.regular) return EntryKind::Regular;
    if (status.folder) return EntryKind::Folder;
    return EntryKind::Other;
}

bool Exists(const std::string& path) { return KindOf(path) != EntryKind::Missing; }
bool IsRegularFile(const std::string& path) { return KindOf(path) == EntryKind::Regular; }
bool IsFolder(const std::string& path) { return KindOf(path) == EntryKind::Folder; }

std::int64_t FileSize(const std::string& path)
{
    sys::Status status;
    if (!sys::StatPath(path, &status) || !status.regular) return -1;
    return status.size;
}

std::string AbsolutePath(const std::string& path)
{
    if (path.empty()) return path;
    std::error_code ec;
    const stdfs::path absolute = stdfs::absolute(sys::PathOf(path), ec);
    if (ec) return path;
    // "." parts go; ".." stays, since a link before it decides where it leads.
    stdfs::path folded;
    for (const stdfs::path& part : absolute) {
        if (part != ".") folded /= part;
    }
    return sys::TextOf(folded);
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    sys::Status first, second;
    return sys::StatPath(a, &first) && sys::StatPath(b, &second) && first.identity.SameFile(second.identity);
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
    sys::Status status;
    if (!sys::StatPath(path, &status, reason)) return false;
    if (!status.regular) return SetReason(reason, ReasonText(status.folder ? EISDIR : ENODEV));
    if (!status.writeBitsAllow) return SetReason(reason, ReasonText(EACCES));
    // Bits are not the whole story (access lists, read-only mounts): ask the system.
    return sys::MayWrite(path, reason);
}

std::string LinkTarget(const std::string& path) { return sys::FinalPath(path); }

std::int64_t AvailableSpace(const std::string& path)
{
    const std::string target = LinkTarget(path);
    std::error_code ec;
    const stdfs::space_info space = stdfs::space(sys::PathOf(Exists(target) ? target : FolderOf(target)), ec);
    if (ec || space.available == static_cast<std::uintmax_t>(-1)) return -1;
    return static_cast<std::int64_t>(std::min<std::uintmax_t>(space.available, static_cast<std::uintmax_t>(INT64_MAX)));
}

unsigned ModeForReplacing(const std::string& path)
{
    const std::string target = LinkTarget(path);
    return Exists(target) ? PermissionsOf(target, sys::DefaultMode()) : sys::DefaultMode();
}

unsigned PermissionsOf(const std::string& path, unsigned fallback)
{
    sys::Status status;
    return sys::StatPath(path, &status) ? status.mode : fallback;
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
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Six letters and digits, as mkstemp makes them; the name is taken only if it is new.
        unsigned seed = random() ^ (counter++ * 2654435761u);
        std::string suffix;
        for (int i = 0; i < 6; ++i, seed /= 36) suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[seed % 36];
        const std::string path = InFolder(FolderOf(m_target), kTemporaryPrefix + suffix);
        std::string reason;
        m_fd = sys::CreateExclusive(path, &reason);
        if (m_fd < 0) {
            if (Exists(path)) continue;  // the name was taken: another
            Fail(reason);
            return;
        }
#ifndef _WIN32
        // The lock tells other saves' clean-up that this file is in use. A clean-up
        // that came between the creation and the lock took the name: try another.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || !StillNames(path, m_fd)) {
            ::close(m_fd);
            m_fd = -1;
            continue;
        }
#endif
        m_path = path;
        return;
    }
    Fail(ReasonText(EEXIST));
}

ReplacementFile::~ReplacementFile()
{
    if (m_fd >= 0) sys::Close(m_fd, nullptr);
    if (!m_path.empty()) sys::Remove(m_path);
}

bool ReplacementFile::Fail(const std::string& reason)
{
    m_reason = reason;
    return false;
}

bool ReplacementFile::Write(std::string_view bytes)
{
    if (m_fd < 0) return false;
    if (!WriteAllAt(m_fd, m_written, bytes.data(), bytes.size(), &m_reason)) return false;
    m_written += static_cast<std::int64_t>(bytes.size());
    return true;
}

bool ReplacementFile::WriteAt(std::int64_t offset, std::string_view bytes)
{
    if (m_fd < 0) return false;
    if (offset < 0 || offset + static_cast<std::int64_t>(bytes.size()) > m_written) return Fail(ReasonText(EINVAL));
    return WriteAllAt(m_fd, offset, bytes.data(), bytes.size(), &m_reason);
}

bool ReplacementFile::ReadAt(std::int64_t offset, char* out, std::size_t n)
{
    if (m_fd < 0) return false;
    const std::int64_t got = ReadAllAt(m_fd, offset, out, n, &m_reason);
    if (got < 0) return false;
    if (static_cast<std::size_t>(got) != n) return Fail(ReasonText(EIO));
    return true;
}

bool ReplacementFile::CopyFrom(const std::string& from)
{
    File in;
    if (!in.Open(from, File::Mode::Read)) return Fail(in.Reason());
    return CopyFrom(in);
}

namespace {

// Copies bytes [offset, end) of `in` to the same offsets of `out`: by the system
// where it can (without passing through this program's memory), else by hand.
bool CopyRange(int in, int out, std::int64_t offset, std::int64_t end, std::string* reason)
{
#ifdef __linux__
    while (WriteLimitForTests() < 0 && offset < end) {
        loff_t from = offset, to = offset;
        const ssize_t done = ::copy_file_range(in, &from, out, &to, static_cast<std::size_t>(end - offset), 0);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) break;  // not supported here (or the source shrank): the plain way below
        offset += done;
    }
#endif
    std::string buffer(static_cast<std::size_t>(std::min<std::int64_t>(end - offset, std::int64_t{1} << 20)), '\0');
    while (offset < end) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(end - offset, static_cast<std::int64_t>(buffer.size())));
        const std::int64_t got = ReadAllAt(in, offset, buffer.data(), want, reason);
        if (got < 0) return false;
        if (got == 0) return true;  // the source shrank meanwhile
        if (!WriteAllAt(out, offset, buffer.data(), static_cast<std::size_t>(got), reason)) return false;
        offset += got;
    }
    return true;
}

}  // namespace

bool ReplacementFile::CopyFrom(const File& from)
{
    if (m_fd < 0) return false;
    const int in = from.Descriptor();
    sys::Status status;
    if (in < 0) return Fail(ReasonText(EBADF));
    if (!sys::StatDescriptor(in, &status, &m_reason)) return false;
    const std::int64_t size = status.size;
    std::string reason;
#ifdef __linux__
    if (WriteLimitForTests() < 0) {
        // A file system that shares blocks makes the copy at once, holes and all.
        if (::ioctl(m_fd, FICLONE, in) == 0) {
            m_written = size;
            return true;
        }
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
        if (!sys::Resize(m_fd, size, &reason)) return Fail(reason);
        m_written = size;
        return true;
    }
#endif
#ifdef _WIN32
    // A sparse file's copy is sparse too, with only its data regions written.
    std::vector<std::pair<std::int64_t, std::int64_t>> regions;
    if (WriteLimitForTests() < 0 && sys::DataRegions(in, size, &regions) && sys::MarkSparse(m_fd)) {
        for (const auto& [start, end] : regions) {
            if (!CopyRange(in, m_fd, start, end, &reason)) return Fail(reason);
        }
        if (!sys::Resize(m_fd, size, &reason)) return Fail(reason);
        m_written = size;
        return true;
    }
#endif
    if (!CopyRange(in, m_fd, 0, size, &reason)) return Fail(reason);
    m_written = size;
    return true;
}

bool ReplacementFile::Resize(std::int64_t size)
{
    if (m_fd < 0) return false;
    return sys::Resize(m_fd, size, &m_reason);
}

bool ReplacementFile::Commit(unsigned mode)
{
    if (m_fd < 0) return false;
    std::string reason;
    if (!sys::SetMode(m_fd, m_path, mode, &reason) || !sys::Flush(m_fd, &reason)) return Fail(reason);
    // Renamed while still open (and locked), so no other save's clean-up can
    // take the file between the last write and the rename.
    if (!sys::ReplaceOpen(m_fd, m_path, m_target, &reason)) return Fail(reason);
    m_path.clear();
    const bool closed = sys::Close(m_fd, &reason);
    m_fd = -1;
    if (!closed) return Fail(reason);
    sys::SyncFolder(FolderOf(m_target));
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* reason, Leftovers leftovers)
{
    const std::string target = LinkTarget(path);
    const bool exists = Exists(target);
    if (exists && !CanWrite(target, reason)) return false;
    if (leftovers == Leftovers::Remove) RemoveLeftoverTemporaries(target);
    ReplacementFile file(target);
    if (!file.IsCreated() || !file.Write(content) || !file.Commit(exists ? PermissionsOf(target, sys::DefaultMode()) : sys::DefaultMode())) {
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
    if (!file.IsCreated() || !file.CopyFrom(from) || !file.Commit(PermissionsOf(from, sys::DefaultMode()) | kOwnerWrite)) {
        return SetReason(reason, file.Reason());
    }
    return true;
}

void RemoveLeftoverTemporaries(const std::string& path)
{
    const std::string prefix = kTemporaryPrefix;
    std::error_code ec;
    stdfs::directory_iterator it(sys::PathOf(FolderOf(LinkTarget(path))), ec);
    std::vector<std::string> leftovers;
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        const std::string name = sys::TextOf(it->path().filename());
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 && it->is_regular_file(ec)) {
            leftovers.push_back(sys::TextOf(it->path()));
        }
    }
    for (const std::string& leftover : leftovers) {
#ifndef _WIN32
        // Only a file no running save holds: its lock is free, and the name still names it.
        const int fd = ::open(leftover.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNames(leftover, fd)) ::unlink(leftover.c_str());
        ::close(fd);
#else
        sys::Remove(leftover);  // a file another save has open cannot be removed
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
    stdfs::directory_iterator it(sys::PathOf(folder.empty() ? std::string(".") : folder), ec);
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        if (accept(*it)) names.push_back(sys::TextOf(it->path().filename()));
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
    stdfs::directory_iterator it(sys::PathOf(folder.empty() ? std::string(".") : folder), ec);
    for (; !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        std::string name = sys::TextOf(it->path().filename());
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
