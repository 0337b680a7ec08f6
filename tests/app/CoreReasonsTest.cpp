// The core's reasons reach the window in its language: every reason the patch
// and table readers can give has the window's words, and those with a line or
// figures keep them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "app/CoreReasons.h"
#include "app/WindowTestSupport.h"

namespace zok2::test {

TEST(CoreReasons, EveryReasonTheReadersGiveHasTheWindowsWords)
{
    // The reasons as the sources write them: Fail(reason, "..."), fail(line, "..."),
    // and the TSV reader's LineText(...) + ": ...".
    const std::regex literal(R"re((?:Fail\(reason, |fail\([a-z]+, |LineText\([a-z]+\) \+ ": )"([A-Za-z](?:[^"\\]|\\.)*)")re");
    std::size_t seen = 0;
    for (const char* file : {"src/patch/Patches.cpp", "src/patch/PatchFile.cpp", "src/exchange/TableText.cpp"}) {
        std::ifstream in(std::string(ZOK2_SOURCE_DIR) + "/" + file);
        const std::string source((std::istreambuf_iterator<char>(in)), {});
        ASSERT_FALSE(source.empty()) << file;
        for (std::sregex_iterator it(source.begin(), source.end(), literal); it != std::sregex_iterator(); ++it) {
            const std::string text = std::regex_replace((*it)[1].str(), std::regex(R"re(\\")re"), "\"");
            EXPECT_TRUE(IsKnownCoreReason(text)) << file << ": " << text;
            ++seen;
        }
    }
    EXPECT_GT(seen, 35u);
    // In Japanese (the tests' language), with lines and figures kept.
    EXPECT_EQ(CoreReasonText("the BPS patch was made for another file (its size differs)"), "この BPS パッチは別のファイル用です（大きさが違います）");
    EXPECT_EQ(CoreReasonText("line 3: text follows a quoted field's closing quote"), "3 行目: 引用符で囲まれた項目の閉じる引用符の後に文字があります");
    EXPECT_EQ(CoreReasonText("line 12 is not UTF-8 (save the table as UTF-8; Shift-JIS is not read)"),
              "12 行目が UTF-8 ではありません（表は UTF-8 で保存してください。Shift-JIS は読めません）");
    EXPECT_EQ(CoreReasonText("not enough free space: the result needs 4294967295 bytes, 1024 are free"),
              "空き容量が足りません（結果に 4294967295 バイト必要で、空きは 1024 バイトです）");
    EXPECT_EQ(CoreReasonText("the file name is not valid UTF-8"), "ファイル名が正しい UTF-8 ではありません");
    EXPECT_EQ(CoreReasonText("Permission denied"), "Permission denied");  // the system's own words
}

TEST_F(WindowTest, ARefusedPatchIsExplainedInTheWindowsLanguage)
{
    Start(sample());
    WriteFile(root() + "cut.ips", "PATCHEO");
    app->chooseAppliedPatch = [&] { return root() + "cut.ips"; };
    messages.shown.clear();
    frame().Run(command::kApplyPatch);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("(IPS パッチが途中で切れています（\"EOF\" の前で終わっています）)"), std::string::npos) << messages.shown[0];
}

}  // namespace zok2::test
