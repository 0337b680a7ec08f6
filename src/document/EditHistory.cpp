#include "document/EditHistory.h"

#include <algorithm>

namespace zok2 {

std::uint64_t EditHistory::NewState(const std::string& record)
{
    Step step;
    ParseEditRecord(record, &step.region);
    step.changed = ++m_clock;
    const std::uint64_t state = m_nextState++;
    m_steps[state] = step;
    return state;
}

void EditHistory::Touch(std::uint64_t state)
{
    auto it = m_steps.find(state);
    if (it != m_steps.end()) it->second.changed = ++m_clock;
}

void EditHistory::Forget(std::uint64_t state)
{
    if (!m_saved.count(state)) m_steps.erase(state);
}

void EditHistory::RecordEdit(std::string record)
{
    m_undoStates.push_back(NewState(record));
    m_undoLog.push_back(std::move(record));
    // What redo would bring back is no longer a state the history has seen.
    for (auto& state : m_redoStates) {
        const std::uint64_t renewed = m_nextState++;
        m_steps[renewed] = m_steps[state];
        Forget(state);
        state = renewed;
    }
}

void EditHistory::ClearRedo()
{
    for (std::uint64_t state : m_redoStates) Forget(state);
    m_redoLog.clear();
    m_redoStates.clear();
}

// Undo and redo move an entry between the logs; it keeps the state it leads to.
bool EditHistory::Take(std::vector<std::string>& log, std::vector<std::uint64_t>& states, std::string* record)
{
    if (log.empty()) return false;
    *record = std::move(log.back());
    log.pop_back();
    m_taken = states.back();
    states.pop_back();
    return true;
}

void EditHistory::Put(std::vector<std::string>& log, std::vector<std::uint64_t>& states, std::string record)
{
    log.push_back(std::move(record));
    states.push_back(m_taken);
    Touch(m_taken);
}

bool EditHistory::TakeUndo(std::string* record) { return Take(m_undoLog, m_undoStates, record); }
void EditHistory::RecordRedo(std::string record) { Put(m_redoLog, m_redoStates, std::move(record)); }
bool EditHistory::TakeRedo(std::string* record) { return Take(m_redoLog, m_redoStates, record); }
void EditHistory::RecordUndoFromRedo(std::string record) { Put(m_undoLog, m_undoStates, std::move(record)); }

bool EditHistory::IsAtSavedState() const
{
    // A state's identity names its whole way back to the open, so the last one decides.
    if (m_undoStates.size() != m_savedPath.size()) return false;
    return m_undoStates.empty() || m_undoStates.back() == m_savedPath.back();
}

void EditHistory::MarkSaved()
{
    std::vector<std::uint64_t> old = std::move(m_savedPath);
    m_savedPath = m_undoStates;
    m_saved = std::unordered_set<std::uint64_t>(m_savedPath.begin(), m_savedPath.end());
    std::unordered_set<std::uint64_t> live(m_undoStates.begin(), m_undoStates.end());
    live.insert(m_redoStates.begin(), m_redoStates.end());
    for (std::uint64_t state : old) {
        if (!live.count(state)) m_steps.erase(state);
    }
}

std::vector<EditRegion> EditHistory::UnsavedRegions() const
{
    std::size_t shared = 0;
    while (shared < m_savedPath.size() && shared < m_undoStates.size() && m_savedPath[shared] == m_undoStates[shared]) ++shared;
    std::vector<const Step*> steps;
    for (std::size_t i = shared; i < m_savedPath.size(); ++i) steps.push_back(&m_steps.at(m_savedPath[i]));
    for (std::size_t i = shared; i < m_undoStates.size(); ++i) steps.push_back(&m_steps.at(m_undoStates[i]));
    std::sort(steps.begin(), steps.end(), [](const Step* a, const Step* b) { return a->changed < b->changed; });
    std::vector<EditRegion> regions;
    regions.reserve(steps.size());
    for (const Step* step : steps) regions.push_back(step->region);
    return regions;
}

void EditHistory::Clear() { *this = EditHistory(); }

}  // namespace zok2
