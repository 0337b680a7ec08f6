#pragma once
// The single document: every definition of the active set, the values decoded
// from the opened binary, and the change history of the editor.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "definitions/ColumnDefinition.h"
#include "framework/Document.h"
#include "framework/IniProfile.h"

namespace zok2 {

class ByteSource;
class CMSFlexGrid;
class IZOKView;

using ValueRow = std::vector<std::uint32_t>;
using SectionValues = std::vector<ValueRow>;

// A rectangle of grid cells of one section (grid coordinates: 1 is the first
// data row / column definition).
struct EditRegion {
    int section = 0, firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
    auto operator<=>(const EditRegion&) const = default;
};

class CZOKDoc : public CDocument {
public:
    explicit CZOKDoc(Services services = {});

    // ---- members in the order every subsystem knows them ----
    std::vector<Section> sections;
    std::vector<std::string> definitionNames;  // Shift-JIS
    std::vector<StringList> lists;
    std::vector<StringList> compressionRecords;
    std::map<std::int32_t, std::int32_t> compressionMap;
    StringList undoLog;
    StringList redoLog;
    std::vector<SectionValues> values;
    std::string definitionFolder;  // file-system path, ends with the separator
    std::int32_t savedUndoDepth = 0;
    std::uint32_t addressCorrection = 0;

    // Uses this definition set instead of the profile's "mode" (command line).
    std::optional<std::string> modeOverride;

    // ---- opening ----
    bool OnOpenDocument(const std::string& path) override;
    bool LoadDocument(const std::string& path);
    void ClearContents();
    bool FindDefinitionNames(const std::string& folder);
    void ReadRowNameFiles(const std::string& folder);
    void ParseColumnFiles(const std::string& folder);
    void ParseCompressInfo(const std::string& parameters, int sectionIndex);
    bool LoadBinary(const std::string& path);
    void DecodeCompressedSection(const std::string& method, int section, ByteSource& file);
    std::int32_t GetFieldNumber(int field, int section, int column) const;

    // ---- values and display ----
    std::string GetEditText(int section, int column, int row) const;
    void RefreshCells(int section, int firstRow, int lastRow, int firstColumn, int lastColumn);
    void StoreCellText(int section, int column, int row, const std::string& text);
    // Stores a text recorded by the history: like StoreCellText, but a range
    // limit is not applied again, so the recorded value comes back exactly.
    void StoreRecordedText(int section, int column, int row, const std::string& text);
    // The text a cell shows: "--" without data, a list label, or the radix form.
    std::string DisplayText(int section, int column, int row) const;
    // The row labels a section is shown with (a decoded compressed section has its own list).
    const StringList& RowLabels(int section) const;
    // Whether row r of column c holds a value that exists in the value table.
    bool HasData(int section, int column, int row) const;
    bool IsCompressedSection(int section) const { return compressionMap.count(section) != 0; }
    bool HasSections() const { return !sections.empty(); }
    // Value -> label map of a column's value list.
    std::map<std::uint32_t, std::string> BuildValueListMap(int listIndex) const;
    // Every choice text of a value list (references resolved), in list order.
    StringList ResolveValueList(int listIndex) const;

    // ---- change history ----
    // A record of a new change made by the user (not a redo).
    void RecordNewEdit(const std::string& record);
    // The record that redo moves back to the undo log keeps its state.
    void RecordUndoFromRedo(const std::string& record);
    void RecordRedoFromUndo(const std::string& record);
    std::string TakeLastUndo();
    std::string TakeLastRedo();
    void ClearRedoLog();
    // True when the values are those of the last save (or open).
    bool IsAtSavedState() const;
    // Clears the modified flag and marker when the history is back at the saved state.
    void UpdateModifiedFromHistory();

    // ---- saving ----
    bool OnSaveDocument(const std::string& path) override;
    // Writes every region changed since the last save into the file at path.
    bool WriteEdits(const std::string& path);
    // Writes the column settings back into the column files; false when a file was kept or failed.
    bool SaveSettings();
    // The written form of a column definition (without line end); labelCount is
    // the number of row labels of its definition name.
    std::string WrittenColumnLine(const ColumnDefinition& d, std::size_t labelCount) const;
    bool CanSave() const { return IsModified(); }            // Save and Save As
    bool CanSaveSettings() const { return HasSections(); }   // "設定の保存"

    // Marks the document modified and adds the marker to the title.
    void MarkModified();

    IZOKView* FirstView() const;
    CMSFlexGrid* ViewGrid() const;
    IniProfile Profile() const;
    // Path of a definition file in folder (name in Shift-JIS, extension ".idn" or ".ini").
    std::string DefinitionFilePath(const std::string& folder, const std::string& name,
                                   const std::string& extension) const;

private:
    void StoreInput(int section, int column, int row, const std::string& input, bool applyRange);
    void AddRecordRegion(const std::string& record);
    std::uint64_t CurrentState() const { return m_undoStates.empty() ? 0 : m_undoStates.back(); }

    std::vector<std::uint64_t> m_undoStates;  // state reached by each undo-log entry
    std::vector<std::uint64_t> m_redoStates;  // state each redo-log entry leads to
    std::uint64_t m_takenState = 0;           // state of the entry last taken from a log
    std::uint64_t m_savedState = 0;
    std::uint64_t m_nextState = 1;
    std::set<EditRegion> m_unsavedRegions;
    // Column-file contents as read at the open (or last written), to notice edits made meanwhile.
    std::map<std::string, std::string> m_columnFileSnapshots;
};

}  // namespace zok2
