#pragma once
// The one view of the document: the tab strip, the grid of the current section,
// the description edit of the current column, and the in-place edit, drop button
// and value list that serve editing. It maps events to the core's rules and draws.
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/ZOKView.h"
#include "editing/GridEditor.h"
#include "editing/ViewRules.h"
#include "gridwidget/QtFlexGrid.h"

class QDropEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace zok2 {

class CZOKDoc;
class SectionTabs;
class BytePane;

// A dropped file is only read: the drop is always taken as a copy, so a source
// that honours "move" never deletes the user's file.
void AcceptAsCopy(QDropEvent& event);

// The description edit as the rules see it: Shift-JIS with CR LF, while the Qt edit holds "\n".
class DescriptionEdit : public IDescriptionEdit {
public:
    explicit DescriptionEdit(QPlainTextEdit& edit) : m_edit(edit) {}
    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool IsModified() const override;
    void SetModified(bool modified) override;

private:
    QPlainTextEdit& m_edit;
};

class CZOKView : public QWidget, public IZOKView {
public:
    // Control ids of the view's children, kept as object names for the tests and tools.
    struct TabItem {
        int section;
        QString text;
    };

    CZOKView(CZOKDoc& doc, IClipboard& clipboard, QWidget* parent = nullptr);
    ~CZOKView() override;

    // ---- the document's side ----
    void OnUpdate(CView* sender, long hint) override;
    CMSFlexGrid* Grid() override { return m_grid; }
    void SaveColumnWidths() override;
    void StoreDescription() override;

    // ---- layout and sections ----
    void LayoutControls(int width, int height);
    QRect GetCellRect() const;
    void RebuildTabs();
    // The next (1) or previous (-1) table, as a click on its tab; the last wraps to the first.
    void SwitchTab(int step);
    void ShowSection(int section, int column, int row);
    void LoadDescription();
    // The current table shown again at the current cell after its values changed
    // outside the editor (an import): the description stored and shown again,
    // the grid focused, so that undo is one key away.
    void ShowValuesAgain();
    // The section of the selected tab, or -1 when there is none.
    int CurrentSection() const;
    const std::vector<TabItem>& TabItems() const { return m_tabItems; }
    int DescriptionColumn() const { return m_descriptionColumn; }
    // The empty state: no tabs, an empty 2 x 2 grid, no description.
    void ClearView();

    // ---- editing ----
    void UpdateDropButton();
    // Opens the in-place edit on the current cell; `text` is the typed first key ("" for none).
    void BeginCellEdit(int key, const QString& text = QString());
    void CommitCellEdit();
    // Cancels an open in-place edit without a change (Escape).
    void CancelCellEdit();
    // Commits an open in-place edit before anything else happens (opens, saves, closing).
    void CommitPendingEdit() { CommitCellEdit(); }
    void OpenValueList();
    void FollowTextSize();
    void CommitListChoice(int row);

    // ---- commands (routed to the focused text control when there is one) ----
    void SelectAll();
    void Delete();
    void Copy();
    void Cut();
    void Paste();
    void Undo();
    void Redo();
    void SetColumnRadix(int command);
    CommandState DisplayModeState(int command) const;
    EditCommandStates EditStates() const;
    // The reference file the cells are compared with (null: none). Its cells that
    // differ are marked, its value shows in the information line, and the tabs of
    // tables with differences start with "●".
    void SetReference(const CZOKDoc* reference);
    const CZOKDoc* Reference() const { return m_reference; }
    // Marks the tabs of the tables that differ (all of them, or only the current one).
    void UpdateDifferenceTabs(bool all);
    // Goes to a hit of a search (a caption selects its column, a row label its row),
    // switching tables as undo does.
    void ShowHit(int section, int row, int column);
    // The current cell's information line: table, row label and caption, its
    // place and bytes in the file, its value in every form ("" without a table).
    QString InfoLine() const;
    // Why a cell holding a value cannot be edited, as the note over the grid says it.
    QString ReadOnlyReason(int section) const;
    // The look of the in-place edit and the names screen readers give the view's children.
    void DressChildren();
    // The in-place edit's name for screen readers: the cell's caption and row.
    QString CellNameForReaders() const;
    // The file offset of the current cell's first byte, or -1.
    std::int64_t CurrentOffset() const;
    // Whether the keyboard focus is on the grid or the drop button.
    bool FocusOnGrid() const;
    // Runs after anything that can change a command's state (the frame refreshes its menus).
    std::function<void()> stateChanged;
    // A context menu asked for at a screen point.
    std::function<void(const QPoint& globalPosition)> contextMenuRequested;
    // A note of what the last paste or typed edit could not take as it was ("" clears it).
    std::function<void(const QString& note, bool storedAsZero)> noteChanged;
    // The note for an input report ("" when all texts were plain numbers within range).
    QString InputNote(const GridEditor::InputReport& report) const;
    // A file dropped on the tab strip, the description edit or the in-place edit (the first one only).
    std::function<void(const std::string& path)> fileDropped;

