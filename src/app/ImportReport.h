#pragma once
// The window's words for a table import: why a table's text was refused, each
// problem with its row, column and text, and what a successful import changed.
#include <string>

#include "exchange/TableImport.h"

namespace zok2 {

// One line for a problem; the file's texts are Shift-JIS.
std::string ImportProblemText(const exchange::ImportProblem& problem);
// Why the whole table was refused, or "".
std::string ImportRefusalText(const exchange::ImportRefusal& refusal);
// Every refusal and the named problems of one file, a line each, after its path.
std::string ImportFileProblems(const std::string& path, const exchange::TableImport& checked);
// One line for a table that was imported: its name, the cells changed, how rows were matched.
std::string ImportDoneText(const std::string& table, const exchange::TableImport& checked);

}  // namespace zok2
