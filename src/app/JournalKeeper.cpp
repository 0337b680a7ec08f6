#include "app/JournalKeeper.h"

#include <QDateTime>
#include <QDir>
#include <QLockFile>

#include "document/CZOKDoc.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "journal/JournalWriter.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"

namespace zok2 {

namespace {

QString HeldElsewhere()
{
    return T("Journal", "別の zok2 のウィンドウがこのファイルの保存していない変更を持っています。"
                        "このウィンドウでの変更は記録されません。");
}

}  // namespace

JournalKeeper::JournalKeeper(CZOKDoc& doc) : m_doc(doc) {}

JournalKeeper::~JournalKeeper()
{
    if (!m_doc.IsModified()) Drop();
    m_writer.reset();  // written out; the journal stays for the next start
}

std::int64_t JournalKeeper::NowMs() const { return QDateTime::currentMSecsSinceEpoch(); }

void JournalKeeper::Adopt()
{
    const std::string binary = m_doc.GetPathName().empty() ? std::string() : fs::AbsolutePath(m_doc.GetPathName());
    if (binary == m_binary) return;
    Drop();
    m_binary = binary;
    m_path = binary.empty() ? std::string() : journal::JournalPathFor(binary);
    m_notJournaled.clear();
}

void JournalKeeper::Changed(const EditRegion& region)
{
    if (!m_enabled) return;
    if (!m_doc.IsModified()) {
        Drop();
        return;
    }
    Adopt();
    if (m_path.empty() || !m_notJournaled.isEmpty()) return;
    const std::int64_t now = NowMs();
    if (!m_writer) {
        if (!Claim()) {
            m_notJournaled = m_lockFailed ? T("Journal", "保存していない変更を記録できません: %1").arg(FileNameToQString(journal::JournalFolder()))
                                          : HeldElsewhere();
            if (told) told(m_notJournaled);
            return;
        }
        m_writer = std::make_unique<journal::JournalWriter>(m_path, journal::StartOf(m_doc, now), &m_doc.OpenedFile());
    }
    // The values now; the file's bytes under them are read by the journal's thread.
    const journal::Region changed{region.section, region.firstColumn, region.lastColumn, region.firstRow, region.lastRow};
    m_writer->Append(journal::ValuesOf(m_doc, changed, now), journal::PlanOf(m_doc, changed));
    if (!m_failureTold && !m_writer->Failure().empty()) {
        m_failureTold = true;
        if (told) told(T("Journal", "保存していない変更を記録できません: %1").arg(FileNameToQString(m_writer->Failure())));
    }
}

void JournalKeeper::Follow()
{
    if (m_writer && !m_doc.IsModified()) Drop();
}

void JournalKeeper::Drop()
{
    if (m_writer) m_writer->Discard();
    m_writer.reset();
    m_failureTold = false;
    Release();
}

void JournalKeeper::Flush()
{
    if (m_writer) m_writer->Flush();
}

bool JournalKeeper::Claim()
{
    if (m_lock && m_lock->isLocked()) return true;
    QDir().mkpath(FileNameToQString(journal::JournalFolder()));
    m_lock = std::make_unique<QLockFile>(FileNameToQString(m_path + ".lock"));
    m_lock->setStaleLockTime(0);  // held as long as the window lives; a dead one's lock is stale
    m_lockFailed = false;
    if (m_lock->tryLock(0)) return true;
    // Held by another window, or not to be made at all (a folder that cannot be written).
    m_lockFailed = m_lock->error() != QLockFile::LockFailedError;
    m_lock.reset();
    return false;
}

void JournalKeeper::Release() { m_lock.reset(); }

JournalKeeper::Found JournalKeeper::Look()
{
    Drop();
    m_binary.clear();
    Adopt();
    Found found;
    if (m_path.empty() || !fs::Exists(m_path)) return found;
    found.present = true;
    // A lock that cannot be made at all (a folder that cannot be written) holds
    // no other window's edits: the journal is still offered.
    if (!Claim() && !m_lockFailed) {
        found.heldElsewhere = true;
        m_notJournaled = HeldElsewhere();
        return found;
    }
    found.listed = journal::ReadJournal(m_path);
    found.check = journal::CheckRecovery(m_doc, found.listed.contents);
    return found;  // the lock stays held until the answer
}

void JournalKeeper::Answered(const Found& found, Answer answer)
{
    if (!found.present || found.heldElsewhere) return;
    if (answer == Answer::Restore && found.check.Restorable()) {
        const journal::Contents& contents = found.listed.contents;
        journal::Replay(m_doc, contents);
        // The same journal written anew: its changes are now this window's unsaved edits.
        m_writer = std::make_unique<journal::JournalWriter>(m_path, contents.start, &m_doc.OpenedFile());
        for (const journal::Change& change : contents.changes) m_writer->Append(change);
        return;
    }
    if (answer == Answer::Discard) {
        fs::sys::Remove(m_path);
        Release();
        return;
    }
    // Kept for later: this window's edits must not replace it.
    Release();
    m_notJournaled = T("Journal", "前回の変更の記録を残してあるため、このファイルの変更は記録されません。");
}

}  // namespace zok2
