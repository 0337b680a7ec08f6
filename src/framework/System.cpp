#include "framework/System.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#include <winioctl.h>
#else
#include <unistd.h>
#endif

#include "framework/Permissions.h"

namespace zok2::fs::sys {

namespace stdfs = std::filesystem;

namespace {

bool Fail(std::string* reason, const std::string& text)
{
    if (reason) *reason = text;
    return false;
}

#ifdef _WIN32

// The UTF-8 text as UTF-16; empty when it is not valid UTF-8 (never a guess:
// a replacement character would name another file).
std::wstring Wide(const std::string& text)
{
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

constexpr const char* kInvalidName = "the file name is not valid UTF-8";

bool StartsWith(const std::wstring& text, const wchar_t* start) { return text.rfind(start, 0) == 0; }

// A path for the wide calls, or empty (reason given) when the name is not valid
// UTF-8. A "\\?\" path is taken literally by the system, so its separators
// are made backslashes; a path too long for the old limit gets that form.
std::wstring WidePath(const std::string& path, std::string* reason)
{
    std::wstring wide = Wide(path);
    if (wide.empty()) {
        if (reason) *reason = path.empty() ? std::string("the file name is empty") : std::string(kInvalidName);
        return wide;
    }
    const bool literal = StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"//?/");
    if (!literal && wide.size() < MAX_PATH - 12) return wide;  // folders must leave room for an 8.3 name
    if (!literal) {
        std::wstring full(32768, L'\0');
        const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0 || length >= full.size()) return wide;
        full.resize(length);
        wide = StartsWith(full, L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

// The system's message for a Windows error code, as the user's Windows words it.
std::string WindowsText(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n > 0 && buffer ? std::wstring(buffer, n) : L"error " + std::to_wstring(error);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) text.pop_back();
    return Narrow(text);
}

// The system's words, in the user's language; for a file another program
// holds they say so ("... being used by another process").
std::string ErrorText(DWORD error)
{
    if (error == ERROR_LOCK_VIOLATION) error = ERROR_SHARING_VIOLATION;
    return WindowsText(error);
}

bool FailWindows(std::string* reason) { return Fail(reason, ErrorText(GetLastError())); }

// Virus scanners and the indexer open a file for a moment, sharing nothing:
// a call refused for that is tried again for about two seconds. A read-only
// file or a folder is refused for good, at once.
constexpr int kRetryMilliseconds = 2000;
constexpr int kRetryStep = 50;

bool MayPass(DWORD error, const std::wstring& path)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Calls `attempt` (true on success) until it succeeds, fails for good or the
// time is up; the last error stays the system's.
template <typename Attempt>
bool Retrying(const std::wstring& path, Attempt attempt)
{
    for (int waited = 0;; waited += kRetryStep) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (waited >= kRetryMilliseconds || !MayPass(error, path)) {
            SetLastError(error);
            return false;
        }
        Sleep(kRetryStep);
    }
}

HANDLE CreateRetrying(const std::wstring& path, DWORD access, DWORD share, DWORD creation, DWORD flags)
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    Retrying(path, [&] {
        handle = CreateFileW(path.c_str(), access, share, nullptr, creation, flags, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    return handle;
}

HANDLE HandleOf(int descriptor) { return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)); }

// The position of one read or write, and how much of n one call may take.
OVERLAPPED At(std::int64_t offset)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return at;
}
DWORD Chunk(std::size_t n) { return static_cast<DWORD>(n < (std::size_t{1} << 30) ? n : (std::size_t{1} << 30)); }

std::int64_t Join(DWORD high, DWORD low) { return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low); }

// A FILETIME (100 ns ticks since 1601) as nanoseconds since 1970, as POSIX
// gives them: taken to 1970 before the multiplication, which for every date
// from 1601 to 2262 stays inside 64 bits.
std::int64_t UnixNanoseconds(FILETIME time)
{
    constexpr std::int64_t kTicksTo1970 = 116444736000000000;
    constexpr std::int64_t kLimit = INT64_MAX / 100;
    const std::int64_t ticks = Join(time.dwHighDateTime, time.dwLowDateTime) - kTicksTo1970;
    if (ticks > kLimit) return INT64_MAX;
    if (ticks < -kLimit) return INT64_MIN;
    return ticks * 100;
}

