#include "view/CZOKView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include "compare/Reference.h"
#include <algorithm>

#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "search/ByteWindow.h"
#include "view/BytePane.h"
#include "view/SectionTabs.h"

namespace zok2 {

namespace {

constexpr int kTabAreaMargin = 107;  // the tab area leaves this much of the height below it
constexpr int kValueListRows = 8;

}  // namespace

// ---- the description edit as the rules see it ----

std::string DescriptionEdit::Text() const
{
    QString text = m_edit.toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QStringToSjis(text);
}

void DescriptionEdit::SetText(const std::string& text)
{
    QString shown = SjisToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_edit.setPlainText(shown);
}

bool DescriptionEdit::IsModified() const { return m_edit.document()->isModified(); }
void DescriptionEdit::SetModified(bool modified) { m_edit.document()->setModified(modified); }

// ---- construction ----

CZOKView::CZOKView(CZOKDoc& doc, IClipboard& clipboard, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_tabs(new SectionTabs(this)),
      m_grid(new QtFlexGrid(this)),
      m_cellEdit(new QLineEdit(this)),
      m_description(new QPlainTextEdit(this)),
      m_dropButton(new QPushButton(QStringLiteral("▼"), this)),
      m_valueList(new QListWidget(this)),
      m_readOnlyNote(new QLabel(m_description)),
      m_bytePane(new BytePane(this)),
      m_descriptionEdit(*m_description),
      m_editor(doc, *m_grid, clipboard)
{
    m_tabs->setObjectName("tabs");                // 1001
    m_description->setObjectName("description");  // 1002
    m_cellEdit->setObjectName("cellEdit");         // 1003
    m_grid->setObjectName("grid");                 // 1004
    m_valueList->setObjectName("valueList");       // 1005
    m_dropButton->setObjectName("dropButton");     // 1008

    DressChildren();

    FollowTextSize();
    m_dropButton->setFlat(false);
    m_dropButton->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    m_dropButton->hide();

    m_valueList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_valueList->setUniformItemSizes(true);
    m_valueList->hide();

    m_description->setTabChangesFocus(true);
    m_description->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    m_readOnlyNote->setStyleSheet(QStringLiteral("QLabel { background: rgb(255, 250, 205); color: rgb(120, 60, 0); padding: 1px 4px; }"));
    m_readOnlyNote->hide();

    m_bytePane->hide();
    m_bytePane->read = [this](std::int64_t start, int count) {
        const CZOKDoc* reference = m_reference;
        search::DiffersFn differs;
        if (reference) differs = [this, reference](int section, int row, int column) { return compare::CellDiffers(m_doc, *reference, section, row, column); };
        return search::ReadByteWindow(m_doc, CurrentSection(), m_grid->CurrentRow(), m_grid->CurrentColumn(), start, count, differs);
    };
    m_bytePane->byteClicked = [this](std::int64_t offset) { ShowCellOfByte(offset); };
    m_bytePane->newTableFromRange = [this](std::int64_t offset, std::int64_t length) {
        if (newTableFromRange) newTableFromRange(offset, length);
    };

    m_tabs->changing = [this] { OnTabChanging(); };
    m_tabs->changed = [this](int index) { OnTabChanged(index); };
    m_grid->currentCellChanged = [this] { OnCurrentCellChanged(); };
    m_grid->keyDown = [this](int key, int shift, const QString& text) { return OnGridKey(key, shift, text); };
    m_grid->beforeMouseDown = [this](int button, int) { return OnGridBeforeMouseDown(button); };
    m_grid->mouseDown = [this](int button, int, int, int) { OnGridMouseDown(button); };
    m_grid->doubleClick = [this] { BeginCellEdit(0); };
    m_grid->scrolled = [this] { OnGridScrolled(); };
    m_grid->readOnlyCell = [this](int row, int column) {
        const int section = CurrentSection();
        return section >= 0 && m_doc.HasData(section, column - 1, row - 1) && !m_doc.IsEditable(section, column - 1, row - 1);
    };
    m_grid->editedCell = [this](int row, int column) {
        const int section = CurrentSection();
        return section >= 0 && m_doc.IsEdited(section, column - 1, row - 1);
    };
    m_grid->differentCell = [this](int row, int column) {
        const int section = CurrentSection();
        return m_reference && section >= 0 && compare::CellDiffers(m_doc, *m_reference, section, row, column);
    };
    m_editor.showSection = [this](int section, int column, int row) { ShowSectionOfRecord(section, column, row); };
    m_editor.afterCommand = [this] {
        UpdateDropButton();
        if (!m_bytePane->isHidden()) m_bytePane->viewport()->update();
    };

    QObject::connect(m_dropButton, &QPushButton::clicked, this, [this] { OpenValueList(); });
    QObject::connect(m_valueList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_fillingList && m_valueList->isVisible()) CommitListChoice(row);
    });
    QObject::connect(m_valueList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the item already selected chooses it too.
        if (!m_fillingList && m_valueList->isVisible()) CommitListChoice(m_valueList->row(item));
    });

    for (QWidget* w : std::initializer_list<QWidget*>{m_cellEdit, m_dropButton, m_valueList, m_description, m_grid}) {
        w->installEventFilter(this);
    }
    // Files dropped on these open; the edits' own text drops still work.
    m_tabs->setAcceptDrops(true);
    for (QObject* target : std::initializer_list<QObject*>{m_tabs, m_description->viewport()}) target->installEventFilter(this);
    m_doc.AddView(this);
    ResetGridForDiscard(*m_grid);
}

