// Patches and tables as text from the real window: a patch from the reference to
// the saved file, a patch applied into a copy opened with the file as its
// reference, the current table exported and imported back as one undoable edit.
#include <QAction>

#include "app/WindowTestSupport.h"
#include "patch/Patches.h"

namespace zok2::test {

TEST_F(WindowTest, APatchIsMadeFromTheReferenceToTheSavedFileAndAppliedIntoACopy)
{
    const std::string reference = root() + "original.orig";
    WriteFile(reference, original);
    Start(sample());
    ASSERT_TRUE(app->OpenReference(reference));
    GoTo(1, 1);
    Type("77");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    // Made from the file as saved: the save comes first.
    const std::string patchPath = root() + "change.bps";
    bool ipsOffered = false;
    app->choosePatchFormat = [&](bool ips, const std::string&) {
        ipsOffered = ips;
        return std::string("bps");
    };
    app->choosePatchPath = [&](const std::string&) { return patchPath; };
    messages.answers = {IMessageBox::Answer::Yes};
    frame().Run(command::kCreatePatch);
    EXPECT_TRUE(ipsOffered);
    EXPECT_FALSE(doc().IsModified());
    const std::string saved = ReadFile(sample());
    std::string patchBytes = ReadFile(patchPath), result;
    ASSERT_TRUE(patch::ApplyBps(patchBytes, original, &result));
    EXPECT_TRUE(result == saved);

    // Applied to the original, into a copy; opened with the original as its reference.
    WriteFile(root() + "clean.dat", original);
    ASSERT_TRUE(app->OpenDocumentFile(root() + "clean.dat"));
    app->chooseAppliedPatch = [&] { return patchPath; };
    app->chooseAppliedCopy = [&] { return root() + "patched.dat"; };
    messages.answers = {IMessageBox::Answer::Yes};  // open the result
    frame().Run(command::kApplyPatch);
    EXPECT_TRUE(ReadFile(root() + "patched.dat") == saved);
    EXPECT_TRUE(ReadFile(root() + "clean.dat") == original);
    EXPECT_EQ(doc().GetPathName(), root() + "patched.dat");
    ASSERT_NE(app->Reference(), nullptr);
    EXPECT_EQ(app->ReferencePath(), root() + "clean.dat");
    EXPECT_TRUE(grid().differentCell(1, 1));
    // Over the open file itself only after a question: No writes nothing. (An IPS
    // patch applies to any file; the BPS one would be refused as made for another.)
    std::string ips;
    ASSERT_TRUE(patch::CreateIps(original, saved, &ips));
    WriteFile(root() + "change.ips", ips);
    app->chooseAppliedPatch = [&] { return root() + "change.ips"; };
    app->chooseAppliedCopy = [&] { return root() + "patched.dat"; };
    messages.answers = {IMessageBox::Answer::No};
    const std::size_t asked = messages.asked.size();
    frame().Run(command::kApplyPatch);
    EXPECT_EQ(messages.asked.size(), asked + 1);
    EXPECT_FALSE(std::filesystem::exists(root() + "patched.dat.bak"));
}

TEST_F(WindowTest, TheCurrentTableIsExportedAndImportedBackAsOneUndoableEdit)
{
    Start(sample());
    const std::string folder = root() + "tables";
    std::filesystem::create_directory(folder);
    app->chooseExportFolder = [&] { return folder; };
    frame().Run(command::kExportTable);
    const std::string tsv = ReadFile(folder + "/items.tsv");
    ASSERT_EQ(tsv.substr(0, tsv.find('\n')), "\t値段\t種類\t重さ\t効果");
    EXPECT_FALSE(std::filesystem::exists(folder + "/monsters.tsv"));
    // Two prices changed in the file, read back in.
    std::string edited = tsv;
    edited.replace(edited.find("\t8\t"), 3, "\t11\t");
    edited.replace(edited.find("\t10\t"), 4, "\t12\t");
    WriteFile(folder + "/items.tsv", edited);
    app->chooseImportFiles = [&] { return std::vector<std::string>{folder + "/items.tsv"}; };
    // Another program took the focus meanwhile (a file dialog, a message box).
    view().Description().setFocus();
    frame().Run(command::kImport);
    EXPECT_EQ(Shown(1, 1), "11");
    EXPECT_EQ(Shown(2, 1), "12");
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(doc().history.UndoLog().size(), 1u);
    // The message names the table and what changed; the description is the
    // current column's again; the grid has the focus, so Ctrl+Z takes it back.
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back(), "表を読み込みました。\n表 items: 2 個のセルを変更しました");
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "店での買値（ゴールド）\n売値はこの半分");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(1, 1), "8");
    EXPECT_EQ(Shown(2, 1), "10");
    EXPECT_FALSE(doc().IsModified());
}

}  // namespace zok2::test

namespace zok2::test {

// Texts that are no values of their columns, or rows the table lacks: one
// message names each, and nothing of any file is stored.
TEST_F(WindowTest, AnImportWithTextsThatAreNoValuesStoresNothingAndNamesThem)
{
    Start(sample());
    const std::string folder = root() + "tables";
    std::filesystem::create_directory(folder);
    app->chooseExportFolder = [&] { return folder; };
    frame().Run(command::kExportAll);
    std::string items = ReadFile(folder + "/items.tsv");
    items.replace(items.find("\t8\t"), 3, "\t１５\t");
    items.replace(items.find("\t0X01\t30"), 8, "\t0X01\t1,200");
    WriteFile(folder + "/items.tsv", items);
    std::string monsters = ReadFile(folder + "/monsters.tsv");
    monsters.replace(monsters.find("\t850\t"), 5, "\t851\t");  // a good change in another file
    WriteFile(folder + "/monsters.tsv", monsters);
    app->chooseImportFiles = [&] { return std::vector<std::string>{folder + "/monsters.tsv", folder + "/items.tsv"}; };
    messages.shown.clear();
    frame().Run(command::kImport);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "表を読み込めません。何も変更していません。\n\n" + folder +
                                     "/items.tsv:\n行「00 やくそう」・列「値段」の「１５」: 全角の数字です（半角で書いてください）\n"
                                     "行「00 やくそう」・列「効果」の「1,200」: 桁区切りのある数値です（区切らずに書いてください）");
    EXPECT_FALSE(doc().IsModified());
    EXPECT_TRUE(doc().history.UndoLog().empty());
    EXPECT_EQ(Shown(1, 1), "8");
}

}  // namespace zok2::test
