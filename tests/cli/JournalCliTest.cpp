// zok2-cli journal list and journal show FILE: the journals of unsaved edits in
// the user's state folder, what they hold, a journal cut short, and the words
// for a file without one and for a journal that cannot be read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "CliCommands.h"
#include "framework/FileSystem.h"
#include "journal/JournalPlace.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

journal::Start StartOf(const std::string& binary)
{
    journal::Start s;
    s.binaryPath = fs::AbsolutePath(binary);
    s.size = 2048;
    s.setFolder = "/sets/sample/";
    s.startedMs = 1'765'184'103'000;  // 2025-12-08T08:55:03Z
    s.modifiedNs = 1'765'184'000'000'000'000;
    return s;
}

journal::Change Typed(int row, std::uint32_t value)
{
    journal::Change c;
    c.whenMs = 1'765'184'104'000;
    c.region = {0, 1, 1, row, row};
    c.values = {value};
    c.checks = {{0x300 + 8 * (row - 1), std::string("\x08\x00\x00\x00", 4)}};
    return c;
}

}  // namespace

TEST(JournalCli, ListAndShowSayWhatEachJournalHolds)
{
    const StateFolder state;
    TempDir files;
    const std::string binary = files.Path() + "sample.dat";
    WriteFile(binary, std::string(2048, '\0'));
    journal::Change paste;
    paste.whenMs = 1'765'184'105'000;
    paste.region = {2, 1, 3, 1, 4};
    for (std::uint32_t v = 0; v < 12; ++v) paste.values.push_back(0xA0 + v);
    WriteFile(journal::JournalPathFor(binary), journal::EncodeStart(StartOf(binary)) + journal::EncodeChange(Typed(2, 1234)) + journal::EncodeChange(paste));

    CliResult r = RunCli({"journal", "list"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, fs::AbsolutePath(binary) + "\t2025-12-08T08:55:03Z\t2\t13\t" + journal::JournalPathFor(binary) + "\n");

    r = RunCli({"journal", "show", binary}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "binary\t" + fs::AbsolutePath(binary) +
                         "\nsize\t2048\nmodified\t2025-12-08T08:53:20Z\nset\t/sets/sample/\nstarted\t2025-12-08T08:55:03Z\n"
                         "change\t2025-12-08T08:55:04Z\t0\t2-2\t1-1\t1\t4D2\n"
                         "change\t2025-12-08T08:55:05Z\t2\t1-4\t1-3\t12\tA0 A1 A2 A3 A4 A5 A6 A7 ...\n");

    // Cut short by a crash in the middle of the paste's record: the typed edit is all there is.
    const std::string whole = ReadFile(journal::JournalPathFor(binary));
    WriteFile(journal::JournalPathFor(binary), whole.substr(0, whole.size() - 10));
    r = RunCli({"journal", "show", binary}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.out.find("A0 A1"), std::string::npos);
    EXPECT_NE(r.out.find("change\t2025-12-08T08:55:04Z"), std::string::npos);
    EXPECT_NE(r.out.find("cut short\t"), std::string::npos);
    r = RunCli({"journal", "list"}, "/nonexistent", [] { return std::string(); });
    EXPECT_NE(r.out.find("\t1\t1\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\tcut short\n"), std::string::npos);
}

TEST(JournalCli, AFileWithoutAJournalAndAJournalThatCannotBeReadAreSaidSo)
{
    const StateFolder state;
    TempDir files;
    const std::string binary = files.Path() + "other.dat";
    CliResult r = RunCli({"journal", "show", binary}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no unsaved edits of " + binary + " are kept (" + journal::JournalPathFor(binary) + ")\n");

    WriteFile(journal::JournalFolder() + "0000000000000000.journal", "not a journal at all");
    r = RunCli({"journal", "list"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, journal::JournalFolder() + "0000000000000000.journal: not a zok2 journal\n");

    r = RunCli({"journal", "forget"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 2);
}

}  // namespace zok2::test
