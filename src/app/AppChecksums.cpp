// The checksums of the set in the window: their read-only table, and on open
// one that does not match its rule (a file may come broken) or a rule that
// cannot be used said in the status bar.
#include <QStringList>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "checksum/ChecksumFile.h"
#include "document/CZOKDoc.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"

namespace zok2 {

void CZOKApp::AskForChecksumTable()
{
    CZOKDoc::ChecksumTableTexts texts;
    texts.table = QStringToSjis(T("Checksums", "チェックサム"));
    texts.stored = QStringToSjis(T("Checksums", "格納値"));
    texts.computed = QStringToSjis(T("Checksums", "計算値"));
    texts.state = QStringToSjis(T("Checksums", "状態"));
    texts.matches = QStringToSjis(T("Checksums", "一致"));
    texts.differs = QStringToSjis(T("Checksums", "不一致"));
    texts.unknown = QStringToSjis(T("Checksums", "計算できません"));
    m_doc->checksumTable = texts;
}

void CZOKApp::NoteChecksums()
{
    // The document read the rules and computed them over the file at the open.
    const checksum::SetRules& set = m_doc->ChecksumRules();
    if (!set.present) return;
    QStringList notes;
    if (!set.readProblem.empty()) notes << T("Checksums", "%1 が読めません").arg(FileNameToQString(checksum::kRulesFile));
    for (const checksum::RuleProblem& p : set.rules.problems) {
        // Named by what the line calls it (its first field), and by its number.
        const QString name = SjisToQString(p.text.substr(0, p.text.find(','))).trimmed();
        notes << T("Checksums", "%1 の %2 行目のチェックサムの規則「%3」が使えません").arg(FileNameToQString(checksum::kRulesFile)).arg(p.line).arg(name);
    }
    const std::vector<checksum::Outcome>& outcomes = m_doc->ChecksumOutcomes();
    QStringList differing, unknown;
    for (std::size_t i = 0; i < outcomes.size() && i < set.rules.rules.size(); ++i) {
        const QString name = SjisToQString(set.rules.rules[i].name);
        if (!outcomes[i].computable) {
            unknown << name;
        } else if (!outcomes[i].matches) {
            differing << name;
        }
    }
    if (!differing.isEmpty()) notes.prepend(T("Checksums", "チェックサムが合いません: %1").arg(differing.join(QStringLiteral(", "))));
    if (!unknown.isEmpty()) notes << T("Checksums", "計算できないチェックサム: %1").arg(unknown.join(QStringLiteral(", ")));
    if (!notes.isEmpty()) m_frame->ShowNote(notes.join(QStringLiteral("  ")));
}

void CZOKApp::NoteChecksumsWritten()
{
    QStringList names;
    for (const std::string& name : m_doc->ChecksumsUpdated()) names << SjisToQString(name);
    if (!names.isEmpty()) m_frame->ShowNote(T("Checksums", "チェックサムを更新しました: %1").arg(names.join(QStringLiteral(", "))));
}

}  // namespace zok2
