// A journal file as a crash, a full disk or another program may leave it: read,
// then written again from what was read. The whole records written again are
// the journal's first bytes exactly (nothing is read that was not written), and
// what follows them is said to be cut short.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "journal/JournalFormat.h"

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
    return 0;
}
