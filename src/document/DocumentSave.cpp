// Saving: the settings first, then a ".bak" copy, then the changed cells patched
// into the binary in place (or, for Save As, into a copy that replaces the target).
#include "checksum/ChecksumFile.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "document/ZOKView.h"
#include "framework/AppPath.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "saving/BinaryWriter.h"
#include "saving/SettingsWriter.h"
#include "text/SjisText.h"

namespace zok2 {

bool CZOKDoc::WriteEdits(const std::string& path, std::string* reason)
{
    return WriteRegions(path, history.UnsavedRegions(), reason);
}

bool CZOKDoc::WriteRegions(const std::string& path, const std::vector<EditRegion>& regions, std::string* reason)
{
    if (regions.empty()) return true;
    fs::File file;
    if (!file.Open(path, fs::File::Mode::Update)) {
        if (reason) *reason = file.Reason();
        return false;
    }
    if (!PatchRegions(file, regions, m_layouts, values, reason)) return false;
    // Success is reported only once the bytes are on the disk.
    if (!file.Sync() || !file.Close()) {
        if (reason) *reason = file.Reason();
        return false;
    }
    return true;
}

DiskState CZOKDoc::OpenedFileState() const
{
    if (!m_opened.IsOpen()) return {};
    return CheckFileOnDisk(GetPathName(), m_openedIdentity, history.UnsavedRegions(), m_layouts,
                           m_valuesAsReadKept ? m_valuesAsRead : values);
}

bool CZOKDoc::FileOnDiskChanged(fs::FileIdentity* now) const
{
    if (!m_opened.IsOpen()) return false;
    fs::FileIdentity present;
    if (!fs::IdentityOf(GetPathName(), &present)) present = {};
    if (now) *now = present;
    return !(present == m_openedIdentity);
}

bool CZOKDoc::KeepOpened(const std::string& path)
{
    fs::File file;
    if (!file.Open(path, fs::File::Mode::Read) || !file.Identity(&m_openedIdentity)) return false;
    m_opened.Close();
    m_opened.OpenSame(file);
    // What the file holds now is what the document shows.
    m_valuesAsRead.clear();
    m_valuesAsReadKept = false;
    return true;
}

CZOKDoc::DiskAnswer CZOKDoc::AskAboutDiskChange(const std::string& path, const DiskState& state)
{
    const char* what = messages::kFileChangedOnDisk;
    switch (state.change) {
    case DiskChange::Replaced: what = messages::kFileReplacedOnDisk; break;
    case DiskChange::Shrank: what = messages::kFileShrankOnDisk; break;
    case DiskChange::Deleted: what = messages::kFileDeletedOnDisk; break;
    default: break;
    }
    const bool canOverwrite = state.change != DiskChange::Deleted && state.cellsInFile;
    const std::string question = messages::About(what, path) + "\n\n" +
                                 Tr("Message", canOverwrite ? messages::kOverwriteOrSaveAs : messages::kOnlySaveAs);
    switch (MessageBox().Ask(question)) {
    case IMessageBox::Answer::Yes: return canOverwrite ? DiskAnswer::Overwrite : DiskAnswer::SaveElsewhere;
    case IMessageBox::Answer::No: return canOverwrite ? DiskAnswer::SaveElsewhere : DiskAnswer::Cancel;
    case IMessageBox::Answer::Cancel: break;
    }
    return DiskAnswer::Cancel;
}

bool CZOKDoc::SaveInPlace(const std::string& path)
{
    std::string reason;
    // The file must still be the one that was read: nothing, not even the
    // backup, is written over a file another program changed, unless the user says so.
    if (m_opened.IsOpen() && path == GetPathName()) {
        const DiskState state = OpenedFileState();
        if (state.change != DiskChange::None) {
            switch (AskAboutDiskChange(path, state)) {
            case DiskAnswer::Overwrite: m_overwroteChangedFile = true; break;
            case DiskAnswer::Cancel: return false;
            case DiskAnswer::SaveElsewhere: {
                const std::string other = chooseSaveAsPath ? chooseSaveAsPath() : std::string();
                if (other.empty() || fs::SameFile(other, path) || other == path) return false;
                if (!SaveAs(other)) return false;
                m_savedElsewhere = other;
                return true;
            }
            }
        }
    }
    WaitCursorScope wait(WaitCursor());
    {
        // Nothing is written, not even the backup, into a file that cannot be patched.
        fs::File probe;
        if (!probe.Open(path, fs::File::Mode::Update)) {
            MessageBox().Show(messages::About(messages::kCannotWriteFile, path, probe.Reason()));
            return false;
        }
    }
    if (!fs::CopyFileReplacing(path, path + ".bak", &reason)) {
        MessageBox().Show(messages::About(messages::kCannotBackUp, path + ".bak", reason));
        return false;
    }
#ifdef _WIN32
    // Windows refuses to replace a file this program holds open (the document
    // and the journal hold it): the checksums are written in place right after
    // the cells, before the flush to disk.
    if (HasChecksumRules()) {
        const bool ok = WriteEdits(path, &reason) && FixChecksums(path, &reason);
        if (!ok) MessageBox().Show(messages::About(messages::kWriteFailedMidway, path, reason));
        return ok;
    }
#else
    if (HasChecksumRules()) {
        // The edited cells and the checksums over them go into a copy that
        // replaces the file whole: a save cut short leaves the old file, never
        // new cells under an old checksum.
        fs::ReplacementFile copy(path);
        bool ok = copy.IsCreated() && (m_opened.IsOpen() ? copy.CopyFrom(m_opened) : copy.CopyFrom(path));
        if (!ok) reason = copy.Reason();
        ok = ok && WriteEdits(copy.Path(), &reason) && FixChecksums(copy.Path(), &reason);
        if (ok && !copy.Commit(fs::PermissionsOf(path, 0644))) {
            ok = false;
            reason = copy.Reason();
        }
        if (!ok) MessageBox().Show(messages::About(messages::kWriteFailedMidway, path, reason));
        return ok;
    }
#endif
    if (!WriteEdits(path, &reason)) {
        MessageBox().Show(messages::About(messages::kWriteFailedMidway, path, reason));
        return false;
    }
    return true;
}

bool CZOKDoc::HasChecksumRules() const { return !checksum::ReadSetRules(definitionFolder, addressCorrection).rules.rules.empty(); }

bool CZOKDoc::FixChecksums(const std::string& path, std::string* reason)
{
    const checksum::SetRules set = checksum::ReadSetRules(definitionFolder, addressCorrection);
    if (set.rules.rules.empty()) return true;
    const std::vector<checksum::Outcome> outcomes = checksum::ComputeFile(path, set.rules.rules, reason);
    if (outcomes.size() != set.rules.rules.size()) return false;
    fs::File file;
    bool opened = false;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].writes.empty()) continue;
        if (!opened && !file.Open(path, fs::File::Mode::Update)) {
            if (reason) *reason = file.Reason();
            return false;
        }
        opened = true;
        for (const checksum::Outcome::Write& w : outcomes[i].writes) {
            if (!file.WriteAt(w.offset, w.bytes.data(), w.bytes.size())) {
                if (reason) *reason = file.Reason();
                return false;
            }
        }
        m_checksumsUpdated.push_back(set.rules.rules[i].name);
    }
    if (opened && (!file.Sync() || !file.Close())) {
        if (reason) *reason = file.Reason();
        return false;
    }
    return true;
}

