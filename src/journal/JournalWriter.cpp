#include "journal/JournalWriter.h"

#include <filesystem>
#include <optional>

#include "framework/FileSystem.h"
#include "framework/System.h"

namespace zok2::journal {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSyncInterval = std::chrono::seconds(1);

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.size();
    while (slash > 0 && !fs::sys::IsSeparator(path[slash - 1])) --slash;
    return path.substr(0, slash);
}

}  // namespace

JournalWriter::JournalWriter(std::string path, Start start, const fs::File* binary) : m_path(std::move(path)), m_start(std::move(start))
{
    if (binary && binary->IsOpen()) m_binary.OpenSame(*binary);
    m_thread = std::thread([this] { Run(); });
}

JournalWriter::~JournalWriter()
{
    if (!m_thread.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void JournalWriter::Append(Change change) { Append(std::move(change), std::nullopt); }

void JournalWriter::Append(Change change, CheckPlan plan) { Append(std::move(change), std::optional<CheckPlan>(std::move(plan))); }

void JournalWriter::Append(Change change, std::optional<CheckPlan> plan)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop) return;
        m_pending.push_back({std::move(change), std::move(plan)});
        ++m_appended;
    }
    m_wake.notify_all();
}

void JournalWriter::Flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) return;
    m_hurry = true;
    m_wake.notify_all();
    m_done.wait(lock, [this] { return m_durable >= m_appended || m_finished; });
}

void JournalWriter::Discard()
{
    if (m_thread.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = m_discard = true;
            m_pending.clear();
        }
        m_wake.notify_all();
        m_thread.join();
    }
    fs::sys::Remove(m_path);
}

std::string JournalWriter::Failure() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

int JournalWriter::Syncs() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_syncs;
}

std::int64_t JournalWriter::BytesWritten() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_size;
}

bool JournalWriter::Open()
{
    std::string reason;
    std::error_code ec;
    const std::string folder = FolderOf(m_path);
    if (!folder.empty()) std::filesystem::create_directories(fs::sys::PathOf(folder), ec);
    fs::sys::Remove(m_path);  // an older journal of this file: the user chose not to restore it
    m_fd = fs::sys::CreateExclusive(m_path, &reason);
    if (m_fd < 0 || !Write(EncodeStart(m_start))) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_failure.empty()) m_failure = m_path + ": " + (reason.empty() ? std::string("cannot be written") : reason);
        return false;
    }
    return true;
}

bool JournalWriter::Write(const std::string& bytes)
{
    std::size_t done = 0;
    std::string reason;
    std::int64_t size;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        size = m_size;
    }
    while (done < bytes.size()) {
        const std::int64_t n = fs::sys::WriteAt(m_fd, size + static_cast<std::int64_t>(done), bytes.data() + done, bytes.size() - done, &reason);
        if (n <= 0) {
            // The journal ends at its last whole record: a record half written is read as cut short.
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_failure.empty()) m_failure = m_path + ": " + reason;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_size = size + static_cast<std::int64_t>(done);
    return true;
}

void JournalWriter::Run()
{
    std::optional<Clock::time_point> lastSync;
    bool unsynced = false, broken = false;
    std::uint64_t written = 0;  // changes written to the file (or given up on)
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        auto ready = [this] { return !m_pending.empty() || m_stop || m_hurry; };
        if (!ready()) {
            if (unsynced) {
                m_wake.wait_until(lock, *lastSync + kSyncInterval, ready);
            } else {
                m_wake.wait(lock, ready);
            }
        }
        std::vector<Pending> batch;
        batch.swap(m_pending);
        const bool stop = m_stop, discard = m_discard, hurry = m_hurry;
        m_hurry = false;
        lock.unlock();

        if (discard) {
            if (m_fd >= 0) fs::sys::Close(m_fd, nullptr);
            m_fd = -1;
            lock.lock();
            break;
        }
        if (!batch.empty() && !broken) {
            std::string bytes;
            for (Pending& pending : batch) {
                if (pending.plan) pending.change.checks = ReadChecks(*pending.plan, [this](std::int64_t offset, std::size_t count) {
                    std::string read(count, '\0');
                    const std::int64_t got = m_binary.IsOpen() ? m_binary.ReadAt(offset, read.data(), count) : -1;
                    read.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
                    return read;
                });
                bytes += EncodeChange(pending.change);
            }
            const bool ok = (m_fd >= 0 || Open()) && Write(bytes);
            broken = !ok;
            unsynced = unsynced || ok;
        }
        written += batch.size();
        const Clock::time_point now = Clock::now();
        bool synced = false;
        if (unsynced && (hurry || stop || !lastSync || now - *lastSync >= kSyncInterval)) {
            fs::sys::Flush(m_fd, nullptr);
            lastSync = now;
            unsynced = false;
            synced = true;
        }
        lock.lock();
        if (synced) ++m_syncs;
        if (!unsynced) m_durable = written;
        m_done.notify_all();
        if (stop && !unsynced && m_pending.empty()) break;
    }
    if (m_fd >= 0) {
        lock.unlock();
        fs::sys::Close(m_fd, nullptr);
        m_fd = -1;
        lock.lock();
    }
    m_finished = true;
    m_durable = m_appended;
    m_done.notify_all();
}

}  // namespace zok2::journal
