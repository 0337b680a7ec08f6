#pragma once
// The window's journal of unsaved edits: every change of values goes to the
// journal of the open binary while the document has unsaved edits; the journal
// goes when the edits are saved or thrown away, and stays when the program ends
// without being asked (a crash, a killed session). A lock beside the journal
// tells other windows that this one holds unsaved edits of the file; it is
// released with the journal, and by the system when the program dies.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "document/EditRecord.h"
#include "journal/DocumentJournal.h"
#include "journal/JournalPlace.h"

class QLockFile;

namespace zok2 {

class CZOKDoc;
namespace journal {
class JournalWriter;
}

class JournalKeeper {
public:
    explicit JournalKeeper(CZOKDoc& doc);
    // A document with unsaved edits keeps its journal, written out first.
    ~JournalKeeper();
    JournalKeeper(const JournalKeeper&) = delete;
    JournalKeeper& operator=(const JournalKeeper&) = delete;

    // Journaling on (the default) or off (the benchmarks' comparison).
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    // After every change of values, with the rectangle that took them.
    void Changed(const EditRegion& region);
    // After the modified flag may have changed: without unsaved edits (saved,
    // undone to the saved state, answered "do not save") there is no journal.
    void Follow();
    // The document's edits were thrown away or saved, whatever the flag says (a close).
    void Drop();

    // What a just-opened binary's journal holds, looked at before anything else
    // journals it.
    struct Found {
        bool present = false;       // a journal of this file is there
        bool heldElsewhere = false; // another window holds unsaved edits of the file
        journal::Listed listed;
        journal::RecoveryCheck check;
    };
    Found Look();
    enum class Answer { Restore, Keep, Discard };
    // Carries out the answer to the question about a Found journal.
    void Answered(const Found& found, Answer answer);

    // Told what the user should know (a journal that cannot be written, another window's).
    std::function<void(const QString&)> told;
    // Why this document's edits are not journaled ("" while they are).
    QString NotJournaledBecause() const { return m_notJournaled; }
    const std::string& Path() const { return m_path; }
    const journal::JournalWriter* Writer() const { return m_writer.get(); }
    // Waits until every change so far is on disk (the tests and the benchmarks).
    void Flush();

private:
    // Follows the document to the binary it now is (another open, a save under another name).
    void Adopt();
    bool Claim();
    void Release();
    std::int64_t NowMs() const;

    CZOKDoc& m_doc;
    bool m_enabled = true;
    std::string m_binary;  // the binary the journal is of (absolute)
    std::string m_path;  // the journal of the open binary ("" without a state folder or a file)
    std::unique_ptr<journal::JournalWriter> m_writer;
    std::unique_ptr<QLockFile> m_lock;
    QString m_notJournaled;
    bool m_failureTold = false;
    bool m_lockFailed = false;  // the last Claim could not make the lock at all
};

}  // namespace zok2
