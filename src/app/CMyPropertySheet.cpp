#include "app/CMyPropertySheet.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {
constexpr const char* kReloadQuestion = ZOK2_NOOP("Message", "設定とバイナリを再読み込みします。\r\n現在のデータを保存しますか？");
constexpr const char* kModeNotStored = ZOK2_NOOP("Message", "設定の選択をプロファイルに保存できませんでした。設定は変更されていません。");
constexpr const char* kModeNotWritable = ZOK2_NOOP("Message", "この設定の名前はプロファイルに書けない文字を含むため、選択できません。");
}  // namespace

CMyPropertyPage1::CMyPropertyPage1(CZOKApp& app, QWidget* parent) : QWidget(parent), m_app(app), m_list(new QListWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    m_list->setObjectName("definitionSets");  // 1005
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void CMyPropertyPage1::OnInitDialog()
{
    // Every folder under Settings/, dots in names and all, sorted as the set list shows them.
    m_names = fs::FindSubFolders(SettingsFolder());
    m_list->clear();
    for (const std::string& name : m_names) m_list->addItem(FileNameToQString(name));
    const std::string mode = m_app.Doc().FileNames().ToFileSystem(m_app.Profile().GetString("Setting", "mode"));
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i] == mode) m_list->setCurrentRow(static_cast<int>(i));
    }
}

void CMyPropertyPage1::OnOK()
{
    const int row = m_list->currentRow();
    if (row < 0 || m_list->selectedItems().isEmpty() || static_cast<std::size_t>(row) >= m_names.size()) return;
    ChooseDefinitionSet(m_app, m_names[static_cast<std::size_t>(row)]);
}

CMyPropertySheet::CMyPropertySheet(CZOKApp& app, QWidget* parent) : QDialog(parent), m_page(new CMyPropertyPage1(app))
{
    setWindowTitle(T("SettingsSheet", "ﾌﾟﾛﾊﾟﾃｨ ｼｰﾄ"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    tabs->addTab(m_page, T("SettingsSheet", "設定の選択"));
    layout->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(T("SettingsSheet", "キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(300, 240);
    m_page->OnInitDialog();
    m_page->List().setFocus();  // the keys choose a set at once
}

void CMyPropertySheet::accept()
{
    m_page->OnOK();
    QDialog::accept();
}

void ChooseDefinitionSet(CZOKApp& app, const std::string& name)
{
    CZOKDoc& doc = app.Doc();
    IniProfile profile = app.Profile();
    const std::optional<std::string> mode = doc.FileNames().ToSjis(name);
    if (!mode) {
        doc.MessageBox().Show(kModeNotWritable);
        return;
    }
    const std::string path = doc.GetPathName();
    const bool loaded = !doc.definitionNames.empty() && !path.empty();
    // The same set again changes nothing, unless the data shown still comes from
    // another set (a reload that was cancelled at its question): then it reloads.
    const bool showsThisSet = !loaded || doc.definitionFolder == SettingsFolder() + name + "/";
    if (*mode == profile.GetString("Setting", "mode") && showsThisSet) return;
    // The choice is stored first; without it nothing else may change.
    if (*mode != profile.GetString("Setting", "mode") && !profile.WriteString("Setting", "mode", *mode)) {
        doc.MessageBox().Show(messages::About(kModeNotStored, profile.Path()));
        return;
    }
    if (!loaded) return;  // the next open uses the new set
    app.Frame().View().CommitPendingEdit();
    if (!doc.IsModified()) {
        doc.OnSaveDocument(path);  // the old set's column settings, no binary
    } else {
        switch (doc.MessageBox().Ask(kReloadQuestion)) {
        case IMessageBox::Answer::Yes:
            if (!doc.OnSaveDocument(path)) return;  // the save said why; the data stays as it is
            break;
        case IMessageBox::Answer::No: break;
        case IMessageBox::Answer::Cancel: return;
        }
        doc.SetModifiedFlag(false);
    }
    doc.OnOpenDocument(path);
    app.Frame().UpdateCaption();
    app.Frame().UpdateCommandStates();
}

}  // namespace zok2
