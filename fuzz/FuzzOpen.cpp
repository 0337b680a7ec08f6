// libFuzzer target: a column file and a binary from one input (split at the
// first NUL byte), opened as a one-section definition set, then every cell
// displayed, edited, copied, pasted, undone and saved.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "document/ZOKView.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "framework/RecordingServices.h"
#include "grid/MemoryGrid.h"

namespace {

class FuzzView : public zok2::IZOKView {
public:
    void OnUpdate(zok2::CView*, long) override {}
    zok2::CMSFlexGrid* Grid() override { return &grid; }
    zok2::MemoryGrid grid;
};

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const std::string& Root()
{
    static const std::string root = [] {
        std::string r = std::filesystem::temp_directory_path().string() + "/zok2-fuzz-" + std::to_string(::getpid()) + "/";
        std::filesystem::create_directories(r + "Settings/f");
        Write(r + "zok2.ini", "[Setting]\r\nmode=f\r\n[File Address Correction]\r\nbin=3\r\n");
        Write(r + "Settings/f/a.idn", "r0\r\nr1 // x\r\n01 one\r\n02 two\r\n");
        Write(r + "Settings/f/b.idn", "x\r\n");
        return r;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string ini = input.substr(0, split);
    const std::string binary = split == std::string::npos ? std::string() : input.substr(split + 1);
    const std::string& root = Root();
    zok2::SetProgramPath(root + "zok2");
    Write(root + "Settings/f/a.ini", ini);
    Write(root + "data.bin", binary);

    zok2::CZOKDoc doc;
    FuzzView view;
    doc.AddView(&view);
    if (doc.OnOpenDocument(root + "data.bin")) {
        zok2::RecordingClipboard clipboard;
        zok2::GridEditor editor(doc, view.grid, clipboard);
        for (std::size_t s = 0; s < doc.sections.size(); ++s) {
            if (doc.sections[s].empty()) continue;
            zok2::FillSectionGrid(doc, view.grid, static_cast<int>(s), 1, 1);
            editor.SetCurrentSection(static_cast<int>(s));
            editor.SelectAll();
            editor.Copy();
            editor.Delete();
            view.grid.SetCurrentRow(1);
            view.grid.SetCurrentColumn(1);
            editor.Paste();
            editor.Undo();
            editor.Redo();
        }
        doc.OnSaveDocument(root + "data.bin");
    }
    doc.RemoveView(&view);
    return 0;
}
