#pragma once
// The check of the definition set in use (その他 ▸ 定義の検査): each problem a
// line, and a double click goes to the table and column it is about. It stays
// open beside the window and checks afresh each time it is shown.
#include <QDialog>
#include <QString>
#include <vector>

#include "sets/SetCheck.h"

class QLabel;
class QListWidget;

namespace zok2 {

class CZOKDoc;
class CZOKView;

// A problem in the window's words (Japanese, or English through the translations).
QString SetProblemText(const sets::SetProblem& problem);
// What is wrong alone, without the file, the line and the column.
QString SetProblemWhat(const sets::SetProblem& problem);

class SetCheckList : public QDialog {
public:
    SetCheckList(CZOKDoc& doc, CZOKView& view, QWidget* parent);

    // Checks the set again: the open file's set (against the file), or the
    // profile's set when no file is open.
    void Refresh();
    // Goes to the table and column of the listed problem `index`.
    void GoToListed(int index);

    QListWidget& Items() { return *m_list; }
    QLabel& Summary() { return *m_summary; }
    const std::vector<sets::SetProblem>& Problems() const { return m_problems; }

private:
    CZOKDoc& m_doc;
    CZOKView& m_view;
    QLabel* m_summary;
    QListWidget* m_list;
    std::vector<sets::SetProblem> m_problems;
};

}  // namespace zok2
