// zok2-cli journal list | show FILE: the journals of unsaved edits, for users
// who want to look before they start the window.
#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "framework/FileSystem.h"
#include "journal/JournalPlace.h"

namespace zok2 {

namespace {

std::string Cells(const journal::Contents& contents)
{
    std::int64_t cells = 0;
    for (const journal::Change& change : contents.changes) cells += change.region.Cells();
    return std::to_string(cells);
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

}  // namespace

CliResult RunJournal(const std::vector<std::string>& args)
{
    CliResult result;
    const std::string folder = journal::JournalFolder();
    if (args.size() == 1 && args[0] == "list") {
        // binary, when the edits began, changes, cells, the journal
        for (const journal::Listed& j : journal::ListJournals(folder)) {
            if (!j.contents.readable) {
                result.err += j.path + ": " + j.contents.problem + "\n";
                result.status = 1;
                continue;
            }
            const journal::Start& s = j.contents.start;
            result.out += s.binaryPath + "\t" + journal::IsoTime(s.startedMs) + "\t" + std::to_string(j.contents.changes.size()) + "\t" +
                          Cells(j.contents) + "\t" + j.path + (j.contents.cutShort ? "\tcut short" : "") + "\n";
        }
        return result;
    }
    if (args.size() == 2 && args[0] == "show") {
        const std::string path = journal::JournalPathFor(args[1]);
        if (!path.empty() && !fs::Exists(path)) {
            result.status = 1;
            result.err = "no unsaved edits of " + args[1] + " are kept (" + path + ")\n";
            return result;
        }
        const journal::Listed j = journal::ReadJournal(path);
        if (!j.contents.readable) {
            result.status = 1;
            result.err = (path.empty() ? "no folder for journals (HOME is not set)" : path + ": " + j.contents.problem) + "\n";
            return result;
        }
        const journal::Start& s = j.contents.start;
        result.out += "binary\t" + s.binaryPath + "\n";
        result.out += "size\t" + std::to_string(s.size) + "\n";
        result.out += "modified\t" + journal::IsoTime(s.modifiedNs / 1'000'000) + "\n";
        result.out += "set\t" + s.setFolder + "\n";
        result.out += "started\t" + journal::IsoTime(s.startedMs) + "\n";
        // A change: when, the table's number, rows, columns, cells, and its first values in hexadecimal.
        for (const journal::Change& c : j.contents.changes) {
            const journal::Region& g = c.region;
            result.out += "change\t" + journal::IsoTime(c.whenMs) + "\t" + std::to_string(g.section) + "\t" + std::to_string(g.firstRow) + "-" +
                          std::to_string(g.lastRow) + "\t" + std::to_string(g.firstColumn) + "-" + std::to_string(g.lastColumn) + "\t" +
                          std::to_string(g.Cells()) + "\t";
            for (std::size_t i = 0; i < c.values.size() && i < 8; ++i) result.out += (i ? " " : "") + Hex(c.values[i]);
            if (c.values.size() > 8) result.out += " ...";
            result.out += "\n";
        }
        if (j.contents.cutShort) result.out += "cut short\t" + std::to_string(j.contents.wholeBytes) + "\n";
        return result;
    }
    result.status = 2;
    result.err = "usage: zok2-cli journal list\n       zok2-cli journal show FILE\n";
    return result;
}

}  // namespace zok2
