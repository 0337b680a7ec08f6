#pragma once
// Fixtures built in temporary folders: a program folder with its profile and a
// definition set, a binary, and a document with recording services.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "document/CZOKDoc.h"
#include "document/HeadlessView.h"
#include "editing/GridEditor.h"
#include "framework/RecordingServices.h"
#include "grid/MemoryGrid.h"

namespace zok2::test {

// A fresh folder under the system's temporary folder, removed again afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }  // ends with "/"

private:
    std::string m_path;
};

// The state folder (where journals of unsaved edits go) pointed at a folder of
// the test's own, and back after it.
class StateFolder {
public:
    StateFolder();
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

private:
    TempDir temp;
    std::string m_before;
    bool m_had = false;
};

void WriteFile(const std::string& path, const std::string& bytes);
// Fails the running test and stops it, from a helper whose caller would go on
// to use what the helper could not make (ASSERT only leaves the helper).
[[noreturn]] void AbortTest(const std::string& why);
// What another program does to a file: gives `from` the name `to`, replacing
// what is there (std::filesystem::rename does not replace on Windows).
void ReplaceByRename(const std::string& from, const std::string& to);
// Puts the file `from` under the name `to`, which the program holds open. On
// Windows a held file cannot be replaced, but it can be renamed away (it is
// opened sharing deletion): it goes to `to` + ".held" first.
void ReplaceHeldFile(const std::string& from, const std::string& to);
// Whether the tests run under Wine rather than on Windows itself.
bool UnderWine();
// Runs `change` on the file at path and gives it back its modification time to
// the last tick the system keeps.
void KeepingTheTime(const std::string& path, const std::function<void()>& change);
// The system's reason for a path that names nothing ("No such file or directory").
std::string MissingReason(const std::string& path);
// Sets an environment variable ("" removes it).
void SetEnvironment(const char* name, const std::string& value);
std::string ReadFile(const std::string& path);
std::string Bytes(std::initializer_list<int> values);
// The lines of a text, without their LF (a last line without one counts).
std::vector<std::string> TextLines(const std::string& text);

// The headless view, counting what the settings writer asks of it.
class TestView : public HeadlessView {
public:
    TestView() : HeadlessView(10, 4) {}
    void SaveColumnWidths() override { ++widthSaves; }
    void StoreDescription() override { ++descriptionStores; }

    int widthSaves = 0;
    int descriptionStores = 0;
};

class DocTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string SetFolder() const { return root + "Settings/" + mode + "/"; }
    // Writes a file of the definition set.
    void Def(const std::string& fileName, const std::string& content);
    void Profile(const std::string& content);
    // Writes a binary into the temporary folder and returns its path.
    std::string Binary(const std::string& bytes, const std::string& name = "data.bin");
    bool Open(const std::string& path) { return doc->OnOpenDocument(path); }
    // Opens a binary of `bytes` with the definition set written so far.
    void OpenBytes(const std::string& bytes, const std::string& name = "data.bin");
    const ColumnDefinition& Column(int section, int column) const;
    std::uint32_t Value(int section, int row, int column) const;

    TempDir temp;
    std::string root;
    std::string mode = "set";
    RecordingMessageBox messages;
    RecordingWaitCursor wait;
    FakeKeyState keys;
    IdentityFileNameCodec names;
    TestView view;
    std::unique_ptr<CZOKDoc> doc;
};

// One section "a" of `rows` labels over a binary, shown in the grid, with an editor.
class EditingTest : public DocTest {
protected:
    void OpenSection(const std::string& ini, const std::string& bytes, int rows, const std::string& name = "data.bin");
    // An in-place edit of (grid row, grid column).
    void Edit(int row, int column, const std::string& text);
    std::string LastMessage() const { return messages.shown.empty() ? std::string() : messages.shown.back(); }

    std::string path;
    RecordingClipboard clipboard;
    std::unique_ptr<GridEditor> editor;
};

}  // namespace zok2::test
