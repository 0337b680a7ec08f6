// Patches that claim more than they hold: a BPS target written in bounded
// memory (and thrown away when its checksum fails), IPS truncations that would
// lengthen a file, headers cut short, outputs that cannot be replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "patch/Crc32.h"
#include "patch/PatchFile.h"
#include "patch/Patches.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

using namespace zok2::patch;

std::string Le32(std::uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

// A BPS patch of the given actions, every checksum right for `source` and `target`
// (`target` may be a claim: its checksum is given, not computed, when `targetCrc` is set).
std::string Bps(const std::string& source, std::uint64_t targetSize, const std::string& actions, std::uint32_t targetCrc)
{
    std::string patch = "BPS1";
    AppendBpsNumber(source.size(), &patch);
    AppendBpsNumber(targetSize, &patch);
    AppendBpsNumber(0, &patch);
    patch += actions + Le32(Crc32(source)) + Le32(targetCrc);
    patch += Le32(Crc32(patch));
    return patch;
}

// One TargetRead byte, then a TargetCopy of `length` from the start: a run of
// that byte, `length` + 1 bytes long, from a few bytes of patch.
std::string RunPatch(const std::string& source, std::uint64_t length, std::uint32_t targetCrc)
{
    std::string actions;
    AppendBpsNumber(((1 - 1) << 2) | 1, &actions);
    actions += 'z';
    AppendBpsNumber(((length - 1) << 2) | 3, &actions);
    AppendBpsNumber(0, &actions);  // distance 0: from the target's start
    return Bps(source, length + 1, actions, targetCrc);
}

// A target that records how it was written.
class RecordingTarget : public PatchTarget {
public:
    bool Write(std::string_view bytes, std::string*) override
    {
        largestWrite = std::max(largestWrite, bytes.size());
        text.append(bytes);
        return true;
    }
    bool ReadBack(std::uint64_t offset, char* out, std::size_t n, std::string*) override
    {
        ++readBacks;
        std::copy_n(text.data() + offset, n, out);
        return true;
    }
    std::string text;
    std::size_t largestWrite = 0;
    int readBacks = 0;
};

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(BpsStreaming, TheTargetIsWrittenThroughASmallWindowAndReadBackForCopies)
{
    // Random files whose patches copy from far back in the target: with a window
    // of 64 bytes the result is the same as in memory, no write is larger than
    // the window, and copies reach back into what was flushed.
    std::mt19937 rng(7);
    std::string source(3000, '\0');
    for (char& c : source) c = static_cast<char>(rng() % 4);
    std::string target = source.substr(1000) + source.substr(0, 1000) + std::string(500, 'q') + source.substr(0, 700);
    std::string actions;
    AppendBpsNumber(((2000 - 1) << 2) | 2, &actions);  // SourceCopy of 2000 from 1000
    AppendBpsNumber(1000 << 1, &actions);
    AppendBpsNumber(((1000 - 1) << 2) | 2, &actions);  // SourceCopy of 1000 from 0
    AppendBpsNumber((3000 << 1) | 1, &actions);
    AppendBpsNumber(((1 - 1) << 2) | 1, &actions);  // TargetRead "q"
    actions += 'q';
    AppendBpsNumber(((499 - 1) << 2) | 3, &actions);  // TargetCopy of 499 from 3000: a run
    AppendBpsNumber(3000 << 1, &actions);
    AppendBpsNumber(((700 - 1) << 2) | 3, &actions);  // TargetCopy of 700 from 2000 (flushed long ago)
    AppendBpsNumber((1499 << 1) | 1, &actions);  // back from 3499
    const std::string patch = Bps(source, target.size(), actions, Crc32(target));
    std::string reason, inMemory;
    ASSERT_TRUE(ApplyBps(patch, source, &inMemory, &reason)) << reason;
    ASSERT_EQ(inMemory, target);
    RecordingTarget sink;
    std::vector<std::uint64_t> progress;
    ASSERT_TRUE(ApplyBps(patch, source, sink, &reason, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, target.size());
        progress.push_back(done);
        return true;
    }, 64)) << reason;
    EXPECT_EQ(sink.text, target);
    EXPECT_LE(sink.largestWrite, 64u);
    EXPECT_GT(sink.readBacks, 0);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), target.size());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST(BpsStreaming, AHugeClaimIsCheckedAsItIsWrittenAndCanBeStopped)
{
    // 32 bytes that claim a target of 4 GiB - 1: a wrong checksum is found only
    // at the end, so the target is written in pieces; cancelling stops it at the first.
    const std::string patch = RunPatch("", 0xFFFFFFFEull, 0x12345678);
    EXPECT_LE(patch.size(), 32u);
    RecordingTarget sink;
    std::string reason;
    std::uint64_t told = 0;
    EXPECT_FALSE(ApplyBps(patch, "", sink, &reason, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, 0xFFFFFFFFull);
        told = done;
        return false;
    }));
    EXPECT_EQ(reason, "the patch was not applied: cancelled");
    EXPECT_GT(told, 0u);
    EXPECT_LE(sink.text.size(), std::size_t{8} << 20);
    // A run of a mebibyte with a wrong checksum writes it all, then refuses.
    RecordingTarget again;
    EXPECT_FALSE(ApplyBps(RunPatch("", (1u << 20) - 1, 0x12345678), "", again, &reason, {}, 4096));
    EXPECT_EQ(reason, "the BPS patch is damaged (the result's checksum does not match)");
    EXPECT_EQ(again.text, std::string(1u << 20, 'z'));
    // With the checksum right, the run is the result.
    EXPECT_TRUE(ApplyBps(RunPatch("", (1u << 20) - 1, Crc32(std::string(1u << 20, 'z'))), "", again, &reason, {}, 4096)) << reason;
}

