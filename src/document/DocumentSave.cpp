// Saving: the settings first, then a ".bak" copy, then the changed cells patched
// into the binary in place (or, for Save As, into a copy that replaces the target).
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "document/ZOKView.h"
#include "framework/AppPath.h"
#include "framework/File.h"
#include "saving/BinaryWriter.h"
#include "saving/SettingsWriter.h"

namespace zok2 {

bool CZOKDoc::WriteEdits(const std::string& path, std::string* reason)
{
    const std::vector<EditRegion> regions = history.UnsavedRegions();
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

bool CZOKDoc::SaveInPlace(const std::string& path)
{
    std::string reason;
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
    if (!WriteEdits(path, &reason)) {
        MessageBox().Show(messages::About(messages::kWriteFailedMidway, path, reason));
        return false;
    }
    return true;
}

bool CZOKDoc::SaveAs(const std::string& path)
{
    std::string reason;
    const bool exists = fs::Exists(path);
    if (exists && !fs::CanWrite(path, &reason)) {
        MessageBox().Show(messages::About(messages::kSaveAsFailed, path, reason));
        return false;
    }
    if (exists && !fs::CopyFileReplacing(path, path + ".bak", &reason)) {
        MessageBox().Show(messages::About(messages::kCannotBackUp, path + ".bak", reason));
        return false;
    }
    // The whole current data goes into a copy beside the target, which replaces
    // it only when complete; a failure leaves the target as it was.
    fs::RemoveLeftoverTemporaries(path);
    fs::ReplacementFile copy(path);
    bool ok = copy.IsCreated() && copy.CopyFrom(GetPathName());
    if (!ok) reason = copy.Reason();
    ok = ok && WriteEdits(copy.Path(), &reason);
    if (ok && !copy.Commit(fs::PermissionsOf(GetPathName(), 0644) | fs::kOwnerWrite)) {
        ok = false;
        reason = copy.Reason();
    }
    if (!ok) MessageBox().Show(messages::About(messages::kSaveAsFailed, path, reason));
    return ok;
}

bool CZOKDoc::OnSaveDocument(const std::string& path)
{
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
    return true;
}

bool CZOKDoc::SaveSettings()
{
    if (IZOKView* view = FirstView()) {
        view->SaveColumnWidths();
        view->StoreDescription();
    }
    bool allWritten = true;
    auto keep = [&](const char* text, const std::string& name, const std::string& reason = std::string()) {
        MessageBox().Show(messages::About(text, name, reason));
        allWritten = false;
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
        if (!fs::WriteFileAtomically(path, rewritten.content, &reason)) {
            keep(messages::kCannotWriteSettings, shownName, reason);
            continue;
        }
        m_columnFileSnapshots[path] = rewritten.content;
    }
    return allWritten;
}

}  // namespace zok2
