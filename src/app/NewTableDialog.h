#pragma once
// その他 ▸ テーブルの追加: a new table of the open file's set from its bytes:
// name, first address, record size, records (or row labels, one a line) and a
// first column. 推定 proposes record sizes from the bytes at the address, each
// with the table it would give. OK writes the table's two files into the set.
#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

#include "sets/RecordSizes.h"
#include "sets/SetWriting.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace zok2 {

class CZOKDoc;

class NewTableDialog : public QDialog {
public:
    NewTableDialog(CZOKDoc& doc, QWidget* parent);

    // Empty fields; the address of `offset` (the current cell's) proposed.
    void Reset(std::int64_t offset);
    // Record sizes for the bytes from the address on (the length asked for, at
    // most 64 KiB, at most to the file's end), listed.
    void Propose();
    // The table the fields describe, or nothing (the problem said in the note).
    std::optional<sets::NewTable> Table();
    // Writes the table into the set: false (and the note says why) when refused.
    bool Write();

    QLineEdit& Name() { return *m_name; }
    QLineEdit& Address() { return *m_address; }
    QLineEdit& Length() { return *m_length; }
    QLineEdit& RecordSize() { return *m_recordSize; }
    QSpinBox& Records() { return *m_records; }
    QPlainTextEdit& Labels() { return *m_labels; }
    QLineEdit& Caption() { return *m_caption; }
    QComboBox& Size() { return *m_size; }
    QComboBox& Display() { return *m_display; }
    QListWidget& Proposals() { return *m_proposals; }
    QLabel& Note() { return *m_note; }
    QPushButton& Ok() { return *m_ok; }

private:
    void TakeProposal(int row);

    CZOKDoc& m_doc;
    QLineEdit* m_name;
    QLineEdit* m_address;
    QLineEdit* m_length;
    QLineEdit* m_recordSize;
    QSpinBox* m_records;
    QPlainTextEdit* m_labels;
    QLineEdit* m_caption;
    QComboBox* m_size;
    QComboBox* m_display;
    QListWidget* m_proposals;
    QLabel* m_note;
    QPushButton* m_ok;
    std::vector<sets::RecordSize> m_proposed;
};

}  // namespace zok2
