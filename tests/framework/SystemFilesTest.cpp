// The file layer meeting what Windows users' files meet: names that are not
// UTF-8, non-ASCII environments, "\\?\" and long paths, a virus scanner
// holding a file for a moment, today's dates, sparse files, and a flush that
// fails after the rename. Run on Linux and under Wine alike.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "framework/DataPlaces.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "support/TestFixture.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zok2::test {

namespace {

namespace stdfs = std::filesystem;

std::string Read(const std::string& path)
{
    std::string content;
    EXPECT_TRUE(fs::ReadFile(path, content)) << path;
    return content;
}

}  // namespace

TEST(SystemFiles, ANameThatIsNotUtf8NeverReachesAnotherFile)
{
    TempDir temp;
    const std::string replaced = temp.Path() + "bad\xEF\xBF\xBD.dat";  // U+FFFD, what a lenient conversion makes of 0xFF
    const std::string invalid = temp.Path() + "bad\xFF.dat";
    WriteFile(replaced, "theirs");
    fs::File file;
    EXPECT_FALSE(file.Open(invalid, fs::File::Mode::Read));
    std::string reason;
    const bool written = fs::WriteFileAtomically(invalid, "mine", &reason);
    EXPECT_EQ(Read(replaced), "theirs");
#ifdef _WIN32
    // No file name on Windows holds these bytes: refused, with the reason.
    EXPECT_EQ(file.Reason(), "the file name is not valid UTF-8");
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, "the file name is not valid UTF-8");
    EXPECT_EQ(std::distance(stdfs::directory_iterator(fs::sys::PathOf(temp.Path())), stdfs::directory_iterator()), 1);
#else
    // Elsewhere a name is bytes: that file is its own.
    EXPECT_TRUE(written) << reason;
    EXPECT_EQ(Read(invalid), "mine");
#endif
}

TEST(SystemFiles, EnvironmentVariablesKeepNonAsciiNames)
{
    const std::string roaming = "C:\\Users\\山田\\AppData\\Roaming";
    const std::string local = "C:\\Users\\山田\\AppData\\Local";
#ifdef _WIN32
    // Set wide, as Windows sets them for a Japanese user name.
    ASSERT_EQ(_wputenv_s(L"ZOK2_TEST_NAME", L"C:\\Users\\\u5C71\u7530"), 0);
    EXPECT_EQ(fs::sys::EnvironmentVariable("ZOK2_TEST_NAME"), "C:\\Users\\山田");
    ASSERT_EQ(_wputenv_s(L"APPDATA", L"C:\\Users\\\u5C71\u7530\\AppData\\Roaming"), 0);
    ASSERT_EQ(_wputenv_s(L"LOCALAPPDATA", L"C:\\Users\\\u5C71\u7530\\AppData\\Local"), 0);
    ASSERT_EQ(_wputenv_s(L"XDG_CONFIG_HOME", L""), 0);
    ASSERT_EQ(_wputenv_s(L"XDG_DATA_HOME", L""), 0);
    const PlaceEnvironment environment = EnvironmentPlaces("../share/zok2");
    EXPECT_EQ(environment.configHome, roaming);
    EXPECT_EQ(environment.dataHome, local);
    _wputenv_s(L"ZOK2_TEST_NAME", L"");
#else
    SetEnvironment("ZOK2_TEST_NAME", roaming);
    EXPECT_EQ(fs::sys::EnvironmentVariable("ZOK2_TEST_NAME"), roaming);
    SetEnvironment("ZOK2_TEST_NAME", "");
    EXPECT_EQ(fs::sys::EnvironmentVariable("ZOK2_TEST_NAME"), "");
    (void)local;
#endif
}

