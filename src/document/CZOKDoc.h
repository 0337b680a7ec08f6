#pragma once
// The single document: every definition of the active set, the values decoded
// from the opened binary, and the change history. Its members are the drivers
// that read and write the files and call the rules of the folders below.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "binary/CellLayout.h"
#include "binary/SharedBytes.h"
#include "binary/ValueCodec.h"
#include "binary/ValueTable.h"
#include "checksum/ChecksumFile.h"
#include "definitions/DefinitionTables.h"
#include "document/EditHistory.h"
#include "framework/Document.h"
#include "framework/FileSystem.h"
#include "framework/IniProfile.h"
#include "grid/CMSFlexGrid.h"
#include "saving/BinaryWriter.h"

namespace zok2 {

class ByteSource;
class CMSFlexGrid;
class IZOKView;

class CZOKDoc : public CDocument, public DefinitionTables, public ICellTextSource {
public:
    explicit CZOKDoc(Services services = {});

    // sections, definitionNames, lists, compressionRecords, compressionMap and
    // addressCorrection come from DefinitionTables.
    EditHistory history;                 // undoLog, redoLog, savedUndoDepth
    std::vector<ValueTable> values;      // per section: rows x columns
    std::string definitionFolder;        // file-system path, ends with the separator
    // The file-system names of the discovered definitions (entry i names the
    // files of section i), which the tabs show: a name that Shift-JIS cannot
    // write still opens under its own name.
    std::vector<std::string> definitionFiles;

    // Uses this definition set (a file-system name) instead of the profile's "mode".
    std::optional<std::string> modeOverride;
    // Takes the address correction of this file's extension instead of the opened
    // file's (a reference file is read as the file it is compared with).
    std::optional<std::string> correctionPathOverride;
    // The definition set the last open used (a file-system name).
    const std::string& LoadedMode() const { return m_loadedMode; }

    // ---- opening ----
    bool OnOpenDocument(const std::string& path) override;
    bool LoadDocument(const std::string& path);
    void ClearContents();
    bool FindDefinitionNames(const std::string& folder);
    void ReadRowNameFiles(const std::string& folder);
    void ParseColumnFiles(const std::string& folder);
    bool LoadBinary(const std::string& path);
    void DecodeCompressedSection(const std::string& method, int section, ByteSource& file);

    // ---- values and display ----
    std::string GetEditText(int section, int column, int row) const;
    void RefreshCells(int section, int firstRow, int lastRow, int firstColumn, int lastColumn);
    void StoreCellText(int section, int column, int row, const std::string& text);
    void StoreCellText(int section, int column, int row, const std::string& text, ColumnCodec::ParseNote* note);
    // Stores a text recorded by the history: a range limit is not applied again,
    // so the recorded value comes back exactly.
    void StoreRecordedText(int section, int column, int row, const std::string& text);
    // A column prepared for storing many texts (a paste, an undo): what a store
    // looks up, looked up once.
    struct ColumnStore {
        const ColumnCodec* codec = nullptr;    // none: nothing of the column can change
        const ColumnLayout* layout = nullptr;
        std::int64_t rows = 0;                 // rows holding data
        bool shares = false;                   // its cells share bits with others
    };
    ColumnStore PrepareStore(int section, int column) const;
    // What StoreText asks before it stores: the row holds data and all its bytes lie in the file.
    bool CanStore(const ColumnStore& store, int row) const;
    // StoreCellText (applyRange) or StoreRecordedText through a prepared column.
    // `note` (optional) says what the parse did beyond reading a number.
    void StoreText(const ColumnStore& store, int section, int column, int row, std::string_view text, bool applyRange,
                   ColumnCodec::ParseNote* note = nullptr);
    // Many stores of one edit (an import), each to a cell CanStore allowed: the
    // document is marked changed once, then each value is stored as StoreText
    // stores it (cells sharing its bits take them over).
    void BeginStores();
    void StoreValue(const ColumnStore& store, int section, int column, int row, std::uint32_t value)
    {
        values[static_cast<std::size_t>(section)].Set(static_cast<std::size_t>(row), static_cast<std::size_t>(column), value);
        if (store.shares) SpreadFrom(section, column, row);
    }
    // How many cells of the rectangle (0-based, inclusive) show a value that cannot change.
    std::int64_t CountReadOnly(int section, int firstColumn, int lastColumn, int firstRow, int lastRow) const;
    // The text a cell shows: "--" without data, a list label, or the radix form.
    std::string DisplayText(int section, int column, int row) const override;
    std::string RowLabelText(int section, int row) const override;
    std::uint32_t Value(int section, int column, int row) const;
    // The codec of an existing column: built once, and built again only when its
    // display radix changed (from the menus).
    // Drawing, copying and storing a million cells reads no definition text again.
    const ColumnCodec& CodecOf(int section, int column) const;
    // Row r of column c holds a value (it is below the column's row count).
    bool HasData(int section, int column, int row) const;
    // The value may be changed: it holds data, its section has a place in the file
    // (not compressed) and every byte of it lies in the file.
    bool IsEditable(int section, int column, int row) const;
    // Where a column's values lie in the file (null for compressed sections and
    // columns that do not exist), the file's size at the open, and bytes of the
    // opened file as it is on disk now (fewer where it ends).
    const ColumnLayout* LayoutOf(int section, int column) const;
    std::int64_t FileSize() const { return m_fileSize; }
    // The binary's identity (size, modification time) when it was opened.
    const fs::FileIdentity& OpenedIdentity() const { return m_openedIdentity; }
    std::string ReadOpenedBytes(std::int64_t offset, std::size_t count) const;
    // The handle on the binary as opened (for a second handle of another thread: fs::File::OpenSame).
    const fs::File& OpenedFile() const { return m_opened; }
    // The cell's value differs from the file's as last saved (or opened).
    bool IsEdited(int section, int column, int row) const;
    // The path of a section's row-name (".idn") or column (".ini") file, spelled as on disk.
    std::string DefinitionPath(std::size_t section, const std::string& extension) const;
    // The tab text of a section: its definition's file-system name.
    std::string SectionName(int section) const;
    // Cells that took new bits because they share bytes with a stored cell,
    // since the last call (the editor redisplays those of its section).
    std::vector<CellRef> TakeSharedChanges();

