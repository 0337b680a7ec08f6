#pragma once
// Where the journals of unsaved edits live, one a binary: the user's state
// folder (%LOCALAPPDATA%\zok2\ on Windows, $XDG_STATE_HOME/zok2/ or
// ~/.local/state/zok2/ elsewhere), named after the binary's absolute path.
#include <cstdint>
#include <string>
#include <vector>

#include "journal/JournalFormat.h"

namespace zok2::journal {

// The folder (ending with the separator), or "" when the environment names none.
std::string JournalFolder();
// The journal a binary's edits go to (its path made absolute first); "" without a folder.
std::string JournalPathFor(const std::string& binaryPath);

struct Listed {
    std::string path;      // the journal file
    Contents contents;     // what it holds (not readable: contents.problem says why)
};
// Every journal in the folder, in the order of their names.
std::vector<Listed> ListJournals(const std::string& folder);
Listed ReadJournal(const std::string& path);

// "2026-12-08T09:15:03Z" for milliseconds since 1970 (UTC).
std::string IsoTime(std::int64_t ms);

}  // namespace zok2::journal
