#include "support/TestFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "document/SectionGrid.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"

namespace zok2::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zok2-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    m_path = std::string(made ? made : "/tmp/zok2-test-fallback") + "/";
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

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path)
{
    std::string content;
    fs::ReadFile(path, content);
    return content;
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
    ASSERT_TRUE(Open(Binary(bytes, name))) << (messages.shown.empty() ? std::string() : messages.shown.back());
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
    ASSERT_TRUE(Open(path)) << LastMessage();
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