    // ---- change history ----
    // Told after every change of values the user made (an edit, a paste, a cut
    // or delete, an import, an undo or redo) with the rectangle that took them,
    // once the modified flag says what the change led to.
    std::function<void(const EditRegion&)> valuesChanged;
    void TellValuesChanged(const EditRegion& region) const
    {
        if (valuesChanged) valuesChanged(region);
    }
    // Clears the modified flag and the marker when the history is back at the saved state.
    void UpdateModifiedFromHistory();
    // The title without the marker: the file's name without folder and extension.
    void RestoreCleanTitle();

    // ---- the checksums of the set ----
    // The texts (Shift-JIS) of the read-only table of the set's checksums. With
    // them set, every open of a set with a rules file adds that table after the
    // file's own: a row a rule (the rule's name as its label), its stored value,
    // the value its rule computes and whether they match, as the file on disk
    // holds them (again after every save). Without them nothing is added.
    struct ChecksumTableTexts {
        std::string table, stored, computed, state, matches, differs, unknown;
    };
    std::optional<ChecksumTableTexts> checksumTable;
    // The section of that table, or -1.
    int ChecksumSection() const { return m_checksumSection; }
    bool IsChecksumSection(int section) const { return section >= 0 && section == m_checksumSection; }
    // Where a row's stored value lies in the file (the rule's first store); none
    // for other sections and a store past the file's end.
    struct ChecksumPlace {
        std::int64_t offset = 0;
        int size = 0;
    };
    std::optional<ChecksumPlace> ChecksumPlaceOf(int section, int row) const;
    // The set's rules and what they found in the file at the open or the last
    // save (read when the table is asked for).
    const checksum::SetRules& ChecksumRules() const { return m_checksumRules; }
    const std::vector<checksum::Outcome>& ChecksumOutcomes() const { return m_checksumOutcomes; }