std::vector<std::string> CZOKDoc::TablesReaching(std::int64_t size) const
{
    std::vector<std::string> names;
    for (std::size_t s = 0; s < sections.size() && s < values.size(); ++s) {
        if (sections[s].empty()) continue;
        bool reaches = false;
        const auto extent = m_compressedExtents.find(static_cast<int>(s));
        if (extent != m_compressedExtents.end()) {
            reaches = extent->second > size;
        } else if (s < m_layouts.size()) {
            const std::int64_t rows = static_cast<std::int64_t>(values[s].Rows());
            for (const ColumnLayout& layout : m_layouts[s]) {
                const std::int64_t held = std::min(rows, std::max<std::int64_t>(layout.rowCount, 0));
                // The first and the last row's bytes bound the column's.
                for (const std::int64_t r : {std::int64_t{0}, held - 1}) {
                    if (held > 0 && layout.Offset(r) >= 0 && layout.Offset(r) + layout.SpanBytes() > size) reaches = true;
                }
            }
        }
        if (reaches) names.push_back(SectionName(static_cast<int>(s)));
    }
    return names;
}

bool CZOKDoc::SaveAs(const std::string& path)
{
    // The held file is the one opened; when another program changed it since,
    // the bytes outside the tables come from it as that program left it: the
    // user says whether that will do before anything is written.
    fs::FileIdentity handle;
    const bool held = m_opened.IsOpen() && m_opened.Identity(&handle);
    const bool heldChanged = held && (handle.size != m_openedIdentity.size || handle.modifiedNs != m_openedIdentity.modifiedNs);
    if (heldChanged && MessageBox().Ask(messages::About(messages::kHeldFileChanged, GetPathName())) != IMessageBox::Answer::Yes) {
        return false;
    }
    WaitCursorScope wait(WaitCursor());
    std::string reason;
    const bool exists = fs::Exists(path);
    if (exists && !fs::CanWrite(path, &reason)) {
        MessageBox().Show(messages::About(messages::kSaveAsFailed, path, reason));
        return false;
    }
    fs::RemoveLeftoverTemporaries(path);
    if (exists && !fs::CopyFileReplacing(path, path + ".bak", &reason, fs::Leftovers::Keep)) {
        MessageBox().Show(messages::About(messages::kCannotBackUp, path + ".bak", reason));
        return false;
    }
    // The whole current data goes into a copy beside the target, which replaces
    // it only when complete; a failure leaves the target as it was. The copy is
    // taken from the file as it was opened, which stays readable even when its
    // name was deleted or given to another file meanwhile.
    fs::ReplacementFile copy(path);
    bool ok = copy.IsCreated() && (m_opened.IsOpen() ? copy.CopyFrom(m_opened) : copy.CopyFrom(GetPathName()));
    if (!ok) reason = copy.Reason();
    // Another program changed the opened file: every cell is written as the grid
    // shows it. One that cut it short lost its tail: the copy gets the opened
    // length, and the user is told which bytes, and which tables' data, could not be known.
    const bool cut = ok && heldChanged && handle.size < m_openedIdentity.size;
    if (ok && heldChanged) {
        std::vector<EditRegion> everything;
        for (std::size_t s = 0; s < m_layouts.size() && s < values.size(); ++s) {
            if (m_layouts[s].empty() || values[s].Rows() == 0) continue;
            everything.push_back({static_cast<int>(s), 1, static_cast<int>(m_layouts[s].size()), 1, static_cast<int>(values[s].Rows())});
        }
        if (cut) {
            ok = copy.Resize(m_openedIdentity.size);
            if (!ok) reason = copy.Reason();
        }
        ok = ok && WriteRegions(copy.Path(), everything, &reason);
    }
    ok = ok && WriteEdits(copy.Path(), &reason) && FixChecksums(copy.Path(), &reason);
    if (ok && !copy.Commit(fs::PermissionsOf(GetPathName(), 0644) | fs::kOwnerWrite)) {
        ok = false;
        reason = copy.Reason();
    }
    if (!ok) MessageBox().Show(messages::About(messages::kSaveAsFailed, path, reason));
    if (ok && cut) {
        std::string message = messages::About(messages::kTailUnknown, path,
                                              "0x" + text::FormatHex(static_cast<std::uint32_t>(std::min<std::int64_t>(handle.size, 0xFFFFFFFF))) +
                                                  " - 0x" + text::FormatHex(static_cast<std::uint32_t>(std::min<std::int64_t>(m_openedIdentity.size - 1, 0xFFFFFFFF))));
        const std::vector<std::string> lost = TablesReaching(handle.size);
        if (!lost.empty()) message += "\n" + messages::AboutFiles(messages::kTablesInTheLostTail, lost);
        MessageBox().Show(message);
    }
    return ok;
}

