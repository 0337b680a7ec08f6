// libFuzzer target: a column file, a binary, a paste text, a list of edit
// steps and checksum rules from one input (parts split at NUL bytes), opened as
// a definition set of two sections with the window's checksum table, then every
// cell displayed, the steps run (edit, paste, delete, undo, redo, save, Save As)
// and the document saved. The checksum table must say "matches" exactly where
// its stored and computed values agree, and keep that through the saves.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "document/CZOKDoc.h"
#include "document/HeadlessView.h"
#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "framework/RecordingServices.h"

namespace {

const std::string& Root()
{
    static const std::string root = [] {
        const std::string r = zok2::fuzz::ProcessFolder("open");
        std::filesystem::create_directories(r + "Settings/f");
        zok2::fuzz::Write(r + "zok2.ini", "[Setting]\r\nmode=f\r\n[File Address Correction]\r\nbin=3\r\n");
        zok2::fuzz::Write(r + "Settings/f/a.idn", "r0\r\nr1 // x\r\n01 one\r\n02 two\r\nr4\r\nr5\r\n");
        zok2::fuzz::Write(r + "Settings/f/b.idn", "x\r\ny\r\n");
        zok2::fuzz::Write(r + "Settings/f/b.ini", "0,B,1,1,,16\r\n0,Bit,.1,1\r\n1,W,2,1\r\n");
        return r;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> parts = zok2::fuzz::Parts(std::string(reinterpret_cast<const char*>(data), size), 5);
    const std::string& root = Root();
    zok2::SetProgramPath(root + "zok2");
    zok2::fuzz::Write(root + "Settings/f/a.ini", parts[0]);
    zok2::fuzz::Write(root + "data.bin", parts[1]);
    std::filesystem::remove(root + "Settings/f/checksums.txt");
    if (!parts[4].empty()) zok2::fuzz::Write(root + "Settings/f/checksums.txt", parts[4]);

    zok2::CZOKDoc doc;
    doc.checksumTable = zok2::CZOKDoc::ChecksumTableTexts{"sums", "stored", "computed", "state", "ok", "differs", "unknown"};
    const auto checkSums = [&doc] {
        const int sums = doc.ChecksumSection();
        if (sums < 0) return;
        if (doc.RowLabels(sums).size() != doc.ChecksumRules().rules.rules.size()) std::abort();
        for (int r = 0; r < static_cast<int>(doc.RowLabels(sums).size()); ++r) {
            const zok2::checksum::Outcome& o = doc.ChecksumOutcomes()[static_cast<std::size_t>(r)];
            const std::string state = doc.DisplayText(sums, 2, r);
            if (state != (!o.computable ? "unknown" : o.matches ? "ok" : "differs")) std::abort();
            if (o.computable && (doc.DisplayText(sums, 1, r) == "--" || doc.IsEditable(sums, 0, r) || doc.IsEditable(sums, 1, r))) std::abort();
        }
    };
    zok2::HeadlessView view(6, 3);
    doc.AddView(&view);
    if (doc.OnOpenDocument(root + "data.bin")) {
        checkSums();
        zok2::RecordingClipboard clipboard;
        zok2::GridEditor editor(doc, view.grid, clipboard);
        editor.showSection = [&](int section, int column, int row) { zok2::FillSectionGrid(doc, view.grid, section, column, row); };
        const std::vector<int> tabs = doc.TabSections();
        if (!tabs.empty()) {
            zok2::FillSectionGrid(doc, view.grid, tabs[0], 1, 1);
            editor.SetCurrentSection(tabs[0]);
        }
        for (std::size_t i = 0; i + 1 < parts[3].size() && i < 64; i += 2) {
            const auto op = static_cast<unsigned char>(parts[3][i]);
            const auto at = static_cast<unsigned char>(parts[3][i + 1]);
            view.grid.SetCurrentRow(1 + at % 8);
            view.grid.SetCurrentColumn(1 + (at / 8) % 4);
            view.grid.SetSelEndRow(1 + (at / 32) % 8);
            switch (op % 10) {
            case 0: editor.CommitCellText(parts[2].substr(0, at % 12)); break;
            case 1: clipboard.SetText(parts[2]); editor.Paste(); break;
            case 2: editor.Delete(); break;
            case 3: editor.Cut(); break;
            case 4: editor.Copy(); break;
            case 5: case 6: editor.Undo(); break;
            case 7: editor.Redo(); break;
            case 8: doc.OnSaveDocument(root + "data.bin"); checkSums(); break;
            case 9:
                if (!tabs.empty()) {
                    const int next = tabs[at % tabs.size()];
                    zok2::FillSectionGrid(doc, view.grid, next, 1, 1);
                    editor.SetCurrentSection(next);
                }
                break;
            }
        }
        doc.OnSaveDocument(root + "data.bin");
        checkSums();
    }
    doc.RemoveView(&view);
    return 0;
}