    // ---- saving ----
    bool OnSaveDocument(const std::string& path) override;
    // The names (Shift-JIS) of the checksums the last save updated, in the rules' order.
    const std::vector<std::string>& ChecksumsUpdated() const { return m_checksumsUpdated; }
    // Writes every region changed since the last save into the file at path.
    bool WriteEdits(const std::string& path, std::string* reason = nullptr);
    // Writes every cell of the regions into the file at path.
    bool WriteRegions(const std::string& path, const std::vector<EditRegion>& regions, std::string* reason = nullptr);
    // Writes the column settings back into the column files; false when a file was kept or failed.
    bool SaveSettings();
    // Whether the last save kept a column file it should have written.
    bool SettingsWereKept() const { return m_settingsKept; }
    bool CanSave() const { return IsModified(); }            // Save and Save As
    // Save: as the framework's, but a save that went to another file (the user's
    // answer when the file changed on disk) names that file from then on.
    bool DoFileSave() override;
    // Where "save as another file" goes when the file changed on disk; the window
    // asks with its dialog, "" cancels (the default: no one to ask).
    std::function<std::string()> chooseSaveAsPath;
    // How the binary on disk differs from the one opened (none while it is the same).
    DiskState OpenedFileState() const;
    // Whether the binary's name now leads to another state of the file than the
    // one opened (rewritten, replaced, deleted); `now` receives what it leads to.
    bool FileOnDiskChanged(fs::FileIdentity* now = nullptr) const;
    bool CanSaveSettings() const { return HasSections(); }   // "設定の保存"
    // A save wrote over a file another program had changed: cells nobody edited
    // still show what the file held at the open, until it is opened again.
    bool ShowsValuesNotOnDisk() const { return m_overwroteChangedFile; }

    // Marks the document modified and adds the marker to the title.
    void MarkModified();

    IZOKView* FirstView() const;
    CMSFlexGrid* ViewGrid() const;
    IniProfile Profile() const;

private:
    void StoreInput(int section, int column, int row, const std::string& input, bool applyRange, ColumnCodec::ParseNote* note = nullptr);
    bool SaveAs(const std::string& path);
    bool SaveInPlace(const std::string& path);
    bool HasChecksumRules() const;
    // Writes the set's checksums into the file at path where they differ (the names go to m_checksumsUpdated).
    bool FixChecksums(const std::string& path, std::string* reason);
    // Asks what to do about a binary changed on disk since the open.
    enum class DiskAnswer { Overwrite, SaveElsewhere, Cancel };
    DiskAnswer AskAboutDiskChange(const std::string& path, const DiskState& state);
    // Keeps the binary at path open for reading and remembers it as read, so a
    // save can tell a changed file and Save As can copy it even when it is gone.
    bool KeepOpened(const std::string& path);

    std::vector<std::vector<ColumnLayout>> m_layouts;  // per section; none for compressed sections
    struct CachedCodec {
        std::string radix;  // the display radix it was built for
        std::unique_ptr<ColumnCodec> codec;
    };
    mutable std::vector<std::vector<CachedCodec>> m_codecs;  // per section and column
    std::int64_t m_fileSize = 0;
    mutable fs::File m_opened;              // the binary as opened, read-only, for the document's lifetime
    fs::FileIdentity m_openedIdentity;      // ... and its identity then
    // The values as the file held them at the open or the last save, kept from
    // the first change on (until then they are `values` themselves).
    std::vector<ValueTable> m_valuesAsRead;
    bool m_valuesAsReadKept = false;
    void KeepValuesAsRead();
    void SpreadFrom(int section, int column, int row);
    std::vector<std::string> m_checksumsUpdated;  // the rules whose checksum the last save wrote
    // The checksum table: added after the sections at the open, its values
    // computed again after a save.
    void AddChecksumTable();
    void ComputeChecksumTable();
    bool ChecksumCellHeld(int column, int row) const;
    int m_checksumSection = -1;
    checksum::SetRules m_checksumRules;
    std::vector<checksum::Outcome> m_checksumOutcomes;
    std::vector<unsigned char> m_checksumHeld;  // per row: 1 the stored, 2 the computed value is known
    std::string m_savedElsewhere;           // the file a save went to instead, when it did
    bool m_overwroteChangedFile = false;
    std::map<int, std::int64_t> m_compressedExtents;  // per compressed section: one past its data's last byte
    // The tables with data at or past `size` (a file cut there loses them), by name.
    std::vector<std::string> TablesReaching(std::int64_t size) const;
    mutable ByteSharing m_sharing;  // what shares bits with what, found on first use
    std::vector<CellRef> m_sharedChanges;
    fs::FolderIndex m_folder;  // the definition folder, listed once per open
    // Column-file contents as read at the open (or last written), to notice edits made meanwhile.
    std::map<std::string, std::string> m_columnFileSnapshots;
    // The column files as read beside the row-name files, for the parse that follows.
    struct ReadText {
        bool read = false;
        std::string path, content;
    };
    std::vector<ReadText> m_columnTexts;
    std::vector<unsigned char> m_unicodeFiles;  // per definition: 1 its ".idn", 2 its ".ini" starts with a byte-order mark
    bool m_settingsKept = false;
    std::string m_loadedMode;
};

}  // namespace zok2
