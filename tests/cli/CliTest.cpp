#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <QProcess>
#include <QString>
#include <QStringList>

#include "CliCommands.h"
#include "framework/System.h"
#include "qt/SjisCodec.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

const std::string kExamples = std::string(ZOK2_SOURCE_DIR) + "/examples";

CliResult Cli(const std::vector<std::string>& args, const std::string& input = std::string())
{
    return RunCli(args, "/nonexistent", [input] { return input; });
}

// A copy of the sample (program folder, profile, definition set, binary) to change freely.
class SampleCopy {
public:
    SampleCopy()
    {
        std::filesystem::copy(kExamples + "/Settings", root() + "Settings", std::filesystem::copy_options::recursive);
        std::filesystem::copy(kExamples + "/zok2.ini", root() + "zok2.ini");
        std::filesystem::copy(kExamples + "/sample.dat", root() + "sample.dat");
        // These tests look at the cells a command writes; the sample's checksum has tests of its own.
        std::filesystem::remove(root() + "Settings/sample/checksums.txt");
    }
    std::string root() const { return temp.Path(); }
    std::string binary() const { return temp.Path() + "sample.dat"; }

private:
    TempDir temp;
};

}  // namespace

TEST(CliTool, SectionsListsEveryTabInOrder)
{
    CliResult r = Cli({"--root", kExamples, "sections", kExamples + "/sample.dat"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\titems\t10\t4\n"
              "1\tmaps\t15\t4\tcompressed\n"
              "2\tmonsters\t8\t11\n"
              "4\tskills\t6\t5\n");
}

TEST(CliTool, DumpShowsCellsAsTheGridDoes)
{
    CliResult r = Cli({"--root", kExamples, "dump", kExamples + "/sample.dat", "monsters", "items"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = TextLines(r.out);
    ASSERT_EQ(lines.size(), 1u + 1 + 8 + 1 + 1 + 1 + 10);
    EXPECT_EQ(lines[0], "[monsters]");
    EXPECT_EQ(lines[1], "\tHP\tMP\t攻撃力\t守備力\t属性\tドロップ\tボス\t飛行\tレベル\tランク\t経験値");
    // Signed bytes, lists (inline and .idn), bits, masks sharing a byte, three-byte values.
    EXPECT_EQ(lines[7], "ドラゴン\t850\t120\t-116\t0X5F\t火\tまほうのつえ\t1\t1\t15\t0X80\t65000");
    EXPECT_EQ(lines[5], "オオカミ \t40\t0\t21\t0X0A\tなし\tかわのたて\t0\t0\t6\t0X20\t55");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "[items]");
    EXPECT_EQ(lines[20], "07 ふしぎなたね\t100000\t貴重品\t0X01\t0");
    EXPECT_EQ(lines[22], "09 (予備)\t--\t--\t--\t--");
}

TEST(CliTool, DumpExpandsTheCompressedSection)
{
    CliResult r = Cli({"--root", kExamples, "dump", kExamples + "/sample.dat", "maps"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = TextLines(r.out);
    ASSERT_EQ(lines.size(), 2u + 15);
    EXPECT_EQ(lines[2], "01 はじまりの村\t0X01\t0\t1\t0X0000");
    EXPECT_EQ(lines[3], "\t0X01\t0\t1\t0X0000");
    EXPECT_EQ(lines[8], "02 まよいの森\t0X03\t4\t0\t0X0000");
    EXPECT_EQ(lines[16], "\t0X07\t9\t1\t0XFFFF");
}

TEST(CliTool, ModeOverridesTheProfileWithoutWritingIt)
{
    SampleCopy sample;
    std::filesystem::rename(fs::sys::PathOf(sample.root() + "Settings/sample"), fs::sys::PathOf(sample.root() + "Settings/見本"));
    const std::string profileBefore = ReadFile(sample.root() + "zok2.ini");
    CliResult r = Cli({"--root", sample.root(), "sections", sample.binary()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "設定ファイルが読み込めません。\n");
    r = Cli({"--root", sample.root(), "--mode", "見本", "sections", sample.binary()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TextLines(r.out).size(), 4u);
    EXPECT_EQ(ReadFile(sample.root() + "zok2.ini"), profileBefore);
}

TEST(CliTool, ErrorsAndTheirExitStatus)
{
    CliResult r = Cli({"--root", kExamples, "dump", kExamples + "/missing.dat"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ファイルが開けません\n");
    EXPECT_EQ(Cli({}).status, 2);
    r = Cli({"frobnicate", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "unknown command: frobnicate");
    EXPECT_NE(r.err.find("usage: zok2-cli [--root DIR]"), std::string::npos);
    // --help is the usage on standard output; --version names the program and its version.
    r = Cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 16), "usage: zok2-cli ");
    EXPECT_NE(r.out.find("zok2-cli [--root DIR] [--mode NAME] apply PATCH FILE [OUT]"), std::string::npos);
    EXPECT_TRUE(r.err.empty());
    r = Cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "zok2-cli " ZOK2_TEST_VERSION "\n");
    EXPECT_EQ(Cli({"--root"}).status, 2);
    EXPECT_EQ(Cli({"sections"}).status, 2);
    r = Cli({"--root", kExamples, "dump", kExamples + "/sample.dat", "nosuch"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown section: nosuch"), std::string::npos);
    // A section without columns has no tab and cannot be named.
    EXPECT_EQ(Cli({"--root", kExamples, "dump", kExamples + "/sample.dat", "notes"}).status, 2);
}

TEST(CliTool, PasteEditsOnlyThePastedBytesAfterABackup)
{
    SampleCopy sample;
    const std::string before = ReadFile(sample.binary());
    CliResult r = Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "1", "1"}, "500\t40\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(sample.binary() + ".bak"), before);
    std::string expected = before;
    expected[0x200] = static_cast<char>(0xF4);  // HP 500 of the first monster (after the 0x200 header)
    expected[0x201] = static_cast<char>(0x01);
    expected[0x202] = static_cast<char>(40);    // MP 40
    expected[0x203] = static_cast<char>(0);
    EXPECT_EQ(ReadFile(sample.binary()), expected);

    r = Cli({"--root", sample.root(), "dump", sample.binary(), "monsters"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(TextLines(r.out).at(2), "スライム\t500\t40\t5\t0X03\t水\tやくそう\t0\t0\t1\t0X10\t4");

    // Range limits apply to pasted text; Japanese text reaches list columns as values.
    r = Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "2", "1"}, "5000");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"--root", sample.root(), "dump", sample.binary(), "monsters"});
    EXPECT_EQ(TextLines(r.out).at(3).substr(0, TextLines(r.out).at(3).find('\t', 14)), "ゴブリン\t999");
}

TEST(CliTool, PasteRefusesWhatItCannotDo)
{
    SampleCopy sample;
    const std::string before = ReadFile(sample.binary());
    EXPECT_EQ(Cli({"--root", sample.root(), "paste", sample.binary(), "maps", "1", "1"}, "1").status, 2);
    EXPECT_EQ(Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "9", "1"}, "1").status, 2);
    EXPECT_EQ(Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "1", "0"}, "1").status, 2);
    EXPECT_EQ(Cli({"--root", sample.root(), "paste", sample.binary(), "nosuch", "1", "1"}, "1").status, 2);
    EXPECT_EQ(Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "1"}, "1").status, 2);
    EXPECT_EQ(ReadFile(sample.binary()), before);

    // The backup cannot be made: the save fails and the file stays as it was.
    std::filesystem::create_directories(sample.binary() + ".bak/x");
    CliResult r = Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "1", "1"}, "77");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(".bak"), std::string::npos);
    EXPECT_EQ(ReadFile(sample.binary()), before);
}