CZOKView::~CZOKView() { m_doc.RemoveView(this); }

bool CZOKView::HasSections() const { return m_doc.HasSections() && !m_tabItems.empty(); }

int CZOKView::CurrentSection() const
{
    const int index = m_tabs->CurrentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= m_tabItems.size()) return -1;
    return m_tabItems[static_cast<std::size_t>(index)].section;
}

void CZOKView::Changed()
{
    UpdateReadOnlyNote();
    if (!m_bytePane->isHidden()) {
        if (m_bytePane->FileSize() != m_doc.FileSize()) m_bytePane->SetFileSize(m_doc.FileSize());
        const std::array<std::int64_t, 6> state = {CurrentSection(),
                                                  static_cast<std::int64_t>(m_doc.history.UndoLog().size()),
                                                  static_cast<std::int64_t>(m_doc.history.RedoLog().size()),
                                                  m_doc.IsModified() ? 1 : 0,
                                                  static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(m_reference)),
                                                  m_doc.FileSize()};
        m_bytePane->Follow(CurrentOffset(), state == m_bytePaneState);
        m_bytePaneState = state;
    }
    if (stateChanged) stateChanged();
}

// ---- document updates ----

void CZOKView::OnUpdate(CView*, long hint)
{
    if (hint == kHintOpenFailed) {
        // The containers are gone: nothing of the previous tables may be read again.
        ClearView();
        Changed();
        return;
    }
    if (m_doc.lists.empty()) return;
    RebuildTabs();
    if (!m_tabItems.empty()) {
        ShowSection(m_tabItems.front().section, 1, 1);
        LoadDescription();
    } else {
        ClearView();
    }
    LayoutControls(width(), height());
    UpdateDropButton();
    Changed();
}

void CZOKView::ClearView()
{
    m_cellEdit->hide();
    m_cellEdit->clear();
    m_dropButton->hide();
    m_valueList->hide();
    ResetGridForDiscard(*m_grid);
    m_tabs->Clear();
    m_tabItems.clear();
    m_description->clear();
    m_description->document()->setModified(false);
    m_descriptionColumn = 0;
    m_editor.SetCurrentSection(-1);
    LayoutControls(width(), height());
}

void CZOKView::RebuildTabs()
{
    m_tabItems.clear();
    std::vector<QString> texts;
    for (std::size_t s = 0; s < m_doc.sections.size(); ++s) {
        if (m_doc.sections[s].empty()) continue;
        const QString text = FileNameToQString(m_doc.SectionName(static_cast<int>(s)));
        m_tabItems.push_back({static_cast<int>(s), text});
        texts.push_back(text);
    }
    m_tabs->SetTabs(std::move(texts));
}

void CZOKView::SwitchTab(int step)
{
    const int count = m_tabs->Count();
    if (count < 2 || m_tabs->CurrentIndex() < 0) return;
    m_tabs->Choose(((m_tabs->CurrentIndex() + step) % count + count) % count);
}

