// The journal written in the background: nothing before the first change, every
// change on disk and readable after a flush, a burst of changes made durable a
// handful of times rather than once each, a stop that keeps the journal, a
// discard that removes it, and a folder that cannot be made said in words.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "framework/FileSystem.h"
#include "journal/JournalWriter.h"
#include "support/TestFixture.h"

namespace zok2::journal {

namespace {

Start AStart()
{
    Start s;
    s.binaryPath = "/data/game.bin";
    s.size = 4096;
    s.setFolder = "/sets/game/";
    s.startedMs = 1'765'184'103'000;
    return s;
}

Change Typed(int row, std::uint32_t value)
{
    Change c;
    c.whenMs = 1'765'184'103'000 + row;
    c.region = {0, 1, 1, row, row};
    c.values = {value};
    c.checks = {{0x300 + 8 * row, std::string("\x08\x00", 2)}};
    return c;
}

}  // namespace

TEST(JournalWriter, ChangesReachTheDiskInOrderAndABurstIsMadeDurableOnlyAFewTimes)
{
    test::TempDir temp;
    const std::string path = temp.Path() + "state/zok2/a.journal";  // folders made as needed
    {
        JournalWriter writer(path, AStart());
        writer.Flush();
        EXPECT_FALSE(fs::Exists(path));  // no change yet: no journal
        EXPECT_EQ(writer.Syncs(), 0);

        for (int i = 1; i <= 2000; ++i) writer.Append(Typed(i, static_cast<std::uint32_t>(i * 3)));
        writer.Flush();
        const Contents c = Decode(test::ReadFile(path));
        ASSERT_TRUE(c.readable) << c.problem;
        EXPECT_EQ(c.start, AStart());
        ASSERT_EQ(c.changes.size(), 2000u);
        for (int i = 1; i <= 2000; ++i) EXPECT_EQ(c.changes[static_cast<std::size_t>(i - 1)], Typed(i, static_cast<std::uint32_t>(i * 3)));
        EXPECT_FALSE(c.cutShort);
        // Two thousand changes at once: made durable once at the start and once
        // when asked, not two thousand times (at most once a second on its own).
        EXPECT_LE(writer.Syncs(), 3);
        EXPECT_GE(writer.Syncs(), 1);

        // Idle: nothing more is written.
        const std::int64_t size = writer.BytesWritten();
        const int syncs = writer.Syncs();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(writer.BytesWritten(), size);
        EXPECT_EQ(writer.Syncs(), syncs);
        writer.Append(Typed(5000, 1));
    }
    // A stop writes what was appended and keeps the journal.
    const Contents after = Decode(test::ReadFile(path));
    ASSERT_EQ(after.changes.size(), 2001u);
    EXPECT_EQ(after.changes.back(), Typed(5000, 1));
}

TEST(JournalWriter, AChangeIsDurableWithinASecondWithoutBeingAsked)
{
    test::TempDir temp;
    const std::string path = temp.Path() + "b.journal";
    JournalWriter writer(path, AStart());
    writer.Append(Typed(1, 1));  // the first change after a quiet time: durable at once
    while (writer.Syncs() < 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    writer.Append(Typed(2, 2));  // within that second: durable when the second is over, unasked
    while (writer.Syncs() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Decode(test::ReadFile(path)).changes.size(), 2u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(writer.Syncs(), 2);  // and nothing more while idle
}

TEST(JournalWriter, ADiscardRemovesTheJournalAndAFolderThatCannotBeMadeIsSaidSo)
{
    test::TempDir temp;
    const std::string path = temp.Path() + "c.journal";
    test::WriteFile(path, "an older journal of this file");
    JournalWriter writer(path, AStart());
    writer.Append(Typed(1, 1));
    writer.Flush();
    EXPECT_EQ(Decode(test::ReadFile(path)).changes.size(), 1u);  // the older one replaced
    writer.Discard();
    EXPECT_FALSE(fs::Exists(path));
    writer.Append(Typed(2, 2));  // after a discard: nothing
    EXPECT_FALSE(fs::Exists(path));

    test::WriteFile(temp.Path() + "file", "x");
    JournalWriter blocked(temp.Path() + "file/sub/d.journal", AStart());  // a file where the folder should be
    blocked.Append(Typed(1, 1));
    blocked.Flush();
    EXPECT_NE(blocked.Failure().find(temp.Path() + "file/sub/d.journal"), std::string::npos) << blocked.Failure();
}

}  // namespace zok2::journal
