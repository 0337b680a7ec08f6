#pragma once
// The application: where the settings live, the command line, the one open
// request every way of opening a file goes through, the recent-file list and
// the About box.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/File.h"
#include "framework/IniProfile.h"
#include "framework/Services.h"
#include "qt/Language.h"

class QString;

class QFileSystemWatcher;

namespace zok2 {

class CZOKDoc;
class CMainFrame;
class JournalKeeper;

// The services of a run: the real Qt ones, or recording fakes in the tests.
struct AppServices {
    Services document;
    IClipboard* clipboard = nullptr;
};

class CZOKApp {
public:
    static constexpr int kRecentFiles = 4;
    static constexpr const char* kRecentSection = "Recent File List";

    explicit CZOKApp(AppServices services);
    ~CZOKApp();

    // Start-up with the arguments after the program name ([--root DIR] [FILE]);
    // false (with `error` set) for wrong usage. A file that fails to open leaves
    // the program running with an empty window.
    bool InitInstance(const std::vector<std::string>& args, const std::string& programPath, std::string* error = nullptr);
    // Every open goes through here: the same path reloads in place, any other
    // takes the standard open. A modified document is offered for saving first.
    // `cancelled` tells a declined save question from an open that failed.
    bool OpenDocumentFile(const std::string& path, bool* cancelled = nullptr);
    void AddToRecentFileList(const std::string& path);
    void RemoveFromRecentFileList(const std::string& path);
    std::vector<std::string> RecentFiles() const;
    IniProfile Profile() const;

    // File ▸ Open and Save As choose a path through these (the file dialogs by default).
    std::function<std::string()> chooseOpenPath;
    std::function<std::string()> chooseSaveAsPath;
    void OnFileOpen();
    // New (Ctrl+N): after the save question, an empty document without a path.
    void OnFileNew();
    void OnSettings();
    // Writes to the profile that fail are reported once a run, not on every key.
    void ProfileWritten(bool ok);
    bool OnFileSave();
    bool OnFileSaveAs();
    void ShowAbout();
    // The interface language: the profile's choice (the one shown until the next start).
    Language ChosenLanguage() const;
    void ChooseLanguage(Language language);

    // ---- the reference file (the original the open file is compared with) ----
    // Read with the open file's set and address correction; false (said why) when it cannot be.
    bool OpenReference(const std::string& path);
    // Closes the reference; `forget` also drops it from the profile's memory of this file.
    void CloseReference(bool forget = false);
    const CZOKDoc* Reference() const { return m_reference.get(); }
    const std::string& ReferencePath() const { return m_referencePath; }
    // File ▸ 比較元を開く chooses the file through this (a file dialog by default).
    std::function<std::string()> chooseReferencePath;
    void OnOpenReference();

    // ---- patches and tables as text ----
    // The questions these ask go through these (dialogs by default; the tests answer themselves).
    std::function<std::string(bool ipsPossible, const std::string& whyNotIps)> choosePatchFormat;  // "bps", "ips" or ""
    std::function<std::string(const std::string& format)> choosePatchPath;
    std::function<std::string()> chooseAppliedPatch;
    std::function<std::string()> chooseAppliedCopy;
    std::function<std::string()> chooseExportFolder;
    std::function<std::vector<std::string>()> chooseImportFiles;
    // A patch from the reference to the file as saved (asks to save first).
    bool OnCreatePatch();
    // A patch applied into a copy, then offered for opening with this file as its reference.
    bool OnApplyPatch();
    // The current table (or every table) written as TSV files into a folder.
    bool OnExport(bool allTables);
    // Table files read back into their tables, each as one undoable edit.
    bool OnImport();

    // ---- the file on disk ----
    // Watches the opened binary (notifications, no polling) after every open and save.
    void WatchOpenedFile();
    // A change on disk noticed: offered for reloading while the window is active,
    // otherwise when it becomes active again.
    void OnFileChangedOnDisk();
    void OnActivated();
    // Watches the definition set the open file was read with: its folder and
    // files. Called with every WatchOpenedFile and after the settings are saved
    // (what the program writes itself is never offered for reloading).
    void WatchSet();
    // A file of the set changed by another program: offered for reloading
    // (with the usual question about unsaved edits) while the window is active.
    void OnSetChangedOnDisk();
    // The data shown no longer matches the disk and the user kept it anyway.
    bool ShowsStaleData() const { return m_staleShown; }

    // Every open shows the set's checksums in a read-only table of their own.
    void AskForChecksumTable();
    // After an open: checksums that do not match the set's rules, said in the status bar.
    void NoteChecksums();
    // After a save: the checksums it updated, said in the status bar.
    void NoteChecksumsWritten();

    // ---- the journal of unsaved edits ----
    // After an open: a journal of the file left by a window that ended without
    // being asked is offered back (restored as edits, kept for later, or thrown away).
    void OfferRecovery();
    enum class RecoveryAnswer { Restore, Keep, Discard };
    // The question (a message box by default; the tests answer themselves).
    // Without `restorable` only Keep and Discard are offered.
    std::function<RecoveryAnswer(const QString& text, bool restorable)> askRecovery;
    JournalKeeper& Journal() { return *m_journal; }

    CZOKDoc& Doc() { return *m_doc; }
    IClipboard& Clipboard() { return *m_services.clipboard; }
    CMainFrame& Frame() { return *m_frame; }

private:
    AppServices m_services;
    std::unique_ptr<CZOKDoc> m_doc;
    std::unique_ptr<JournalKeeper> m_journal;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_profileFailureShown = false;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    std::unique_ptr<CZOKDoc> m_reference;
    std::string m_referencePath;
    // The profile remembers each file's reference ([Setting] reference1-4, "FILE<TAB>REFERENCE").
    std::vector<std::pair<std::string, std::string>> RememberedReferences() const;
    void RememberReference(const std::string& file, const std::string& reference);
    void RestoreRememberedReference();
    bool m_diskCheckPending = false;
    bool m_setCheckPending = false;
    std::unique_ptr<QFileSystemWatcher> m_setWatcher;
    std::string m_watchedSet;
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> m_setFingerprint;  // file -> size, modification time
    bool m_asking = false;
    bool m_staleShown = false;
    fs::FileIdentity m_reportedState;  // the state on disk last offered for reloading
};

// Runs the program: a Qt application with the real services.
int RunApplication(int argc, char** argv);

}  // namespace zok2
