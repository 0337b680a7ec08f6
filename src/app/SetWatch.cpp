// The definition set on disk: its folder and files watched while a file is
// open, and a change made by another program (a text editor, a script)
// offered for reloading.
#include <QFileSystemWatcher>
#include <QStringList>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"

namespace zok2 {

namespace {

constexpr const char* kSetChangedReload =
    ZOK2_NOOP("Message", "定義ファイルが他のプログラムによって変更されました。\n設定とバイナリを再読み込みしますか？");

// Sets of more files than this are watched by their folder alone (added,
// removed and renamed files), so a huge set cannot use up the system's watches.
constexpr std::size_t kWatchedFiles = 2000;

std::vector<std::string> SetFiles(const std::string& folder)
{
    const fs::FolderIndex index(folder);
    std::vector<std::string> files = index.FilesWithExtension(".idn");
    const std::vector<std::string> columns = index.FilesWithExtension(".ini");
    files.insert(files.end(), columns.begin(), columns.end());
    return files;
}

// What tells one state of the set's files from another: each file's size and time.
std::map<std::string, std::pair<std::int64_t, std::int64_t>> Fingerprint(const std::string& folder)
{
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> fingerprint;
    for (const std::string& name : SetFiles(folder)) {
        fs::FileIdentity identity;
        if (fs::IdentityOf(folder + name, &identity)) fingerprint[name] = {identity.size, identity.modifiedNs};
    }
    return fingerprint;
}

}  // namespace

void CZOKApp::WatchSet()
{
    m_setCheckPending = false;
    if (!m_setWatcher) {
        m_setWatcher = std::make_unique<QFileSystemWatcher>();
        QObject::connect(m_setWatcher.get(), &QFileSystemWatcher::fileChanged, m_frame.get(), [this] { OnSetChangedOnDisk(); });
        QObject::connect(m_setWatcher.get(), &QFileSystemWatcher::directoryChanged, m_frame.get(), [this] { OnSetChangedOnDisk(); });
    }
    const QStringList watched = m_setWatcher->files() + m_setWatcher->directories();
    if (!watched.isEmpty()) m_setWatcher->removePaths(watched);
    m_watchedSet.clear();
    m_setFingerprint.clear();
    if (!m_doc->HasSections() || m_doc->definitionFolder.empty() || !fs::IsFolder(m_doc->definitionFolder)) return;
    m_watchedSet = m_doc->definitionFolder;
    m_setFingerprint = Fingerprint(m_watchedSet);
    QStringList paths{FileNameToQString(m_watchedSet)};
    if (m_setFingerprint.size() <= kWatchedFiles) {
        for (const auto& entry : m_setFingerprint) paths << FileNameToQString(m_watchedSet + entry.first);
    }
    m_setWatcher->addPaths(paths);
}

void CZOKApp::OnSetChangedOnDisk()
{
    if (m_watchedSet.empty()) return;
    // An editor that saves by renaming drops the file out of the watch: its name is watched again.
    if (m_setFingerprint.size() <= kWatchedFiles) {
        QStringList missing;
        for (const std::string& name : SetFiles(m_watchedSet)) {
            const QString path = FileNameToQString(m_watchedSet + name);
            if (!m_setWatcher->files().contains(path)) missing << path;
        }
        if (!missing.isEmpty()) m_setWatcher->addPaths(missing);
    }
    if (!m_frame->isActiveWindow() || m_asking) {
        m_setCheckPending = true;
        return;
    }
    m_setCheckPending = false;
    auto now = Fingerprint(m_watchedSet);
    if (now == m_setFingerprint) return;  // touched, or written by this program
    m_setFingerprint = std::move(now);    // each change is offered once
    m_asking = true;
    const bool reload = m_doc->MessageBox().Ask(messages::About(kSetChangedReload, m_watchedSet)) == IMessageBox::Answer::Yes;
    m_asking = false;
    // An open like any other: unsaved edits are offered for saving first, and
    // column files changed on disk keep their new text.
    if (reload) OpenDocumentFile(m_doc->GetPathName());
}

}  // namespace zok2