TEST(CliTool, PasteRefusesCellsThatHoldNoValueOrLiePastTheEnd)
{
    SampleCopy sample;
    // Rows 9 and 10 of the items show "--".
    CliResult r = Cli({"--root", sample.root(), "paste", sample.binary(), "items", "9", "1"}, "1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "the cell at ROW and COLUMN holds no value (--)\n");

    // A file that ends inside the first monster's row.
    std::filesystem::resize_file(sample.binary(), 0x20C);
    const std::string before = ReadFile(sample.binary());
    r = Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "2", "1"}, "1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "the cell at ROW and COLUMN lies past the end of the file and cannot be edited\n");
    EXPECT_EQ(ReadFile(sample.binary()), before);

    r = Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "1", "1"}, "300\n400\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "warning: 1 read-only cells (past the end of the file) were left unchanged\n");
    EXPECT_EQ(ReadFile(sample.binary()).substr(0x200, 2), Bytes({0x2C, 0x01}));
    EXPECT_EQ(ReadFile(sample.binary()).size(), 0x20Cu);
}

TEST(CliTool, AColumnFileThatCannotBeWrittenFailsThePaste)
{
    SampleCopy sample;
    const std::string ini = sample.root() + "Settings/sample/monsters.ini";
    const std::string before = ReadFile(ini);
    std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
    CliResult r = Cli({"--root", sample.root(), "paste", sample.binary(), "monsters", "1", "1"}, "500");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("monsters.ini (Permission denied)"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(ini), before);
    EXPECT_EQ(ReadFile(sample.binary()).substr(0x200, 2), Bytes({0xF4, 0x01}));  // the data itself is saved
}

