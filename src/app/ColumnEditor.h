#pragma once
// その他 ▸ 列の定義 (and the grid's context menu): the current column's ten
// fields as its column file writes them, each checked as typed, with the grid
// showing the table as it would read with them while the dialog is open.
// 追加 makes a new column after the current one, 削除 takes the column away;
// OK writes that one line of the column file (every other byte kept) in the
// form the settings writer writes, and the set is read again.
#include <QDialog>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "definitions/DefinitionTables.h"
#include "sets/SetCheck.h"
#include "sets/SetWriting.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zok2 {

class CZOKDoc;
class CZOKView;
class ColumnPreviewSource;

class ColumnEditor : public QDialog {
public:
    // The fields in the order of a column line.
    enum Field { kAddress, kCaption, kSize, kStride, kRows, kDisplay, kLimit, kWidth, kDescription, kList, kFields };

    ColumnEditor(CZOKDoc& doc, CZOKView& view, QWidget* parent);
    ~ColumnEditor() override;

    // The fields of the current column of the current table; false (nothing
    // shown) without a column the editor can change.
    bool Reset();
    // A new column after the current one (its address right after it), or the
    // current column taken away; the preview follows.
    void AddColumn();
    void RemoveColumn();

    // The column line the fields make (Shift-JIS, without a line end).
    std::string Line() const;
    // The problems of that line, as the set check reports them.
    const std::vector<sets::SetProblem>& Problems() const { return m_problems; }
    // Writes the line into the column file: false (and the note says why) when refused.
    bool Write();

    QLineEdit& FieldEdit(Field field) { return *m_fields[static_cast<std::size_t>(field)]; }
    QLabel& Note() { return *m_note; }
    QPushButton& Ok() { return *m_ok; }
    QPushButton& Add() { return *m_add; }
    QPushButton& Remove() { return *m_remove; }
    // The change OK makes.
    sets::ColumnChange Change() const { return m_change; }

    void done(int result) override;

private:
    // Checks the fields and shows the table as they would read it.
    void Update();

    CZOKDoc& m_doc;
    CZOKView& m_view;
    std::array<QLineEdit*, kFields> m_fields{};
    QLabel* m_note;
    QPushButton* m_ok;
    QPushButton* m_add;
    QPushButton* m_remove;
    int m_section = -1;
    int m_column = -1;  // the definition's index in its table
    sets::ColumnChange m_change = sets::ColumnChange::Replace;
    std::string m_comment;  // the line's comment, kept as it was
    bool m_filling = false;
    std::vector<sets::SetProblem> m_problems;
    std::unique_ptr<ColumnPreviewSource> m_preview;
};

}  // namespace zok2
