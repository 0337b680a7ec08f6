// zok2-cli check: every problem of a planted set on a line of its own, in the
// words a user reads, with the exit status that says how bad it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliCommands.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

const std::string kExamples = std::string(ZOK2_SOURCE_DIR) + "/examples";

// A root with a profile and the set `mode` made of the given files.
class PlantedSet {
public:
    PlantedSet(const std::string& mode, const std::vector<std::pair<std::string, std::string>>& files)
    {
        WriteFile(temp.Path() + "zok2.ini", "[Setting]\r\nmode=" + mode + "\r\n\r\n[File Address Correction]\r\n");
        for (const auto& [name, content] : files) WriteFile(temp.Path() + "Settings/" + mode + "/" + name, content);
    }
    CliResult Check(const std::vector<std::string>& more = {}) const
    {
        std::vector<std::string> args = {"--root", temp.Path(), "check"};
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args, "/nonexistent", [] { return std::string(); });
    }
    std::string Path(const std::string& name) const { return temp.Path() + name; }

private:
    TempDir temp;
};

}  // namespace

TEST(CliCheck, TheSampleIsClean)
{
    CliResult r = RunCli({"--root", kExamples, "check"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");
    r = RunCli({"--root", kExamples, "check", kExamples + "/sample.dat"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CliCheck, EveryLineTheReaderDropsOrReadsOtherwiseIsNamedOnce)
{
    const PlantedSet set("bad", {
        {"items.idn", "00 a\r\n01 b\r\n02 c\r\n"},
        {"items.ini", "// comment only\r\n"
                      "100,Price,2\r\n"
                      "no comma here\r\n"
                      ",NoAddr,1\r\n"
                      "102,,1\r\n"
                      "110,Big,5\r\n"
                      "120,Flag,.9\r\n"
                      "130,W,1,.8\r\n"
                      "140,R,1,1,9\r\n"
                      "150,D,1,1,,8\r\n"
                      "160,L,1,1,,0\r\n"
                      "170,M,1,1,,16,.0\r\n"
                      "180,G,1,1,,16,20|10\r\n"
                      "190,X,1,1,,16,abc\r\n"
                      "1A0,T,1,1,,16,.FFF\r\n"
                      "1B0,Wd,1,1,,10,,60000\r\n"
                      "1C0,V,1,1,,0,,,,0 off|1 on|bad|1 again|other.idn\r\n"
                      "100,Copy,2\r\n"
                      "1D0,E,1,1,3,10,,,d,,extra\r\n"
                      "1E0,BL,.1,1,,,.F\r\n"},
        {"maps.idn", "m\r\n"},
        {"maps.ini", "COMPRESS_INFO,1,x,2|3\r\nCOMPRESS_INFO,1,,2\r\n0,A,1\r\n"},
        {"zip.idn", "z\r\n"},
        {"zip.ini", "COMPRESS_INFO,2,x,0|0|1,0\r\nCOMPRESS_INFO,1,x,0|0|1,0\r\n0,A,1\r\n"},
        {"orphan.ini", "0,A,1\r\n"},
    });
    const CliResult r = set.Check();
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(TextLines(r.out), (std::vector<std::string>{
        "warning\titems.ini\t3\thas no comma: the line is ignored",
        "error\titems.ini\t4\thas no address: the line is dropped",
        "error\titems.ini\t5\thas no caption: the line is dropped",
        "error\titems.ini\t6\tcolumn \"Big\": size 5 is not 1 to 4: read as 4",
        "error\titems.ini\t7\tcolumn \"Flag\": bit .9 is not .0 to .7: read as .7",
        "warning\titems.ini\t8\tcolumn \"W\": a stride in bits (.8) on a column of bytes: the size is used",
        "warning\titems.ini\t9\tcolumn \"R\": rows 9 is not 1 to the 3 row labels: read as 3",
        "warning\titems.ini\t10\tcolumn \"D\": display 8 is not -10, 0, 10 or 16: read as -10",
        "warning\titems.ini\t11\tcolumn \"L\": display 0 (a value list) without a value list: read as -10",
        "error\titems.ini\t12\tcolumn \"M\": mask .0 has no bit set: only 0 can be entered",
        "error\titems.ini\t13\tcolumn \"G\": range 20|10 has its minimum above its maximum",
        "warning\titems.ini\t14\tcolumn \"X\": limit abc is neither a mask (.FF) nor a range (0|FF): ignored",
        "warning\titems.ini\t15\tcolumn \"T\": mask .FFF is longer than the column's size: ignored",
        "warning\titems.ini\t16\tcolumn \"Wd\": width 60000 is not 1 to 49999: automatic width",
        "warning\titems.ini\t17\tcolumn \"V\": value list item \"bad\" has no blank after its value: dropped",
        "warning\titems.ini\t17\tcolumn \"V\": value list item \"1 again\" repeats a value listed before",
        "error\titems.ini\t17\tcolumn \"V\": value list names other.idn, which is not in the set",
        "warning\titems.ini\t18\tcolumn \"Copy\": reads the same bytes as column \"Price\" (line 2)",
        "warning\titems.ini\t19\tcolumn \"E\": text after the tenth field is ignored: extra",
        "warning\titems.ini\t20\tcolumn \"BL\": a limit (.F) on a bit column is ignored",
        "error\tmaps.ini\t1\tCOMPRESS_INFO has 3 parameters; the decoder uses only records of four: the table is not expanded",
        "error\tmaps.ini\t2\tCOMPRESS_INFO has an empty parameter: the line is ignored",
        "error\tzip.ini\t1\tCOMPRESS_INFO names method 2; 1 is the only method: the table is not expanded",
        "warning\tzip.ini\t2\ta second COMPRESS_INFO: only a file's first is used",
        "warning\torphan.ini\t0\thas no row-name file (.idn) beside it, so it is never read",
    }));
}

TEST(CliCheck, WithTheFileColumnsAndCompressedDataPastItsEndAreErrors)
{
    const PlantedSet set("end", {
        {"c.idn", "x\r\n"},
        {"c.ini", "COMPRESS_INFO,1,n,20|0|2,0|0\r\n0,V,1\r\n"},
        {"t.idn", "a\r\nb\r\nc\r\nd\r\n"},
        {"t.ini", "0,A,2,4\r\n0,C,.3,.8\r\n"},
    });
    WriteFile(set.Path("data.bin"), std::string(10, '\0'));
    CliResult r = set.Check();
    EXPECT_EQ(r.status, 0) << r.out;  // without the file nothing is wrong
    r = set.Check({set.Path("data.bin")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(TextLines(r.out), (std::vector<std::string>{
        "error\tc.ini\t1\tCOMPRESS_INFO's bank byte at 32 lies past the end of the file (10 bytes)",
        "error\tt.ini\t1\tcolumn \"A\": reaches past the end of the file (it needs 14 bytes, the file has 10)",
    }));
    r = set.Check({set.Path("missing.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.bin"), std::string::npos);
}

TEST(CliCheck, ChecksumRulesTheReaderCannotUseAreErrors)
{
    const PlantedSet set("sums", {
        {"t.idn", "a\r\n"},
        {"t.ini", "0,A,1\r\n"},
        {"checksums.txt", "// rules\r\ngood,crc32,0-F,10:4\r\nodd,sum64,0-F,10:4\r\n"},
    });
    const CliResult r = set.Check();
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(TextLines(r.out), (std::vector<std::string>{
        "error\tchecksums.txt\t3\tthe checksum rule cannot be used (unknown algorithm \"sum64\"): odd,sum64,0-F,10:4",
    }));
}

TEST(CliCheck, WarningsAloneExitOneAndTextsThatAreNotShiftJisAreErrors)
{
    const PlantedSet warn("warn", {{"w.idn", "a\r\n"}, {"w.ini", "0,A,1,,,8\r\n"}});
    CliResult r = warn.Check();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(TextLines(r.out).size(), 1u);

    const PlantedSet enc("enc", {
        {"bom.idn", "\xEF\xBB\xBF" "a\r\n"},
        {"enc.idn", "a\r\n"},
        {"enc.ini", "0,A,1\r\n1,\x82\r\n"},
#ifndef _WIN32
        {"ENC.ini", "0,A,1\r\n"},
#endif
    });
    r = enc.Check();
    EXPECT_EQ(r.status, 2);
    std::vector<std::string> expected = {
        "error\tbom.idn\t1\tstarts with a byte-order mark: a Unicode file, not Shift-JIS; the program reads none of it",
        "error\tenc.ini\t2\tholds bytes that are not Shift-JIS text",
    };
#ifndef _WIN32
    expected.push_back("warning\tenc.ini\t0\tdiffers from ENC.ini only by case: Windows takes them for one file");
#endif
    EXPECT_EQ(TextLines(r.out), expected);

    r = enc.Check({"--bogus", "more"});
    EXPECT_EQ(r.status, 2);  // one FILE at most
    r = RunCli({"--root", kExamples, "--mode", "nosuch", "check"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no definition set there"), std::string::npos) << r.err;
}

}  // namespace zok2::test

namespace zok2::test {

TEST(CliStrides, TheRecordSizeOfARangeOfTheFileComesFirst)
{
    TempDir temp;
    // 40 records of 12 bytes after a 0x10-byte header: a number, a name, a kind.
    std::string bytes(0x10, '\xEE');
    for (int i = 0; i < 40; ++i) {
        std::string record = "N" + std::to_string(1000 + i * 7) + "\x01";
        record.resize(11, '\0');
        record.push_back(static_cast<char>(i % 3));
        bytes += record;
    }
    WriteFile(temp.Path() + "data.bin", bytes);
    CliResult r = RunCli({"strides", temp.Path() + "data.bin", "10", "1E0"}, "/nonexistent", [] { return std::string(); });
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')).substr(0, 2), "C\t");  // 12 bytes, in hexadecimal
    EXPECT_NE(r.out.find("\t40\n"), std::string::npos) << r.out;
    // Ranges that are not in the file, or not numbers, are refused by name.
    r = RunCli({"strides", temp.Path() + "data.bin", "10", "1000"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("past the end of the file"), std::string::npos);
    r = RunCli({"strides", temp.Path() + "data.bin", "zz", "20"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("OFFSET is hexadecimal: zz"), std::string::npos);
    r = RunCli({"strides", temp.Path() + "missing.bin", "0", "20"}, "/nonexistent", [] { return std::string(); });
    EXPECT_EQ(r.status, 1);
}

}  // namespace zok2::test