TEST(CliTool, NamesShiftJisCannotWriteOpenUnderTheirOwnNames)
{
    TempDir temp;
    const std::string set = temp.Path() + "Settings/café/";
    WriteFile(set + "bé.idn", "r0\r\n");
    WriteFile(set + "bé.ini", "0,V,1\r\n");
    WriteFile(set + "ok.idn", "r0\r\n");
    WriteFile(set + "ok.ini", "0,W,1,,,0,,,,bé.idn|0 zero\r\n");  // the reference cannot name "bé"
    WriteFile(temp.Path() + "d.bin", Bytes({0}));
    CliResult r = Cli({"--root", temp.Path(), "--mode", "café", "sections", temp.Path() + "d.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\tbé\t1\t1\n1\tok\t1\t1\n");
    r = Cli({"--root", temp.Path(), "--mode", "café", "dump", temp.Path() + "d.bin", "ok"});
    EXPECT_EQ(r.out, "[ok]\n\tW\nr0\tzero\n");
}

// What a program run as its own process wrote, and its exit status.
struct Process {
    int status = -1;
    std::string out, err;
};

// Runs a program with its arguments (each one whole, whatever it holds) and the
// given standard input; the wide command line on Windows.
Process RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& input = std::string())
{
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    QProcess process;
    process.start(QString::fromStdString(program), list);
    Process result;
    if (!process.waitForStarted(60000)) {
        result.err = process.errorString().toStdString();
        return result;
    }
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(300000);
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

TEST(CliTool, TheExecutableReadsStandardInputAndWritesUtf8)
{
    SampleCopy sample;
    // Ctrl+Z (0x1A) in the input: a text-mode reading on Windows would end there.
    Process run = RunProgram(ZOK2_CLI, {"--root", sample.root(), "paste", sample.binary(), "skills", "2", "1"}, "0x0A\t0x1A\n");
    ASSERT_EQ(run.status, 0) << run.err;
    run = RunProgram(ZOK2_CLI, {"--root", sample.root(), "dump", sample.binary(), "skills"});
    ASSERT_EQ(run.status, 0) << run.err;
    // LF line ends on every system: the output is the bytes.
    EXPECT_EQ(TextLines(run.out).at(3), "アイス\t10\t26\t0\t1\t0");
    EXPECT_TRUE(std::filesystem::exists(fs::sys::PathOf(sample.binary() + ".bak")));
    run = RunProgram(ZOK2_CLI, {"--root", sample.root(), "dump", sample.binary(), "nosuch"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("nosuch"), std::string::npos) << run.err;
    // A name outside the ANSI code page reaches the program whole (Windows: the wide command line).
    const std::string named = sample.root() + "サンプル 道具.dat";
    std::filesystem::copy_file(fs::sys::PathOf(sample.binary()), fs::sys::PathOf(named));
    run = RunProgram(ZOK2_CLI, {"--root", sample.root(), "sections", named});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TextLines(run.out).at(0), "0\titems\t10\t4");
}

TEST(CliTool, TheGeneratorReproducesTheBundledSample)
{
    TempDir temp;
    const std::string out = temp.Path() + "sample.dat";
    const Process run = RunProgram(ZOK2_MAKE_SAMPLE, {out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(out), ReadFile(kExamples + "/sample.dat"));
}

}  // namespace zok2::test

namespace zok2::test {

TEST(CliFind, FindsLabelsCaptionsTextsAndValuesOneHitALine)
{
    const std::string file = kExamples + "/sample.dat";
    // A Japanese label, a half-width search for a full-width one.
    CliResult r = Cli({"--root", kExamples, "find", file, "スライム"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "monsters\t1\t0\tスライム\t\tスライム\t\n");
    r = Cli({"--root", kExamples, "find", "--whole", file, "ﾄﾞﾗｺﾞﾝ"});
    EXPECT_EQ(r.out, "monsters\t6\t0\tドラゴン\t\tドラゴン\t\n");
    // By value on a hexadecimal column: 12 is the cell showing 0X0C.
    r = Cli({"--root", kExamples, "find", "--section", "items", "--value", file, "12"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "items\t3\t3\t02 こんぼう\t重さ\t0X0C\t0x315\n");
    // A list label, with its file offset; a caption.
    r = Cli({"--root", kExamples, "find", "--whole", file, "火"});
    EXPECT_EQ(r.out, "monsters\t6\t5\tドラゴン\t属性\t火\t0x256\n");
    r = Cli({"--root", kExamples, "find", "--whole", file, "HP"});
    EXPECT_EQ(r.out, "monsters\t0\t1\t\tHP\tHP\t\n");
    // Nothing found is status 1; wrong usage 2.
    r = Cli({"--root", kExamples, "find", file, "no such text"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(Cli({"--root", kExamples, "find", "--value", file, "fire"}).status, 2);
    EXPECT_EQ(Cli({"--root", kExamples, "find", "--section", "nowhere", file, "1"}).status, 2);
    EXPECT_EQ(Cli({"--root", kExamples, "find", "--sideways", file, "1"}).status, 2);
    EXPECT_EQ(Cli({"--root", kExamples, "find", file}).status, 2);
}

TEST(CliInfo, TheFactsOfACellOneKeyALine)
{
    const std::string file = kExamples + "/sample.dat";
    CliResult r = Cli({"--root", kExamples, "info", file, "monsters", "1", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "table: monsters\nrow: スライム\ncaption: HP\nstate: editable\noffset: 0x200\nsize: 2\nbytes: 08 00\n"
              "hex: 0x8\nsigned: 8\nunsigned: 8\n");
    // A bit: its byte with the correction applied.
    r = Cli({"--root", kExamples, "info", file, "monsters", "3", "8"});
    EXPECT_EQ(TextLines(r.out)[4], "offset: 0x228");
    EXPECT_EQ(TextLines(r.out)[5], "size: bit 1");
    EXPECT_EQ(TextLines(r.out)[8], "signed: 1");
    // "--", compressed.
    r = Cli({"--root", kExamples, "info", file, "items", "9", "1"});
    EXPECT_EQ(TextLines(r.out)[3], "state: none");
    EXPECT_EQ(TextLines(r.out)[7], "hex: ");
    r = Cli({"--root", kExamples, "info", file, "maps", "1", "1"});
    EXPECT_EQ(TextLines(r.out)[3], "state: compressed");
    EXPECT_EQ(TextLines(r.out)[4], "offset: ");
    EXPECT_EQ(Cli({"--root", kExamples, "info", file, "monsters", "99", "1"}).status, 2);
    EXPECT_EQ(Cli({"--root", kExamples, "info", file, "nowhere", "1", "1"}).status, 2);
}

TEST(CliInfo, APastTheEndCellSaysSo)
{
    SampleCopy copy;
    std::string bytes = ReadFile(copy.binary());
    WriteFile(copy.binary(), bytes.substr(0, 0x300 + 8 * 3));  // items rows from the fourth on are gone
    CliResult r = Cli({"--root", copy.root(), "info", copy.binary(), "items", "5", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TextLines(r.out)[3], "state: past-end");
    EXPECT_EQ(TextLines(r.out)[4], "offset: 0x320");
    EXPECT_EQ(TextLines(r.out)[6], "bytes: ");
}

}  // namespace zok2::test

namespace zok2::test {

TEST(CliPatch, PatchesMadeAndAppliedByteForByte)
{
    SampleCopy copy;
    const std::string original = ReadFile(copy.binary());
    const std::string reference = copy.root() + "original.dat";
    WriteFile(reference, original);
    // The copy is edited (a paste saves it) and grows by bytes outside every table.
    ASSERT_EQ(Cli({"--root", copy.root(), "paste", copy.binary(), "monsters", "1", "1"}, "500\t40\n").status, 0);
    WriteFile(copy.binary(), ReadFile(copy.binary()) + "tail outside the tables");
    const std::string edited = ReadFile(copy.binary());
    for (const char* format : {"ips", "bps"}) {
        const std::string patchPath = copy.root() + "change." + format;
        CliResult r = Cli({"patch", "--format", format, reference, copy.binary(), patchPath});
        ASSERT_EQ(r.status, 0) << r.err;
        // Into another file, and into the original itself after a ".bak".
        const std::string out = copy.root() + "out." + format;
        r = Cli({"apply", patchPath, reference, out});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(ReadFile(out) == edited) << format;
        const std::string target = copy.root() + "target." + format;
        WriteFile(target, original);
        ASSERT_EQ(Cli({"apply", patchPath, target}).status, 0);
        EXPECT_TRUE(ReadFile(target) == edited) << format;
        EXPECT_TRUE(ReadFile(target + ".bak") == original) << format;
    }
    // A BPS patch for another file, and a damaged one, write nothing.
    const std::string other = copy.root() + "other.dat";
    WriteFile(other, "not the original");
    CliResult r = Cli({"apply", copy.root() + "change.bps", other});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, copy.root() + "change.bps: the BPS patch was made for another file (its size differs); nothing was written\n");
    EXPECT_EQ(ReadFile(other), "not the original");
    EXPECT_FALSE(std::filesystem::exists(other + ".bak"));
    WriteFile(copy.root() + "cut.ips", ReadFile(copy.root() + "change.ips").substr(0, 12));
    EXPECT_EQ(Cli({"apply", copy.root() + "cut.ips", other}).status, 2);
    EXPECT_EQ(ReadFile(other), "not the original");
    // In place on a write-protected file: refused before a ".bak" is made, an older one kept.
    const std::string locked = copy.root() + "locked.dat";
    WriteFile(locked, original);
    WriteFile(locked + ".bak", "older backup");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write, std::filesystem::perm_options::remove);
    r = Cli({"apply", copy.root() + "change.bps", locked});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(locked + ": "), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(locked + ".bak"), "older backup");
    EXPECT_TRUE(ReadFile(locked) == original);
    // FILE named again as OUT is in place too: it keeps a ".bak".
    const std::string twice = copy.root() + "twice.dat";
    WriteFile(twice, original);
    ASSERT_EQ(Cli({"apply", copy.root() + "change.ips", twice, twice}).status, 0);
    EXPECT_TRUE(ReadFile(twice) == edited);
    EXPECT_TRUE(ReadFile(twice + ".bak") == original);
    // IPS cannot hold a file over 16 MiB: nothing is written.
    const std::string large = copy.root() + "large.bin";
    WriteFile(large, std::string((std::size_t{16} << 20) + 1, 'x'));
    r = Cli({"patch", "--format", "ips", reference, large, copy.root() + "large.ips"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(std::filesystem::exists(copy.root() + "large.ips"));
    EXPECT_EQ(Cli({"patch", "--format", "xdelta", reference, large, copy.root() + "x"}).status, 2);
}

}  // namespace zok2::test

namespace zok2::test {

TEST(CliDiff, CellsThatDifferFromTheReferenceOneALine)
{
    SampleCopy copy;
    // The reference has another extension: it is read with the address correction of FILE (.dat).
    const std::string reference = copy.root() + "original.orig";
    WriteFile(reference, ReadFile(copy.binary()));
    CliResult r = Cli({"--root", copy.root(), "diff", reference, copy.binary()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    ASSERT_EQ(Cli({"--root", copy.root(), "paste", copy.binary(), "monsters", "1", "1"}, "500\t40\n").status, 0);
    r = Cli({"--root", copy.root(), "diff", reference, copy.binary()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "monsters\t1\t1\tスライム\tHP\t8\t500\t0x200\n"
                     "monsters\t1\t2\tスライム\tMP\t0\t40\t0x202\n");
    // A shorter reference: the cells past its end differ (its side shows nothing).
    WriteFile(reference, ReadFile(reference).substr(0, 0x300 + 8 * 4));
    r = Cli({"--root", copy.root(), "diff", reference, copy.binary(), "items"});
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> lines = TextLines(r.out);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "items\t5\t1\t04 かわのたて\t値段\t\t90\t0x320");
    EXPECT_EQ(Cli({"--root", copy.root(), "diff", reference, copy.binary(), "nowhere"}).status, 2);
    EXPECT_EQ(Cli({"--root", copy.root(), "diff", reference}).status, 2);
}

}  // namespace zok2::test

namespace zok2::test {

TEST(CliExchange, TablesExportedAndImportedAsText)
{
    SampleCopy copy;
    // A table with a Japanese name whose labels need CSV quoting.
    const std::string set = copy.root() + "Settings/sample/";
    std::filesystem::rename(fs::sys::PathOf(set + "items.ini"), fs::sys::PathOf(set + "道具.ini"));
    std::string labels = ReadFile(set + "items.idn");
    labels.replace(0, labels.find("\r\n"), Utf8ToSjis("00 \"薬\", 草"));
    WriteFile(set + "道具.idn", labels);
    std::filesystem::remove(set + "items.idn");
    // A weight of 0 lies outside its column's range (1 to 0x63): an unchanged import must keep it.
    std::string binary = ReadFile(copy.binary());
    binary[0x305] = 0;
    WriteFile(copy.binary(), binary);
    const std::string out = copy.root() + "out";
    for (const char* format : {"tsv", "csv", "json"}) {
        CliResult r = Cli({"--root", copy.root(), "export", "--format", format, copy.binary(), out, "道具"});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    const std::string tsv = ReadFile(out + "/道具.tsv");
    EXPECT_EQ(TextLines(tsv)[0], "\t値段\t種類\t重さ\t効果");
    EXPECT_EQ(TextLines(tsv)[1], "00 \"薬\", 草\t8\t0X02\t0X00\t30");
    EXPECT_EQ(TextLines(tsv)[9], "08 (予備)\t\t\t\t");
    const std::string csv = ReadFile(out + "/道具.csv");
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.substr(3, csv.find("\r\n", 3) - 3), ",値段,種類,重さ,効果");
    EXPECT_NE(csv.find("\r\n\"00 \"\"薬\"\", 草\",8,0X02,0X00,30\r\n"), std::string::npos);
    const std::string json = ReadFile(out + "/道具.json");
    EXPECT_NE(json.find("{\"\": \"00 \\\"薬\\\", 草\", \"値段\": \"8\", \"種類\": \"0X02\", \"重さ\": \"0X00\", \"効果\": \"30\"}"), std::string::npos);

    // Importing any of them unchanged changes no byte and makes no backup.
    const std::string before = ReadFile(copy.binary());
    for (const char* format : {"tsv", "csv", "json"}) {
        CliResult r = Cli({"--root", copy.root(), "import", copy.binary(), out + "/道具." + format});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(ReadFile(copy.binary()) == before) << format;
    }
    EXPECT_FALSE(std::filesystem::exists(copy.binary() + ".bak"));
    // A changed CSV field: only that cell is stored, after a ".bak".
    std::string edited = csv;
    edited.replace(edited.find(",8,0X02"), 7, ",9,0X02");
    WriteFile(out + "/道具.csv", edited);
    CliResult r = Cli({"--root", copy.root(), "import", copy.binary(), out + "/道具.csv"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string expected = before;
    expected[0x300] = 9;
    EXPECT_TRUE(ReadFile(copy.binary()) == expected);
    EXPECT_TRUE(ReadFile(copy.binary() + ".bak") == before);
    // A wrong caption row stores nothing; a compressed table is skipped with a note.
    WriteFile(out + "/道具.tsv", "\tprice\n00\t1\n");
    EXPECT_EQ(Cli({"--root", copy.root(), "import", copy.binary(), out + "/道具.tsv"}).status, 2);
    EXPECT_TRUE(ReadFile(copy.binary()) == expected);
    ASSERT_EQ(Cli({"--root", copy.root(), "export", copy.binary(), out, "maps"}).status, 0);
    r = Cli({"--root", copy.root(), "import", copy.binary(), out + "/maps.tsv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("table maps is compressed and cannot be edited; skipped"), std::string::npos);
    EXPECT_EQ(Cli({"--root", copy.root(), "import", copy.binary(), out + "/nowhere.tsv"}).status, 2);
}

}  // namespace zok2::test

namespace zok2::test {

// A round trip through a spreadsheet: rows sorted or deleted are matched by
// their labels; any text that is no value of its column stores nothing and is
// named on standard error, one line each.
TEST(CliExchange, ImportMatchesRowsByLabelAndRefusesTextsThatAreNoValues)
{
    SampleCopy copy;
    const std::string out = copy.root() + "out";
    ASSERT_EQ(Cli({"--root", copy.root(), "export", copy.binary(), out, "items"}).status, 0);
    const std::vector<std::string> lines = TextLines(ReadFile(out + "/items.tsv"));
    ASSERT_EQ(lines.size(), 11u);
    const std::string before = ReadFile(copy.binary());
    const std::string table = out + "/items.tsv";

    // Sorted by price, highest first, as a spreadsheet sorts; one row deleted;
    // one weight changed, one kind given by its label.
    std::string sorted = lines[0] + "\n" + lines[8] + "\n" + lines[7] + "\n" + lines[6] + "\n" + lines[4] + "\n" + lines[5] + "\n" +
                         lines[3] + "\n" + lines[2] + "\n";
    sorted.replace(sorted.find("\t0X3C\t"), 6, "\t0X3D\t");        // てつのよろい's weight
    sorted.replace(sorted.find("\t30\t0X00\t"), 9, "\t30\t防具\t");  // こんぼう becomes armour
    WriteFile(table, sorted);
    CliResult r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("the rows were matched by name"), std::string::npos);
    std::string expected = before;
    expected[0x300 + 8 * 5 + 5] = 0x3D;  // the sample's address correction puts items at 0x300
    expected[0x300 + 8 * 2 + 4] = 1;
    EXPECT_TRUE(ReadFile(copy.binary()) == expected);

    // Every kind of text that is no value, each named with its row and column; nothing stored.
    std::string bad = lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n" + lines[3] + "\n";
    bad.replace(bad.find("\t8\t"), 3, "\t#VALUE!\t");
    bad.replace(bad.find("\t0X01\t0"), 6, "\t1000\t");
    bad.replace(bad.find("\t-8"), 3, "\t3.5");
    bad.replace(bad.find("\t0X02"), 5, "\t薬");
    WriteFile(table, bad);
    r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(TextLines(r.err), (std::vector<std::string>{
                                table + ": table items: row \"00 やくそう\", column \"値段\": \"#VALUE!\" is not a number",
                                table + ": table items: row \"00 やくそう\", column \"種類\": \"薬\" is not a label of the column's value list",
                                table + ": table items: row \"01 どくけしそう\", column \"重さ\": \"1000\" is too big for the column (1 byte)",
                                table + ": table items: row \"02 こんぼう\", column \"効果\": \"3.5\" is a fraction; the column holds whole numbers",
                                "nothing was stored"}));
    EXPECT_TRUE(ReadFile(copy.binary()) == expected);

    // An unknown row and a caption that is not the table's.
    WriteFile(table, lines[0] + "\n99 ひのきのぼう\t1\t0X00\t0X01\t0\n");
    r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("rows the table does not have: \"99 ひのきのぼう\""), std::string::npos) << r.err;
    WriteFile(table, "\t値段\t種類\tおもさ\t効果\n");
    r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    EXPECT_NE(r.err.find("caption 3 is \"おもさ\" in the file and \"重さ\" in the table"), std::string::npos) << r.err;
    // Saved as Shift-JIS, or with semicolons.
    WriteFile(table, Utf8ToSjis(lines[0] + "\n" + lines[1] + "\n"));
    r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 1 is not UTF-8"), std::string::npos) << r.err;
    WriteFile(table, ";値段;種類;重さ;効果\n");
    r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    EXPECT_NE(r.err.find("seems to separate cells with \";\""), std::string::npos) << r.err;
    EXPECT_TRUE(ReadFile(copy.binary()) == expected);

    // A quoted TSV as spreadsheets write it, CRLF and all.
    WriteFile(table, "\"\"\t\"値段\"\t\"種類\"\t\"重さ\"\t\"効果\"\r\n\"00 やくそう\"\t\"9\"\t\"道具\"\t\"0X01\"\t30\r\n");
    r = Cli({"--root", copy.root(), "import", copy.binary(), table});
    ASSERT_EQ(r.status, 0) << r.err;
    expected[0x300] = 9;
    EXPECT_TRUE(ReadFile(copy.binary()) == expected);
}

}  // namespace zok2::test

namespace zok2::test {

// A reference whose compressed table reads longer than the file's (its block
// claims more rows): the rows only the reference has are listed with the
// file's side empty, and their labels come from the reference.
TEST(CliDiff, RowsOnlyTheReferenceHasAreListedWithTheFilesSideEmpty)
{
    SampleCopy copy;
    std::string reference = ReadFile(copy.binary());
    // The bogus length below reads on to the end of the file: its last bytes (the
    // sample's checksum) zero, as the rows counted here were counted.
    reference.replace(0x7FC, 4, std::string(4, '\0'));
    WriteFile(copy.binary(), reference);
    reference[0x500] = 0x7B;  // a block length inside the compressed maps
    reference[0x501] = 0x00;
    WriteFile(copy.root() + "reference.dat", reference);
    const CliResult r = Cli({"--root", copy.root(), "diff", copy.root() + "reference.dat", copy.binary(), "maps"});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::vector<std::string> lines = TextLines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "maps\t548\t4\t\tイベント\t0XFFFF\t\t");
    // The reverse: the file reads longer, the reference's side is empty.
    WriteFile(copy.root() + "reference.dat", ReadFile(copy.binary()));
    WriteFile(copy.binary(), reference);
    const CliResult reverse = Cli({"--root", copy.root(), "diff", copy.root() + "reference.dat", copy.binary(), "maps"});
    EXPECT_EQ(reverse.status, 1) << reverse.err;
    ASSERT_FALSE(TextLines(reverse.out).empty());
    EXPECT_EQ(TextLines(reverse.out).back(), "maps\t548\t4\t\tイベント\t\t0XFFFF\t");
}

}  // namespace zok2::test

namespace zok2::test {

// zok2-cli paste says what the paste rules stored other than as written, as the
// window's note does; the exit status stays 0.
TEST(CliTool, PasteSaysWhatWasNotStoredAsWritten)
{
    SampleCopy copy;
    // HP (2 bytes, 1 to 999), MP (2 bytes): 1200 moved into the range, "x" no number, 70000 cut.
    const CliResult r = Cli({"--root", copy.root(), "paste", copy.binary(), "monsters", "1", "1"}, "1200\tx\n5\t70000\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TextLines(r.err), (std::vector<std::string>{
                                "warning: 1 texts were no plain numbers and were stored as what could be read of them (0 without digits)",
                                "warning: 1 values were moved into their column's range",
                                "warning: 1 values were cut to their column's size"}));
    const CliResult dump = Cli({"--root", copy.root(), "dump", copy.binary(), "monsters"});
    EXPECT_EQ(TextLines(dump.out)[2].substr(TextLines(dump.out)[2].find('\t'), 7), "\t999\t0\t");
    EXPECT_EQ(TextLines(dump.out)[3].substr(TextLines(dump.out)[3].find('\t'), 8), "\t5\t4464\t");
}

}  // namespace zok2::test
