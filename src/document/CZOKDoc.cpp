// The open driver: the definition set, then the binary.
#include "document/CZOKDoc.h"

#include "binary/BinaryLoader.h"
#include "binary/ByteSource.h"
#include "binary/CompressedSection.h"
#include "definitions/ColumnParser.h"
#include "definitions/DefinitionText.h"
#include "document/Messages.h"
#include "document/ZOKView.h"
#include "framework/AppPath.h"
#include "framework/Parallel.h"
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

std::string CZOKDoc::DefinitionPath(std::size_t section, const std::string& extension) const
{
    // Sets written on Windows may spell the names and extensions in capitals.
    return definitionFolder + m_folder.Resolve(definitionFiles[section] + extension);
}

std::string CZOKDoc::SectionName(int section) const
{
    if (section >= 0 && static_cast<std::size_t>(section) < definitionFiles.size()) return definitionFiles[static_cast<std::size_t>(section)];
    if (section >= 0 && static_cast<std::size_t>(section) < definitionNames.size()) {
        return FileNames().ToFileSystem(definitionNames[static_cast<std::size_t>(section)]);
    }
    return std::string();
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
    m_overwroteChangedFile = false;
    m_compressedExtents.clear();
    const std::string mode = modeOverride ? *modeOverride : FileNames().ToFileSystem(Profile().GetString("Setting", "mode"));
    m_loadedMode = mode;
    definitionFolder = SettingsFolder() + mode + "/";

    ClearContents();
    if (!FindDefinitionNames(definitionFolder)) {
        MessageBox().Show(messages::kSettingsUnreadable);
        return false;
    }
    ReadRowNameFiles(definitionFolder);
    // A file saved as UTF-8 or UTF-16 with its mark would be misread as Shift-JIS
    // (its first address reads as 0): the set does not load, and the message names it.
    std::vector<std::string> unicode;
    for (std::size_t i = 0; i < m_unicodeFiles.size(); ++i) {
        if (m_unicodeFiles[i] & 1) unicode.push_back(GetAppPath(PathPart::NameWithExtension, DefinitionPath(i, ".idn")));
        if (m_unicodeFiles[i] & 2) unicode.push_back(GetAppPath(PathPart::NameWithExtension, DefinitionPath(i, ".ini")));
    }
    if (!unicode.empty()) {
        MessageBox().Show(messages::AboutFiles(messages::kSettingsNotShiftJis, unicode));
        ClearContents();
        return false;
    }
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
    AddChecksumTable();
    return true;
}

void CZOKDoc::ClearContents()
{
    ClearDefinitions();
    definitionFiles.clear();
    history.Clear();
    values.clear();
    m_sharing.Reset(nullptr);
    m_layouts.clear();
    m_sharedChanges.clear();
    m_fileSize = 0;
    m_columnFileSnapshots.clear();
    m_opened.Close();
    m_openedIdentity = {};
    m_codecs.clear();
    m_valuesAsRead.clear();
    m_valuesAsReadKept = false;
    m_checksumSection = -1;
    m_checksumRules = {};
    m_checksumOutcomes.clear();
    m_checksumHeld.clear();
}

bool CZOKDoc::FindDefinitionNames(const std::string& folder)
{
    m_folder = fs::FolderIndex(folder);
    const std::vector<std::string> files = m_folder.FilesWithExtension(".idn");
    for (const std::string& file : files) {
        const std::string title = file.substr(0, file.size() - 4);  // without its last extension
        definitionFiles.push_back(title);
        // A name Shift-JIS cannot write still opens; only a ".idn" reference in a
        // column file cannot name it (no list item holds a line feed).
        std::optional<std::string> sjis = FileNames().ToSjis(title);
        definitionNames.push_back(sjis ? *sjis : "\n" + title);
    }
    return !files.empty();
}

void CZOKDoc::ReadRowNameFiles(const std::string&)
{
    lists.resize(definitionNames.size());
    m_columnTexts.assign(definitionFiles.size(), {});
    m_unicodeFiles.assign(definitionFiles.size(), 0);
    // Each definition's files are read on their own (the column files for the
    // parse that follows): two threads share a large set.
    SplitInTwo(
        definitionNames.size(), [](std::size_t) { return 1; }, 16,
        [this](std::size_t from, std::size_t to, int) {
            for (std::size_t i = from; i < to && i < definitionFiles.size(); ++i) {
                std::string content;
                if (fs::ReadFile(DefinitionPath(i, ".idn"), content)) {
                    if (text::StartsWithByteOrderMark(content)) m_unicodeFiles[i] |= 1;
                    lists[i] = RowLabelsOf(std::move(content));
                }
                ReadText& columns = m_columnTexts[i];
                columns.path = DefinitionPath(i, ".ini");
                columns.read = fs::ReadFile(columns.path, columns.content);
                if (columns.read && text::StartsWithByteOrderMark(columns.content)) m_unicodeFiles[i] |= 2;
            }
        });
}

