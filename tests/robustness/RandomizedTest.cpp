// Randomized checks with fixed seeds: malformed definitions and data never break
// the loader, and any sequence of edits, undos, redos and saves keeps the file
// and the modified flag truthful.
#include <random>

#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

std::string RandomBytes(std::mt19937& rng, std::size_t n)
{
    std::string out(n, '\0');
    for (auto& c : out) c = static_cast<char>(rng());
    return out;
}

std::string RandomField(std::mt19937& rng)
{
    static const char* const pieces[] = {"", "0", "1", "2", "4", "7", "-3", ".3", ".9", ".-1", ".1", "10", "FF",
                                          "7FFFFFFF", "1|2", "|", ".0F", "0 A|1 B", "x.idn", "a.idn", "\\n", "\x83\x7C"};
    return pieces[rng() % (sizeof pieces / sizeof pieces[0])];
}

// Every container lines up and every row has one value per column.
void ExpectConsistent(const CZOKDoc& doc)
{
    ASSERT_EQ(doc.definitionNames.size(), doc.lists.size());
    ASSERT_EQ(doc.sections.size(), doc.lists.size());
    ASSERT_EQ(doc.values.size(), doc.lists.size());
    for (std::size_t i = 0; i < doc.values.size(); ++i) {
        ASSERT_EQ(doc.values[i].Columns(), doc.sections[i].size());
    }
    for (const auto& [section, record] : doc.compressionMap) {
        ASSERT_LT(static_cast<std::size_t>(section), doc.sections.size());
        ASSERT_LT(static_cast<std::size_t>(record), doc.compressionRecords.size());
    }
}

}  // namespace

TEST_F(DocTest, RandomDefinitionsAndDataNeverBreakTheOpen)
{
    std::mt19937 rng(2026);
    for (int round = 0; round < 150; ++round) {
        Def("a.idn", "L0\r\nL1\r\nL2\r\n");
        std::string ini;
        const int lines = 1 + static_cast<int>(rng() % 5);
        for (int l = 0; l < lines; ++l) {
            if (rng() % 4 == 0) {
                ini += "COMPRESS_INFO," + RandomField(rng) + ",x," + RandomField(rng) + "|" + RandomField(rng) + "|" +
                       std::to_string(rng() % 5) + "," + RandomField(rng) + "|\r\n";
                continue;
            }
            ini += RandomField(rng).empty() ? "0" : "1" + RandomField(rng);
            for (int f = 2; f <= 10; ++f) ini += "," + (f == 2 ? std::string("C") : RandomField(rng));
            ini += "\r\n";
        }
        Def("a.ini", ini);
        ASSERT_TRUE(Open(Binary(RandomBytes(rng, rng() % 300)))) << ini;
        ExpectConsistent(*doc);
        FillSectionGrid(*doc, view.grid, 0, 1, 1);
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 6; ++c) {
                doc->DisplayText(0, c, r);
                doc->StoreCellText(0, c, r, RandomField(rng));
            }
        }
        ExpectConsistent(*doc);
    }
}

TEST_F(DocTest, RandomBlocksNeverHangOrReadOutOfBounds)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string file = RandomBytes(rng, 64 + rng() % 400);
        file[0x10] = static_cast<char>(0x80 + rng() % 3);
        Def("a.idn", "B0\r\nB1\r\nB2\r\n");
        Def("a.ini", "COMPRESS_INFO,1,m,10|20|" + std::to_string(rng() % 6) + ",30|\r\n0,V," +
                         std::to_string(1 + rng() % 4) + "\r\n1,W,.3\r\n" + std::to_string(rng() % 6) + ",X,1\r\n");
        ASSERT_TRUE(Open(Binary(file)));
        ExpectConsistent(*doc);
        ASSERT_EQ(doc->RowLabels(0).size(), doc->values[0].Rows());
    }
}