void CZOKView::ShowSection(int section, int column, int row)
{
    WaitCursorScope wait(m_doc.WaitCursor());
    m_description->clear();
    m_description->document()->setModified(false);
    if (m_cellEdit->isVisible()) {
        // The edit belongs to the cells about to go: it commits before the grid changes.
        m_description->setFocus();
        CommitCellEdit();
    }
    m_showing = true;
    m_editor.SetCurrentSection(section);
    FillSectionGrid(m_doc, *m_grid, section, column, row);
    m_showing = false;
    m_descriptionColumn = m_grid->CurrentColumn() >= 1 ? column : 0;
}

void CZOKView::ShowSectionOfRecord(int section, int column, int row)
{
    // Leaving the tab stores what the user set in it, as a tab switch does.
    SaveColumnWidths();
    StoreDescription();
    for (std::size_t i = 0; i < m_tabItems.size(); ++i) {
        if (m_tabItems[i].section == section) m_tabs->SetCurrentIndex(static_cast<int>(i));
    }
    ShowSection(section, column, row);
    LoadDescription();
}

void CZOKView::OnTabChanging()
{
    CommitCellEdit();
    SaveColumnWidths();
    StoreDescription();
    m_grid->setFocus();
}

void CZOKView::OnTabChanged(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_tabItems.size()) return;
    ShowSection(m_tabItems[static_cast<std::size_t>(index)].section, 1, 1);
    LoadDescription();
    UpdateDropButton();
    Changed();
}

// ---- layout ----

void CZOKView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutControls(width(), height());
}

void CZOKView::LayoutControls(int width, int height)
{
    if (!m_tabs) return;
    // The rows of tabs take at most a third of the tab area; beyond that they scroll.
    m_tabs->SetMaxVisibleRows((height - kTabAreaMargin) / 3 / (m_tabs->TabHeight() + 4));
    m_tabs->setGeometry(2, 2, width, height - kTabAreaMargin);
    m_description->setGeometry(0, height - kDescriptionHeight, width, kDescriptionHeight);
    const int offset = m_tabs->VisibleRowCount() * (m_tabs->TabHeight() + 4);
    const QRect client = m_tabs->rect();
    QRect gridArea(client.left() + 4, client.top() + offset + 4, client.width() - 8, client.height() - offset - 4);
    if (!m_bytePane->isHidden()) {
        // The pane takes the right of the grid's place, never more than two thirds of it.
        const int paneWidth = std::min(m_bytePane->PreferredWidth(), gridArea.width() * 2 / 3);
        m_bytePane->setGeometry(gridArea.right() + 1 - paneWidth, gridArea.top(), paneWidth, gridArea.height());
        gridArea.setRight(gridArea.right() - paneWidth - 4);
    }
    m_grid->setGeometry(gridArea);
    m_grid->show();
    m_grid->raise();
    if (m_dropButton->isVisible()) PlaceDropButton(false);
    if (m_valueList->isVisible()) m_valueList->hide();
    if (m_cellEdit->isVisible()) {
        m_cellEdit->setGeometry(GetCellRect());
        m_cellEdit->raise();
    }
    PlaceReadOnlyNote();
}

void CZOKView::PlaceReadOnlyNote()
{
    // At the foot of the description edit, clear of its scroll bar.
    m_readOnlyNote->adjustSize();
    m_readOnlyNote->move(m_description->width() - m_readOnlyNote->width() - 20, m_description->height() - m_readOnlyNote->height() - 4);
}

QRect CZOKView::GetCellRect() const
{
    const QRect grid = m_grid->geometry();
    const int left = grid.left() + m_grid->Px(m_grid->CurrentCellLeft());
    const int top = grid.top() + m_grid->Px(m_grid->CurrentCellTop());
    return QRect(QPoint(left, top), QSize(m_grid->Px(m_grid->CurrentCellWidth()), m_grid->Px(m_grid->CurrentCellHeight())));
}

// ---- description ----

void CZOKView::StoreDescription()
{
    const int section = CurrentSection();
    if (section >= 0) zok2::StoreDescription(m_doc, section, m_descriptionColumn, m_descriptionEdit);
}

