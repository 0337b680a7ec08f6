// The journal on disk: what is written reads back the same, a journal cut short
// at any byte reads its whole records and no more, a damaged record ends the
// reading there, and bytes that are no journal are refused with the reason.
#include <gtest/gtest.h>

#include "journal/JournalFormat.h"
#include "journal/JournalPlace.h"

namespace zok2::journal {

namespace {

Start AStart()
{
    Start s;
    s.binaryPath = "/home/user/games/data.bin";
    s.size = 1'048'576;
    s.modifiedNs = 1'765'000'000'123'456'789;
    s.setFolder = "/home/user/.local/share/zok2/Settings/sample/";
    s.setFingerprint = 0x0123456789ABCDEFULL;
    s.startedMs = 1'765'000'000'000;
    return s;
}

Change AChange(int section, int firstRow, int rows, std::uint32_t first)
{
    Change c;
    c.whenMs = 1'765'000'000'500 + firstRow;
    c.region = {section, 2, 3, firstRow, firstRow + rows - 1};
    for (int i = 0; i < 2 * rows; ++i) c.values.push_back(first + static_cast<std::uint32_t>(i));
    c.checks.push_back({0x308 + 8 * firstRow, std::string("\x0A\x00\x00\x00", 4)});
    c.checks.push_back({0x30C + 8 * firstRow, std::string("\xFF", 1)});
    return c;
}

}  // namespace

TEST(JournalFormat, WhatIsWrittenReadsBackTheSame)
{
    const std::string file = EncodeStart(AStart()) + EncodeChange(AChange(0, 1, 1, 1234)) + EncodeChange(AChange(3, 10, 500, 0xFFFFFFF0u));
    const Contents c = Decode(file);
    ASSERT_TRUE(c.readable) << c.problem;
    EXPECT_EQ(c.start, AStart());
    ASSERT_EQ(c.changes.size(), 2u);
    EXPECT_EQ(c.changes[0], AChange(0, 1, 1, 1234));
    EXPECT_EQ(c.changes[1], AChange(3, 10, 500, 0xFFFFFFF0u));
    EXPECT_EQ(c.changes[1].values.size(), 1000u);
    EXPECT_EQ(c.wholeBytes, static_cast<std::int64_t>(file.size()));
    EXPECT_FALSE(c.cutShort);
    // The layout as documented: the magic, then the start record's length and CRC.
    EXPECT_EQ(file.substr(0, 8), "ZOK2JNL1");
    EXPECT_EQ(static_cast<unsigned char>(file[16]), 1u);  // the start record's kind
}

TEST(JournalFormat, AJournalCutShortAtAnyByteReadsItsWholeRecordsOnly)
{
    const std::string start = EncodeStart(AStart());
    const std::string one = EncodeChange(AChange(0, 1, 1, 7)), two = EncodeChange(AChange(1, 4, 3, 9));
    const std::string file = start + one + two;
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        const Contents c = Decode(std::string_view(file).substr(0, cut));
        if (cut < start.size()) {
            EXPECT_FALSE(c.readable) << cut;  // no whole start: nothing to offer
            EXPECT_TRUE(c.changes.empty());
            continue;
        }
        ASSERT_TRUE(c.readable) << cut;
        const std::size_t whole = cut >= file.size() ? 2 : cut >= start.size() + one.size() ? 1 : 0;
        ASSERT_EQ(c.changes.size(), whole) << cut;
        if (whole >= 1) EXPECT_EQ(c.changes[0], AChange(0, 1, 1, 7));
        EXPECT_EQ(c.cutShort, cut != start.size() && cut != start.size() + one.size() && cut != file.size()) << cut;
    }
}

TEST(JournalFormat, ADamagedRecordEndsTheReadingThereAndNonsenseIsRefused)
{
    const std::string start = EncodeStart(AStart());
    const std::string one = EncodeChange(AChange(0, 1, 1, 7)), two = EncodeChange(AChange(1, 4, 3, 9));
    std::string file = start + one + two;
    file[start.size() + 20] ^= 0x40;  // inside the first change
    Contents c = Decode(file);
    ASSERT_TRUE(c.readable);
    EXPECT_TRUE(c.changes.empty());  // not the second either: nothing after damage is trusted
    EXPECT_TRUE(c.cutShort);
    EXPECT_EQ(c.wholeBytes, static_cast<std::int64_t>(start.size()));

    EXPECT_FALSE(Decode("").readable);
    EXPECT_EQ(Decode("ZOK2JNL0" + start.substr(8)).problem, "not a zok2 journal");
    EXPECT_FALSE(Decode(std::string(kMagic) + one).readable);  // a change before the start

    // A change whose value count does not fill its rectangle, framed with a right CRC: refused.
    Change bad = AChange(0, 1, 2, 5);
    bad.values.pop_back();
    c = Decode(start + EncodeChange(bad) + one);
    ASSERT_TRUE(c.readable);
    EXPECT_TRUE(c.changes.empty());
    EXPECT_TRUE(c.cutShort);
    // A rectangle upside down, a check of five bytes: refused the same way.
    Change upside = AChange(0, 5, 1, 5);
    upside.region.lastRow = 4;
    upside.values.clear();
    EXPECT_TRUE(Decode(start + EncodeChange(upside)).changes.empty());
    Change wide = AChange(0, 1, 1, 5);
    wide.checks[0].bytes = "12345";
    EXPECT_TRUE(Decode(start + EncodeChange(wide)).changes.empty());
}

TEST(JournalFormat, NamesAndFingerprintsFollowTheirBytes)
{
    EXPECT_EQ(Fingerprint(""), 0xcbf29ce484222325ULL);
    EXPECT_EQ(Fingerprint("a"), 0xaf63dc4c8601ec8cULL);  // FNV-1a's published value
    EXPECT_EQ(Fingerprint("b", Fingerprint("a")), Fingerprint("ab"));
    EXPECT_EQ(JournalName("/data/a.bin"), JournalName("/data/a.bin"));
    EXPECT_NE(JournalName("/data/a.bin"), JournalName("/data/b.bin"));
    EXPECT_EQ(JournalName("/data/a.bin").size(), 16u + 8u);
    EXPECT_EQ(JournalName("/data/a.bin").substr(16), ".journal");
}

TEST(JournalFormat, TimesAreWrittenAsUtc)
{
    EXPECT_EQ(IsoTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(IsoTime(1'765'184'103'999), "2025-12-08T08:55:03Z");
    EXPECT_EQ(IsoTime(951'782'400'000), "2000-02-29T00:00:00Z");  // a leap day of a century divisible by 400
    EXPECT_EQ(IsoTime(-1), "1969-12-31T23:59:59Z");
}

}  // namespace zok2::journal
