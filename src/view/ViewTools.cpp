// The view's tools for making a set: the preview of changed column definitions
// and the file's bytes beside the grid.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <optional>

#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "search/ByteWindow.h"
#include "search/CellFacts.h"
#include "view/BytePane.h"
#include "view/CZOKView.h"

namespace zok2 {

// ---- a preview of changed definitions ----

void CZOKView::PreviewColumns(const Section& columns, const std::vector<int>& aligns, const ICellTextSource& source, int column)
{
    const int section = CurrentSection();
    if (section < 0) return;
    CommitCellEdit();
    m_dropButton->hide();
    m_valueList->hide();
    const int firstRow = m_grid->FirstVisibleRow(), firstColumn = m_grid->FirstVisibleColumn();
    m_previewing = true;
    m_showing = true;
    FillPreviewGrid(m_doc, *m_grid, section, columns, aligns, source, column, m_grid->CurrentRow());
    m_grid->SetFirstVisibleRow(firstRow);
    m_grid->SetFirstVisibleColumn(std::min(firstColumn, std::max(1, m_grid->ColumnCount() - 1)));
    m_showing = false;
}

void CZOKView::EndPreview()
{
    if (!m_previewing) return;
    m_previewing = false;
    const int section = CurrentSection();
    const int firstRow = m_grid->FirstVisibleRow();
    const int columns = section >= 0 ? static_cast<int>(m_doc.sections[static_cast<std::size_t>(section)].size()) : 1;
    if (section >= 0) ShowSection(section, std::clamp(m_grid->CurrentColumn(), 1, std::max(1, columns)), m_grid->CurrentRow());
    m_grid->SetFirstVisibleRow(firstRow);
    UpdateDropButton();
    Changed();
}

// ---- the bytes beside the grid ----

void CZOKView::SetBytePaneShown(bool shown)
{
    m_bytePane->setVisible(shown);
    LayoutControls(width(), height());
    if (shown) {
        m_bytePane->SetFileSize(m_doc.FileSize());
        m_bytePane->Follow(CurrentOffset());
    }
}

bool CZOKView::BytePaneShown() const { return !m_bytePane->isHidden(); }

bool CZOKView::ShowCellOfByte(std::int64_t offset)
{
    const std::optional<search::SearchHit> hit = search::CellOfByte(m_doc, CurrentSection(), offset);
    if (!hit) return false;
    ShowHit(hit->section, hit->row, hit->column);
    return true;
}

// The drop button's arrow and the value list are small beside 9-point text and
// grow with larger text (the fonts are only known for sure once the widgets are
// on screen, so this runs before each is shown).
void CZOKView::DressChildren()
{
    m_cellEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_cellEdit->setFrame(false);
    // Light cyan whatever the theme, so its text is the theme's only where that reads on it.
    const QColor editFill(233, 255, 255);
    const QColor editText = ReadableOn(editFill, palette().color(QPalette::Text));
    QPalette editPalette = m_cellEdit->palette();
    editPalette.setColor(QPalette::Base, editFill);
    editPalette.setColor(QPalette::Text, editText);
    m_cellEdit->setPalette(editPalette);
    m_cellEdit->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(233, 255, 255); color: %1; border: 1px solid gray; }")
                                  .arg(editText.name()));
    m_cellEdit->hide();
    // What a screen reader says of the children it reaches besides the grid.
    m_cellEdit->setAccessibleName(T("View", "セルの編集"));
    m_valueList->setAccessibleName(T("View", "値の一覧"));
    m_dropButton->setAccessibleName(T("View", "値の一覧を開く"));
    m_description->setAccessibleName(T("View", "列の説明"));
    m_bytePane->setAccessibleName(T("View", "バイナリ"));
}

QString CZOKView::CellNameForReaders() const
{
    // The cell being edited, as the grid names it: its caption and its row.
    const int section = CurrentSection();
    const std::optional<search::CellFacts> facts = section >= 0 ? search::DescribeCell(m_doc, section, m_grid->CurrentRow(), m_grid->CurrentColumn())
                                                                : std::nullopt;
    if (!facts) return T("View", "セルの編集");
    return T("View", "%1 %2 の編集").arg(SjisToQString(facts->caption), SjisToQString(facts->rowLabel));
}

void CZOKView::FollowTextSize()
{
    const double scale = TextScaleOf(font());
    if (scale == m_textScale) return;
    m_textScale = scale;
    QFont buttonFont = font();
    buttonFont.setPointSizeF(7 * scale);
    m_dropButton->setFont(buttonFont);
    QFont listFont = font();
    listFont.setPointSizeF(9 * scale);
    m_valueList->setFont(listFont);
}

}  // namespace zok2