bool StatHandle(HANDLE handle, Status* status, std::string* reason)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return FailWindows(reason);
    // A file deleted while someone holds it open keeps its name until the last
    // handle closes, and vanishes then: it is gone already.
    FILE_STANDARD_INFO standard{};
    if (GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) && standard.DeletePending) {
        return Fail(reason, WindowsText(ERROR_FILE_NOT_FOUND));
    }
    *status = Status{};
    status->folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status->regular = !status->folder && (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0 && GetFileType(handle) == FILE_TYPE_DISK;
    status->size = Join(info.nFileSizeHigh, info.nFileSizeLow);
    status->writeBitsAllow = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    status->mode = status->writeBitsAllow ? 0666u : 0444u;
    status->identity.device = info.dwVolumeSerialNumber;
    status->identity.inode = static_cast<std::uint64_t>(Join(info.nFileIndexHigh, info.nFileIndexLow));
    status->identity.size = status->size;
    status->identity.modifiedNs = UnixNanoseconds(info.ftLastWriteTime);
    return true;
}

// A handle for looking only (attributes, final name): folders too, links followed.
HANDLE LookAt(const std::string& path, std::string* reason = nullptr)
{
    const std::wstring wide = WidePath(path, reason);
    if (wide.empty()) return INVALID_HANDLE_VALUE;
    HANDLE handle = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) FailWindows(reason);
    return handle;
}

// A C runtime descriptor over a handle opened with the share modes POSIX
// files have: another program may still write, rename or delete the file.
int OpenShared(const std::string& path, DWORD access, DWORD creation, std::string* reason)
{
    const std::wstring wide = WidePath(path, reason);
    if (wide.empty()) return -1;
    HANDLE handle = CreateRetrying(wide, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, creation, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // Opening a folder is refused as "access denied": say what it is.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            Fail(reason, ErrnoText(EISDIR));
        } else {
            Fail(reason, ErrorText(error));
        }
        return -1;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), (access & GENERIC_WRITE) ? _O_RDWR | _O_BINARY : _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        Fail(reason, ErrnoText(errno));
    }
    return descriptor;
}

#else

FileIdentity IdentityFromStat(const struct stat& st)
{
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
#if defined(__APPLE__)
    identity.modifiedNs = static_cast<std::int64_t>(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
    identity.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    return identity;
}

Status StatusFromStat(const struct stat& st)
{
    Status status;
    status.regular = S_ISREG(st.st_mode);
    status.folder = S_ISDIR(st.st_mode);
    status.size = static_cast<std::int64_t>(st.st_size);
    status.mode = static_cast<unsigned>(st.st_mode) & 07777u;
    status.writeBitsAllow = BitsAllowWriting(st);
    status.identity = IdentityFromStat(st);
    return status;
}

#endif

}  // namespace

std::string ErrnoText(int error) { return std::strerror(error); }

std::string EnvironmentVariable(const char* name)
{
#ifdef _WIN32
    const wchar_t* value = _wgetenv(Wide(name).c_str());
    return value ? Narrow(value) : std::string();
#else
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
#endif
}

bool DataRegions(int descriptor, std::int64_t size, std::vector<std::pair<std::int64_t, std::int64_t>>* regions)
{
    regions->clear();
#ifdef _WIN32
    HANDLE handle = HandleOf(descriptor);
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) || !(basic.FileAttributes & FILE_ATTRIBUTE_SPARSE_FILE)) {
        return false;
    }
    FILE_ALLOCATED_RANGE_BUFFER query{};
    query.FileOffset.QuadPart = 0;
    query.Length.QuadPart = size;
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> found(64);
    for (;;) {
        DWORD bytes = 0;
        const BOOL done = DeviceIoControl(handle, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, found.data(),
                                          static_cast<DWORD>(found.size() * sizeof found[0]), &bytes, nullptr);
        if (!done && GetLastError() != ERROR_MORE_DATA) return false;
        const std::size_t n = bytes / sizeof found[0];
        for (std::size_t i = 0; i < n; ++i) {
            const std::int64_t start = found[i].FileOffset.QuadPart;
            regions->emplace_back(start, std::min(size, start + found[i].Length.QuadPart));
        }
        if (done || n == 0) return true;
        const std::int64_t next = found[n - 1].FileOffset.QuadPart + found[n - 1].Length.QuadPart;
        query.FileOffset.QuadPart = next;
        query.Length.QuadPart = size - next;
        if (query.Length.QuadPart <= 0) return true;
    }
#else
    (void)descriptor;
    (void)size;
    return false;
#endif
}

bool MarkSparse(int descriptor)
{
#ifdef _WIN32
    DWORD bytes = 0;
    return DeviceIoControl(HandleOf(descriptor), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr) != 0;
#else
    (void)descriptor;
    return true;
#endif
}

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

