#include "app/FindDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/CZOKDoc.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {
constexpr std::size_t kMostListed = 100000;  // find-all lists this many at the most
}  // namespace

FindDialog::FindDialog(CZOKDoc& doc, CZOKView& view, QWidget* parent)
    : QDialog(parent),
      m_doc(doc),
      m_view(view),
      m_text(new QLineEdit(this)),
      m_thisTable(new QRadioButton(T("FindDialog", "このテーブル(&T)"), this)),
      m_everyTable(new QRadioButton(T("FindDialog", "すべてのテーブル(&L)"), this)),
      m_labels(new QCheckBox(T("FindDialog", "行の名前(&R)"), this)),
      m_cells(new QCheckBox(T("FindDialog", "セルの表示(&C)"), this)),
      m_captions(new QCheckBox(T("FindDialog", "見出し(&H)"), this)),
      m_whole(new QCheckBox(T("FindDialog", "セル全体と一致(&W)"), this)),
      m_list(new QListWidget(this)),
      m_note(new QLabel(this))
{
    setWindowTitle(T("FindDialog", "検索"));
    setModal(false);
    m_everyTable->setChecked(true);
    for (QCheckBox* box : {m_labels, m_cells, m_captions}) box->setChecked(true);
    auto* next = new QPushButton(T("FindDialog", "次を検索(&N)"), this);
    auto* previous = new QPushButton(T("FindDialog", "前を検索(&P)"), this);
    auto* all = new QPushButton(T("FindDialog", "すべて検索(&A)"), this);
    auto* close = new QPushButton(T("FindDialog", "閉じる"), this);
    next->setDefault(true);
    next->setObjectName("next");
    previous->setObjectName("previous");
    all->setObjectName("all");

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(T("FindDialog", "検索する文字列(&S):"), this), 0, 0);
    layout->addWidget(m_text, 0, 1, 1, 3);
    layout->addWidget(new QLabel(T("FindDialog", "場所:"), this), 1, 0);
    layout->addWidget(m_thisTable, 1, 1);
    layout->addWidget(m_everyTable, 1, 2);
    layout->addWidget(new QLabel(T("FindDialog", "対象:"), this), 2, 0);
    layout->addWidget(m_labels, 2, 1);
    layout->addWidget(m_cells, 2, 2);
    layout->addWidget(m_captions, 2, 3);
    layout->addWidget(m_whole, 3, 1, 1, 3);
    auto* hint = new QLabel(T("FindDialog", "英字の大小、全角と半角の英数字・カナは区別しません。数値は表示形式によらず値でも探します。"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint, 4, 0, 1, 4);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {next, previous, all, close}) buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 4, 5, 1);
    layout->addWidget(m_note, 5, 0, 1, 5);
    layout->addWidget(m_list, 6, 0, 1, 5);
    m_list->hide();
    m_text->setFocus();

    connect(next, &QPushButton::clicked, this, [this] { FindNext(true); });
    connect(previous, &QPushButton::clicked, this, [this] { FindNext(false); });
    connect(all, &QPushButton::clicked, this, [this] { FindAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { GoToListed(m_list->row(item)); });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { GoToListed(m_list->row(item)); });
    connect(m_text, &QLineEdit::textChanged, this, [this] { m_last.reset(); });
}

bool FindDialog::HasQuery() const { return !m_text->text().isEmpty(); }

search::SearchQuery FindDialog::Query() const
{
    search::SearchQuery query;
    query.text = QStringToSjis(m_text->text());
    query.onlySection = m_thisTable->isChecked() ? m_view.CurrentSection() : -1;
    query.labels = m_labels->isChecked();
    query.cells = m_cells->isChecked();
    query.captions = m_captions->isChecked();
    query.whole = m_whole->isChecked();
    return query;
}

search::SearchHit FindDialog::From() const
{
    // Going on from the last hit while the cursor still stands where it put it.
    const search::SearchHit here{m_view.CurrentSection(), m_view.GridWidget().CurrentRow(), m_view.GridWidget().CurrentColumn()};
    if (m_last && m_last->section == here.section) {
        const int landingRow = m_last->row == 0 ? 1 : m_last->row, landingColumn = m_last->column == 0 ? 1 : m_last->column;
        if (landingRow == here.row && landingColumn == here.column) return *m_last;
    }
    return here;
}

bool FindDialog::FindNext(bool forward)
{
    const search::CellSearch finder(m_doc, Query());
    if (!finder.IsValid()) {
        m_note->setText(T("FindDialog", "検索する文字列と対象を指定してください"));
        return false;
    }
    bool wrapped = false;
    const std::optional<search::SearchHit> hit = finder.Next(From(), forward, &wrapped);
    if (!hit) {
        m_note->setText(T("FindDialog", "見つかりません"));
        return false;
    }
    m_note->setText(wrapped ? (forward ? T("FindDialog", "最後まで検索したので先頭から検索しました") : T("FindDialog", "先頭まで検索したので最後から検索しました"))
                            : QString());
    m_last = hit;
    m_view.ShowHit(hit->section, hit->row, hit->column);
    return true;
}

int FindDialog::FindAll()
{
    const search::CellSearch finder(m_doc, Query());
    m_list->clear();
    m_hits.clear();
    if (!finder.IsValid()) {
        m_note->setText(T("FindDialog", "検索する文字列と対象を指定してください"));
        return 0;
    }
    // A long search shows its progress and can be stopped.
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    bool stopped = false;
    m_hits = finder.All(kMostListed, [&](double done) {
        if (!progress && clock.elapsed() > 300) {
            progress = std::make_unique<QProgressDialog>(T("FindDialog", "検索しています..."), T("FindDialog", "中止"), 0, 1000, this);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        if (progress) {
            progress->setValue(static_cast<int>(done * 1000));
            QCoreApplication::processEvents();
            stopped = progress->wasCanceled();
        }
        return !stopped;
    });
    for (const search::SearchHit& hit : m_hits) {
        const auto& columns = m_doc.sections[static_cast<std::size_t>(hit.section)];
        const QString label = hit.row > 0 ? SjisToQString(m_doc.RowLabels(hit.section)[static_cast<std::size_t>(hit.row - 1)]) : QString();
        const QString caption = hit.column > 0 ? SjisToQString(columns[static_cast<std::size_t>(hit.column - 1)][ColumnField::caption]) : QString();
        const QString shown = hit.row == 0 ? caption : hit.column == 0 ? label : SjisToQString(m_doc.DisplayText(hit.section, hit.column - 1, hit.row - 1));
        m_list->addItem(FileNameToQString(m_doc.SectionName(hit.section)) + QStringLiteral("  │  ") + label + QStringLiteral("  │  ") + caption +
                        QStringLiteral("  │  ") + shown);
    }
    if (!m_list->isVisible()) {
        m_list->setMinimumHeight(180);
        m_list->setVisible(true);
        adjustSize();  // room for the list below the controls
    }
    QString note = T("FindDialog", "%1 件見つかりました").arg(m_hits.size());
    if (stopped) note += T("FindDialog", "（中止しました）");
    if (m_hits.size() >= kMostListed) note += T("FindDialog", "（最初の %1 件を表示）").arg(kMostListed);
    m_note->setText(note);
    return static_cast<int>(m_hits.size());
}

void FindDialog::GoToListed(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_hits.size()) return;
    const search::SearchHit hit = m_hits[static_cast<std::size_t>(index)];
    m_last = hit;
    m_view.ShowHit(hit.section, hit.row, hit.column);
}

}  // namespace zok2
