#include "app/NewTableDialog.h"

#include <QComboBox>
#include <algorithm>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/CZOKDoc.h"
#include "framework/File.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"

namespace zok2 {

namespace {

constexpr std::int64_t kProposalBytes = 64 << 10;

std::optional<std::uint32_t> Hex(const QString& text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) digits = digits.mid(2);
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    if (!ok || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

NewTableDialog::NewTableDialog(CZOKDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc)
{
    setWindowTitle(T("NewTable", "テーブルの追加"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_address = new QLineEdit(this);
    m_length = new QLineEdit(this);
    m_recordSize = new QLineEdit(this);
    m_records = new QSpinBox(this);
    m_records->setRange(1, 1000000);
    m_labels = new QPlainTextEdit(this);
    m_labels->setPlaceholderText(T("NewTable", "行の名前を 1 行に 1 つ（空ならレコード数だけ番号を付けます）"));
    m_labels->setMaximumHeight(90);
    m_caption = new QLineEdit(this);
    m_size = new QComboBox(this);
    for (const char* size : {"1", "2", "3", "4"}) m_size->addItem(QString::fromLatin1(size));
    m_display = new QComboBox(this);
    m_display->addItem(T("NewTable", "16進数"), 16);
    m_display->addItem(T("NewTable", "符号付き10進数"), -10);
    m_display->addItem(T("NewTable", "符号無し10進数"), 10);
    form->addRow(T("NewTable", "名前(&N)"), m_name);
    form->addRow(T("NewTable", "先頭アドレス(&A) (16進)"), m_address);
    form->addRow(T("NewTable", "推定に使うバイト数(&B) (16進)"), m_length);
    form->addRow(T("NewTable", "レコードサイズ(&R) (16進)"), m_recordSize);
    form->addRow(T("NewTable", "レコード数(&C)"), m_records);
    form->addRow(T("NewTable", "行の名前(&L)"), m_labels);
    form->addRow(T("NewTable", "最初の列の見出し(&H)"), m_caption);
    form->addRow(T("NewTable", "最初の列のサイズ(&S)"), m_size);
    form->addRow(T("NewTable", "表示(&D)"), m_display);
    layout->addLayout(form);
    auto* propose = new QPushButton(T("NewTable", "レコードサイズの推定(&P)"), this);
    layout->addWidget(propose);
    m_proposals = new QListWidget(this);
    m_proposals->setMaximumHeight(110);
    layout->addWidget(m_proposals);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(propose, &QPushButton::clicked, this, [this] { Propose(); });
    connect(m_proposals, &QListWidget::currentRowChanged, this, [this](int row) { TakeProposal(row); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Write()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void NewTableDialog::Reset(std::int64_t offset)
{
    for (QLineEdit* edit : {m_name, m_recordSize, m_caption}) edit->clear();
    m_address->setText(QString::number(offset < 0 ? 0 : offset, 16).toUpper());
    m_length->setText(QStringLiteral("100"));
    m_records->setValue(1);
    m_labels->clear();
    m_size->setCurrentIndex(0);
    m_display->setCurrentIndex(0);
    m_proposals->clear();
    m_proposed.clear();
    m_note->clear();
}

void NewTableDialog::Propose()
{
    m_proposals->clear();
    m_proposed.clear();
    const std::optional<std::uint32_t> address = Hex(m_address->text());
    fs::File file;
    if (!address || !file.Open(m_doc.GetPathName(), fs::File::Mode::Read) || *address >= file.Size()) {
        m_note->setText(T("NewTable", "先頭アドレスがファイルの中にありません。"));
        return;
    }
    const std::int64_t asked = Hex(m_length->text()).value_or(0x100);
    std::string bytes(static_cast<std::size_t>(std::min({kProposalBytes, asked, file.Size() - *address})), '\0');
    const std::int64_t got = file.ReadAt(*address, bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    m_proposed = sets::ProposeRecordSizes(bytes);
    for (const sets::RecordSize& size : m_proposed) {
        m_proposals->addItem(T("NewTable", "0x%1 バイト: 一致 %2%、%3 レコード")
                                 .arg(QString::number(size.stride, 16).toUpper())
                                 .arg(qRound(size.score * 100))
                                 .arg(size.records));
    }
    m_note->setText(m_proposed.empty() ? T("NewTable", "推定できるだけのバイトがありません。")
                                       : T("NewTable", "%1 バイトから推定しました。選ぶとレコードサイズとレコード数に入ります。").arg(bytes.size()));
}

void NewTableDialog::TakeProposal(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_proposed.size()) return;
    const sets::RecordSize& size = m_proposed[static_cast<std::size_t>(row)];
    m_recordSize->setText(QString::number(size.stride, 16).toUpper());
    m_records->setValue(static_cast<int>(std::min<std::size_t>(size.records, 1000000)));
}

std::optional<sets::NewTable> NewTableDialog::Table()
{
    sets::NewTable table;
    table.name = QStringToFileName(m_name->text().trimmed());
    const std::optional<std::uint32_t> address = Hex(m_address->text());
    const std::optional<std::uint32_t> recordSize = Hex(m_recordSize->text());
    if (!address) {
        m_note->setText(T("NewTable", "先頭アドレスは 16 進数で入力してください。"));
        return std::nullopt;
    }
    if (!recordSize || *recordSize == 0) {
        m_note->setText(T("NewTable", "レコードサイズは 1 以上の 16 進数で入力してください。"));
        return std::nullopt;
    }
    table.address = *address;
    table.recordSize = *recordSize;
    table.records = static_cast<std::size_t>(m_records->value());
    for (const QString& line : m_labels->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        table.labels.push_back(QStringToSjis(line.trimmed()));
    }
    table.caption = QStringToSjis(m_caption->text());
    table.size = m_size->currentIndex() + 1;
    table.radix = m_display->currentData().toInt();
    return table;
}

bool NewTableDialog::Write()
{
    const std::optional<sets::NewTable> table = Table();
    if (!table) return false;
    std::string reason;
    if (!sets::WriteNewTable(m_doc.definitionFolder, *table, m_doc.addressCorrection, &reason)) {
        m_note->setText(T("NewTable", "テーブルを追加できません: %1").arg(QString::fromStdString(reason)));
        return false;
    }
    return true;
}

}  // namespace zok2
