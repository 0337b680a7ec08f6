// その他 ▸ 定義の検査: the set in use checked, each problem a line in the
// window's words, and a double click going to its table and column.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>

#include "app/SetCheckList.h"
#include "app/WindowTestSupport.h"
#include "qt/SjisCodec.h"

namespace zok2::test {

class SetCheckWindowTest : public WindowTest {
protected:
    void WriteItems(const std::string& weightLimit)
    {
        WriteFile(root() + "Settings/sample/items.ini",
                  Utf8ToSjis("0100,値段,4,8,8,10,,,店での買値\r\n"
                             "0104,種類,1,8,8,0,,,,0 武器|1 防具|2 道具|3 貴重品\r\n"
                             "// 重さの制限\r\n"
                             "0105,重さ,1,8,8,16," + weightLimit + ",,1 から 99 まで\r\n"
                             "0106,効果,2,8,8\r\n"));
    }
};

TEST_F(SetCheckWindowTest, ProblemsAreListedInTheWindowsWordsAndLeadToTheirColumn)
{
    WriteItems("63|1");
    Start(sample());
    frame().Run(command::kCheckSet);
    SetCheckList& check = frame().SetCheck();
    EXPECT_TRUE(check.isVisible());
    ASSERT_EQ(check.Items().count(), 1);
    EXPECT_EQ(check.Items().item(0)->text().toStdString(),
              "エラー  items.ini  4 行目  列「重さ」: 範囲 63|1 の最小値が最大値より大きくなっています");
    EXPECT_NE(check.Summary().text().toStdString().find("エラー 1 件、警告 0 件"), std::string::npos) << check.Summary().text().toStdString();
    // A double click selects the column the line describes, in its table.
    view().SwitchTab(1);
    ASSERT_NE(view().CurrentSection(), 0);
    emit check.Items().itemActivated(check.Items().item(0));
    EXPECT_EQ(view().CurrentSection(), 0);
    EXPECT_EQ(grid().CurrentColumn(), 3);
    EXPECT_EQ(grid().SelEndColumn(), 3);
    EXPECT_EQ(grid().SelEndRow(), static_cast<int>(doc().RowLabels(0).size()));

    // Mended on disk: the next check finds nothing.
    WriteItems("1|63");
    frame().Run(command::kCheckSet);
    EXPECT_EQ(check.Items().count(), 0);
    EXPECT_NE(check.Summary().text().toStdString().find("問題はありません"), std::string::npos);
}

TEST_F(SetCheckWindowTest, WithoutAFileTheProfilesSetIsCheckedAndEveryKindHasWords)
{
    WriteItems("1|63");
    WriteFile(root() + "Settings/sample/extra.ini", "0,A,1\r\n");
    Start();
    frame().Run(command::kCheckSet);
    ASSERT_EQ(frame().SetCheck().Items().count(), 1);
    EXPECT_EQ(frame().SetCheck().Items().item(0)->text().toStdString(), "警告  extra.ini  対になる行名ファイル（.idn）がないため読まれません");
    // Every kind of problem is said in words of its own.
    for (int kind = 0; kind <= static_cast<int>(sets::ProblemKind::ChecksumRuleUnusable); ++kind) {
        sets::SetProblem problem;
        problem.kind = static_cast<sets::ProblemKind>(kind);
        problem.file = "a.ini";
        EXPECT_GT(SetProblemText(problem).size(), QStringLiteral("警告  a.ini  ").size() + 4) << kind;
    }
}

}  // namespace zok2::test