stdfs::path PathOf(const std::string& path)
{
    return stdfs::path(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

std::string TextOf(const stdfs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

bool StatPath(const std::string& path, Status* status, std::string* reason)
{
#ifdef _WIN32
    HANDLE handle = LookAt(path, reason);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool ok = StatHandle(handle, status, reason);
    CloseHandle(handle);
    return ok;
#else
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return Fail(reason, ErrnoText(errno));
    *status = StatusFromStat(st);
    return true;
#endif
}

bool StatDescriptor(int descriptor, Status* status, std::string* reason)
{
#ifdef _WIN32
    return StatHandle(HandleOf(descriptor), status, reason);
#else
    struct stat st{};
    if (::fstat(descriptor, &st) != 0) return Fail(reason, ErrnoText(errno));
    *status = StatusFromStat(st);
    return true;
#endif
}

int OpenExisting(const std::string& path, bool update, std::string* reason)
{
#ifdef _WIN32
    return OpenShared(path, update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, OPEN_EXISTING, reason);
#else
    // Non-blocking, so that opening a FIFO returns at once; regular files ignore the flag.
    const int descriptor = ::open(path.c_str(), (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) Fail(reason, ErrnoText(errno));
    return descriptor;
#endif
}

int CreateExclusive(const std::string& path, std::string* reason)
{
#ifdef _WIN32
    // Shared for reading and writing (the save writes it by name too), not for
    // deletion: another save's clean-up cannot take the file while it is written.
    const std::wstring wide = WidePath(path, reason);
    if (wide.empty()) return -1;
    HANDLE handle = CreateRetrying(wide, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
        FailWindows(reason);
        return -1;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        Fail(reason, ErrnoText(errno));
    }
    return descriptor;
#else
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) Fail(reason, ErrnoText(errno));
    return descriptor;
#endif
}

int Duplicate(int descriptor, std::string* reason)
{
#ifdef _WIN32
    const int copy = _dup(descriptor);
#else
    const int copy = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
#endif
    if (copy < 0) Fail(reason, ErrnoText(errno));
    return copy;
}

std::int64_t ReadAt(int descriptor, std::int64_t offset, void* buffer, std::size_t n, std::string* reason)
{
#ifdef _WIN32
    // An offset of its own for each read: threads reading one file through
    // duplicated descriptors share no position.
    OVERLAPPED at = At(offset);
    DWORD got = 0;
    if (!ReadFile(HandleOf(descriptor), buffer, Chunk(n), &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) return 0;
        FailWindows(reason);
        return -1;
    }
    return got;
#else
    for (;;) {
        const ssize_t got = ::pread(descriptor, buffer, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Fail(reason, ErrnoText(errno));
        return got;
    }
#endif
}

std::int64_t WriteAt(int descriptor, std::int64_t offset, const void* buffer, std::size_t n, std::string* reason)
{
#ifdef _WIN32
    OVERLAPPED at = At(offset);
    DWORD put = 0;
    if (!WriteFile(HandleOf(descriptor), buffer, Chunk(n), &put, &at)) {
        FailWindows(reason);
        return -1;
    }
    return put;
#else
    for (;;) {
        const ssize_t put = ::pwrite(descriptor, buffer, n, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) Fail(reason, ErrnoText(errno));
        return put;
    }
#endif
}

bool Flush(int descriptor, std::string* reason)
{
#ifdef _WIN32
    return FlushFileBuffers(HandleOf(descriptor)) || FailWindows(reason);
#else
    return ::fsync(descriptor) == 0 || Fail(reason, ErrnoText(errno));
#endif
}

bool Resize(int descriptor, std::int64_t size, std::string* reason)
{
#ifdef _WIN32
    const int error = _chsize_s(descriptor, size);
    return error == 0 || Fail(reason, ErrnoText(error));
#else
    return ::ftruncate(descriptor, static_cast<off_t>(size)) == 0 || Fail(reason, ErrnoText(errno));
#endif
}

bool Close(int descriptor, std::string* reason)
{
#ifdef _WIN32
    return _close(descriptor) == 0 || Fail(reason, ErrnoText(errno));
#else
    return ::close(descriptor) == 0 || Fail(reason, ErrnoText(errno));
#endif
}

bool SetMode(int descriptor, const std::string& path, unsigned mode, std::string* reason)
{
#ifdef _WIN32
    (void)descriptor;
    if (mode & 0200u) return true;
    const std::wstring wide = WidePath(path, reason);
    if (wide.empty()) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return (attributes != INVALID_FILE_ATTRIBUTES && SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_READONLY)) ||
           FailWindows(reason);
#else
    (void)path;
    return ::fchmod(descriptor, static_cast<mode_t>(mode)) == 0 || Fail(reason, ErrnoText(errno));
#endif
}

bool Replace(const std::string& from, const std::string& to, std::string* reason)
{
#ifdef _WIN32
    // The C runtime's rename refuses to replace; this replaces at once and
    // returns only when the new name is on the disk.
    const std::wstring source = WidePath(from, reason);
    const std::wstring target = source.empty() ? std::wstring() : WidePath(to, reason);
    if (target.empty()) return false;
    return Retrying(target, [&] { return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; }) ||
           FailWindows(reason);
#else
    return std::rename(from.c_str(), to.c_str()) == 0 || Fail(reason, ErrnoText(errno));
#endif
}

bool ReplaceOpen(int descriptor, const std::string& from, const std::string& to, std::string* reason)
{
#ifdef _WIN32
    (void)from;
    // Renamed through its own handle (which alone may delete it).
    const std::wstring target = WidePath(to, reason);
    if (target.empty()) return false;
    std::wstring full = target;
    if (!StartsWith(target, L"\\\\?\\")) {
        full.assign(32768, L'\0');
        const DWORD length = GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0 || length >= full.size()) return FailWindows(reason);
        full.resize(length);
    }
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + full.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(full.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, full.data(), full.size() * sizeof(wchar_t));
    HANDLE handle = HandleOf(descriptor);
    if (!Retrying(target, [&] { return SetFileInformationByHandle(handle, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != 0; })) {
        return FailWindows(reason);
    }
    // The file has its new name now, whatever follows: its bytes were flushed
    // before the rename, and a failure to flush the rename itself is no
    // failure of the replacement (as a folder's fsync is not on POSIX).
    if (!FlushAfterRenameFailsForTests()) FlushFileBuffers(handle);
    return true;
#else
    (void)descriptor;
    return Replace(from, to, reason);
#endif
}

bool Remove(const std::string& path)
{
#ifdef _WIN32
    const std::wstring wide = WidePath(path, nullptr);
    return !wide.empty() && DeleteFileW(wide.c_str()) != 0;
#else
    return ::unlink(path.c_str()) == 0;
#endif
}

void SyncFolder(const std::string& folder)
{
#ifdef _WIN32
    (void)folder;  // MOVEFILE_WRITE_THROUGH made the rename durable
#else
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
#endif
}

bool MayWrite(const std::string& path, std::string* reason)
{
#ifdef _WIN32
    const std::wstring wide = WidePath(path, reason);
    if (wide.empty()) return false;
    HANDLE handle = CreateRetrying(wide, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) return FailWindows(reason);
    CloseHandle(handle);
    return true;
#else
    return ::access(path.c_str(), W_OK) == 0 || Fail(reason, ErrnoText(errno));
#endif
}

bool FolderMayBeWritten(const std::string& folder)
{
#ifdef _WIN32
    // Access lists decide, not attributes: the only sure answer is to try.
    const std::string probe = (folder.empty() ? std::string(".") : folder) + "\\.zok2-probe-" + std::to_string(GetCurrentProcessId());
    const std::wstring wide = WidePath(probe, nullptr);
    if (wide.empty()) return false;
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
#else
    return ::access((folder.empty() ? std::string(".") : folder).c_str(), W_OK) == 0;
#endif
}

std::string FinalPath(const std::string& path)
{
#ifdef _WIN32
    // Only a link or junction is resolved; other paths keep the spelling they were given.
    const std::wstring wide = WidePath(path, nullptr);
    if (wide.empty()) return path;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    HANDLE handle = LookAt(path);
    if (handle == INVALID_HANDLE_VALUE) return path;
    std::wstring final(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (n == 0 || n >= final.size()) return path;
    final.resize(n);
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) return Narrow(L"\\\\" + final.substr(8));
    if (final.rfind(L"\\\\?\\", 0) == 0) return Narrow(final.substr(4));
    return Narrow(final);
#else
    stdfs::path p(path);
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!stdfs::is_symlink(p, ec)) break;
        const stdfs::path next = stdfs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.string();
#endif
}

unsigned DefaultMode()
{
#ifdef _WIN32
    return 0666u;
#else
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
#endif
}

}  // namespace zok2::fs::sys
