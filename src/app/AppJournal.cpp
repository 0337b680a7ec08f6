// The journal's question after an open: the edits a window left unsaved when it
// ended without being asked, offered back when the file and the set are still
// the ones they were made against.
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "app/JournalKeeper.h"
#include "definitions/DefinitionTables.h"
#include "document/CZOKDoc.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {

QString When(std::int64_t ms)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(ms), QLocale::ShortFormat);
}

// "items 3 行目 値段 (0x304)": where a changed cell lies, as the window names it.
QString CellName(const CZOKDoc& doc, const journal::ChangedCell& cell)
{
    QString column;
    if (cell.section >= 0 && static_cast<std::size_t>(cell.section) < doc.sections.size()) {
        const Section& columns = doc.sections[static_cast<std::size_t>(cell.section)];
        if (cell.column >= 1 && static_cast<std::size_t>(cell.column) <= columns.size()) {
            column = SjisToQString(columns[static_cast<std::size_t>(cell.column - 1)][ColumnField::caption]);
        }
    }
    return T("Journal", "%1 %2 行目 %3 (0x%4)")
        .arg(FileNameToQString(doc.SectionName(cell.section)))
        .arg(cell.row)
        .arg(column)
        .arg(QString::number(cell.offset, 16).toUpper());
}

QString Refusal(const journal::RecoveryCheck& check)
{
    switch (check.why) {
    case journal::Refusal::OtherFile: return T("Journal", "記録は別のファイルのものです");
    case journal::Refusal::SetChanged: return T("Journal", "定義ファイルが変更を記録した後に変わりました");
    case journal::Refusal::CellsMoved: return T("Journal", "記録されたセルが今の定義ではその位置にありません");
    case journal::Refusal::ValuesDoNotFit: return T("Journal", "記録に列に収まらない値があります");
    case journal::Refusal::Unreadable:
    case journal::Refusal::None: break;
    }
    return T("Journal", "記録が読めません（%1）").arg(QString::fromStdString(check.refusal));
}

CZOKApp::RecoveryAnswer AskWithButtons(QWidget* parent, const QString& text, bool restorable)
{
    QMessageBox box(QMessageBox::Question, T("Journal", "保存されていない変更"), text, QMessageBox::NoButton, parent);
    QPushButton* restore = restorable ? box.addButton(T("Journal", "復元する"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* keep = box.addButton(T("Journal", "残しておく"), QMessageBox::RejectRole);
    QPushButton* discard = box.addButton(T("Journal", "破棄する"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore ? restore : keep);
    box.setEscapeButton(keep);
    box.exec();
    if (restore && box.clickedButton() == restore) return CZOKApp::RecoveryAnswer::Restore;
    if (box.clickedButton() == discard) return CZOKApp::RecoveryAnswer::Discard;
    return CZOKApp::RecoveryAnswer::Keep;
}

}  // namespace

void CZOKApp::OfferRecovery()
{
    const JournalKeeper::Found found = m_journal->Look();
    if (!found.present) return;
    const QString file = FileNameToQString(m_doc->GetPathName());
    if (found.heldElsewhere) {
        m_doc->MessageBox().Show(QString(file + QStringLiteral("\n\n") + m_journal->NotJournaledBecause()).toStdString());
        m_frame->ShowNote(m_journal->NotJournaledBecause());
        return;
    }
    const journal::Contents& contents = found.listed.contents;
    const journal::RecoveryCheck& check = found.check;
    QString text;
    QString span;
    if (contents.readable && !contents.changes.empty()) {
        const QString first = When(contents.changes.front().whenMs), last = When(contents.changes.back().whenMs);
        span = first == last ? T("Journal", "%1 の変更").arg(first) : T("Journal", "%1 から %2 までの変更").arg(first, last);
    } else {
        span = T("Journal", "変更");
    }
    if (!check.refusal.empty()) {
        text = T("Journal", "%1 には保存されていない%2の記録がありますが、復元できません: %3。")
                   .arg(file, span, Refusal(check));
    } else if (!check.changedOnDisk.empty()) {
        QStringList cells;
        constexpr std::size_t kShown = 10;
        for (std::size_t i = 0; i < check.changedOnDisk.size() && i < kShown; ++i) cells << CellName(*m_doc, check.changedOnDisk[i]);
        if (check.changedOnDisk.size() > kShown) {
            cells << T("Journal", "ほか %1 セル").arg(static_cast<qulonglong>(check.changedOnDisk.size() - kShown));
        }
        text = T("Journal", "%1 には保存されていない%2の記録がありますが、その後ファイルのこれらのセルが変わったため、何も復元しません:\n%3")
                   .arg(file, span, cells.join(QLatin1Char('\n')));
    } else {
        text = T("Journal", "%1 には保存されていない%2の記録があります（%3 回の変更、%4 セル）。\n"
                            "復元すると、元に戻すで一つずつ取り消せます。")
                   .arg(file, span)
                   .arg(static_cast<qulonglong>(contents.changes.size()))
                   .arg(static_cast<qlonglong>(check.cells));
    }
    const bool restorable = check.Restorable() && !contents.changes.empty();
    const RecoveryAnswer answer = askRecovery ? askRecovery(text, restorable) : AskWithButtons(m_frame.get(), text, restorable);
    switch (answer) {
    case RecoveryAnswer::Restore:
        m_journal->Answered(found, restorable ? JournalKeeper::Answer::Restore : JournalKeeper::Answer::Keep);
        if (restorable) m_frame->ShowNote(T("Journal", "保存されていない %1 回の変更を復元しました。").arg(static_cast<qulonglong>(contents.changes.size())));
        break;
    case RecoveryAnswer::Keep: m_journal->Answered(found, JournalKeeper::Answer::Keep); break;
    case RecoveryAnswer::Discard: m_journal->Answered(found, JournalKeeper::Answer::Discard); break;
    }
    if (m_doc->IsModified()) m_frame->View().ShowValuesAgain();
    m_frame->UpdateCaption();
    m_frame->UpdateCommandStates();
}

}  // namespace zok2
