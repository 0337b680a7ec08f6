// The view's tools for making a set: the preview of changed column definitions
// and the file's bytes beside the grid.
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <optional>

#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "search/ByteWindow.h"
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
