// The application's commands on patches and tables as text: making and applying
// a patch, exporting tables and importing them back (checked whole first).
#include <QProgressDialog>
#include <filesystem>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "app/CoreReasons.h"
#include "app/ImportReport.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "patch/PatchFile.h"
#include "patch/Patches.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {

void Say(CZOKDoc& doc, const std::string& text) { doc.MessageBox().Show(text); }

}  // namespace

bool CZOKApp::OnCreatePatch()
{
    m_frame->View().CommitPendingEdit();
    if (!m_reference) return false;
    // The patch is made from the file as saved.
    if (m_doc->IsModified()) {
        if (m_doc->MessageBox().Ask(ZOK2_NOOP("Message", "パッチは保存されたファイルから作ります。先に保存しますか？")) != IMessageBox::Answer::Yes) return false;
        if (!OnFileSave()) return false;
    }
    std::string source, target, reason;
    if (!fs::ReadFile(m_referencePath, source, &reason)) {
        Say(*m_doc, messages::About(ZOK2_NOOP("Message", "比較元を読み込めません。"), m_referencePath, reason));
        return false;
    }
    if (!fs::ReadFile(m_doc->GetPathName(), target, &reason)) {
        Say(*m_doc, messages::About(messages::kCannotOpenFile, m_doc->GetPathName(), reason));
        return false;
    }
    const bool ipsPossible = source.size() <= patch::kIpsLargestFile && target.size() <= patch::kIpsLargestFile;
    const std::string format = choosePatchFormat ? choosePatchFormat(ipsPossible, ipsPossible ? std::string() : Tr("App", "IPS は 16 MiB までのファイルにしか使えません")) : "bps";
    if (format != "bps" && !(format == "ips" && ipsPossible)) return false;
    const std::string path = choosePatchPath ? choosePatchPath(format) : std::string();
    if (path.empty()) return false;
    std::string bytes;
    if (format == "ips") {
        patch::CreateIps(source, target, &bytes);
    } else {
        patch::CreateBps(source, target, &bytes);
    }
    if (!fs::WriteFileAtomically(path, bytes, &reason)) {
        Say(*m_doc, messages::About(ZOK2_NOOP("Message", "パッチを書き込めません。"), path, reason));
        return false;
    }
    return true;
}

bool CZOKApp::OnApplyPatch()
{
    m_frame->View().CommitPendingEdit();
    if (!m_doc->HasSections()) return false;
    const std::string patchPath = chooseAppliedPatch ? chooseAppliedPatch() : std::string();
    if (patchPath.empty()) return false;
    std::string patchBytes, source, reason;
    if (!fs::ReadFile(patchPath, patchBytes, &reason) || !fs::ReadFile(m_doc->GetPathName(), source, &reason)) {
        Say(*m_doc, messages::About(messages::kCannotOpenFile, patchPath, reason));
        return false;
    }
    if (!patch::CheckPatch(patchBytes, source, &reason)) {
        Say(*m_doc, messages::About(ZOK2_NOOP("Message", "パッチを適用できません。何も書き込んでいません。"), patchPath, CoreReasonText(reason)));
        return false;
    }
    const std::string out = chooseAppliedCopy ? chooseAppliedCopy() : std::string();
    if (out.empty()) return false;
    // A patch goes into a copy; over the open file only when the user says so.
    if ((out == m_doc->GetPathName() || fs::SameFile(out, m_doc->GetPathName())) &&
        m_doc->MessageBox().Ask(ZOK2_NOOP("Message", "開いているファイルそのものに適用しますか？（.bak を残します）")) != IMessageBox::Answer::Yes) {
        return false;
    }
    // A long result (a big BPS target) shows how far it has come, and can be stopped.
    QProgressDialog progress(QString::fromStdString(Tr("App", "パッチを適用しています...")), QString::fromStdString(Tr("App", "中止")), 0, 1000,
                             m_frame.get());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const patch::FileApplyResult applied = patch::ApplyPatchToFile(patchBytes, source, out, true, [&](std::uint64_t done, std::uint64_t total) {
        progress.setValue(total == 0 ? 1000 : static_cast<int>(done * 1000 / total));
        return !progress.wasCanceled();
    });
    progress.reset();
    switch (applied.failure) {
    case patch::FileApplyResult::Failure::None: break;
    case patch::FileApplyResult::Failure::Cancelled: return false;
    case patch::FileApplyResult::Failure::Patch:
        Say(*m_doc, messages::About(ZOK2_NOOP("Message", "パッチを適用できません。何も書き込んでいません。"), patchPath, CoreReasonText(applied.reason)));
        return false;
    case patch::FileApplyResult::Failure::Backup:
        Say(*m_doc, messages::About(messages::kCannotBackUp, applied.path, applied.reason));
        return false;
    case patch::FileApplyResult::Failure::File:
        Say(*m_doc, messages::About(ZOK2_NOOP("Message", "パッチを適用したファイルを書き込めません。"), applied.path, CoreReasonText(applied.reason)));
        return false;
    }
    // The patched file is a file of its own: offered for review against this one.
    if (m_doc->MessageBox().Ask(ZOK2_NOOP("Message", "パッチを適用したファイルを開きますか？（今のファイルを比較元にします）")) == IMessageBox::Answer::Yes) {
        const std::string original = m_doc->GetPathName();
        if (OpenDocumentFile(out)) OpenReference(original);
    }
    return true;
}