void CZOKView::ShowValuesAgain()
{
    const int section = CurrentSection();
    if (section < 0) return;
    StoreDescription();
    ShowSection(section, m_grid->CurrentColumn(), m_grid->CurrentRow());
    LoadDescription();
    UpdateDropButton();
    m_grid->setFocus();
    Changed();
}

void CZOKView::LoadDescription()
{
    const int section = CurrentSection();
    if (section >= 0) zok2::LoadDescription(m_doc, section, m_descriptionColumn, m_descriptionEdit);
}

void CZOKView::SaveColumnWidths()
{
    const int section = CurrentSection();
    if (section >= 0) zok2::SaveColumnWidths(m_doc, section, *m_grid);
}

void CZOKView::OnCurrentCellChanged()
{
    if (m_showing || !HasSections()) return;
    if (noteChanged) noteChanged(QString(), false);  // a move: the last note is done, the line is the cell's
    StoreDescription();
    m_descriptionColumn = m_grid->CurrentColumn();
    LoadDescription();
    // The drop button follows the current cell, wherever the keys moved it.
    PlaceDropButton(false);
    Changed();
}

void CZOKView::UpdateReadOnlyNote()
{
    const int section = CurrentSection();
    const int column = m_grid->CurrentColumn() - 1, row = m_grid->CurrentRow() - 1;
    QString note;
    if (section >= 0 && m_doc.HasData(section, column, row) && !m_doc.IsEditable(section, column, row)) {
        note = ReadOnlyReason(section);
    }
    m_readOnlyNote->setText(note);
    m_readOnlyNote->setVisible(!note.isEmpty());
    if (!note.isEmpty()) {
        PlaceReadOnlyNote();
        m_readOnlyNote->raise();
    }
}

// ---- in-place editing ----

void CZOKView::PlaceDropButton(bool focusGridWhenHidden)
{
    FollowTextSize();
    const int section = CurrentSection();
    if (section >= 0 && ShowsDropButton(m_doc, section, *m_grid) && m_grid->RowVisible(m_grid->CurrentRow()) &&
        m_grid->ColumnVisible(m_grid->CurrentColumn())) {
        const QRect cell = GetCellRect();
        const int width = static_cast<int>(kDropButtonWidth * m_textScale);
        m_dropButton->setGeometry(cell.right() + 1 - width, cell.top(), width, cell.height());
        m_dropButton->raise();
        m_dropButton->show();
        return;
    }
    m_dropButton->hide();
    if (focusGridWhenHidden) m_grid->setFocus();
}

void CZOKView::UpdateDropButton()
{
    if (m_valueList->isVisible()) m_valueList->hide();
    PlaceDropButton(true);
    UpdateReadOnlyNote();
}

void CZOKView::BeginCellEdit(int key, const QString& text)
{
    const int section = CurrentSection();
    if (m_previewing || !HasSections() || section < 0 || !CanBeginCellEdit(m_doc, section, *m_grid)) return;
    if (key != 0 && text.isEmpty()) return;
    m_dropButton->hide();
    m_valueList->hide();
    m_cellEdit->setGeometry(GetCellRect());
    m_cellEdit->setAccessibleName(CellNameForReaders());
    m_cellEdit->raise();
    m_cellEdit->show();
    if (key != 0) {
        // Exactly the typed character starts the new text.
        m_cellEdit->setText(text);
        m_cellEdit->setModified(true);
        m_cellEdit->deselect();
        m_cellEdit->setCursorPosition(static_cast<int>(text.size()));
    } else {
        m_cellEdit->setText(SjisToQString(CellEditText(m_doc, section, *m_grid)));
        m_cellEdit->setModified(false);
        m_cellEdit->selectAll();
    }
    m_cellEdit->setFocus(Qt::OtherFocusReason);
}

void CZOKView::CommitCellEdit()
{
    if (m_committing || !m_cellEdit->isVisible()) return;
    m_committing = true;
    if (HasSections() && m_cellEdit->isModified()) {
        m_cellEdit->setModified(false);
        m_editor.CommitCellText(QStringToSjis(m_cellEdit->text()));
        ReportInput();
        if (m_reference) UpdateDifferenceTabs(false);
    }
    m_cellEdit->hide();
    m_cellEdit->clear();
    if (HasSections()) UpdateDropButton();
    m_committing = false;
    Changed();
}