void CZOKDoc::ParseColumnFiles(const std::string&)
{
    std::string extension = GetAppPath(PathPart::ExtensionOnly, correctionPathOverride ? *correctionPathOverride : GetPathName());
    if (!extension.empty()) extension.erase(0, 1);
    addressCorrection = 0;
    if (std::optional<std::string> key = extension.empty() ? std::nullopt : FileNames().ToSjis(extension)) {
        const std::string correction = Profile().GetString("File Address Correction", *key);
        if (!correction.empty()) addressCorrection = text::ReadHex(correction);
    }
    const std::size_t discovered = definitionFiles.size();
    // Inline value lists append entries while the loop runs; they have no files.
    for (std::size_t i = 0; i < definitionNames.size(); ++i) {
        ReadText text;
        if (i < discovered && i < m_columnTexts.size()) text = std::move(m_columnTexts[i]);
        sections.push_back(ParseColumnFile(text.content, static_cast<int>(i), *this));
        if (text.read) m_columnFileSnapshots[text.path] = std::move(text.content);
    }
    m_columnTexts.clear();
}

bool CZOKDoc::LoadBinary(const std::string& path)
{
    // The file stays open for reading while it is shown: every value comes from
    // this one file, whatever happens to its name later.
    ByteSource file;
    if (!m_opened.Open(path, fs::File::Mode::Read) || !m_opened.Identity(&m_openedIdentity) || !file.OpenFile(m_opened)) {
        ClearContents();
        return false;
    }
    m_fileSize = file.Size();
    values.reserve(definitionNames.size());
    std::vector<std::size_t> plain;
    // Decoding a compressed section appends entries; they are loaded by this loop too.
    for (std::size_t i = 0; i < definitionNames.size(); ++i) {
        auto mapped = compressionMap.find(static_cast<std::int32_t>(i));
        if (mapped != compressionMap.end()) {
            const StringList& record = compressionRecords[static_cast<std::size_t>(mapped->second)];
            DecodeCompressedSection(record.empty() ? std::string() : record.front(), static_cast<int>(i), file);
            m_layouts.emplace_back();  // decoded rows have no place in the file
            continue;
        }
        values.emplace_back();
        m_layouts.push_back(LayoutsOf(sections[i]));
        plain.push_back(i);
    }
    // Plain sections are independent of each other: a large file is read by two
    // threads, each with pages of its own.
    ByteSource second;
    const bool twoSources = second.OpenSame(file);
    SplitInTwo(
        plain.size(), [&](std::size_t k) { return lists[plain[k]].size() * (sections[plain[k]].size() + 1); }, twoSources ? 1 << 18 : ~0ull,
        [&](std::size_t from, std::size_t to, int part) {
            ByteSource& source = part == 0 ? file : second;
            for (std::size_t k = from; k < to; ++k) {
                const std::size_t i = plain[k];
                values[i] = LoadPlainSection(sections[i], m_layouts[i], lists[i].size(), source);
            }
        });
    m_sharing.Reset(&m_layouts);
    return true;
}

void CZOKDoc::DecodeCompressedSection(const std::string& method, int section, ByteSource& file)
{
    const auto t = static_cast<std::size_t>(section);
    const std::size_t recordIndex = static_cast<std::size_t>(compressionMap[section]);
    // Only method "1" exists, and its record has exactly four parameters; anything
    // else leaves the section without rows rather than guessing.
    if (method != "1" || compressionRecords[recordIndex].size() != 4) {
        values.push_back(ValueTable(ValueWidths(sections[t]), 0));
        return;
    }
    DecodedSection decoded = DecodeBlocks(compressionRecords[recordIndex], sections[t], lists[t], addressCorrection, file);
    m_compressedExtents[section] = decoded.extent;
    const std::size_t decodedRows = decoded.values.Rows();
    values.push_back(std::move(decoded.values));
    compressionRecords[recordIndex].push_back(text::FormatDec(static_cast<std::int64_t>(lists.size())));
    lists.push_back(std::move(decoded.labels));
    std::string name = definitionNames[t];
    definitionNames.push_back(std::move(name));
    sections.emplace_back();
    for (ColumnDefinition& d : sections[t]) {
        d[ColumnField::rowCount] = text::FormatDec(static_cast<std::int64_t>(decodedRows));
        d[ColumnField::stride] = d.HasBitSize() ? std::string("1") : d[ColumnField::size];
    }
}

void CZOKDoc::MarkModified()
{
    if (IsModified()) return;
    SetTitle(GetTitle() + " *");
    SetModifiedFlag(true);
}

void CZOKDoc::RestoreCleanTitle() { SetTitle(GetAppPath(PathPart::NameOnly, GetPathName())); }

void CZOKDoc::UpdateModifiedFromHistory()
{
    if (!history.IsAtSavedState()) return;
    RestoreCleanTitle();
    SetModifiedFlag(false);
}

}  // namespace zok2
