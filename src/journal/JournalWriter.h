#pragma once
// Writes a journal of unsaved edits in the background. Append returns at once;
// a thread of its own writes what was appended and makes it durable (fsync)
// within a second, at most once a second, and does nothing while nothing is
// appended. Nothing is written before the first change: a document without
// unsaved edits has no journal.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/File.h"
#include "journal/CellChecks.h"
#include "journal/JournalFormat.h"

namespace zok2::journal {

class JournalWriter {
public:
    // `path` is made (its folder too) at the first change; a file there is replaced.
    // `binary`: the file the changes are of, as opened (a handle of its own is
    // taken on it), from which the writer reads the bytes a planned change's
    // checks hold.
    JournalWriter(std::string path, Start start, const fs::File* binary = nullptr);
    // Writes and flushes what was appended, then stops; the journal stays.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void Append(Change change);
    // A change whose checks are read by the writer's thread, as the plan says
    // where (a million cells cost the caller their values only).
    void Append(Change change, CheckPlan plan);
    // Waits until everything appended so far is written and durable.
    void Flush();
    // Stops and removes the journal (a save, a discard, a close without saving).
    void Discard();

    const std::string& Path() const { return m_path; }
    // The first failure (the folder cannot be made, the disk is full), in the system's words.
    std::string Failure() const;
    // How often the journal was made durable, and how many bytes it holds, for the tests.
    int Syncs() const;
    std::int64_t BytesWritten() const;

private:
    void Append(Change change, std::optional<CheckPlan> plan);
    void Run();
    bool Open();
    bool Write(const std::string& bytes);

    const std::string m_path;
    const Start m_start;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    struct Pending {
        Change change;
        std::optional<CheckPlan> plan;
    };
    std::vector<Pending> m_pending;
    std::uint64_t m_appended = 0, m_durable = 0;  // changes appended, and made durable
    bool m_stop = false, m_discard = false;
    bool m_hurry = false;     // Flush asked: durable now, not at the next second
    bool m_finished = false;  // the thread has stopped
    std::string m_failure;
    int m_syncs = 0;
    // The writing thread's own.
    int m_fd = -1;
    std::int64_t m_size = 0;
    fs::File m_binary;
};

}  // namespace zok2::journal
