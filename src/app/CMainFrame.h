#pragma once
// The main window: the menu bar with its accelerators, the one view, the
// caption from the document's title, the window placement kept in the profile,
// and files dropped on it.
#include <QMainWindow>
#include <functional>
#include <vector>

#include "search/CellSearch.h"
#include <map>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QListWidget;
class QMenu;
class QDropEvent;
class QKeyEvent;
class QMimeData;

namespace zok2 {

class CZOKApp;
class CZOKView;
class FindDialog;
class SetCheckList;
class NewTableDialog;
class ColumnEditor;
class InfoLine;

// Command ids of the menus (the framework's standard ids and the program's own).
namespace command {
inline constexpr int kNew = 57600, kOpen = 57601, kSave = 57603, kSaveAs = 57604, kRecentFile = 57616, kExit = 57665;
inline constexpr int kUndo = 57643, kRedo = 57644, kCut = 57635, kCopy = 57634, kPaste = 57637, kDelete = 57632,
                     kSelectAll = 57642;
inline constexpr int kHex = 32771, kSigned = 32772, kUnsigned = 32773, kList = 32779;
inline constexpr int kDiscardData = 32774, kSettings = 32776, kSaveSettings = 32777, kAbout = 57664;
inline constexpr int kNextPane = 57680, kPreviousPane = 57681;
// The program's own commands beyond the menus of old: the next and the previous
// table, the status bar, copying the cell's address, find and go to.
inline constexpr int kNextTable = 33001, kPreviousTable = 33002, kStatusBar = 33003, kCopyAddress = 33004;
inline constexpr int kFind = 33005, kFindNext = 33006, kFindPrevious = 33007, kGoTo = 33008;
inline constexpr int kOpenReference = 33009, kCloseReference = 33010, kNextDifference = 33011, kPreviousDifference = 33012,
                     kDifferenceList = 33013;
inline constexpr int kCreatePatch = 33014, kApplyPatch = 33015, kExportTable = 33016, kExportAll = 33017, kImport = 33018;
inline constexpr int kJapanese = 33019, kEnglish = 33020;
inline constexpr int kCheckSet = 33021, kAddTable = 33022, kBytePane = 33023, kColumnEditor = 33024;
}  // namespace command

class CMainFrame : public QMainWindow {
public:
    explicit CMainFrame(CZOKApp& app);

    CZOKView& View() { return *m_view; }
    QAction* Action(int id) const;
    // Every item's enabled state and check mark from the command states.
    void UpdateCommandStates();
    void UpdateCaption();
    // Runs a menu command by id, as choosing it does.
    void Run(int id);
    // The placement: restored from the profile (0 means not stored), saved on close.
    void RestorePlacement();
    void SavePlacement();
    void DiscardData();
    // The status bar under the view: the current cell's facts and a note of the last command.
    void UpdateInfoLine();
    void ShowNote(const QString& note);
    const QString& Note() const { return m_note; }
    InfoLine& InfoLabel() { return *m_infoLabel; }
    QLabel& NoteLabel() { return *m_noteLabel; }
    // The find dialog (made on first use) and going to a row number or a file offset.
    FindDialog& Finder();
    bool GoToPlace(const QString& text);
    // The next (previous) cell that differs from the reference, across the tables
    // in tab order and round again; false when none does.
    bool GoToDifference(bool forward);
    // The list of the cells that differ (table, row label, caption, reference text,
    // current text, offset); choosing one goes there.
    QDialog& DifferenceList();
    QListWidget& DifferenceItems() { return *m_differenceItems; }
    // The check of the set in use, made when first asked for.
    SetCheckList& SetCheck();
    // The dialog of a new table, made when first asked for.
    NewTableDialog& AddTable();
    // その他 ▸ 列の定義: made on first use.
    ColumnEditor& Columns();
    // Opens the column editor on the current column (unsaved edits asked about first).
    void EditColumn();
    // Asks for the row or offset of 移動 (a dialog by default; the tests answer themselves).
    std::function<QString()> askGoTo;
    // Shows or hides the status bar and remembers the choice in the profile.
    void SetStatusBarShown(bool shown, bool remember);
    // 表示 ▸ バイナリ: the bytes beside the grid, remembered in the profile when asked.
    void SetBytePaneShown(bool shown, bool remember);
    // Popup menu 102 with every item's state, as the right click and Shift+F10 show it.
    std::unique_ptr<QMenu> BuildContextMenu();
    // Files dropped on the frame: the first local file opens through the open request.
    bool OpenDropped(const QMimeData& data);
    // A key of the accelerator table whose command is disabled now.
    bool IsDisabledAccelerator(const QKeyEvent& key) const;
    // A window rectangle that lies on some screen (moved onto the primary one if not).
    static QRect OnSomeScreen(const QRect& rect);
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FitNote();
    QAction* Add(QMenu* menu, int id, const QString& label);
    void BuildMenus();
    void RebuildRecentFiles();
    void ShowContextMenu(const QPoint& globalPosition);

    CZOKApp& m_app;
    CZOKView* m_view;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    std::map<int, QAction*> m_actions;
    std::vector<QAction*> m_recentActions;
    InfoLine* m_infoLabel = nullptr;
    QLabel* m_noteLabel = nullptr;
    QString m_note;  // the note in whole; the label shows what fits beside the information line
    FindDialog* m_finder = nullptr;
    QDialog* m_differences = nullptr;
    QListWidget* m_differenceItems = nullptr;
    SetCheckList* m_setCheck = nullptr;
    NewTableDialog* m_addTable = nullptr;
    ColumnEditor* m_columnEditor = nullptr;
    std::vector<search::SearchHit> m_differenceHits;
};

}  // namespace zok2
