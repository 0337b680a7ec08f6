#pragma once
// The journal and the document: the start record of a document as it was
// opened, a change as the values a rectangle took and the file's bytes under its
// cells, and, on the next open, whether a journal may be restored (the same
// binary, a set that reads the same way, the bytes under every edited cell as
// they were) and its changes applied again as edits that undo takes back one by
// one.
#include <cstdint>
#include <string>
#include <vector>

#include "journal/CellChecks.h"
#include "journal/JournalFormat.h"

namespace zok2 {
class CZOKDoc;
}

namespace zok2::journal {

// Every .ini and .idn file of the set (names and bytes, in name order) and the address correction.
std::uint64_t SetFingerprint(const CZOKDoc& doc);
Start StartOf(const CZOKDoc& doc, std::int64_t nowMs);
// What a rectangle of grid cells holds now, with the file's bytes under each of
// its cells that lie in the file (in the rectangle's order, row by row).
Change ChangeOf(const CZOKDoc& doc, const Region& region, std::int64_t whenMs);
// The same in two halves: the values now (without checks), and where the bytes
// under the cells lie, for the journal's thread to read (ReadChecks).
Change ValuesOf(const CZOKDoc& doc, const Region& region, std::int64_t whenMs);
CheckPlan PlanOf(const CZOKDoc& doc, const Region& region);

// A cell whose bytes on disk are no longer those an edit was made against.
struct ChangedCell {
    int section = 0, row = 0, column = 0;  // grid coordinates
    std::int64_t offset = 0;
};
enum class Refusal { None, Unreadable, OtherFile, SetChanged, CellsMoved, ValuesDoNotFit };
struct RecoveryCheck {
    Refusal why = Refusal::None;
    std::string refusal;                 // in words (English); empty: the journal fits this document
    std::vector<ChangedCell> changedOnDisk;
    std::int64_t cells = 0;              // the cells the changes touch (counted once a change)
    bool Restorable() const { return refusal.empty() && changedOnDisk.empty(); }
};
RecoveryCheck CheckRecovery(const CZOKDoc& doc, const Contents& contents);
// Applies every change as an edit (undo takes them back one by one, the last
// first). Only for a check that is Restorable.
void Replay(CZOKDoc& doc, const Contents& contents);

}  // namespace zok2::journal
