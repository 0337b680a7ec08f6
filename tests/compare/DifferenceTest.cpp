// The cells that differ from a reference whose compressed table reads with
// another number of rows than the file's: the rows one side lacks differ, and
// their labels come from the side that has them.
#include <gtest/gtest.h>

#include <filesystem>

#include "compare/Reference.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "support/TestFixture.h"

namespace zok2::test {

TEST(ReferenceRows, ACompressedTableReadLongerOnEitherSideDiffersInTheRowsTheOtherLacks)
{
    TempDir temp;
    const std::string examples = std::string(ZOK2_SOURCE_DIR) + "/examples/";
    std::filesystem::copy(examples + "Settings", temp.Path() + "Settings", std::filesystem::copy_options::recursive);
    std::filesystem::copy(examples + "zok2.ini", temp.Path() + "zok2.ini");
    const std::string original = ReadFile(examples + "sample.dat");
    std::string longer = original;
    longer[0x500] = 0x7B;  // a block length inside the compressed maps
    longer[0x501] = 0x00;
    SetProgramPath(temp.Path() + "zok2");
    for (const bool referenceLonger : {true, false}) {
        SCOPED_TRACE(referenceLonger ? "the reference is longer" : "the file is longer");
        WriteFile(temp.Path() + "file.dat", referenceLonger ? original : longer);
        WriteFile(temp.Path() + "reference.dat", referenceLonger ? longer : original);
        CZOKDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(temp.Path() + "file.dat"));
        const std::unique_ptr<CZOKDoc> reference = compare::OpenReference(doc, temp.Path() + "reference.dat");
        ASSERT_NE(reference, nullptr);
        int maps = -1;
        for (int s : doc.TabSections()) {
            if (doc.SectionName(s) == "maps") maps = s;
        }
        ASSERT_GE(maps, 0);
        const CZOKDoc& shorter = referenceLonger ? doc : *reference;
        const CZOKDoc& taller = referenceLonger ? *reference : doc;
        const std::size_t shortRows = shorter.RowLabels(maps).size(), tallRows = taller.RowLabels(maps).size();
        ASSERT_LT(shortRows, tallRows);
        const std::vector<search::SearchHit> cells = compare::DifferingCells(doc, *reference, maps);
        ASSERT_FALSE(cells.empty());
        // Every cell of the rows only one side has is listed, each differing.
        std::size_t beyond = 0;
        for (const search::SearchHit& cell : cells) {
            EXPECT_TRUE(compare::CellDiffers(doc, *reference, cell.section, cell.row, cell.column));
            if (static_cast<std::size_t>(cell.row) > shortRows) ++beyond;
        }
        EXPECT_EQ(beyond, (tallRows - shortRows) * doc.sections[static_cast<std::size_t>(maps)].size());
        // Their labels are the taller side's; past both there is none.
        EXPECT_EQ(compare::RowLabelOf(doc, *reference, maps, static_cast<int>(tallRows)), taller.RowLabels(maps)[tallRows - 1]);
        EXPECT_EQ(compare::RowLabelOf(doc, *reference, maps, 1), doc.RowLabels(maps)[0]);
        EXPECT_EQ(compare::RowLabelOf(doc, *reference, maps, static_cast<int>(tallRows) + 1), "");
    }
}

}  // namespace zok2::test