void CZOKView::CancelCellEdit()
{
    m_cellEdit->setModified(false);
    m_grid->setFocus();
    CommitCellEdit();  // closes without a change
}

bool CZOKView::ValueListAttached() const
{
    if (!m_valueList->isVisible()) return false;
    const QRect cell = GetCellRect(), list = m_valueList->geometry();
    return m_valueListCellLeft == cell.left() && (list.top() == cell.bottom() + 1 || list.bottom() + 1 == cell.top());
}

void CZOKView::OpenValueList()
{
    const int section = CurrentSection();
    if (section < 0 || !CanBeginCellEdit(m_doc, section, *m_grid)) return;
    const ValueListView choices = BuildValueList(m_doc, section, *m_grid);
    FollowTextSize();
    m_fillingList = true;
    m_valueList->clear();
    for (const std::string& item : choices.items) m_valueList->addItem(SjisToQString(item));
    if (choices.selected >= 0) m_valueList->setCurrentRow(choices.selected);
    m_fillingList = false;
    const QRect cell = GetCellRect();
    const int rowHeight = std::max(m_valueList->fontMetrics().height() + 2, 1);
    const int shownRows = std::clamp(static_cast<int>(choices.items.size()), 1, kValueListRows);
    const int height = shownRows * rowHeight + 2 * m_valueList->frameWidth() + 2;
    const int top = ValueListTop(cell.top(), cell.bottom() + 1, height, m_description->geometry().top());
    // As wide as its widest item (up to the view's width), so no item is cut off
    // behind a horizontal scroll bar; it starts at the cell unless that would
    // push it past the view's right edge.
    int widest = 0;
    for (int i = 0; i < m_valueList->count(); ++i) {
        widest = std::max(widest, m_valueList->fontMetrics().horizontalAdvance(m_valueList->item(i)->text()));
    }
    const int chrome = 2 * m_valueList->frameWidth() + m_valueList->verticalScrollBar()->sizeHint().width() + 8;
    const int listWidth = std::min(std::max(cell.width(), widest + chrome), std::max(width(), 1));
    const int left = std::max(std::min(cell.left(), width() - listWidth), 0);
    m_valueListCellLeft = cell.left();
    m_valueList->setGeometry(left, top, listWidth, height);
    m_valueList->raise();
    m_valueList->show();
    if (choices.selected >= 0) m_valueList->scrollToItem(m_valueList->item(choices.selected));
    m_valueList->setFocus();
}

void CZOKView::CommitListChoice(int row)
{
    QListWidgetItem* item = m_valueList->item(row);
    if (!item || CurrentSection() < 0) return;
    m_editor.CommitCellText(ChoiceInput(QStringToSjis(item->text())));
    if (m_reference) UpdateDifferenceTabs(false);
    m_grid->SetFocusFrame(0);
    m_grid->SetHighlightMode(0);
    CollapseSelection(*m_grid);
    m_grid->SetFocusFrame(2);
    m_grid->SetHighlightMode(1);
    UpdateDropButton();
    if (!m_grid->hasFocus()) m_grid->setFocus();
    Changed();
}

// ---- grid events ----

bool CZOKView::OnGridKey(int key, int shift, const QString& text)
{
    if (!HasSections()) return false;
    const bool plain = (shift & (2 | 4)) == 0;  // Ctrl and Alt keys are shortcuts, never typed input
    if (plain && IsEditStartKey(key) && !text.isEmpty() && text.front().isPrint()) {
        CollapseSelection(*m_grid);
        BeginCellEdit(key, text);
        return true;
    }
    switch (key) {
    case vk::kF2: BeginCellEdit(0); return true;
    case vk::kReturn:
        CollapseSelection(*m_grid);
        BeginCellEdit(0);
        return true;
    case vk::kBack:
    case vk::kDelete:
        if (!plain) return false;
        m_editor.Delete();
        Changed();
        return true;
    default: return false;
    }
}