TEST(PatchHeaders, CutShortOrLengtheningPatchesAreCalledWhatTheyAre)
{
    std::string reason, result;
    for (const char* cut : {"P", "PAT", "PATCH", "BPS", "BPS1"}) {
        EXPECT_FALSE(ApplyPatch(cut, "file", &result, &reason)) << cut;
        EXPECT_NE(reason.find("cut short"), std::string::npos) << cut << ": " << reason;
    }
    EXPECT_FALSE(ApplyPatch("PATCHEO", "file", &result, &reason));
    EXPECT_EQ(reason, "the IPS patch is cut short (it ends before \"EOF\")");
    EXPECT_FALSE(ApplyPatch(std::string("BPS1\x84\x84", 6), "file", &result, &reason));
    EXPECT_EQ(reason, "the BPS patch is cut short (it ends inside its header)");
    EXPECT_FALSE(ApplyPatch("GIF89a", "file", &result, &reason));
    EXPECT_EQ(reason, "not an IPS or BPS patch");
    // IPS truncation only shortens: a length past the end is damage, the same length nothing.
    std::string file = "abcdef";
    EXPECT_FALSE(ApplyIps(std::string("PATCHEOF\x00\x00\x07", 11), &file, &reason));
    EXPECT_EQ(reason, "the IPS patch is damaged (its truncation would lengthen the file)");
    EXPECT_EQ(file, "abcdef");
    EXPECT_TRUE(ApplyIps(std::string("PATCHEOF\x00\x00\x06", 11), &file, &reason));
    EXPECT_TRUE(ApplyIps(std::string("PATCHEOF\x00\x00\x04", 11), &file, &reason));
    EXPECT_EQ(file, "abcd");
}

TEST(PatchFiles, ResultsReplaceTheOutputOnlyWhenWholeAndBackupsOnlyThen)
{
    TempDir temp;
    const std::string folder = temp.Path() + "work";
    std::filesystem::create_directories(folder);
    const std::string out = folder + "/game.bin";
    WriteFile(out, "original");
    WriteFile(out + ".bak", "older backup");
    std::string bps;
    ASSERT_TRUE(CreateBps("original", "changed!", &bps));

    // A damaged result (wrong target checksum): no file changes, no temporary stays.
    std::string damaged = bps;
    damaged.replace(damaged.size() - 8, 4, Le32(0));
    damaged.replace(damaged.size() - 4, 4, Le32(Crc32(damaged.substr(0, damaged.size() - 4))));
    FileApplyResult r = ApplyPatchToFile(damaged, "original", out, true);
    EXPECT_EQ(r.failure, FileApplyResult::Failure::Patch);
    EXPECT_EQ(ReadFile(out), "original");
    EXPECT_EQ(ReadFile(out + ".bak"), "older backup");
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"game.bin", "game.bin.bak"}));

    // A write-protected output: refused before a backup is made.
    std::filesystem::permissions(out, std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    r = ApplyPatchToFile(bps, "original", out, true);
    EXPECT_EQ(r.failure, FileApplyResult::Failure::File);
    EXPECT_EQ(r.path, out);
    EXPECT_EQ(ReadFile(out + ".bak"), "older backup");
    std::filesystem::permissions(out, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);

    // A good patch: the old file becomes the backup, the result takes its place.
    r = ApplyPatchToFile(bps, "original", out, true);
    ASSERT_TRUE(r.Succeeded()) << r.reason;
    EXPECT_EQ(ReadFile(out), "changed!");
    EXPECT_EQ(ReadFile(out + ".bak"), "original");
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"game.bin", "game.bin.bak"}));
}

}  // namespace zok2::test

namespace zok2::test {

// Long changed runs and stretches moved within the file are copies, not bytes:
// the patch stays small and exact.
TEST(BpsCreation, RunsAndMovedStretchesAreCopied)
{
    std::mt19937 rng(11);
    std::string source(1 << 16, '\0');
    for (char& c : source) c = static_cast<char>(rng());
    std::string target = source;
    std::fill(target.begin() + 10000, target.begin() + 15000, '\xFF');  // a region cleared
    target.replace(30000, 3000, source.substr(50000, 3000));              // a record moved
    target.replace(40000, 2, "ab");                                       // a small change stays literal
    std::string bps, back, reason;
    ASSERT_TRUE(CreateBps(source, target, &bps));
    EXPECT_LT(bps.size(), 120u) << bps.size();
    ASSERT_TRUE(ApplyBps(bps, source, &back, &reason)) << reason;
    EXPECT_TRUE(back == target);
    // A run at the very start, and one after a byte that differs from it.
    std::string first = source;
    std::fill(first.begin(), first.begin() + 100, 'z');
    first[200] = 'y';
    std::fill(first.begin() + 201, first.begin() + 400, 'x');
    ASSERT_TRUE(CreateBps(source, first, &bps));
    EXPECT_LT(bps.size(), 60u) << bps.size();
    ASSERT_TRUE(ApplyBps(bps, source, &back, &reason)) << reason;
    EXPECT_TRUE(back == first);
}

}  // namespace zok2::test