    // ---- the controls, for the frame and the tests ----
    QtFlexGrid& GridWidget() { return *m_grid; }
    SectionTabs& Tabs() { return *m_tabs; }
    QLineEdit& CellEdit() { return *m_cellEdit; }
    QPlainTextEdit& Description() { return *m_description; }
    QPushButton& DropButton() { return *m_dropButton; }
    QListWidget& ValueList() { return *m_valueList; }
    QLabel& ReadOnlyNote() { return *m_readOnlyNote; }
    GridEditor& Editor() { return m_editor; }

    // The current table shown with `columns` in place of its own, their cells
    // read from `source` (nothing written, nothing editable), until EndPreview.
    void PreviewColumns(const Section& columns, const std::vector<int>& aligns, const ICellTextSource& source, int column);
    void EndPreview();
    bool Previewing() const { return m_previewing; }

    // The file's bytes beside the grid (表示 ▸ バイナリ); hidden until asked for.
    void SetBytePaneShown(bool shown);
    bool BytePaneShown() const;
    BytePane& Bytes() { return *m_bytePane; }
    // A byte of the file shown as its cell: the current table's first, else the go-to rule's.
    bool ShowCellOfByte(std::int64_t offset);
    // A range of the pane asked to become a table (その他 ▸ テーブルの追加 with it filled in).
    std::function<void(std::int64_t offset, std::int64_t length)> newTableFromRange;

    // Keys, focus changes and dropped files of the view's controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

    static constexpr int kDescriptionHeight = 105;
    static constexpr int kDropButtonWidth = 15;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool HasSections() const;
    void OnTabChanging();
    void OnTabChanged(int index);
    void OnCurrentCellChanged();
    bool OnGridKey(int key, int shift, const QString& text);
    bool OnGridBeforeMouseDown(int button);
    void OnGridMouseDown(int button);
    void OnGridScrolled();
    void ShowSectionOfRecord(int section, int column, int row);
    void PlaceDropButton(bool focusGridWhenHidden);
    void UpdateReadOnlyNote();
    void PlaceReadOnlyNote();
    bool ValueListAttached() const;
    bool HandleDrop(QEvent* event);
    // A command on the focused text control, or on the grid's cells.
    template <typename LineOp, typename TextOp, typename GridOp>
    void Route(LineOp onLine, TextOp onText, GridOp onGrid);
    void Changed();
    void ReportInput();

    CZOKDoc& m_doc;
    SectionTabs* m_tabs;
    QtFlexGrid* m_grid;
    QLineEdit* m_cellEdit;
    QPlainTextEdit* m_description;
    QPushButton* m_dropButton;
    QListWidget* m_valueList;
    QLabel* m_readOnlyNote;
    BytePane* m_bytePane;
    DescriptionEdit m_descriptionEdit;
    GridEditor m_editor;

    std::vector<TabItem> m_tabItems;
    int m_descriptionColumn = 0;
    bool m_showing = false;      // ShowSection is filling the grid
    bool m_committing = false;   // CommitCellEdit is running
    bool m_fillingList = false;  // the value list is being filled
    double m_textScale = 0;      // the text size the button and the list follow, against 9 points
    bool m_previewing = false;   // the grid shows definitions not written yet
    int m_valueListCellLeft = 0;  // the left edge of the cell the value list opened for
    const CZOKDoc* m_reference = nullptr;
    // What the byte pane showed last: when only the current cell moved since, it paints two lines.
    std::array<std::int64_t, 6> m_bytePaneState{};
};

}  // namespace zok2
