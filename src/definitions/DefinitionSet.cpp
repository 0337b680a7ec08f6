// Discovery of the definition names of a set and reading their row-name files.
#include "definitions/DefinitionText.h"
#include "document/CZOKDoc.h"
#include "framework/FileSystem.h"
#include "text/LineReader.h"

namespace zok2 {

bool CZOKDoc::FindDefinitionNames(const std::string& folder)
{
    std::vector<std::string> files = fs::FindFilesWithExtension(folder, ".idn");
    for (const std::string& file : files) {
        // The file title: the name without its last extension.
        std::string title = file.substr(0, file.size() - 4);
        definitionNames.push_back(FileNames().ToSjis(title));
    }
    return !files.empty();
}

void CZOKDoc::ReadRowNameFiles(const std::string& folder)
{
    for (const std::string& name : definitionNames) {
        StringList labels;
        std::string content;
        if (fs::ReadFile(DefinitionFilePath(folder, name, ".idn"), content)) {
            for (std::string_view piece : text::LinePieces(content, text::kRowNameBuffer)) {
                labels.push_back(std::move(StripComment(piece).first));
            }
        }
        lists.push_back(std::move(labels));
    }
}

}  // namespace zok2
