// What the view tells about its cells beyond the grid: the comparison with a
// reference file, going to a found place, the current cell's information line
// and the note of an input that was not all plain numbers.
#include <QStringList>

#include "compare/Reference.h"
#include "document/CZOKDoc.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "search/CellFacts.h"
#include "view/CZOKView.h"
#include "view/SectionTabs.h"

namespace zok2 {

// ---- the reference file ----

void CZOKView::SetReference(const CZOKDoc* reference)
{
    m_reference = reference;
    UpdateDifferenceTabs(true);
    m_grid->viewport()->update();
    Changed();
}

void CZOKView::UpdateDifferenceTabs(bool all)
{
    const int current = m_tabs->CurrentIndex();
    for (std::size_t i = 0; i < m_tabItems.size(); ++i) {
        if (!all && static_cast<int>(i) != current) continue;
        const int section = m_tabItems[i].section;
        const bool differs = m_reference && !compare::DifferingCells(m_doc, *m_reference, section).empty();
        m_tabs->SetTabText(static_cast<int>(i), (differs ? QStringLiteral("● ") : QString()) + m_tabItems[i].text);
    }
}

// ---- going to a place ----

void CZOKView::ShowHit(int section, int row, int column)
{
    if (section < 0 || static_cast<std::size_t>(section) >= m_doc.sections.size()) return;
    CommitCellEdit();
    const int rows = static_cast<int>(m_doc.RowLabels(section).size());
    const int columns = static_cast<int>(m_doc.sections[static_cast<std::size_t>(section)].size());
    if (rows < 1 || columns < 1) return;
    if (row == 0) {
        m_editor.GoTo(section, column, column, 1, rows);
    } else if (column == 0) {
        m_editor.GoTo(section, 1, columns, row, row);
    } else {
        m_editor.GoTo(section, column, column, row, row);
    }
    m_grid->setFocus();
    Changed();
}

// ---- the information line ----

QString CZOKView::InfoLine() const
{
    const int section = CurrentSection();
    const int row = m_grid->CurrentRow(), column = m_grid->CurrentColumn();
    const std::optional<search::CellFacts> facts = section >= 0 ? search::DescribeCell(m_doc, section, row, column) : std::nullopt;
    if (!facts) return QString();
    QString line = FileNameToQString(facts->table) + QStringLiteral("  ") + SjisToQString(facts->rowLabel) + QStringLiteral("  ") +
                   SjisToQString(facts->caption) + QStringLiteral("  │  ");
    if (facts->state == search::CellState::None) return line + T("View", "値はありません（--）");
    const QString size = facts->bit >= 0 ? T("View", "ビット %1").arg(facts->bit) : T("View", "%1 バイト").arg(facts->byteCount);
    switch (facts->state) {
    case search::CellState::Compressed: line += T("View", "圧縮されたセクションの値（ファイル上の位置はありません）"); break;
    case search::CellState::Checksum:
        if (facts->offset >= 0) {
            line += QString::fromStdString(search::OffsetText(facts->offset)) + QStringLiteral("  ") + size + QStringLiteral("  [") +
                    QString::fromStdString(search::HexPairs(facts->bytes)) + QStringLiteral("]") + T("View", "  読み取り専用（保存のたびに計算）");
        } else {
            line += T("View", "チェックサムの規則から計算した値（ファイル上の位置はありません）");
        }
        break;
    case search::CellState::PastEnd:
        line += QString::fromStdString(search::OffsetText(facts->offset)) + QStringLiteral("  ") + size + T("View", "  ファイルの終わりより後ろ");
        break;
    default:
        line += QString::fromStdString(search::OffsetText(facts->offset)) + QStringLiteral("  ") + size + QStringLiteral("  [") +
                QString::fromStdString(search::HexPairs(facts->bytes)) + QStringLiteral("]");
        break;
    }
    line += T("View", "  │  16進 0x%1  符号付き %2  符号無し %3")
                .arg(QString::number(facts->value, 16).toUpper())
                .arg(facts->signedValue)
                .arg(facts->value);
    if (m_reference) {
        // Beside the value, the reference's (or that it holds none there).
        const std::optional<search::CellFacts> theirs = search::DescribeCell(*m_reference, section, row, column);
        const bool held = theirs && theirs->state != search::CellState::None && theirs->state != search::CellState::PastEnd;
        line += held ? T("View", "  │  比較元 0x%1").arg(QString::number(theirs->value, 16).toUpper()) : T("View", "  │  比較元にはありません");
    }
    return line;
}

QString CZOKView::ReadOnlyReason(int section) const
{
    if (m_doc.IsChecksumSection(section)) return T("View", "チェックサムは保存のたびに規則から計算され、ここでは編集できません");
    return m_doc.IsCompressedSection(section) ? T("View", "圧縮されたセクションの値は編集できません")
                                              : T("View", "ファイルの終わりより後ろの値は編集できません");
}

std::int64_t CZOKView::CurrentOffset() const
{
    const int section = CurrentSection();
    if (section < 0) return -1;
    const std::optional<search::CellFacts> facts = search::DescribeCell(m_doc, section, m_grid->CurrentRow(), m_grid->CurrentColumn());
    return facts && facts->state != search::CellState::None ? facts->offset : -1;
}

// ---- the note of an input ----

QString CZOKView::InputNote(const GridEditor::InputReport& report) const
{
    if (report.notNumbers == 0 && report.clamped == 0 && report.cut == 0) return QString();
    QStringList parts;
    if (report.notNumbers > 0) parts << T("View", "数値として読めない文字列 %1 個（読める部分、なければ 0 を格納）").arg(report.notNumbers);
    if (report.clamped > 0) parts << T("View", "範囲に合わせた値 %1 個").arg(report.clamped);
    if (report.cut > 0) parts << T("View", "列の大きさに切り詰めた値 %1 個").arg(report.cut);
    QString note = parts.join(T("View", "、"));
    const int section = CurrentSection();
    if (section >= 0) {
        const TextList& labels = m_doc.RowLabels(section);
        const auto& columns = m_doc.sections[static_cast<std::size_t>(section)];
        const QString label = report.firstRow >= 1 && static_cast<std::size_t>(report.firstRow - 1) < labels.size()
                                  ? SjisToQString(labels[static_cast<std::size_t>(report.firstRow - 1)])
                                  : QString();
        const QString caption = report.firstColumn >= 1 && static_cast<std::size_t>(report.firstColumn - 1) < columns.size()
                                    ? SjisToQString(columns[static_cast<std::size_t>(report.firstColumn - 1)][ColumnField::caption])
                                    : QString();
        note += T("View", "。最初: %1 行目「%2」の「%3」").arg(report.firstRow).arg(label, caption);
    }
    if (report.textInList) note += T("View", "。リストの列には名前でなく値（0X01 など）を貼り付けてください");
    return note;
}

}  // namespace zok2
