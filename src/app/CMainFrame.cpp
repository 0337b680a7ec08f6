#include "app/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <algorithm>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>

#include "app/JournalKeeper.h"
#include "app/AboutBox.h"
#include "app/FindDialog.h"
#include "app/NewTableDialog.h"
#include "app/SetCheckList.h"
#include "app/InfoLine.h"
#include "gridwidget/CellMarks.h"
#include "app/CZOKApp.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "qt/QtServices.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "text/Translate.h"
#include "search/CellFacts.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {

// The accelerator table: every key of a command, the menu's label showing the first.
const std::map<int, std::vector<QKeySequence>>& Accelerators()
{
    static const std::map<int, std::vector<QKeySequence>> table = {
        {command::kSelectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)}},
        {command::kCopy, {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {command::kNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {command::kOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {command::kSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {command::kPaste, {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {command::kCut, {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {command::kUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {command::kRedo, {QKeySequence(Qt::CTRL | Qt::Key_Y)}},
        {command::kNextPane, {QKeySequence(Qt::Key_F6)}},
        {command::kPreviousPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
        {command::kDiscardData, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W)}},
        // The tab strip cannot take the focus: tables switch from the keyboard too.
        {command::kNextDifference, {QKeySequence(Qt::Key_F4)}},
        {command::kPreviousDifference, {QKeySequence(Qt::SHIFT | Qt::Key_F4)}},
        {command::kFind, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {command::kFindNext, {QKeySequence(Qt::Key_F3)}},
        {command::kFindPrevious, {QKeySequence(Qt::SHIFT | Qt::Key_F3)}},
        {command::kGoTo, {QKeySequence(Qt::CTRL | Qt::Key_G)}},
        {command::kNextTable, {QKeySequence(Qt::CTRL | Qt::Key_Tab)}},
        {command::kPreviousTable, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}},
    };
    return table;
}

}  // namespace

CMainFrame::CMainFrame(CZOKApp& app) : m_app(app), m_view(new CZOKView(app.Doc(), app.Clipboard(), this))
{
    setCentralWidget(m_view);
    m_infoLabel = new InfoLine(this);
    m_infoLabel->setObjectName("infoLine");
    m_noteLabel = new QLabel(this);
    m_noteLabel->setObjectName("note");
    // Brown, lightened on a dark status bar until it reads there.
    m_noteLabel->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(ReadableOn(statusBar()->palette().color(QPalette::Window), QColor(150, 60, 0)).name()));
    m_noteLabel->hide();
    statusBar()->addWidget(m_infoLabel, 1);
    statusBar()->addPermanentWidget(m_noteLabel);
    statusBar()->setSizeGripEnabled(true);
    setAcceptDrops(true);
    setWindowTitle(kAppTitle);
    BuildMenus();
    m_view->stateChanged = [this] { UpdateCommandStates(); };
    m_view->contextMenuRequested = [this](const QPoint& at) { ShowContextMenu(at); };
    m_view->newTableFromRange = [this](std::int64_t offset, std::int64_t length) {
        if (!m_app.Doc().HasSections()) return;
        AddTable().Reset(offset);
        AddTable().Length().setText(QString::number(length, 16).toUpper());
        AddTable().Propose();
        AddTable().open();
    };
    m_view->noteChanged = [this](const QString& note, bool storedAsZero) {
        // Without the status bar only what changed the data unasked is worth a message.
        if (statusBar()->isVisible()) {
            ShowNote(note);
        } else if (storedAsZero && !note.isEmpty()) {
            m_app.Doc().MessageBox().Show(note.toStdString());
        }
    };
    m_view->fileDropped = [this](const std::string& path) {
        m_app.OpenDocumentFile(path);
        UpdateCommandStates();
    };
    app.Doc().SetTitleObserver([this] {
        m_app.Journal().Follow();
        UpdateCaption();
        UpdateCommandStates();
    });
    // Keys of disabled commands stop at the grid's controls: the grid would take
    // Shift+Delete for its own Delete key otherwise.
    for (QWidget* control : std::initializer_list<QWidget*>{&m_view->GridWidget(), &m_view->DropButton(), &m_view->ValueList()}) {
        control->installEventFilter(this);
    }
    setWindowIcon(ProgramIcon());
    askGoTo = [this] {
        return QInputDialog::getText(this, T("MainFrame", "移動"), T("MainFrame", "行番号、またはアドレス（0x1234 や $1234）:"));
    };
    resize(800, 600);  // the placement is restored once the profile is known
    m_view->GridWidget().setFocus();
    UpdateCaption();
    UpdateCommandStates();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && IsDisabledAccelerator(*static_cast<QKeyEvent*>(event))) return true;
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::IsDisabledAccelerator(const QKeyEvent& key) const
{
    const QKeySequence pressed(key.keyCombination());
    for (const auto& [id, keys] : Accelerators()) {
        const QAction* action = Action(id);
        if (!action || action->isEnabled()) continue;
        if (std::find(keys.begin(), keys.end(), pressed) != keys.end()) return true;
    }
    return false;
}

QAction* CMainFrame::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CMainFrame::Add(QMenu* menu, int id, const QString& label)
{
    // The label carries its shortcut text after "\t", as the menu shows it.
    auto* action = new QAction(label, this);
    action->setData(id);
    auto keys = Accelerators().find(id);
    if (keys != Accelerators().end()) {
        action->setShortcuts(QList<QKeySequence>(keys->second.begin(), keys->second.end()));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    if (menu) {
        menu->addAction(action);
    } else {
        addAction(action);  // a key without a menu item
    }
    m_actions[id] = action;
    return action;
}

void CMainFrame::BuildMenus()
{
    m_fileMenu = menuBar()->addMenu(T("MainFrame", "ﾌｧｲﾙ(&F)"));
    Add(m_fileMenu, command::kOpen, T("MainFrame", "開く(&O)\tCtrl+O"));
    Add(m_fileMenu, command::kSave, T("MainFrame", "上書き保存(&S)\tCtrl+S"));
    Add(m_fileMenu, command::kSaveAs, T("MainFrame", "名前を付けて保存(&A)..."));
    Add(m_fileMenu, command::kSaveSettings, T("MainFrame", "設定の保存"));
    m_fileMenu->addSeparator();
    Add(m_fileMenu, command::kRecentFile, T("MainFrame", "最近使ったﾌｧｲﾙ"));
    m_recentSeparator = m_fileMenu->addSeparator();
    QAction* discard = Add(m_fileMenu, command::kDiscardData, T("MainFrame", "データの破棄\tCtrl+Shift+W"));
    discard->setStatusTip(T("MainFrame", "保持しているデータの破棄"));
    discard->setToolTip(T("MainFrame", "データをを破棄する"));
    m_fileMenu->addSeparator();
    Add(m_fileMenu, command::kExit, T("MainFrame", "終了(&X)"));
    // The program's own additions, after the items of old.
    m_fileMenu->addSeparator();
    Add(m_fileMenu, command::kOpenReference, T("MainFrame", "比較元を開く(&R)..."))->setStatusTip(T("MainFrame", "元のファイルを開き、値の違うセルに印を付けます"));
    Add(m_fileMenu, command::kCloseReference, T("MainFrame", "比較元を閉じる"))->setStatusTip(T("MainFrame", "比較元を閉じ、相違の印を消します"));
    Add(m_fileMenu, command::kCreatePatch, T("MainFrame", "パッチの作成(&P)..."))->setStatusTip(T("MainFrame", "比較元を今のファイルにする IPS か BPS のパッチを作ります"));
    Add(m_fileMenu, command::kApplyPatch, T("MainFrame", "パッチの適用(&L)..."))->setStatusTip(T("MainFrame", "パッチを今のファイルのコピーに適用します"));
    Add(m_fileMenu, command::kExportTable, T("MainFrame", "この表のエクスポート(&E)..."))->setStatusTip(T("MainFrame", "今の表を TSV ファイルに書き出します"));
    Add(m_fileMenu, command::kExportAll, T("MainFrame", "すべての表のエクスポート..."))->setStatusTip(T("MainFrame", "すべての表を TSV ファイルに書き出します"));
    Add(m_fileMenu, command::kImport, T("MainFrame", "インポート(&I)..."))->setStatusTip(T("MainFrame", "TSV・CSV・JSON の表を読み込みます（元に戻せます）"));

    QMenu* edit = menuBar()->addMenu(T("MainFrame", "編集(&E)"));
    Add(edit, command::kUndo, T("MainFrame", "元に戻す(&U)\tCtrl+Z"));
    Add(edit, command::kRedo, T("MainFrame", "やり直し(&R)\tCtrl+Y"));
    edit->addSeparator();
    Add(edit, command::kCut, T("MainFrame", "切り取り(&T)\tCtrl+X"));
    Add(edit, command::kCopy, T("MainFrame", "ｺﾋﾟｰ(&C)\tCtrl+C"));
    Add(edit, command::kPaste, T("MainFrame", "貼り付け(&P)\tCtrl+V"));
    Add(edit, command::kDelete, T("MainFrame", "削除(&D)\tDel"));
    edit->addSeparator();
    Add(edit, command::kSelectAll, T("MainFrame", "すべて選択(&A)\tCtrl+A"));
    // The program's own additions, after the items of old.
    edit->addSeparator();
    Add(edit, command::kFind, T("MainFrame", "検索(&F)...\tCtrl+F"))->setStatusTip(T("MainFrame", "行の名前、セルの表示、見出しを検索します"));
    Add(edit, command::kFindNext, T("MainFrame", "次を検索(&N)\tF3"))->setStatusTip(T("MainFrame", "次に一致するセルへ移動します"));
    Add(edit, command::kFindPrevious, T("MainFrame", "前を検索(&V)\tShift+F3"))->setStatusTip(T("MainFrame", "前に一致するセルへ移動します"));
    Add(edit, command::kGoTo, T("MainFrame", "移動(&G)...\tCtrl+G"))->setStatusTip(T("MainFrame", "行番号かファイル上のアドレスへ移動します"));
    Add(edit, command::kCopyAddress, T("MainFrame", "アドレスをコピー(&O)"))->setStatusTip(T("MainFrame", "現在のセルのファイル上のアドレスをコピーします"));
    Add(edit, command::kNextDifference, T("MainFrame", "次の相違(&I)\tF4"))->setStatusTip(T("MainFrame", "比較元と値の違う次のセルへ移動します"));
    Add(edit, command::kPreviousDifference, T("MainFrame", "前の相違\tShift+F4"))->setStatusTip(T("MainFrame", "比較元と値の違う前のセルへ移動します"));
    Add(edit, command::kDifferenceList, T("MainFrame", "相違の一覧(&L)..."))->setStatusTip(T("MainFrame", "比較元と値の違うセルを一覧にします"));

    QMenu* view = menuBar()->addMenu(T("MainFrame", "表示(&V)"));
    QMenu* modes = view->addMenu(T("MainFrame", "選択セクションの表示"));
    Add(modes, command::kHex, T("MainFrame", "16進数"));
    Add(modes, command::kSigned, T("MainFrame", "符号付き10進数"));
    Add(modes, command::kUnsigned, T("MainFrame", "符号無し10進数"));
    Add(modes, command::kList, T("MainFrame", "リスト"));
    for (int id : {command::kHex, command::kSigned, command::kUnsigned, command::kList}) m_actions[id]->setCheckable(true);
    view->addSeparator();
    QAction* bar = Add(view, command::kStatusBar, T("MainFrame", "ステータス バー(&S)"));
    bar->setCheckable(true);
    bar->setChecked(true);
    bar->setStatusTip(T("MainFrame", "ステータス バーの表示と非表示を切り替えます"));
    QAction* bytes = Add(view, command::kBytePane, T("MainFrame", "バイナリ(&B)"));
    bytes->setCheckable(true);
    bytes->setStatusTip(T("MainFrame", "表のそばにファイルのバイトを表示します"));

    QMenu* other = menuBar()->addMenu(T("MainFrame", "その他(&O)"));
    Add(other, command::kSettings, T("MainFrame", "設定(&E)"));
    Add(other, command::kAbout, T("MainFrame", "ZOK のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    other->addSeparator();
    Add(other, command::kCheckSet, T("MainFrame", "定義の検査(&C)..."))->setStatusTip(T("MainFrame", "使用中の設定の定義ファイルを検査します"));
    Add(other, command::kAddTable, T("MainFrame", "テーブルの追加(&T)..."))->setStatusTip(T("MainFrame", "ファイルのバイトから新しいテーブルを設定に加えます"));
    Add(other, command::kColumnEditor, T("MainFrame", "列の定義(&F)..."))->setStatusTip(T("MainFrame", "今の列の定義を変え、列を加え、取り除きます"));
    // Each language named in itself, so a user who reads only one finds it.
    QMenu* language = other->addMenu(T("MainFrame", "言語 / Language(&L)"));
    auto* languages = new QActionGroup(language);  // one of them, shown as a choice
    for (const auto& [id, name] : {std::pair{command::kJapanese, "日本語"}, std::pair{command::kEnglish, "English"}}) {
        QAction* item = Add(language, id, QString::fromUtf8(name));
        item->setCheckable(true);
        languages->addAction(item);
    }

    // Keys of the accelerator table without a menu item.
    Add(nullptr, command::kNew, QString());
    Add(nullptr, command::kNextPane, QString());
    Add(nullptr, command::kPreviousPane, QString());
    Add(nullptr, command::kNextTable, QString());
    Add(nullptr, command::kPreviousTable, QString());

    for (QMenu* menu : {m_fileMenu, edit, view, modes, other}) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            if (menu == m_fileMenu) RebuildRecentFiles();
            UpdateCommandStates();
        });
    }
    RebuildRecentFiles();
}

void CMainFrame::RebuildRecentFiles()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    const std::vector<std::string> files = m_app.RecentFiles();
    QAction* placeholder = m_actions[command::kRecentFile];
    placeholder->setVisible(files.empty());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = files[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(FileNameToQString(path)), m_fileMenu);
        connect(action, &QAction::triggered, this, [this, path] {
            // An entry that no longer opens leaves the list; a cancelled question keeps it.
            bool cancelled = false;
            if (!m_app.OpenDocumentFile(path, &cancelled) && !cancelled) m_app.RemoveFromRecentFileList(path);
            UpdateCommandStates();
        });
        m_fileMenu->insertAction(m_recentSeparator, action);
        m_recentActions.push_back(action);
    }
}

void CMainFrame::Run(int id)
{
    const bool editCommand = id == command::kUndo || id == command::kRedo || id == command::kCut || id == command::kCopy ||
                             id == command::kPaste || id == command::kDelete || id == command::kSelectAll;
    // Everything but the edit commands (which act on the focused control) finishes an open edit first.
    if (!editCommand) m_view->CommitPendingEdit();
    switch (id) {
    case command::kOpen: m_app.OnFileOpen(); break;
    case command::kSave: m_app.OnFileSave(); break;
    case command::kSaveAs: m_app.OnFileSaveAs(); break;
    case command::kSaveSettings:
        if (m_app.Doc().CanSaveSettings()) m_app.Doc().SaveSettings();
        m_app.WatchSet();  // what was written here is not another program's change
        break;
    case command::kDiscardData: DiscardData(); break;
    case command::kExit: close(); break;
    case command::kUndo: m_view->Undo(); break;
    case command::kRedo: m_view->Redo(); break;
    case command::kCut: m_view->Cut(); break;
    case command::kCopy: m_view->Copy(); break;
    case command::kPaste: m_view->Paste(); break;
    case command::kDelete: m_view->Delete(); break;
    case command::kSelectAll: m_view->SelectAll(); break;
    case command::kHex:
    case command::kSigned:
    case command::kUnsigned:
    case command::kList: m_view->SetColumnRadix(id); break;
    case command::kAbout: m_app.ShowAbout(); break;
    case command::kJapanese: m_app.ChooseLanguage(Language::Japanese); break;
    case command::kEnglish: m_app.ChooseLanguage(Language::English); break;
    case command::kNew: m_app.OnFileNew(); break;
    case command::kSettings: m_app.OnSettings(); break;
    case command::kStatusBar: SetStatusBarShown(!statusBar()->isVisible(), true); break;
    case command::kCopyAddress:
        if (m_view->CurrentOffset() >= 0) m_app.Clipboard().SetText(search::OffsetText(m_view->CurrentOffset()));
        break;
    case command::kFind:
        Finder().show();
        Finder().raise();
        Finder().activateWindow();
        Finder().Text().setFocus();
        Finder().Text().selectAll();
        break;
    case command::kFindNext:
    case command::kFindPrevious:
        if (!Finder().HasQuery()) {
            Run(command::kFind);
            break;
        }
        Finder().FindNext(id == command::kFindNext);
        // Hidden, the dialog's note (went round, nothing found) goes to the status bar.
        if (!Finder().isVisible()) ShowNote(Finder().Note().text());
        break;
    case command::kGoTo:
        if (askGoTo) {
            const QString place = askGoTo();
            if (!place.isEmpty()) GoToPlace(place);
        }
        break;
    case command::kOpenReference: m_app.OnOpenReference(); break;
    case command::kCloseReference: m_app.CloseReference(true); break;
    case command::kCreatePatch: m_app.OnCreatePatch(); break;
    case command::kApplyPatch: m_app.OnApplyPatch(); break;
    case command::kExportTable: m_app.OnExport(false); break;
    case command::kExportAll: m_app.OnExport(true); break;
    case command::kImport: m_app.OnImport(); break;
    case command::kNextDifference:
    case command::kPreviousDifference:
        if (!GoToDifference(id == command::kNextDifference)) ShowNote(T("MainFrame", "比較元との相違はありません"));
        break;
    case command::kDifferenceList:
        DifferenceList().show();
        DifferenceList().raise();
        break;
    case command::kBytePane: SetBytePaneShown(!m_view->BytePaneShown(), true); break;
    case command::kColumnEditor: EditColumn(); break;
    case command::kAddTable:
        if (!m_app.Doc().HasSections()) break;
        AddTable().Reset(m_view->CurrentOffset());
        AddTable().open();
        break;
    case command::kCheckSet:
        SetCheck().Refresh();
        SetCheck().show();
        SetCheck().raise();
        break;
    case command::kNextTable: m_view->SwitchTab(1); break;
    case command::kPreviousTable: m_view->SwitchTab(-1); break;
    case command::kNextPane:
    case command::kPreviousPane:
        // Two panes: the grid and the description edit.
        if (m_view->Description().hasFocus()) {
            m_view->GridWidget().setFocus();
        } else {
            m_view->Description().setFocus();
        }
        break;
    default: break;
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates()
{
    CZOKDoc& doc = m_app.Doc();
    const EditCommandStates states = m_view->EditStates();
    auto set = [this](int id, bool enabled) {
        if (QAction* action = Action(id)) action->setEnabled(enabled);
    };
    set(command::kSave, doc.CanSave() && !doc.GetPathName().empty());
    set(command::kSaveAs, doc.CanSave());
    set(command::kSaveSettings, doc.CanSaveSettings());
    set(command::kRecentFile, false);
    set(command::kDiscardData, states.discardData);
    set(command::kSelectAll, states.selectAll);
    set(command::kDelete, states.remove);
    set(command::kCopy, states.copy);
    set(command::kCut, states.cut);
    set(command::kPaste, states.paste);
    set(command::kUndo, states.undo);
    set(command::kRedo, states.redo);
    for (int id : {command::kHex, command::kSigned, command::kUnsigned, command::kList}) {
        const CommandState state = m_view->DisplayModeState(id);
        m_actions[id]->setEnabled(state.enabled);
        m_actions[id]->setChecked(state.checked);
    }
    set(command::kCopyAddress, m_view->CurrentOffset() >= 0);
    const Language language = m_app.ChosenLanguage();
    Action(command::kJapanese)->setChecked(language == Language::Japanese);
    Action(command::kEnglish)->setChecked(language == Language::English);
    set(command::kFind, doc.HasSections());
    set(command::kFindNext, doc.HasSections());
    set(command::kFindPrevious, doc.HasSections());
    set(command::kGoTo, doc.HasSections());
    const bool compared = m_app.Reference() != nullptr;
    set(command::kOpenReference, doc.HasSections());
    set(command::kCloseReference, compared);
    set(command::kNextDifference, compared);
    set(command::kPreviousDifference, compared);
    set(command::kDifferenceList, compared);
    set(command::kAddTable, doc.HasSections());
    const int shown = m_view->CurrentSection();
    set(command::kColumnEditor, doc.HasSections() && shown >= 0 && !doc.IsCompressedSection(shown) && !doc.IsChecksumSection(shown));
    set(command::kCreatePatch, compared);
    set(command::kApplyPatch, doc.HasSections());
    set(command::kExportTable, doc.HasSections());
    set(command::kExportAll, doc.HasSections());
    set(command::kImport, doc.HasSections());
    UpdateInfoLine();
}

void CMainFrame::UpdateInfoLine()
{
    if (m_infoLabel && statusBar()->isVisible()) m_infoLabel->SetText(m_view->InfoLine());
    if (!m_note.isEmpty()) FitNote();
}

void CMainFrame::ShowNote(const QString& note)
{
    m_note = note;
    FitNote();
}

void CMainFrame::FitNote()
{
    // The information line keeps its whole text; the note takes the room left
    // beside it (cut short, whole in its tooltip) until the next move.
    if (m_note.isEmpty()) {
        m_noteLabel->clear();
        m_noteLabel->setToolTip(QString());
        m_noteLabel->hide();
        return;
    }
    const int info = m_infoLabel->fontMetrics().horizontalAdvance(m_infoLabel->Text()) + 24;
    const int room = std::max(statusBar()->width() - info - 40, m_noteLabel->fontMetrics().horizontalAdvance(QStringLiteral("…")) * 4);
    m_noteLabel->setText(m_noteLabel->fontMetrics().elidedText(m_note, Qt::ElideRight, room));
    m_noteLabel->setToolTip(m_note);
    m_noteLabel->setMaximumWidth(room);
    m_noteLabel->show();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!m_note.isEmpty()) FitNote();
}

void CMainFrame::SetStatusBarShown(bool shown, bool remember)
{
    // Hidden, the view fills the client area as the frame of old lays it out.
    statusBar()->setVisible(shown);
    m_actions[command::kStatusBar]->setChecked(shown);
    if (shown) UpdateInfoLine();
    if (remember) {
        IniProfile profile = m_app.Profile();
        m_app.ProfileWritten(profile.WriteString("Setting", "statusbar", shown ? "1" : "0"));
    }
}

void CMainFrame::UpdateCaption()
{
    const std::string& title = m_app.Doc().GetTitle();
    QString caption = (title.empty() ? T("MainFrame", "無題") : FileNameToQString(title)) + QStringLiteral(" - ") + kAppTitle;
    // Values the disk no longer holds are never shown without saying so.
    if (m_app.ShowsStaleData()) caption += QStringLiteral(" [") + T("Message", messages::kShownDataIsStale) + QStringLiteral("]");
    setWindowTitle(caption);
}

std::unique_ptr<QMenu> CMainFrame::BuildContextMenu()
{
    static const std::vector<std::pair<int, const char*>> items = {
        {command::kUndo, ZOK2_NOOP("MainFrame", "元に戻す(&U)")}, {command::kRedo, ZOK2_NOOP("MainFrame", "やり直し(&R)")}, {0, nullptr},
        {command::kCut, ZOK2_NOOP("MainFrame", "切り取り(&T)")}, {command::kCopy, ZOK2_NOOP("MainFrame", "ｺﾋﾟｰ(&C)")}, {command::kPaste, ZOK2_NOOP("MainFrame", "貼り付け(&P)")},
        {command::kDelete, ZOK2_NOOP("MainFrame", "削除(&D)")}, {0, nullptr}, {command::kSelectAll, ZOK2_NOOP("MainFrame", "すべて選択(&A)")}, {0, nullptr},
        {command::kHex, ZOK2_NOOP("MainFrame", "16進数で表示")}, {command::kSigned, ZOK2_NOOP("MainFrame", "符号付き10進数で表示")},
        {command::kUnsigned, ZOK2_NOOP("MainFrame", "符号無し10進数で表示")}, {command::kList, ZOK2_NOOP("MainFrame", "リスト表示")},
        {0, nullptr}, {command::kColumnEditor, ZOK2_NOOP("MainFrame", "列の定義(&F)...")},
    };
    UpdateCommandStates();
    auto menu = std::make_unique<QMenu>(this);
    for (const auto& [id, text] : items) {
        if (!text) {
            menu->addSeparator();
            continue;
        }
        QAction* item = menu->addAction(T("MainFrame", text));
        item->setEnabled(m_actions[id]->isEnabled());
        item->setCheckable(m_actions[id]->isCheckable());
        item->setChecked(m_actions[id]->isChecked());
        item->setData(id);
    }
    return menu;
}

void CMainFrame::ShowContextMenu(const QPoint& globalPosition)
{
    std::unique_ptr<QMenu> menu = BuildContextMenu();
    if (QAction* chosen = menu->exec(globalPosition)) Run(chosen->data().toInt());
}

void CMainFrame::DiscardData()
{
    m_view->ClearView();
    m_app.Doc().ClearContents();
    m_app.Doc().SetModifiedFlag(false);
    m_app.Doc().SetTitle(std::string());
    UpdateCommandStates();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) m_app.OnActivated();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // An open edit belongs to the document and is counted before the question.
    m_view->CommitPendingEdit();
    if (!m_app.Doc().SaveModified()) {
        event->ignore();
        return;
    }
    m_app.Journal().Drop();  // saved, or answered "do not save": nothing is left to recover
    SavePlacement();
    event->accept();
}

// ---- dropped files ----

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->possibleActions().testFlag(Qt::CopyAction)) AcceptAsCopy(*event);
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (!event->possibleActions().testFlag(Qt::CopyAction)) return;
    if (OpenDropped(*event->mimeData())) AcceptAsCopy(*event);
}

bool CMainFrame::OpenDropped(const QMimeData& data)
{
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        m_app.OpenDocumentFile(QStringToFileName(url.toLocalFile()));
        UpdateCommandStates();
        return true;  // the first file only
    }
    return false;
}

}  // namespace zok2