bool CZOKView::OnGridBeforeMouseDown(int button)
{
    if (button != 1 || !HasSections()) return false;
    if (m_grid->PointerRow() != m_grid->CurrentRow() || m_grid->PointerColumn() != m_grid->CurrentColumn()) return false;
    if (m_dropButton->isVisible()) {
        OpenValueList();
        return true;
    }
    UpdateDropButton();
    return false;
}

void CZOKView::OnGridMouseDown(int button)
{
    // The context menu belongs to the whole view: it opens after any right click
    // on the grid, on the row labels, on its empty area, with or without a table.
    const auto requestMenu = [this, button] {
        if (button == 2 && contextMenuRequested) contextMenuRequested(QCursor::pos());
    };
    if (!HasSections()) {
        requestMenu();
        return;
    }
    const int row = m_grid->PointerRow(), column = m_grid->PointerColumn();
    if (button == 2) {
        // An open edit commits before the right click moves anything.
        if (m_cellEdit->isVisible() || m_description->hasFocus()) {
            m_grid->setFocus();
            CommitCellEdit();
            UpdateDropButton();
        }
        if (column == 0) {
            m_dropButton->hide();
            Changed();
            requestMenu();
            return;
        }
        if (row != 0) {
            StoreDescription();
            m_descriptionColumn = RightClickSelect(*m_grid, row, column);
            LoadDescription();
        }
    }
    if (row != 0 && column != 0) {
        if (ValueListAttached()) {
            m_valueList->setFocus();
            return;
        }
        UpdateDropButton();
    } else {
        m_dropButton->hide();
    }
    Changed();
    requestMenu();
}

void CZOKView::contextMenuEvent(QContextMenuEvent* event)
{
    // The tab strip, the value list, the drop button and the view's own area
    // pass their requests up to here; the edits keep their own menus. From the
    // keyboard (the menu key as the platform reports it) the menu opens just
    // inside the view's corner, as the key filter opens it; the mouse opens it
    // under the pointer.
    if (contextMenuRequested) {
        contextMenuRequested(event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : event->globalPos());
    }
    event->accept();
}

void CZOKView::OnGridScrolled()
{
    m_dropButton->hide();
    // An edit left over cells that scrolled away would write into a cell no longer under it.
    if (m_cellEdit->isVisible()) {
        m_grid->setFocus();
        CommitCellEdit();
    }
}

void AcceptAsCopy(QDropEvent& event)
{
    event.setDropAction(Qt::CopyAction);
    event.accept();
}

bool CZOKView::HandleDrop(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasUrls() || !drop->possibleActions().testFlag(Qt::CopyAction)) return false;
    for (const QUrl& url : drop->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        AcceptAsCopy(*drop);
        if (event->type() == QEvent::Drop && fileDropped) fileDropped(QStringToFileName(url.toLocalFile()));
        return true;  // the first file only
    }
    return false;
}

bool CZOKView::eventFilter(QObject* watched, QEvent* event)
{
    const bool dropTarget = watched == m_tabs || watched == m_cellEdit || watched == m_description->viewport();
    if (dropTarget && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop)) {
        return HandleDrop(event);
    }
    if (event->type() == QEvent::FocusOut && watched == m_cellEdit) {
        // A menu or another window taking the focus for a moment is not the end of the edit.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) CommitCellEdit();
        return false;
    }
    if (event->type() == QEvent::FocusIn && watched == m_description) {
        if (m_valueList->isVisible()) m_valueList->hide();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool menuKey = key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
    if (menuKey && (watched == m_grid || watched == m_dropButton)) {
        // From the keyboard the menu opens just inside the view's corner.
        if (contextMenuRequested) contextMenuRequested(mapToGlobal(QPoint(5, 5)));
        return true;
    }
    if (watched == m_description && key->modifiers() == Qt::ControlModifier) {
        // The description edit's own commands under the keys the grid uses.
        if (key->key() == Qt::Key_P) {
            m_description->paste();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            m_description->textCursor().removeSelectedText();
            return true;
        }
    }
    if (watched == m_cellEdit) {
        if (enter) {
            CollapseSelection(*m_grid);
            m_grid->setFocus();
            CommitCellEdit();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            CancelCellEdit();
            return true;
        }
    } else if (watched == m_dropButton) {
        if (enter) {
            CollapseSelection(*m_grid);
            BeginCellEdit(0);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            m_valueList->hide();
            m_grid->setFocus();
            return true;
        }
        if (key->key() != Qt::Key_Space) {  // the button's own key presses it
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
            QApplication::sendEvent(m_grid, &copy);
            return true;
        }
    } else if (watched == m_valueList) {
        if (key->key() == Qt::Key_Escape) {
            m_valueList->hide();
            m_grid->setFocus();
            return true;
        }
        if (enter) {
            CommitListChoice(m_valueList->currentRow());
            return true;
        }
    }
    return false;
}

