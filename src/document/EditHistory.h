#pragma once
// The change history: the undo and redo logs of edit records, which state of the
// values each entry leads to, the state of the last save, and the regions that
// differ from the file.
//
// Every state of the values has an identity. An entry of the undo log leads to
// its state; undo moves the entry to the redo log with the same identity, and
// redo moves it back, so returning to the saved state is recognised however it
// is reached. An edit that keeps the redo log (an in-place commit) gives the
// redo entries new identities: what they would bring back was never seen.
//
// The regions to write at a save are those of the entries on the way from the
// saved state to the present one: entries undone since the save (up to the state
// both share) and entries applied since that state. They are written in the
// order of their latest change, so the latest change of every byte wins; an
// edit undone before the save is not on the way and is not written.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/EditRecord.h"

namespace zok2 {

class EditHistory {
public:
    const std::vector<std::string>& UndoLog() const { return m_undoLog; }
    const std::vector<std::string>& RedoLog() const { return m_redoLog; }
    // Entries of the undo log at the last save (0 after an open).
    std::int32_t SavedUndoDepth() const { return static_cast<std::int32_t>(m_savedPath.size()); }

    // A new change by the user (edit, list choice, delete, cut, paste).
    void RecordEdit(std::string record);
    void ClearRedo();
    // Undo: takes the last undo entry; the caller then records the present
    // content of its rectangle with RecordRedo.
    bool TakeUndo(std::string* record);
    void RecordRedo(std::string record);
    // Redo: the mirror image.
    bool TakeRedo(std::string* record);
    void RecordUndoFromRedo(std::string record);

    // The values are those of the last save (or of the open).
    bool IsAtSavedState() const;
    void MarkSaved();
    // The regions that may differ from the file, oldest change first.
    std::vector<EditRegion> UnsavedRegions() const;
    void Clear();

private:
    struct Step {
        EditRegion region;
        std::uint64_t changed = 0;  // when its rectangle last took values
    };
    std::uint64_t NewState(const std::string& record);
    void Touch(std::uint64_t state);
    void Forget(std::uint64_t state);
    bool Take(std::vector<std::string>& log, std::vector<std::uint64_t>& states, std::string* record);
    void Put(std::vector<std::string>& log, std::vector<std::uint64_t>& states, std::string record);

    std::vector<std::string> m_undoLog, m_redoLog;
    std::vector<std::uint64_t> m_undoStates, m_redoStates;
    std::vector<std::uint64_t> m_savedPath;  // m_undoStates at the last save
    std::unordered_set<std::uint64_t> m_saved;  // the same, to look up
    std::unordered_map<std::uint64_t, Step> m_steps;
    std::uint64_t m_taken = 0;
    std::uint64_t m_nextState = 1;
    std::uint64_t m_clock = 0;
};

}  // namespace zok2
