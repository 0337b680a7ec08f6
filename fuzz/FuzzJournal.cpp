// A journal file as a crash, a full disk or another program may leave it: read,
// then written again from what was read. The whole records written again are
// the journal's first bytes exactly (nothing is read that was not written), and
// what follows them is said to be cut short.
//
// Then its changes are offered to the sample as the next start offers them,
// with the start record and the checks made to fit the sample (so the check
// and the replay are reached): a journal is restored only when every change
// names cells the tables have and values their columns hold, and after the
// replay each storable cell holds the last value a change gave it.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "FuzzSupport.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "journal/DocumentJournal.h"
#include "journal/JournalFormat.h"

namespace {

using namespace zok2;

CZOKDoc& Sample()
{
    static CZOKDoc* doc = [] {
        SetProgramPath(fuzz::SampleRoot() + "zok2");
        auto* d = new CZOKDoc();
        if (!d->LoadDocument(fuzz::SampleRoot() + "sample.dat")) std::abort();
        return d;
    }();
    return *doc;
}

void Restore(const journal::Contents& read)
{
    CZOKDoc& doc = Sample();
    if (!doc.LoadDocument(fuzz::SampleRoot() + "sample.dat")) std::abort();
    journal::Contents c = read;
    c.start = journal::StartOf(doc, c.start.startedMs);
    bool fits = true;
    for (journal::Change& change : c.changes) {
        const journal::Region& g = change.region;
        if (g.firstRow < 1 || g.firstColumn < 1 || g.lastRow < g.firstRow || g.lastColumn < g.firstColumn || g.Cells() > 4096) return;
        change.checks = journal::ChangeOf(doc, g, 0).checks;
        fits = fits && g.section >= 0 && static_cast<std::size_t>(g.section) < doc.values.size() &&
               static_cast<std::size_t>(g.lastRow) <= doc.values[static_cast<std::size_t>(g.section)].Rows() &&
               static_cast<std::size_t>(g.lastColumn) <= doc.values[static_cast<std::size_t>(g.section)].Columns();
    }
    const journal::RecoveryCheck check = journal::CheckRecovery(doc, c);
    if (!fits) {
        if (check.Restorable()) std::abort();  // cells the tables do not have
        return;
    }
    if (!check.changedOnDisk.empty()) std::abort();  // the checks were taken from the file itself
    if (!check.Restorable()) {
        if (check.why != journal::Refusal::ValuesDoNotFit) std::abort();
        return;
    }
    // The model: the last value each storable cell was given (cells sharing bits aside).
    std::map<std::tuple<int, int, int>, std::uint32_t> expected;
    for (const journal::Change& change : c.changes) {
        const journal::Region& g = change.region;
        std::size_t i = 0;
        for (int r = g.firstRow; r <= g.lastRow; ++r) {
            for (int col = g.firstColumn; col <= g.lastColumn; ++col, ++i) {
                const CZOKDoc::ColumnStore store = doc.PrepareStore(g.section, col - 1);
                if (store.codec && !store.shares && doc.CanStore(store, r - 1)) expected[{g.section, col - 1, r - 1}] = change.values[i];
            }
        }
    }
    journal::Replay(doc, c);
    if (!c.changes.empty() && doc.history.UndoLog().size() != c.changes.size()) std::abort();
    for (const auto& [cell, value] : expected) {
        if (doc.Value(std::get<0>(cell), std::get<1>(cell), std::get<2>(cell)) != value) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zok2::journal;
    const std::string file(reinterpret_cast<const char*>(data), size);
    const Contents c = Decode(file);
    if (!c.readable) {
        if (c.problem.empty() || !c.changes.empty()) std::abort();
        return 0;
    }
    std::string again = EncodeStart(c.start);
    for (const Change& change : c.changes) {
        if (static_cast<std::int64_t>(change.values.size()) != change.region.Cells()) std::abort();
        again += EncodeChange(change);
    }
    if (static_cast<std::int64_t>(again.size()) != c.wholeBytes || file.compare(0, again.size(), again) != 0) std::abort();
    if (c.cutShort != (c.wholeBytes < static_cast<std::int64_t>(size))) std::abort();
    Restore(c);
    return 0;
}
