#pragma once
// The find dialog: a search text, where to look and what to match; next,
// previous and find-all, whose hits are listed and gone to when chosen. It
// stays open beside the window (not modal).
#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "search/CellSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace zok2 {

class CZOKDoc;
class CZOKView;

class FindDialog : public QDialog {
public:
    FindDialog(CZOKDoc& doc, CZOKView& view, QWidget* parent);

    // The query as the controls give it (the text in Shift-JIS).
    search::SearchQuery Query() const;
    // Finds the next (or previous) match from the current cell and goes there;
    // false when nothing matches. The note says when the search went round.
    bool FindNext(bool forward);
    // Lists every match (stoppable when it takes long); the count found.
    int FindAll();
    // Goes to the listed hit `index`.
    void GoToListed(int index);
    bool HasQuery() const;

    QLineEdit& Text() { return *m_text; }
    QRadioButton& EveryTable() { return *m_everyTable; }
    QCheckBox& Labels() { return *m_labels; }
    QCheckBox& Cells() { return *m_cells; }
    QCheckBox& Captions() { return *m_captions; }
    QCheckBox& Whole() { return *m_whole; }
    QListWidget& Hits() { return *m_list; }
    QLabel& Note() { return *m_note; }

private:
    search::SearchHit From() const;

    CZOKDoc& m_doc;
    CZOKView& m_view;
    QLineEdit* m_text;
    QRadioButton* m_thisTable;
    QRadioButton* m_everyTable;
    QCheckBox* m_labels;
    QCheckBox* m_cells;
    QCheckBox* m_captions;
    QCheckBox* m_whole;
    QListWidget* m_list;
    QLabel* m_note;
    std::vector<search::SearchHit> m_hits;
    std::optional<search::SearchHit> m_last;  // where the last search went, to go on from there
};

}  // namespace zok2
