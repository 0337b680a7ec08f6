#include "app/CZOKApp.h"

#include "app/CoreReasons.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QFileSystemWatcher>
#include <algorithm>
#include <cstdio>

#include "app/AboutBox.h"
#include "app/CMainFrame.h"
#include "app/CMyPropertySheet.h"
#include "app/JournalKeeper.h"
#include "app/StartUp.h"
#include "compare/Reference.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "framework/AppPath.h"
#include "qt/QtServices.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {

constexpr const char* kUsage = "usage: zok2 [--root DIR] [FILE]";
constexpr const char* kProfileNotWritten = ZOK2_NOOP("Message", "プロファイルに書き込めません。ウィンドウの位置と最近使ったファイルは保存されません。");

std::string FileKey(int i) { return "File" + std::to_string(i + 1); }

}  // namespace

CZOKApp::CZOKApp(AppServices services) : m_services(services), m_doc(std::make_unique<CZOKDoc>(services.document))
{
    m_journal = std::make_unique<JournalKeeper>(*m_doc);
    AskForChecksumTable();
    m_doc->valuesChanged = [this](const EditRegion& region) { m_journal->Changed(region); };
    m_frame = std::make_unique<CMainFrame>(*this);
    // Said once a document, in a message the user cannot miss: edits are no longer kept safe.
    m_journal->told = [this](const QString& note) { m_doc->MessageBox().Show(note.toStdString()); };
    chooseReferencePath = [this] {
        const QString path = QFileDialog::getOpenFileName(m_frame.get(), T("App", "比較元を開く"));
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
    choosePatchFormat = [this](bool ipsPossible, const std::string& whyNotIps) {
        QStringList formats{T("App", "BPS（どの大きさのファイルにも、検査値つき）")};
        if (ipsPossible) formats << T("App", "IPS（16 MiB まで）");
        bool ok = false;
        const QString label = ipsPossible ? T("App", "パッチの形式:") : T("App", "パッチの形式（%1）:").arg(QString::fromStdString(whyNotIps));
        const QString chosen = QInputDialog::getItem(m_frame.get(), T("App", "パッチの作成"), label, formats, 0, false, &ok);
        return !ok ? std::string() : chosen.startsWith(QStringLiteral("IPS")) ? std::string("ips") : std::string("bps");
    };
    choosePatchPath = [this](const std::string& format) {
        const QString path = QFileDialog::getSaveFileName(m_frame.get(), T("App", "パッチの作成"), QString(),
                                                          QStringLiteral("*.") + QString::fromStdString(format));
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
    chooseAppliedPatch = [this] {
        const QString path = QFileDialog::getOpenFileName(m_frame.get(), T("App", "パッチの適用"), QString(), QStringLiteral("*.ips *.bps"));
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
    chooseAppliedCopy = [this] {
        const QString path = QFileDialog::getSaveFileName(m_frame.get(), T("App", "パッチを適用したファイルの保存先"));
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
    chooseExportFolder = [this] {
        const QString path = QFileDialog::getExistingDirectory(m_frame.get(), T("App", "書き出し先のフォルダ"));
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
    chooseImportFiles = [this] {
        std::vector<std::string> files;
        for (const QString& path : QFileDialog::getOpenFileNames(m_frame.get(), T("App", "読み込む表"), QString(), QStringLiteral("*.tsv *.csv *.json"))) {
            files.push_back(QStringToFileName(path));
        }
        return files;
    };
    m_watcher = std::make_unique<QFileSystemWatcher>();
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, m_frame.get(), [this] { OnFileChangedOnDisk(); });
    // A save that finds the file changed on disk may go to another file, chosen here.
    m_doc->chooseSaveAsPath = [this] { return chooseSaveAsPath ? chooseSaveAsPath() : std::string(); };
    chooseOpenPath = [this] {
        const QString path = QFileDialog::getOpenFileName(m_frame.get(), T("App", "開く"));
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
    chooseSaveAsPath = [this] {
        const QString start = FileNameToQString(m_doc->GetPathName());
        const QString path = QFileDialog::getSaveFileName(m_frame.get(), T("App", "名前を付けて保存"), start);
        return path.isEmpty() ? std::string() : QStringToFileName(path);
    };
}

CZOKApp::~CZOKApp()
{
    m_watcher.reset();
    m_setWatcher.reset();
    CloseReference();
    // The view leaves the document before the document goes.
    m_frame.reset();
    m_doc->valuesChanged = nullptr;
    m_journal.reset();
}

IniProfile CZOKApp::Profile() const { return IniProfile(GetAppPath(PathPart::ProfilePath)); }

bool CZOKApp::InitInstance(const std::vector<std::string>& args, const std::string& programPath, std::string* error)
{
    std::string root, file;
    bool options = true;  // "--" ends them, so a file named "-x.dat" can be opened
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (options && args[i] == "--") {
            options = false;
        } else if (options && args[i] == "--root" && i + 1 < args.size()) {
            root = args[++i];
        } else if (file.empty() && !args[i].empty() && (!options || args[i][0] != '-')) {
            file = args[i];
        } else {
            if (error) *error = kUsage;
            return false;
        }
    }
    // Beside the program (portable), in the user's folders (installed), or in --root.
    const std::vector<PlaceNote> notes = PreparePlaces(UsePlaces(root, programPath), GetAppPath(PathPart::ProgramFolder));
    m_frame->RestorePlacement();
    if (Profile().GetInt("Setting", "maximize", 0) == 1) {
        m_frame->showMaximized();
    } else {
        m_frame->show();
    }
    for (const std::string& note : PlaceNoteTexts(notes)) m_doc->MessageBox().Show(note);
    // A file that fails to open has said why; the window stays so the set can be fixed.
    if (!file.empty()) OpenDocumentFile(file);
    m_frame->update();
    return true;
}

bool CZOKApp::OpenDocumentFile(const std::string& typedPath, bool* cancelled)
{
    if (cancelled) *cancelled = false;
    if (typedPath.empty()) return false;
    // A relative path (from the command line) means the file it names now: kept in
    // full, it reopens the same file from the recent list wherever the program starts.
    const std::string path = fs::AbsolutePath(typedPath);
    m_frame->View().CommitPendingEdit();
    // A folder, a missing or an unreadable file is refused before anything is emptied.
    {
        fs::File file;
        if (!file.Open(path, fs::File::Mode::Read)) {
            m_doc->MessageBox().Show(messages::About(messages::kCannotOpenFile, path, CoreReasonText(file.Reason())));
            return false;
        }
    }
    // Reloading the same file, or opening another, never drops edits without asking.
    if (m_doc->IsModified()) {
        if (!m_doc->SaveModified()) {
            if (cancelled) *cancelled = true;
            return false;
        }
        m_doc->SetModifiedFlag(false);  // answered: the open does not ask again
    }
    // The reference belongs to the file: reopening it keeps it (read again), another file forgets it.
    const bool sameFile = path == m_doc->GetPathName();
    const std::string reference = sameFile ? m_referencePath : std::string();
    CloseReference();
    const bool opened = m_doc->OnOpenDocument(path);
    if (opened) AddToRecentFileList(path);
    if (opened) NoteChecksums();
    if (opened) OfferRecovery();
    if (opened && !reference.empty()) OpenReference(reference);
    if (opened && reference.empty()) RestoreRememberedReference();
    WatchOpenedFile();
    m_frame->UpdateCaption();
    m_frame->UpdateCommandStates();
    return opened;
}

std::vector<std::string> CZOKApp::RecentFiles() const
{
    std::vector<std::string> files;
    const IniProfile profile = Profile();
    const IFileNameCodec& names = m_doc->FileNames();
    for (int i = 0; i < kRecentFiles; ++i) {
        const std::string entry = profile.GetString(kRecentSection, FileKey(i));
        if (!entry.empty()) files.push_back(names.ToFileSystem(entry));
    }
    return files;
}

void CZOKApp::AddToRecentFileList(const std::string& path)
{
    // The profile is Shift-JIS: a path it cannot write is not listed.
    const std::optional<std::string> entry = m_doc->FileNames().ToSjis(path);
    if (!entry || path.empty()) return;
    const std::vector<std::string> before = RecentFiles();
    std::vector<std::string> files = before;
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > static_cast<std::size_t>(kRecentFiles)) files.resize(kRecentFiles);
    IniProfile profile = Profile();
    for (std::size_t i = 0; i < files.size(); ++i) {
        // Only the entries that moved are written again.
        if (i < before.size() && before[i] == files[i]) continue;
        ProfileWritten(profile.WriteString(kRecentSection, FileKey(static_cast<int>(i)), m_doc->FileNames().ToSjis(files[i]).value_or("")));
    }
}

void CZOKApp::RemoveFromRecentFileList(const std::string& path)
{
    const std::vector<std::string> before = RecentFiles();
    std::vector<std::string> files = before;
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    if (files == before) return;
    IniProfile profile = Profile();
    for (std::size_t i = 0; i < before.size(); ++i) {
        const std::string entry = i < files.size() ? m_doc->FileNames().ToSjis(files[i]).value_or("") : std::string();
        ProfileWritten(profile.WriteString(kRecentSection, FileKey(static_cast<int>(i)), entry));
    }
}

void CZOKApp::ProfileWritten(bool ok)
{
    if (ok || m_profileFailureShown) return;
    m_profileFailureShown = true;
    m_doc->MessageBox().Show(messages::About(kProfileNotWritten, Profile().Path()));
}

void CZOKApp::OnFileNew()
{
    m_frame->View().CommitPendingEdit();
    if (m_doc->IsModified() && !m_doc->SaveModified()) return;
    // Nothing of the previous file stays: no path that a save could patch, no reference.
    CloseReference();
    m_frame->View().ClearView();
    m_doc->ClearContents();
    m_doc->SetPathName(std::string());
    m_doc->SetTitle(std::string());
    m_doc->SetModifiedFlag(false);
    m_frame->UpdateCaption();
    m_frame->UpdateCommandStates();
}

void CZOKApp::OnSettings()
{
    {
        CMyPropertySheet sheet(*this, m_frame.get());
        sheet.exec();
    }
    m_frame->activateWindow();  // the keys come back to the window, with or without a window manager
}

void CZOKApp::OnFileOpen()
{
    const std::string path = chooseOpenPath ? chooseOpenPath() : std::string();
    m_frame->activateWindow();
    if (!path.empty()) OpenDocumentFile(path);
}

bool CZOKApp::OnFileSave()
{
    m_frame->View().CommitPendingEdit();
    if (!m_doc->CanSave()) return false;
    const bool saved = m_doc->DoFileSave();
    WatchOpenedFile();
    if (saved) NoteChecksumsWritten();
    return saved;
}

bool CZOKApp::OpenReference(const std::string& path)
{
    if (!m_doc->HasSections() || path.empty()) return false;
    std::unique_ptr<CZOKDoc> reference = compare::OpenReference(*m_doc, fs::AbsolutePath(path));
    if (!reference) return false;  // its open said why
    m_frame->View().SetReference(nullptr);
    m_reference = std::move(reference);
    m_referencePath = fs::AbsolutePath(path);
    RememberReference(m_doc->GetPathName(), m_referencePath);
    m_frame->View().SetReference(m_reference.get());
    m_frame->UpdateCommandStates();
    return true;
}

std::vector<std::pair<std::string, std::string>> CZOKApp::RememberedReferences() const
{
    std::vector<std::pair<std::string, std::string>> pairs;
    const IniProfile profile = Profile();
    for (int i = 1; i <= 4; ++i) {
        const std::string entry = m_doc->FileNames().ToFileSystem(profile.GetString("Setting", "reference" + std::to_string(i)));
        const std::size_t tab = entry.find('\t');
        if (tab != std::string::npos) pairs.emplace_back(entry.substr(0, tab), entry.substr(tab + 1));
    }
    return pairs;
}

void CZOKApp::RememberReference(const std::string& file, const std::string& reference)
{
    std::vector<std::pair<std::string, std::string>> pairs = RememberedReferences();
    pairs.erase(std::remove_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == file; }), pairs.end());
    if (!reference.empty()) pairs.insert(pairs.begin(), {file, reference});
    if (pairs.size() > 4) pairs.resize(4);
    IniProfile profile = Profile();
    for (int i = 1; i <= 4; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const std::string entry = k < pairs.size() ? pairs[k].first + "\t" + pairs[k].second : std::string();
        ProfileWritten(profile.WriteString("Setting", "reference" + std::to_string(i), m_doc->FileNames().ToSjis(entry).value_or("")));
    }
}

void CZOKApp::RestoreRememberedReference()
{
    const std::string file = m_doc->GetPathName();
    for (const auto& [remembered, reference] : RememberedReferences()) {
        if (remembered != file) continue;
        if (!fs::IsRegularFile(reference)) {
            // Gone since: forgotten, and the user told so.
            RememberReference(file, std::string());
            m_doc->MessageBox().Show(messages::About(ZOK2_NOOP("Message", "比較元が見つからないため、比較元を外しました。"), reference));
            return;
        }
        OpenReference(reference);
        return;
    }
}

void CZOKApp::CloseReference(bool forget)
{
    if (forget && !m_referencePath.empty()) RememberReference(m_doc->GetPathName(), std::string());
    if (m_frame) m_frame->View().SetReference(nullptr);
    m_reference.reset();
    m_referencePath.clear();
    if (m_frame) m_frame->UpdateCommandStates();
}

void CZOKApp::OnOpenReference()
{
    const std::string path = chooseReferencePath ? chooseReferencePath() : std::string();
    m_frame->activateWindow();
    if (!path.empty()) OpenReference(path);
}

void CZOKApp::WatchOpenedFile()
{
    m_diskCheckPending = false;
    m_staleShown = m_doc->FileOnDiskChanged() || m_doc->ShowsValuesNotOnDisk();
    if (!m_watcher->files().isEmpty()) m_watcher->removePaths(m_watcher->files());
    const std::string path = m_doc->GetPathName();
    if (!path.empty() && m_doc->HasSections()) m_watcher->addPath(FileNameToQString(path));
    WatchSet();
    m_frame->UpdateCaption();
    // A save clears the marks of edited cells and changes the bytes the information line shows.
    m_frame->View().GridWidget().viewport()->update();
    m_frame->UpdateInfoLine();
}

void CZOKApp::OnFileChangedOnDisk()
{
    // A file replaced or deleted drops out of the watch: its name is watched again.
    const QString path = FileNameToQString(m_doc->GetPathName());
    if (!m_doc->GetPathName().empty() && !m_watcher->files().contains(path) && fs::Exists(m_doc->GetPathName())) {
        m_watcher->addPath(path);
    }
    if (!m_frame->isActiveWindow() || m_asking) {
        m_diskCheckPending = true;
        return;
    }
    fs::FileIdentity now;
    if (!m_doc->FileOnDiskChanged(&now)) {
        m_staleShown = m_doc->ShowsValuesNotOnDisk();
        m_frame->UpdateCaption();
        return;
    }
    m_staleShown = true;
    m_frame->UpdateCaption();
    if (now == m_reportedState || now.inode == 0) return;  // offered already, or gone: the caption says so
    m_reportedState = now;
    m_asking = true;
    const bool reload = m_doc->MessageBox().Ask(messages::About(messages::kFileChangedReload, m_doc->GetPathName())) ==
                        IMessageBox::Answer::Yes;
    m_asking = false;
    // Reloading is an open like any other: unsaved edits are offered for saving first.
    if (reload) OpenDocumentFile(m_doc->GetPathName());
    if (m_diskCheckPending) OnActivated();
}

void CZOKApp::OnActivated()
{
    if (m_setCheckPending) OnSetChangedOnDisk();
    if (!m_diskCheckPending) return;
    m_diskCheckPending = false;
    OnFileChangedOnDisk();
}

bool CZOKApp::OnFileSaveAs()
{
    m_frame->View().CommitPendingEdit();
    if (!m_doc->CanSave()) return false;
    const std::string path = chooseSaveAsPath ? chooseSaveAsPath() : std::string();
    if (path.empty() || !m_doc->DoSaveAs(path)) return false;
    AddToRecentFileList(path);
    WatchOpenedFile();
    NoteChecksumsWritten();
    return true;
}

Language CZOKApp::ChosenLanguage() const
{
    const std::string key = Profile().GetString("Setting", "language", "");
    return key.empty() ? CurrentLanguage() : zok2::ChooseLanguage(key, QString());
}

void CZOKApp::ChooseLanguage(Language language)
{
    if (language == ChosenLanguage()) return;
    const bool written = Profile().WriteString("Setting", "language", LanguageKey(language));
    ProfileWritten(written);
    if (!written) return;
    // The menus are made once: the new language shows from the next start.
    m_doc->MessageBox().Show(language == Language::English ? Tr("Message", "zok2 は次の起動から英語で表示します。")
                                                           : Tr("Message", "zok2 は次の起動から日本語で表示します。"));
}

void CZOKApp::ShowAbout()
{
    {
        AboutBox box(m_frame.get());
        box.exec();
    }
    m_frame->activateWindow();
}

}  // namespace zok2
