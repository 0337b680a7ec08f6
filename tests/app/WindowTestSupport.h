#pragma once
// The real window on a copy of the sample, with recording message boxes so no
// dialog waits for a user, driven by QTest key and mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "document/CZOKDoc.h"
#include "framework/RecordingServices.h"
#include "qt/QtServices.h"
#include "qt/SjisCodec.h"
#include "support/TestFixture.h"
#include "view/CZOKView.h"
#include "view/SectionTabs.h"

namespace zok2::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string examples = std::string(ZOK2_SOURCE_DIR) + "/examples";
        std::filesystem::copy(examples + "/Settings", root() + "Settings", std::filesystem::copy_options::recursive);
        std::filesystem::copy(examples + "/zok2.ini", root() + "zok2.ini");
        std::filesystem::copy(examples + "/sample.dat", sample());
        // The window's tests look at the cells a save writes; the sample's checksum has tests of its own.
        std::filesystem::remove(root() + "Settings/sample/checksums.txt");
        original = ReadFile(sample());
    }
    void TearDown() override { app.reset(); }

    std::string root() const { return temp.Path(); }
    std::string sample() const { return temp.Path() + "sample.dat"; }

    // Starts the program as `zok2 --root ROOT [FILE]` and makes its window the active one.
    void Start(const std::string& file = std::string())
    {
        AppServices services;
        services.document = Services{&messages, &wait, &keys, &names};
        services.clipboard = &clipboard;
        app = std::make_unique<CZOKApp>(services);
        // A journal left by an earlier start is asked about here, never in a message box.
        app->askRecovery = [this](const QString& text, bool restorable) {
            recoveryQuestions.push_back({text.toStdString(), restorable});
            return recoveryAnswer;
        };
        std::vector<std::string> args{"--root", root()};
        if (!file.empty()) args.push_back(file);
        ASSERT_TRUE(app->InitInstance(args, "/nonexistent/zok2"));
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        grid().setFocus();
        QCoreApplication::processEvents();
    }

    CMainFrame& frame() { return app->Frame(); }
    CZOKView& view() { return frame().View(); }
    QtFlexGrid& grid() { return view().GridWidget(); }
    CZOKDoc& doc() { return app->Doc(); }

    void ClickTab(int index)
    {
        QTest::mouseClick(&view().Tabs(), Qt::LeftButton, Qt::NoModifier, view().Tabs().TabRect(index).center());
    }
    void ClickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(grid().viewport(), button, Qt::NoModifier, grid().CellRect(row, column).center());
    }
    // Moves the current cell by keys, as a user would.
    void GoTo(int row, int column)
    {
        grid().setFocus();
        QTest::keyClick(&grid(), Qt::Key_Home, Qt::ControlModifier);
        for (int r = 1; r < row; ++r) QTest::keyClick(&grid(), Qt::Key_Down);
        for (int c = 1; c < column; ++c) QTest::keyClick(&grid(), Qt::Key_Right);
    }
    // Keys go where the focus is, as typing does: the first key on the grid opens the editor.
    void Type(const char* keys)
    {
        for (const char* k = keys; *k; ++k) QTest::keyClick(QApplication::focusWidget(), *k);
    }
    // A grid cell's text as UTF-8.
    std::string Shown(int row, int column) { return SjisToUtf8(grid().CellText(row, column)); }
    std::string Byte(std::size_t offset, const std::string& file) { return file.substr(offset, 1); }

    TempDir temp;
    StateFolder state;  // journals of unsaved edits go to the test's own folder
    std::string original;
    RecordingMessageBox messages;
    RecordingWaitCursor wait;
    FakeKeyState keys;
    QtFileNameCodec names;
    QtClipboard clipboard;
    std::unique_ptr<CZOKApp> app;
    struct RecoveryQuestion {
        std::string text;
        bool restorable = false;
    };
    std::vector<RecoveryQuestion> recoveryQuestions;
    CZOKApp::RecoveryAnswer recoveryAnswer = CZOKApp::RecoveryAnswer::Keep;
};

}  // namespace zok2::test
