// libFuzzer target: a reference file from the input (the sample's bytes with
// the input laid over them from an offset, or the input alone) compared with
// the bundled sample, in the core and through `zok2-cli diff`. Every cell listed
// must differ; the sample as its own reference differs nowhere.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "CliCommands.h"
#include "FuzzSupport.h"
#include "compare/Reference.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > 8192) return 0;
    const std::string& root = zok2::fuzz::SampleRoot();
    static const std::string sample = [&] {
        std::ifstream in(root + "sample.dat", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    static zok2::CZOKDoc* doc = nullptr;
    if (!doc) {
        zok2::SetProgramPath(root + "zok2");
        doc = new zok2::CZOKDoc;
        if (!doc->OnOpenDocument(root + "sample.dat")) std::abort();
        const std::unique_ptr<zok2::CZOKDoc> itself = zok2::compare::OpenReference(*doc, root + "sample.dat");
        if (!itself || !zok2::compare::DifferingCells(*doc, *itself).empty()) std::abort();
    }
    // The first two bytes place the rest: over the sample at that offset (cut
    // there when the top bit says so), or as the whole file.
    const std::size_t at = (static_cast<std::size_t>(data[0]) << 8 | data[1]) & 0x7FFF;
    const std::string input(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string reference;
    if (at == 0x7FFF) {
        reference = input;
    } else {
        reference = sample.substr(0, std::min(at, sample.size()));
        reference += input;
        if (!(data[0] & 0x80) && reference.size() < sample.size()) reference += sample.substr(reference.size());
    }
    const std::string path = root + "reference.dat";
    zok2::fuzz::Write(path, reference);
    if (const std::unique_ptr<zok2::CZOKDoc> other = zok2::compare::OpenReference(*doc, path)) {
        for (const zok2::search::SearchHit& cell : zok2::compare::DifferingCells(*doc, *other)) {
            if (!zok2::compare::CellDiffers(*doc, *other, cell.section, cell.row, cell.column)) std::abort();
        }
    }
    const zok2::CliResult cli = zok2::RunCli({"--root", root, "diff", path, root + "sample.dat"}, root, [] { return std::string(); });
    if (cli.status != 0 && cli.status != 1) std::abort();
    return 0;
}
