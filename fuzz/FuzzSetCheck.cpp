// The check of a definition set, on any row-name and column files: it never
// fails, and each problem names a file of the set, a line inside it, and a
// column the reader itself makes of that file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "definitions/ColumnParser.h"
#include "definitions/DefinitionText.h"
#include "sets/SetCheck.h"

namespace {

std::size_t LineCount(const std::string& text)
{
    std::size_t lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zok2;
    static const std::string folder = fuzz::ProcessFolder("setcheck");
    const std::vector<std::string> parts = fuzz::Parts(std::string(reinterpret_cast<const char*>(data), size), 4);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string files[] = {"a.idn", "a.ini", "b.ini"};
    for (int i = 0; i < 3; ++i) fuzz::Write(folder + files[i], parts[static_cast<std::size_t>(i)]);
    sets::SetCheckInput input;
    input.folder = folder;
    input.fileSize = static_cast<std::int64_t>(parts[3].size());
    input.addressCorrection = parts[3].empty() ? 0 : static_cast<unsigned char>(parts[3][0]);
    input.toSjis = [](const std::string& name) { return std::optional<std::string>(name); };
    const std::vector<sets::SetProblem> problems = sets::CheckSet(input);

    DefinitionTables tables;
    tables.definitionNames = {"a"};
    tables.lists.push_back(RowLabelsOf(parts[0]));
    tables.addressCorrection = input.addressCorrection;
    const Section columns = ParseColumnFile(parts[1], 0, tables);
    for (const sets::SetProblem& problem : problems) {
        int file = -1;
        for (int i = 0; i < 3; ++i) file = problem.file == files[i] ? i : file;
        if (file < 0) std::abort();  // a file the set does not hold
        if (problem.line < 0 || static_cast<std::size_t>(problem.line) > LineCount(parts[static_cast<std::size_t>(file)])) std::abort();
        if (problem.column >= 0 && (file != 1 || static_cast<std::size_t>(problem.column) >= columns.size())) std::abort();
        if (sets::DescribeProblem(problem, [](const std::string& s) { return s; }).empty()) std::abort();
    }
    return 0;
}