TEST(SystemFiles, TodaysModificationTimeIsExactNanosecondsSince1970)
{
    TempDir temp;
    const std::string path = temp.Path() + "dated.bin";
    WriteFile(path, "x");
    // 2026-12-07 12:00:00 UTC and 123456700 ns (a whole number of 100 ns ticks).
    constexpr std::int64_t kSeconds = 1796644800;
    constexpr std::int64_t kNanoseconds = 123456700;
#ifdef _WIN32
    const std::int64_t ticks = (kSeconds * 10000000) + kNanoseconds / 100 + 116444736000000000;
    FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    HANDLE handle = CreateFileW(fs::sys::PathOf(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &time));
    CloseHandle(handle);
#else
    const timespec times[2] = {{kSeconds, kNanoseconds}, {kSeconds, kNanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
    fs::FileIdentity identity;
    ASSERT_TRUE(fs::IdentityOf(path, &identity));
    EXPECT_EQ(identity.modifiedNs, kSeconds * 1000000000 + kNanoseconds);
}

TEST(SystemFiles, AFailedFlushAfterTheRenameStillReportsTheReplacement)
{
    TempDir temp;
    const std::string path = temp.Path() + "target.bin";
    WriteFile(path, "old");
    fs::SetFlushAfterRenameFailsForTests(true);
    std::string reason;
    const bool written = fs::WriteFileAtomically(path, "new", &reason);
    fs::SetFlushAfterRenameFailsForTests(false);
    // The file has its new bytes: saying "unchanged" would be false.
    EXPECT_TRUE(written) << reason;
    EXPECT_EQ(Read(path), "new");
}

#ifdef _WIN32

namespace {

// A file opened by "another program" sharing nothing, for `hold` milliseconds.
class Holder {
public:
    Holder(const std::string& path, int hold)
    {
        m_handle = CreateFileW(fs::sys::PathOf(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(m_handle, INVALID_HANDLE_VALUE) << path;
        m_thread = std::thread([this, hold] {
            std::this_thread::sleep_for(std::chrono::milliseconds(hold));
            CloseHandle(m_handle);
        });
    }
    ~Holder() { m_thread.join(); }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::thread m_thread;
};

std::string Backslashes(std::string path)
{
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

TEST(SystemFiles, AFileHeldForAMomentIsWaitedForAndOneHeldLongerIsNamedInUse)
{
    TempDir temp;
    const std::string path = temp.Path() + "scanned.bin";
    WriteFile(path, "old");
    {
        Holder scanner(path, 300);
        std::string reason;
        EXPECT_TRUE(fs::WriteFileAtomically(path, "new", &reason)) << reason;
        EXPECT_TRUE(fs::CopyFileReplacing(path, path + ".bak", &reason)) << reason;
    }
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Read(path + ".bak"), "new");
    {
        Holder editor(path, 3500);
        fs::File file;
        EXPECT_FALSE(file.Open(path, fs::File::Mode::Update));
        // The system's words for a file another program holds, in the user's language.
        wchar_t* text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       ERROR_SHARING_VIOLATION, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        ASSERT_NE(text, nullptr);
        const std::string inUse = fs::sys::TextOf(std::filesystem::path(std::wstring(text)));
        LocalFree(text);
        EXPECT_FALSE(file.Reason().empty());
        EXPECT_EQ(inUse.rfind(file.Reason(), 0), 0u) << file.Reason() << " / " << inUse;
    }
    // A read-only file is refused at once, not after two seconds.
    ASSERT_TRUE(SetFileAttributesW(fs::sys::PathOf(path).c_str(), FILE_ATTRIBUTE_READONLY));
    const auto start = std::chrono::steady_clock::now();
    fs::File file;
    EXPECT_FALSE(file.Open(path, fs::File::Mode::Update));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    SetFileAttributesW(fs::sys::PathOf(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SystemFiles, LiteralAndLongPathsAreSavedWithTheirBackups)
{
    TempDir temp;
    // "\\?\" with backslashes: the temporary file's name is joined with "/".
    const std::string literal = "\\\\?\\" + Backslashes(temp.Path()) + "literal.bin";
    std::string reason;
    ASSERT_TRUE(fs::WriteFileAtomically(literal, "first", &reason)) << reason;
    ASSERT_TRUE(fs::CopyFileReplacing(literal, literal + ".bak", &reason)) << reason;
    EXPECT_EQ(Read(temp.Path() + "literal.bin"), "first");
    EXPECT_EQ(Read(temp.Path() + "literal.bin.bak"), "first");
    // Over 260 characters, with "/" as a user may type them.
    std::string folder = temp.Path();
    while (folder.size() < 300) folder += "a-folder-name-of-thirty-chars/";
    std::error_code error;
    stdfs::create_directories(stdfs::path(L"\\\\?\\" + fs::sys::PathOf(Backslashes(folder)).wstring()), error);
    ASSERT_FALSE(error) << error.message();
    const std::string file = folder + "long.bin";
    ASSERT_TRUE(fs::WriteFileAtomically(file, "second", &reason)) << reason;
    ASSERT_TRUE(fs::CopyFileReplacing(file, file + ".bak", &reason)) << reason;
    EXPECT_EQ(Read(file), "second");
    EXPECT_EQ(Read(file + ".bak"), "second");
    fs::FileIdentity identity;
    EXPECT_TRUE(fs::IdentityOf(file, &identity));
    EXPECT_EQ(identity.size, 6);
}

TEST(SystemFiles, TheBackupOfASparseFileIsSparse)
{
    TempDir temp;
    const std::string path = temp.Path() + "sparse.bin";
    constexpr std::int64_t kSize = std::int64_t{256} << 20;
    {
        HANDLE handle = CreateFileW(fs::sys::PathOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD bytes = 0;
        ASSERT_TRUE(DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr));
        for (const auto& [offset, text] : {std::pair<std::int64_t, std::string>{0, "head"}, {kSize / 2, "middle"}}) {
            LARGE_INTEGER at{};
            at.QuadPart = offset;
            ASSERT_TRUE(SetFilePointerEx(handle, at, nullptr, FILE_BEGIN));
            ASSERT_TRUE(::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &bytes, nullptr));
        }
        LARGE_INTEGER end{};
        end.QuadPart = kSize;
        ASSERT_TRUE(SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle));
        CloseHandle(handle);
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> regions;
    {
        fs::File source;
        ASSERT_TRUE(source.Open(path, fs::File::Mode::Read));
        if (!fs::sys::DataRegions(source.Descriptor(), kSize, &regions) && UnderWine()) {
            GTEST_SKIP() << "Wine does not report a file's allocated ranges (FSCTL_QUERY_ALLOCATED_RANGES)";
        }
    }
    std::string reason;
    ASSERT_TRUE(fs::CopyFileReplacing(path, path + ".bak", &reason)) << reason;
    DWORD high = 0;
    const DWORD low = GetCompressedFileSizeW(fs::sys::PathOf(path + ".bak").c_str(), &high);
    EXPECT_LT((static_cast<std::int64_t>(high) << 32) | low, 8 << 20);
    fs::File copy;
    ASSERT_TRUE(copy.Open(path + ".bak", fs::File::Mode::Read));
    EXPECT_EQ(copy.Size(), kSize);
    char bytes[6] = {};
    ASSERT_EQ(copy.ReadAt(kSize / 2, bytes, 6), 6);
    EXPECT_EQ(std::string(bytes, 6), "middle");
}

#endif

}  // namespace zok2::test