namespace {

class HistoryTest : public DocTest {
protected:
    // Two sections over one file: bytes, a word, masks sharing a byte, bits and packed bits.
    void SetUp() override
    {
        DocTest::SetUp();
        Def("a.idn", "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n");
        // Bytes shared through a bit over a byte, masks under a word, a stride below the size.
        Def("a.ini", "0,B,1,8,,16\r\n1,W,2,8,5\r\n3,Lo,1,8,,16,.0F\r\n3,Hi,1,8,,16,.F0\r\n4,F,.5,8\r\n"
                     "5,R,1,8,,,20|60\r\n0,B0,.0,8\r\n3,Wd,2,8,,16\r\n1,S,2,1,,16\r\n");
        Def("b.idn", "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n");
        Def("b.ini", "40,P,.2,.3\r\n48,Q,1,1\r\n");
        std::mt19937 rng(99);
        path = Binary(RandomBytes(rng, 0x60));
        ASSERT_TRUE(Open(path));
        FillSectionGrid(*doc, view.grid, 0, 1, 1);
        editor = std::make_unique<GridEditor>(*doc, view.grid, clipboard);
        editor->SetCurrentSection(0);
        editor->showSection = [this](int section, int column, int row) {
            FillSectionGrid(*doc, view.grid, section, column, row);
        };
    }

    // The values a fresh open of the file on disk gives.
    std::vector<ValueTable> OnDisk()
    {
        CZOKDoc other;
        EXPECT_TRUE(other.LoadDocument(path));
        return other.values;
    }

    std::string path;
    RecordingClipboard clipboard;
    std::unique_ptr<GridEditor> editor;
};

}  // namespace

TEST_F(HistoryTest, AnySequenceOfEditsUndosRedosAndSavesKeepsFileAndFlagTruthful)
{
    std::mt19937 rng(4242);
    static const char* const inputs[] = {"0", "1", "7", "-1", "0x3C", "255", "0x1234", "99", "0x80"};
    for (int step = 0; step < 3000; ++step) {
        const int section = editor->CurrentSection();
        const int rows = view.grid.RowCount() - 1, columns = view.grid.ColumnCount() - 1;
        const int row = 1 + static_cast<int>(rng() % rows), column = 1 + static_cast<int>(rng() % columns);
        switch (rng() % 11) {
        case 0:
        case 1:
            view.grid.SetCurrentRow(row);
            view.grid.SetCurrentColumn(column);
            editor->CommitCellText(inputs[rng() % 9]);
            break;
        case 2: {
            view.grid.SetCurrentRow(row);
            view.grid.SetCurrentColumn(column);
            std::string text;
            for (int r = 0; r < 2; ++r) text += std::string(inputs[rng() % 9]) + "\t" + inputs[rng() % 9] + "\r\n";
            clipboard.SetText(text);
            editor->Paste();
            break;
        }
        case 3:
            view.grid.SetCurrentRow(row);
            view.grid.SetCurrentColumn(column);
            view.grid.SetSelEndRow(std::min(rows, row + 1));
            editor->Delete();
            break;
        case 4:
        case 8:
        case 9:
            editor->Undo();
            break;
        case 5:
        case 10:
            editor->Redo();
            break;
        case 6:
            if (rng() % 4 == 0) {
                // Save As to the other of two files, which then is the document's file.
                const std::string other = temp.Path() + (path == temp.Path() + "copy.bin" ? "data.bin" : "copy.bin");
                ASSERT_TRUE(doc->DoSaveAs(other));
                path = other;
            } else {
                ASSERT_TRUE(doc->DoFileSave());
            }
            ASSERT_FALSE(doc->IsModified());
            break;
        case 7: {
            const int other = section == 0 ? 1 : 0;
            FillSectionGrid(*doc, view.grid, other, 1, 1);
            editor->SetCurrentSection(other);
            break;
        }
        }
        // Whenever the document says it is unmodified, the file holds exactly what memory holds.
        if (!doc->IsModified()) {
            ASSERT_EQ(OnDisk(), doc->values) << "step " << step;
        }
    }
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(OnDisk(), doc->values);
}

}  // namespace zok2::test
