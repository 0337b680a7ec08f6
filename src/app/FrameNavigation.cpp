// The frame's ways to a place: the find dialog, going to a row or a file
// offset, and going through the cells that differ from the reference.
#include <QDialog>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/CMainFrame.h"
#include "app/ColumnEditor.h"
#include "app/NewTableDialog.h"
#include "app/SetCheckList.h"
#include "app/CZOKApp.h"
#include "app/FindDialog.h"
#include "compare/Reference.h"
#include "document/CZOKDoc.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "search/CellFacts.h"
#include "view/CZOKView.h"

namespace zok2 {

FindDialog& CMainFrame::Finder()
{
    if (!m_finder) m_finder = new FindDialog(m_app.Doc(), *m_view, this);
    return *m_finder;
}

bool CMainFrame::GoToPlace(const QString& text)
{
    CZOKDoc& doc = m_app.Doc();
    const int section = m_view->CurrentSection();
    if (section < 0) return false;
    const std::string typed = text.trimmed().toStdString();
    auto show = [&](const std::string& message) {
        doc.MessageBox().Show(message);
        return false;
    };
    if (const std::optional<std::int64_t> offset = search::ReadOffset(typed)) {
        const search::OffsetLocation place = search::LocateOffset(doc, *offset);
        if (place.holder) {
            m_view->ShowHit(place.holder->section, place.holder->row, place.holder->column);
            return true;
        }
        std::string message = Fill(Tr("MainFrame", "アドレス %1 を含むセルはありません。"), {search::OffsetText(*offset)});
        if (place.nearestBefore) {
            const search::SearchHit& n = *place.nearestBefore;
            const std::optional<search::CellFacts> facts = search::DescribeCell(doc, n.section, n.row, n.column);
            if (facts) {
                message += "\n" + Fill(Tr("MainFrame", "直前のセル: %1 の %2 行目「%3」の「%4」（%5）"),
                                          {facts->table, std::to_string(n.row), SjisToUtf8(facts->rowLabel), SjisToUtf8(facts->caption),
                                           search::OffsetText(facts->offset)});
            }
        } else {
            message += "\n" + Tr("MainFrame", "それより前にもセルはありません。");
        }
        return show(message);
    }
    const int rows = static_cast<int>(doc.RowLabels(section).size());
    bool number = !typed.empty() && typed.size() <= 9;
    for (char c : typed) number = number && c >= '0' && c <= '9';
    if (!number) return show(Tr("MainFrame", "行番号か、0x1234 や $1234 の形のアドレスを入力してください。"));
    const int row = std::stoi(typed);
    if (row < 1 || row > rows) return show(Fill(Tr("MainFrame", "行 %1 はありません（1 から %2 まで）。"), {typed, std::to_string(rows)}));
    m_view->ShowHit(section, row, std::max(m_view->GridWidget().CurrentColumn(), 1));
    return true;
}

bool CMainFrame::GoToDifference(bool forward)
{
    const CZOKDoc* reference = m_app.Reference();
    if (!reference) return false;
    std::vector<search::SearchHit> cells = compare::DifferingCells(m_app.Doc(), *reference);
    // Rows only the reference has (its compressed table read longer) are listed,
    // but the grid has no place for them: F4 goes round the cells it can show.
    const CZOKDoc& doc = m_app.Doc();
    cells.erase(std::remove_if(cells.begin(), cells.end(),
                               [&](const search::SearchHit& cell) {
                                   return static_cast<std::size_t>(cell.row) > doc.RowLabels(cell.section).size();
                               }),
                cells.end());
    if (cells.empty()) return false;
    const search::SearchHit here{m_view->CurrentSection(), m_view->GridWidget().CurrentRow(), m_view->GridWidget().CurrentColumn()};
    const auto before = [](const search::SearchHit& a, const search::SearchHit& b) {
        return a.section != b.section ? a.section < b.section : a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    const search::SearchHit* target = nullptr;
    if (forward) {
        auto it = std::upper_bound(cells.begin(), cells.end(), here, before);
        target = it != cells.end() ? &*it : &cells.front();  // round again from the first
    } else {
        auto it = std::lower_bound(cells.begin(), cells.end(), here, before);
        target = it != cells.begin() ? &*(it - 1) : &cells.back();
    }
    m_view->ShowHit(target->section, target->row, target->column);
    return true;
}

QDialog& CMainFrame::DifferenceList()
{
    if (!m_differences) {
        m_differences = new QDialog(this);
        m_differences->setWindowTitle(T("MainFrame", "相違の一覧"));
        auto* layout = new QVBoxLayout(m_differences);
        m_differenceItems = new QListWidget(m_differences);
        layout->addWidget(m_differenceItems);
        m_differences->resize(640, 360);
        connect(m_differenceItems, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            const int row = m_differenceItems->row(item);
            if (row >= 0 && static_cast<std::size_t>(row) < m_differenceHits.size()) {
                const search::SearchHit& hit = m_differenceHits[static_cast<std::size_t>(row)];
                m_view->ShowHit(hit.section, hit.row, hit.column);
            }
        });
    }
    // Listed afresh each time: the data may have changed meanwhile.
    m_differenceItems->clear();
    m_differenceHits.clear();
    CZOKDoc& doc = m_app.Doc();
    if (const CZOKDoc* reference = m_app.Reference()) {
        m_differenceHits = compare::DifferingCells(doc, *reference);
        if (m_differenceHits.size() > 100000) m_differenceHits.resize(100000);
        for (const search::SearchHit& hit : m_differenceHits) {
            auto shown = [&](const CZOKDoc& d) {
                const bool held = d.HasData(hit.section, hit.column - 1, hit.row - 1) &&
                                  (d.IsCompressedSection(hit.section) || d.IsEditable(hit.section, hit.column - 1, hit.row - 1));
                return held ? SjisToQString(d.DisplayText(hit.section, hit.column - 1, hit.row - 1)) : T("MainFrame", "（なし）");
            };
            const ColumnLayout* layout = doc.LayoutOf(hit.section, hit.column - 1);
            m_differenceItems->addItem(FileNameToQString(doc.SectionName(hit.section)) + QStringLiteral("  │  ") +
                                       SjisToQString(compare::RowLabelOf(doc, *reference, hit.section, hit.row)) + QStringLiteral("  │  ") +
                                       SjisToQString(doc.sections[static_cast<std::size_t>(hit.section)][static_cast<std::size_t>(hit.column - 1)][ColumnField::caption]) +
                                       QStringLiteral("  │  ") + shown(*reference) + QStringLiteral(" → ") + shown(doc) + QStringLiteral("  │  ") +
                                       (layout ? QString::fromStdString(search::OffsetText(layout->Offset(hit.row - 1))) : QString()));
        }
    }
    return *m_differences;
}

SetCheckList& CMainFrame::SetCheck()
{
    if (!m_setCheck) m_setCheck = new SetCheckList(m_app.Doc(), *m_view, this);
    return *m_setCheck;
}

NewTableDialog& CMainFrame::AddTable()
{
    if (!m_addTable) {
        m_addTable = new NewTableDialog(m_app.Doc(), this);
        // Written: the set is read again with the new table, as an open (unsaved edits are asked about first).
        connect(m_addTable, &QDialog::accepted, this, [this] { m_app.OpenDocumentFile(m_app.Doc().GetPathName()); });
    }
    return *m_addTable;
}

ColumnEditor& CMainFrame::Columns()
{
    if (!m_columnEditor) {
        m_columnEditor = new ColumnEditor(m_app.Doc(), *m_view, this);
        m_columnEditor->setModal(true);
        // Written: the set is read again. Edits the user chose not to save go with it, as they said.
        connect(m_columnEditor, &QDialog::accepted, this, [this] {
            m_app.Doc().SetModifiedFlag(false);
            m_app.OpenDocumentFile(m_app.Doc().GetPathName());
        });
    }
    return *m_columnEditor;
}

void CMainFrame::EditColumn()
{
    CZOKDoc& doc = m_app.Doc();
    if (!doc.HasSections() || m_view->CurrentSection() < 0) return;
    if (doc.IsChecksumSection(m_view->CurrentSection())) {
        ShowNote(T("MainFrame", "チェックサムの表は %1 の規則から作られます").arg(FileNameToQString(checksum::kRulesFile)));
        return;
    }
    m_view->CommitPendingEdit();
    // As switching sets: the set is read again afterwards, so unsaved edits are offered for saving first.
    if (doc.IsModified() && !doc.SaveModified()) return;
    if (!Columns().Reset()) {
        ShowNote(T("MainFrame", "圧縮されたテーブルの列の定義はここでは変えられません"));
        return;
    }
    // At the window's right, clear of the table's first columns that the preview changes.
    const QRect frame = frameGeometry();
    Columns().adjustSize();
    Columns().move(std::max(frame.left(), frame.right() - Columns().frameGeometry().width() - 8), frame.top() + 60);
    Columns().open();
}

void CMainFrame::SetBytePaneShown(bool shown, bool remember)
{
    m_view->SetBytePaneShown(shown);
    m_actions[command::kBytePane]->setChecked(shown);
    if (remember) {
        IniProfile profile = m_app.Profile();
        m_app.ProfileWritten(profile.WriteString("Setting", "bytepane", shown ? "1" : "0"));
    }
}

}  // namespace zok2
