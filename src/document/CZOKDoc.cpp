#include "document/CZOKDoc.h"

#include "document/Messages.h"
#include "document/ZOKView.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "text/SjisText.h"

namespace zok2 {

CZOKDoc::CZOKDoc(Services services) : CDocument(services) {}

IniProfile CZOKDoc::Profile() const { return IniProfile(GetAppPath(PathPart::ProfilePath)); }

IZOKView* CZOKDoc::FirstView() const
{
    for (CView* view : Views()) {
        if (auto* zokView = dynamic_cast<IZOKView*>(view)) return zokView;
    }
    return nullptr;
}

CMSFlexGrid* CZOKDoc::ViewGrid() const
{
    IZOKView* view = FirstView();
    return view ? view->Grid() : nullptr;
}

std::string CZOKDoc::DefinitionFilePath(const std::string& folder, const std::string& name,
                                       const std::string& extension) const
{
    // Sets written on Windows may spell the extension in capitals.
    std::string fileName = FileNames().ToFileSystem(name) + extension;
    return folder + fs::ResolveNameNoCase(folder, fileName);
}

bool CZOKDoc::OnOpenDocument(const std::string& path)
{
    WaitCursorScope wait(WaitCursor());
    if (KeyState().IsControlDown() && !SaveModified()) return false;
    if (!LoadDocument(path)) {
        // The views still show the previous tables; tell them the containers are gone.
        UpdateAllViews(nullptr, kHintOpenFailed);
        return false;
    }
    UpdateAllViews(nullptr, 0);
    return CDocument::OnOpenDocument(path);
}

bool CZOKDoc::LoadDocument(const std::string& path)
{
    // Title (the name with extension) and path name name the new file from here on, even if the open fails.
    SetPathName(path);

    std::string mode = modeOverride ? *modeOverride : Profile().GetString("Setting", "mode");
    definitionFolder = GetAppPath(PathPart::ProgramFolder) + "Settings/" + FileNames().ToFileSystem(mode) + "/";

    ClearContents();
    if (!FindDefinitionNames(definitionFolder)) {
        MessageBox().Show(messages::kSettingsUnreadable);
        return false;
    }
    ReadRowNameFiles(definitionFolder);
    if (lists.empty() || lists.front().empty()) {
        MessageBox().Show(messages::kSettingsUnreadable);
        return false;
    }
    ParseColumnFiles(definitionFolder);
    if (sections.empty()) {
        MessageBox().Show(messages::kSettingsUnreadable);
        return false;
    }
    if (!LoadBinary(path)) {
        MessageBox().Show(messages::kCannotOpenFile);
        return false;
    }
    return true;
}

void CZOKDoc::ClearContents()
{
    lists.clear();
    definitionNames.clear();
    sections.clear();
    undoLog.clear();
    redoLog.clear();
    values.clear();
    compressionRecords.clear();
    compressionMap.clear();
    savedUndoDepth = 0;
    m_undoStates.clear();
    m_redoStates.clear();
    m_savedState = 0;
    m_takenState = 0;
    m_unsavedRegions.clear();
    m_columnFileSnapshots.clear();
}

std::int32_t CZOKDoc::GetFieldNumber(int field, int section, int column) const
{
    if (section < 0 || static_cast<std::size_t>(section) >= sections.size()) return 0;
    const Section& columns = sections[static_cast<std::size_t>(section)];
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return 0;
    if (field < 0 || field >= kColumnFieldCount) return 0;
    const std::string& text = columns[static_cast<std::size_t>(column)].fields[static_cast<std::size_t>(field)];
    switch (static_cast<ColumnField>(field)) {
    case ColumnField::address:
    case ColumnField::stride:
        return static_cast<std::int32_t>(text::ReadHex(text));
    case ColumnField::rowCount:
    case ColumnField::radix:
    case ColumnField::width:
    case ColumnField::listIndex:
        return text::ReadDec(text);
    default:
        return 0;
    }
}

void CZOKDoc::MarkModified()
{
    if (IsModified()) return;
    SetTitle(GetTitle() + " *");
    SetModifiedFlag(true);
}

// ---- change history ----

void CZOKDoc::AddRecordRegion(const std::string& record)
{
    EditRegion region;
    int* fields[] = {&region.section, &region.firstColumn, &region.lastColumn, &region.firstRow, &region.lastRow};
    std::size_t pos = 0;
    for (int* field : fields) {
        std::size_t comma = record.find(',', pos);
        if (comma == std::string::npos) return;
        *field = text::ReadDec(std::string_view(record).substr(pos, comma - pos));
        pos = comma + 1;
    }
    m_unsavedRegions.insert(region);
}

void CZOKDoc::RecordNewEdit(const std::string& record)
{
    undoLog.push_back(record);
    m_undoStates.push_back(m_nextState++);
    // What redo would bring back is no longer a state the history has seen.
    for (auto& state : m_redoStates) state = m_nextState++;
    AddRecordRegion(record);
}

void CZOKDoc::RecordUndoFromRedo(const std::string& record)
{
    undoLog.push_back(record);
    m_undoStates.push_back(m_takenState);
    AddRecordRegion(record);
}

void CZOKDoc::RecordRedoFromUndo(const std::string& record)
{
    redoLog.push_back(record);
    m_redoStates.push_back(m_takenState);
    AddRecordRegion(record);
}

std::string CZOKDoc::TakeLastUndo()
{
    if (undoLog.empty()) return std::string();
    std::string record = std::move(undoLog.back());
    undoLog.pop_back();
    m_takenState = m_undoStates.empty() ? 0 : m_undoStates.back();
    if (!m_undoStates.empty()) m_undoStates.pop_back();
    return record;
}

std::string CZOKDoc::TakeLastRedo()
{
    if (redoLog.empty()) return std::string();
    std::string record = std::move(redoLog.back());
    redoLog.pop_back();
    m_takenState = m_redoStates.empty() ? m_nextState++ : m_redoStates.back();
    if (!m_redoStates.empty()) m_redoStates.pop_back();
    return record;
}

void CZOKDoc::ClearRedoLog()
{
    redoLog.clear();
    m_redoStates.clear();
}

bool CZOKDoc::IsAtSavedState() const
{
    return static_cast<std::int32_t>(undoLog.size()) == savedUndoDepth && CurrentState() == m_savedState;
}

void CZOKDoc::UpdateModifiedFromHistory()
{
    if (!IsAtSavedState()) return;
    SetTitle(GetAppPath(PathPart::NameOnly, GetPathName()));
    SetModifiedFlag(false);
}

}  // namespace zok2