bool CZOKApp::OnExport(bool allTables)
{
    m_frame->View().CommitPendingEdit();
    if (!m_doc->HasSections()) return false;
    const std::string folder = chooseExportFolder ? chooseExportFolder() : std::string();
    if (folder.empty()) return false;
    std::vector<int> tables = allTables ? m_doc->TabSections() : std::vector<int>{m_frame->View().CurrentSection()};
    for (int section : tables) {
        // Every table is the file's; the checksum table only when asked for by itself.
        if (section < 0 || (allTables && m_doc->IsChecksumSection(section))) continue;
        const exchange::Rows rows = exchange::ConvertCells(exchange::ExportRows(*m_doc, section), SjisToUtf8);
        const std::string path = folder + "/" + m_doc->SectionName(section) + ".tsv";
        std::string reason;
        if (!fs::WriteFileAtomically(path, exchange::WriteTsv(rows), &reason)) {
            Say(*m_doc, messages::About(ZOK2_NOOP("Message", "書き出せません。"), path, reason));
            return false;
        }
    }
    return true;
}

bool CZOKApp::OnImport()
{
    m_frame->View().CommitPendingEdit();
    if (!m_doc->HasSections()) return false;
    const std::vector<std::string> files = chooseImportFiles ? chooseImportFiles() : std::vector<std::string>();
    if (files.empty()) return false;
    // Every file is read and checked before anything is stored: one that does
    // not fit its table stores nothing of any.
    std::vector<std::string> refused, skipped;
    std::vector<exchange::TableImport> checked;
    for (const std::string& path : files) {
        const std::string name = fs::sys::TextOf(fs::sys::PathOf(path).stem());
        const std::string extension = fs::sys::TextOf(fs::sys::PathOf(path).extension());
        int section = -1;
        bool checksums = false;
        for (int s : m_doc->TabSections()) {
            if (m_doc->SectionName(s) != name) continue;
            if (m_doc->IsChecksumSection(s)) {
                checksums = true;
            } else {
                section = s;
            }
        }
        if (section < 0 && checksums) {
            skipped.push_back(path + ": " + Tr("App", "チェックサムの表は保存のたびに計算され、読み込めません"));
            continue;
        }
        if (section < 0) {
            refused.push_back(path + ": " + Tr("App", "この名前の表はありません"));
            continue;
        }
        if (m_doc->IsCompressedSection(section)) {
            skipped.push_back(path + ": " + Tr("App", "圧縮された表は読み込めません"));
            continue;
        }
        std::string text, reason;
        exchange::Rows rows;
        if (!fs::ReadFile(path, text, &reason) || !exchange::ReadTable(extension, text, &rows, &reason)) {
            refused.push_back(path + ": " + CoreReasonText(reason));
            continue;
        }
        exchange::TableImport check = exchange::CheckImport(*m_doc, section, exchange::ConvertCells(std::move(rows), Utf8ToSjis));
        if (!check.Accepted()) refused.push_back(ImportFileProblems(path, check));
        checked.push_back(std::move(check));
    }
    if (!refused.empty()) {
        std::string message = Tr("Message", "表を読み込めません。何も変更していません。");
        for (const std::string& text : refused) message += "\n\n" + text;
        for (const std::string& text : skipped) message += "\n\n" + text;
        Say(*m_doc, message);
        m_frame->UpdateCommandStates();
        return false;
    }
    std::string message = Tr("Message", "表を読み込みました。");
    bool changed = false;
    for (const exchange::TableImport& check : checked) {
        changed = exchange::ApplyImport(*m_doc, check) > 0 || changed;
        message += "\n" + ImportDoneText(m_doc->SectionName(check.section), check);
    }
    for (const std::string& text : skipped) message += "\n" + text;
    // The grid shows the stored values; undo takes each table's import back in one step.
    if (changed) m_frame->View().ShowValuesAgain();
    m_frame->UpdateCaption();
    m_frame->UpdateCommandStates();
    Say(*m_doc, message);
    m_frame->View().GridWidget().setFocus();
    return changed;
}

}  // namespace zok2