bool CZOKDoc::OnSaveDocument(const std::string& path)
{
    m_savedElsewhere.clear();
    m_checksumsUpdated.clear();
    m_settingsKept = !SaveSettings();
    const bool otherFile = path != GetPathName() && !fs::SameFile(path, GetPathName());
    if (otherFile) {
        if (!SaveAs(path)) return false;
    } else {
        if (!IsModified()) return true;
        if (!SaveInPlace(path)) return false;
    }
    history.MarkSaved();
    RestoreCleanTitle();
    SetModifiedFlag(false);
    // From now on the file saved is the one the document shows.
    KeepOpened(m_savedElsewhere.empty() ? path : m_savedElsewhere);
    ComputeChecksumTable();
    return true;
}

bool CZOKDoc::DoFileSave()
{
    if (!CDocument::DoFileSave()) return false;
    if (!m_savedElsewhere.empty()) SetPathName(m_savedElsewhere);
    return true;
}

bool CZOKDoc::SaveSettings()
{
    if (IZOKView* view = FirstView()) {
        view->SaveColumnWidths();
        view->StoreDescription();
    }
    bool allWritten = true;
    bool leftoversRemoved = false;  // the folder is scanned once a save, not once a file
    // Files kept are reported together, one message per kind of trouble: a set
    // whose folder vanished gives one message, not one per table.
    struct Kept {
        const char* text;
        std::vector<std::string> files;  // each "name (reason)"
    };
    std::vector<Kept> kept;
    auto keep = [&](const char* text, const std::string& name, const std::string& reason = std::string()) {
        allWritten = false;
        const std::string file = reason.empty() ? name : name + " (" + reason + ")";
        for (Kept& k : kept) {
            if (k.text == text) {
                k.files.push_back(file);
                return;
            }
        }
        kept.push_back({text, {file}});
    };
    for (std::size_t i = 0; i < definitionFiles.size() && i < sections.size(); ++i) {
        if (sections[i].empty()) continue;
        const std::string path = DefinitionPath(i, ".ini");
        const std::string shownName = GetAppPath(PathPart::NameWithExtension, path);
        std::string content, reason;
        if (!fs::ReadFile(path, content, &reason)) {
            keep(messages::kSettingsUnreadableNow, shownName, reason);
            continue;
        }
        auto snapshot = m_columnFileSnapshots.find(path);
        if (snapshot != m_columnFileSnapshots.end() && snapshot->second != content) {
            keep(messages::kSettingsChangedOnDisk, shownName);  // edited by someone else: keep their version
            continue;
        }
        const RewrittenFile rewritten = RewriteColumnFile(content, sections[i], lists[i].size(), *this);
        if (rewritten.lineTooLong) {
            keep(messages::kSettingsLineTooLong, shownName);
            continue;
        }
        if (rewritten.content == content) continue;
        if (!fs::CanWrite(path, &reason)) {
            keep(messages::kSettingsWriteProtected, shownName, reason);
            continue;
        }
        if (!leftoversRemoved) {
            fs::RemoveLeftoverTemporaries(path);
            leftoversRemoved = true;
        }
        if (!fs::WriteFileAtomically(path, rewritten.content, &reason, fs::Leftovers::Keep)) {
            keep(messages::kCannotWriteSettings, shownName, reason);
            continue;
        }
        m_columnFileSnapshots[path] = rewritten.content;
    }
    for (const Kept& k : kept) MessageBox().Show(messages::AboutFiles(k.text, k.files));
    return allWritten;
}

}  // namespace zok2