// ---- commands ----

bool CZOKView::FocusOnGrid() const
{
    // No focus at all (the window not yet shown) counts as the grid's: it is where the focus goes.
    const QWidget* focus = window()->focusWidget();
    return focus == m_grid || focus == m_dropButton || focus == nullptr;
}

template <typename LineOp, typename TextOp, typename GridOp>
void CZOKView::Route(LineOp onLine, TextOp onText, GridOp onGrid)
{
    QWidget* focus = window()->focusWidget();
    if (focus == m_cellEdit) return onLine(*m_cellEdit);
    if (focus == m_description) return onText(*m_description);
    // The value list has no text of its own to act on.
    if (!FocusOnGrid()) return;
    if (noteChanged) noteChanged(QString(), false);  // a new command on the cells: the last note is done
    onGrid(m_editor);
    if (m_reference) UpdateDifferenceTabs(false);
    Changed();
}

void CZOKView::SelectAll()
{
    Route([](QLineEdit& e) { e.selectAll(); },
          [](QPlainTextEdit& e) {
              e.selectAll();
              e.ensureCursorVisible();
          },
          [](GridEditor& g) { g.SelectAll(); });
}

void CZOKView::Delete()
{
    Route([](QLineEdit& e) { e.del(); }, [](QPlainTextEdit& e) { e.textCursor().removeSelectedText(); },
          [](GridEditor& g) { g.Delete(); });
}

void CZOKView::Copy()
{
    Route([](QLineEdit& e) { e.copy(); }, [](QPlainTextEdit& e) { e.copy(); }, [](GridEditor& g) { g.Copy(); });
}

void CZOKView::Cut()
{
    Route([](QLineEdit& e) { e.cut(); }, [](QPlainTextEdit& e) { e.cut(); }, [](GridEditor& g) { g.Cut(); });
}

void CZOKView::Paste()
{
    Route([](QLineEdit& e) { e.paste(); }, [](QPlainTextEdit& e) { e.paste(); }, [this](GridEditor& g) {
        g.Paste();
        ReportInput();
    });
}

void CZOKView::ReportInput()
{
    const GridEditor::InputReport& report = m_editor.LastInput();
    if (noteChanged) noteChanged(InputNote(report), report.notNumbers > 0);
}

void CZOKView::Undo()
{
    Route([](QLineEdit& e) { e.undo(); }, [](QPlainTextEdit& e) { e.undo(); }, [](GridEditor& g) { g.Undo(); });
}

void CZOKView::Redo()
{
    Route([](QLineEdit& e) { e.redo(); }, [](QPlainTextEdit& e) { e.redo(); }, [](GridEditor& g) { g.Redo(); });
}

void CZOKView::SetColumnRadix(int command)
{
    const int section = CurrentSection();
    if (section < 0) return;
    if (zok2::SetColumnRadix(m_doc, section, *m_grid, command, FocusOnGrid())) UpdateDropButton();
    Changed();
}

CommandState CZOKView::DisplayModeState(int command) const
{
    const int section = CurrentSection();
    return section >= 0 ? zok2::DisplayModeState(m_doc, section, *m_grid, command) : CommandState{};
}

EditCommandStates CZOKView::EditStates() const
{
    const int section = CurrentSection();
    EditCommandStates states = zok2::EditStates(m_doc, std::max(section, 0), *m_grid);
    if (section < 0) {
        // Without a tab there is no cell: only the logs speak.
        states.selectAll = states.discardData = m_doc.HasSections();
        states.cut = states.copy = states.paste = states.remove = false;
    }
    return states;
}

}  // namespace zok2
