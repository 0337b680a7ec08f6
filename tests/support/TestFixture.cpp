#include "support/TestFixture.h"

#include <atomic>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <filesystem>
#include <fstream>

#include "document/SectionGrid.h"
#include "framework/AppPath.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "journal/JournalPlace.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zok2::test {

TempDir::TempDir()
{
    // A name of its own under the temporary folder (mkdtemp is POSIX only).
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "zok2-test-" + std::to_string(random()) + "-" + std::to_string(counter++);
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error) && !error) {
            // With the system's own separator, as the program writes the paths it shows.
            m_path = fs::sys::TextOf(base / name) + static_cast<char>(std::filesystem::path::preferred_separator);
            return;
        }
    }
    ADD_FAILURE() << "no temporary folder could be made under " << base.string();
    m_path = fs::sys::TextOf(base) + "/zok2-test-unmade/";
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Make read-only folders made by tests removable again.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(m_path, ec);
}

void AbortTest(const std::string& why)
{
    ADD_FAILURE() << why;
    // GoogleTest reports the exception and goes on with the next test.
    throw std::runtime_error("test stopped: " + why);
}

void ReplaceByRename(const std::string& from, const std::string& to)
{
    std::string reason;
    if (!fs::sys::Replace(from, to, &reason)) ADD_FAILURE() << "cannot rename " << from << " to " << to << ": " << reason;
}

void ReplaceHeldFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    ReplaceByRename(to, to + ".held");
#endif
    ReplaceByRename(from, to);
}

bool UnderWine()
{
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

void KeepingTheTime(const std::string& path, const std::function<void()>& change)
{
#ifdef _WIN32
    // std::filesystem sets times in whole seconds here: the system's own calls keep every tick.
    const std::wstring wide = fs::sys::PathOf(path).wstring();
    FILETIME written{};
    HANDLE before = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    GetFileTime(before, nullptr, nullptr, &written);
    CloseHandle(before);
    change();
    HANDLE after = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (!SetFileTime(after, nullptr, nullptr, &written)) ADD_FAILURE() << "cannot set the time of " << path;
    CloseHandle(after);
#else
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    change();
    std::filesystem::last_write_time(path, written, error);
    if (error) ADD_FAILURE() << "cannot set the time of " << path << ": " << error.message();
#endif
}

std::string MissingReason(const std::string& path)
{
    fs::File file;
    EXPECT_FALSE(file.Open(path, fs::File::Mode::Read)) << path << " exists";
    return file.Reason();
}

void SetEnvironment(const char* name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());  // "" removes it
#else
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
#endif
}

StateFolder::StateFolder()
{
#ifdef _WIN32
    _putenv_s("LOCALAPPDATA", temp.Path().c_str());
#else
    const char* before = std::getenv("XDG_STATE_HOME");
    if (before) m_before = before;
    m_had = before != nullptr;
    setenv("XDG_STATE_HOME", temp.Path().c_str(), 1);
#endif
    std::filesystem::create_directories(journal::JournalFolder());
}

StateFolder::~StateFolder()
{
#ifndef _WIN32
    if (m_had) {
        setenv("XDG_STATE_HOME", m_before.c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
#endif
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    // Paths are UTF-8: a narrow std::string path would be read in Windows' ANSI code page.
    const std::filesystem::path file = fs::sys::PathOf(path);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path)
{
    std::string content;
    fs::ReadFile(path, content);
    return content;
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

void DocTest::SetUp()
{
    root = temp.Path() + "prog/";
    std::filesystem::create_directories(root);
    SetProgramPath(root + "zok2");
    Profile("[Setting]\r\nmode=" + mode + "\r\n");
    Services services;
    services.messageBox = &messages;
    services.waitCursor = &wait;
    services.keyState = &keys;
    services.fileNames = &names;
    doc = std::make_unique<CZOKDoc>(services);
    doc->AddView(&view);
}

void DocTest::TearDown() { doc->RemoveView(&view); }

void DocTest::Def(const std::string& fileName, const std::string& content) { WriteFile(SetFolder() + fileName, content); }

void DocTest::Profile(const std::string& content) { WriteFile(root + "zok2.ini", content); }

std::string DocTest::Binary(const std::string& bytes, const std::string& name)
{
    std::string path = temp.Path() + name;
    WriteFile(path, bytes);
    return path;
}

void DocTest::OpenBytes(const std::string& bytes, const std::string& name)
{
    // A test whose file did not open stops here, not at its first use of the document.
    if (!Open(Binary(bytes, name))) {
        AbortTest("the file did not open: " + (messages.shown.empty() ? std::string() : messages.shown.back()));
    }
}

const ColumnDefinition& DocTest::Column(int section, int column) const
{
    return doc->sections.at(static_cast<std::size_t>(section)).at(static_cast<std::size_t>(column));
}

std::uint32_t DocTest::Value(int section, int row, int column) const
{
    return doc->Value(section, column, row);
}

void EditingTest::OpenSection(const std::string& ini, const std::string& bytes, int rows, const std::string& name)
{
    std::string idn;
    for (int i = 0; i < rows; ++i) idn += "r" + std::to_string(i) + "\r\n";
    Def("a.idn", idn);
    Def("a.ini", ini);
    path = Binary(bytes, name);
    if (!Open(path)) AbortTest("the file did not open: " + LastMessage());
    FillSectionGrid(*doc, view.grid, 0, 1, 1);
    editor = std::make_unique<GridEditor>(*doc, view.grid, clipboard);
    editor->SetCurrentSection(0);
}

void EditingTest::Edit(int row, int column, const std::string& text)
{
    view.grid.SetCurrentRow(row);
    view.grid.SetCurrentColumn(column);
    editor->CommitCellText(text);
}

}  // namespace zok2::test
